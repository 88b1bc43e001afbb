#include "../../records/masterdata/FixedFeeTestHelpers.h"
#include "CCliFixEditDlg.h"
#include "CCliFixListDlg.h"
#include "CKvExtList.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvMasterDialogTest.h"

#include <QDateEdit>

namespace {

class FixedFeeDialogTest : public MasterDialogTest
{
protected:
    FixedFeeDialogTest()
    {
        SetToday("2005-06-15");
        GetCurrentOperator()->SetOperatorNo("op01");
        SaveQuotaPrice("D1", 2.0, "2000-01-01");
        SaveQuotaPrice("D2", 1.0, "2000-01-01");
        NewPrice("P1", 0.5, "2000-01-01")->Save(); // not a quota price
        SaveItem("U01", "D2", 10, "2005-03-01");
        SaveItem("U02", "D1", 3, "2005-03-01");
        dlg.m_ClientNo = "U01";
        dlg.m_ClientName = "张三";
    }

    void open() { dlg.show(); }
    CKvExtList* list() { return dlg.GetListCtrl(); }
    QStringList rows()
    {
        QStringList result;
        for (int row = 0; row < list()->GetItemCount(); ++row) {
            QStringList cells{list()->GetCheck(row) ? "[x]" : "[ ]"};
            for (int column = 0; column < list()->GetColumnCount(); ++column)
                cells << list()->GetItemText(row, column);
            result << cells.join('|');
        }
        return result;
    }
    void clickCell(int row, int column)
    {
        MouseClick(list()->viewport(), list()->visualItemRect(list()->item(row, column)).center());
    }
    QString history(const QString& clientNo, const QString& priceNo)
    {
        return fresh.Value(QStringLiteral("select group_concat(BeginDate || '..' || EndDate || '/' || Units || '/' || "
                                          "LastTermEndDate, ' ') from (select * from CliFix where ClientNo = '%1' "
                                          "and PriceNo = '%2' order by CliFixIndex)")
                               .arg(clientNo, priceNo));
    }

    // The item editor answered with dates (empty: as preset) and a quantity.
    static CModalScript::Action answer(const QString& begin, const QString& units, const QString& end = QString())
    {
        return [=](QWidget* editor) {
            if (!begin.isEmpty())
                Control<QDateEdit>(editor, 1069)->setDate(ParseDate(begin).date());
            if (!end.isEmpty())
                Control<QDateEdit>(editor, 1294)->setDate(ParseDate(end).date());
            if (!units.isNull())
                CModalScript::Type(editor, 1202, units);
            ClickButton(editor, 1000);
        };
    }

    CCliFixListDlg dlg{nullptr, QStringLiteral("定额收费项目管理")};
};

} // namespace

TEST_F(FixedFeeDialogTest, EachQuotaPriceIsARowWithTheUsersItem)
{
    SaveItem("U01", "D1", 4, "2005-01-01", "2005-02-28"); // ended: shown, not ticked
    open();
    EXPECT_EQ(dlg.objectName(), "dlg189");
    EXPECT_EQ(Control<QLineEdit>(&dlg, 1002)->text(), "U01");
    EXPECT_EQ(Control<QLineEdit>(&dlg, 1009)->text(), "张三");
    EXPECT_EQ(rows(), QStringList({"[ ]|D1|D1名称|平方米|4.00|2005-01-01|2005-02-28",
                                   "[x]|D2|D2名称|平方米|10.00|2005-03-01|2050-12-31"}));

    // Without quota prices the list is empty and saving writes nothing.
    db().Execute("delete from PriceVer", QString());
    CCliFixListDlg empty(nullptr, QStringLiteral("定额收费项目管理"));
    empty.m_ClientNo = "U01";
    empty.show();
    EXPECT_EQ(empty.GetListCtrl()->GetItemCount(), 0);
    ClickButton(&empty, 1000);
    EXPECT_EQ(empty.result(), QDialog::Accepted);
    EXPECT_EQ(count("select * from CliFix"), 3);
}

