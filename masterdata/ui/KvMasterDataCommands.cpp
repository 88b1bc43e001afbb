#include "KvMasterDataCommands.h"

#include "CMainFrame.h"
#include "CPreModelListDlg.h"
#include "CPreModelOrderDlg.h"
#include "CPriceTypeDlg.h"
#include "KvMainCommands.h"

namespace {

// A command that opens its dialog with no parent and the menu text as caption.
template <class Dialog> void InstallDialogCommand(CMainFrame& frame, int id, const QString& caption)
{
    frame.SetCommandHandler(id, [caption] {
        Dialog dialog(nullptr, caption);
        dialog.DoModal();
    });
}

} // namespace

void InstallMasterDataCommands(CMainFrame& frame)
{
    InstallDialogCommand<CPriceTypeDlg>(frame, ID_PRICE_TYPES, QStringLiteral("价目类型管理"));
    InstallDialogCommand<CPreModelListDlg>(frame, ID_METER_TYPES, QStringLiteral("维护表型"));
    InstallDialogCommand<CPreModelOrderDlg>(frame, ID_METER_TYPE_ORDER, QStringLiteral("表型排序"));
}
