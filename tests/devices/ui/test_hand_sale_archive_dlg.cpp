#include "../../framework/ui/KvUiTestUtil.h"
#include "../ArchiveTestData.h"
#include "CHandRaw.h"
#include "CHandSaleArchive.h"
#include "CHandSaleArchiveDlg.h"
#include "CKvExtList2.h"
#include "KvFreshDatabase.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The archive dialog on staged sales, shown.
class HandSaleArchiveDlgTest : public FreshDatabaseTest
{
protected:
    void stage(const QString& meterNo, double accuUse = 0)
    {
        CHandRaw raw;
        raw.SetMeterNo(meterNo);
        raw.SetWrtNum(4);
        raw.SetWrtValue(100);
        raw.SetAccuBuy(300);
        raw.SetAccuUse(accuUse);
        raw.SetOpMode(QStringLiteral("手持机"));
        raw.SetWrtTime(QDateTime(QDate(2026, 12, 9), QTime(8, 15, 30)));
        raw.Save();
    }
    void open()
    {
        staged.LoadAll();
        dialog = std::make_unique<CHandSaleArchiveDlg>(nullptr, QStringLiteral("上传数据"), &staged);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void click(int id)
    {
        auto* button = dialog->findChild<QPushButton*>(CKvDialog::ControlName(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    CKvExtList2* list() { return dialog->GetRowList(); }
    QStringList row(int r)
    {
        QStringList texts;
        for (int c = 0; c < list()->GetColumnCount(); ++c)
            texts << list()->GetItemText(r, c);
        return texts;
    }
    int stagedRows() { return fresh.Count(QStringLiteral("select * from HandRaw")); }
    int sales() { return fresh.Count(QStringLiteral("select * from WrtRecord")); }

    CHandRawList staged;
    std::unique_ptr<CHandSaleArchiveDlg> dialog;
};

} // namespace

TEST_F(HandSaleArchiveDlgTest, ListsTheStagedSalesAsTheyWillBeArchived)
{
    stage(QStringLiteral("00000001"), 12.34);
    open();
    ASSERT_EQ(list()->GetColumnCount(), 7);
    QStringList headers;
    for (int c = 0; c < 7; ++c)
        headers << list()->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers,
              (QStringList{"电表编号", "写卡次数", "写卡度数", "累计买电", "累计用电", "写卡方式", "写卡时间"}));
    EXPECT_EQ(row(0), (QStringList{"00000001", "4", "100", "300", "12.3", "手持机", "2026-12-09 08:15:30"}));
    EXPECT_EQ(list()->GetRowObject(0), staged.At(0));
}

TEST_F(HandSaleArchiveDlgTest, DeletesOneRowOrAllAfterAsking)
{
    for (const char* meterNo : {"00000001", "00000002", "00000003"})
        stage(QString::fromLatin1(meterNo));
    open();

    DeselectRow(list(), 0); // the focused list selected its first row
    click(1174);
    click(1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"请选择售电记录！", "请选择售电记录！"}));

    sink.Clear();
    list()->SelectRow(1);
    sink.QueueAnswer(IDNO);
    click(1026);
    EXPECT_EQ(stagedRows(), 3);
    list()->SelectRow(1);
    click(1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"确实需要删除该记录吗？", "确实需要删除该记录吗？"}));
    EXPECT_EQ(stagedRows(), 2);
    ASSERT_EQ(list()->GetItemCount(), 2);
    EXPECT_EQ(list()->GetItemText(1, 0), QStringLiteral("00000003"));

    sink.Clear();
    sink.QueueAnswer(IDNO);
    click(1134);
    EXPECT_EQ(stagedRows(), 2);
    click(1134);
    EXPECT_EQ(sink.Texts(), (QStringList{"确实需要删除全部记录吗？", "确实需要删除全部记录吗？"}));
    EXPECT_EQ(stagedRows(), 0);
    EXPECT_EQ(staged.GetCount(), 0);
    EXPECT_EQ(list()->GetItemCount(), 0);
}

TEST_F(HandSaleArchiveDlgTest, ArchivesTheFiguresAsShown)
{
    AddArchivePrices(db());
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    StageSale(QStringLiteral("00001001"), 10, 300, 12.34);
    open();
    EXPECT_EQ(list()->GetItemText(0, 4), QStringLiteral("12.3"));
    list()->SelectRow(0);
    click(1174);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(list()->GetItemCount(), 0);
    EXPECT_EQ(stagedRows(), 0);
    EXPECT_DOUBLE_EQ(fresh.Value(QStringLiteral("select AccuUse from WrtRecord")).toDouble(), 12.3);
    EXPECT_DOUBLE_EQ(fresh.Value(QStringLiteral("select AccuRemain from WrtRecord")).toDouble(), 300 - 12.3);
    EXPECT_EQ(fresh.Value(QStringLiteral("select WrtTime from WrtRecord")), QStringLiteral("2026-12-09 08:15:30"));
}

TEST_F(HandSaleArchiveDlgTest, ArchiveAllPassesOverAMissingMeterAndStopsAtAMissingPrice)
{
    AddArchivePrices(db());
    AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001001"), {{"01", 100}});
    AddArchiveMeter(db(), QStringLiteral("C003"), QStringLiteral("00001003"), {{"02", 100}});
    AddArchiveMeter(db(), QStringLiteral("C009"), QStringLiteral("00001009"), {{"09", 100}});
    for (const char* meterNo : {"00001001", "00001002", "00001003"})
        StageSale(QString::fromLatin1(meterNo), 10, 10, 0);
    open();
    sink.QueueAnswer(IDNO);
    click(1016);
    EXPECT_EQ(sink.Texts(), QStringList{"系统没有该电表档案！是否建档？"});
    EXPECT_EQ(sales(), 2);
    ASSERT_EQ(list()->GetItemCount(), 1);
    EXPECT_EQ(list()->GetItemText(0, 0), QStringLiteral("00001002"));

    // A price that ended stops the archive of all at its row.
    db().Execute(QStringLiteral("delete from HandRaw"), QString());
    dialog.reset();
    for (const char* meterNo : {"00001009", "00001001"})
        StageSale(QString::fromLatin1(meterNo), 10, 10, 0);
    sink.Clear();
    open();
    click(1016);
    EXPECT_EQ(sink.Texts(), QStringList{"电价不存在！"});
    EXPECT_EQ(sales(), 2);
    EXPECT_EQ(list()->GetItemCount(), 2);
}
