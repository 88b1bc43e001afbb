#include "../../framework/ui/KvCursorWatch.h"
#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvExtList.h"
#include "CKvExtList2.h"
#include "CKvReportCol.h"
#include "CKvReportForm.h"
#include "CMainFrame.h"
#include "CNumEdit.h"
#include "CQueryResultDlg.h"
#include "CReportSetupDlg.h"
#include "CResultList.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QStringList Headings(int reportId)
{
    CKvReportColList columns;
    columns.LoadByReport(reportId);
    QStringList headings;
    for (int i = 0; i < columns.GetCount(); ++i)
        headings << QStringLiteral("%1:%2").arg(columns.At(i)->GetColHeader()).arg(columns.At(i)->GetColWidth());
    return headings;
}

// Both kinds of list: the editable lists and the result list.
template <typename List> QStringList Column(List* list, int column)
{
    QStringList cells;
    for (int r = 0; r < list->GetItemCount(); ++r)
        cells << list->GetItemText(r, column);
    return cells;
}

void ClickCell(CKvExtListBase* list, int row, int column)
{
    MouseClick(list->viewport(), list->visualRect(list->model()->index(row, column)).center());
}

void ClickHeader(QTableView* list, int column)
{
    QHeaderView* header = list->horizontalHeader();
    MouseClick(header->viewport(), QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

class ReportOutputTest : public FreshDatabaseTest
{
protected:
    CMainFrame frame;

    // Balances of `count` users: user i owes (or holds) i * 1.5.
    void addBalances(int count)
    {
        db().Execute(QStringLiteral("create table Bal (ClientNo text, ClientName text, ThisBalance real)"), QString());
        for (int i = 1; i <= count; ++i)
            db().Execute(QStringLiteral("insert into Bal values('%1', '用户%2', %3)")
                             .arg(i, 3, 10, QChar('0'))
                             .arg(i)
                             .arg(i % 2 ? i * 1.5 : -i * 1.5),
                         QString());
    }
    CAdoRecordset* open(const QString& sql)
    {
        CAdoRecordset* rs = db().AcquireRecordset();
        rs->Open(sql);
        return rs;
    }
};

} // namespace

TEST_F(ReportOutputTest, AQueryBecomesAListWithItsSummaryRowThatSortsAndKeepsItLast)
{
    addBalances(57);
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout("余额明细表");
    ASSERT_NE(layout, nullptr);
    CAdoRecordset* rs = open("select * from Bal order by ClientNo");

    bool seen = false;
    CModalScript script;
    script.Then([&](QWidget* window) {
        auto* dialog = qobject_cast<CQueryResultDlg*>(window);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("余额明细表(全期；)"));
        CResultList* list = dialog->GetList();
        ASSERT_EQ(list->GetItemCount(), 58);
        ASSERT_EQ(list->GetColumnCount(), 3);
        EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("余  额"));
        EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral("1.50"));
        EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral("-3.00"));
        // 29 odd users hold 1.5 i, 28 even users owe 1.5 i: 43.50 in all.
        EXPECT_EQ(list->GetItemText(57, 0), QStringLiteral("汇    总"));
        EXPECT_EQ(list->GetItemText(57, 1), QString());
        EXPECT_EQ(list->GetItemText(57, 2), QStringLiteral("43.50"));
        EXPECT_EQ(window->findChild<QLabel*>("c1262")->text(), QStringLiteral("记录总数：57"));
        EXPECT_EQ(dialog->GetPrintSettings().m_colWidths, (QList<int>{300, 400, 250}));
        EXPECT_EQ(dialog->GetPrintSettings().m_paperIndex, 0);
        EXPECT_EQ(dialog->GetPrintSettings().m_title, QStringLiteral("余额明细表"));
        EXPECT_EQ(dialog->GetPrintSettings().m_reserved, 2);

        // The balance column sorts by value; the summary row stays last.
        ClickHeader(list, 2);
        const QStringList balances = Column(list, 2);
        EXPECT_EQ(balances.first(), QStringLiteral("-84.00"));
        EXPECT_EQ(balances.at(56), QStringLiteral("85.50"));
        EXPECT_EQ(balances.last(), QStringLiteral("43.50"));
        EXPECT_EQ(list->GetItemText(57, 0), QStringLiteral("汇    总"));
        EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("056")); // rows move whole
        // The code column sorts as text.
        ClickHeader(list, 0);
        EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("001"));
        EXPECT_EQ(list->GetItemText(56, 0), QStringLiteral("057"));
        CModalScript::Click(window, 1001);
    });
    frame.OutputReport(rs, layout, "余额明细表", "全期；");
    EXPECT_TRUE(seen);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_FALSE(rs->IsInUse()) << "the recordset goes back to its pool";
    EXPECT_TRUE(sink.Texts().isEmpty());
}

