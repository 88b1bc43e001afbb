// The receipt query from the menu, and the receipt list: sorting, reprinting
// and bill numbers, against the sale fixture with the receipt rows.
#include "../../framework/ui/KvUiTestUtil.h"
#include "../ReceiptFixture.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CReceiptDocument.h"
#include "CReceiptListDlg.h"
#include "CResultList.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvGoldenCsv.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvQueryCommands.h"
#include "KvReceiptQuery.h"
#include "SysGlobals.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kMissing = QStringLiteral("该售电记录或其付款记录已不存在！");

class ReceiptListTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CFreshDatabase fresh{QDateTime(QDate(2024, 3, 15), QTime(10, 0))};
    CReportStore store;
    std::unique_ptr<CReceiptListDlg> dialog;

    ReceiptListTest()
    {
        LoadReceiptFixture(fresh.Db());
        GetCurrentOperator()->SetOperatorName(QStringLiteral("张出纳"));
    }

    // The list of a receipt query, shown as the query shows it.
    void open(const CSaleCondition& condition = CSaleCondition())
    {
        CAdoLease<CAdoRecordset> rs(fresh.Db().AcquireRecordset());
        rs->Open(ReceiptQuerySql(condition));
        const std::vector<CReceiptSaleRow> rows = ReadReceiptSaleRows(*rs);
        store = BuildReceiptStore(rows);
        dialog = std::make_unique<CReceiptListDlg>(nullptr, ReceiptListCaption(condition));
        dialog->SetData(&store);
        dialog->SetRecordCountText(QStringLiteral("记录总数：%1").arg(rows.size()));
        dialog->EnsureInitialised();
        ASSERT_TRUE(ShowActive(dialog.get()));
    }

    CResultList* list() const { return dialog->GetList(); }
    int counter() const { return fresh.Value("select InvoiceNo from SysPara").toInt(); }
    QString billOf(int wrtIndex) const
    {
        return fresh.Value(QStringLiteral("select InvoiceNo from ClientPay where WrtIndex = %1").arg(wrtIndex));
    }
    int rowOf(int wrtIndex) const
    {
        for (int r = 0; r < list()->GetItemCount(); ++r)
            if (dialog->RowWrtIndex(r) == wrtIndex)
                return r;
        return -1;
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < list()->GetItemCount(); ++r)
            texts << list()->GetItemText(r, c);
        return texts;
    }
    void clickHeader(int c)
    {
        QHeaderView* header = list()->horizontalHeader();
        MouseClick(header->viewport(),
                   QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2));
    }
    void clickRow(int r)
    {
        const QModelIndex cell = list()->model()->index(r, 1);
        list()->scrollTo(cell);
        MouseClick(list()->viewport(), list()->visualRect(cell).center());
    }
    void press(int id) { MouseClick(dialog->findChild<QAbstractButton*>(CKvDialog::ControlName(id))); }
    QString common(int receipt, const char* name) const
    {
        return dialog->GetReceiptDocument()->Values().Common(
            receipt, static_cast<int>(CReceiptValues::CommonNames().indexOf(QString::fromUtf8(name))));
    }
    // Presses a print button; the preview that opens is closed.
    bool printShowsPreview(int button)
    {
        CModalScript script;
        script.Then([](QWidget* preview) {
            EXPECT_EQ(preview->objectName(), "dlg155");
            preview->close();
        });
        press(button);
        return script.Exhausted();
    }
};

} // namespace

