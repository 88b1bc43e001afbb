#pragma once

#include <QString>

class CAdoRecordset;
class CKvPersistance;

// Row mechanics that several sale records share.

// Outside programs write some of these tables and may leave columns empty: an
// empty column reads as `empty` instead of failing the whole sale.
int GetFieldIntOr(const CAdoRecordset& rs, const QString& name, int empty);
double GetFieldDoubleOr(const CAdoRecordset& rs, const QString& name, double empty = 0);

// Ends the write of a record keyed by a column it is given (a user, a meter),
// once its UPDATE changed `updatedRows` rows: when no row has the key yet the
// record is inserted, so that its figures are never silently dropped. An empty
// key names no row and inserts nothing, as the callers that pass such a record
// expect. Both statements run on the caller's connection and so share its
// transaction. The record is stored afterwards.
void InsertUnlessUpdated(CKvPersistance& record, const QString& key, int updatedRows);