// The rows are laid out into the list under the wait cursor, which ends as
// the list shows, while the list is open.
TEST_F(ReportOutputTest, TheWaitCursorStaysUntilTheFilledListShows)
{
    addBalances(57);
    CKvReportFormList layouts;
    CAdoRecordset* rs = open("select * from Bal order by ClientNo");
    CCursorWatch watch([](QDialog* d) {
        auto* dialog = qobject_cast<CQueryResultDlg*>(d);
        return dialog ? QString::number(dialog->GetList()->GetItemCount()) : QString();
    });
    QString whileOpen;
    CModalScript script;
    script.Then([&](QWidget* window) {
        whileOpen = CCursorWatch::CursorNow();
        CModalScript::Click(window, 1001);
    });
    frame.OutputReport(rs, layouts.LoadLayout("余额明细表"), "余额明细表", "全期；");
    EXPECT_TRUE(script.Exhausted());
    ASSERT_FALSE(watch.Seen().isEmpty());
    EXPECT_EQ(watch.Seen().first().section(u' ', 1), QStringLiteral("wait 58"));
    EXPECT_EQ(whileOpen, QStringLiteral("none"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ReportOutputTest, EveryWayOutWithoutAListShowsItsMessageAndGivesTheRecordsetBack)
{
    addBalances(3);
    CKvReportFormList layouts;
    CKvReportForm* balance = layouts.LoadLayout("余额明细表");
    ASSERT_NE(balance, nullptr);
    CKvReportFormList other;
    CKvReportForm* sales = other.LoadLayout("售电记录明细表");
    ASSERT_NE(sales, nullptr);
    CKvReportForm foreign;
    foreign.SetReportName("别的报表");
    foreign.SetReportType("别的报表");
    foreign.InsertNew();
    CKvReportLayoutChoice oneColumn;
    oneColumn.headings = QStringList{"用户代码"};
    oneColumn.widths = {100};
    foreign.SaveLayout("别的报表", "别的报表", oneColumn);
    CKvReportForm empty;
    empty.SetReportType("余额明细表");
    empty.InsertNew();

    const struct
    {
        const char* sql;
        CKvReportForm* layout;
        QString message;
    } cases[] = {
        {"select * from Bal where 1 = 0", balance, "找不到相关数据！"},
        {"select * from Bal", nullptr, "报表格式类型错误！"},
        {"select * from Bal", &empty, "报表格式中没有选中列！"},
        {"select * from Bal", &foreign, "报表格式类型错误！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        sink.Clear();
        CAdoRecordset* rs = open(c.sql);
        frame.OutputReport(rs, c.layout, "t", "c");
        EXPECT_EQ(sink.Texts(), QStringList{c.message});
        EXPECT_FALSE(rs->IsInUse());
    }

    // A layout column whose value the query does not select: the failure is
    // passed on, and the recordset still goes back.
    CAdoRecordset* rs = open("select * from Bal");
    sink.Clear();
    EXPECT_EQ(ThrownText([&] { frame.OutputReport(rs, sales, "t", "c"); }), QStringLiteral("找不到字段: MeterNo"));
    EXPECT_FALSE(rs->IsInUse());
}

TEST_F(ReportOutputTest, ListsOfOtherQueriesSortAsTextAndSomeNeverSort)
{
    QStringList cells = {"10", "b", "9", "a", "汇    总", "19"};
    QStringList titles = {"数", "名"};
    CListPrintSettings settings;
    settings.m_colWidths = {100, 200, 300};
    {
        CQueryResultDlg dialog(nullptr, QStringLiteral("用户电表查询(全部)"));
        dialog.SetData(&cells, 3, &titles, 2, settings);
        dialog.EnsureInitialised();
        EXPECT_EQ(dialog.GetPrintSettings().m_colWidths, (QList<int>{100, 200}));
        ClickHeader(dialog.GetList(), 0); // no catalogue: as text, "10" before "9"
        EXPECT_EQ(Column(dialog.GetList(), 0), (QStringList{"10", "9", "汇    总"}));
        dialog.SortByColumn(1);
        EXPECT_EQ(Column(dialog.GetList(), 1), (QStringList{"a", "b", "19"}));
    }
    for (const char* caption : {"定额收费查询(全期)", "电表明细(全部)"}) {
        QStringList fixed = {"b", "a"};
        QStringList one = {"名"};
        CQueryResultDlg dialog(nullptr, QString::fromUtf8(caption));
        dialog.SetData(&fixed, 2, &one, 1, settings);
        dialog.EnsureInitialised();
        ClickHeader(dialog.GetList(), 0);
        EXPECT_EQ(Column(dialog.GetList(), 0), (QStringList{"b", "a"})) << caption;
    }
}

TEST_F(ReportOutputTest, TheSetupDialogKeepsTheGroupingColumnsAndReturnsTheChosenLayout)
{
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout("售电记录统计表_按用户电表");
    ASSERT_NE(layout, nullptr);
    CReportSetupDlg dialog(nullptr, "设置报表格式");
    dialog.SetLayout(layout);
    dialog.SetReportName("售电记录统计表_按用户电表");
    dialog.SetTitle("售电记录统计表_按用户电表");
    dialog.EnsureInitialised();
    ASSERT_TRUE(ShowActive(&dialog));

    auto* fields = dialog.findChild<CKvExtList*>("c1108");
    auto* columns = dialog.findChild<CKvExtList2*>("c1179");
    ASSERT_NE(fields, nullptr);
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(fields->GetItemCount(), 30);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("c1176")->text(), QStringLiteral("售电记录统计表_按用户电表"));
    const QStringList shipped = Column(columns, 0);
    EXPECT_EQ(shipped.mid(0, 3), (QStringList{"用户代码", "用户姓名", "电表编号"}));
    EXPECT_EQ(dialog.GetGroupingCount(), 3);

    // Grouping fields keep their state, whichever way they are clicked.
    ClickCell(fields, 0, 0);
    ClickCell(fields, 3, 0);
    EXPECT_EQ(fields->GetCheck(0), 1);
    EXPECT_EQ(fields->GetCheck(3), 0);
    EXPECT_EQ(Column(columns, 0), shipped);

    // Another field is added at the end with width 200, and removed again.
    ClickCell(fields, 22, 0); // 线损电量
    EXPECT_EQ(Column(columns, 0).last(), QStringLiteral("线损电量"));
    EXPECT_EQ(Column(columns, 1).last(), QStringLiteral("200"));
    ClickCell(fields, 22, 0);
    EXPECT_EQ(Column(columns, 0), shipped);
    ClickCell(fields, 23, 0); // 变损电量

    // Moving: nothing moves into or out of the grouping head, nor past the end.
    const QStringList before = Column(columns, 0);
    const int last = columns->GetItemCount() - 1;
    for (int row : {0, 2, 3}) {
        ClickCell(columns, row, 0);
        CModalScript::Click(&dialog, 1017);
    }
    ClickCell(columns, 2, 0);
    CModalScript::Click(&dialog, 1018);
    ClickCell(columns, last, 0);
    CModalScript::Click(&dialog, 1018);
    EXPECT_EQ(Column(columns, 0), before);
    ClickCell(columns, 3, 0);
    CModalScript::Click(&dialog, 1018);
    EXPECT_EQ(Column(columns, 0).at(4), before.at(3));
    EXPECT_EQ(columns->GetSelectedRow(), 4);
    CModalScript::Click(&dialog, 1017);
    EXPECT_EQ(Column(columns, 0), before);

    // A width emptied in its editor is saved as 0; another is typed.
    ClickCell(columns, 0, 1);
    CNumEdit* editor = columns->GetNumberEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    PressKey(editor, Qt::Key_Backspace);
    ClickCell(columns, 1, 1);
    editor->selectAll();
    TypeText(editor, "345");
    ClickCell(columns, 2, 0);

    // Paper: a standard paper overwrites the custom size, also when coming back.
    auto* paper = dialog.findChild<QComboBox*>("c1173");
    auto* length = dialog.findChild<QLineEdit*>("c1178");
    auto* width = dialog.findChild<QLineEdit*>("c1026");
    EXPECT_EQ(paper->currentIndex(), 3);
    EXPECT_FALSE(length->isEnabled());
    paper->setCurrentIndex(2);
    EXPECT_TRUE(length->isEnabled());
    length->setText("2500");
    width->setText("1800");
    paper->setCurrentIndex(0);
    EXPECT_EQ(width->text(), QStringLiteral("2100"));
    EXPECT_EQ(length->text(), QStringLiteral("2970"));
    paper->setCurrentIndex(2);
    EXPECT_EQ(width->text(), QStringLiteral("2100"));
    EXPECT_EQ(length->text(), QStringLiteral("2970"));
    dialog.findChild<QLineEdit*>("c1029")->setText("55");

    CModalScript::Click(&dialog, 1000);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetPaperIndex(), 2);
    EXPECT_EQ(dialog.GetColumnCount(), before.size());
    EXPECT_EQ(dialog.GetHeadings(), before);
    EXPECT_EQ(dialog.GetWidths().at(0), 0);
    EXPECT_EQ(dialog.GetWidths().at(1), 345);
    EXPECT_EQ(dialog.GetWidths().last(), 200);
    const CKvReportLayoutChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.paperWidth, QStringLiteral("2100"));
    EXPECT_EQ(choice.leftOffset, QStringLiteral("55"));
    EXPECT_EQ(choice.topOffset, QStringLiteral("100"));
}

