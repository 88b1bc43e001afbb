#include "KvSalesCommands.h"

#include "CCliPreListDlg.h"
#include "CClientListDlg.h"
#include "CMainFrame.h"
#include "CSaleDlg.h"
#include "CSpecialCardDlg.h"
#include "CWaitCursor.h"
#include "KvFixFeeGeneration.h"
#include "KvMainCommands.h"
#include "KvNewAccountWizard.h"
#include "SysGlobals.h"

void InstallSalesCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_SALE_SERVICE, [] {
        CSaleDlg dlg(nullptr, QStringLiteral("售电服务"));
        dlg.DoModal();
    });
    frame.SetCommandHandler(ID_SPECIAL_CARD, [] {
        CSpecialCardDlg dlg(nullptr, QStringLiteral("写特殊卡"));
        dlg.DoModal();
    });
    // 新表开户 from the menu (no hint) and for a meter not on file.
    frame.SetNewAccountHandler(&KvOpenNewAccount);
    // The user archive's meter management button.
    CClientListDlg::SetMeterDialogOpener(&CCliPreListDlg::OpenForUser);
    // A month that fails is rolled back by the generation and its failure
    // passed on; the frame's command loop shows it and stops.
    frame.SetMonthFixFeeGenerator([](int yearMonth) {
        CWaitCursor wait(GetMainDatabase());
        GenerateMonthFixFees(yearMonth);
    });
}
