#include "KvOperatorReferences.h"

#include "CCliPre.h"
#include "CClient.h"
#include "CPriceVer.h"
#include "CWrtRecord.h"

QString OperatorReferenceRefusal(const QString& operatorNo)
{
    const struct
    {
        bool (*exists)(const QString&);
        const char* refusal;
    } checks[] = {
        {CWrtRecordList::ExistsForOperator, "已有该操作员的写卡记录，不能删除该操作员！"},
        {CCliPreList::ExistsForOperator, "已有该操作员创建的用户电表，不能删除该操作员！"},
        {CClientList::ExistsForOperator, "已有该操作员创建的用户，不能删除该操作员！"},
        {CPriceVerList::ExistsForOperator, "已有该操作员的价格，不能删除该操作员！"},
    };
    for (const auto& check : checks)
        if (check.exists(operatorNo))
            return QString::fromUtf8(check.refusal);
    return QString();
}
