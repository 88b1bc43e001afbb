// The replacement card with a purchase (写补卡 with bCompWrt "是") against the
// card tool stand-in: the operator's background picks a new paid top-up under
// the next write number or the last purchase written again unpaid.

#include "../../framework/ui/KvUiTestUtil.h"
#include "CCardWriteDlg.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CReissueCaseDlg.h"
#include "CSysPara.h"
#include "KvDialogScript.h"
#include "MeterCardTest.h"

#include <QRadioButton>
#include <memory>

namespace {

const QString kMeter = QStringLiteral("00001234");

// The radio of a background in dialog 228, then OK.
CModalScript::Action Background(int control)
{
    return [control](QWidget* dialog) {
        CModalScript::Click(dialog, control);
        CModalScript::Click(dialog, 1000);
    };
}
constexpr int kNotSupplied = 1089;
constexpr int kSupplied = 1091;
constexpr int kNoCommunication = 1160;

// User C001 with meter 00001234 on a multiplier of 1 at 0.52, no losses,
// sales in kWh, replacements with a purchase, no printed receipt.
class ReplacementCardTest : public MeterCardTest
{
protected:
    void SetUp() override
    {
        MeterCardTest::SetUp();
        AddPlainUserAndMeter(kMeter);
        exec(QStringLiteral("update SysPara set bCompWrt = '是'"));
    }
    void TearDown() override
    {
        GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
        MeterCardTest::TearDown();
    }

    // A paid write of the history with its cumulative figures.
    void AddWrite(int wrtIndex, int wrtNum, int value, const QString& opMode, int accuBuy = 150, double accuUse = 90,
                  double accuRemain = 60)
    {
        AddSale(wrtIndex, 1, kMeter, wrtNum, value, value * 0.52);
        exec(KvFormatSql("update WrtRecord set OpMode = '%s', AccuBuy = %d, AccuUse = %f, AccuRemain = %f where "
                         "WrtIndex = %d",
                         opMode, accuBuy, accuUse, accuRemain, wrtIndex));
    }
    void Reset()
    {
        for (const char* table : {"WrtRecord", "ClientPay", "PreLastWrt", "CliBalance"})
            exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
    }

    // 写补卡 on a blank card: the read, then the write button.
    std::unique_ptr<CCardWriteDlg> Replace()
    {
        auto dialog = std::make_unique<CCardWriteDlg>(nullptr, QStringLiteral("写补卡"));
        dialog->m_pMeter = m_meters.FindCurrentByMeterNo(kMeter);
        dialog->m_pClient = m_users.FindByClientNo(QStringLiteral("C001"));
        dialog->show();
        PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
        MouseClick(Button(*dialog, 1135));
        EXPECT_TRUE(Button(*dialog, 1132)->isEnabled());
        sink.Clear();
        MouseClick(Button(*dialog, 1132));
        return dialog;
    }

    QString Writes()
    {
        return fresh.Value("select group_concat(WrtNum || ':' || WrtValue || ':' || OpMode || ':' || State, ',') "
                           "from (select * from WrtRecord order by WrtIndex)");
    }
    QString Image() { return fresh.Value("select WrtNum || ',' || WrtValue || ',' || OpMode from PreLastWrt"); }

    CCliPreList m_meters;
    CClientList m_users;
};

} // namespace

