// The sale condition dialogs offscreen, and the two sale query commands run
// from the menu against a small fixture database, compared with golden CSV.
#include "../../framework/ui/KvShownTextCheck.h"
#include "CAdoConnection.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "CKvReportCol.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CQueryResultDlg.h"
#include "CReportTable.h"
#include "CResultList.h"
#include "CSaleConditionDlg.h"
#include "CSaleStatDlg.h"
#include "CSqliteEngine.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvDialogScript.h"
#include "KvGoldenCsv.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvQueryCommands.h"
#include "KvQueryUiTestUtil.h"
#include "KvReportFormat.h"
#include "KvSaleGenerator.h"
#include "SysGlobals.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using D = CSaleConditionDlg;

class SaleQueryTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CFreshDatabase fresh{QDateTime(QDate(2024, 3, 15), QTime(10, 0))};
    CMainFrame frame;

    SaleQueryTest() : SaleQueryTest(true) {}
    explicit SaleQueryTest(bool fixtureSales)
    {
        if (fixtureSales)
            LoadQueryFixtures(fresh, {"sales_fixture.sql"});
        GetCurrentOperator()->SetRights(QVector<int>{100, 103, 104});
        frame.BuildRightsList();
        InstallQueryCommands(frame);
    }

    static QComboBox* combo(QWidget* dialog, int id) { return ConditionCombo(dialog, id); }
    static QCheckBox* box(QWidget* dialog, int id) { return ConditionBox(dialog, id); }
    static void clickIndicator(QAbstractButton* button) { ClickIndicator(button); }
    static void clickBox(QWidget* dialog, int id) { clickIndicator(box(dialog, id)); }
    // Chooses an item by its text as the operator does with the keyboard.
    static void choose(QWidget* dialog, int id, const QString& text)
    {
        QComboBox* c = combo(dialog, id);
        ASSERT_NE(c, nullptr) << id;
        const int target = c->findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        c->setFocus();
        while (c->currentIndex() < target)
            PressKey(c, Qt::Key_Down);
        while (c->currentIndex() > target)
            PressKey(c, Qt::Key_Up);
    }

    static QString resultCsv(CQueryResultDlg* result, bool sortRows) { return ResultCsv(result, false, sortRows); }
    static void expectGolden(const QString& name, const QString& csv) { ExpectGoldenCsv(name, csv); }

    // Runs a command: the condition dialog is set up and confirmed, the result
    // captured and closed, and the dialog shown again is cancelled.
    QString runOnce(int command, const std::function<void(QWidget*)>& conditions, bool sortRows)
    {
        QString csv;
        CModalScript script;
        script
            .Then([&](QWidget* dialog) {
                conditions(dialog);
                CModalScript::Click(dialog, 1000);
            })
            .Then([&](QWidget* dialog) {
                auto* result = qobject_cast<CQueryResultDlg*>(dialog);
                EXPECT_NE(result, nullptr) << dialog->objectName().toStdString();
                if (result)
                    csv = resultCsv(result, sortRows);
                dialog->close();
            })
            .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); });
        frame.GetCommandAction(command)->trigger();
        EXPECT_TRUE(script.Exhausted());
        const QString dialog = command == ID_QUERY_SALES ? "dlg183" : "dlg184";
        EXPECT_EQ(script.Seen(), QStringList({dialog, "dlg180", dialog}));
        return csv;
    }
};

// The benches' generated file, small: its sales in place of the fixture's.
class GeneratedSalesQueryTest : public SaleQueryTest
{
protected:
    GeneratedSalesQueryTest() : SaleQueryTest(false)
    {
        auto* engine = dynamic_cast<CSqliteEngine*>(fresh.Db().GetEngine());
        CSaleGeneratorSpec spec;
        spec.sales = 2000;
        spec.users = 200;
        GenerateSales(engine->handle(), spec);
    }
};

} // namespace

