#pragma once

#include <QString>

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
