#include "KvMeterModel.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvSql.h"
#include "SysGlobals.h"

std::optional<int> FindInnerMulByModelId(const QString& modelId)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select InnerMul from PreModel where ModelId = '%s'"), modelId));
    if (rs->IsEOF())
        return std::nullopt;
    return rs->GetFieldInt(QStringLiteral("InnerMul"));
}
