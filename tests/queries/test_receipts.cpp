// The receipt query's statement and table, and the receipts composed from a
// listed sale.
#include "CAdoRecordset.h"
#include "CManualFee.h"
#include "CReceiptFeeSummary.h"
#include "CReceiptValues.h"
#include "KvClock.h"
#include "KvFreshDatabase.h"
#include "KvReceiptCompose.h"
#include "KvReceiptQuery.h"
#include "KvUtil.h"
#include "ReceiptFixture.h"
#include "SysGlobals.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

CReceiptSaleRow saleRow(int wrtIndex, double fee, double balance)
{
    CReceiptSaleRow r;
    r.invoiceNo = QStringLiteral("B%1").arg(wrtIndex);
    r.meterNo = QStringLiteral("M1");
    r.ct = 2;
    r.pt = 3;
    r.innerMul = 1;
    r.wrtValue = 110;
    r.buyValue = 100;
    r.freeValue = 10;
    r.lWaste = 1.5;
    r.tWaste = 0.05;
    r.price = 0.5236;
    r.fee = fee;
    r.prePay = 0;
    r.lastBalance = 1;
    r.realPay = fee;
    r.thisBalance = balance;
    r.totFee = fee + 0.5;
    r.wrtIndex = wrtIndex;
    r.wrtDay = QStringLiteral("2024-03-05");
    return r;
}

} // namespace

TEST(ReceiptQuery, StatementTakesConditionsOneToNineteenOrderedBySale)
{
    CSaleCondition k;
    k.m_bBuyValue = 1;
    k.m_buyFrom = "10";
    k.m_buyTo = "20";
    k.m_bClientName = 1;
    k.m_clientName = "O'Brien";
    const QString sql = ReceiptQuerySql(k);
    EXPECT_FALSE(sql.contains("BuyValue >=")) << sql.toStdString();
    EXPECT_TRUE(sql.contains(" and a.ClientName = 'O''Brien' order by c.WrtIndex")) << sql.toStdString();
    EXPECT_TRUE(sql.startsWith("select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr"));
    EXPECT_EQ(ReceiptListCaption(k), "售电记录明细表(时期：全期；用户姓名：O'Brien；)");
}

TEST(ReceiptQuery, TableCellsHiddenColumnsAndTotalRowInExactCents)
{
    // Three amounts of 131072.01: single precision would miss the cents.
    std::vector<CReceiptSaleRow> rows{saleRow(7, 131072.01, 10), saleRow(8, 131072.01, 9.5),
                                      saleRow(9, 131072.01, 0.01)};
    // NULL columns show empty and add nothing.
    rows[2].ct.reset();
    rows[2].fee.reset();
    rows[2].wrtDay.clear();
    const CReportTable t = BuildReceiptTable(rows);
    ASSERT_EQ(t.columns, 28);
    ASSERT_EQ(t.rows, 4);
    EXPECT_EQ(t.titles.size(), 28);
    EXPECT_EQ(t.titles[26], "");
    EXPECT_EQ(t.titles[18], "本次余额");
    const QStringList first = t.cells.mid(0, 28);
    EXPECT_EQ(first.join(u'|'), "B7|M1||2|3|1|110|100|10|1.5|0.1|0.5236|131072.01|0.00|||1.00|131072.01|10.00|||||"
                                "2024-03-05|||131072.51|7");
    EXPECT_EQ(t.Cell(2, RcCt), "");
    EXPECT_EQ(t.Cell(2, RcFee), "");
    EXPECT_EQ(t.Cell(2, RcWrtTime), "");
    const QStringList total = t.cells.mid(3 * 28, 28);
    EXPECT_EQ(total.join(u'|'), "汇    总|||||||300|30|4.5|0.2||262144.02|0.00|||3.00|393216.03|19.51|||||||||");
}

TEST(ReceiptQuery, ColumnsSortedAsNumbers)
{
    QList<int> numeric;
    for (int c = 0; c < ReceiptColumnCount; ++c)
        if (IsReceiptNumericColumn(c))
            numeric << c;
    EXPECT_EQ(numeric, QList<int>({3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 18}));
}

