#include "CHandRaw.h"
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
