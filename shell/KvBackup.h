#pragma once

#include <QDateTime>
#include <QString>

class CAdoConnection;

// Copies of the program's database file and the way back from one.

// backup/Qrdb<yymmddHHMM>.db in the program folder, for the given time.
QString DefaultBackupPath(const QDateTime& now);

// Writes a consistent copy of the open database to `target` through SQLite's
// online backup (a byte copy of the open file would miss pages still in its
// write-ahead log). The copy is made beside the target and renamed over it, so
// a failure leaves an existing target as it was. False on any failure, also
// when the target is the open database file itself.
bool BackupDatabase(CAdoConnection& db, const QString& target);

// Whether a file can stand in for the program's database: it opens as one,
// passes SQLite's integrity check and holds the program's tables (the
// parameter row; in the stand-alone edition also an operator and the report
// layout tables, in the network edition the receipt layout tables of the
// counter's own file).
bool IsRestorableDatabase(const QString& path);

// Replaces the local database file by a copy of `source`. The source is copied
// into the work folder and checked there first; a file that is no sound
// database of this program is refused before anything is closed. Then the
// local connection is closed, the database it held is kept as
// work/Qrdb<yymmddHHMM>.replaced.db (Qrdb<yymmddHHMM>_2.replaced.db, ... when
// that name is taken: a kept file is never overwritten), its stale -wal/-shm
// files are removed and the checked copy takes its place. False on any failure, with the old file
// back in place; the connection stays closed once it was closed.
bool RestoreDatabase(const QString& source);
