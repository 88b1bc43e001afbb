#include "../../framework/ui/KvUiTestUtil.h"
#include "../../records/masterdata/FixedFeeTestHelpers.h"
#include "CAdoConnection.h"
#include "CFixFee.h"
#include "CFixFeeDlg.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "CNumEdit.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvFixFeeGeneration.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvSalesCommands.h"
#include "KvSql.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace {

class QuotaFeeDialogTest : public FreshDatabaseTest
{
protected:
    QuotaFeeDialogTest()
    {
        GetCurrentOperator()->SetOperatorNo("op01");
        SaveQuotaPrice("D1", 2.0, "2020-01-01");
        SaveItem("U01", "D1", 10, "2024-01-15");
        SaveItem("U02", "D1", 10, "2024-01-01");
        GenerateMonthFixFees(202401);
        GenerateMonthFixFees(202402);
        fees.LoadUnpaid("U01");
        dlg.m_pFixFeeList = &fees;
        dlg.m_WrtNum = 6;
        dlg.show();
    }

    QStringList rows()
    {
        QStringList result;
        CKvExtList2* list = dlg.GetListCtrl();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->GetColumnCount(); ++column)
                cells << list->GetItemText(row, column);
            result << cells.join('|');
        }
        return result;
    }
    // The amount of a row typed into its editor, as an operator does.
    void typeAmount(int row, const QString& text)
    {
        CKvExtList2* list = dlg.GetListCtrl();
        MouseClick(list->viewport(), list->visualItemRect(list->item(row, 8)).center());
        CNumEdit* editor = list->GetNumberEditor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isVisible());
        PressKey(editor, Qt::Key_End);
        while (!editor->text().isEmpty())
            PressKey(editor, Qt::Key_Backspace);
        TypeText(editor, text);
    }
    void click(int id) { MouseClick(dlg.findChild<QAbstractButton*>(CKvDialog::ControlName(id))); }
    QString collected()
    {
        return fresh.Value(
            "select group_concat(YearMon || ':' || WrtNum || '=' || printf('%.2f', FinalFee), ' ') from (select * "
            "from FixFee order by FeeIndex)");
    }

    CFixFeeList fees;
    CFixFeeDlg dlg{nullptr, QStringLiteral("定额收费项目")};
};

} // namespace

TEST_F(QuotaFeeDialogTest, ConfirmCollectsEveryRowWithItsAdjustedAmount)
{
    EXPECT_EQ(dlg.objectName(), "dlg217");
    EXPECT_EQ(rows(), QStringList({"D1名称|2024-01|2024-01-15|2024-01-31|17|2.0000|10.00|10.97|10.97",
                                   "D1名称|2024-02|2024-02-01|2024-02-29|29|2.0000|10.00|20.00|20.00"}));
    // Only the amount to charge has an editor.
    CKvExtList2* list = dlg.GetListCtrl();
    MouseClick(list->viewport(), list->visualItemRect(list->item(0, 7)).center());
    EXPECT_TRUE(list->VisibleEditor() == nullptr);

    typeAmount(0, "8.5");
    typeAmount(1, ""); // an empty amount collects the row with 0
    click(1000);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    // U02's fees stay unpaid.
    EXPECT_EQ(collected(), "202401:6=8.50 202401:-1=20.00 202402:6=0.00 202402:-1=20.00");
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(QuotaFeeDialogTest, DecliningAsksAndWritesNothing)
{
    const QString before = collected();
    sink.QueueAnswer(IDNO);
    click(1021);
    EXPECT_TRUE(dlg.isVisible());
    sink.QueueAnswer(IDYES);
    click(1021);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(sink.Texts(), QStringList({"本次售电不收取定额收费吗？", "本次售电不收取定额收费吗？"}));
    EXPECT_EQ(collected(), before);

    // Escape declines without the question.
    sink.Clear();
    dlg.show();
    PressKey(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(collected(), before);
}

TEST_F(QuotaFeeDialogTest, AFailedConfirmCollectsNoRow)
{
    db().Execute("delete from FixFee where YearMon = 202402 and WrtNum = -1 and CliFixIndex = 1", QString());
    click(1000);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].caption, "错误");
    EXPECT_EQ(collected(), "202401:-1=10.97 202401:-1=20.00 202402:-1=20.00");
    EXPECT_EQ(fees.At(0)->GetWrtNum(), -1);
}

// 生成定额收费 from the menu runs the installed generation month by month.
TEST(QuotaFeeCommandTest, TheMenuCommandGeneratesEveryMonthStillDue)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(QDateTime(QDate(2024, 5, 20), QTime(9, 0)));
    GetCurrentOperator()->SetOperatorNo("op01");
    SaveQuotaPrice("D1", 2.0, "2020-01-01");
    SaveItem("U01", "D1", 1, "2024-01-01");
    fresh.Db().Execute("update SysPara set FixYearMon = 202402", QString());

    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{100, 118});
    frame.BuildRightsList();
    ASSERT_TRUE(frame.IsCommandAllowed(ID_GENERATE_FIXFEES));
    InstallSalesCommands(frame);
    frame.GetCommandAction(ID_GENERATE_FIXFEES)->trigger();
    EXPECT_EQ(fresh.Value("select group_concat(YearMon) from FixFee"), "202402,202403,202404");
    EXPECT_EQ(fresh.Value("select FixYearMon from SysPara"), "202405");
    frame.GetCommandAction(ID_GENERATE_FIXFEES)->trigger();
    EXPECT_EQ(sink.Texts(), QStringList({"确认后，系统将计算定额收费，请稍等！", "当前没有要生成的定额收费数据！"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A month that fails stops the command; its failure is shown.
    sink.Clear();
    fresh.Db().Execute("update SysPara set FixYearMon = 202403", QString());
    fresh.Db().Execute("update SysPara set FixFeeIndex = 1", QString()); // keys already taken
    frame.GetCommandAction(ID_GENERATE_FIXFEES)->trigger();
    EXPECT_EQ(fresh.Value("select FixYearMon from SysPara"), "202403");
    ASSERT_EQ(sink.Messages().size(), 2u);
    EXPECT_EQ(sink.Messages()[1].caption, "错误");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
