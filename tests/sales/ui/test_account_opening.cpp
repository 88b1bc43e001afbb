// The account opening of the card dialog (电表开户) against the card tool and
// carrier stand-ins: the reading, the history shift, the open card, the
// readings archived and the payment.

#include "CCardWriteDlg.h"
#include "CCliPre.h"
#include "CPrintPreviewDlg.h"
#include "CReceiptDocument.h"
#include "CReceiptValues.h"
#include "CClient.h"
#include "CMainFrame.h"
#include "KvSalesCommands.h"
#include "CSysPara.h"
#include "KvDialogScript.h"
#include "MeterCardTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

namespace {

const QString kMeter = QStringLiteral("00001234");

class AccountOpeningTest : public MeterCardTest
{
protected:
    void SetUp() override
    {
        MeterCardTest::SetUp();
        AddPlainUserAndMeter(kMeter);
        exec(QStringLiteral("update PreModel set SortIndex = 0 where ModelId = 'QM-H1'"));
        exec(QStringLiteral("update SysPara set ClientIndex = 100"));
    }

    void AddReadingBase(double thisRead)
    {
        exec(KvFormatSql("insert into HandReadBase values('%s', 1, %f, '2026-11-01', '2026-12-01')", kMeter, thisRead));
    }

    // Opens the dialog, reads a blank card and presses the write.
    void OpenAccount(int family = 1)
    {
        CCardWriteDlg dialog(nullptr, QStringLiteral("电表开户"));
        dialog.m_pMeter = m_meters.FindCurrentByMeterNo(kMeter);
        dialog.m_pClient = m_users.FindByClientNo(QStringLiteral("C001"));
        dialog.show();
        PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0, family);
        MouseClick(Button(dialog, 1135));
        ASSERT_TRUE(Button(dialog, 1132)->isEnabled());
        sink.Clear();
        MouseClick(Button(dialog, 1132));
    }
    QString Sales() { return fresh.Value("select group_concat(WrtNum || ':' || OpMode || ':' || State, ',') from "
                                         "(select * from WrtRecord order by WrtNum)"); }

    CCliPreList m_meters;
    CClientList m_users;
};

} // namespace

// The flow: the energy used, 100 kWh, Yes, the open card, the carrier told,
// the readings archived, paid; the earlier history lies below -99.
TEST_F(AccountOpeningTest, AnInfraredOpeningInKwhWritesTheOpenCardAndStartsANewHistory)
{
    AddReadingBase(120);
    AddImage(kMeter, 3, 50, 150);
    AddSale(100000001, 1, kMeter, 3, 50, 26);
    exec(QStringLiteral("insert into ManItem (ClientNo, WrtNum) values ('C001', -1)"));

    CDialogScript script;
    script.Confirm({{1158, QStringLiteral("150")}}).Confirm({{1029, QStringLiteral("100")}}).Confirm();
    OpenAccount();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), (QStringList{"dlg198 请输入表上已用电量", "dlg224 输入申购量", "dlg173 输入交款额"}));
    ASSERT_FALSE(sink.Texts().isEmpty());
    EXPECT_EQ(sink.Texts().first(),
              QStringLiteral("开户购电量为：100 度\t\t\t\n\n补助电量为：0 度\n\n根据线损计算方法，另计线损：0.0度\n\n"
                             "根据变压器使用情况，另计变损：0.0度\n\n应缴电费：52.00 元\n\n应缴预提：0.00 元\n\n"
                             "用户余额：0.00元\n\n本次应收款为：52.00元\n\n继续吗？"));
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("01"));
    EXPECT_EQ(sim.Card(1).amount, 100);
    EXPECT_EQ(sim.Card(1).count, 0);
    EXPECT_EQ(Sales(), QStringLiteral("-100:正常充值:收讫,0:开户:收讫"));
    EXPECT_EQ(fresh.Value("select WrtNum from ManItem"), "-104") << "a -1 row starts the new history too";
    EXPECT_EQ(fresh.Value("select WrtNum || ',' || AccuBuy || ',' || OpMode from PreLastWrt"), "0,100,开户");
    EXPECT_EQ(fresh.Value("select LastRead || ',' || ThisRead || ',' || Mul || ',' || RealUse from HandRead"),
              "120.0,150.0,1,30.0");
    EXPECT_EQ(fresh.Value("select LastRead || ',' || ThisRead || ',' || substr(LastReadTime, 1, 10) from "
                          "HandReadBase"),
              "0.0,0.0,2026-12-01");
    EXPECT_EQ(fresh.Value("select TotFee || ',' || RealPay || ',' || ThisBalance from ClientPay where WrtNum = 0"), "52.0,52.0,0.0");
    EXPECT_EQ(Carrier(), QStringList{"ReOpenAccountInCarrier 00001234 150.00 0 0 => 1"});
}