// Background 1: 100 kWh on top of the last write's figures, the replacement
// top-up command with the next write number, paid as an opening is.
TEST_F(ReplacementCardTest, ANewTopUpGoesOnFromTheLastWriteUnderTheNextNumber)
{
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150);
    // The limit and thresholds come from the card image.
    exec(QStringLiteral("update PreLastWrt set LimitValue = '600', AlarmShold = 25"));

    CDialogScript script;
    // The case dialog opens on the new top-up: OK alone chooses it.
    script.Confirm().Confirm({{1029, QStringLiteral("100")}}).Confirm();
    auto dialog = Replace();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen(), (QStringList{"dlg228 选择补卡背景情况", "dlg224 输入申购量", "dlg173 输入交款额"}));
    ASSERT_FALSE(sink.Texts().isEmpty());
    EXPECT_EQ(sink.Texts().first(),
              QStringLiteral("补卡购电费为：100 度\t\t\t\n\n补助电量为：0 度\n\n根据线损计算方法，另计线损：0.0度\n\n"
                             "根据变压器使用情况，另计变损：0.0度\n\n应缴电费：52.00 元\n\n应缴预提：0.00 元\n\n"
                             "用户余额：0.00元\n\n本次应收款为：52.00元\n\n继续吗？"));
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 14 00001234 004 0100 200A 030 20"));
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("05"));
    EXPECT_EQ(sim.Card(1).count, 4);
    EXPECT_EQ(sim.Card(1).amount, 100);
    EXPECT_EQ(fresh.Value("select WrtNum || ',' || WrtValue || ',' || AccuBuy || ',' || AccuUse || ',' || "
                          "AccuRemain || ',' || BuyValue || ',' || State || ',' || LimitValue || ',' || AlarmShold "
                          "from WrtRecord where OpMode = '补卡充值2'"),
              "4,100,250,90.0,160.0,100,收讫,600,25");
    EXPECT_EQ(Image(), "4,100,补卡充值2");
    EXPECT_EQ(fresh.Value("select TotFee || ',' || RealPay from ClientPay where WrtNum = 4"), "52.0,52.0");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

// Background 0: the last write, whatever it was, again under its own number;
// nothing is paid.
TEST_F(ReplacementCardTest, BackgroundZeroWritesTheLastPurchaseAgainUnpaid)
{
    AddWrite(100000001, 3, 50, QStringLiteral("修改充值"));
    AddImage(kMeter, 3, 50, 150, QStringLiteral("修改充值"));

    CDialogScript script;
    script.Then(Background(kNotSupplied));
    Replace();

    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 14 00001234 003 0050 200A 030 20"));
    EXPECT_EQ(Writes(), "3:50:修改充值:收讫,3:50:补卡补值2:补值成功");
    EXPECT_EQ(fresh.Value("select AccuBuy || ',' || AccuRemain from WrtRecord where OpMode = '补卡补值2'"), "150,60.0");
    EXPECT_EQ(Image(), "3,50,补卡补值2");
    EXPECT_EQ(fresh.Count("select * from ClientPay"), 1);
}

// Background 2 follows the last replacement: after a re-supply a new top-up;
// after a top-up the write before it again, the top-up voided and its money
// to be returned.
TEST_F(ReplacementCardTest, BackgroundTwoFollowsTheLastReplacement)
{
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150, QStringLiteral("补卡补值2"));
    {
        CDialogScript script;
        script.Then(Background(kNoCommunication)).Confirm({{1029, QStringLiteral("100")}}).Confirm();
        Replace();
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(Writes(), "3:50:正常充值:收讫,4:100:补卡充值2:收讫");
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 14 00001234 004 0100 200A 030 20"));

    Reset();
    AddWrite(100000001, 2, 40, QStringLiteral("正常充值"), 100, 60, 40);
    AddWrite(100000002, 3, 50, QStringLiteral("补卡充值2"));
    AddImage(kMeter, 3, 50, 150, QStringLiteral("补卡充值2"));
    {
        CDialogScript script;
        script.Then(Background(kNoCommunication));
        Replace();
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(Writes(), "2:40:正常充值:收讫,3:50:补卡充值2:作废,2:40:补卡补值2:补值成功");
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 14 00001234 002 0040 200A 030 20"));
    EXPECT_EQ(Image(), "2,40,补卡补值2");
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("请将上次补卡充值所收款项返还用户！"));
    EXPECT_EQ(fresh.Count("select * from ClientPay"), 2) << "the money is returned by hand";
}

