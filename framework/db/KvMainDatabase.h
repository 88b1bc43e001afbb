#pragma once

#include <QString>

class CAdoConnection;

// Opens `db` on the main database of the program folder `appDir` as the
// program does: the folder's work/Qrdb.db when it holds the main tables (the
// stand-alone edition); when it is a network counter's own file (the
// counter's tables only), the server that file names (SysPara.ServerName)
// with the login of the folder's Quillmer.ini (KvServerConfig.h). For the outside
// programs and libraries that write the main database themselves. Throws
// CKvException when it cannot be opened.
void KvOpenMainDatabase(CAdoConnection& db, const QString& appDir);