TEST_F(FixedFeeDialogTest, SettingUpAnItemChecksTheStartAndSavesFromTheFirstOfTheMonth)
{
    open();
    QStringList presets;
    CModalScript script;
    script
        .Then([&](QWidget* editor) {
            presets << editor->objectName() + editor->windowTitle() << Control<QLineEdit>(editor, 1066)->text()
                    << Control<QDateEdit>(editor, 1069)->date().toString("yyyy-MM-dd")
                    << Control<QDateEdit>(editor, 1294)->date().toString("yyyy-MM-dd")
                    << (Control<QWidget>(editor, 1294)->isEnabled() ? "stop enabled" : "stop disabled");
            answer("2005-05-31", "12")(editor);
        })
        .Then(answer("2005-06-16", "12"))
        .Then([](QWidget* editor) {
            ClickButton(editor, 1000);       // no quantity: the editor stays
            answer(QString(), "-5")(editor); // nor a quantity that would lower the fee
            answer(QString(), "0")(editor);
            answer(QString(), "12.5")(editor);
        });
    clickCell(0, 0);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(presets, QStringList({"dlg216设置定额收费项", "D1名称", "2005-06-01", "2050-12-31", "stop disabled"}));
    EXPECT_EQ(sink.Texts(), QStringList({"新的起始日期不应早于本月1日！", "新的起始日期不应晚于当日！",
                                         "请输入计价数量！", "计价数量应为大于0且不超过99999999的数，最多2位小数！",
                                         "计价数量应为大于0且不超过99999999的数，最多2位小数！"}));
    EXPECT_EQ(rows().value(0), "[x]|D1|D1名称|平方米|12.5|2005-06-01|2050-12-31");
    EXPECT_EQ(count("select * from CliFix where ClientNo = 'U01'"), 1); // nothing written yet

    ClickButton(&dlg, 1000);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(history("U01", "D1"), "2005-06-01..2050-12-31/12.5/2005-05-31");
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2050-12-31/10.0/2005-02-28");
    EXPECT_EQ(history("U02", "D1"), "2005-03-01..2050-12-31/3.0/2005-02-28");
}

// The cashier's way: the editor opens on the start date; Tab goes on to the
// quantity, whose typed number leaves the date as it was, and Enter saves.
TEST_F(FixedFeeDialogTest, SettingUpAnItemByKeyboardAlone)
{
    open();
    CModalScript script;
    script.Then([](QWidget* editor) {
        ASSERT_TRUE(ShowActive(editor));
        ASSERT_EQ(QApplication::focusWidget(), Control<QDateEdit>(editor, 1069));
        PressKey(QApplication::focusWidget(), Qt::Key_Tab);
        TypeText(QApplication::focusWidget(), QStringLiteral("80"));
        PressKey(QApplication::focusWidget(), Qt::Key_Return);
    });
    clickCell(0, 0);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList());
    EXPECT_EQ(rows().value(0), "[x]|D1|D1名称|平方米|80|2005-06-01|2050-12-31");
}

TEST_F(FixedFeeDialogTest, ChangingARunningItemReplacesItFromTheNewStart)
{
    open();
    CModalScript script;
    script.Then(answer(QString(), "11"));
    sink.Clear();
    ClickButton(&dlg, 1309);
    EXPECT_EQ(sink.Texts(), QStringList({"请选定项目！"}));
    clickCell(0, 1);
    ClickButton(&dlg, 1309);
    EXPECT_EQ(sink.Texts(), QStringList({"请选定项目！", "请选择已选定的项目！"}));
    clickCell(1, 1);
    ClickButton(&dlg, 1309);
    EXPECT_TRUE(script.Exhausted());
    ClickButton(&dlg, 1000);
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2005-05-31/10.0/2005-02-28 2005-06-01..2050-12-31/11.0/2005-05-31");
}

TEST_F(FixedFeeDialogTest, StoppingAnItemSavesItsLastDay)
{
    open();
    QString preset;
    CModalScript script;
    script
        .Then([&](QWidget* editor) {
            preset = editor->windowTitle() + Control<QDateEdit>(editor, 1294)->date().toString("yyyy-MM-dd") +
                     (Control<QWidget>(editor, 1069)->isEnabled() ? "" : " start fixed");
            answer(QString(), QString(), "2005-05-30")(editor);
        })
        .Then(answer(QString(), QString()))                        // the preset: end of last month
        .Then([](QWidget* editor) { ClickButton(editor, 1021); }); // a new set-up cancelled
    clickCell(1, 0);
    EXPECT_EQ(preset, "取消定额收费项2005-05-31 start fixed");
    EXPECT_EQ(sink.Texts(),
              QStringList({"您确实要停止该项收费吗？", "截止日期不应早于上月末日！", "您确实要停止该项收费吗？"}));
    EXPECT_EQ(rows().value(1), "[ ]|D2|D2名称|平方米|10.00|2005-03-01|2005-05-31");
    clickCell(1, 0);
    EXPECT_EQ(rows().value(1).left(3), "[ ]");
    EXPECT_TRUE(script.Exhausted());
    ClickButton(&dlg, 1000);
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2005-05-31/10.0/2005-02-28");
}

