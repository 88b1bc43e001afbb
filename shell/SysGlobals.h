#pragma once

#include <QDateTime>
#include <QString>

class CAdoConnection;
class CSysPara;

// The process-wide objects every part of the program reaches.

// "单机版" in this build (the network edition would be "网络版").
QString GetEdition();
// In the stand-alone edition main and local are one connection object.
CAdoConnection* GetLocalDatabase();
CAdoConnection* GetMainDatabase();
// The connection strings: the embedded file below the program folder.
QString GetLocalConnectString();
QString GetServerConnectString();
// "Now" from the one clock of the program (KvClock); the date at 00:00:00.
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
