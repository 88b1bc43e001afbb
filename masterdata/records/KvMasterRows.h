#pragma once

#include <QString>

class CKvObjectList;
class CKvPersistance;

// Row mechanics that the simple master-data tables (districts, buildings,
// departments) share.

// Runs an UPDATE or DELETE of one keyed row on the main connection. A statement
// that changes no row (the row was deleted meanwhile) is a failure too: it
// throws the same text as a failed statement instead of passing for success.
void KvWriteKeyedRow(const QString& sql, const QString& errorText);

// The delete and update of a list member: a record of another list throws
// `positionError` before anything is written. The delete marks the record,
// saves it and removes it from the list, which deletes the object.
void KvDeleteListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError);
void KvUpdateListMember(CKvObjectList& list, CKvPersistance* record, const QString& positionError);
