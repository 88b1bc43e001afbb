// The sub-meter reading condition dialogs offscreen, and the reading query,
// the reading statistics and the balance query run from the menu against the
// query fixture extended with readings and balances, compared with golden CSV.
#include "CAdoRecordset.h"
#include "CSubReadQueryDlg.h"
#include "CSubReadStatDlg.h"
#include "KvMainCommands.h"
#include "KvQueryUiTest.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using D = CSubReadConditionDlg;

class SubReadQueryTest : public QueryUiTest
{
protected:
    SubReadQueryTest()
        : QueryUiTest({QStringLiteral("sales_fixture.sql"), QStringLiteral("subread_fixture.sql")},
                      QVector<int>{100, 105, 106, 115})
    {
    }

    QString runQuery(const std::function<void(QWidget*)>& conditions)
    {
        return runOnce(ID_QUERY_SUBREADINGS, "dlg170", conditions, false);
    }
    QString runStat(int radioId)
    {
        return runOnce(
            ID_STAT_SUBREADINGS, "dlg172", [radioId](QWidget* dialog) { clickRadio(dialog, radioId); }, true);
    }

    // Every recordset of the pool is free: taking as many as the pool holds
    // adds none.
    void expectPoolFree()
    {
        CAdoConnection& db = fresh.Db();
        const int size = db.RecordsetPoolSize();
        QList<CAdoRecordset*> taken;
        for (int i = 0; i < size; ++i)
            taken << db.AcquireRecordset();
        EXPECT_EQ(db.RecordsetPoolSize(), size);
        for (CAdoRecordset* rs : taken)
            rs->Release();
    }

    // Runs 余额查询统计 with the choice given (a radio id, or 0 to confirm the
    // preselected summary with Enter); a detail list shown is captured.
    QString runBalance(int radioId, bool listShown = false)
    {
        QString csv;
        CModalScript script;
        script.Then([radioId](QWidget* dialog) {
            if (radioId) {
                clickRadio(dialog, radioId);
                CModalScript::Click(dialog, 1000);
            } else {
                PressKey(dialog, Qt::Key_Return);
            }
        });
        if (listShown)
            script.Then([&csv](QWidget* dialog) {
                auto* result = qobject_cast<CQueryResultDlg*>(dialog);
                EXPECT_NE(result, nullptr);
                if (result)
                    csv = resultCsv(result, true);
                dialog->close();
            });
        frame.GetCommandAction(ID_QUERY_BALANCES)->trigger();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), listShown ? QStringList({"dlg193", "dlg180"}) : QStringList({"dlg193"}));
        return csv;
    }
};

} // namespace

TEST_F(SubReadQueryTest, BoxesTickWhatTheyLieWithinAndClearingLeavesThem)
{
    CSubReadQueryDlg dialog(nullptr, QStringLiteral("附表抄收查询"));
    dialog.EnsureInitialised();
    EXPECT_EQ(dialog.windowTitle(), "附表抄收查询");
    EXPECT_FALSE(combo(&dialog, 1042)->isEnabled());

    clickBox(&dialog, D::CheckBoxId(D::Unit));
    for (int id : {1041, 1053, 1059})
        EXPECT_TRUE(box(&dialog, id)->isChecked()) << id;
    EXPECT_FALSE(box(&dialog, 1054)->isChecked()); // the floor stays off
    EXPECT_TRUE(combo(&dialog, 1042)->isEnabled());
    EXPECT_TRUE(combo(&dialog, 1043)->isEnabled());
    clickBox(&dialog, 1041);
    EXPECT_FALSE(box(&dialog, 1041)->isChecked());
    EXPECT_TRUE(box(&dialog, 1053)->isChecked());
    EXPECT_TRUE(box(&dialog, 1059)->isChecked());

    // The fee nature ticks its category; clearing it leaves the category.
    EXPECT_FALSE(combo(&dialog, 1083)->isEnabled());
    clickBox(&dialog, 1252);
    EXPECT_TRUE(box(&dialog, 1084)->isChecked());
    EXPECT_TRUE(combo(&dialog, 1083)->isEnabled());
    EXPECT_TRUE(combo(&dialog, 1182)->isEnabled());
    clickBox(&dialog, 1252);
    EXPECT_TRUE(box(&dialog, 1084)->isChecked());
    EXPECT_FALSE(combo(&dialog, 1182)->isEnabled());

    // The sub-meter number empties when its box is cleared.
    clickBox(&dialog, 1086);
    dialog.findChild<QLineEdit*>("c1185")->setText("W01");
    clickBox(&dialog, 1086);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("c1185")->text().isEmpty());
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("c1185")->isReadOnly());
}

