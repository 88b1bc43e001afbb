// The sales dialog against the card tool stand-ins: a card read shows the
// card beside the archive, classifies it and decides the write button.

#include "CMainFrame.h"
#include "CSubLastReadDlg.h"
#include "CSysPara.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "KvSalesCommands.h"
#include "SaleDialogTest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

const QString kMeter = QStringLiteral("00001234");
const QString kOther = QStringLiteral("00005678");

// A user with one meter, one paid sale of 50 and a card image that agrees
// with a used top-up card: write 1 of 50, 150 bought.
class SaleDialogFlowTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        AddOperator(QStringLiteral("01"), QStringLiteral("张三"));
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"), QStringLiteral("楼上"));
        AddMeter(1, QStringLiteral("C001"), kMeter);
        AddImage(kMeter, 1, 50, 150);
        AddSale(100000001, 1, kMeter, 1, 50, 26);
        AddBalance(QStringLiteral("C001"), 12.5, 3);
        exec(QStringLiteral("insert into PreModel values('M1', 'DDSY', '5(20)A', 4, '预付费电表', '红外遥控卡', "
                            "'单相', 20, 5, 1.5, '正常', 1, '否', '否')"));
    }
    void PutAgreeingCard() { PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50); }
    // The dialog shown and the agreeing card read: a sale is possible.
    void ReadAgreeingCard(CSaleDlg& dialog)
    {
        Open(dialog);
        PutAgreeingCard();
        Read(dialog);
        ASSERT_EQ(dialog.m_nCardState, 4);
    }
};

} // namespace

TEST_F(SaleDialogTest, EveryFixedRowAndTheHistorysColumnsShowOnADesktopScreen)
{
    CSaleDlg dlg(nullptr, QStringLiteral("售电服务"));
    dlg.EnsureInitialised();
    // What a 1600 x 1000 desktop leaves to a window, its frame and a panel.
    EXPECT_LE(dlg.width(), 1580);
    EXPECT_LE(dlg.height(), 920);
    dlg.grab(); // lays the dialog out at that size, as showing it does
    struct Case
    {
        int id;
        const char* what;
        bool allRows;
    };
    const Case cases[] = {
        {1155, "card", true}, {1113, "meter type", true}, {1086, "user", true}, {1152, "history", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* list = dlg.findChild<CKvExtList2*>(CKvDialog::ControlName(c.id));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "every column shows";
        if (c.allRows) {
            EXPECT_EQ(list->verticalScrollBar()->maximum(), 0) << "every row shows";
            const int last = list->GetItemCount() - 1;
            EXPECT_LE(list->visualItemRect(list->item(last, 0)).bottom(), list->viewport()->height());
        }
    }
}

TEST_F(SaleDialogFlowTest, TheMenuOpensTheCounterAndAUsedTopUpCardShowsItsArchive)
{
    PutAgreeingCard();
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{101, 111, 117});
    frame.BuildRightsList();
    InstallSalesCommands(frame);

    CModalScript script;
    script.Then([this](QWidget* widget) {
        auto& dialog = *static_cast<CSaleDlg*>(widget);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("售电服务"));
        EXPECT_EQ(CardType(dialog)->currentText(), QStringLiteral("红外遥控卡"));
        EXPECT_EQ(Control<QComboBox>(dialog, 1136)->currentText(), QStringLiteral("com1"));
        EXPECT_EQ(Button(dialog, 1132)->text(), QStringLiteral("写充值卡(&W)"));
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
        EXPECT_TRUE(Button(dialog, 1134)->isEnabled());

        Read(dialog);
        EXPECT_EQ(Values(dialog, 1155, 0, 17),
                  (QStringList{"已用充值卡", kMeter, "1", "50", "100", "150", "50", "800", "", "", "1", "50", "150",
                               "0.0", "0.0", "800", "30", "20"}));
        EXPECT_EQ(Values(dialog, 1113, 0, 11), (QStringList{"M1", "4", "预付费电表", "红外遥控卡", "单相", "1.5",
                                                            "20.0", "5.0", "2.5", "5.5", "2", "3"}));
        EXPECT_EQ(Values(dialog, 1086, 0, 4), (QStringList{"C001", "李四", "李四路1号", "555-C001", "12.50"}));
        EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1172)->toPlainText(), QStringLiteral("楼上"));
        EXPECT_EQ(Rows(dialog, 1074), QStringList{"居民电价|P1|0.5200|100"});
        EXPECT_EQ(Rows(dialog, 1152),
                  (QStringList{"1|50|1|50|0|0.3|0.5|0.5200|26.00|正常充值|现金|张三|2026-12-02 10:00:00",
                               "累  计|50||50|0|0.3|0.5||26.00||||"}));
        EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！",
                                             "应缴附表计费：0.00元\n\n应缴定额收费：0.00元\n\n用户余额：12.50元\n\n"
                                             "扣除应缴非电费，用户尚有余额：12.50元"}));
        EXPECT_EQ(dialog.m_nCardState, 4);
        EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
        EXPECT_DOUBLE_EQ(dialog.m_WeightedPrice, 0.52);
        MouseClick(Button(dialog, 1001));
    });
    frame.GetCommandAction(ID_SALE_SERVICE)->trigger();
    EXPECT_EQ(script.Seen(), QStringList{"dlg167"});
}

