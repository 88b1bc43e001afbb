#pragma once

#include "CKvDialog.h"

#include <QString>

class QLineEdit;
class QRadioButton;

// "查找用户" (dialog 157): finds users by code, meter number or name. The
// caller sets the four fields before running it and reads them after OK.
class CFindClientDlg : public CKvDialog
{
    Q_OBJECT

public:
    enum SearchMode
    {
        ByClientNo = 0,
        ByMeterNo = 1,
        ByClientName = 2,
    };

    CFindClientDlg(QWidget* parent, const QString& caption);

    QString m_ClientNo;
    QString m_ClientName;
    QString m_MeterNo;
    int m_SearchMode = -1;

    bool OnInitDialog() override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    // Chooses the mode: only its edit is enabled, the fields are shown again
    // and the focus goes to that edit.
    void OnMode(int mode);

    QRadioButton* m_radios[3];   // 1089, 1091, 1160
    QLineEdit* m_clientNoEdit;   // 1002
    QLineEdit* m_meterNoEdit;    // 1105
    QLineEdit* m_clientNameEdit; // 1009
};