TEST_F(ReportOutputTest, TheSetupDialogRefusesSizesThePrintCannotLayOut)
{
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout("售电记录统计表_按用户电表");
    ASSERT_NE(layout, nullptr);
    const struct
    {
        const char* what;
        int id; // an edit, or 0 for the first column's width
        const char* text;
        const char* refusal; // empty: accepted
    } cases[] = {
        {"left margin abc", 1029, "abc", "左边应为0到1000之间的整数！"},
        {"top margin 1e3", 1027, "1e3", "顶边应为0到1000之间的整数！"},
        {"right margin beyond int", 1030, "99999999999", "右边应为0到1000之间的整数！"},
        {"bottom margin -5", 1028, "-5", "底边应为0到1000之间的整数！"},
        {"custom length 0", 1178, "0", "纸张纵向应为100到10000之间的整数！"},
        {"custom width beyond int", 1026, "2147483648", "纸张横向应为100到10000之间的整数！"},
        {"column width beyond its bound", 0, "2147483647", "列宽应为0到5000之间的整数！"},
        {"column width 1e3", 0, "1e3", "列宽应为0到5000之间的整数！"},
        {"sizes at their bounds", 1029, "1000", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CReportSetupDlg dialog(nullptr, "设置报表格式");
        dialog.SetLayout(layout);
        dialog.SetReportName("售电记录统计表_按用户电表");
        dialog.EnsureInitialised();
        dialog.findChild<QComboBox*>("c1173")->setCurrentIndex(2);
        auto* columns = dialog.findChild<CKvExtList2*>("c1179");
        if (c.id)
            dialog.findChild<QLineEdit*>(QStringLiteral("c%1").arg(c.id))->setText(QString::fromUtf8(c.text));
        else
            columns->SetItemText(0, 1, QString::fromUtf8(c.text));
        sink.Clear();
        CModalScript::Click(&dialog, 1000);
        const QString refusal = QString::fromUtf8(c.refusal);
        EXPECT_EQ(sink.Texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        EXPECT_EQ(dialog.result() == QDialog::Accepted, refusal.isEmpty());
    }
}

TEST_F(ReportOutputTest, TheFormatFlowSavesWhatTheDialogChoseOrReportsAMissingLayout)
{
    CKvReportFormList layouts;
    const int id = layouts.LoadLayout("附表抄收明细表")->GetReportId();

    {
        CModalScript script;
        script.Then([](QWidget* window) {
            EXPECT_EQ(window->windowTitle(), QStringLiteral("设置报表格式"));
            EXPECT_EQ(window->findChild<QLineEdit*>("c1176")->text(), QStringLiteral("水量水费明细表"));
            auto* fields = window->findChild<CKvExtList*>("c1108");
            ClickCell(fields, 1, 0); // 用户姓名 off
            CModalScript::Click(window, 1000);
        });
        EXPECT_TRUE(EditReportFormat("附表抄收明细表", "水量水费明细表", "水量水费明细表"));
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(Headings(id).mid(0, 2), (QStringList{"用户代码:210", "附表编号:250"}));
    CKvReportFormList again;
    CKvReportForm* saved = again.LoadLayout("附表抄收明细表");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->GetReportName(), QStringLiteral("水量水费明细表"));

    // Cancel stores nothing.
    const QStringList kept = Headings(id);
    {
        CModalScript cancel;
        cancel.Then([](QWidget* window) {
            ClickCell(window->findChild<CKvExtList*>("c1108"), 0, 0);
            CModalScript::Click(window, 1172);
        });
        EXPECT_FALSE(EditReportFormat("附表抄收明细表", "附表抄收明细表", "附表抄收明细表"));
        EXPECT_TRUE(cancel.Exhausted());
    }
    EXPECT_EQ(Headings(id), kept);

    EXPECT_FALSE(EditReportFormat("附表抄收统计表_按年", "附表抄收统计表_按年", "附表抄收统计表_按年"));
    EXPECT_EQ(sink.Texts(), QStringList{"报表格式类型错误！"});
}