TEST(ReceiptFees, QuotaItemsMergeUpToTwentyAndOtherFeesFollow)
{
    CReceiptFeeSummary s(20);
    const auto day = [](int m, int d) { return QDateTime(QDate(2024, m, d), QTime()); };
    for (int i = 0; i < 21; ++i)
        s.AddQuota({QStringLiteral("项%1").arg(i), day(1, 1), day(1, 31), 31, 1});
    s.AddQuota({QStringLiteral("项0"), day(2, 1), day(2, 29), 29, 2.5});  // still merges
    s.AddQuota({QStringLiteral("项20"), day(2, 1), day(2, 29), 29, 2.5}); // still left out
    s.AddOther({QStringLiteral("项0"), day(3, 1), day(3, 31), 31, 7});
    const auto& items = s.Items();
    ASSERT_EQ(items.size(), 21u);
    EXPECT_EQ(items[0].name, "项0");
    EXPECT_EQ(items[0].begin, day(1, 1));
    EXPECT_EQ(items[0].end, day(2, 29));
    EXPECT_EQ(items[0].days, 60);
    EXPECT_DOUBLE_EQ(items[0].fee, 3.5);
    EXPECT_EQ(items[19].name, "项19");
    EXPECT_EQ(items[20].name, "项0");
    EXPECT_EQ(items[20].days, 31);

    // Never more than the receipt's 50 rows.
    CReceiptFeeSummary full(20);
    for (int i = 0; i < 60; ++i)
        full.AddOther({QStringLiteral("其他%1").arg(i), day(1, 1), day(1, 2), 1, 1});
    EXPECT_EQ(full.Items().size(), 50u);
}

namespace {

class ReceiptComposeTest : public FreshDatabaseTest
{
protected:
    CReportTable table;

    ReceiptComposeTest()
    {
        LoadReceiptFixture(db());
        KvClock::SetFixed(QDateTime(QDate(2006, 3, 7), QTime(9, 45, 30)));
        CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
        rs->Open(ReceiptQuerySql(CSaleCondition()));
        table = BuildReceiptTable(ReadReceiptSaleRows(*rs));
    }

    int rowOf(int wrtIndex) const
    {
        for (int r = 0; r + 1 < table.rows; ++r)
            if (table.Cell(r, RcWrtIndex).toInt() == wrtIndex)
                return r;
        return -1;
    }

    // The receipts of a listed sale as the receipt list composes them (its
    // bill number as listed), `copies` of them at their place.
    CReceiptValues compose(int wrtIndex, bool single, CReceiptCopies copies, int receipts)
    {
        CReceiptValues v;
        v.SetReceiptCount(receipts);
        const int row = rowOf(wrtIndex);
        EXPECT_GE(row, 0) << wrtIndex;
        ComposeReceiptHead(v, table.cells.mid(row * 28, 28), copies, single, CManualFeeList::SumTotalFee(wrtIndex),
                           QStringLiteral("打印员"), GetServerTime());
        EXPECT_TRUE(ComposeReceiptPriceRows(v, wrtIndex, copies));
        ComposeReceiptReadingRows(v, wrtIndex, copies, single);
        ComposeReceiptFeeRows(v, wrtIndex, copies);
        return v;
    }
};

int common(const char* name)
{
    return static_cast<int>(CReceiptValues::CommonNames().indexOf(QString::fromUtf8(name)));
}
int sub(const char* name)
{
    return static_cast<int>(CReceiptValues::SubNames().indexOf(QString::fromUtf8(name)));
}
int fee(const char* name)
{
    return static_cast<int>(CReceiptValues::FeeNames().indexOf(QString::fromUtf8(name)));
}

} // namespace

