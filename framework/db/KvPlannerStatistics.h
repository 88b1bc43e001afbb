#pragma once

struct sqlite3;

// Planner statistics that describe a counter's file, gathered as a
// connection closes.
//
// SQLite's own sampled analysis (PRAGMA optimize under an analysis limit)
// reads the first rows of each index only: on a table of a million sales it
// guesses the rows from the tree's shape and counts the rows per key among
// the few it read (ten operators' sales of 100,000 each became 1,001 each),
// and the planner then chose the wrong index for statements as written. A
// full ANALYZE reads every row of every index: seconds on such a file.
//
// So each table is measured as the connection closes: its rows counted and,
// per index and column prefix, the rows per key found among its first
// `kSampledKeys` keys (every key where it has no more), read through the
// index one key at a time: a few milliseconds a table. Where the statistics
// stored no longer describe that (none yet, the rows a quarter off, the rows
// per key a factor of two off), a small table (up to `kSmallTableRows` rows)
// is analysed whole by ANALYZE and a large one gets the measured figures.
// The statistics are written in one transaction; a file that cannot be
// written now (another connection writes, it is read-only) keeps what it had.
namespace KvPlannerStatistics {

constexpr long long kSmallTableRows = 100000;
constexpr int kSampledKeys = 200;

void Gather(sqlite3* db);

} // namespace KvPlannerStatistics
