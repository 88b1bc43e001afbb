// A sale written end to end against the card tool and payment stand-ins: the
// purchase, the breakdown, the card write, the confirmation with the fee
// links, the payment, the balance and the receipt.

#include "../../framework/report/ui/KvPrintTestUtil.h"
#include "CFixFee.h"
#include "CPrintPreviewDlg.h"
#include "CReceiptDocument.h"
#include "CSysPara.h"
#include "KvModalScript.h"
#include "SaleDialogTest.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace {

const QString kMeter = QStringLiteral("00001234");

// A user with balance 12.50 and one meter on a multiplier of 1 whose last
// sale and card image agree with a used top-up card: write 1 of 50, 150
// bought, 50 left. The next keys are 100000010, the next receipt 123.
class SaleWriteTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        AddOperator(QStringLiteral("01"), QStringLiteral("张三"));
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        exec(QStringLiteral("insert into PreModel values('M1', 'DDSY', '5(20)A', 1, '预付费电表', '红外遥控卡', "
                            "'单相', 20, 5, 1.5, '正常', 1, '否', '否')"));
        AddMeterRow(0);
        AddImage(kMeter, 1, 50, 150);
        AddSale(100000001, 1, kMeter, 1, 50, 26);
        AddBalance(QStringLiteral("C001"), 12.5, 3);
        exec(QStringLiteral("update SysPara set WrtIndex = 10, WrtPriceIndex = 10, PayIndex = 10, InvoiceNo = 123, "
                            "InvoiceNum = 2"));
        PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50);
    }
    void TearDown() override
    {
        GetMainSysPara()->SetRemoteFlag(QStringLiteral("否"));
        SaleDialogTest::TearDown();
    }

    void AddMeterRow(int prePayRate)
    {
        exec(KvFormatSql("insert into CliPre values(1, 'C001', '%s', 'M1', 1, 1, %d, 0, 2, '', '', '800', 30, 20, "
                         "0, '常闭', '', '正常', '01', '2020-01-01', '2050-12-31', '2020-01-01')",
                         kMeter, prePayRate));
        exec(QStringLiteral("insert into PrePrice values(1, 1, 0, 'P1', 100)"));
    }

    // Reads the card; the write button must be enabled.
    void ReadCard(CSaleDlg& dialog)
    {
        Open(dialog);
        Read(dialog);
        ASSERT_EQ(dialog.m_nCardState, 4);
        ASSERT_TRUE(Button(dialog, 1132)->isEnabled());
        sink.Clear();
    }
    void Write(CSaleDlg& dialog) { MouseClick(Button(dialog, 1132)); }

    // Two quota fees of the same item (months 1 and 2) in the fee list, as the
    // fee loading leaves them.
    void ListQuotaFees(CSaleDlg& dialog)
    {
        AddPrice(QStringLiteral("F1"), QStringLiteral("卫生费"), 5);
        exec(QStringLiteral("insert into FixFee values(1, 1, 202601, -1, -1, 2, 5, 1, '2026-01-01', '2026-01-31', "
                            "31, 5, 5, '2026-02-01 00:00:00', '正常')"));
        exec(QStringLiteral("insert into FixFee values(2, 1, 202602, -1, -1, 2, 5, 1, '2026-02-01', '2026-02-28', "
                            "28, 5.5, 5.5, '2026-03-01 00:00:00', '正常')"));
        m_fees.Load(QStringLiteral("select * from FixFee order by FeeIndex"));
        CKvExtList2* list = List(dialog, 1106);
        for (int i = 0; i < m_fees.GetCount(); ++i) {
            CFixFee* fee = m_fees.At(i);
            list->InsertRow(i, QStringLiteral("卫生费"), fee);
            list->SetItemText(i, 4, QString::asprintf("%0.2f", fee->GetFinalFee()));
        }
    }

    QString SaleRow(int wrtIndex = 100000010)
    {
        return fresh.Value(KvFormatSql(
            "select WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || AccuUse || ',' || AccuRemain || ',' || "
            "BuyValue || ',' || FreeValue || ',' || printf('%%.2f', Fee) || ',' || printf('%%.2f', PrePay) || ',' "
            "|| printf('%%.2f', FixFee) || ',' || OpMode || ',' || State || ',' || LimitValue || ',' || AlarmShold "
            "|| ',' || CloseShold from WrtRecord where WrtIndex = %d",
            wrtIndex));
    }
    QString PayRow()
    {
        return fresh.Value(
            "select PayIndex || ',' || WrtIndex || ',' || WrtNum || ',' || printf('%.2f', TotFee) || ',' || "
            "printf('%.2f', RealPay) || ',' || PayMode || ',' || printf('%.2f', ThisBalance) || ',' || "
            "printf('%.2f', LastBalance) || ',' || InvoiceNo from ClientPay where WrtIndex = 100000010");
    }
    QString BalanceRow()
    {
        return fresh.Value("select PayIndex || ',' || printf('%.2f', ThisBalance) || ',' || printf('%.2f', "
                           "LastBalance) || ',' || InvoiceNo from CliBalance where ClientNo = 'C001'");
    }
    int Count(const QString& sql) { return fresh.Count(sql); }

    // Sells 100 kWh and prints the receipt from its preview: the pages printed
    // and the copies the receipt holds.
    int SellAndPrint(int& copies)
    {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadCard(dialog);
        CDialogScript script;
        copies = -1;
        script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then([&copies](QWidget* widget) {
            auto* receipt = dynamic_cast<CReceiptDocument*>(static_cast<CPrintPreviewDlg*>(widget)->GetPrintJob());
            copies = receipt ? receipt->Values().GetReceiptCount() : -1;
            CModalScript::Click(widget, 1078);
            CModalScript::Click(widget, 1001);
        });
        Write(dialog);
        EXPECT_TRUE(script.Exhausted());
        const QStringList pdfs = PdfFiles();
        EXPECT_EQ(pdfs.size(), 1);
        return pdfs.size() == 1 ? PdfPageCount(QDir(fresh.AppDir()).filePath(pdfs.first())) : -1;
    }

    // The preview of the receipt: its copies are checked, then it is closed.
    static CModalScript::Action ClosePreview(CReceiptValues* seen)
    {
        return [seen](QWidget* widget) {
            auto* preview = static_cast<CPrintPreviewDlg*>(widget);
            auto* receipt = dynamic_cast<CReceiptDocument*>(preview->GetPrintJob());
            ASSERT_NE(receipt, nullptr);
            if (seen)
                *seen = receipt->Values();
            CModalScript::Click(widget, 1001);
        };
    }

    CFixFeeList m_fees;
};

} // namespace

