// The meter query, the quota fee query and the quota fee statistics run from
// the menu against the fixture database: their dialogs offscreen, the loop
// that brings each dialog back with its choices, and the lists compared with
// golden CSV.
#include "CKvExtList.h"
#include "CMainFrame.h"
#include "CMeterQueryDlg.h"
#include "COperator.h"
#include "CQuotaQueryDlg.h"
#include "CurrentOperator.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvQueryCommands.h"
#include "KvQueryUiTestUtil.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class MeterQuotaQueryTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CFreshDatabase fresh{QDateTime(QDate(2024, 3, 15), QTime(10, 0))};
    CMainFrame frame;

    MeterQuotaQueryTest()
    {
        LoadQueryFixtures(fresh, {"sales_fixture.sql", "meter_quota_fixture.sql"});
        GetCurrentOperator()->SetRights(QVector<int>{100, 107, 108, 200, 205});
        frame.BuildRightsList();
        InstallQueryCommands(frame);
    }

    static QLineEdit* edit(QWidget* dialog, int id)
    {
        return dialog->findChild<QLineEdit*>(CKvDialog::ControlName(id));
    }
    static CKvExtList* feeList(QWidget* dialog) { return dialog->findChild<CKvExtList*>(CKvDialog::ControlName(1106)); }
    // Ticks or clears fee-item rows by a click on their check column.
    static void clickFeeRows(QWidget* dialog, std::initializer_list<int> rows)
    {
        CKvExtList* list = feeList(dialog);
        ASSERT_NE(list, nullptr);
        for (int row : rows)
            MouseClick(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    }
    static QList<int> ticks(QWidget* dialog)
    {
        QList<int> flags;
        CKvExtList* list = feeList(dialog);
        for (int row = 0; row < list->GetItemCount(); ++row)
            flags << list->GetCheck(row);
        return flags;
    }
    static QString capture(QWidget* dialog, QString& csv)
    {
        auto* result = qobject_cast<CQueryResultDlg*>(dialog);
        EXPECT_NE(result, nullptr) << dialog->objectName().toStdString();
        if (result)
            csv = ResultCsv(result, true);
        return csv;
    }
};

} // namespace

TEST_F(MeterQuotaQueryTest, MeterListFromTheMenuComesBackWithItsConditionsUntilNothingIsFound)
{
    EXPECT_TRUE(frame.IsCommandAllowed(ID_QUERY_METERS));
    QString all, recent;
    CModalScript script;
    script.Then([](QWidget* dialog) { CModalScript::Click(dialog, 1000); })
        .Then([&](QWidget* dialog) {
            capture(dialog, all);
            dialog->close();
        })
        .Then([](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "用户电表查询");
            ClickIndicator(ConditionBox(dialog, 1072));
            TypeText(edit(dialog, 1197), "30");
            ClickIndicator(ConditionBox(dialog, 1051));
            TypeText(edit(dialog, 1002), "01");
            CModalScript::Click(dialog, 1000);
        })
        .Then([&](QWidget* dialog) {
            capture(dialog, recent);
            dialog->close();
        })
        .Then([](QWidget* dialog) {
            // The same conditions again; a name nobody has finds nothing.
            EXPECT_TRUE(ConditionBox(dialog, 1072)->isChecked());
            EXPECT_EQ(edit(dialog, 1197)->text(), "30");
            EXPECT_TRUE(ConditionBox(dialog, 1051)->isChecked());
            EXPECT_EQ(edit(dialog, 1002)->text(), "01");
            EXPECT_FALSE(edit(dialog, 1002)->isReadOnly());
            ClickIndicator(ConditionBox(dialog, 1263));
            TypeText(edit(dialog, 1009), "nobody");
            CModalScript::Click(dialog, 1000);
        });
    frame.GetCommandAction(ID_QUERY_METERS)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), QStringList({"dlg158", "dlg180", "dlg158", "dlg180", "dlg158"}));
    EXPECT_EQ(sink.Texts(), QStringList({"找不到相关数据！"}));
    ExpectGoldenCsv("meter_list_all", all);
    EXPECT_TRUE(recent.startsWith("用户电表明细表(装表日期从：全期；用户代码：01；30天没来买电；)\n"))
        << recent.toStdString();
    EXPECT_TRUE(recent.contains("\nM0111") || recent.contains(",M0111,")) << recent.toStdString();
    EXPECT_TRUE(recent.contains("记录总数：1")) << recent.toStdString();
}

TEST_F(MeterQuotaQueryTest, TickedDaysWithoutANumberKeepTheMeterDialogOpen)
{
    CMeterQueryDlg dialog(nullptr, QStringLiteral("用户电表查询"));
    ASSERT_TRUE(ShowActive(&dialog));
    QLineEdit* days = edit(&dialog, 1197);
    EXPECT_TRUE(days->isReadOnly());
    EXPECT_TRUE(dialog.findChild<QDateEdit*>("c1206")->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.findChild<QDateEdit*>("c1207")->isVisibleTo(&dialog));
    EXPECT_FALSE(ConditionBox(&dialog, 1299)->isVisibleTo(&dialog)); // no pay mode

    ClickIndicator(ConditionBox(&dialog, 1072));
    EXPECT_FALSE(days->isReadOnly());
    TypeText(days, "  ");
    MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
    EXPECT_EQ(sink.Texts(), QStringList({"请输入天数"}));
    EXPECT_TRUE(dialog.isVisible());

    // More days than a hundred years are refused by the field's name, before
    // any date is made of them.
    for (const char* tooMany : {"36501", "739000", "99999999999999999999"}) {
        sink.Clear();
        days->selectAll();
        TypeText(days, tooMany);
        MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
        EXPECT_EQ(sink.Texts(), QStringList({"天没来买电的天数不应大于36500！"})) << tooMany;
        EXPECT_TRUE(dialog.isVisible()) << tooMany;
        EXPECT_EQ(dialog.focusWidget(), days) << tooMany;
    }

    days->selectAll();
    TypeText(days, "36500");
    MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetMeterCondition().m_days, "36500");
    EXPECT_EQ(dialog.GetMeterCondition().m_bDays, 1);
}