TEST_F(SubReadQueryTest, CategoriesOfferTheirFeeNaturesAndReopeningRestoresEverything)
{
    CSubReadCondition chosen;
    {
        CSubReadStatDlg dialog(nullptr, QStringLiteral("附表抄收统计"));
        dialog.EnsureInitialised();
        // The built-in kinds, then the table's rows, unsorted; no combo takes typing.
        EXPECT_EQ(items(&dialog, 1083),
                  QStringList({"预付费电价", "一卡抄水价", "一卡抄气价", "定额收费价", "热水价"}));
        EXPECT_EQ(items(&dialog, 1257), QStringList({"qz", "张出纳", "李出纳"}));
        for (QComboBox* c : dialog.findChildren<QComboBox*>())
            EXPECT_FALSE(c->isEditable()) << c->objectName().toStdString();
        EXPECT_EQ(items(&dialog, 1044).size(), 51);
        EXPECT_EQ(items(&dialog, 1045).size(), 100);

        clickBox(&dialog, 1252);
        choose(&dialog, 1083, "一卡抄水价");
        // The version valid today only, once.
        EXPECT_EQ(items(&dialog, 1182), QStringList({"居民冷水"}));
        choose(&dialog, 1182, "居民冷水");
        choose(&dialog, 1083, "热水价");
        EXPECT_EQ(items(&dialog, 1182), QStringList({"热水"}));
        EXPECT_EQ(combo(&dialog, 1182)->currentIndex(), -1);
        choose(&dialog, 1182, "热水");

        clickBox(&dialog, 1055); // the room ticks district, building and floor
        choose(&dialog, 1042, "西区");
        choose(&dialog, 1043, "西一幢");
        choose(&dialog, 1044, "02");
        choose(&dialog, 1045, "05");
        clickBox(&dialog, 1256);
        choose(&dialog, 1257, "李出纳");
        clickRadio(&dialog, 1232);
        MouseClick(dialog.findChild<QAbstractButton*>("c1000"));
        chosen = dialog.GetStatCondition();
        EXPECT_EQ(dialog.GetStatCondition().m_mode, 11);
    }
    EXPECT_EQ(chosen.m_category, "热水价");
    EXPECT_EQ(chosen.m_priceNo, "H1");
    EXPECT_EQ(chosen.m_priceName, "热水");
    EXPECT_EQ(chosen.m_blockNo, "02");
    EXPECT_EQ(chosen.m_buildingNo, "01");
    EXPECT_EQ(chosen.m_floor, "02");
    EXPECT_EQ(chosen.m_roomFrom, "05");
    EXPECT_EQ(chosen.m_roomTo, "");
    EXPECT_EQ(chosen.m_operatorNo, "op2");

    CSubReadQueryDlg again(nullptr, QStringLiteral("附表抄收查询"));
    again.SetCondition(chosen);
    again.EnsureInitialised();
    for (int id : {1252, 1084, 1055, 1054, 1053, 1041, 1256})
        EXPECT_TRUE(box(&again, id)->isChecked()) << id;
    EXPECT_EQ(combo(&again, 1083)->currentText(), "热水价");
    EXPECT_EQ(combo(&again, 1182)->currentText(), "热水");
    EXPECT_EQ(combo(&again, 1042)->currentText(), "西区");
    EXPECT_EQ(combo(&again, 1043)->currentText(), "西一幢");
    EXPECT_EQ(combo(&again, 1045)->currentText(), "05");
    EXPECT_EQ(combo(&again, 1257)->currentText(), "李出纳");
    EXPECT_FALSE(box(&again, 1051)->isChecked());
    EXPECT_TRUE(again.findChild<QLineEdit*>("c1002")->isReadOnly());
}

TEST_F(SubReadQueryTest, ReadingQueryFromTheMenuMatchesItsGolden)
{
    // Only readings of paid sales of current users: not sale 3's (待写), not
    // 0400's, not the one never linked to a sale.
    const QString all = runQuery([](QWidget*) {});
    expectGolden("subread_all", all);
    EXPECT_FALSE(all.contains("钱七"));
    EXPECT_FALSE(all.contains("7.7"));

    expectGolden("subread_march_water", runQuery([](QWidget* dialog) {
                     clickBox(dialog, 1204);
                     dialog->findChild<QDateEdit*>("c1206")->setDate(QDate(2024, 3, 1));
                     dialog->findChild<QDateEdit*>("c1207")->setDate(QDate(2024, 3, 31));
                     clickBox(dialog, 1084);
                     choose(dialog, 1083, "一卡抄水价");
                 }));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
    expectPoolFree();
}