TEST_F(ReceiptListTest, MenuCommandListsPaidSalesAndReopensTheConditions)
{
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{100, 102});
    frame.BuildRightsList();
    InstallQueryCommands(frame);

    QString csv;
    {
        CModalScript script;
        script
            .Then([](QWidget* conditions) {
                // A user-code prefix every user has, and the kWh range, which
                // this query ignores.
                MouseClick(conditions->findChild<QCheckBox*>("c1051"), QPoint(6, 8));
                CModalScript::Type(conditions, 1002, "0");
                MouseClick(conditions->findChild<QCheckBox*>("c1152"), QPoint(6, 8));
                CModalScript::Type(conditions, 1155, "500");
                CModalScript::Type(conditions, 1156, "600");
                CModalScript::Click(conditions, 1000);
            })
            .Then([&](QWidget* w) {
                auto* receipts = qobject_cast<CReceiptListDlg*>(w);
                ASSERT_NE(receipts, nullptr);
                QStringList lines{receipts->windowTitle(), receipts->GetRecordCountText()};
                QStringList shown;
                for (int c = 0; c < receipts->GetList()->GetColumnCount(); ++c)
                    shown << receipts->GetList()->model()->headerData(c, Qt::Horizontal).toString();
                lines << shown.join(u',');
                for (int r = 0; r < receipts->GetRowCount(); ++r)
                    lines << receipts->GetStore()->RowCells(r).join(u',');
                csv = lines.join(u'\n') + u'\n';
                receipts->close();
            })
            .Then([](QWidget* conditions) {
                EXPECT_TRUE(conditions->findChild<QCheckBox*>("c1051")->isChecked());
                EXPECT_EQ(conditions->findChild<QLineEdit*>("c1002")->text(), "0");
                EXPECT_FALSE(conditions->findChild<QCheckBox*>("c1152")->isChecked());
                CModalScript::Click(conditions, 1001);
            });
        frame.GetCommandAction(ID_QUERY_RECEIPTS)->trigger();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen(), QStringList({"dlg183", "dlg182", "dlg183"}));
        EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(u'|').toStdString();
    }

    ExpectGoldenCsv("receipts_all", csv);

    // Nothing found: told, and the command ends.
    CModalScript none;
    none.Then([](QWidget* conditions) {
        MouseClick(conditions->findChild<QCheckBox*>("c1263"), QPoint(6, 8));
        CModalScript::Type(conditions, 1009, "nobody");
        CModalScript::Click(conditions, 1000);
    });
    frame.GetCommandAction(ID_QUERY_RECEIPTS)->trigger();
    EXPECT_TRUE(none.Exhausted());
    EXPECT_EQ(none.Seen(), QStringList({"dlg183"}));
    EXPECT_EQ(sink.Texts(), QStringList({"找不到相关数据！"}));
}

TEST_F(ReceiptListTest, ColumnClicksSortAscendingTotalLastNothingSelected)
{
    open();
    clickRow(0);
    ASSERT_EQ(list()->GetSelectedRow(), 0);

    clickHeader(RcThisBalance);
    EXPECT_EQ(column(RcThisBalance), QStringList({"2.50", "2.50", "4.40", "6.40", "8.00", "9.50", "10.00", "43.30"}))
        << "9.50 before 10.00";
    EXPECT_EQ(list()->GetItemText(7, 0), "汇    总");
    EXPECT_EQ(list()->GetSelectedRow(), -1);
    EXPECT_EQ(dialog->RowWrtIndex(5), 102);
    EXPECT_EQ(dialog->RowWrtIndex(6), 101);
    // The hidden cells moved with their rows.
    EXPECT_EQ(dialog->GetStore()->Cell(6, RcTotFee), "56.50");

    // Pay modes by their GBK bytes: 现金 (CF D6) before 支票 (D6 A7).
    clickHeader(RcPayMode);
    EXPECT_EQ(column(RcPayMode).mid(0, 7), QStringList({"现金", "现金", "现金", "现金", "支票", "支票", "支票"}));
    EXPECT_EQ(list()->GetItemText(7, 0), "汇    总");

    // Right after a sort no row is selected: both commands say so.
    press(1283);
    press(1077);
    clickRow(7);
    press(1283);
    press(1077);
    EXPECT_EQ(sink.Texts(), QStringList({"请选择记录！", "请选择售电记录！", "请选择记录！", "请选择售电记录！"}));

    // Printing a row after the sort prints that row's sale.
    const int row = rowOf(102);
    clickRow(row);
    ASSERT_TRUE(printShowsPreview(1283));
    EXPECT_EQ(common(0, "住户编号"), "0600");
    EXPECT_EQ(common(0, "本次余额"), "9.50");
    EXPECT_EQ(common(0, "票据编号"), "00000001_1");
    EXPECT_EQ(list()->GetItemText(row, 0), "00000001");
}

