#include "KvMasterDataCommands.h"

#include "CMainFrame.h"
#include "CPriceTypeDlg.h"
#include "KvMainCommands.h"

void InstallMasterDataCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_PRICE_TYPES, [] {
        CPriceTypeDlg dialog(nullptr, QStringLiteral("价目类型管理"));
        dialog.DoModal();
    });
}