TEST_F(SaleDialogFlowTest, ACardOfAnUnknownMeterLeavesNothingToSell)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    PutAgreeingCard();
    Read(dialog);
    ASSERT_EQ(dialog.m_nCardState, 4);

    PutCard(QStringLiteral("04"), QStringLiteral("00009999"), 1, 50, 100, 150, 50);
    Read(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"系统没有与卡号对应的预付费表档案！"});
    EXPECT_EQ(dialog.m_nCardState, -1);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Values(dialog, 1155, 0, 1), (QStringList{"已用充值卡", "00009999"}));
    EXPECT_EQ(Values(dialog, 1155, 10, 17), QStringList(8));
    EXPECT_EQ(Values(dialog, 1086, 0, 4), QStringList(5));
    for (int id : {1152, 1074, 1170, 1106})
        EXPECT_EQ(List(dialog, id)->GetItemCount(), 0) << id;
}

// A read that gives no card sends the cashier to the reader, not to the
// archive: the reply is shown (the reader's own error line by the card
// writer) and the dialog is left with nothing to sell.
TEST_F(SaleDialogFlowTest, ACardThatCannotBeReadIsToldAsSuch)
{
    const struct
    {
        const char* scenario; // empty: no card in the reader
        const char* message;
    } cases[] = {
        {"TIMEOUT!", "读卡失败！\n\n\"TIMEOUT!\""},
        {"", "ERROR:卡座内无卡"},
        {"TORN", ""},
        {"RAW ???", "读卡失败！\n\n???"},
    };
    for (const auto& c : cases) {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadAgreeingCard(dialog);

        const QString scenario = QString::fromLatin1(c.scenario);
        if (scenario.isEmpty()) {
            CSimCard card = sim.Card(1);
            card.present = false;
            sim.SetCard(1, card);
        } else {
            sim.QueueReply(scenario);
        }
        Read(dialog);
        ASSERT_EQ(sink.Texts().size(), 1) << c.scenario;
        QString message = QString::fromUtf8(c.message);
        if (message.isEmpty()) // a torn reply is shown as the tool left it
            message = QStringLiteral("读卡失败！\n\n");
        EXPECT_TRUE(sink.Texts().front().startsWith(message)) << c.scenario;
        EXPECT_FALSE(sink.Texts().front().contains(QStringLiteral("档案"))) << c.scenario;
        EXPECT_EQ(dialog.m_nCardState, -1) << c.scenario;
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled()) << c.scenario;
        EXPECT_EQ(Values(dialog, 1155, 0, 17), QStringList(18)) << c.scenario;
        EXPECT_EQ(Values(dialog, 1086, 0, 4), QStringList(5)) << c.scenario;
        for (int id : {1152, 1074, 1170, 1106})
            EXPECT_EQ(List(dialog, id)->GetItemCount(), 0) << id;
    }
}