// Another counter's payment to the household lands while the opening's
// payment is asked for (balance 10.00 -> 30.00): the cashier is told, the due
// is figured again on 30.00 and asked again, and the payment stored starts
// from it.
TEST_F(AccountOpeningTest, AnOpeningPaidOnABalanceChangedMeanwhileIsFiguredOnTheBalanceAsItIsNow)
{
    AddSale(100000001, 1, kMeter, 2, 50, 26);
    AddReadingBase(-1);
    AddBalance(QStringLiteral("C001"), 10, 0);
    QStringList dues;
    const auto payAndNote = [&](bool otherCounterPays) {
        return [&, otherCounterPays](QWidget* widget) {
            dues << widget->findChild<QLineEdit*>(QStringLiteral("c1163"))->text();
            if (otherCounterPays)
                exec(QStringLiteral("update CliBalance set PayIndex = 900, ThisBalance = 30, LastBalance = 10"));
            CModalScript::Click(widget, 1000);
        };
    };
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Then(payAndNote(true)).Then(payAndNote(false));
    OpenAccount();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(dues, (QStringList{"42.00", "22.00"}));
    EXPECT_EQ(sink.Texts()
                  .filter(QStringLiteral("该用户的余额已被其他售电操作改变：读卡时为10.00元，现在为30.00元。"))
                  .size(),
              1)
        << sink.Texts().join(u'|').toStdString();
    EXPECT_EQ(fresh.Value("select TotFee || ',' || RealPay || ',' || LastBalance || ',' || ThisBalance from ClientPay "
                          "where WrtNum = 0"),
              "52.0,22.0,30.0,0.0");
    EXPECT_EQ(fresh.Value("select ThisBalance || ',' || LastBalance from CliBalance"), "0.0,30.0");
}

// A meter never read skips the energy used and the carrier; a meter without a
// card image shifts by 99; a carrier refusal writes nothing at all.
TEST_F(AccountOpeningTest, TheReadingDecidesTheDialogAndTheCarrier)
{
    AddSale(100000001, 1, kMeter, 2, 50, 26);
    AddReadingBase(-1);
    {
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}}).Confirm();
        OpenAccount();
        EXPECT_EQ(script.Seen(), (QStringList{"dlg224 输入申购量", "dlg173 输入交款额"}));
    }
    EXPECT_EQ(Sales(), QStringLiteral("-97:正常充值:收讫,0:开户:收讫"));
    EXPECT_TRUE(Carrier().isEmpty());
    EXPECT_EQ(fresh.Count("select * from HandRead"), 0);
    EXPECT_EQ(fresh.Value("select ThisRead from HandReadBase"), "0");

    exec(QStringLiteral("delete from WrtRecord"));
    exec(QStringLiteral("update HandReadBase set ThisRead = 10"));
    ForceCarrierAnswers(fresh.AppDir(), {QStringLiteral("ReOpenAccountInCarrier 0")});
    const int commands = CardCommands().size();
    {
        CDialogScript script;
        script.Confirm({{1158, QStringLiteral("15")}}).Confirm({{1029, QStringLiteral("100")}});
        OpenAccount();
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    EXPECT_EQ(CardCommands().size(), commands + 1) << "only the read";
}

TEST_F(AccountOpeningTest, TheOpeningStopsBeforeAnyChange)
{
    const struct
    {
        double thisRead; // -2: no reading base
        const char* used;
        const char* message;
    } cases[] = {{-2, "", "该表没有抄表档案！"}, {120, "100", "表上已用量不应小于上次表上已用量！"}};
    for (const auto& c : cases) {
        exec(QStringLiteral("delete from HandReadBase"));
        if (c.thisRead > -2)
            AddReadingBase(c.thisRead);
        CDialogScript script;
        if (c.thisRead > -2)
            script.Confirm({{1158, QString::fromUtf8(c.used)}});
        OpenAccount();
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    }
}