// The program works on the file the benches generate: 售电统计 opens on it
// (its condition dialog reads every price and meter type) and lists the
// statistic by operator of a use nature.
TEST_F(GeneratedSalesQueryTest, TheSaleStatisticsOpenOnTheGeneratedFile)
{
    const QString csv = runOnce(
        ID_STAT_SALES,
        [](QWidget* dialog) {
            clickBox(dialog, 1252);
            choose(dialog, 1182, QStringLiteral("商业用电"));
            clickIndicator(dialog->findChild<QRadioButton*>("c1232"));
        },
        true);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
    // The commercial meters' sales, by the operators who sold them.
    const QString sales = QStringLiteral("from WrtRecord c, PrePrice f where f.CliPreIndex = c.CliPreIndex and "
                                         "f.PriceX = 0 and f.PriceNo = 'P2'");
    const QString total = fresh.Value(QStringLiteral("select count(*) ") + sales);
    const QString operators = fresh.Value(QStringLiteral("select count(distinct c.OperatorNo) ") + sales);
    ASSERT_NE(total.toInt(), 0);
    EXPECT_TRUE(csv.contains(QStringLiteral("\n汇    总,%1,").arg(total))) << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("记录总数：%1").arg(operators))) << csv.toStdString();
}

TEST_F(SaleQueryTest, BoxesTickTheirParentsAndClearingLeavesThem)
{
    CSaleQueryDlg dialog(nullptr, QStringLiteral("售电记录查询"));
    dialog.EnsureInitialised();
    const int block = dialog.CheckBoxId(D::Block), building = dialog.CheckBoxId(D::Building),
              floor = dialog.CheckBoxId(D::Floor), unit = dialog.CheckBoxId(D::Unit), room = dialog.CheckBoxId(D::Room);
    EXPECT_FALSE(combo(&dialog, 1042)->isEnabled());

    clickBox(&dialog, room);
    for (int id : {block, building, floor, room})
        EXPECT_TRUE(box(&dialog, id)->isChecked()) << id;
    EXPECT_TRUE(combo(&dialog, 1042)->isEnabled());
    EXPECT_TRUE(combo(&dialog, 1044)->isEnabled());
    EXPECT_TRUE(combo(&dialog, 1046)->isEnabled());
    EXPECT_FALSE(box(&dialog, unit)->isChecked());

    // Clearing the district leaves the building ticked.
    clickBox(&dialog, block);
    EXPECT_FALSE(box(&dialog, block)->isChecked());
    EXPECT_FALSE(combo(&dialog, 1042)->isEnabled());
    EXPECT_TRUE(box(&dialog, building)->isChecked());

    CSaleStatDlg stat(nullptr, QStringLiteral("售电记录统计"));
    stat.EnsureInitialised();
    clickBox(&stat, stat.CheckBoxId(D::Unit));
    EXPECT_TRUE(box(&stat, 1041)->isChecked());
    EXPECT_TRUE(box(&stat, 1053)->isChecked());
    EXPECT_FALSE(box(&stat, stat.CheckBoxId(D::Floor))->isChecked());
    EXPECT_EQ(stat.CheckBoxId(D::Floor), 1059);
    EXPECT_EQ(combo(&stat, 1058)->count(), 6);
    EXPECT_FALSE(combo(&stat, 1058)->isEditable());

    // Unticking a user code empties it.
    clickBox(&dialog, 1051);
    dialog.findChild<QLineEdit*>("c1002")->setText("01");
    clickBox(&dialog, 1051);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("c1002")->text().isEmpty());
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("c1002")->isReadOnly());
}

