#pragma once

#include "CKvDialog.h"

class CKvEdit;

// The change-password dialog: old password, new password and its
// confirmation. It checks only that the two new entries agree and that the new
// password fits its column; the caller compares the old one.
class CChangePasswordDlg : public CKvDialog
{
    Q_OBJECT

public:
    CChangePasswordDlg(QWidget* parent, const QString& caption);

    // After IDOK: the old password as typed, the new one trimmed.
    const QString& GetOldPassword() const { return m_oldPassword; }
    const QString& GetNewPassword() const { return m_newPassword; }

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    QString m_oldPassword;
    QString m_newPassword;
    QString m_confirmPassword;

    CKvEdit* m_oldEdit;     // 1139
    CKvEdit* m_newEdit;     // 1140
    CKvEdit* m_confirmEdit; // 1141
};