// Emergency, refund and clear-meter cards carry meter 00000000: no archive is
// looked up, and each is told as what it is.
TEST_F(SaleDialogFlowTest, SpecialCardsAreToldWithoutTheArchive)
{
    const struct
    {
        const char* code;
        int state;
        const char* message;
    } cases[] = {
        {"10", 10, "该卡为应急卡！\n\n电量为：30"},
        {"11", 11, "该卡为退费卡！"},
        {"12", 12, "该卡为清表卡！"},
    };
    for (const auto& c : cases) {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadAgreeingCard(dialog);

        PutCard(QString::fromLatin1(c.code), QStringLiteral("00000000"), 0, 30, 0, 0, 0);
        Read(dialog);
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.code;
        EXPECT_EQ(dialog.m_nCardState, c.state) << c.code;
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled()) << c.code;
        EXPECT_EQ(Values(dialog, 1155, 10, 17), QStringList(8)) << c.code;
        EXPECT_EQ(Values(dialog, 1086, 0, 4), QStringList(5)) << c.code;
        EXPECT_EQ(List(dialog, 1152)->GetItemCount(), 0) << c.code;
    }
}

// A meter whose user is not on file has nobody to charge: the read stops.
TEST_F(SaleDialogFlowTest, AMeterWithoutItsUserIsRefused)
{
    AddMeter(2, QStringLiteral("C404"), kOther);
    PutCard(QStringLiteral("04"), kOther, 0, 0, 0, 0, 0);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"系统没有与该电表对应的住户档案！"});
    EXPECT_EQ(dialog.m_nCardState, -1);
    EXPECT_EQ(dialog.GetClient(), nullptr);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
}

TEST_F(SaleDialogFlowTest, HistoryShowsUnpaidSalesAndDeletedOperatorsAndItsTotals)
{
    AddSale(100000002, 1, kMeter, 2, 40, 20.8, QStringLiteral("09"), QString());
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    PutAgreeingCard();
    Read(dialog);
    EXPECT_EQ(Rows(dialog, 1152),
              (QStringList{"1|50|1|50|0|0.3|0.5|0.5200|26.00|正常充值|现金|张三|2026-12-02 10:00:00",
                           "2|40|1|40|0|0.3|0.5|0.5200|20.80|正常充值|未付款||2026-12-03 10:00:00",
                           "累  计|90||90|0|0.6|1.0||46.80||||"}));
    EXPECT_EQ(List(dialog, 1152)->GetRowObject(2), nullptr);
}

// A meter with no sales shows its totals row alone, and a card that disagrees
// with it may be accepted: the archive is rewritten from the card. The meter
// has no image row yet, so the repair inserts one.
TEST_F(SaleDialogTest, AMismatchOnAMeterWithoutSalesIsRepairedFromTheCard)
{
    AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
    AddMeter(2, QStringLiteral("C002"), kOther);
    PutCard(QStringLiteral("04"), kOther, 3, 20, 40, 60, 20);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);

    EXPECT_EQ(Rows(dialog, 1152), QStringList{"累  计|0||0|0|0.0|0.0||0.00||||"});
    // Its type is not on file: the type rows stay empty, the meter's own show.
    EXPECT_EQ(Values(dialog, 1113, 0, 11), (QStringList(8) << "2.5"
                                                           << "5.5"
                                                           << "2"
                                                           << "3"));
    EXPECT_EQ(sink.Texts().mid(0, 4), (QStringList{"该卡为已用充值卡！", "卡上写卡次数与档案写卡次数不一致！继续吗？",
                                                   "卡上写卡量与档案写卡量不一致！继续吗？",
                                                   "卡上累计购电量与档案累计购电量不一致！继续吗？"}));
    EXPECT_EQ(dialog.m_nCardState, 4);
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(fresh.Value("select WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || AccuUse || ',' || AccuRemain "
                          "|| ',' || OpMode || ',' || LimitValue || ',' || WrtTime from PreLastWrt where MeterNo = "
                          "'00005678'"),
              QStringLiteral("3,20,60,40.0,20.0,正常充值,800,2026-12-10 09:30:00"));
    // The user has no balance row: no figure but zero is shown.
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("应缴附表计费：0.00元\n\n应缴定额收费：0.00元\n\n用户余额：0.00元\n\n"
                                                  "扣除应缴非电费，用户尚有余额：0.00元"));
}

