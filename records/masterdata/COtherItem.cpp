#include "COtherItem.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <memory>

COtherItem::COtherItem()
    : m_BeginDate(GetServerDate()), m_EndDate(AddDays(m_BeginDate, -1)), m_ReadTime(GetServerDate())
{
}

void COtherItem::SetWrtIndex(int wrtIndex)
{
    m_WrtIndex = wrtIndex;
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update OtherItem set WrtIndex = %d where FeeIndex = %d"), m_WrtIndex, m_FeeIndex),
        QString());
}

QList<CKvObject*>& COtherItemList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto item = std::make_unique<COtherItem>();
        item->SetFeeIndex(rs.GetFieldInt(QStringLiteral("FeeIndex")));
        item->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        item->SetPriceName(rs.GetFieldString(QStringLiteral("PriceName")));
        item->SetBeginDate(rs.GetFieldDateTime(QStringLiteral("BeginDate")));
        item->SetEndDate(rs.GetFieldDateTime(QStringLiteral("EndDate")));
        item->SetDays(rs.GetFieldInt(QStringLiteral("Days")));
        item->SetPrice(rs.GetFieldDouble(QStringLiteral("Price")));
        item->SetPriceUnits(rs.GetFieldDouble(QStringLiteral("PriceUnits")));
        item->SetFinalFee(rs.GetFieldDouble(QStringLiteral("FinalFee")));
        item->SetReadTime(rs.GetFieldDateTime(QStringLiteral("ReadTime")));
        item->m_WrtIndex = rs.GetFieldInt(QStringLiteral("WrtIndex"));
        item->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        return item.release();
    });
}

QList<CKvObject*>& COtherItemList::LoadByClientAndWrtNum(const QString& clientNo, int wrtNum)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from OtherItem where ClientNo = '%s' and WrtNum = %d"), clientNo, wrtNum));
}

bool ExistsOtherFeeOfClient(const QString& clientNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select FeeIndex from OtherFee where ClientNo = '%s'"), clientNo), QString());
}

bool ExistsOtherFeeOfPrice(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select PriceIndex from OtherFee where PriceIndex in (select PriceIndex from "
                                   "PriceVer where PriceNo = '%s')"),
                    priceNo),
        QString());
}
