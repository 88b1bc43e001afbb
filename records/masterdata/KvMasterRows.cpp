#include "KvMasterRows.h"

#include "CKvException.h"
#include "CKvObjectList.h"
#include "CKvPersistance.h"

namespace {

void requireMember(const CKvObjectList& list, const CKvPersistance* record, const QString& positionError)
{
    if (!record || !list.Contains(record))
        throw CKvException(positionError);
}

} // namespace

void KvDeleteListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError)
{
    requireMember(list, record, positionError);
    record->SetState(CKvPersistance::StateDelete);
    record->Save();
    list.Remove(record);
}

void KvUpdateListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError)
{
    requireMember(list, record, positionError);
    record->SetState(CKvPersistance::StateChanged);
    record->Save();
}
