#pragma once

// The SQL files of this folder, built into the library (the .cpp is generated
// from schema.sql and seed*.sql at build time).

// schema.sql: every table and index of the current schema version.
const char* KvSchemaSqlText();

// seed*.sql, in file-name order: the rows of a fresh installation.
const char* KvSeedSqlText();

// The text of one seed file by its name ("seed_reports.sql"); null when there is none.
const char* KvSeedFileText(const char* fileName);
