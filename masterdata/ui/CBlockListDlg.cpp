#include "CBlockListDlg.h"

#include "CBlockEditDlg.h"
#include "CBuilding.h"
#include "CClient.h"
#include "CKvExtList2.h"

CBlockListDlg::CBlockListDlg(QWidget* parent, const QString& caption)
    : CRecordListDlg(149, parent, caption,
                     {1050,
                      {QStringLiteral("小区代码"), QStringLiteral("小区名称")},
                      20,
                      {QStringLiteral("增加(&A)"), QStringLiteral("修改(&M)"), QStringLiteral("删除(&D)"),
                       QStringLiteral("关闭(&C)")},
                      true},
                     {QStringLiteral("请选择小区！"), QStringLiteral("请确认是否删除该小区？")},
                     QStringLiteral("修改小区"))
{
}

void CBlockListDlg::FillRows(CKvExtList2& list)
{
    m_records.LoadWithoutReserved();
    for (int i = 0; i < m_records.GetCount(); ++i) {
        CBlock* block = m_records.At(i);
        const int row = list.InsertRow(i, block->GetBlockNo(), block);
        list.SetItemText(row, 1, block->GetBlockName());
    }
}

bool CBlockListDlg::Edit(CBlock& block, const QString& caption)
{
    CBlockEditDlg dlg(this, caption);
    dlg.m_strCode = block.GetBlockNo();
    dlg.m_strName = block.GetBlockName();
    if (dlg.DoModal() != IDOK)
        return false;
    block.SetBlockNo(dlg.m_strCode);
    block.SetBlockName(dlg.m_strName);
    return true;
}

void CBlockListDlg::OnAdd()
{
    RunAdd<CBlock>(
        m_records, [this](CBlock& block) { return Edit(block, QStringLiteral("增加小区")); },
        [](const CBlock& block) { return CBlockList::ExistsBlockNo(block.GetBlockNo()); },
        QStringLiteral("小区代码重复！"));
}

QString CBlockListDlg::DeleteRefusal(CKvObject* record)
{
    // Any version of a user counts, closed ones too.
    const QString blockNo = static_cast<CBlock*>(record)->GetBlockNo();
    if (CClientList::ExistsInBlock(blockNo))
        return QStringLiteral("该小区已建有用户档案，不能删除！");
    if (CBuildingList::ExistsInBlock(blockNo))
        return QStringLiteral("该小区已建有楼幢档案，不能删除！");
    return QString();
}