TEST_F(SaleDialogFlowTest, AMismatchOnAMeterWithSalesEndsTheRead)
{
    PutCard(QStringLiteral("04"), kMeter, 2, 50, 100, 150, 50);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", "卡上写卡次数与档案写卡次数不一致！"}));
    EXPECT_EQ(dialog.m_nCardState, -1);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(fresh.Value("select WrtNum from PreLastWrt where MeterNo = '00001234'"), QStringLiteral("1"));
}

// An IC card's totals row always counts as history, so an IC replacement
// card that matches neither pattern is never offered the repair.
TEST_F(SaleDialogTest, AnIcReplacementMismatchIsNeverAskedAbout)
{
    AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
    AddMeter(2, QStringLiteral("C002"), kOther);
    AddImage(kOther, 4, 30, 90);
    PutCard(QStringLiteral("06"), kOther, 9, 0, 10, 10, 0, 2);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog, QStringLiteral("IC钥匙卡"));
    Read(dialog);
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用补卡！", "卡上数据与档案数据不符！"}));
    EXPECT_EQ(dialog.m_nCardState, -1);
}

// The old card's purchase is not yet in the meter: a sale tops it up, shows
// no balance message; the refund of such a card is not offered.
TEST_F(SaleDialogFlowTest, AReplacementCardStillOwingItsPurchase)
{
    // Archive: write 1 of 50, 150 bought; the card has the 100 before it.
    PutCard(QStringLiteral("06"), kMeter, 1, 0, 100, 100, 0);
    {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        Open(dialog);
        Read(dialog);
        EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用补卡！", "原卡电量尚未送入电表！"}));
        EXPECT_EQ(dialog.m_nCardState, 56);
        EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
    }
    CSaleDlg refund(nullptr, QStringLiteral("返卡退费"));
    refund.m_strRefundMeterNo = kMeter;
    Open(refund);
    EXPECT_EQ(Button(refund, 1132)->text(), QStringLiteral("返卡退费(&T)"));
    Read(refund);
    EXPECT_EQ(refund.m_nCardState, 56);
    EXPECT_FALSE(Button(refund, 1132)->isEnabled());
}

TEST_F(SaleDialogFlowTest, RefundModeAsksAboutACardWithoutRefundMark)
{
    PutAgreeingCard();
    CSaleDlg dialog(nullptr, QStringLiteral("返卡退费"));
    Open(dialog);
    sink.QueueAnswer(IDOK);
    sink.QueueAnswer(IDNO);
    Read(dialog);
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", "该卡没有退费标志，是否继续？"}));
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    EXPECT_TRUE(dialog.m_strRefundMode.isEmpty());

    Read(dialog); // Yes this time
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(dialog.m_strRefundMode, QStringLiteral("返卡退费"));
    EXPECT_EQ(sink.Texts().size(), 2); // no balance message in refund mode
}

