#pragma once

#include <QString>

class CKvObjectList;
class CKvPersistance;

// Row mechanics that the simple master-data tables (districts, buildings,
// departments) share.

// The delete and update of a list member: a record of another list throws
// `positionError` before anything is written. The delete marks the record,
// saves it and removes it from the list, which deletes the object.
void KvDeleteListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError);
void KvUpdateListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError);