TEST_F(SubReadQueryTest, TheDialogComesBackWithItsConditionsAndNothingFoundEndsTheCommand)
{
    CModalScript script;
    script
        .Then([](QWidget* dialog) {
            clickBox(dialog, 1251);
            dialog->findChild<QLineEdit*>("c1105")->setText("M02");
            clickBox(dialog, 1051);
            dialog->findChild<QLineEdit*>("c1002")->setText("02");
            CModalScript::Click(dialog, 1000);
        })
        .Then([](QWidget* result) {
            EXPECT_EQ(result->windowTitle(), "附表抄收明细表(时期：全期；用户代码：02；电表编号：M02；)");
            result->close();
        })
        .Then([](QWidget* dialog) {
            EXPECT_TRUE(box(dialog, 1251)->isChecked());
            EXPECT_EQ(dialog->findChild<QLineEdit*>("c1105")->text(), "M02");
            EXPECT_EQ(dialog->findChild<QLineEdit*>("c1002")->text(), "02");
            dialog->findChild<QLineEdit*>("c1105")->setText("M09");
            CModalScript::Click(dialog, 1000);
        });
    frame.GetCommandAction(ID_QUERY_SUBREADINGS)->trigger();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), QStringList({"dlg170", "dlg180", "dlg170"}));
    EXPECT_EQ(sink.Texts(), QStringList({"找不到相关数据！"}));
    expectPoolFree();
}

TEST_F(SubReadQueryTest, StatisticsFromTheMenuMatchGoldenByFeeNatureAndByDistrict)
{
    expectGolden("subread_stat_fee_nature", runStat(1094));
    // The first showing: 按小区统计 chosen and the caption 全期；.
    expectGolden("subread_stat_block",
                 runOnce(
                     ID_STAT_SUBREADINGS, "dlg172",
                     [](QWidget* dialog) { EXPECT_TRUE(dialog->findChild<QRadioButton*>("c1070")->isChecked()); },
                     true));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

TEST_F(SubReadQueryTest, OddGroupingsKeepTheirTitlesTypesAndChoice)
{
    // 按房间统计 is titled 按房号.
    EXPECT_TRUE(runStat(1065).startsWith("附表抄收统计（按房号）(全期；)\n"));
    // 按电表统计 prints with the layout of 按用户电表: without it, told and nothing shown.
    EXPECT_TRUE(runStat(1091).startsWith("附表抄收统计（按电表）(全期；)\n"));
    fresh.Db().Execute(QStringLiteral("delete from KvReportForm where ReportType = '附表抄收统计表_按用户电表'"),
                       QString());
    {
        CModalScript missing;
        missing
            .Then([](QWidget* dialog) {
                clickRadio(dialog, 1091);
                CModalScript::Click(dialog, 1000);
            })
            .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); });
        frame.GetCommandAction(ID_STAT_SUBREADINGS)->trigger();
        EXPECT_TRUE(missing.Exhausted());
        EXPECT_EQ(missing.Seen(), QStringList({"dlg172", "dlg172"}));
    }
    EXPECT_EQ(sink.Texts(), QStringList({"报表格式类型错误！"}));
    expectPoolFree();

    // After a run by operator the dialog comes back on 按操作员统计.
    CModalScript script;
    script
        .Then([](QWidget* dialog) {
            clickRadio(dialog, 1232);
            CModalScript::Click(dialog, 1000);
        })
        .Then([](QWidget* result) {
            EXPECT_TRUE(result->windowTitle().startsWith("附表抄收统计（按操作员）"));
            result->close();
        })
        .Then([](QWidget* dialog) {
            EXPECT_TRUE(dialog->findChild<QRadioButton*>("c1232")->isChecked());
            CModalScript::Click(dialog, 1001);
        });
    frame.GetCommandAction(ID_STAT_SUBREADINGS)->trigger();
    EXPECT_TRUE(script.Exhausted());
}