TEST_F(ReceiptListTest, OneDataRowStaysWhereItIs)
{
    CSaleCondition k;
    k.m_bMeterNo = 1;
    k.m_meterNo = QStringLiteral("M0300");
    open(k);
    ASSERT_EQ(list()->GetItemCount(), 2);
    const QStringList before = dialog->GetStore()->Cells();
    for (int c : {0, int(RcThisBalance), int(RcPayMode), int(RcClientName)})
        clickHeader(c);
    EXPECT_EQ(dialog->GetStore()->Cells(), before);
    EXPECT_EQ(dialog->RowWrtIndex(0), 4);
}

TEST_F(ReceiptListTest, AutomaticNumbersAreDrawnOncePerSaleWhateverTheCopies)
{
    GetMainSysPara()->SetInvoiceNum(2);
    fresh.Db().Execute("update SysPara set InvoiceNo = 123", QString());
    fresh.Db().Execute("update ClientPay set InvoiceNo = '' where WrtIndex = 2", QString());
    open();
    clickRow(rowOf(102));
    ASSERT_TRUE(printShowsPreview(1283));
    EXPECT_EQ(counter(), 124);
    EXPECT_EQ(billOf(102), "00000123");
    EXPECT_EQ(dialog->GetReceiptDocument()->GetReceiptCount(), 2);
    EXPECT_EQ(common(0, "票据编号"), "00000123_1");
    EXPECT_EQ(common(1, "票据编号"), "00000123_2");

    // A later sort keeps it, and printing again draws nothing.
    clickHeader(RcClientName);
    EXPECT_EQ(list()->GetItemText(rowOf(102), 0), "00000123");
    clickRow(rowOf(102));
    ASSERT_TRUE(printShowsPreview(1283));
    EXPECT_EQ(counter(), 124);

    // Print all: the two-share sale 2 without a number gets one number, shown
    // in both of its rows; receipts are row x copies + k, in list order.
    ASSERT_TRUE(printShowsPreview(1282));
    EXPECT_EQ(sink.Texts(), QStringList({"对于未有票号的售电数据将自动生成票号，继续吗？"}));
    EXPECT_EQ(counter(), 125);
    EXPECT_EQ(billOf(2), "00000124");
    QStringList numbers;
    for (int r = 0; r < list()->GetItemCount(); ++r)
        if (dialog->RowWrtIndex(r) == 2)
            numbers << list()->GetItemText(r, 0);
    EXPECT_EQ(numbers, QStringList({"00000124", "00000124"}));
    EXPECT_EQ(dialog->GetReceiptDocument()->GetReceiptCount(), 14);
    const int row = rowOf(102);
    EXPECT_EQ(common(row * 2, "票据编号"), "00000123_1");
    EXPECT_EQ(common(row * 2 + 1, "票据编号"), "00000123_2");
    EXPECT_EQ(common(row * 2, "打印年"), "") << "batch receipts leave the date parts empty";
}

TEST_F(ReceiptListTest, ManualNumbersAskAndEscapeWritesNothing)
{
    GetMainSysPara()->SetInvoiceNoMode(QStringLiteral("手工"));
    open();
    const int before = counter();
    clickRow(rowOf(102));
    {
        CModalScript script;
        script.Then([](QWidget* ask) {
            EXPECT_EQ(ask->objectName(), "dlg166");
            EXPECT_EQ(ask->windowTitle(), "输入票据号");
            CModalScript::Type(ask, 1076, "typed");
            PressKey(ask, Qt::Key_Escape);
        });
        press(1283);
        EXPECT_TRUE(script.Exhausted()) << "no preview";
    }
    EXPECT_EQ(billOf(102), "");
    EXPECT_EQ(list()->GetItemText(rowOf(102), 0), "");

    CModalScript script;
    script
        .Then([](QWidget* ask) {
            CModalScript::Type(ask, 1076, " M'77 ");
            CModalScript::Click(ask, 1000);
        })
        .Then([](QWidget* preview) { preview->close(); });
    clickRow(rowOf(102));
    press(1283);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(billOf(102), "M'77");
    EXPECT_EQ(common(0, "票据编号"), "M'77_1");
    EXPECT_EQ(counter(), before);

    // Print all numbers from the counter whatever the mode; answered No it
    // does nothing at all.
    sink.QueueAnswer(IDNO);
    press(1282);
    EXPECT_EQ(counter(), before);
    EXPECT_EQ(billOf(102), "M'77");
}

