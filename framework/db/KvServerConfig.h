#pragma once

#include <QString>

// The network edition's server connection. The server's name is a parameter of
// the counter (SysPara.ServerName of the local file); the login and password
// belong to the installation and are read from the application profile of the
// program folder (Quillmer.ini), section [Server], entries Login and Password,
// so that no password is written into the program.

// The name of the server database every counter uses.
QString KvServerDatabaseName();

// "Provider=SQLOLEDB;Server=<serverName>;Database=qrdb;uid=<Login>;pwd=<Password>"
// with the login and password of the profile in appDir (empty when missing).
QString KvServerConnectString(const QString& appDir, const QString& serverName);