// Every stop comes before anything is written or a purchase asked.
TEST_F(ReplacementCardTest, TheChecksStopBeforeAnyWrite)
{
    struct Write
    {
        int wrtNum;
        const char* opMode;
    };
    const struct
    {
        int background;
        std::vector<Write> history;
        int imageNum;
        const char* imageMode;
        const char* message;
    } cases[] = {
        {kNotSupplied, {}, 3, "正常充值", "找不到上次写卡记录！"},
        {kSupplied, {}, 3, "正常充值", "找不到上次写卡记录！"},
        {kNoCommunication, {}, 3, "补卡补值2", "找不到上次写卡记录！"},
        {kNotSupplied, {{3, "正常充值"}}, 5, "正常充值", "上次写卡次数校验错误！"},
        {kSupplied, {{3, "正常充值"}}, 5, "正常充值", "上次写卡次数校验错误！"},
        {kNoCommunication, {{3, "正常充值"}}, 5, "补卡充值2", "上次写卡次数校验错误！"},
        {kNoCommunication, {{3, "正常充值"}}, 3, "正常充值", "上次的操作类型与您选择的补卡背景不符！"},
        // The write the meter expects before the top-up is not there.
        {kNoCommunication,
         {{1, "正常充值"}, {3, "补卡充值2"}},
         3,
         "补卡充值2",
         "对不起，直接补卡充值前的写卡记录丢失！"},
        {kNoCommunication, {{3, "补卡充值2"}}, 3, "补卡充值2", "以前的写卡记录丢失！"},
        // The image says top-up, the history's last write is none.
        {kNoCommunication, {{3, "正常充值"}}, 3, "补卡充值2", "对不起，上次操作不是直接补卡充值"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Reset();
        int wrtIndex = 100000001;
        for (const Write& w : c.history)
            AddWrite(wrtIndex++, w.wrtNum, 50, QString::fromUtf8(w.opMode));
        AddImage(kMeter, c.imageNum, 50, 150, QString::fromUtf8(c.imageMode));
        const QString before = Writes();
        const int commands = CardCommands().size();
        CDialogScript script;
        script.Then(Background(c.background));
        Replace();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(script.Seen().size(), 1) << "no purchase is asked";
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(Writes(), before);
        EXPECT_EQ(CardCommands().size(), commands + 1) << "only the read";
    }
}

// In money the replacement stops where the cost reaches the money: 52.00 at
// 0.52 buys 99 kWh, where the opening takes the 100 whose cost equals it.
TEST_F(ReplacementCardTest, MoneyEqualToTheCostBuysOneUnitLessThanAtAnOpening)
{
    GetMainSysPara()->SetBuyUnit(QStringLiteral("元"));
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150);
    {
        CDialogScript script;
        script.Then(Background(kSupplied)).Confirm({{1029, QStringLiteral("52")}}).Confirm();
        Replace();
        EXPECT_TRUE(script.Exhausted());
    }
    ASSERT_FALSE(sink.Texts().isEmpty());
    EXPECT_TRUE(sink.Texts().first().endsWith(QStringLiteral("用户余额：0.00元\n\n本次应收款为：51.48元\n\n继续吗？")))
        << sink.Texts().first().toStdString();
    EXPECT_FALSE(sink.Texts().first().contains(QStringLiteral("应缴预提")));
    EXPECT_EQ(fresh.Value("select WrtValue || ',' || PrePay || ',' || State from WrtRecord where OpMode = '补卡充值2'"),
              "99,0.0,收讫");

    Reset();
    auto dialog = std::make_unique<CCardWriteDlg>(nullptr, QStringLiteral("电表开户"));
    dialog->m_pMeter = m_meters.FindCurrentByMeterNo(kMeter);
    dialog->m_pClient = m_users.FindByClientNo(QStringLiteral("C001"));
    dialog->show();
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    MouseClick(Button(*dialog, 1135));
    CDialogScript script;
    script.Confirm({{1029, QStringLiteral("52")}}).Confirm();
    MouseClick(Button(*dialog, 1132));
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(fresh.Value("select WrtValue from WrtRecord where OpMode = '开户'"), "100");
}

