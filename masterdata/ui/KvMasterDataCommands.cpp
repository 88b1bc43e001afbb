#include "KvMasterDataCommands.h"

#include "CBlockListDlg.h"
#include "CBuildingListDlg.h"
#include "CDepartmentListDlg.h"
#include "CMainFrame.h"
#include "CPriceTypeDlg.h"
#include "KvArchiveMaintenance.h"
#include "KvMainCommands.h"

namespace {

// A management dialog without a parent, captioned with its menu text, run modally.
template <class Dialog> void RunManagement(const QString& caption)
{
    Dialog dlg(nullptr, caption);
    dlg.DoModal();
}

} // namespace

void InstallMasterDataCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_PRICE_TYPES, [] { RunManagement<CPriceTypeDlg>(QStringLiteral("价目类型管理")); });
    frame.SetCommandHandler(ID_BLOCKS, [] { RunManagement<CBlockListDlg>(QStringLiteral("小区管理")); });
    frame.SetCommandHandler(ID_BUILDINGS, [] { RunManagement<CBuildingListDlg>(QStringLiteral("楼幢管理")); });
    frame.SetCommandHandler(ID_ARCHIVE, [] { RunArchiveMaintenance(); });
    frame.SetCommandHandler(ID_DEPARTMENTS, [] { RunManagement<CDepartmentListDlg>(QStringLiteral("部门管理")); });
}
