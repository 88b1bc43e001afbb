#pragma once

#include "CKvDialog.h"

class CKvEdit;

// The name of the database server of the network edition, kept in this
// machine's local parameters (ServerName).
class CServerDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CServerDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("设置服务器"));

    bool OnInitDialog() override;

protected:
    void OnOK() override;

private:
    CKvEdit* m_serverEdit; // 1202
};
