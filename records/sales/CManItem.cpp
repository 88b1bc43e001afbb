#include "CManItem.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSalesRows.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

CManItem::CManItem() : m_ReadTime(GetServerDate()) {}

void CManItem::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from ManItem where ReadIndex = %d"), m_ReadIndex),
                               QString());
}

void CManItem::SetWrtIndex(int wrtIndex)
{
    m_WrtIndex = wrtIndex;
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update ManItem set WrtIndex = %d where ReadIndex = %d"), m_WrtIndex, m_ReadIndex),
        QString());
}

QList<CKvObject*>& CManItemList::Load(const QString& sql)
{
    // Outside programs write these rows and may leave columns empty: an empty
    // column keeps a new record's value instead of failing the whole sale.
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto item = std::make_unique<CManItem>();
        item->SetReadIndex(GetFieldIntOr(rs, QStringLiteral("ReadIndex"), -1));
        item->SetClientNo(rs.GetFieldText(QStringLiteral("ClientNo")));
        item->SetManNo(rs.GetFieldText(QStringLiteral("ManNo")));
        item->SetLastRead(GetFieldDoubleOr(rs, QStringLiteral("LastRead")));
        item->SetThisRead(GetFieldDoubleOr(rs, QStringLiteral("ThisRead")));
        item->SetRealUse(GetFieldDoubleOr(rs, QStringLiteral("RealUse")));
        if (!rs.IsFieldNull(QStringLiteral("ReadTime")))
            item->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        item->SetFreeValue(GetFieldDoubleOr(rs, QStringLiteral("FreeValue")));
        item->SetBuyValue(GetFieldDoubleOr(rs, QStringLiteral("BuyValue")));
        item->SetPriceName(rs.GetFieldText(QStringLiteral("PriceName")));
        item->SetPrice(GetFieldDoubleOr(rs, QStringLiteral("Price")));
        item->SetFee(GetFieldDoubleOr(rs, QStringLiteral("Fee")));
        item->m_WrtIndex = GetFieldIntOr(rs, QStringLiteral("WrtIndex"), -1);
        item->SetWrtNum(GetFieldIntOr(rs, QStringLiteral("WrtNum"), -1));
        return item.release();
    });
}

QList<CKvObject*>& CManItemList::LoadByClientAndWrtNum(const QString& clientNo, int wrtNum)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from ManItem where ClientNo = '%s' and WrtNum = %d"), clientNo, wrtNum));
}
