#include "KvNewAccountWizard.h"

#include "CAdoConnection.h"
#include "CCardWriteDlg.h"
#include "CCliBalance.h"
#include "CCliFixListDlg.h"
#include "CCliPre.h"
#include "CCliPreEditDlg.h"
#include "CCliPreListDlg.h"
#include "CClient.h"
#include "CClientEditDlg.h"
#include "CClientListDlg.h"
#include "CSysPara.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "SysGlobals.h"

void KvOpenNewAccount(const QString& hint)
{
    // The user, refused while his code is used by any version.
    CClient user;
    for (;;) {
        CClientEditDlg dlg(nullptr, QStringLiteral("增加用户"));
        CClientListDlg::ToDialog(user, dlg);
        if (RunOperatorDialog(dlg) != IDOK)
            return;
        CClientListDlg::FromDialog(dlg, user);
        if (!CClientList::ExistsClientNo(user.GetClientNo()))
            break;
        PromptBox(QStringLiteral("用户代码重复！"), nullptr);
    }
    CCliBalance balance;
    balance.SetClientNo(user.GetClientNo());
    {
        CAdoTransaction transaction(*GetMainDatabase());
        user.Save();
        balance.Save();
        transaction.Commit();
    }

    if (hint.isEmpty() && GetMainSysPara()->GetAutoSetFixFlag() == QStringLiteral("是")) {
        CCliFixListDlg fixes(nullptr, QStringLiteral("定额收费项目管理"));
        fixes.m_ClientNo = user.GetClientNo();
        fixes.m_ClientName = user.GetClientName();
        RunOperatorDialog(fixes);
    }

    // The meter, refused while its number is current.
    CCliPre meter;
    meter.SetClientNo(user.GetClientNo());
    meter.SetMeterNo(hint.isEmpty() ? user.GetClientNo() : hint);
    for (;;) {
        CCliPreEditDlg dlg(nullptr, QStringLiteral("增加电表"));
        dlg.m_strClientNo = user.GetClientNo();
        dlg.m_strClientName = user.GetClientName();
        CCliPreListDlg::ToEditDialog(meter, dlg);
        if (RunOperatorDialog(dlg) != IDOK)
            return;
        CCliPreListDlg::FromEditDialog(dlg, meter);
        if (!CCliPreList::ExistsCurrentMeterNo(meter.GetMeterNo()))
            break;
        PromptBox(QStringLiteral("表计编号重复！"), nullptr);
    }
    if (!CCliPreListDlg::SaveNewMeter(meter, &user))
        return;

    if (!hint.isEmpty())
        return;
    CCardWriteDlg card(nullptr, QStringLiteral("电表开户"));
    card.m_pMeter = &meter;
    card.m_pClient = &user;
    RunOperatorDialog(card);
}
