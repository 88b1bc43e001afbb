#pragma once

#include "KvReceiptQuery.h"
#include "KvSaleQuerySql.h"

#include <string>
#include <vector>

// A statement of the sale queries, with the name a failing check shows.
struct CNamedSaleStatement
{
    QString sql;
    std::string what;
};

// The sale statistic under each grouping, the sale records and the receipts,
// each narrowed by `apply` and named after `narrowing`: every statement a
// change to how sale queries run must leave with the same rows.
inline std::vector<CNamedSaleStatement> SaleStatementsNarrowedBy(const char* narrowing,
                                                                 void (*apply)(CSaleCondition&))
{
    std::vector<CNamedSaleStatement> statements;
    for (int grouping = 0; grouping < kSaleStatGroupingCount; ++grouping) {
        CSaleStatCondition k;
        k.m_grouping = grouping;
        apply(k);
        statements.push_back({SaleStatSql(k), std::string(narrowing) + ", grouping " + std::to_string(grouping)});
    }
    CSaleCondition k;
    apply(k);
    statements.push_back({SaleRecordQuerySql(k), std::string(narrowing) + ", sale records"});
    statements.push_back({ReceiptQuerySql(k), std::string(narrowing) + ", receipts"});
    return statements;
}
