#include "CBlockListDlg.h"

#include "CBlockEditDlg.h"
#include "CBuilding.h"
#include "CClient.h"
#include "CKvExtList2.h"

CBlockListDlg::CBlockListDlg(QWidget* parent, const QString& caption)
    : CMasterListDlg(149, parent, caption,
                     {1050,
                      {QStringLiteral("小区代码"), QStringLiteral("小区名称")},
                      20,
                      {QStringLiteral("增加(&A)"), QStringLiteral("修改(&M)"), QStringLiteral("删除(&D)"),
                       QStringLiteral("关闭(&C)")},
                      true},
                     {QStringLiteral("请选择小区！"), QStringLiteral("请确认是否删除该小区？")})
{
}

void CBlockListDlg::FillRows(CKvExtList2& list)
{
    m_blockList.LoadWithoutReserved();
    for (int i = 0; i < m_blockList.GetCount(); ++i) {
        CBlock* block = m_blockList.At(i);
        const int row = list.InsertRow(i, block->GetBlockNo(), block);
        list.SetItemText(row, 1, block->GetBlockName());
    }
}

bool CBlockListDlg::EditBlock(CBlock& block, const QString& caption)
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
        m_blockList, [this](CBlock& block) { return EditBlock(block, QStringLiteral("增加小区")); },
        [](const CBlock& block) { return CBlockList::ExistsBlockNo(block.GetBlockNo()); },
        QStringLiteral("小区代码重复！"));
}

bool CBlockListDlg::ModifyRecord(CKvObject* record)
{
    auto* block = static_cast<CBlock*>(record);
    if (!EditBlock(*block, QStringLiteral("修改小区")))
        return false;
    m_blockList.UpdateRecord(block);
    return true;
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

void CBlockListDlg::DeleteRecord(CKvObject* record)
{
    m_blockList.DeleteRecord(static_cast<CBlock*>(record));
}
