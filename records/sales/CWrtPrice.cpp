#include "CWrtPrice.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "CWrtRecord.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CWrtPrice::InsertNew()
{
    CKvObjectList* list = GetList();
    const auto* owner = list ? dynamic_cast<const CWrtRecord*>(list->GetOwnerRecord()) : nullptr;
    if (!owner || owner->GetWrtIndex() == -1)
        throw CKvException(QStringLiteral("向数据库增加写卡电价发生错误！"));
    m_WrtPriceIndex = GetMainSysPara()->GetIntPara(QStringLiteral("WrtPriceIndex"), 1) + 100000000;
    m_WrtIndex = owner->GetWrtIndex();
    Insert();
}

void CWrtPrice::Insert()
{
    const QString sql =
        KvFormatSql(QStringLiteral("insert into WrtPrice(WrtPriceIndex, WrtIndex, PriceIndex, PricePercent) "
                                   "\t\t\tvalues(%d, %d, %d, %d)"),
                    m_WrtPriceIndex, m_WrtIndex, m_PriceIndex, m_PricePercent);
    GetMainDatabase()->Execute(sql, QStringLiteral("向数据库增加售电电价时发生错误！"));
    SetState(StateStored);
}

void CWrtPrice::Delete()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("delete from WrtPrice where WrtPriceIndex = %d"), m_WrtPriceIndex),
        QStringLiteral("从数据库删除售电电价时发生错误！"));
}

QList<CKvObject*>& CWrtPriceList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto share = std::make_unique<CWrtPrice>();
        share->SetWrtPriceIndex(rs.GetFieldInt(QStringLiteral("WrtPriceIndex")));
        share->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        share->SetPriceIndex(rs.GetFieldInt(QStringLiteral("PriceIndex")));
        share->SetPricePercent(rs.GetFieldInt(QStringLiteral("PricePercent")));
        return share.release();
    });
}

QList<CKvObject*>& CWrtPriceList::LoadByWrtIndex(int wrtIndex)
{
    return Load(
        KvFormatSql(QStringLiteral("select * from WrtPrice where WrtIndex = %d order by WrtPriceIndex"), wrtIndex));
}

void CWrtPriceList::DeleteByClientMeter(const QString& clientNo, const QString& meterNo)
{
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("delete from WrtPrice where WrtIndex in (select a.WrtIndex from WrtRecord a, CliPre b "
                           "where a.CliPreIndex = b.CliPreIndex and b.ClientNo = '%s' and b.MeterNo = '%s')"),
            clientNo, meterNo),
        QString());
}