// A user without balance row and a meter without image must not inherit the
// previous card's records, which the write would update.
TEST_F(SaleDialogFlowTest, ANewCardNeverCarriesThePreviousCustomersRecords)
{
    AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
    AddMeter(2, QStringLiteral("C002"), kOther);
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    PutAgreeingCard();
    Read(dialog);
    ASSERT_EQ(dialog.GetLastWrt().GetWrtNum(), 1);
    ASSERT_DOUBLE_EQ(dialog.GetBalance().GetThisBalance(), 12.5);

    PutCard(QStringLiteral("01"), kOther, 0, 100, 0, 0, 0);
    Read(dialog);
    EXPECT_EQ(dialog.m_nCardState, 1);
    EXPECT_EQ(dialog.GetLastWrt().GetMeterNo(), kOther);
    EXPECT_EQ(dialog.GetLastWrt().GetWrtNum(), -1);
    EXPECT_EQ(dialog.GetLastWrt().GetAccuBuy(), 0);
    EXPECT_EQ(dialog.GetBalance().GetClientNo(), QStringLiteral("C002"));
    EXPECT_DOUBLE_EQ(dialog.GetBalance().GetThisBalance(), 0);
    EXPECT_EQ(Values(dialog, 1155, 10, 12), (QStringList{"-1", "0", "0"}));
}

// A read that fails part way shows nothing of the card before it.
TEST_F(SaleDialogFlowTest, AFailedReadLeavesNoRowsOfThePreviousCard)
{
    AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
    AddMeter(2, QStringLiteral("C002"), kOther, QStringLiteral("P9")); // no such price
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    PutAgreeingCard();
    Read(dialog);
    ASSERT_EQ(List(dialog, 1152)->GetItemCount(), 2);

    PutCard(QStringLiteral("04"), kOther, 0, 0, 0, 0, 0);
    Read(dialog);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages().front().caption, QStringLiteral("错误"));
    EXPECT_EQ(sink.Texts(), QStringList{"电价不存在！"});
    EXPECT_EQ(dialog.m_nCardState, -1);
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    for (int id : {1152, 1074, 1170, 1106})
        EXPECT_EQ(List(dialog, id)->GetItemCount(), 0) << id;
    EXPECT_EQ(Values(dialog, 1086, 0, 4), QStringList(5));

    // A card tool that is not there fails the same way.
    QFile::remove(QDir(fresh.AppDir()).filePath(CCardWriter::SaleToolName()));
    PutAgreeingCard();
    Read(dialog);
    EXPECT_EQ(dialog.m_nCardState, -1);
    EXPECT_EQ(sink.Messages().back().caption, QStringLiteral("错误"));
    EXPECT_EQ(List(dialog, 1152)->GetItemCount(), 0);
}

TEST_F(SaleDialogTest, BalanceMessageWordsTheDueByWholeCents)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    CKvExtList2* fees = List(dialog, 1106);
    fees->InsertRow(0, QStringLiteral("定额"), nullptr);
    fees->SetItemText(0, 4, QStringLiteral("3.333"));
    fees->InsertRow(1, QStringLiteral("其他"), nullptr);
    fees->SetItemText(1, 4, QStringLiteral("1.1"));
    CKvExtList2* subs = List(dialog, 1170);
    subs->InsertRow(0, QStringLiteral("S1"), nullptr);
    subs->SetItemText(0, 8, QStringLiteral("2.00"));

    const struct
    {
        double balance;
        const char* last;
    } cases[] = {
        {6.43, "扣除应缴非电费，用户尚有余额：0.00元"}, // 0.003 rounds to 0 cents
        {6.0, "用户欠缴非电费为：0.43元"},
        {10.0, "扣除应缴非电费，用户尚有余额：3.57元"},
    };
    for (const auto& c : cases) {
        sink.Clear();
        dialog.ShowBalanceMessage(c.balance);
        ASSERT_EQ(sink.Texts().size(), 1);
        EXPECT_TRUE(
            sink.Texts().first().startsWith(QStringLiteral("应缴附表计费：2.00元\n\n应缴定额收费：4.43元\n\n")));
        EXPECT_TRUE(sink.Texts().first().endsWith(QString::fromUtf8(c.last))) << sink.Texts().first().toStdString();
    }
    double manual = 1;
    dialog.SumManualFees(manual);
    EXPECT_EQ(manual, 0.0); // rows without a manual-fee record
}