TEST_F(SubReadQueryTest, FormatButtonsSaveTheirLayoutsUnderTheirNames)
{
    struct FormatCase
    {
        int command;
        int radioId; // 0: the query dialog
        const char* type;
        const char* savedName;
    };
    const FormatCase cases[] = {
        {ID_QUERY_SUBREADINGS, 0, "附表抄收明细表", "水量水费明细表"},
        {ID_STAT_SUBREADINGS, 1093, "附表抄收统计表_按计量类别", "附表抄收统计表_按计量类别"},
    };
    for (const FormatCase& c : cases) {
        const QString type = QString::fromUtf8(c.type);
        const int reportId =
            fresh.Value(QStringLiteral("select ReportId from KvReportForm where ReportType = '%1'").arg(type)).toInt();
        fresh.Db().Execute(QStringLiteral("update KvReportForm set ReportName = 'x' where ReportId = %1").arg(reportId),
                           QString());
        QString setupTitle;
        CModalScript script;
        // The setup dialog opens from the button, outside the script's own turn;
        // when it has been answered the condition dialog is closed.
        script
            .Then([&c](QWidget* dialog) {
                if (c.radioId)
                    clickRadio(dialog, c.radioId);
                QTimer::singleShot(0, dialog, [dialog] {
                    CModalScript::Click(dialog, 1112);
                    CModalScript::Click(dialog, 1001);
                });
            })
            .Then([&setupTitle](QWidget* setup) {
                setupTitle = setup->windowTitle();
                auto* title = setup->findChild<QLineEdit*>("c1176");
                EXPECT_TRUE(title && title->isReadOnly());
                CModalScript::Click(setup, 1000);
            });
        frame.GetCommandAction(c.command)->trigger();
        EXPECT_TRUE(script.Exhausted()) << c.type;
        EXPECT_EQ(setupTitle, "设置报表格式");
        EXPECT_EQ(fresh.Value(QStringLiteral("select ReportName from KvReportForm where ReportId = %1").arg(reportId)),
                  QString::fromUtf8(c.savedName));
        EXPECT_EQ(fresh.Value(QStringLiteral("select ReportType from KvReportForm where ReportId = %1").arg(reportId)),
                  type);
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
}

TEST_F(SubReadQueryTest, BalanceSummaryAddsEveryBalance)
{
    struct BalanceCase
    {
        const char* name;
        const char* rows; // values of CliBalance (ClientNo, ThisBalance)
        const char* message;
    };
    const BalanceCase cases[] = {
        {"two balances", "('0101', 100.50), ('0205', 20.25)", "当前余额总额是：120.75"},
        {"a negative balance counts with its sign", "('0101', 100.50), ('0300', -30.25)", "当前余额总额是：70.25"},
        {"a user without a current row counts", "('0101', 1), ('0400', 7)", "当前余额总额是：8.00"},
        {"no balance at all", "", "当前余额总额是：0.00"},
    };
    for (const BalanceCase& c : cases) {
        fresh.Db().Execute(QStringLiteral("delete from CliBalance"), QString());
        if (*c.rows)
            fresh.Db().Execute(QStringLiteral("insert into CliBalance (ClientNo, ThisBalance) values ") + c.rows,
                               QString());
        sink.Clear();
        runBalance(0); // Enter confirms the preselected summary
        EXPECT_EQ(sink.Texts(), QStringList({QString::fromUtf8(c.message)})) << c.name;
        if (!sink.Messages().empty()) {
            EXPECT_EQ(sink.Messages().front().caption, "提示");
        }
    }
    expectPoolFree();
}

TEST_F(SubReadQueryTest, BalanceDetailListsCurrentUsersOnce)
{
    expectGolden("balance_detail", runBalance(1091, true));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();

    // Without its layout: told, nothing shown, the recordset given back.
    fresh.Db().Execute(QStringLiteral("delete from KvReportForm where ReportType = '余额明细表'"), QString());
    EXPECT_TRUE(runBalance(1091).isEmpty());
    EXPECT_EQ(sink.Texts(), QStringList({"报表格式类型错误！"}));
    expectPoolFree();

    // Cancel ends the command with nothing shown.
    sink.Clear();
    CModalScript cancel;
    cancel.Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); });
    frame.GetCommandAction(ID_QUERY_BALANCES)->trigger();
    EXPECT_TRUE(cancel.Exhausted());
    EXPECT_EQ(cancel.Seen(), QStringList({"dlg193"}));
    EXPECT_TRUE(sink.Texts().isEmpty());
}