// Rate 0 lets the balance pay; a rate adds the withholding to what is due
// and to the balance.
TEST_F(AccountOpeningTest, TheAmountsOfAnOpening)
{
    const struct
    {
        int rate;
        double balance;
        double price;
        const char* pay; // TotFee, RealPay, ThisBalance, LastBalance
    } cases[] = {{0, 30, 0.2, "20.0,0.0,10.0,30.0"},
                 {0, 5, 0.2, "20.0,15.0,0.0,5.0"},
                 {10, 0, 0.5, "55.0,55.0,5.0,0.0"}};
    for (const auto& c : cases) {
        exec(QStringLiteral("delete from WrtRecord"));
        exec(QStringLiteral("delete from ClientPay"));
        exec(QStringLiteral("delete from CliBalance"));
        exec(QStringLiteral("delete from HandReadBase"));
        AddReadingBase(-1);
        AddBalance(QStringLiteral("C001"), c.balance, 0);
        exec(KvFormatSql("update CliPre set PrePayRate = %d", c.rate));
        exec(KvFormatSql("update PriceVer set Price = %f", c.price));
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("100")}}).Confirm();
        OpenAccount();
        EXPECT_EQ(fresh.Value("select TotFee || ',' || RealPay || ',' || ThisBalance || ',' || LastBalance from "
                              "ClientPay"),
                  QString::fromUtf8(c.pay))
            << c.rate << " " << c.balance;
    }
}

// An IC opening needs no reading base and sends the meter's limit as a
// percentage; the money opening takes what the money buys.
TEST_F(AccountOpeningTest, AnIcOpeningSendsTheLimitWithoutReadings)
{
    SetModel(1, QStringLiteral("K1"));
    exec(QStringLiteral("update CliPre set LimitValue = '60'"));
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm();
    OpenAccount(2);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_TRUE(CardCommands().last().contains(QStringLiteral("060%"))) << CardCommands().last().toStdString();
    EXPECT_EQ(sim.Card(1).purchase, 100);
    EXPECT_EQ(fresh.Value("select WrtNum || ':' || WrtValue || ':' || LimitValue || ':' || State from WrtRecord"),
              "0:100:60:收讫");
    EXPECT_TRUE(Carrier().isEmpty());

    exec(QStringLiteral("delete from WrtRecord"));
    GetMainSysPara()->SetBuyUnit(QStringLiteral("元"));
    CDialogScript money;
    money.Confirm({{1029, QStringLiteral("52")}}).Confirm();
    OpenAccount(2);
    EXPECT_TRUE(money.Exhausted());
    EXPECT_EQ(fresh.Value("select WrtValue || ':' || PrePay || ':' || State from WrtRecord"), "100:0.0:收讫");
    GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
}

// The money opening refuses money that pays less than the transformer loss,
// and money whose kWh fall short of the subsidy; nothing is stored.
TEST_F(AccountOpeningTest, TheMoneyOpeningRefusesWhatTheMoneyCannotPay)
{
    GetMainSysPara()->SetBuyUnit(QStringLiteral("元"));
    const struct
    {
        const char* subsidy;
        const char* message;
    } cases[] = {{"0", "金额太少，不足以支付变损！"}, {"5", "金额太少，无法满足补助量！"}};
    for (const auto& c : cases) {
        // No money, 3 kWh of transformer loss: 0 kWh cost 1.56 without a
        // subsidy; with 5 free kWh the loss is paid at 2 units, 3 short of it.
        CDialogScript script;
        script.Confirm({{1029, QStringLiteral("0")}, {1036, QStringLiteral("3")}, {1019, QString::fromUtf8(c.subsidy)}});
        OpenAccount();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    }
    GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
}

