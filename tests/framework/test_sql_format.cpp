#include "CKvException.h"
#include "KvSql.h"
#include "KvTestSupport.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

TEST(KvFormatSql, QuotedTextHasItsQuotesDoubled)
{
    struct Case
    {
        const char* input;
        const char* expected;
    } cases[] = {
        {"O'Brien", "select * from Client where ClientName = 'O''Brien'"},
        {"'; delete from Client;--", "select * from Client where ClientName = '''; delete from Client;--'"},
        {"张三", "select * from Client where ClientName = '张三'"},
        {"", "select * from Client where ClientName = ''"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KvFormatSql("select * from Client where ClientName = '%s'", QString::fromUtf8(c.input)),
                  QString::fromUtf8(c.expected))
            << c.input;
    }
}

TEST(KvFormatSql, ATextHoldingANulIsRefusedByName)
{
    const QString nul = QStringLiteral("张三") + QChar(u'\0') + QStringLiteral("李四");
    const QString message = QStringLiteral("Sql语句中的文本含有空字符(U+0000)，不能执行！");
    EXPECT_EQ(ThrownText([&] { KvFormatSql("insert into Client(ClientName) values('%s')", nul); }), message);
    EXPECT_EQ(ThrownText([&] { KvFormatSql("select * from Client where ClientNo like '%%%s%%'", nul); }), message);
    EXPECT_EQ(ThrownText([&] { KvSqlQuote(QString(QChar(u'\0'))); }), message);
    // Other control characters are stored as they are.
    EXPECT_EQ(KvFormatSql("select '%s'", QStringLiteral("a\tb\nc")), QStringLiteral("select 'a\tb\nc'"));
}

TEST(KvFormatSql, AWidthPadsQuotedTextWithBlanksOrZeros)
{
    struct Case
    {
        const char* format;
        const char* input;
        const char* expected;
    } cases[] = {
        {"values('%08s')", "1234", "values('00001234')"},       // a meter number as a staged upload stores it
        {"values('%08s')", "123456789", "values('123456789')"}, // a width is a minimum
        {"values('%8s')", "12", "values('      12')"},
        {"values('%-4s')", "ab", "values('ab  ')"},
        {"values('%04s')", "'", "values('000''')"}, // the width counts the text, not its doubled quotes
    };
    for (const Case& c : cases)
        EXPECT_EQ(KvFormatSql(c.format, QString::fromUtf8(c.input)), QString::fromUtf8(c.expected)) << c.format;
}

TEST(KvFormatSql, TextInsideALikePatternIsQuotedToo)
{
    EXPECT_EQ(KvFormatSql("where ClientName like '%%%s%%'", QStringLiteral("a'b")),
              QStringLiteral("where ClientName like '%a''b%'"));
}

TEST(KvFormatSql, BareArgumentMustBeAnIdentifierOrAFragment)
{
    EXPECT_EQ(KvFormatSql("select %s from SysPara", QStringLiteral("ClientIndex")),
              QStringLiteral("select ClientIndex from SysPara"));
    EXPECT_THROW(KvFormatSql("select %s from SysPara", QStringLiteral("1; drop table SysPara")), CKvException);
    EXPECT_THROW(KvFormatSql("select %s from SysPara", QStringLiteral("a b")), CKvException);
    EXPECT_EQ(KvFormatSql("select * from Client where %s", KvSqlFragment{QStringLiteral("ClientNo = 'x'")}),
              QStringLiteral("select * from Client where ClientNo = 'x'"));
}

