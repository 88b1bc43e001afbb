#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class CAdoConnection;

// The database of a fresh installation: the schema of every table of the
// system and the rows a fresh installation holds, kept in the project as SQL
// (schema.sql, seed*.sql beside this file, built into the library).
//
// The schema version is kept in the file header (PRAGMA user_version). A file
// made before versions were kept reads 0.

// The schema version this build writes and brings older files up to.
int CurrentSchemaVersion();

// Creates a new database file at path (its folder must exist; an existing file
// is an error) with every table, the SysPara row and the seed rows. `now` gives
// the values taken from the clock at creation (FixYearMon, LastBackDate).
// Everything is written in one transaction: a failure leaves no file behind.
void CreateFreshDatabase(const QString& path, const QDateTime& now);

// The whole script CreateFreshDatabase runs inside its transaction: tables,
// seed rows, the values of `now` and the schema version.
QString FreshDatabaseScript(const QDateTime& now);

// The CREATE statement of ManualFee, word for word as the helper library
// issues it on a database that lacks the table.
QString ManualFeeCreateStatement();

// The schema version of an open database (on the server: the version its
// installation recorded).
int ReadSchemaVersion(CAdoConnection& db);

// Brings an open database up to CurrentSchemaVersion() without losing rows: the
// version steps after its version run in one transaction together with the new
// version number (all or nothing). A database of a newer version is left
// alone; a server is brought up by UpgradeServerDatabase. Returns the version
// the database has afterwards. Failures throw CKvException.
int UpdateSchemaVersion(CAdoConnection& db);

// The newest schema version that changes the server's tables; versions after
// it change only a counter's own file, so a server of this version serves a
// program of a newer one.
int ServerSchemaVersion();
// What keeps a counter from working on an installed server database: its
// version is older than the server version this program needs, or newer than
// this program (the text says which and what to do); "" when neither.
QString ServerVersionProblem(CAdoConnection& server);

// Brings an installed server database older than ServerSchemaVersion() up to
// CurrentSchemaVersion(): the version steps of the main tables after its
// version, in the server's dialect, and the new version number, in one
// transaction under the installation's lock. Counters of a new program
// starting at once bring it up once: the others wait for the lock and find it
// done. Returns true when it ran the steps; a server up to date, newer or not
// installed is left alone (false). Failures throw CKvException.
bool UpgradeServerDatabase(CAdoConnection& server);

// Takes the server lock that installations and upgrades of one server
// database run under, held to the end of the server's current transaction.
void LockServerInstallation(CAdoConnection& server);

// ---- The network edition ------------------------------------------------
// There the main tables live on the server (PostgreSQL) and each counter keeps
// a local file with the per-workstation tables: its own SysPara row (station
// number, ports, server name, card type, the report-layout counter) and the
// receipt layout it prints with.

// The tables of a counter's local file in the network edition.
const QStringList& LocalTableNames();
bool IsLocalTable(const QString& table);

// The schema translated for the server: every table of the schema except the
// local-only ones (SysPara is on both), plus the helper library's ManualFee.
// Text columns become citext (compare without regard to case), date columns
// timestamp(0), reals double precision, auto-numbers identity columns.
QString ServerSchemaScript();

// The functions that let the server take the program's SQL as the embedded
// file does: GetDate() (now, without fractions), CDate(text), ifnull(a, b),
// round(double precision, int). Part of the installation; safe to run again.
QString ServerDialectScript();

// First installation of a server database (empty apart from what the server
// itself holds): the dialect functions, the main tables, their seed rows and the
// server's SysPara row, in one transaction. Returns true when it installed;
// an installed database is left as it is (false). Two counters installing at
// once install once: the whole installation, the dialect functions included,
// runs under one server lock. An invalid `now` takes the server's clock (read
// once its dialect functions are in place). Failures throw CKvException.
bool InstallServerDatabase(CAdoConnection& server, const QDateTime& now = QDateTime());

// A CREATE statement of the embedded schema in the server's types (the
// translation ServerSchemaScript applies to every table).
QString ServerCreateStatement(const QString& embeddedStatement);

// Whether an open database (embedded file or server) holds a table of this
// name, whatever its letter case.
bool DatabaseHasTable(CAdoConnection& db, const QString& name);

// Whether the server database holds the installation.
bool IsServerInstalled(CAdoConnection& server);

// Brings a counter's local file of the network edition up to
// CurrentSchemaVersion(): only the steps that concern its own tables run (the
// receipt layout), in one transaction with the new version number. Returns the
// version the file has afterwards. Failures throw CKvException.
int UpdateLocalNetworkSchemaVersion(CAdoConnection& local);

// A counter's local file for the network edition (folder must exist, the file
// must not): the local tables only, the counter's own SysPara row (with
// ServerName when one is given) and receipt layout 1. One transaction: a
// failure leaves no file behind.
void CreateLocalNetworkDatabase(const QString& path, const QDateTime& now, const QString& serverName = QString());
