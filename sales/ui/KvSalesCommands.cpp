#include "KvSalesCommands.h"

#include "CMainFrame.h"
#include "CSaleDlg.h"
#include "CWaitCursor.h"
#include "KvFixFeeGeneration.h"
#include "KvMainCommands.h"

void InstallSalesCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_SALE_SERVICE, [] {
        CSaleDlg dlg(nullptr, QStringLiteral("售电服务"));
        dlg.DoModal();
    });
    // A month that fails is rolled back by the generation and its failure
    // passed on; the frame's command loop shows it and stops.
    frame.SetMonthFixFeeGenerator([](int yearMonth) {
        CWaitCursor wait;
        GenerateMonthFixFees(yearMonth);
    });
}
