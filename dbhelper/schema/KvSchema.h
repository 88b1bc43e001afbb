#pragma once

#include <QDateTime>
#include <QString>

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

// The schema version of an open database.
int ReadSchemaVersion(CAdoConnection& db);

// Brings an open database up to CurrentSchemaVersion() without losing rows: the
// version steps after its version run in one transaction together with the new
// version number (all or nothing). A file of a newer version is left alone.
// Returns the version the file has afterwards. Failures throw CKvException.
int UpdateSchemaVersion(CAdoConnection& db);