TEST_F(ReceiptComposeTest, FieldsOfTheListedSale)
{
    const CReceiptValues one = compose(101, true, CReceiptCopies::Single(2), 2);
    // Print all: row 3 of the list with two copies fills receipts 6 and 7.
    const CReceiptValues all = compose(101, false, CReceiptCopies::Batch(3, 2), 8);

    struct Case
    {
        const char* what;
        std::function<QString()> actual;
        const char* expected;
    };
    const Case cases[] = {
        {"合计倍率 = CT x PT x inner", [&] { return one.Common(0, common("合计倍率")); }, "6"},
        {"可用量 = bought + free", [&] { return one.Common(0, common("可用量")); }, "110"},
        {"购电金额 = bought x price", [&] { return one.Common(0, common("购电金额")); }, "56.00"},
        {"线损金额", [&] { return one.Common(0, common("线损金额")); }, "1.40"},
        {"变损金额", [&] { return one.Common(0, common("变损金额")); }, "0.84"},
        {"代收费: the manual fees", [&] { return one.Common(0, common("代收费")); }, "12.50"},
        {"合计小写 single", [&] { return one.Common(1, common("合计小写")); }, "￥56.50"},
        {"合计小写 batch", [&] { return all.Common(7, common("合计小写")); }, "56.50"},
        {"票据编号 copy 1", [&] { return one.Common(0, common("票据编号")); }, "R0101_1"},
        {"票据编号 copy 2", [&] { return one.Common(1, common("票据编号")); }, "R0101_2"},
        {"batch copy 1 at row x n", [&] { return all.Common(6, common("票据编号")); }, "R0101_1"},
        {"batch copy 2 at row x n + 1", [&] { return all.Common(7, common("票据编号")); }, "R0101_2"},
        {"batch leaves the receipts of other rows", [&] { return all.Common(5, common("票据编号")); }, ""},
        {"打印日期", [&] { return one.Common(0, common("打印日期")); }, "2006-03-07 09:45"},
        {"打印年", [&] { return one.Common(0, common("打印年")); }, "2006"},
        {"打印月", [&] { return one.Common(0, common("打印月")); }, "03"},
        {"打印日", [&] { return one.Common(0, common("打印日")); }, "07"},
        {"购电月", [&] { return one.Common(0, common("购电月")); }, "03"},
        {"购电日", [&] { return one.Common(0, common("购电日")); }, "05"},
        {"batch leaves the date parts empty", [&] { return all.Common(6, common("打印年")); }, ""},
        {"打印人", [&] { return one.Common(0, common("打印人")); }, "打印员"},
        {"本次余额", [&] { return one.Common(0, common("本次余额")); }, "10.00"},
        {"price row",
         [&] {
             return one.Price(1, 0, 0) + "|" + one.Price(1, 0, 1) + "|" + one.Price(1, 0, 2) + "|" + one.Price(1, 0, 3);
         },
         "P1|居民生活|0.5200|100"},
        {"sub-meter rows by ReadIndex", [&] { return one.Sub(0, 0, sub("附表编号")) + one.Sub(0, 1, sub("附表编号")); },
         "S01S02"},
        {"manual reading after them", [&] { return one.Sub(0, 2, sub("附表编号")) + one.Sub(0, 2, sub("收费性质")); },
         "H1公摊"},
        {"单价 single", [&] { return one.Sub(0, 0, sub("单价")); }, "0.52"},
        {"单价 batch", [&] { return all.Sub(6, 0, sub("单价")); }, "0.5236"},
        {"reading row amounts", [&] { return one.Sub(0, 0, sub("本次抄数")) + "|" + one.Sub(0, 0, sub("抄表日期")); },
         "20.50|2024-03-03"},
        {"three months merged into one fee row",
         [&] {
             return QStringList{
                 one.Fee(0, 0, fee("收费项目")), one.Fee(0, 0, fee("起始日期")), one.Fee(0, 0, fee("截止日期")),
                 one.Fee(0, 0, fee("天数")),     one.Fee(0, 0, fee("调整金额")), one.Fee(0, 0, fee("单价")),
                 one.Fee(0, 0, fee("数量")),     one.Fee(0, 0, fee("计算金额")), one.Fee(0, 0, fee("年月"))}
                 .join(u'|');
         },
         "物业费|2024-01-01|2024-03-31|91|29.50||||"},
        {"the other fee of the same name is a row of its own",
         [&] { return one.Fee(1, 1, fee("收费项目")) + "|" + one.Fee(1, 1, fee("调整金额")); }, "物业费|7.25"},
        {"no third fee row", [&] { return one.Fee(0, 2, fee("收费项目")); }, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual(), QString::fromUtf8(c.expected)) << c.what;
    EXPECT_EQ(one.Common(0, common("合计大写")), AmountToCapitals(56.5, 5));
    EXPECT_NE(AmountToCapitals(56.5, 5), AmountToCapitals(56.5, 0));
    // Apart from the bill number, both copies are equal.
    for (int j = 0; j < CReceiptValues::CommonCount; ++j) {
        if (j != common("票据编号")) {
            EXPECT_EQ(one.Common(0, j), one.Common(1, j)) << j;
        }
    }
}

TEST_F(ReceiptComposeTest, RowsBeyondTheReceiptAreDroppedAndASaleWithoutSharesFails)
{
    // 60 sub-meter readings and 30 other fees on top of the fixture's.
    for (int i = 0; i < 60; ++i)
        db().Execute(QStringLiteral("insert into SubRead (ReadIndex, SubNo, WrtIndex, PriceIndex, Price) "
                                    "values (%1, 'X%1', 101, 1, 0.5)")
                         .arg(1000 + i),
                     QString());
    for (int i = 0; i < 60; ++i)
        db().Execute(QStringLiteral("insert into OtherItem (FeeIndex, PriceName, WrtIndex, Days, FinalFee) "
                                    "values (%1, 'O%1', 101, 1, 1)")
                         .arg(1000 + i),
                     QString());
    const CReceiptValues v = compose(101, true, CReceiptCopies::Single(1), 1);
    EXPECT_EQ(v.Sub(0, 49, sub("附表编号")), "X1047");
    EXPECT_EQ(v.Fee(0, 49, fee("收费项目")), "O1047");

    db().Execute(QStringLiteral("delete from WrtPrice where WrtIndex = 101"), QString());
    CReceiptValues none;
    none.SetReceiptCount(1);
    EXPECT_FALSE(ComposeReceiptPriceRows(none, 101, CReceiptCopies::Single(1)));
}
