#pragma once

#include "CKvDialog.h"

class QRadioButton;

// What happened to the card a replacement stands in for, dialog 228: the
// choice decides whether the replacement card repeats the last purchase or
// carries a new one.
class CReissueCaseDlg : public CKvDialog
{
    Q_OBJECT

public:
    // The backgrounds, in the order of the radio group.
    enum Case
    {
        NotSupplied = 0,     // the last purchase never reached the meter
        Supplied = 1,        // it did: a new top-up
        NoCommunication = 2, // the last replacement did not reach the meter
    };

    explicit CReissueCaseDlg(QWidget* parent);
    ~CReissueCaseDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    int m_nCase = -1; // radio group 1089

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    QRadioButton* m_choices[3];
};