// The flow of the counter: 100 kWh with two quota fees, Yes to the breakdown,
// the card written, paid exactly, the numbered receipt previewed.
TEST_F(SaleWriteTest, ATopUpByKwhIsWrittenPaidAndReceipted)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    ListQuotaFees(dialog);

    CReceiptValues receipt;
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then(ClosePreview(&receipt));
    Write(dialog);

    EXPECT_TRUE(script.Exhausted());
    ASSERT_EQ(script.Seen().size(), 3);
    EXPECT_EQ(script.Seen().mid(0, 2), (QStringList{"dlg224 输入申购量", "dlg173 输入交款额"}));
    EXPECT_EQ(sink.Texts(),
              (QStringList{"本次购电量为：100 度\t\t\t\n\n补助电量为：0 度\n\n"
                           "根据线损计算方法，另计线损：0.0度\n\n根据变压器使用情况，另计变损：0.0度\n\n"
                           "应缴电费：52.00 元\n\n应缴预提：0.00 元\n\n应缴附表计费：0.00元\n\n"
                           "应缴定额收费：10.50元\n\n用户余额：12.50元\n\n本次应收款为：50.00元\n\n继续吗？",
                           "写卡成功！"}));
    EXPECT_TRUE(sim.Log().filter(QStringLiteral("=>")).last().contains(QStringLiteral(" 03 ")))
        << sim.Log().join(u'\n').toStdString();
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("03"));
    EXPECT_EQ(sim.Card(1).amount, 100);
    EXPECT_EQ(sim.Card(1).count, 2);

    EXPECT_EQ(SaleRow(), QStringLiteral("2,100,250,100.0,150.0,100,0,52.00,0.00,10.50,正常充值,收讫,800,30,20"));
    EXPECT_EQ(Count("select * from WrtPrice where WrtIndex = 100000010 and PricePercent = 100"), 1);
    EXPECT_EQ(PayRow(), QStringLiteral("100000010,100000010,2,62.50,50.00,现金,0.00,12.50,00000123"));
    EXPECT_EQ(BalanceRow(), QStringLiteral("100000010,0.00,12.50,00000123"));
    EXPECT_EQ(fresh.Value("select InvoiceNo from SysPara"), QStringLiteral("124"));
    EXPECT_EQ(fresh.Value("select WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || WrtIndex from PreLastWrt"),
              QStringLiteral("2,100,250,100000010"));
    EXPECT_EQ(Count("select * from FixFee where WrtIndex = 100000010"), 2);
    EXPECT_EQ(Values(dialog, 1086, 4, 4), QStringList{"0.00"});
    EXPECT_FALSE(Button(dialog, 1132)->isEnabled());
    // The history shows the new sale before its totals.
    EXPECT_EQ(List(dialog, 1152)->GetItemCount(), 3);
    EXPECT_EQ(List(dialog, 1152)->GetItemText(1, 10), QStringLiteral("现金"));

    // Two copies, two quota months in one row, the amount under 调整金额.
    ASSERT_EQ(receipt.GetReceiptCount(), 2);
    EXPECT_EQ(receipt.Common(0, 35), QStringLiteral("00000123_1"));
    EXPECT_EQ(receipt.Common(1, 35), QStringLiteral("00000123_2"));
    EXPECT_EQ(receipt.Common(0, 0), QStringLiteral("李四"));
    EXPECT_EQ(receipt.Common(0, 9), QStringLiteral("1"));
    EXPECT_EQ(receipt.Common(0, 12), QStringLiteral("100"));
    EXPECT_EQ(receipt.Common(0, 18), QStringLiteral("居民电价"));
    EXPECT_EQ(receipt.Common(0, 24), QStringLiteral("52.00"));
    EXPECT_EQ(receipt.Common(0, 27), QStringLiteral("62.50"));
    EXPECT_EQ(receipt.Common(0, 31), QStringLiteral("50.00"));
    for (int j = 36; j <= 41; ++j)
        EXPECT_TRUE(receipt.Common(1, j).isEmpty()) << j;
    EXPECT_EQ(receipt.Fee(1, 0, 0), QStringLiteral("卫生费"));
    EXPECT_EQ(receipt.Fee(1, 0, 3), QStringLiteral("10.50"));
    EXPECT_EQ(receipt.Fee(1, 0, 6), QStringLiteral("2026-01-01"));
    EXPECT_EQ(receipt.Fee(1, 0, 7), QStringLiteral("2026-02-28"));
    EXPECT_EQ(receipt.Fee(1, 0, 8), QStringLiteral("59"));
    EXPECT_TRUE(receipt.Fee(1, 1, 0).isEmpty());
    EXPECT_EQ(receipt.Price(0, 0, 0), QStringLiteral("P1"));
}

