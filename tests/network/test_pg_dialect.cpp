// The program's SQL (Jet dialect, as the embedded file takes it) on the server.
#include "KvInstalledServer.h"
#include "KvSql.h"
#include "KvTestSupport.h"

#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class ServerDialectTest : public InstalledServerTest
{
protected:
    void insertSale(int index, const QString& meterNo, const QString& time)
    {
        db.Execute(KvFormatSql(QStringLiteral("insert into WrtRecord (WrtIndex, MeterNo, OperatorNo, WrtTime) "
                                              "values (%d, '%s', 'qz', CDate('%s'))"),
                               index, meterNo, time),
                   QStringLiteral("insert failed"));
    }
};

} // namespace

TEST_F(ServerDialectTest, DatesCompareWithTheStrippedLiteralsAndReadBackCanonical)
{
    insertSale(9001, QStringLiteral("D1"), QStringLiteral("2026-12-10 08:30:00"));
    insertSale(9002, QStringLiteral("D2"), QStringLiteral("2026-12-10"));
    insertSale(9003, QStringLiteral("D3"), QStringLiteral("2026-12-11 00:00:01"));
    insertSale(9004, QStringLiteral("D4"), QStringLiteral("2005-3-1 8:05:09"));
    struct Case
    {
        const char* where;
        int rows;
    } cases[] = {
        {"WrtTime >= CDate('2026-12-10') and WrtTime < CDate('2026-12-11')", 2},
        {"WrtTime = CDate('2026-12-10')", 1},
        {"WrtTime = CDate('2026-12-10 00:00:00')", 1},
        {"WrtTime > CDate('2026-12-11')", 1},
        {"WrtTime < CDate('2005-03-02')", 1},
        {"WrtTime < GetDate()", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord where WrtIndex > 9000 and %1").arg(c.where)), c.rows)
            << c.where;

    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select WrtTime from WrtRecord where WrtIndex > 9000 order by WrtIndex"));
    const QStringList expected{"2026-12-10 08:30:00", "2026-12-10", "2026-12-11 00:00:01", "2005-03-01 08:05:09"};
    for (const QString& text : expected) {
        ASSERT_FALSE(rs->IsEOF());
        EXPECT_EQ(rs->GetFieldString(QStringLiteral("WrtTime")), text);
        EXPECT_EQ(rs->GetFieldDateTime(QStringLiteral("WrtTime")), KvParseDateText(text));
        rs->MoveNext();
    }
}

TEST_F(ServerDialectTest, GetDateIsTheServersClockWithoutFractions)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    rs->Open(QStringLiteral("select GetDate() as SysDate"));
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    const QString text = rs->GetFieldString(QStringLiteral("SysDate"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d( \\d\\d:\\d\\d:\\d\\d)?$")).match(text).hasMatch())
        << text.toStdString();
    const QDateTime now = rs->GetFieldDateTime(QStringLiteral("SysDate"));
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    // Inside a long transaction it still tells the time of the statement.
    db.BeginTrans();
    const QString first = Value(QStringLiteral("select GetDate()"));
    QThread::msleep(1100);
    EXPECT_NE(Value(QStringLiteral("select GetDate()")), first);
    db.RollbackTrans();
}

TEST_F(ServerDialectTest, FieldNamesAndTextsWithoutRegardToCase)
{
    db.Execute(QStringLiteral("insert into Block (BlockNo, BlockName) values ('Ab', 'East Side')"), QString());
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    // The server folds the names to lower case; the program reads them as written.
    rs->Open(QStringLiteral("select BlockNo, BlockName from Block where BlockNo = 'AB'"));
    ASSERT_EQ(rs->GetRecordCount(), 1);
    EXPECT_EQ(rs->GetFieldString(QStringLiteral("BlockNo")), QStringLiteral("Ab"));
    EXPECT_EQ(rs->GetFieldString(QStringLiteral("BLOCKNAME")), QStringLiteral("East Side"));
    struct Case
    {
        const char* where;
        int rows;
    } cases[] = {
        {"BlockName = 'EAST SIDE'", 1},
        {"BlockName like 'east%'", 1},
        {"BlockNo in ('ab', 'zz')", 1},
        {"BlockNo > 'aa' and BlockNo < 'AC'", 1},
        {"upper(BlockNo) = 'AB'", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Count(QStringLiteral("select * from Block where %1").arg(c.where)), c.rows) << c.where;
    // A key that differs only in case is the same key.
    EXPECT_THROW(db.Execute(QStringLiteral("insert into Block (BlockNo, BlockName) values ('AB', 'x')"),
                            QStringLiteral("重复")),
                 CKvException);
}

TEST_F(ServerDialectTest, FunctionsTheProgramsSqlUses)
{
    struct Case
    {
        const char* sql;
        const char* value;
    } cases[] = {
        {"select ifnull(null, 5)", "5"},
        {"select ifnull(max(ReportId), 0) + 1 from KvReportForm where ReportId < 0", "1"},
        {"select round(cast(2.345 as double precision) * 100.0, 0) / 100.0", "2.35"},
        {"select round(2.5, 0)", "3"},
        {"select abs(-3)", "3"},
        {"select count(*) from Operator where OperatorNo = 'QZ'", "1"},
        {"select sum(MenuId) from Permission where OperatorNo = 'qz' and MenuId < 502", "902"},
        {"select 'a' || 'b'", "ab"},
        {"select substr('abcdef', 2, 3)", "bcd"},
        {"select length('abc')", "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Value(QString::fromUtf8(c.sql)), QString::fromUtf8(c.value)) << c.sql;
}

// Every column type of a sale row, each with a value of its own, written as
// the program writes it and read back as the program reads it.
TEST_F(ServerDialectTest, AWideRowRoundTrip)
{
    const QString insert = KvFormatSql(
        QStringLiteral("insert into WrtRecord (WrtIndex, MeterNo, CliPreIndex, WrtValue, LimitValue, AlarmShold, "
                       "CloseShold, WrtNum, TotalMul, BuyValue, FreeValue, AccuBuy, AccuUse, AccuRemain, LWaste, "
                       "TWaste, Price, Fee, PrePay, SubFee, FixFee, OpMode, State, OperatorNo, WrtTime) values "
                       "(%d, '%s', %d, %d, '%s', %d, %d, %d, %d, %d, %d, %d, %f, %f, %f, %f, %f, %f, %f, %f, %f, "
                       "'%s', '%s', '%s', CDate('%s'))"),
        100000123, QStringLiteral("M'07"), 11, 12, QStringLiteral("限量"), 13, 14, 15, 16, 17, 18, 19, 20.5, 21.25,
        22.125, 23.75, 0.5375, 25.5, -26.5, 27.5, 28.5, QStringLiteral("正常充值"), QStringLiteral("已写卡"),
        QStringLiteral("qz"), QStringLiteral("2026-12-10 09:31:07"));
    EXPECT_EQ(db.Execute(insert, QStringLiteral("insert failed")), 1);

    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select * from WrtRecord where WrtIndex = 100000123"));
    ASSERT_EQ(rs->GetRecordCount(), 1);
    EXPECT_EQ(rs->GetFieldInt("WrtIndex"), 100000123);
    EXPECT_EQ(rs->GetFieldString("MeterNo"), QStringLiteral("M'07"));
    const char* ints[] = {"CliPreIndex", "WrtValue", "AlarmShold", "CloseShold", "WrtNum",
                          "TotalMul",    "BuyValue", "FreeValue",  "AccuBuy"};
    int expected = 11;
    for (const char* column : ints)
        EXPECT_EQ(rs->GetFieldInt(QString::fromLatin1(column)), expected++) << column;
    EXPECT_EQ(rs->GetFieldString("LimitValue"), QStringLiteral("限量"));
    const struct
    {
        const char* column;
        double value;
    } reals[] = {{"AccuUse", 20.5}, {"AccuRemain", 21.25}, {"LWaste", 22.125}, {"TWaste", 23.75}, {"Price", 0.5375},
                 {"Fee", 25.5},     {"PrePay", -26.5},     {"SubFee", 27.5},   {"FixFee", 28.5}};
    for (const auto& r : reals)
        EXPECT_DOUBLE_EQ(rs->GetFieldDouble(QString::fromLatin1(r.column)), r.value) << r.column;
    EXPECT_EQ(rs->GetFieldString("OpMode"), QStringLiteral("正常充值"));
    EXPECT_EQ(rs->GetFieldString("State"), QStringLiteral("已写卡"));
    EXPECT_EQ(rs->GetFieldString("OperatorNo"), QStringLiteral("qz"));
    EXPECT_EQ(rs->GetFieldString("WrtTime"), QStringLiteral("2026-12-10 09:31:07"));
    // NULL stays NULL.
    db.Execute(QStringLiteral("insert into WrtRecord (WrtIndex) values (100000124)"), QString());
    rs->Open(QStringLiteral("select * from WrtRecord where WrtIndex = 100000124"));
    EXPECT_TRUE(rs->IsFieldNull("MeterNo"));
    EXPECT_TRUE(rs->IsFieldNull("Fee"));
    EXPECT_TRUE(rs->IsFieldNull("WrtTime"));
    EXPECT_EQ(rs->GetFieldText("WrtTime"), QString());
}
