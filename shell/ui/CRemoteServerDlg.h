#pragma once

#include "CKvDialog.h"

class CKvEdit;

// The address and port of the remote charging machine, as the outside library
// Raskell keeps them. Only an OK button; closing otherwise keeps the texts given.
class CRemoteServerDlg : public CKvDialog
{
    Q_OBJECT

public:
    // The longest texts the library's buffers hold (20 and 24 bytes with the end mark).
    static constexpr int MaxAddressBytes = 19;
    static constexpr int MaxPortBytes = 23;

    explicit CRemoteServerDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("设置远程收费机"));

    QString m_address;
    QString m_port;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    CKvEdit* m_addressEdit; // 1168
    CKvEdit* m_portEdit;    // 1169
};
