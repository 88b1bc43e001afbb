#include "KvSalesCommands.h"

#include "CMainFrame.h"
#include "CSaleDlg.h"
#include "KvMainCommands.h"

void InstallSalesCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_SALE_SERVICE, [] {
        CSaleDlg dlg(nullptr, QStringLiteral("售电服务"));
        dlg.DoModal();
    });
}
