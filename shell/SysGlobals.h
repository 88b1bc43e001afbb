#pragma once

#include <QDateTime>
#include <QString>

class CAdoConnection;
class CSysPara;

// The process-wide objects every part of the program reaches.

// "单机版" or "网络版", as the build was configured (QUILLMER_EDITION).
QString GetEdition();
// In the stand-alone edition main and local are one connection object; in the
// network edition the main connection is a separate one to the server.
CAdoConnection* GetLocalDatabase();
CAdoConnection* GetMainDatabase();
// The connection strings: the embedded file below the program folder; the
// server named by the local SysPara.ServerName, database qrdb, with the login
// and password of the installation's profile (KvServerConfig.h).
QString GetLocalConnectString();
QString GetServerConnectString();
// "Now": in the stand-alone edition from the one clock of the program
// (KvClock), in the network edition the server's clock ("select GetDate()",
// a failure passes on); the date at 00:00:00.
QDateTime GetServerTime();
QDateTime GetServerDate();
// The month of GetServerDate as yyyymm, the form in which SysPara keeps the
// quota month (FixYearMon).
int GetServerYearMonth();
// The two parameter objects, each bound to its connection on first use; they
// keep separate caches.
CSysPara* GetMainSysPara();
CSysPara* GetLocalSysPara();
// The database file of the program folder: work/Qrdb.db.
QString GetLocalDatabasePath();

// Closes the connection, forgets what the parameter objects cached and empties
// the current operator: the end of a run (shut-down), and a fresh start for a
// test.
void ReleaseProcessObjects();
