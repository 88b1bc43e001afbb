// The program's locale: Chinese (China) for what the widgets show, whatever
// the system's (these tests run under the program's application object, so
// under that default), while every number that goes into SQL or a file is
// written and read in the C locale.

#include "CDbfTable.h"
#include "CKvApplication.h"
#include "CNumEdit.h"
#include "KvDatePicker.h"
#include "KvNumberField.h"
#include "KvSql.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <clocale>
#include <gtest/gtest.h>

TEST(ProgramLocale, DatePickersShowTheirCalendarInChinese)
{
    EXPECT_EQ(QLocale().name(), QStringLiteral("zh_CN"));
    QDateTimeEdit box;
    KvMakeDatePicker(&box);
    box.setDate(QDate(2026, 12, 10));
    QCalendarWidget* calendar = box.calendarWidget();
    ASSERT_NE(calendar, nullptr);
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QStringLiteral("十二月"));
    // The row of day names above the days, Monday first.
    auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    QStringList names;
    for (int column = 0; column < days->model()->columnCount(); ++column)
        names << days->model()->index(0, column).data().toString();
    EXPECT_TRUE(names.contains(QStringLiteral("周一"))) << names.join(u'|').toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("Mon"))) << names.join(u'|').toStdString();
}

// Under the Chinese default a number shown by the locale is grouped
// ("1,234,567.5"); the texts of SQL, of the number fields and of the dBASE
// files are not, and read back the same value.
TEST(ProgramLocale, NumbersForSqlAndFilesKeepTheCLocale)
{
    ASSERT_EQ(QLocale().language(), QLocale::Chinese);
    ASSERT_EQ(QLocale().toString(1234567.5, 'f', 1), QStringLiteral("1,234,567.5")) << "the default groups";

    EXPECT_EQ(KvFormatSql("update SysPara set LWaste = %f, CompRateWater = %.2f, InvoiceNo = %d", 1234567.5, 0.5,
                          1234567),
              QStringLiteral("update SysPara set LWaste = 1234567.500000, CompRateWater = 0.50, InvoiceNo = 1234567"));
    bool ok = false;
    EXPECT_DOUBLE_EQ(KvParseNumber(QStringLiteral("1234567.5"), &ok), 1234567.5);
    EXPECT_TRUE(ok);
    KvParseNumber(QStringLiteral("1,234,567.5"), &ok);
    EXPECT_FALSE(ok);

    const KvNumberField field{QStringLiteral("读数"), 0, 99999999, 4};
    double value = 0;
    EXPECT_TRUE(KvReadNumber(QStringLiteral("1234567.5"), field, &value));
    EXPECT_DOUBLE_EQ(value, 1234567.5);
    EXPECT_FALSE(KvReadNumber(QStringLiteral("1,234,567.5"), field, &value));
    EXPECT_EQ(KvShortNumberText(1234567.5), QStringLiteral("1234567.5"));
    EXPECT_DOUBLE_EQ(CNumEdit::TextToDouble(QStringLiteral("1234567.5")), 1234567.5);
    EXPECT_EQ(QString::asprintf("%0.2f", 1234567.5), QStringLiteral("1234567.50"));

    // The C library (the dBASE tables' printf and strtod) keeps the point.
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = CDbfTable::PathOf(folder.path(), QStringLiteral("ReadTemp"));
    {
        auto table = CDbfTable::Create(path, {{QStringLiteral("READ"), 'N', 12, 2}});
        table->AppendRecord({QStringLiteral("1234567.5")});
    }
    auto table = CDbfTable::Open(path);
    EXPECT_EQ(table->ReadText(0, 0), QStringLiteral("1234567.50"));
}