TEST_F(FixedFeeDialogTest, AFutureStopKeepsTheRowTickedAndSavesThatDay)
{
    open();
    CModalScript script;
    script
        .Then([](QWidget* editor) { ClickButton(editor, 1021); }) // cancelled: ticked again
        .Then(answer(QString(), QString()))                       // answered No: ticked again
        .Then(answer(QString(), QString(), "2005-07-31"));
    clickCell(1, 0);
    EXPECT_EQ(rows().value(1), "[x]|D2|D2名称|平方米|10.00|2005-03-01|2050-12-31");
    sink.QueueAnswer(IDNO);
    clickCell(1, 0);
    EXPECT_EQ(rows().value(1), "[x]|D2|D2名称|平方米|10.00|2005-03-01|2050-12-31");
    clickCell(1, 0);
    EXPECT_EQ(rows().value(1), "[x]|D2|D2名称|平方米|10.00|2005-03-01|2005-07-31");
    EXPECT_TRUE(script.Exhausted());
    ClickButton(&dlg, 1000);
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2005-07-31/10.0/2005-02-28");
}

TEST_F(FixedFeeDialogTest, TickingThenUntickingANewRowLeavesNothingToSave)
{
    open();
    CModalScript script;
    script.Then(answer(QString(), "5")).Then([](QWidget* editor) { ClickButton(editor, 1021); });
    clickCell(0, 0);
    clickCell(0, 0);
    EXPECT_EQ(rows().value(0), "[ ]|D1|D1名称|平方米|||");
    clickCell(0, 0); // cancelled set-up: unticked again
    EXPECT_EQ(rows().value(0), "[ ]|D1|D1名称|平方米|||");
    EXPECT_TRUE(script.Exhausted());
    ClickButton(&dlg, 1000);
    EXPECT_EQ(count("select * from CliFix where ClientNo = 'U01'"), 1);
}

TEST_F(FixedFeeDialogTest, DeletingAnItemRemovesAllItsVersionsAndFeesAtOnce)
{
    SaveItem("U01", "D2", 8, "2004-01-01", "2005-02-28");
    exec("insert into FixFee(FeeIndex, CliFixIndex, YearMon, WrtNum) values(1, 1, 200504, -1)");
    exec("insert into FixFee(FeeIndex, CliFixIndex, YearMon, WrtNum) values(2, 3, 200401, 2)");
    exec("insert into FixFee(FeeIndex, CliFixIndex, YearMon, WrtNum) values(3, 2, 200504, -1)"); // U02's
    open();
    ClickButton(&dlg, 1026);
    EXPECT_EQ(sink.Texts(), QStringList({"请选定项目！"}));
    CModalScript script;
    script.Then(answer(QString(), "5"));
    clickCell(0, 0); // a pending change is dropped by the refill
    clickCell(1, 1);
    sink.QueueAnswer(IDNO);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count("select * from CliFix where ClientNo = 'U01'"), 2);
    clickCell(1, 1);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count("select * from CliFix where ClientNo = 'U01'"), 0);
    EXPECT_EQ(fresh.Value("select group_concat(FeeIndex) from FixFee"), "3");
    EXPECT_EQ(rows(), QStringList({"[ ]|D1|D1名称|平方米|||", "[ ]|D2|D2名称|平方米|||"}));
    ClickButton(&dlg, 1000);
    EXPECT_EQ(count("select * from CliFix where ClientNo = 'U01'"), 0);
}

// A failed save rolls every row back and keeps the changes pending, so that
// saving again writes all of them, the rows that had gone through included.
TEST_F(FixedFeeDialogTest, AFailedSaveKeepsEveryChangeForTheNextAttempt)
{
    exec("create trigger RefuseD2 before insert on CliFix when new.PriceNo = 'D2' begin select raise(abort, "
         "'refused'); end");
    open();
    CModalScript script;
    script.Then(answer(QString(), "7")).Then(answer(QString(), "11"));
    clickCell(0, 0);
    clickCell(1, 1);
    ClickButton(&dlg, 1309);
    EXPECT_TRUE(script.Exhausted());
    ClickButton(&dlg, 1000);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].caption, "错误");
    EXPECT_EQ(history("U01", "D1"), "");
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2050-12-31/10.0/2005-02-28");

    exec("drop trigger RefuseD2");
    ClickButton(&dlg, 1000);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(history("U01", "D1"), "2005-06-01..2050-12-31/7.0/2005-05-31");
    EXPECT_EQ(history("U01", "D2"), "2005-03-01..2005-05-31/10.0/2005-02-28 2005-06-01..2050-12-31/11.0/2005-05-31");
}
