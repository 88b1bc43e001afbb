#pragma once

// The SQL files of this folder, built into the library (the .cpp is generated
// from schema.sql and seed*.sql at build time).

// schema.sql: every table and index of the current schema version.
const char* KvSchemaSqlText();

// seed*.sql, in file-name order: the rows of a fresh installation.
const char* KvSeedSqlText();

// One seed file by its name without the extension ("seed_receipt"); null when
// there is none of that name.
const char* KvSeedSqlText(const char* name);