// The receipt of an opening is numbered and previewed as a sale's: the
// card dialog's balance and price mix, no manual fees, sub-meters or fees.
TEST_F(AccountOpeningTest, TheOpeningReceiptShowsThePriceMixWithoutFees)
{
    AddReadingBase(-1);
    GetMainSysPara()->SetPrintFlag(QStringLiteral("是"));
    exec(QStringLiteral("update SysPara set InvoiceNo = 77, InvoiceNum = 1, InvoiceNoMode = '自动'"));
    CReceiptValues receipt;
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("100")}}).Confirm().Then([&receipt](QWidget* widget) {
        auto* preview = static_cast<CPrintPreviewDlg*>(widget);
        auto* job = dynamic_cast<CReceiptDocument*>(preview->GetPrintJob());
        ASSERT_NE(job, nullptr);
        receipt = job->Values();
        CModalScript::Click(widget, 1001);
    });
    OpenAccount();
    EXPECT_TRUE(script.Exhausted());
    ASSERT_EQ(script.Seen().size(), 3);
    ASSERT_EQ(receipt.GetReceiptCount(), 1);
    EXPECT_EQ(receipt.Common(0, 35), QStringLiteral("00000077_1"));
    EXPECT_EQ(receipt.Common(0, 0), QStringLiteral("李四"));
    EXPECT_EQ(receipt.Common(0, 12), QStringLiteral("100"));
    EXPECT_EQ(receipt.Common(0, 24), QStringLiteral("52.00"));
    EXPECT_EQ(receipt.Common(0, 26), QString()) << "代收费 stays empty";
    EXPECT_EQ(receipt.Price(0, 0, 0), QStringLiteral("P1"));
    EXPECT_EQ(receipt.Price(0, 0, 1), QStringLiteral("居民电价"));
    EXPECT_EQ(receipt.Price(0, 0, 2), QStringLiteral("0.5200"));
    EXPECT_EQ(receipt.Price(0, 0, 3), QStringLiteral("100"));
    EXPECT_EQ(receipt.Sub(0, 0, 0), QString());
    EXPECT_EQ(receipt.Fee(0, 0, 0), QString());
    EXPECT_EQ(fresh.Value("select InvoiceNo from ClientPay where WrtNum = 0"), "00000077");
    EXPECT_EQ(fresh.Value("select InvoiceNo from CliBalance where ClientNo = 'C001'"), "00000077");
}

namespace {

CModalScript::Action EnterUser(const QString& clientNo)
{
    return [clientNo](QWidget* dialog) {
        CModalScript::Type(dialog, 1002, clientNo);
        CModalScript::Type(dialog, 1009, QStringLiteral("王五"));
        CModalScript::Click(dialog, 1000);
    };
}

CModalScript::Action EnterMeter(const QString& meterNo, QString* shown = nullptr)
{
    return [meterNo, shown](QWidget* dialog) {
        if (shown)
            *shown = dialog->findChild<QLineEdit*>(QStringLiteral("c1105"))->text();
        auto* model = dialog->findChild<QComboBox*>(QStringLiteral("c1111"));
        model->setCurrentIndex(model->findText(QStringLiteral("QM-H1")));
        CModalScript::Type(dialog, 1105, meterNo);
        CModalScript::Click(dialog, 1000);
    };
}

} // namespace