// By money: the money decides the units; the change is told and handed back.
TEST_F(SaleWriteTest, ATopUpByMoneyGivesBackTheChange)
{
    GetMainSysPara()->SetBuyUnit(QStringLiteral("元"));
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("60")}}).Then([](QWidget* widget) {
        // The money entered stands; it cannot be changed here.
        EXPECT_TRUE(widget->findChild<QLineEdit*>(QStringLiteral("c1164"))->isReadOnly());
        EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1163"))->text(), QStringLiteral("72.28"));
        EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1164"))->text(), QStringLiteral("60.00"));
        CModalScript::Click(widget, 1000);
    });
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    ASSERT_EQ(sink.Texts().size(), 3);
    EXPECT_FALSE(sink.Texts().at(0).contains(QStringLiteral("预提")));
    EXPECT_TRUE(sink.Texts().at(0).endsWith(QStringLiteral("本次应收款为：72.28元\n\n继续吗？")));
    EXPECT_EQ(sink.Texts().at(2), QStringLiteral("应找零: 0.22元"));
    EXPECT_EQ(SaleRow(), QStringLiteral("2,139,289,100.0,189.0,139,0,72.28,0.00,0.00,正常充值,收讫,800,30,20"));
    // bPrint "否" still takes a number.
    EXPECT_EQ(PayRow(), QStringLiteral("100000010,100000010,2,72.28,59.78,现金,0.00,12.50,00000123"));
}

