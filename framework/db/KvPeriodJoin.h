#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// SQLite, built without range statistics, guesses any closed range at 1/64 of
// a table, and in a join of many tables its search keeps only the cheapest
// partial plans, which all begin with the small code tables. Without planner
// statistics (a file the program has not analysed yet) it does the same for
// a join over all sales. A large table is then reached through a join key or
// read again for every row of those small tables, which on a counter's files
// costs minutes instead of seconds.
//
// So a statement over the tables that grow with the years is adapted before it
// runs: one table leads and every other table of the from list follows in the
// order the join predicates reach it (the first one of the list joined to a
// table already placed; tables that no predicate reaches last), joined by
// "cross join", which SQLite keeps in the order written. The leading table is
// the first that applies of:
//   1. a household: its code or meter ("x.ClientNo like '…%'", "x.MeterNo =
//      '…'", x.SubNo) on a column that leads an index of its table, or any
//      literal condition through an index of a table that holds a row per
//      household or meter (Client, CliPre, CliSub, CliFix, …);
//   2. a user's name ("x.ClientName = '…'" on Client): the users are read,
//      their meters and sales then found through their indexes;
//   3. a period: a column bounded on both sides by CDate(...) ("x.Col >=
//      CDate('…') and x.Col < CDate('…')", or "<=") that leads an index;
//   4. a table that grows with the years (WrtRecord, ClientPay, FixFee,
//      SubRead, HandRead: one a literal condition narrows through an index
//      first; else the last of that list a literal condition narrows, as the
//      payments by their payment mode, which reach their sale by its key;
//      else the first of that list in the from list), whatever the
//      conditions on the code tables (a price, a district, an operator):
//      those reach the sales of many households.
// Conditions count only as terms of the where's "and" chain (not inside an
// "or"). Only a plain from list ("Table alias, Table alias, …") in a statement
// without sub-selects is adapted; anything else, and a statement nothing above
// applies to, is returned as it is. The rows are the same.
//
// `leadsIndex` says whether an index of the table (or its integer primary key)
// begins with the column. `lead`, when given, receives the table that leads
// and the condition that narrows it (empty when it is read whole), and for a
// growing table read whole the literal equalities on a household table (a
// district, a building of the users) with that table. `leadAlias`, when
// given, is that household table: it leads, narrowed by those equalities
// (the caller has found that they leave few households).
struct KvLead
{
    QString table;
    QString alias;
    QString narrowing;    // the where's term (or the period's two) the lead is read by
    bool growing = false; // a table that grows with the years leads
    QString householdTable;
    QString householdAlias;
    QString householdTerms; // "a.BlockNo = '05' and a.BuildingNo = '03'"
};
QString KvLeadingTableFirst(const QString& sql,
                            const std::function<bool(const QString& table, const QString& column)>& leadsIndex,
                            KvLead* lead = nullptr, const QString& leadAlias = QString());

// The second step for a statement KvLeadingTableFirst led by a table that
// grows with the years: the tables that describe what a sale refers to (its
// meter, the meter's user, price, model, district …) are joined once, not
// again for every sale. They are read in a materialized common table
// expression, which each sale then finds by its key through one automatic
// index: a whole-file statistic reads the sales and one lookup a sale in
// place of a dozen.
//
// The rows per sale are the leading table's, those of a table reached through
// the unique key of one of them (the price shares by the sale's number) and
// those of a growing table reached through its own unique key (the sale from
// its payment). A group starts at a table reached from the rows per sale
// through that table's unique key ("c.CliPreIndex = b.CliPreIndex",
// `isUniqueKey` for b's column), and holds every table reached from it by the
// where's terms, except the tables joined to the rows per sale. A group
// of one table stays as it is. Its terms move into the expression; the other
// terms, the select list, grouping and order read its columns by name. The
// rows and their order are the same: the join is the same set of terms.
// Anything else (no "cross join" list led by such a table, a "between", an
// "or" or a sub-select at the top of the where) is returned as it is.
//
// `form` says how the expression is read. SQLite reads it materialized.
// PostgreSQL keeps no statistics of a materialized expression's columns and
// then joins the sales to it one by one through an index; inlined ("not
// materialized"), the expression is planned as a join of its own with its
// tables' statistics (together with the rest it holds more tables than the
// planner joins in one search) and the sales are hashed against it.
// `onceTables`, when given, receives the tables read once.
enum class KvOnceForm
{
    Materialized,
    Inlined
};
QString KvDimensionTablesOnce(const QString& sql,
                              const std::function<bool(const QString& table, const QString& column)>& isUniqueKey,
                              KvOnceForm form = KvOnceForm::Materialized, QStringList* onceTables = nullptr);
