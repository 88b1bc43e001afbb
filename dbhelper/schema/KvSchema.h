#pragma once

#include <QDateTime>
#include <QString>

// The database of a fresh installation: the schema of every table of the
// system and the rows a fresh installation holds, kept in the project as SQL.

// The schema version this build writes and brings older files up to.
int CurrentSchemaVersion();

// Creates a new database file at path (its folder must exist; an existing file
// is an error) with every table, the SysPara row and the seed rows. `now` gives
// the values taken from the clock at creation (FixYearMon, LastBackDate).
void CreateFreshDatabase(const QString& path, const QDateTime& now);