TEST_F(SaleDialogTest, CardTypeOnFileThatMatchesNeitherEntryAsksForOne)
{
    GetLocalSysPara()->SetStringPara(QStringLiteral("CardType"), QStringLiteral("磁卡"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    dialog.show();
    EXPECT_EQ(CardType(dialog)->currentIndex(), -1);
    QStringList items;
    for (int i = 0; i < CardType(dialog)->count(); ++i)
        items << CardType(dialog)->itemText(i);
    EXPECT_EQ(items, (QStringList{"IC钥匙卡", "红外遥控卡"}));
    Read(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"请选择卡型！"});
    EXPECT_TRUE(sim.Log().isEmpty());
}

TEST_F(SaleDialogTest, PortTestAndClearUseTheChosenPort)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    QComboBox* port = Control<QComboBox>(dialog, 1136);
    EXPECT_EQ(port->count(), 20);
    port->setFocus();
    PressKey(port, Qt::Key_Down);
    PressKey(port, Qt::Key_Down);
    EXPECT_EQ(port->currentText(), QStringLiteral("com3"));
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("CardBoxCom"), 0), 2);

    MouseClick(Button(dialog, 1162));
    EXPECT_EQ(sink.Texts(), QStringList{"与写卡机通讯正常！"});
    EXPECT_TRUE(sim.Log().last().contains(QStringLiteral(" 0 2 1 3 20")));

    MouseClick(Button(dialog, 1134));
    EXPECT_TRUE(sim.Log().last().contains(QStringLiteral(" 0 1 1 3 00"))) << sim.Log().last().toStdString();

    // Without right 117 the card cannot be cleared here.
    GetCurrentOperator()->SetRights(QVector<int>{111});
    CSaleDlg other(nullptr, QStringLiteral("售电服务"));
    other.show();
    EXPECT_FALSE(Button(other, 1134)->isEnabled());
    EXPECT_EQ(Control<QComboBox>(other, 1136)->currentText(), QStringLiteral("com3"));
}

// Dialog 220 as the repair runs it: both figures are required.
TEST_F(SaleDialogTest, LastReadingDialogRequiresReadingAndPulses)
{
    CDialogScript script;
    script.Then([](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("c1185"))->text(), QStringLiteral("S01"));
        CModalScript::Click(dialog, 1000);
        CModalScript::Type(dialog, 1187, QStringLiteral("12.5"));
        CModalScript::Click(dialog, 1000);
        CModalScript::Type(dialog, 1271, QStringLiteral("125"));
        CModalScript::Click(dialog, 1000);
    });
    script.Cancel();

    CSubLastReadDlg first(nullptr, QStringLiteral("修复档案"));
    first.m_strSubNo = QStringLiteral("S01");
    EXPECT_EQ(RunOperatorDialog(first), IDOK);
    EXPECT_EQ(sink.Texts(), (QStringList{"请输入上次抄数！", "请输入上次脉冲数！"}));
    EXPECT_EQ(first.m_strLastRead, QStringLiteral("12.5"));
    EXPECT_EQ(first.m_strLastPulses, QStringLiteral("125"));
    EXPECT_EQ(first.m_LastReadDate.date(), QDate(2026, 12, 10));

    CSubLastReadDlg second(nullptr, QStringLiteral("修复档案"));
    EXPECT_EQ(RunOperatorDialog(second), IDCANCEL);
    EXPECT_EQ(script.Seen(), (QStringList{"dlg220 修复档案", "dlg220 修复档案"}));
}