// Remotely: the payment on file buys the units, is confirmed after the sale
// and never serves twice.
TEST_F(SaleWriteTest, ARemoteTopUpConfirmsThePaymentOnce)
{
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(QStringLiteral("libRaskell.so")),
                            fresh.AppDir() + QStringLiteral("/libRaskell.so")));
    QFile pays(fresh.AppDir() + QStringLiteral("/RaskellPay.txt"));
    ASSERT_TRUE(pays.open(QIODevice::WriteOnly));
    pays.write("C009;5;99;0\r\nC001;7;30;0\r\n");
    pays.close();
    GetMainSysPara()->SetRemoteFlag(QStringLiteral("是"));
    GetMainSysPara()->SetPayModeFlag(QStringLiteral("是")); // never asked remotely
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));

    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script
        .Then([](QWidget* widget) {
            EXPECT_EQ(widget->windowTitle(), QStringLiteral("付款情况"));
            EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1164"))->text(), QStringLiteral("30.00"));
            CModalScript::Click(widget, 1000);
        })
        .Confirm();
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), (QStringList{"dlg191 付款情况", "dlg192 确认交款额"}));
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("应找零: 0.38元"));
    EXPECT_EQ(SaleRow().section(u',', 0, 1), QStringLiteral("2,81"));
    EXPECT_EQ(PayRow(), QStringLiteral("100000010,100000010,2,42.12,29.62,现金,0.00,12.50,00000123"));
    QFile log(fresh.AppDir() + QStringLiteral("/Raskell.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll()), QStringLiteral("GetPay C001 => 0 7 30\nConfirm 7 => 0\n"));

    // The same card read again: the payment has served.
    PutCard(QStringLiteral("04"), kMeter, 2, 81, 100, 231, 131);
    Read(dialog);
    sink.Clear();
    Write(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"没有付款记录！"});
    EXPECT_EQ(Count("select * from WrtRecord"), 2);
}

