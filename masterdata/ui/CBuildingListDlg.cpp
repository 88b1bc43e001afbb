#include "CBuildingListDlg.h"

#include "CBlock.h"
#include "CBuildingEditDlg.h"
#include "CClient.h"
#include "CKvExtList2.h"

CBuildingListDlg::CBuildingListDlg(QWidget* parent, const QString& caption)
    : CRecordListDlg(151, parent, caption,
                     {1060,
                      {QStringLiteral("小区名称"), QStringLiteral("楼幢编号"), QStringLiteral("楼幢名称")},
                      20,
                      {QStringLiteral("增加(&A)"), QStringLiteral("修改(&M)"), QStringLiteral("删除(&D)"),
                       QStringLiteral("返回(&R)")},
                      false},
                     {QStringLiteral("请选择楼幢！"), QStringLiteral("请确认是否删除该楼幢？")},
                     QStringLiteral("修改楼幢"))
{
}

void CBuildingListDlg::FillRows(CKvExtList2& list)
{
    m_records.LoadWithoutReserved();
    CBlockList blocks;
    for (int i = 0; i < m_records.GetCount(); ++i) {
        CBuilding* building = m_records.At(i);
        // A building whose district row is missing shows the district code.
        const CBlock* block = blocks.FindByBlockNo(building->GetBlockNo());
        const int row = list.InsertRow(i, block ? block->GetBlockName() : building->GetBlockNo(), building);
        list.SetItemText(row, 1, building->GetBuildingNo());
        list.SetItemText(row, 2, building->GetBuildingName());
    }
}

bool CBuildingListDlg::Edit(CBuilding& building, const QString& caption)
{
    CBuildingEditDlg dlg(this, caption);
    dlg.m_strBlockNo = building.GetBlockNo();
    dlg.m_strCode = building.GetBuildingNo();
    dlg.m_strName = building.GetBuildingName();
    if (dlg.DoModal() != IDOK)
        return false;
    building.SetBlockNo(dlg.m_strBlockNo);
    building.SetBuildingNo(dlg.m_strCode);
    building.SetBuildingName(dlg.m_strName);
    return true;
}

void CBuildingListDlg::OnAdd()
{
    // The same building code may stand in another district.
    RunAdd<CBuilding>(
        m_records, [this](CBuilding& building) { return Edit(building, QStringLiteral("增加楼幢")); },
        [](const CBuilding& building) {
            return CBuildingList::ExistsBuilding(building.GetBlockNo(), building.GetBuildingNo());
        },
        QStringLiteral("楼幢编号重复！"));
}

QString CBuildingListDlg::DeleteRefusal(CKvObject* record)
{
    const auto* building = static_cast<CBuilding*>(record);
    if (CClientList::ExistsInBuilding(building->GetBlockNo(), building->GetBuildingNo()))
        return QStringLiteral("该楼幢已建有用户档案，不能删除！");
    return QString();
}
