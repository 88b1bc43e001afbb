#include "CManItem.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
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
        auto integer = [&rs](const QString& name, int empty) {
            return rs.IsFieldNull(name) ? empty : rs.GetFieldInt(name);
        };
        auto number = [&rs](const QString& name) { return rs.IsFieldNull(name) ? 0.0 : rs.GetFieldDouble(name); };
        item->SetReadIndex(integer(QStringLiteral("ReadIndex"), -1));
        item->SetClientNo(rs.GetFieldText(QStringLiteral("ClientNo")));
        item->SetManNo(rs.GetFieldText(QStringLiteral("ManNo")));
        item->SetLastRead(number(QStringLiteral("LastRead")));
        item->SetThisRead(number(QStringLiteral("ThisRead")));
        item->SetRealUse(number(QStringLiteral("RealUse")));
        if (!rs.IsFieldNull(QStringLiteral("ReadTime")))
            item->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        item->SetFreeValue(number(QStringLiteral("FreeValue")));
        item->SetBuyValue(number(QStringLiteral("BuyValue")));
        item->SetPriceName(rs.GetFieldText(QStringLiteral("PriceName")));
        item->SetPrice(number(QStringLiteral("Price")));
        item->SetFee(number(QStringLiteral("Fee")));
        item->m_WrtIndex = integer(QStringLiteral("WrtIndex"), -1);
        item->SetWrtNum(integer(QStringLiteral("WrtNum"), -1));
        return item.release();
    });
}

QList<CKvObject*>& CManItemList::LoadByClientAndWrtNum(const QString& clientNo, int wrtNum)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from ManItem where ClientNo = '%s' and WrtNum = %d"), clientNo, wrtNum));
}
