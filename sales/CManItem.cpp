#include "CManItem.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "SysGlobals.h"

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
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto* item = new CManItem;
        item->SetReadIndex(rs.GetFieldInt(QStringLiteral("ReadIndex")));
        item->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        item->SetManNo(rs.GetFieldString(QStringLiteral("ManNo")));
        item->SetLastRead(rs.GetFieldDouble(QStringLiteral("LastRead")));
        item->SetThisRead(rs.GetFieldDouble(QStringLiteral("ThisRead")));
        item->SetRealUse(rs.GetFieldDouble(QStringLiteral("RealUse")));
        item->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        item->SetFreeValue(rs.GetFieldDouble(QStringLiteral("FreeValue")));
        item->SetBuyValue(rs.GetFieldDouble(QStringLiteral("BuyValue")));
        item->SetPriceName(rs.GetFieldString(QStringLiteral("PriceName")));
        item->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        item->SetFee(rs.GetFieldDouble(QStringLiteral("Fee")));
        item->m_WrtIndex = rs.GetFieldInt(QStringLiteral("WrtIndex"));
        item->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        return item;
    });
}

QList<CKvObject*>& CManItemList::LoadByClientAndWrtNum(const QString& clientNo, int wrtNum)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from ManItem where ClientNo = '%s' and WrtNum = %d"), clientNo, wrtNum));
}
