#pragma once

#include "CKvDialog.h"

#include <QString>

class CNumEdit;

// The energy already used on a meter, dialog 198: the meter's reading as the
// operator reads it off the meter.
class CMeterUsedDlg : public CKvDialog
{
    Q_OBJECT

public:
    CMeterUsedDlg(QWidget* parent, const QString& caption);
    ~CMeterUsedDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strUsed; // 1158

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    CNumEdit* m_used;
};