TEST_F(SaleWriteTest, WithoutThePaymentLibraryTheSaleNamesIt)
{
    GetMainSysPara()->SetRemoteFlag(QStringLiteral("是"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    Write(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"无法调用Raskell.dll的GetPay！"});
    EXPECT_EQ(Count("select * from WrtRecord"), 1);
}

// What the card tool answers decides the pending row.
TEST_F(SaleWriteTest, TheCardToolsAnswerDecidesThePendingRow)
{
    const QString unknown = QStringLiteral("写卡机的应答无法识别，该卡可能已写入！\n\n是否再次读卡以确认？");
    const QString toolFailed = QStringLiteral("写卡机报告写卡失败，本次售电未完成！\n\n请检查写卡机后重新读卡售电。");
    const struct
    {
        const char* reply;
        QList<int> answers; // to the boxes after the breakdown
        const char* state;  // empty: no row
        bool paid;
        QString told;       // a box the operator must see (empty: none asked for)
        const char* then{}; // the card tool's answer to the read-back
    } cases[] = {
        {"FAIL!", {}, "", false, {}},
        {"TIMEOUT!", {IDNO}, "无应答信号", false, {}},
        {"ALARM! nowrite", {IDNO}, "应答信号错误", false, {}},
        // An answer that cannot be read says nothing of the card: the card is
        // read back at the operator's wish; No keeps the row, unpaid.
        {"RAW OK!", {IDNO}, "未知错误", false, unknown},
        {"TORN", {IDNO}, "未知错误", false, unknown},
        // The card read back is not the one written: the row stays.
        {"RAW OK! nowrite", {IDYES, IDNO}, "未知错误", false, QStringLiteral("写后读卡状态不符，是否继续读卡？")},
        // A read-back the tool fails is not a failed write.
        {"TORN", {IDYES, IDOK, IDNO}, "未知错误", false, QStringLiteral("是否继续读卡？"), "ERROR:卡座内无卡"},
        // The tool said it failed: its words, and no talk of a written card.
        {"ERROR:串口故障", {}, "未知错误", false, toolFailed},
        // A card that reads back written is paid for and gets its receipt.
        {"ALARM!", {IDYES}, "收讫", true, {}},
        {"RAW OK! write", {IDYES}, "收讫", true, unknown},
    };
    for (const auto& c : cases) {
        exec(QStringLiteral("delete from WrtPrice where WrtIndex >= 100000010"));
        exec(QStringLiteral("delete from ClientPay where WrtIndex >= 100000010"));
        exec(QStringLiteral("delete from WrtRecord where WrtIndex >= 100000010"));
        exec(QStringLiteral("update SysPara set WrtIndex = 10, PayIndex = 10, InvoiceNo = 123"));
        // A paid sale moved the card image and the balance on.
        exec(QStringLiteral("delete from PreLastWrt"));
        AddImage(kMeter, 1, 50, 150);
        exec(QStringLiteral("delete from CliBalance"));
        AddBalance(QStringLiteral("C001"), 12.5, 3);
        GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
        PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50);
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadCard(dialog);
        sim.QueueReply(QString::fromLatin1(c.reply));
        if (c.then)
            sim.QueueReply(QString::fromUtf8(c.then));
        sink.QueueAnswer(IDYES); // the breakdown
        for (int answer : c.answers)
            sink.QueueAnswer(answer);
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}});
        if (c.paid)
            script.Confirm();
        Write(dialog);
        EXPECT_TRUE(script.Exhausted()) << c.reply;
        EXPECT_EQ(fresh.Value("select State from WrtRecord where WrtIndex = 100000010"), QString::fromUtf8(c.state))
            << c.reply;
        EXPECT_EQ(Count("select * from WrtPrice where WrtIndex = 100000010"), QString(c.state).isEmpty() ? 0 : 1)
            << c.reply;
        EXPECT_EQ(Count("select * from ClientPay where WrtIndex = 100000010"), c.paid ? 1 : 0) << c.reply;
        EXPECT_EQ(fresh.Value("select WrtNum from PreLastWrt"), c.paid ? QStringLiteral("2") : QStringLiteral("1"))
            << c.reply;
        if (!c.told.isEmpty()) {
            EXPECT_TRUE(sink.Texts().contains(c.told)) << c.reply << "\n" << sink.Texts().join(u'|').toStdString();
        }
        // The warning of a failed tool follows its failed write only.
        const bool toolError = QString::fromLatin1(c.reply).contains(QStringLiteral("ERROR"));
        EXPECT_EQ(sink.Texts().contains(toolFailed), toolError) << c.reply;
        if (toolError) {
            EXPECT_EQ(sink.Texts().filter(QStringLiteral("可能已写入")), QStringList()) << c.reply;
        }
        // An unpaid row takes no receipt number.
        EXPECT_EQ(fresh.Value("select InvoiceNo from SysPara"), c.paid ? QStringLiteral("124") : QStringLiteral("123"))
            << c.reply;
    }
}

// No to the breakdown, a cancelled input or a refused figure store nothing.
TEST_F(SaleWriteTest, NothingIsStoredBeforeTheOperatorAgrees)
{
    const struct
    {
        const char* name;
        const char* purchase; // empty: cancel the input
        int breakdownAnswer;
        const char* message;
    } cases[] = {
        {"cancelled", "", IDYES, ""},
        {"No to the breakdown", "100", IDNO, ""},
        {"beyond the card", "10000", IDYES, "写卡量超出有效值范围！"},
    };
    for (const auto& c : cases) {
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadCard(dialog);
        CDialogScript script;
        if (QString(c.purchase).isEmpty()) {
            script.Cancel();
        } else {
            sink.QueueAnswer(c.breakdownAnswer);
            script.Confirm({{1029, QString::fromLatin1(c.purchase)}});
        }
        Write(dialog);
        EXPECT_TRUE(script.Exhausted()) << c.name;
        if (*c.message) {
            EXPECT_EQ(sink.Texts().last(), QString::fromUtf8(c.message)) << c.name;
        }
        EXPECT_EQ(Count("select * from WrtRecord"), 1) << c.name;
        EXPECT_EQ(sim.Card(1).code, QStringLiteral("04")) << c.name;
        EXPECT_FALSE(Button(dialog, 1132)->isEnabled()) << c.name;
    }
}