// With a meter number given: duplicates send the dialogs back, and neither
// the fixed fees nor the card follow; the rows of a closed meter of that
// number are overwritten.
TEST_F(AccountOpeningTest, TheWizardForAGivenMeterRefusesDuplicatesAndWritesNoCard)
{
    exec(QStringLiteral("insert into Client (ClientIndex, ClientNo, ClientName, EndDate) values (50, 'U8', '旧', "
                        "'2020-01-01')"));
    exec(QStringLiteral("insert into CliPre select 7, ClientNo, '00007777', ModelId, Ct, Pt, PrePayRate, TTWaste, "
                        "TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, CloseShold, Pulses, OutState, Descrip, "
                        "State, OperatorNo, '2019-01-01', '2019-12-31', ModiTime from CliPre where CliPreIndex = 1"));
    AddImage(QStringLiteral("00007777"), 5, 50, 500);
    AddReadingBase(33);
    exec(QStringLiteral("update HandReadBase set MeterNo = '00007777'"));
    GetMainSysPara()->SetAutoSetFixFlag(QStringLiteral("是"));
    CMainFrame frame;
    InstallSalesCommands(frame);

    QString shown;
    CDialogScript script;
    script.Then(EnterUser(QStringLiteral("C001")))
        .Then(EnterUser(QStringLiteral("U8")))
        .Then(EnterUser(QStringLiteral("U9")))
        .Then(EnterMeter(kMeter, &shown))
        .Then(EnterMeter(QStringLiteral("00007777")));
    sink.Clear();
    frame.OpenNewAccountForMeter(QStringLiteral("00007777"));

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen().size(), 5) << script.Seen().join(", ").toStdString();
    EXPECT_EQ(shown, QStringLiteral("00007777"));
    EXPECT_EQ(sink.Texts(), (QStringList{"用户代码重复！", "用户代码重复！", "表计编号重复！"}));
    EXPECT_EQ(fresh.Count("select * from CliBalance where ClientNo = 'U9'"), 1);
    EXPECT_EQ(fresh.Value("select ClientNo from CliPre where MeterNo = '00007777' and EndDate = '2050-12-31'"), "U9");
    EXPECT_EQ(fresh.Value("select WrtNum from PreLastWrt where MeterNo = '00007777'"), "-1");
    EXPECT_EQ(fresh.Value("select ThisRead from HandReadBase where MeterNo = '00007777'"), "-1");
}

// From the menu: user, meter with the user code as number, then the card
// dialog; a carrier refusal keeps the user and saves no meter.
TEST_F(AccountOpeningTest, TheWizardFromTheMenuEndsWithTheCardDialog)
{
    GetMainSysPara()->SetAutoSetFixFlag(QStringLiteral("否"));
    CMainFrame frame;
    InstallSalesCommands(frame);
    QString shown;
    {
        CDialogScript script;
        script.Then(EnterUser(QStringLiteral("U9"))).Then(EnterMeter(QStringLiteral("00009999"), &shown)).Cancel();
        frame.OpenNewAccount(QString());
        EXPECT_TRUE(script.Exhausted());
        ASSERT_EQ(script.Seen().size(), 3);
        EXPECT_EQ(script.Seen().last(), QStringLiteral("dlg162 电表开户"));
    }
    EXPECT_EQ(shown, QStringLiteral("U9"));
    EXPECT_EQ(fresh.Count("select * from CliPre where MeterNo = '00009999'"), 1);

    ForceCarrierAnswers(fresh.AppDir(), {QStringLiteral("PondrakeToTmp 0")});
    {
        CDialogScript script;
        script.Then(EnterUser(QStringLiteral("U10"))).Then(EnterMeter(QStringLiteral("00008888")));
        frame.OpenNewAccount(QString());
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(fresh.Count("select * from Client where ClientNo = 'U10'"), 1);
    EXPECT_EQ(fresh.Count("select * from CliPre where MeterNo = '00008888'"), 0);
}

// With bAutoSetFix "是" the new user's fixed fees are asked before the meter.
TEST_F(AccountOpeningTest, TheWizardAsksForTheFixedFeesWhenTheyAreSetAutomatically)
{
    GetMainSysPara()->SetAutoSetFixFlag(QStringLiteral("是"));
    CMainFrame frame;
    InstallSalesCommands(frame);
    QString fixesOf;
    CDialogScript script;
    script.Then(EnterUser(QStringLiteral("U9")))
        .Then([&fixesOf](QWidget* dialog) {
            fixesOf = dialog->findChild<QLineEdit*>(QStringLiteral("c1002"))->text();
            CModalScript::Click(dialog, 1021);
        })
        .Then(EnterMeter(QStringLiteral("00009999")))
        .Cancel();
    frame.OpenNewAccount(QString());
    EXPECT_TRUE(script.Exhausted());
    ASSERT_EQ(script.Seen().size(), 4);
    EXPECT_TRUE(script.Seen().at(1).startsWith(QStringLiteral("dlg189 "))) << script.Seen().at(1).toStdString();
    EXPECT_EQ(script.Seen().last(), QStringLiteral("dlg162 电表开户"));
    EXPECT_EQ(fixesOf, QStringLiteral("U9"));
    EXPECT_EQ(fresh.Count("select * from CliPre where MeterNo = '00009999'"), 1);
}