TEST(KvFormatSql, NumbersUseAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // may be missing; QLocale is set too
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    EXPECT_EQ(KvFormatSql("update SysPara set LWaste = %f", 1234.5),
              QStringLiteral("update SysPara set LWaste = 1234.500000"));
    EXPECT_EQ(KvFormatSql("%.2f|%d|%02d|%5d|%-3d|", -0.126, 42, 7, 12, 3), QStringLiteral("-0.13|42|07|   12|3  |"));
    bool ok = false;
    EXPECT_DOUBLE_EQ(KvParseNumber(QStringLiteral("1234.5"), &ok), 1234.5);
    EXPECT_TRUE(ok);

    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(KvFormatSql, ARealReadsBackAsTheSameDouble)
{
    // Six decimals where they are enough; otherwise the shortest exact text.
    struct Case
    {
        double value;
        const char* sql;
    };
    for (const Case& c : {Case{1234.5, "1234.500000"}, Case{0.0000001, "0.0000001"}, Case{-0.0000001, "-0.0000001"},
                          Case{0.1 + 0.2, "0.30000000000000004"}, Case{12.3456789012, "12.3456789012"},
                          Case{1e20, "100000000000000000000.000000"}, Case{3.45f, "3.45"}, Case{1e-7f, "0.0000001"}}) {
        const QString sql = KvFormatSql("%f", c.value);
        EXPECT_EQ(sql, QString::fromUtf8(c.sql)) << c.value;
        EXPECT_EQ(static_cast<float>(c.value) == c.value ? double(sql.toFloat()) : sql.toDouble(), c.value) << c.sql;
        EXPECT_EQ(KvFormatSql("'%s'", c.value), u'\'' + sql + u'\'') << "a real in a text placeholder";
    }
    // A precision asked for is kept, and command lines keep printf's six decimals.
    EXPECT_EQ(KvFormatSql("%.2f", 0.0000001), QStringLiteral("0.00"));
    EXPECT_EQ(KvFormatText("%f", 0.0000001), QStringLiteral("0.000000"));
}

TEST(KvFormatSql, PlaceholderAndArgumentCountsMustAgree)
{
    EXPECT_THROW(KvFormatSql("select %d, %d", 1), CKvException);
    EXPECT_THROW(KvFormatSql("select %d", 1, 2), CKvException);
    EXPECT_THROW(KvFormatSql("select %d", QStringLiteral("x")), CKvException);
    EXPECT_EQ(KvFormatSql("100%%"), QStringLiteral("100%"));
}

TEST(KvDateText, MidnightIsADateAndOtherTimesCarrySeconds)
{
    EXPECT_EQ(KvDateText(QDateTime(QDate(2050, 12, 31), QTime(0, 0))), QStringLiteral("2050-12-31"));
    EXPECT_EQ(KvDateText(QDateTime(QDate(2005, 3, 1), QTime(23, 59, 1))), QStringLiteral("2005-03-01 23:59:01"));
    EXPECT_EQ(KvDateText(QDateTime()), QString());
}

TEST(KvParseDateText, ReadsEveryStoredForm)
{
    struct Case
    {
        const char* text;
        QDateTime expected;
    } cases[] = {
        {"2005-03-01", QDateTime(QDate(2005, 3, 1), QTime(0, 0))},
        {"2005-3-1", QDateTime(QDate(2005, 3, 1), QTime(0, 0))},
        {"2005/03/01 08:05:09", QDateTime(QDate(2005, 3, 1), QTime(8, 5, 9))},
        {"2005-03-01T08:05", QDateTime(QDate(2005, 3, 1), QTime(8, 5))},
        {"2005-02-30", QDateTime()},
        {"2005-03-01 23:59:59", QDateTime(QDate(2005, 3, 1), QTime(23, 59, 59))},
        {"2005-03-01 24:00:00", QDateTime()},
        {"2005-03-01 08:60:00", QDateTime()},
        {"2005-03-01T08:05:09", QDateTime(QDate(2005, 3, 1), QTime(8, 5, 9))},
        {" 2005-03-01", QDateTime(QDate(2005, 3, 1), QTime(0, 0))},
        {"2005-03-0a", QDateTime()},
        {"2005-03-01 08:05:0x", QDateTime()},
        {"yesterday", QDateTime()},
        {"", QDateTime()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KvParseDateText(QString::fromUtf8(c.text)), c.expected) << c.text;
}
