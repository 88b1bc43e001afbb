#include "CBlock.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvMasterRows.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

void CBlock::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into Block(BlockNo, BlockName) values('%s', '%s')"), m_BlockNo, m_BlockName),
        QStringLiteral("向数据库增加小区时发生错误！"));
    SetState(StateStored);
}

void CBlock::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from Block where BlockNo = '%s'"), m_BlockNo),
                       QStringLiteral("从数据库删除小区时发生错误！"));
}

void CBlock::Update()
{
    KvExecuteRowChange(
        KvFormatSql(QStringLiteral("update Block set BlockName = '%s' where BlockNo = '%s'"), m_BlockName, m_BlockNo),
        QStringLiteral("向数据库更新小区时发生错误！"));
    SetState(StateStored);
}

QList<CKvObject*>& CBlockList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto* block = new CBlock;
        block->SetBlockNo(rs.GetFieldText(QStringLiteral("BlockNo")));
        block->SetBlockName(rs.GetFieldText(QStringLiteral("BlockName")));
        return block;
    });
}

QList<CKvObject*>& CBlockList::LoadAll()
{
    return Load(QStringLiteral("select * from Block"));
}

QList<CKvObject*>& CBlockList::LoadWithoutReserved()
{
    return Load(QStringLiteral("select * from Block where BlockNo <> '00'"));
}

CBlock* CBlockList::FindByBlockNo(const QString& blockNo)
{
    Load(KvFormatSql(QStringLiteral("select * from Block where BlockNo = '%s'"), blockNo));
    return GetCount() > 0 ? At(0) : nullptr;
}

void CBlockList::DeleteRecord(CBlock* block)
{
    KvDeleteListMember(*this, block, QStringLiteral("从数据库删除小区发生位置错误！"));
}

void CBlockList::UpdateRecord(CBlock* block)
{
    KvUpdateListMember(*this, block, QStringLiteral("向数据库更新小区发生位置错误！"));
}

bool CBlockList::ExistsBlockNo(const QString& blockNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select BlockNo from Block where BlockNo = '%s'"), blockNo), QString());
}
