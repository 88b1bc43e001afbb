#pragma once

#include "CKvDialog.h"

#include <QString>
#include <functional>

class CClient;
class CClientEditDlg;
class CClientList;
class CKvExtList2;
class QLabel;
class QPushButton;

// "维护档案" (dialog 156): the users a search found, with adding, changing
// and deleting users and the ways to a user's meters, fixed fees and manual
// sub-meters. The list of users is the caller's; the dialog adds users to it,
// replaces a changed user by the new version and removes deleted users.
class CClientListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CClientListDlg(QWidget* parent, const QString& caption);

    CClientList* m_pClientList = nullptr; // not owned
    QString m_strCount;

    bool OnInitDialog() override;
    void FillRows();
    void FillRow(int row, CClient* user);
    // Shows the selected user's balance again from the record's cache.
    void RefreshSelectedBalance();
    CKvExtList2* GetListCtrl() const { return m_list; }

    // Opens the meter management of a user (button 1120). The dialog lives
    // with the sales dialogs it opens, so the sales side installs it; without
    // one the button does nothing past its selection check.
    using MeterDialogOpener = std::function<void(CClientListDlg& owner, CClient& user)>;
    static void SetMeterDialogOpener(MeterDialogOpener opener);

    // The program started for a user's manual sub-meters, in the program folder.
    static QString ManualMeterProgram() { return QStringLiteral("Velcrist"); }

private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnMeters();
    void OnFixFees();
    void OnManualMeters();
    // The user of the selected row, or null after "请选择用户！".
    CClient* SelectedUser();
    void ShowCount(int count);
    static void ToDialog(const CClient& user, CClientEditDlg& dlg);
    static void FromDialog(const CClientEditDlg& dlg, CClient& user);

    CKvExtList2* m_list;         // 1086
    QPushButton* m_delete;       // 1026
    QPushButton* m_meters;       // 1120
    QPushButton* m_manualMeters; // 1013
    QPushButton* m_fixFees;      // 1290
    QLabel* m_count;             // 1285
};
