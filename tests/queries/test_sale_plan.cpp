// The sale statistics over a year of sales: one month is reached through an
// index, and none of the big tables is scanned whole.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSqliteEngine.h"
#include "KvFreshDatabase.h"
#include "KvSaleGenerator.h"
#include "KvSaleQuerySql.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QStringList queryPlan(sqlite3* db, const QString& sql)
{
    QStringList plan;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    EXPECT_EQ(sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        plan << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return plan;
}

} // namespace

TEST(SaleQueryPlan, AMonthOfStatisticsSearchesTheSalesByIndex)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(QDateTime(QDate(2023, 12, 31), QTime(12, 0)));
    auto* engine = dynamic_cast<CSqliteEngine*>(fresh.Db().GetEngine());
    ASSERT_NE(engine, nullptr);
    GenerateSales(engine->handle(), CSaleGeneratorSpec{});
    fresh.Db().Execute(QStringLiteral("ANALYZE"), QString());
    ASSERT_GE(fresh.Count(QStringLiteral("select WrtIndex from WrtRecord")), 20000);

    for (int grouping : {6, 8, 0}) {
        CSaleStatCondition k;
        k.m_grouping = grouping;
        k.m_bPeriod = 1;
        k.m_periodFrom = QDateTime(QDate(2023, 6, 1), QTime());
        k.m_periodTo = QDateTime(QDate(2023, 6, 30), QTime());
        const QStringList plan = queryPlan(engine->handle(), SaleStatSql(k));
        const QString all = plan.join(u'\n');
        // The sales are searched (by time), never scanned; nor are the rows per sale or per meter.
        EXPECT_TRUE(plan.filter(QRegularExpression(QStringLiteral("^SEARCH c USING"))).size() == 1)
            << all.toStdString();
        for (const char* alias : {"c", "k", "d", "f", "b"})
            EXPECT_TRUE(plan.filter(QRegularExpression(QStringLiteral("^SCAN %1\\b").arg(alias))).isEmpty())
                << grouping << " " << alias << "\n"
                << all.toStdString();
    }
}
