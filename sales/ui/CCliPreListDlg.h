#pragma once

#include "CCliPre.h"
#include "CKvDialog.h"

#include <QString>

class CCliBalance;
class CCliPreEditDlg;
class CClient;
class CClientListDlg;
class CKvExtList2;
class QLineEdit;
class QPushButton;

// "电表管理" (dialog 159): the current meters of one user and everything done
// to one of them: add, modify, delete with its sales, remove (拆表), the card
// operations, the return-card refund and the sub-meters. The carrier reading
// program is told of every meter that comes, changes, goes or is paused.
//
// Opened by the user archive, which sets the owner, the user and the two
// texts. It lives in the sales dialogs because it opens them.
class CCliPreListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CCliPreListDlg(QWidget* parent, const QString& caption);
    ~CCliPreListDlg() override;

    // Opens the dialog for a user of the archive, as its button 1120 does.
    static void OpenForUser(CClientListDlg& owner, CClient& user);

    CClientListDlg* m_pOwner = nullptr; // not owned
    CClient* m_pClient = nullptr;       // not owned
    QString m_strClientName;
    QString m_strClientNo;

    bool OnInitDialog() override;
    void FillList();
    void SetRow(int row, CCliPre* meter);

    void OnAddMeter();
    void OnModifyMeter();
    void OnDeleteMeter();
    void OnRemoveMeter();
    void OnRefund();
    void OnOpenAccount();
    void OnSubCard();
    void OnCancelAuthorisation();
    void OnReplacementCard();
    void OnSettingCard();
    void OnReadingCard();
    void OnSubMeters();

    CKvExtList2* GetListCtrl() const { return m_list; }
    CCliPreList& GetMeterList() { return m_meters; }

    // The meter dialog's values on a meter record and back.
    static void ToEditDialog(const CCliPre& meter, CCliPreEditDlg& dlg);
    static void FromEditDialog(const CCliPreEditDlg& dlg, CCliPre& meter);
    // A new meter with a fresh card image and reading base, once the carrier
    // agrees, in one transaction; false when the carrier refused.
    static bool SaveNewMeter(CCliPre& meter, const CClient* user);

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    // The meter of the selected row, or null after `missing` was shown.
    CCliPre* SelectedMeter(const char* missing);
    // The card dialog with an operation word for the meter; the balance it
    // leaves when `takeBalance`.
    void RunCardDialog(const QString& operation, CCliPre* meter, bool takeBalance);
    // Takes over a balance that the sales or card dialog left, when it is
    // this user's, and has the owner show it.
    void TakeBalance(const CCliBalance& balance);
    // Replacement and setting cards are for infrared meters only.
    bool IsInfraredMeter(const CCliPre& meter);

    CCliPreList m_meters;
    QPushButton* m_remove;       // 1167
    QPushButton* m_settingCard;  // 1127
    QPushButton* m_replacement;  // 1121
    QPushButton* m_subCard;      // 1151
    QPushButton* m_subMeters;    // 1027
    QPushButton* m_refund;       // 1118
    QPushButton* m_openAccount;  // 1125
    QPushButton* m_delete;       // 1026
    QPushButton* m_cancelAuth;   // 1126
    CKvExtList2* m_list;         // 1098
    QLineEdit* m_clientNameEdit; // 1009
    QLineEdit* m_clientNoEdit;   // 1002
};
