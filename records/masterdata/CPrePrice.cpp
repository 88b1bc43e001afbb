#include "CPrePrice.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CCliPre.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "KvRowWrite.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CPrePrice::InsertNew()
{
    const CKvObjectList* list = GetList();
    const auto* meter = list ? dynamic_cast<const CCliPre*>(list->GetOwnerRecord()) : nullptr;
    if (!meter || meter->GetCliPreIndex() == -1 || m_PriceX == -1)
        throw CKvException(QStringLiteral("向数据库增加电表电价发生错误!"));
    m_PrePriceIndex = GetMainSysPara()->GetIntPara(QStringLiteral("PrePriceIndex"), 1);
    m_CliPreIndex = meter->GetCliPreIndex();
    Insert();
}

void CPrePrice::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into PrePrice(PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) "
                                   "\t\t\tvalues(%d, %d, %d, '%s', %d)"),
                    m_PrePriceIndex, m_CliPreIndex, m_PriceX, m_PriceNo, m_PricePercent),
        QStringLiteral("向数据库增加电表电价时发生错误！"));
    SetState(StateStored);
}

void CPrePrice::Delete()
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("delete from PrePrice where PrePriceIndex = %d"), m_PrePriceIndex),
                       QStringLiteral("从数据库删除电表电价时发生错误！"));
}

QList<CKvObject*>& CPrePriceList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto share = std::make_unique<CPrePrice>();
        share->SetPrePriceIndex(rs.GetFieldInt(QStringLiteral("PrePriceIndex")));
        share->SetCliPreIndex(rs.GetFieldInt(QStringLiteral("CliPreIndex")));
        share->SetPriceX(rs.GetFieldInt(QStringLiteral("PriceX")));
        share->SetPriceNo(rs.GetFieldString(QStringLiteral("PriceNo")));
        share->SetPricePercent(rs.GetFieldInt(QStringLiteral("PricePercent")));
        return share.release();
    });
}

QList<CKvObject*>& CPrePriceList::LoadByCliPreIndex(int cliPreIndex)
{
    return Load(KvFormatSql(QStringLiteral("select * from PrePrice where CliPreIndex = %d order by PrePriceIndex"),
                            cliPreIndex));
}

bool CPrePriceList::PriceNoInUse(const QString& priceNo)
{
    return GetMainDatabase()->RecordExists(
        KvFormatSql(QStringLiteral("select * from PrePrice where PriceNo = '%s'"), priceNo), QString());
}

void CPrePriceList::DeleteForMeter(const QString& clientNo, const QString& meterNo)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from PrePrice where CliPreIndex in \t\t(select "
                                                          "CliPreIndex from CliPre where ClientNo = '%s' and "
                                                          "MeterNo = '%s')"),
                                           clientNo, meterNo),
                               QString());
}