TEST_F(ReceiptListTest, ChangeBillNumberWritesEveryRowOfTheSaleAndEscapeKeepsIt)
{
    open();
    clickRow(rowOf(2));
    {
        CModalScript script;
        script.Then([](QWidget* ask) {
            CModalScript::Type(ask, 1076, "N9");
            CModalScript::Click(ask, 1000);
        });
        press(1077);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(billOf(2), "N9");
    QStringList numbers;
    for (int r = 0; r < list()->GetItemCount(); ++r)
        if (dialog->RowWrtIndex(r) == 2)
            numbers << list()->GetItemText(r, 0) << dialog->GetStore()->Cell(r, 0);
    EXPECT_EQ(numbers, QStringList({"N9", "N9", "N9", "N9"}));

    clickRow(rowOf(2));
    CModalScript script;
    script.Then([](QWidget* ask) { PressKey(ask, Qt::Key_Escape); });
    press(1077);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(billOf(2), "N9");
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(ReceiptListTest, AGoneSaleDrawsNoNumberAndShowsNoPreview)
{
    open();
    const int before = counter();
    fresh.Db().Execute("delete from WrtRecord where WrtIndex = 102", QString());
    clickRow(rowOf(102));
    press(1283); // no modal window may open
    press(1077);
    EXPECT_EQ(sink.Texts(), QStringList({kMissing, kMissing}));
    EXPECT_EQ(counter(), before);
}

TEST_F(ReceiptListTest, AFailedPaymentWriteLeavesTheCounterWhereItWas)
{
    open();
    const int before = counter();
    fresh.Db().Execute("create trigger NoPayWrite before update on ClientPay begin select raise(abort, 'refused'); end",
                       QString());
    clickRow(rowOf(102));
    press(1283);
    press(1282); // sale 102 is the one row without a number
    EXPECT_EQ(sink.Texts(),
              QStringList({"向数据库更新用户余额时发生错误", "对于未有票号的售电数据将自动生成票号，继续吗？",
                           "向数据库更新用户余额时发生错误"}));
    EXPECT_EQ(counter(), before);
    EXPECT_EQ(list()->GetItemText(rowOf(102), 0), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is gone";
}

// A stored count of 0 (the settings keep an empty count so) still prints the
// receipt once, numbered.
TEST_F(ReceiptListTest, ACountOf0PrintsOneCopyAndASaleWithoutSharesEndsPrintAll)
{
    GetMainSysPara()->SetInvoiceNum(0);
    open();
    const int before = counter();
    clickRow(rowOf(102));
    ASSERT_TRUE(printShowsPreview(1283));
    EXPECT_EQ(dialog->GetReceiptDocument()->GetReceiptCount(), 1);
    EXPECT_EQ(counter(), before + 1);
    EXPECT_EQ(billOf(102), QString::asprintf("%08d", before));
    EXPECT_EQ(common(0, "票据编号"), QString::asprintf("%08d_1", before));

    fresh.Db().Execute("delete from WrtPrice where WrtIndex = 101", QString());
    press(1282); // stops at sale 101: no preview
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Without the receipt layout nothing is printed.
    sink.Clear();
    fresh.Db().Execute("delete from KvReport where ReportId = 1", QString());
    press(1283);
    EXPECT_EQ(sink.Texts(), QStringList({"票据格式不存在！"}));
}