// A negative purchase stores nothing: in kWh it is too small for any
// subsidy, said after the input; in money the input itself refuses it.
TEST_F(SaleWriteTest, ANegativePurchaseGetsTheMessageOfItsUnit)
{
    const struct
    {
        const char* unit;
        const char* message;
    } cases[] = {
        {"度", "申购量太小，无法满足补助量！"},
        {"元", "请输入申购量！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unit);
        GetMainSysPara()->SetBuyUnit(QString::fromUtf8(c.unit));
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadCard(dialog);
        CDialogScript script;
        script.Then([](QWidget* input) {
            CModalScript::Type(input, 1029, QStringLiteral("-100"));
            CModalScript::Click(input, 1000);
            if (static_cast<QDialog*>(input)->result() != QDialog::Accepted)
                CModalScript::Click(input, 1021); // refused: the operator gives up
        });
        Write(dialog);
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(Count("select * from WrtRecord"), 1);
        EXPECT_EQ(sim.Card(1).code, QStringLiteral("04"));
    }
    GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
}

// A meter type with a multiplier of 0 would divide by zero in every figure.
TEST_F(SaleWriteTest, AZeroMultiplierIsRefusedBeforeTheInput)
{
    exec(QStringLiteral("update PreModel set InnerMul = 0"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    Write(dialog);
    EXPECT_EQ(script.Seen(), QStringList());
    EXPECT_EQ(sink.Texts(), QStringList{"合计倍率不正确，不能售电！"});
    EXPECT_EQ(Count("select * from WrtRecord"), 1);
}

// A card type other than the meter type's stops at once; the button stays.
TEST_F(SaleWriteTest, ACardTypeOtherThanTheArchiveIsRefused)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CardType(dialog)->setCurrentIndex(CardType(dialog)->findText(QStringLiteral("IC钥匙卡")));
    Write(dialog);
    EXPECT_EQ(sink.Texts(), QStringList{"所选卡类型与档案不符！"});
    EXPECT_TRUE(Button(dialog, 1132)->isEnabled());
}

// A negative transformer loss would lower the charge: refused like an empty one.
TEST_F(SaleWriteTest, TheInputRefusesANegativeTransformerLoss)
{
    GetMainSysPara()->SetTransLossFlag(QStringLiteral("是"));
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script
        .Then([](QWidget* widget) {
            CModalScript::Type(widget, 1036, QStringLiteral("-1.5"));
            CModalScript::Type(widget, 1029, QStringLiteral("100"));
            CModalScript::Click(widget, 1000);
            CModalScript::Type(widget, 1036, QStringLiteral("2"));
            CModalScript::Click(widget, 1000);
        })
        .Confirm();
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts().first(), QStringLiteral("请输入变损！"));
    // 2 kWh of transformer loss are charged with the 100.
    EXPECT_EQ(SaleRow().section(u',', 7, 7), QStringLiteral("53.04"));
}

// With bChange "是" an overpayment stays on the balance.
TEST_F(SaleWriteTest, AnOverpaymentKeptAsBalance)
{
    GetMainSysPara()->SetChangeFlag(QStringLiteral("是"));
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm({{1164, QStringLiteral("60")}});
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(PayRow(), QStringLiteral("100000010,100000010,2,52.00,60.00,现金,20.50,12.50,00000123"));
    EXPECT_EQ(Values(dialog, 1086, 4, 4), QStringList{"20.50"});
}

// A due a fraction of a cent above the cents shown (52.00 less a balance of
// 12.505005: 39.494995, shown 39.49), paid as shown, leaves a balance of 0.00
// as the cents taken say: stored, in the user list and on the receipt. A
// balance stored a hair below zero earlier is shown as 0.00 too.
TEST_F(SaleWriteTest, ADuePaidAsShownLeavesNoFractionOfACentOnTheBalance)
{
    exec(QStringLiteral("update CliBalance set ThisBalance = 12.505005"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CReceiptValues receipt;
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}})
        .Then([](QWidget* widget) {
            EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1164"))->text(), QStringLiteral("39.49"));
            CModalScript::Click(widget, 1000);
        })
        .Then(ClosePreview(&receipt));
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(fresh.Value("select ThisBalance from ClientPay where WrtIndex = 100000010").toDouble(), 0.0);
    EXPECT_EQ(fresh.Value("select ThisBalance from CliBalance").toDouble(), 0.0);
    EXPECT_EQ(Values(dialog, 1086, 4, 4), QStringList{"0.00"});
    EXPECT_EQ(receipt.Common(0, 29), QStringLiteral("0.00"));
}