TEST_F(MeterQuotaQueryTest, QuotaQueryOfTwoCollectedItemsComesBackWithItsTicks)
{
    QString csv;
    QStringList before, after;
    CModalScript script;
    script
        .Then([](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "请选择收费项");
            EXPECT_EQ(ticks(dialog), QList<int>({0, 0, 0, 0}));
            clickFeeRows(dialog, {0, 1});
            CModalScript::Click(dialog, 1000);
        })
        .Then([&](QWidget* dialog) {
            capture(dialog, csv);
            // A header click leaves the rows where they are.
            auto* result = qobject_cast<CQueryResultDlg*>(dialog);
            CResultList* list = result->GetList();
            for (int r = 0; r < list->GetItemCount(); ++r)
                before << list->GetItemText(r, 4);
            QHeaderView* header = list->horizontalHeader();
            MouseClick(header->viewport(), QPoint(header->sectionViewportPosition(4) + 5, header->height() / 2));
            for (int r = 0; r < list->GetItemCount(); ++r)
                after << list->GetItemText(r, 4);
            dialog->close();
        })
        .Then([](QWidget* dialog) {
            EXPECT_EQ(ticks(dialog), QList<int>({1, 1, 0, 0}));
            CModalScript::Click(dialog, 1001);
        });
    frame.GetCommandAction(ID_QUERY_QUOTAFEES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), QStringList({"dlg165", "dlg180", "dlg165"}));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
    ExpectGoldenCsv("quota_query_two_items", csv);
    EXPECT_EQ(before, after);
}

TEST_F(MeterQuotaQueryTest, QuotaQueryWithAnExactUserCodeFindsNothingAndEnds)
{
    CModalScript script;
    script.Then([](QWidget* dialog) {
        ClickIndicator(ConditionBox(dialog, 1051));
        TypeText(edit(dialog, 1002), "010");
        clickFeeRows(dialog, {0});
        CModalScript::Click(dialog, 1000);
    });
    frame.GetCommandAction(ID_QUERY_QUOTAFEES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), QStringList({"dlg165"}));
    EXPECT_EQ(sink.Texts(), QStringList({"找不到相关数据！"}));
}

TEST_F(MeterQuotaQueryTest, QuotaStatisticsByBuildingComesBackWithItsGroupingAndTicks)
{
    QString csv;
    CModalScript script;
    script
        .Then([](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "定额收费统计");
            EXPECT_TRUE(dialog->findChild<QRadioButton*>("c1310")->isChecked());
            EXPECT_EQ(ConditionCombo(dialog, 1008)->count(), 10);
            ClickIndicator(dialog->findChild<QRadioButton*>("c1311"));
            clickFeeRows(dialog, {0, 1});
            CModalScript::Click(dialog, 1000);
        })
        .Then([&](QWidget* dialog) {
            capture(dialog, csv);
            dialog->close();
        })
        .Then([](QWidget* dialog) {
            EXPECT_TRUE(dialog->findChild<QRadioButton*>("c1311")->isChecked());
            EXPECT_EQ(ticks(dialog), QList<int>({1, 1, 0, 0}));
            CModalScript::Click(dialog, 1001);
        });
    frame.GetCommandAction(ID_STAT_QUOTAFEES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), QStringList({"dlg168", "dlg180", "dlg168"}));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
    ExpectGoldenCsv("quota_stat_building", csv);
}

TEST_F(MeterQuotaQueryTest, FeeItemsBeyondAHundredAreTickedAndComeBack)
{
    for (int i = 0; i < 100; ++i) {
        const QString code = QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0'));
        fresh.Db().Execute(
            QStringLiteral("insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, "
                           "BalDay, State) values ('%1', '项%2', '定额收费价', '', '', '月', '', '', '正常')")
                .arg(code)
                .arg(i),
            QString());
        fresh.Db().Execute(QStringLiteral("insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, "
                                          "OperatorNo, ModiTime) values (%1, '%2', 1, '2020-01-01', '2050-12-31', "
                                          "'qz', '2020-01-01')")
                               .arg(1000 + i)
                               .arg(code),
                           QString());
    }
    QList<int> selection(104, 0);
    selection[101] = 1; // the 102nd row: R097, after Q1 to Q4 by code
    CQuotaQueryDlg dialog(nullptr, QStringLiteral("请选择收费项"));
    dialog.SetFeeSelection(selection);
    ASSERT_TRUE(ShowActive(&dialog));
    CKvExtList* list = feeList(&dialog);
    ASSERT_EQ(list->GetItemCount(), 104);
    EXPECT_EQ(list->GetCheck(101), 1);
    list->scrollToBottom();
    clickFeeRows(&dialog, {103});
    MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
    ASSERT_EQ(dialog.GetFeeSelection().size(), 104);
    EXPECT_EQ(dialog.GetFeeSelection()[101], 1);
    EXPECT_EQ(dialog.GetFeeSelection()[103], 1);
    EXPECT_EQ(dialog.GetFeeNames(), QStringList({"项97", "项99"}));
}