// When sales are in neither unit the replacement takes kWh and lowers a
// subsidy beyond the kWh bought; the kWh input of an opening refuses it.
TEST_F(ReplacementCardTest, TheReplacementInKwhLowersTheSubsidyWhereTheOpeningRefuses)
{
    exec(QStringLiteral("update PreModel set InnerMul = 10"));
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150);
    GetMainSysPara()->SetBuyUnit(QString());
    {
        CDialogScript script;
        script.Then(Background(kSupplied))
            .Confirm({{1029, QStringLiteral("3")}, {1019, QStringLiteral("25")}})
            .Confirm();
        Replace();
        EXPECT_TRUE(script.Exhausted());
    }
    // (3 + 25) / 10 = 2 units of 10 kWh: the subsidy becomes 20.
    EXPECT_EQ(fresh.Value("select WrtValue || ',' || BuyValue || ',' || FreeValue from WrtRecord where OpMode = "
                          "'补卡充值2'"),
              "2,0,20");

    Reset();
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150);
    GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
    CDialogScript script;
    script.Then(Background(kSupplied)).Confirm({{1029, QStringLiteral("3")}, {1019, QStringLiteral("25")}});
    Replace();
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(sink.Texts(), QStringList{"申购量太小，无法满足补助量！"});
    EXPECT_EQ(Writes(), "3:50:正常充值:收讫");
}

// A multiplier of 0, a price of 0 (the search stops at 10000 units) and an
// amount beyond the card are refused before anything is stored.
TEST_F(ReplacementCardTest, APurchaseTheCardCannotTakeIsRefusedBeforeAnythingIsStored)
{
    const struct
    {
        const char* unit;
        int innerMul;
        double price;
        const char* entered; // nullptr: no purchase is asked
        const char* message;
    } cases[] = {
        {"度", 0, 0.52, nullptr, "合计倍率不正确，不能售电！"},
        {"元", 1, 0, "1", "写卡量超出有效值范围！"},
        {"元", 1, 0.52, "5201", "写卡量超出有效值范围！"},
        {"度", 1, 0.52, "10000", "写卡量超出有效值范围！"},
    };
    AddWrite(100000001, 3, 50, QStringLiteral("正常充值"));
    AddImage(kMeter, 3, 50, 150);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + (c.entered ? c.entered : "-"));
        GetMainSysPara()->SetBuyUnit(QString::fromUtf8(c.unit));
        exec(KvFormatSql("update PreModel set InnerMul = %d", c.innerMul));
        exec(KvFormatSql("update PriceVer set Price = %f", c.price));
        const int commands = CardCommands().size();
        CDialogScript script;
        script.Then(Background(kSupplied));
        if (c.entered)
            script.Confirm({{1029, QString::fromUtf8(c.entered)}});
        Replace();
        EXPECT_TRUE(script.Exhausted());
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(Writes(), "3:50:正常充值:收讫");
        EXPECT_EQ(CardCommands().size(), commands + 1) << "only the read";
    }
}

// The case dialog by keyboard alone: the focus starts on the checked choice,
// so that Enter keeps it and one arrow key chooses the next one.
TEST(ReissueCaseDialog, TheKeyboardStartsOnTheCheckedChoice)
{
    CReissueCaseDlg kept(nullptr);
    ASSERT_TRUE(ShowActive(&kept));
    auto* supplied = kept.findChild<QRadioButton*>(CKvDialog::ControlName(1091));
    ASSERT_TRUE(supplied->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), supplied);
    PressKey(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(kept.result(), QDialog::Accepted);
    EXPECT_EQ(kept.m_nCase, CReissueCaseDlg::Supplied);

    CReissueCaseDlg moved(nullptr);
    ASSERT_TRUE(ShowActive(&moved));
    PressKey(QApplication::focusWidget(), Qt::Key_Down);
    PressKey(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(moved.result(), QDialog::Accepted);
    EXPECT_EQ(moved.m_nCase, CReissueCaseDlg::NoCommunication);
}