TEST_F(SaleWriteTest, ABalanceAHairBelowZeroIsShownWithoutASign)
{
    exec(QStringLiteral("update CliBalance set ThisBalance = -0.004995"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    Open(dialog);
    Read(dialog);
    EXPECT_EQ(Values(dialog, 1086, 4, 4), QStringList{"0.00"});
    ASSERT_FALSE(sink.Texts().isEmpty());
    EXPECT_TRUE(sink.Texts().last().contains(QStringLiteral("用户余额：0.00元"))) << sink.Texts().last().toStdString();
}

// A failed confirmation keeps the row "待写" and takes no payment; a failed
// payment keeps it "写卡成功" with the balance as it was.
TEST_F(SaleWriteTest, FailuresInsideTheTransactionsRollBack)
{
    const struct
    {
        const char* trigger;
        const char* state;
    } cases[] = {
        {"create trigger Fail before update on PreLastWrt begin select raise(abort, 'no'); end", "待写"},
        {"create trigger Fail before insert on ClientPay begin select raise(abort, 'no'); end", "写卡成功"},
    };
    for (const auto& c : cases) {
        exec(QStringLiteral("delete from WrtPrice where WrtIndex >= 100000010"));
        exec(QStringLiteral("delete from WrtRecord where WrtIndex >= 100000010"));
        exec(QStringLiteral("update SysPara set WrtIndex = 10"));
        PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50);
        CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
        ReadCard(dialog);
        ListQuotaFees(dialog);
        exec(QString::fromUtf8(c.trigger));
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}});
        if (QString::fromUtf8(c.state) == QStringLiteral("写卡成功"))
            script.Confirm();
        Write(dialog);
        EXPECT_TRUE(script.Exhausted()) << c.state;
        EXPECT_EQ(fresh.Value("select State from WrtRecord where WrtIndex = 100000010"), QString::fromUtf8(c.state));
        EXPECT_EQ(Count("select * from ClientPay where WrtIndex = 100000010"), 0) << c.state;
        EXPECT_EQ(BalanceRow(), QStringLiteral("1,12.50,3.00,")) << c.state;
        EXPECT_EQ(Count("select * from FixFee where WrtIndex = 100000010"),
                  QString::fromUtf8(c.state) == QStringLiteral("待写") ? 0 : 2)
            << c.state;
        // The dialog holds what was stored, not what the rolled-back
        // transaction had set.
        EXPECT_EQ(dialog.GetLastWrt().GetWrtNum(), fresh.Value("select WrtNum from PreLastWrt").toInt()) << c.state;
        EXPECT_DOUBLE_EQ(dialog.GetBalance().GetThisBalance(), 12.5) << c.state;
        EXPECT_EQ(dialog.GetBalance().GetPayIndex(), 1) << c.state;
        exec(QStringLiteral("drop trigger Fail"));
        exec(QStringLiteral("delete from FixFee"));
        exec(QStringLiteral("delete from PriceVer where PriceNo = 'F1'"));
        exec(QStringLiteral("delete from Price where PriceNo = 'F1'"));
    }
}

// Receipts: numbers typed by hand, and a layout that is missing.
TEST_F(SaleWriteTest, TheReceiptNumberIsKeptWhenTheLayoutIsMissing)
{
    exec(QStringLiteral("delete from KvReport where ReportId = 1"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm();
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("票据格式不存在！"));
    EXPECT_EQ(PayRow().section(u',', -1), QStringLiteral("00000123"));
    EXPECT_EQ(BalanceRow().section(u',', -1), QStringLiteral("00000123"));
}

TEST_F(SaleWriteTest, AReceiptNumberTypedByHand)
{
    GetMainSysPara()->SetInvoiceNoMode(QStringLiteral("手工"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}})
        .Confirm()
        .Confirm({{1076, QStringLiteral("A-77")}})
        .Then(ClosePreview(nullptr));
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(PayRow().section(u',', -1), QStringLiteral("A-77"));
    EXPECT_EQ(fresh.Value("select InvoiceNo from SysPara"), QStringLiteral("123"));
}

