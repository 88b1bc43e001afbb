#pragma once

#include <QString>
#include <functional>

// A further step on the server for a grouped statement KvDimensionTablesOnce
// has split into the rows per sale and the tables read once (KvPeriodJoin.h).
// The server guesses the groups of columns that come from several tables
// (a user's code and name, the meter's number) as the product of their
// distinct values: for a million sales by user and meter it expects about
// half a million groups instead of twenty thousand, and sorts every sale on
// disk where hashing the groups would take a fraction of the time.
//
// So when every grouping column comes from the tables read once and every
// other select item is "count(*) as Name" or "sum(x.Col) as Name" of a table
// of the rows per sale, the sales are summed first per key they join the
// tables read once by ("kvsums": its keys kvkey1…, its sums kvsum1…), and
// those few thousand rows are joined to the tables read once and summed again
// per group. A table of the rows per sale that only leads from the sales to the
// tables read once, and is reached by its own key (`isUniqueKey`), is joined
// after the sums as well: the sales are summed per the key that reaches it (a
// price version's number) rather than per the text it joins by, which the
// server sorts far more slowly. The rows are the same: each sale meets the
// same rows of the tables read once through the same keys. A count is summed again and cast
// back to the bigint it was; so is the sum of a column `sumsToBigint` names
// (the server sums an int2 or int4 column into a bigint, which summed again
// would become a numeric). Sums of reals are added in another order and may
// differ in the last binary place, as they do between two plans of the
// statement as written.
//
// Anything else (another aggregate or expression, a having, an order, a
// "distinct", a term that joins the two sides other than by "x.Col =
// kvonceN.col", no such term) is returned as it is.
QString KvSumsFirst(const QString& sql,
                    const std::function<bool(const QString& table, const QString& column)>& isUniqueKey,
                    const std::function<bool(const QString& table, const QString& column)>& sumsToBigint);
