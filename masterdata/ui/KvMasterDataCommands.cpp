#include "KvMasterDataCommands.h"

#include "CBlockListDlg.h"
#include "CBuildingListDlg.h"
#include "CDepartmentListDlg.h"
#include "CMainFrame.h"
#include "CPreModelListDlg.h"
#include "CPreModelOrderDlg.h"
#include "CPriceListDlg.h"
#include "CPriceTypeDlg.h"
#include "KvArchiveMaintenance.h"
#include "KvMainCommands.h"

namespace {

// A dialog of a menu command: no parent, captioned with the menu text, run modally.
template <class Dialog> void RunCommandDialog(const QString& caption)
{
    Dialog dlg(nullptr, caption);
    dlg.DoModal();
}

} // namespace

void InstallMasterDataCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_PRICE_TYPES, [] { RunCommandDialog<CPriceTypeDlg>(QStringLiteral("价目类型管理")); });
    frame.SetCommandHandler(ID_PRICE_LIST, [] { RunCommandDialog<CPriceListDlg>(QStringLiteral("价目维护")); });
    frame.SetCommandHandler(ID_METER_TYPES, [] { RunCommandDialog<CPreModelListDlg>(QStringLiteral("维护表型")); });
    frame.SetCommandHandler(ID_METER_TYPE_ORDER,
                            [] { RunCommandDialog<CPreModelOrderDlg>(QStringLiteral("表型排序")); });
    frame.SetCommandHandler(ID_BLOCKS, [] { RunCommandDialog<CBlockListDlg>(QStringLiteral("小区管理")); });
    frame.SetCommandHandler(ID_BUILDINGS, [] { RunCommandDialog<CBuildingListDlg>(QStringLiteral("楼幢管理")); });
    frame.SetCommandHandler(ID_DEPARTMENTS, [] { RunCommandDialog<CDepartmentListDlg>(QStringLiteral("部门管理")); });
    frame.SetCommandHandler(ID_ARCHIVE, [] { RunArchiveMaintenance(); });
}