// The sale is committed when Confirm cannot be called: it is kept and the
// operator told that the payment was not confirmed.
TEST_F(SaleWriteTest, APaymentThatCannotBeConfirmedKeepsTheSale)
{
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(RASKELL_WITHOUT_CONFIRM), fresh.AppDir() + QStringLiteral("/libRaskell.so")));
    GetMainSysPara()->SetRemoteFlag(QStringLiteral("是"));
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    CDialogScript script;
    script.Confirm().Confirm();
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_TRUE(sink.Texts().contains(QStringLiteral("无法调用Raskell.dll的Confirm，远程付款未确认！")));
    EXPECT_EQ(fresh.Value("select State from WrtRecord where WrtIndex = 100000010"), QStringLiteral("收讫"));
    EXPECT_EQ(Count("select * from ClientPay where WrtIndex = 100000010"), 1);
}

// The payment is asked until it is confirmed and covers the due; with a
// withholding rate the withholding is charged and credited; the pay mode is
// asked when bPayMode is "是".
TEST_F(SaleWriteTest, WithholdingAndThePaymentAskedUntilConfirmed)
{
    exec(QStringLiteral("update CliPre set PrePayRate = 10"));
    GetMainSysPara()->SetPayModeFlag(QStringLiteral("是"));
    GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    sink.QueueAnswer(IDYES); // the breakdown
    sink.QueueAnswer(IDOK);  // 写卡成功！
    sink.QueueAnswer(IDOK);  // the refused payment
    sink.QueueAnswer(IDNO);  // not in cash
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Cancel().Confirm({{1164, QStringLiteral("50")}}).Confirm();
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen().size(), 4);
    EXPECT_TRUE(sink.Texts().at(0).contains(QStringLiteral("应缴预提：5.20 元\n\n")));
    EXPECT_TRUE(sink.Texts().at(0).endsWith(QStringLiteral("本次应收款为：57.20元\n\n继续吗？")));
    EXPECT_EQ(sink.Texts().mid(2), (QStringList{"输入金额不应小于应付金额！", "是现金支付吗？"}));
    EXPECT_EQ(SaleRow().section(u',', 7, 8), QStringLiteral("52.00,5.20"));
    EXPECT_EQ(PayRow(), QStringLiteral("100000010,100000010,2,57.20,57.20,支票,17.70,12.50,00000123"));
}

// Printed from the preview, the two copies are the two pages of a PDF.
TEST_F(SaleWriteTest, TheReceiptPrintsFromThePreview)
{
    int copies = 0;
    EXPECT_EQ(SellAndPrint(copies), 2);
    EXPECT_EQ(copies, 2);
}

// A count left empty in the settings is stored 0: the receipt still prints once.
TEST_F(SaleWriteTest, AReceiptCountOf0StillPrintsOneCopy)
{
    GetMainSysPara()->SetInvoiceNum(0);
    int copies = 0;
    EXPECT_EQ(SellAndPrint(copies), 1);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(PayRow().section(u',', -1), QStringLiteral("00000123"));
}

// A quota fee whose price version is gone still prints, without a name.
TEST_F(SaleWriteTest, AFeeWithoutItsPriceVersionPrintsWithoutName)
{
    CSaleDlg dialog(nullptr, QStringLiteral("售电服务"));
    ReadCard(dialog);
    ListQuotaFees(dialog);
    exec(QStringLiteral("delete from PriceVer where PriceNo = 'F1'"));
    CReceiptValues receipt;
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then(ClosePreview(&receipt));
    Write(dialog);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(receipt.Fee(0, 0, 0), QString());
    EXPECT_EQ(receipt.Fee(0, 0, 3), QStringLiteral("10.50"));
}
