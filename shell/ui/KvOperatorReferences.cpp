#include "KvOperatorReferences.h"

#include "CAdoConnection.h"
#include "CWrtRecord.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <functional>

namespace {

// Until the master-data record lists (CCliPreList, CClientList, CPriceVerList)
// are part of the records layer, their operator checks are asked here with
// the same statements; the lists' own ExistsForOperator replace these.
bool rowsCarryOperator(const char* sql, const QString& operatorNo)
{
    return GetMainDatabase()->RecordExists(KvFormatSql(QString::fromUtf8(sql), operatorNo), QString());
}

bool meterRowsCarry(const QString& operatorNo) // CCliPreList::ExistsForOperator
{
    return rowsCarryOperator("select CliPreIndex from CliPre where OperatorNo = '%s'", operatorNo);
}

bool userRowsCarry(const QString& operatorNo) // CClientList::ExistsForOperator
{
    return rowsCarryOperator("select ClientNo from Client where OperatorNo = '%s'", operatorNo);
}

bool priceVersionsCarry(const QString& operatorNo) // CPriceVerList::ExistsForOperator
{
    return rowsCarryOperator("select PriceIndex from PriceVer where OperatorNo = '%s'", operatorNo);
}

} // namespace

QString OperatorReferenceRefusal(const QString& operatorNo)
{
    const struct
    {
        std::function<bool(const QString&)> exists;
        const char* refusal;
    } checks[] = {
        {CWrtRecordList::ExistsForOperator, "已有该操作员的写卡记录，不能删除该操作员！"},
        {meterRowsCarry, "已有该操作员创建的用户电表，不能删除该操作员！"},
        {userRowsCarry, "已有该操作员创建的用户，不能删除该操作员！"},
        {priceVersionsCarry, "已有该操作员的价格，不能删除该操作员！"},
    };
    for (const auto& check : checks)
        if (check.exists(operatorNo))
            return QString::fromUtf8(check.refusal);
    return QString();
}
