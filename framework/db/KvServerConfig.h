#pragma once

#include <QString>

// The network edition's server connection. The server's name is a parameter of
// the counter (SysPara.ServerName of the local file); the login and password
// belong to the installation and are read from the application profile of the
// program folder (Quillmer.ini), section [Server], entries Login and Password,
// so that no password is written into the program. Nothing else is asked for
// them: no environment variable, no password file, not the operating-system
// user.
//
// A value is read as it stands after the '=' (Password=@@ab is "@@ab"), the
// blanks around it left out. A value that begins or ends with a blank, or
// holds a comma, a semicolon, a '#', a backslash or a double quote, is written
// in double quotes, a backslash and a double quote inside them as \\ and \"
// (Password="ab,cd\\ef"): unquoted, an INI reader would take a comma for a
// list, a backslash for an escape and ';' or '#' for the start of a comment,
// so such a value is refused.

// The name of the server database every counter uses.
QString KvServerDatabaseName();

// The login and password of the profile in appDir, and what is wrong with
// them ("" when nothing): a missing or empty entry, or an unquoted value the
// profile cannot read as written. The text names Quillmer.ini and [Server].
struct KvServerLogin
{
    QString login;
    QString password;
    QString problem;
};
KvServerLogin KvReadServerLogin(const QString& appDir);

// "Provider=SQLOLEDB;Server=<serverName>;Database=qrdb;uid=<Login>;pwd=<Password>"
// with the login and password of the profile in appDir (in braces where they
// hold a ';', begin with '{' or with a blank); throws CKvException with
// KvReadServerLogin's problem when they cannot be used.
QString KvServerConnectString(const QString& appDir, const QString& serverName);

// What is wrong with a server name typed in 设置服务器 ("" when nothing): it
// is a host (a name or an address of letters, digits, '.', '-' and '_', or an
// IPv6 address, bare "::1" or in brackets "[fe80::1]") or "host,port" with a
// port from 1 to 65535 ("[fe80::1],5432"); blanks around it are not part of it.
QString KvServerNameRefusal(const QString& serverName);

// The host (without the brackets of an IPv6 address) and the port ("" when
// none) of a server name of that form.
struct KvServerAddress
{
    QString host;
    QString port;
};
KvServerAddress KvSplitServerName(const QString& serverName);