// The archive takes both figures as read: a text that is not wholly a number
// of its field's range is refused by name, never stored as 0, cut or inf.
TEST_F(SaleDialogTest, LastReadingDialogRefusesNumbersOutOfTheirRange)
{
    const QString refusals[] = {QString(), QStringLiteral("上次抄量应为0到99999999之间的数，最多4位小数！"),
                                QStringLiteral("上次脉冲数应为0到99999999之间的整数！")};
    enum
    {
        Accepted,
        Reading,
        Pulses
    };
    const struct
    {
        const char* reading;
        const char* pulses;
        int refused;
    } cases[] = {
        {"12.5", "abc", Pulses},        {"12.5", "99999999999", Pulses}, {"12.5", "2147483648", Pulses},
        {"12.5", "１２", Pulses},       {"12.5", "12.7", Pulses},        {"12.5", "-5", Pulses},
        {"12.5", "1e309", Pulses},      {"abc", "125", Reading},         {"99999999999", "125", Reading},
        {"2147483648", "125", Reading}, {"１２", "125", Reading},        {"-5", "125", Reading},
        {"1e309", "125", Reading},      {"12.34567", "125", Reading},    {"-", "125", Reading},
        {"12.7", "0", Accepted},        {" 12.5 ", "125", Accepted},     {"99999999", "99999999", Accepted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.reading) + " / " + c.pulses);
        CSubLastReadDlg dialog(nullptr, QStringLiteral("修复档案"));
        dialog.EnsureInitialised();
        sink.Clear();
        CModalScript::Type(&dialog, 1187, QString::fromUtf8(c.reading));
        CModalScript::Type(&dialog, 1271, QString::fromUtf8(c.pulses));
        CModalScript::Click(&dialog, 1000);
        const QString& message = refusals[c.refused];
        EXPECT_EQ(sink.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        EXPECT_EQ(dialog.result() == QDialog::Accepted, message.isEmpty());
    }
}

// The repair asks for the last reading of every sub-meter first, then writes
// the card image and the readings in one transaction; each sub-meter keeps
// the sale that charged it.
class SubMeterRepairTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
        AddMeter(2, QStringLiteral("C002"), kOther);
        AddSubMeter(11, kOther, QStringLiteral("S01"));
        AddSubMeter(12, kOther, QStringLiteral("S02"));
        AddSubMeter(13, kOther, QStringLiteral("S03"));
        PutCard(QStringLiteral("02"), kOther, 0, 20, 5, 20, 15);
    }
    QString Readings() const
    {
        return fresh.Value("select group_concat(SubNo || ':' || ThisPulses || '/' || LastPulses || '/' || ThisRead || "
                           "'/' || LastRead || '/' || ReadDate || '/' || WrtNum || '/' || WrtIndex, ' ') "
                           "from (select * from CliSub order by SubNo)");
    }
    static CModalScript::Action Reading(const QString& pulses, const QString& read)
    {
        return [pulses, read](QWidget* dialog) {
            CModalScript::Type(dialog, 1271, pulses);
            CModalScript::Type(dialog, 1187, read);
            CModalScript::Click(dialog, 1000);
        };
    }
    const QString untouched = QStringLiteral("S01:5/0/0.5/0.0/2026-11-01/7/100000007 "
                                             "S02:5/0/0.5/0.0/2026-11-01/7/100000007 "
                                             "S03:5/0/0.5/0.0/2026-11-01/7/100000007");
};