TEST_F(SaleQueryTest, ADistrictChoiceOffersItsBuildingsAndReopeningRestoresEverything)
{
    CSaleCondition chosen;
    {
        CSaleQueryDlg dialog(nullptr, QStringLiteral("售电记录查询"));
        dialog.EnsureInitialised();
        clickBox(&dialog, 1053); // building ticks the district
        choose(&dialog, 1042, "西区");
        QComboBox* buildings = combo(&dialog, 1043);
        EXPECT_EQ(buildings->count(), 2); // the reserved row and 西一幢
        EXPECT_EQ(buildings->currentIndex(), -1);
        choose(&dialog, 1043, "西一幢");
        clickBox(&dialog, 1256);
        choose(&dialog, 1257, "李出纳");
        clickBox(&dialog, 1152);
        dialog.findChild<QLineEdit*>("c1155")->setText("10");
        dialog.findChild<QLineEdit*>("c1156")->setText("500");
        clickBox(&dialog, 1057);
        combo(&dialog, 1058)->setEditText("补卡充值");
        MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
        chosen = dialog.GetCondition();
    }
    EXPECT_EQ(chosen.m_blockNo, "02");
    EXPECT_EQ(chosen.m_blockName, "西区");
    EXPECT_EQ(chosen.m_buildingNo, "01");
    EXPECT_EQ(chosen.m_operatorNo, "op2");
    EXPECT_EQ(chosen.m_operatorName, "李出纳");
    EXPECT_EQ(chosen.m_opMode, "补卡充值");
    EXPECT_EQ(chosen.m_buyTo, "500");

    CSaleQueryDlg again(nullptr, QStringLiteral("售电记录查询"));
    again.SetCondition(chosen);
    again.EnsureInitialised();
    EXPECT_TRUE(box(&again, 1041)->isChecked());
    EXPECT_TRUE(box(&again, 1053)->isChecked());
    EXPECT_EQ(combo(&again, 1042)->currentText(), "西区");
    EXPECT_EQ(combo(&again, 1043)->currentText(), "西一幢");
    EXPECT_EQ(combo(&again, 1257)->currentText(), "李出纳");
    EXPECT_EQ(combo(&again, 1058)->currentText(), "补卡充值");
    EXPECT_EQ(again.findChild<QLineEdit*>("c1155")->text(), "10");
    EXPECT_EQ(again.findChild<QLineEdit*>("c1156")->text(), "500");
    EXPECT_FALSE(box(&again, 1051)->isChecked());
}

