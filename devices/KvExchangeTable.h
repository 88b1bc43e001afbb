#pragma once

#include <QString>
#include <functional>

class CAdoConnection;

// The dBASE tables that the device tools leave in the program folder.

// The file of an exchange table in the program folder.
QString ExchangeTablePath(const QString& table);
// Removes an exchange table before an upload: a tool that writes none must
// not leave an earlier upload's records to be imported again.
void RemoveExchangeTable(const QString& table);
// Opens a connection of the importer's own on the program folder's dBASE
// tables; false when it does not open.
bool OpenExchangeFolder(CAdoConnection& exchange);

// Stages the records of one upload read from an exchange table: all of them or
// none, in one transaction of the main database. `stage` reads and checks
// every row before it saves any. When it fails, the machine's records are in
// that table only and the next upload replaces it: a copy that no upload
// replaces ("<table>_yyyyMMddhhmmss.dbf") is kept beside it, and the failure is
// raised again naming the copy. `records` names what the table holds ("售电",
// "抄表").
void StageExchangeUpload(const QString& table, const QString& records, const std::function<void()>& stage);
