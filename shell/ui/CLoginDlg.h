#pragma once

#include "CKvDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The login dialog: operator code and password. Confirm needs a non-blank
// code; the password may be empty and is not checked here. A change of the
// system clock while it is open closes it as cancelled.
class CLoginDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CLoginDlg(QWidget* parent = nullptr);

    // After IDOK: the code trimmed, the password as typed.
    const QString& GetOperatorNo() const { return m_operatorNo; }
    const QString& GetOperatorPw() const { return m_operatorPw; }

    bool OnInitDialog() override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    QString m_operatorNo;
    QString m_operatorPw;

    QLineEdit* m_codeEdit;       // 1031
    QLineEdit* m_passwordEdit;   // 1044
    QLabel* m_codeLabel;         // 1146
    QLabel* m_passwordLabel;     // 1147
    QPushButton* m_okButton;     // 1000
    QPushButton* m_cancelButton; // 1021
};