TEST_F(SaleQueryTest, SaleRecordQueryFromTheMenuMatchesItsGolden)
{
    expectGolden("sale_records_all", runOnce(
                                         ID_QUERY_SALES, [](QWidget*) {}, false));
    expectGolden("sale_records_march_east", runOnce(
                                                ID_QUERY_SALES,
                                                [](QWidget* dialog) {
                                                    clickBox(dialog, 1204);
                                                    auto* from = dialog->findChild<QDateEdit*>("c1206");
                                                    auto* to = dialog->findChild<QDateEdit*>("c1207");
                                                    from->setDate(QDate(2024, 3, 1));
                                                    to->setDate(QDate(2024, 3, 31));
                                                    clickBox(dialog, 1041);
                                                    choose(dialog, 1042, "东区");
                                                },
                                                false));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

TEST_F(SaleQueryTest, TheLoopRunsThroughTheDialogSeamWithTheTableHandedToTheList)
{
    CDialogScript script;
    const auto setDay = [](QWidget* dialog) {
        dialog->findChild<QDateEdit*>("c1206")->setDate(QDate(2024, 3, 10));
        dialog->findChild<QDateEdit*>("c1207")->setDate(QDate(2024, 3, 10));
    };
    script
        .Then([&](QWidget* dialog) {
            clickBox(dialog, 1204);
            setDay(dialog);
            CModalScript::Click(dialog, 1000);
        })
        .Then([](QWidget* dialog) {
            EXPECT_NE(qobject_cast<CQueryResultDlg*>(dialog), nullptr);
            qobject_cast<QDialog*>(dialog)->reject();
        })
        .Then([](QWidget* dialog) {
            // Again with the day just used.
            EXPECT_TRUE(box(dialog, 1204)->isChecked());
            EXPECT_EQ(dialog->findChild<QDateEdit*>("c1206")->date(), QDate(2024, 3, 10));
            EXPECT_EQ(dialog->findChild<QDateEdit*>("c1207")->date(), QDate(2024, 3, 10));
            CModalScript::Click(dialog, 1001);
        });
    frame.GetCommandAction(ID_QUERY_SALES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    ASSERT_EQ(script.Seen().size(), 3);
    EXPECT_TRUE(script.Seen()[0].startsWith("dlg183 售电记录查询"));
    EXPECT_TRUE(script.Seen()[1].startsWith("dlg180 "));
    ASSERT_EQ(script.Tables().size(), 1u);
    const CDialogScript::CListTable& table = script.Tables().front();
    EXPECT_EQ(table.caption, QStringLiteral("售电记录明细表(时期：2024-03-10 至 2024-03-10；)"));
    // Titles, the day's one sale (once per share of its main price), the total.
    ASSERT_GE(table.lines.size(), 3);
    EXPECT_TRUE(table.lines.first().startsWith("用户代码,"));
    for (int i = 1; i + 1 < table.lines.size(); ++i)
        EXPECT_TRUE(table.lines[i].contains("2024-03-10 14:30:00")) << table.lines[i].toStdString();
    EXPECT_TRUE(table.lines.last().startsWith(KV_SUMMARY_CAPTION));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

TEST_F(SaleQueryTest, SaleStatisticsFromTheMenuMatchesItsGolden)
{
    expectGolden(
        "sale_stat_operator",
        runOnce(
            ID_STAT_SALES, [](QWidget* dialog) { clickIndicator(dialog->findChild<QRadioButton*>("c1232")); }, true));
    expectGolden(
        "sale_stat_room",
        runOnce(
            ID_STAT_SALES, [](QWidget* dialog) { clickIndicator(dialog->findChild<QRadioButton*>("c1065")); }, true));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

TEST_F(SaleQueryTest, NothingFoundEndsTheCommandAndAMissingLayoutIsTold)
{
    {
        CModalScript script;
        script.Then([](QWidget* dialog) {
            clickBox(dialog, 1263);
            dialog->findChild<QLineEdit*>("c1009")->setText("O'Brien");
            CModalScript::Click(dialog, 1000);
        });
        script.Then([](QWidget* dialog) { dialog->close(); });
        script.Then([](QWidget* dialog) {
            clickBox(dialog, 1263);
            clickBox(dialog, 1263);
            dialog->findChild<QLineEdit*>("c1009")->setText("nobody");
            CModalScript::Click(dialog, 1000);
        });
        frame.GetCommandAction(ID_QUERY_SALES)->trigger();
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(sink.Texts(), QStringList({"找不到相关数据！"}));

    // The layouts of the statistics by room are gone: told, no list, the dialog again.
    sink.Clear();
    fresh.Db().Execute(QStringLiteral("delete from KvReportForm where ReportType = '售电记录统计表_按房号'"),
                       QString());
    CModalScript stat;
    stat.Then([](QWidget* dialog) {
            clickIndicator(dialog->findChild<QRadioButton*>("c1065"));
            CModalScript::Click(dialog, 1112); // the format button: told, nothing else
            CModalScript::Click(dialog, 1000);
        })
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); });
    frame.GetCommandAction(ID_STAT_SALES)->trigger();
    EXPECT_TRUE(stat.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList({"报表格式类型错误！", "报表格式类型错误！"}));
}

TEST_F(SaleQueryTest, TheFormatButtonReplacesTheColumnsOfTheChosenGrouping)
{
    const int reportId =
        fresh.Value("select ReportId from KvReportForm where ReportType = '售电记录统计表_按房号'").toInt();
    CModalScript script;
    // The setup dialog opens from the button, outside the script's own turn;
    // when it has been answered the statistics dialog is closed.
    script
        .Then([](QWidget* dialog) {
            clickIndicator(dialog->findChild<QRadioButton*>("c1065"));
            QTimer::singleShot(0, dialog, [dialog] {
                CModalScript::Click(dialog, 1112);
                CModalScript::Click(dialog, 1001);
            });
        })
        .Then([](QWidget* setup) {
            EXPECT_EQ(setup->windowTitle(), "设置报表格式");
            CModalScript::Click(setup, 1000);
        });
    const int before = fresh.Count(QStringLiteral("select * from KvReportCol where ReportId = %1").arg(reportId));
    frame.GetCommandAction(ID_STAT_SALES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(fresh.Value(QStringLiteral("select ReportName from KvReportForm where ReportId = %1").arg(reportId)),
              "售电记录统计表_按房号");
    const int after = fresh.Count(QStringLiteral("select * from KvReportCol where ReportId = %1").arg(reportId));
    EXPECT_EQ(after, before);
    EXPECT_EQ(
        fresh.Value(QStringLiteral("select group_concat(ColX) from (select ColX from KvReportCol where ReportId = "
                                   "%1 order by ColX)")
                        .arg(reportId)),
        [after] {
            QStringList xs;
            for (int i = 0; i < after; ++i)
                xs << QString::number(i);
            return xs.join(u',');
        }());
}

TEST_F(SaleQueryTest, AFailingColumnInsertKeepsTheStoredFormatWhole)
{
    const QString type = QStringLiteral("售电记录统计表_按房号");
    const int reportId = fresh.Value("select ReportId from KvReportForm where ReportType = '售电记录统计表_按房号'").toInt();
    const auto stored = [&] {
        return fresh.Value(QStringLiteral("select PaperWidth || '|' || LeftOffset from KvReportForm where ReportId = %1")
                               .arg(reportId)) +
               u'|' +
               fresh.Value(QStringLiteral("select group_concat(ColHeader || ':' || ColX || ':' || ColWidth, ';') from "
                                          "(select * from KvReportCol where ReportId = %1 order by ColX)")
                               .arg(reportId));
    };
    const QString before = stored();
    ASSERT_FALSE(before.endsWith(u'|'));
    fresh.Db().Execute(QStringLiteral("create trigger NoColumn before insert on KvReportCol "
                                      "begin select raise(abort, 'refused'); end"),
                       QString());
    CModalScript script;
    script.Then([](QWidget* setup) {
        setup->findChild<QLineEdit*>("c1029")->setText("77");
        CModalScript::Click(setup, 1000);
    });
    bool thrown = false;
    try {
        SetupReportFormat(type);
    } catch (const CKvException&) {
        thrown = true;
    }
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(stored(), before);
}

// The period's date boxes show a whole date beside their arrows, in the
// dialog of either sale query as it opens.
TEST_F(SaleQueryTest, ThePeriodBoxesShowTheirWholeDates)
{
    CSaleQueryDlg records(nullptr, QStringLiteral("售电记录查询"));
    CSaleStatDlg statistics(nullptr, QStringLiteral("售电记录统计"));
    for (QDialog* dialog : std::initializer_list<QDialog*>{&records, &statistics}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        for (const char* id : {"c1206", "c1207"}) {
            auto* date = dialog->findChild<QDateEdit*>(id);
            ASSERT_NE(date, nullptr) << id;
            date->setDate(QDate(2026, 12, 31));
            QString why;
            EXPECT_TRUE(DateBoxShowsItsDate(date, &why))
                << dialog->windowTitle().toStdString() << ' ' << id << ": " << why.toStdString();
        }
        dialog->close();
    }
}

// Tab goes from the period's first date box to the second and on out of it,
// as from any field: neither date is changed on the way.
TEST_F(SaleQueryTest, TabLeavesEachPeriodBoxForTheNextField)
{
    CSaleQueryDlg records(nullptr, QStringLiteral("售电记录查询"));
    CSaleStatDlg statistics(nullptr, QStringLiteral("售电记录统计"));
    for (QDialog* dialog : std::initializer_list<QDialog*>{&records, &statistics}) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        ASSERT_TRUE(ShowActive(dialog));
        auto* from = dialog->findChild<QDateEdit*>("c1206");
        auto* to = dialog->findChild<QDateEdit*>("c1207");
        from->setDate(QDate(2026, 12, 1));
        to->setDate(QDate(2026, 12, 31));
        CModalScript::Click(dialog, 1204); // the period is a condition
        ASSERT_TRUE(from->isEnabled());
        from->setFocus(Qt::TabFocusReason);
        PressKey(from, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), to);
        PressKey(to, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), to);
        EXPECT_EQ(from->date(), QDate(2026, 12, 1));
        EXPECT_EQ(to->date(), QDate(2026, 12, 31));
        dialog->close();
    }
}

// The result list of the sale records widens every column to its heading and
// its values, the sale times included.
TEST_F(SaleQueryTest, TheResultColumnsShowTheirWholeValues)
{
    QStringList cut{"not seen"};
    QString writeTimes;
    CModalScript script;
    script.Then([](QWidget* dialog) { CModalScript::Click(dialog, 1000); })
        .Then([&](QWidget* dialog) {
            auto* result = qobject_cast<CQueryResultDlg*>(dialog);
            ASSERT_NE(result, nullptr);
            CResultList* list = result->GetList();
            cut = CutListTexts(*list);
            for (int c = 0; c < list->GetColumnCount(); ++c)
                if (list->model()->headerData(c, Qt::Horizontal).toString() == QStringLiteral("写卡时间"))
                    writeTimes = list->GetItemText(0, c);
            dialog->close();
        })
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); });
    frame.GetCommandAction(ID_QUERY_SALES)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(writeTimes.size(), 19) << writeTimes.toStdString();
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QStringLiteral("; ")).toStdString();
}
