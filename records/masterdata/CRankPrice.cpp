#include "CRankPrice.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CPriceVer.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CRankPrice::InsertNew()
{
    const CKvObjectList* list = GetList();
    const auto* version = list ? dynamic_cast<const CPriceVer*>(list->GetOwnerRecord()) : nullptr;
    if (!version || version->GetPriceIndex() == -1 || m_RankX == -1)
        throw CKvException(QStringLiteral("向数据库添加阶梯价时发生错误！"));
    m_PriceIndex = version->GetPriceIndex();
    Insert();
}

void CRankPrice::Insert()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("insert into RankPrice(PriceIndex, RankX, RankPrice, "
                                                          "Threshold) \t\t\tvalues(%d, %d, %f, %f)"),
                                           m_PriceIndex, m_RankX, m_RankPrice, m_Threshold),
                               QStringLiteral("向数据库增加阶梯价时发生错误！"));
    SetState(StateStored);
}

void CRankPrice::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from RankPrice where PriceIndex = %d and RankX = %d"),
                                   m_PriceIndex, m_RankX),
                       QStringLiteral("从数据库删除阶梯价时发生错误！"));
}

QList<CKvObject*>& CRankPriceList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto tier = std::make_unique<CRankPrice>();
        tier->SetPriceIndex(rs.GetFieldInt(QStringLiteral("PriceIndex")));
        tier->SetRankX(rs.GetFieldInt(QStringLiteral("RankX")));
        tier->SetRankPrice(rs.GetFieldDouble(QStringLiteral("RankPrice")));
        tier->SetThreshold(rs.GetFieldDouble(QStringLiteral("Threshold")));
        return tier.release();
    });
}

QList<CKvObject*>& CRankPriceList::LoadAll()
{
    return Load(QStringLiteral("select * from RankPrice order by PriceIndex, RankX"));
}
