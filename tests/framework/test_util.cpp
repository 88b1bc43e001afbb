#include "CKvException.h"
#include "KvTestSupport.h"
#include "KvUtil.h"

#include <QFile>
#include <climits>
#include <gtest/gtest.h>

TEST(RoundAmount, DropsBelowAndAddsFrom0499)
{
    struct Case
    {
        double in;
        int out;
    } cases[] = {{0.499, 1}, {0.4989, 0}, {-0.499, -1}, {3.0, 3}, {2.499, 3}, {2.4989, 2}, {-2.5, -3}, {0.0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundAmount(c.in), c.out) << c.in;
    EXPECT_DOUBLE_EQ(RoundAmountValue(4e9 + 0.6), 4e9 + 1) << "beyond the int range in double";
    EXPECT_EQ(RoundAmount(1e12), INT_MAX);
}

TEST(AddYearMonth, StepsAcrossYears)
{
    struct Case
    {
        int ym, n, out;
    } cases[] = {{200512, 1, 200601},   {200601, -1, 200512}, {200511, 3, 200602}, {200507, 0, 200507},
                 {200502, -14, 200312}, {190001, 0, 190001},  {210011, 1, 210012}};
    for (const Case& c : cases)
        EXPECT_EQ(AddYearMonth(c.ym, c.n), c.out) << c.ym << " " << c.n;
}

TEST(AddYearMonth, RefusesValuesOutsideTheRangeOrWithNoSuchMonth)
{
    const int bad[][2] = {{210012, 1},  {190001, -1},      {189912, 1},       {200500, 1},   {200513, 0},
                          {200599, -1}, {200501, INT_MAX}, {200501, INT_MIN}, {200501, 2411}};
    for (const auto& b : bad)
        EXPECT_EQ(ThrownText([&] { AddYearMonth(b[0], b[1]); }), QStringLiteral("年月数据类型错误！"))
            << b[0] << " " << b[1];
}

TEST(DaysBetween, CountsCalendarDaysInEitherOrder)
{
    const QDateTime a(QDate(2005, 3, 1), QTime(23, 59));
    const QDateTime b(QDate(2005, 3, 2), QTime(0, 1));
    EXPECT_EQ(DaysBetween(a, b), 1);
    EXPECT_EQ(DaysBetween(b, a), 1);
    EXPECT_EQ(DaysBetween(a, a), 0);
    EXPECT_EQ(DaysBetween(QDateTime(QDate(2004, 2, 1), QTime()), QDateTime(QDate(2004, 3, 1), QTime())), 29);
}

TEST(AmountToCapitals, WrittenForm)
{
    struct Case
    {
        double amount;
        const char* text;
    } cases[] = {
        {1234.56, "￥壹仟贰佰叁拾肆元伍角陆分整"},
        {10100, "￥壹万零壹佰元整"},
        {0, "￥整"},
        {-0.05, "负伍分整"},
        {1200000, "￥壹佰贰拾万元整"},
        {1010000, "￥壹佰零壹万元整"},
        {10.5, "￥壹拾元伍角整"},
        {9999999.99, "￥玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分整"},
        {10000000, ""},
        {25000000, ""}, // used to overflow the int of fen and print garbage
        {-1e12, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AmountToCapitals(c.amount, 0), QString::fromUtf8(c.text)) << c.amount;
}

TEST(AmountToCapitals, BoxedFormIsRightAlignedInCells)
{
    const QString r = AmountToCapitals(12.3, 1);
    EXPECT_EQ(r, QStringLiteral("            ￥ 壹 贰 叁 零"));
    EXPECT_EQ(GbkByteLength(r), 8 * 1 + 18);
    EXPECT_EQ(GbkByteLength(AmountToCapitals(999999.99, 2)), 8 * 2 + 18);
    EXPECT_EQ(GbkByteLength(AmountToCapitals(1000000, 2)), 8 * 2 + 20);
    EXPECT_TRUE(AmountToCapitals(0, 1).endsWith(QStringLiteral("零")));
}

TEST(GbkByteLength, ChineseCountsTwo)
{
    EXPECT_EQ(GbkByteLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(GbkByteLength(QStringLiteral("小区")), 4);
    EXPECT_EQ(GbkByteLength(QStringLiteral("A座1单元")), 8);
    EXPECT_EQ(GbkByteLength(QString()), 0);
}

TEST(SmallHelpers, LookupsAndTexts)
{
    EXPECT_EQ(LevelNameToCode(QStringLiteral("三级")), 0);
    EXPECT_EQ(LevelNameToCode(QStringLiteral("四级")), 0);
    EXPECT_EQ(LevelNameToCode(QStringLiteral("一级")), 1);
    EXPECT_EQ(LevelNameToCode(QStringLiteral("二级")), 2);
    EXPECT_EQ(MeterTypeName(QStringLiteral("DTSY1234")), QStringLiteral("三功预付"));
    EXPECT_EQ(MeterTypeName(QStringLiteral("DDSY")), QStringLiteral("单功预付"));
    EXPECT_EQ(MeterTypeName(QStringLiteral("other")), QStringLiteral("单功预付"));
    EXPECT_EQ(MakeBlanks(3), QStringLiteral("   "));
    EXPECT_EQ(MakeBlanks(-1), QString());
    EXPECT_EQ(DigitToCapital(10), QString());
    QString t = QStringLiteral("  a b \t");
    TrimString(t);
    EXPECT_EQ(t, QStringLiteral("a b"));
    EXPECT_EQ(ParseDate(QStringLiteral("2005-03-01 08:00:00")), QDateTime(QDate(2005, 3, 1), QTime(8, 0)));
    EXPECT_FALSE(IsDateValid(ParseDate(QStringLiteral("03/01/2005x"))));
}

TEST(Files, ExistenceWildcardsAndCopies)
{
    CTempAppDirectory app;
    EXPECT_EQ(GetAppDirectory(), app.Path());
    QFile f(app.FilePath("Qrdb2501011200.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("one");
    f.close();
    EXPECT_TRUE(FileExists(app.FilePath("Qrdb*.db")));
    EXPECT_FALSE(FileExists(app.FilePath("Other*.db")));
    EXPECT_TRUE(CopyFileReplace(app.FilePath("Qrdb2501011200.db"), app.FilePath("copy.db")));
    EXPECT_TRUE(CopyFileReplace(app.FilePath("Qrdb2501011200.db"), app.FilePath("copy.db"))) << "overwrites";
    EXPECT_FALSE(CopyFileReplace(app.FilePath("none.db"), app.FilePath("copy.db")));

    // A file copied onto itself (a restore that picked the live file) fails and keeps its content.
    EXPECT_FALSE(CopyFileReplace(app.FilePath("copy.db"), app.FilePath("./copy.db")));
    QFile copy(app.FilePath("copy.db"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("one"));
}

TEST(RunProgramAndWait, MissingProgramThrowsAndRunsNothing)
{
    int runs = 0;
    KvProgramRunner previous = SetProgramRunner([&](const QString&, const QStringList&) { return ++runs; });
    EXPECT_EQ(ThrownText([] { RunProgramAndWait(QStringLiteral("/no/such/Tarlisk"), QStringLiteral("1 2")); }),
              QStringLiteral("找不到指定的运行程序: /no/such/Tarlisk！"));
    EXPECT_EQ(runs, 0);
    SetProgramRunner(previous);
}

TEST(RunProgramAndWait, WaitsForTheProgram)
{
    CTempAppDirectory app;
    const QString marker = app.FilePath("done.txt");
    RunProgramAndWait(QStringLiteral("/bin/sh"), QStringLiteral("-c \"sleep 0.2; echo x > '%1'\"").arg(marker));
    EXPECT_TRUE(QFile::exists(marker));
}