TEST_F(SubMeterRepairTest, AcceptedOpeningCardRewritesImageAndEverySubMeter)
{
    // The sale then takes the sub-meter readings: the reading card in the
    // reader holds none, which an operator who may top up unread passes over.
    GetCurrentOperator()->SetRights(QVector<int>{111, 112, 117});
    CSimReadingCard noReadings;
    noReadings.meterNo = kOther;
    sim.AddReadingCard(1, noReadings);
    CDialogScript script;
    script.Then(Reading("120", "12.5")).Then(Reading("130", "13")).Then(Reading("140", "14.25"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);
    EXPECT_EQ(script.Seen(), QStringList(3, QStringLiteral("dlg220 修复档案")));
    EXPECT_EQ(dialog.m_nCardState, 2);
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
    EXPECT_EQ(Readings(), QStringLiteral("S01:120/0/12.5/0.0/2026-12-10/7/100000007 "
                                         "S02:130/0/13.0/0.0/2026-12-10/7/100000007 "
                                         "S03:140/0/14.25/0.0/2026-12-10/7/100000007"));
    EXPECT_EQ(fresh.Value("select WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || OpMode from PreLastWrt"),
              QStringLiteral("0,20,20,开户"));
}

TEST_F(SubMeterRepairTest, ACancelOrAFailureWritesNothing)
{
    {
        SCOPED_TRACE("cancelled at the second of three");
        CDialogScript script;
        script.Then(Reading("120", "12.5")).Cancel();
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        Open(dialog);
        Read(dialog);
        EXPECT_EQ(script.Seen().size(), 2);
        EXPECT_EQ(dialog.m_nCardState, -1);
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
        EXPECT_EQ(Readings(), untouched);
        EXPECT_EQ(fresh.Count("select * from PreLastWrt"), 0);
    }
    {
        SCOPED_TRACE("the third sub-meter goes while its reading is typed");
        CDialogScript script;
        script.Then(Reading("120", "12.5")).Then(Reading("130", "13")).Then([this](QWidget* dialog) {
            exec(QStringLiteral("update CliSub set CliSubIndex = 99 where CliSubIndex = 13"));
            Reading("140", "14")(dialog);
        });
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        Open(dialog);
        Read(dialog);
        EXPECT_EQ(dialog.m_nCardState, -1);
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
        EXPECT_EQ(sink.Messages().back().caption, QStringLiteral("错误"));
        EXPECT_EQ(Readings(), untouched);
        EXPECT_EQ(fresh.Count("select * from PreLastWrt"), 0);
    }
}

// After a write every fee record of the sub-meter and fee lists is linked to
// the sale by its class; rows without a record and other classes are passed by.
TEST_F(SaleDialogTest, FeesAreLinkedToTheSaleByTheirClass)
{
    for (const char* sql : {"insert into SubRead(ReadIndex, WrtIndex) values(1, -1)",
                            "insert into ManItem(ReadIndex, WrtIndex) values(2, -1)",
                            "insert into OtherItem(FeeIndex, WrtIndex) values(3, -1)",
                            "insert into FixFee(FeeIndex, WrtIndex) values(4, -1)",
                            "insert into ManualFee(ManualIndex, WrtIndex, State) values(5, -1, '未收费')"})
        exec(QString::fromUtf8(sql));
    CSubRead subRead;
    subRead.SetReadIndex(1);
    CManItem manItem;
    manItem.SetReadIndex(2);
    COtherItem otherItem;
    otherItem.SetFeeIndex(3);
    CFixFee fixFee;
    fixFee.SetFeeIndex(4);
    CManualFee manualFee;
    manualFee.SetManualIndex(5);
    CPreLastWrt stranger; // a class that is no fee

    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    CKvExtList2* subs = List(dialog, 1170);
    subs->InsertRow(0, QStringLiteral("S1"), &subRead);
    subs->InsertRow(1, QStringLiteral("M1"), &manItem);
    subs->InsertRow(2, QString(), nullptr);
    CKvExtList2* fees = List(dialog, 1106);
    fees->InsertRow(0, QStringLiteral("其他"), &otherItem);
    fees->InsertRow(1, QStringLiteral("定额"), &fixFee);
    fees->InsertRow(2, QStringLiteral("手工"), &manualFee);
    fees->SetItemText(2, 4, QStringLiteral("7.5"));
    fees->InsertRow(3, QString(), &stranger);

    CWrtRecord sale;
    sale.SetWrtIndex(100000009);
    sale.SetWrtTime(QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)));
    dialog.LinkFeesToSale(sale);
    EXPECT_EQ(fresh.Value("select group_concat(WrtIndex, ',') from (select WrtIndex from SubRead union all "
                          "select WrtIndex from ManItem union all select WrtIndex from OtherItem union all "
                          "select WrtIndex from FixFee union all select WrtIndex from ManualFee)"),
              QStringLiteral("100000009,100000009,100000009,100000009,100000009"));
    EXPECT_EQ(fresh.Value("select State || ',' || OperatorName || ',' || WrtTime from ManualFee"),
              QStringLiteral("已收费,张三,2026-12-10 09:30:00"));
    double manual = 0;
    dialog.SumManualFees(manual);
    EXPECT_DOUBLE_EQ(manual, 7.5);

    subs->DeleteAllItems();
    fees->DeleteAllItems();
}
