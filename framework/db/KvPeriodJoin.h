#pragma once

#include <QString>
#include <functional>

// SQLite, built without range statistics, guesses any closed range at 1/64 of
// a table, and in a join of many tables its search keeps only the cheapest
// partial plans, which all begin with the small code tables. A period on a
// large table (a month of sales among years of them) is then reached through
// a join key or read again for every row of those small tables, which on a
// counter's files costs minutes instead of a fraction of a second.
//
// So a statement whose where-text bounds a column on both sides by CDate(...)
// (a period: "x.Col >= CDate('…') and x.Col < CDate('…')", or "<="), where
// that column leads an index of its table, is adapted before it runs: the
// bounded table is read first, through its range, and every other table of
// the from list follows in the order the join predicates reach it (the first
// one of the list joined to a table already placed; tables that no predicate
// reaches last), joined by "cross join", which SQLite keeps in the order
// written. Only a plain from list ("Table alias, Table alias, …") in a
// statement without sub-selects is adapted; anything else, and a statement
// without such a period, is returned as it is. The rows are the same.
QString KvPeriodTableFirst(const QString& sql,
                           const std::function<bool(const QString& table, const QString& column)>& leadsIndex);
