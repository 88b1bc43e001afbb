#include "KvSalesRows.h"

#include "CAdoRecordset.h"
#include "CKvPersistance.h"

int GetFieldIntOr(const CAdoRecordset& rs, const QString& name, int empty)
{
    return rs.IsFieldNull(name) ? empty : rs.GetFieldInt(name);
}

double GetFieldDoubleOr(const CAdoRecordset& rs, const QString& name, double empty)
{
    return rs.IsFieldNull(name) ? empty : rs.GetFieldDouble(name);
}

void InsertUnlessUpdated(CKvPersistance& record, const QString& key, int updatedRows)
{
    if (updatedRows == 0 && !key.isEmpty())
        record.Insert();
    record.SetState(CKvPersistance::StateStored);
}
