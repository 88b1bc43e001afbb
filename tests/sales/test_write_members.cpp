// The writes of the sales dialog beyond the ordinary top-up, run through the
// one write engine against the card tool stand-ins: the row each stores, the
// card command it sends, the states its transactions leave and its payment.

#include "CAdoConnection.h"
#include "CCardToolSim.h"
#include "COperator.h"
#include "CardToolTestHelpers.h"
#include "CurrentOperator.h"
#include "KvMessage.h"
#include "KvSaleWriteMembers.h"
#include "KvSql.h"
#include "SaleWriteTestHost.h"
#include "SysGlobals.h"

#include <QMap>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kMeter = QStringLiteral("00001234");
const QString kClient = QStringLiteral("C001");
const int kEarlier = 100000001;

// One user with one meter (limit "80", alarm 25, cut-off 15, withholding 10 %)
// whose last sale, write 4 of 50 units, was paid 26 from a balance of 2,
// leaving 10.
class WriteMembersTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        CopyCardTools(fresh.AppDir());
        GetCurrentOperator()->SetOperatorNo(QStringLiteral("01"));
        exec(QStringLiteral("insert into Client values(1, 'C001', '00', '00', '1', '101', '1', '00', '李四', '', "
                            "'李四路1号', '', 3, '正常', '', '01', '2020-01-01', '2050-12-31', '2020-01-01')"));
        // New keys come after the earlier sale's.
        exec(QStringLiteral("update SysPara set WrtIndex = 1000, WrtPriceIndex = 1000, PayIndex = 1000"));
        host.fresh = &fresh;
        host.card.meterNo = kMeter;
        host.card.count = 4;
        host.card.lastAmount = 50;
        host.card.use = 30;
        host.card.purchase = 1000;
        host.card.remaining = 60;
        host.card.archiveLimit = QStringLiteral("80");
    }
    void TearDown() override
    {
        ResetCurrentOperator();
        ReleaseProcessObjects();
    }

    void exec(const QString& sql) { db().Execute(sql, QString()); }

    // The archive as a card read finds it: `lastOp` is the operation of the
    // last sale and of the card image.
    void Archive(const QString& lastOp = QStringLiteral("正常充值"), const QString& imageLimit = QStringLiteral("080"),
                 int rate = 10, bool withSale = true)
    {
        exec(KvFormatSql("insert into CliPre values(1, 'C001', '%s', 'M1', 1, 1, %d, 0, 0, '', '', '80', 25, 15, 0, "
                         "'常闭', '', '正常', '01', '2020-01-01', '2050-12-31', '2020-01-01')",
                         kMeter, rate));
        exec(KvFormatSql("insert into PreLastWrt values('%s', '91234', %d, 4, 50, '%s', 30, 20, 1000, 30, 60, '%s', "
                         "'2026-12-01 10:00:00')",
                         kMeter, kEarlier, imageLimit, lastOp));
        if (withSale) {
            exec(KvFormatSql("insert into WrtRecord values(%d, '%s', 1, 50, '%s', 30, 20, 4, 1, 45, 5, 1000, 30, 60, "
                             "0.3, 0.5, 0.6, 27, 0, 1, 2, '%s', '收讫', '01', '2026-12-01 10:00:00')",
                             kEarlier, kMeter, imageLimit, lastOp));
            exec(KvFormatSql("insert into WrtPrice values(100000001, %d, 3, 100)", kEarlier));
            exec(KvFormatSql("insert into ClientPay values(100000501, %d, 4, 27, 26, '现金', 10, 2, '', '收讫')",
                             kEarlier));
        }
        exec(QStringLiteral("insert into CliBalance values('C001', 100000501, 4, 27, 26, '现金', 10, 2, '')"));
        host.Load(kClient, kMeter);
    }
    // Empties what Archive() fills, for the next case.
    void ClearArchive()
    {
        for (const char* table : {"WrtRecord", "WrtPrice", "ClientPay", "CliBalance", "PreLastWrt", "CliPre"})
            exec(QStringLiteral("delete from %1").arg(QString::fromLatin1(table)));
    }
    void PutCard(const QString& code, int family)
    {
        CSimCard card;
        card.family = family;
        card.code = code;
        card.meterNo = kMeter;
        card.count = host.card.count;
        card.amount = host.card.lastAmount;
        card.use = host.card.use;
        card.purchase = host.card.purchase;
        card.remaining = host.card.remaining;
        sim.SetCard(1, card);
    }
    // Runs the write; what it raises is shown as the guard would.
    void Run(const SaleWriteDescriptor& descriptor)
    {
        CSaleWriteEngine engine(host);
        engine.Run(descriptor);
        context = engine.Context();
    }
    // The card commands of the run: the arguments after "0 <family> 1 <port>".
    QStringList Commands() const
    {
        QStringList commands;
        for (const QString& line : sim.Log()) {
            if (!line.startsWith(QStringLiteral("Tarlisk [")))
                continue;
            const QString args = line.section(QStringLiteral("] "), 1).section(QStringLiteral(" =>"), 0, 0);
            commands << args.section(u' ', 4);
        }
        return commands;
    }
    QMap<QString, QString> NewestRow() const
    {
        return fresh.Row(QStringLiteral("select * from WrtRecord order by WrtIndex desc limit 1"));
    }
    int Count(const QString& sql) const { return fresh.Count(sql); }
    QString EarlierState() const
    {
        return fresh.Value(QStringLiteral("select State from WrtRecord where WrtIndex = %1").arg(kEarlier));
    }

    SaleWriteTestHost host;
    CCardToolSim sim{fresh.AppDir()};
    SaleWriteContext context;
};

struct MemberCase
{
    const char* name;
    std::function<SaleWriteDescriptor()> make;
    const char* lastOp;     // the last sale's and the card image's operation
    const char* imageLimit; // the card image's limit
    const char* cardCode;   // the card in the reader
    int family;
    // The stored row.
    int wrtNum;
    const char* opMode;
    int accuBuy;
    double accuUse;
    double accuRemain;
    const char* limit;
    int alarm;
    int cutOff;
    double prePay;
    const char* command; // "" when no card command is sent
    const char* afterConfirmation;
    const char* afterPayment;
    bool paid;
};

const char* const kNormal = "正常充值";
const char* const kCampus = "校园退费";

// Card count 4, last write 50, use 30, purchase 1000, remaining 60; 80 units
// at 0.5 with 10 % withholding (4.00 by kWh).
const MemberCase kMembers[] = {
    {"修改充值 by kWh", [] { return ModifyTopUpWrite(SalePayment::Energy); }, kNormal, "080", "03", 1, 4, "修改充值",
     1080, 30, 140, "080", 30, 20, 4, "03 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"修改充值 by money", [] { return ModifyTopUpWrite(SalePayment::Money); }, kNormal, "080", "03", 1, 4, "修改充值",
     1080, 30, 140, "080", 30, 20, 0, "03 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"IC 修改充值", [] { return IcModifyTopUpWrite(SalePayment::Energy); }, kNormal, "080", "03", 2, 4, "修改充值",
     1030, 30, 90, "080", 25, 15, 4, "04 00001234 0080 800% 025 15", "写卡成功", "收讫", true},
    {"补卡充值 by kWh", [] { return ReissueTopUpWrite(SalePayment::Energy); }, kNormal, "080", "06", 1, 4, "补卡充值",
     1080, 30, 140, "080", 30, 20, 4, "03 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"补卡充值 remote", [] { return ReissueTopUpWrite(SalePayment::Remote); }, kNormal, "080", "06", 1, 4, "补卡充值",
     1080, 30, 140, "080", 30, 20, 0, "03 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"IC 补卡充值", [] { return IcReissueTopUpWrite(SalePayment::Energy); }, kNormal, "080", "06", 2, 5, "补卡充值",
     1080, 30, 140, "080", 25, 15, 4, "04 00001234 0080 800% 025 15", "写卡成功", "收讫", true},
    {"IC 补卡充值 by money", [] { return IcReissueTopUpWrite(SalePayment::Money); }, kNormal, "080", "06", 2, 5,
     "补卡充值", 1080, 30, 140, "080", 25, 15, 0, "04 00001234 0080 800% 025 15", "写卡成功", "收讫", true},
    {"补卡补值", [] { return ReissueRestoreWrite(); }, kNormal, "080", "06", 1, 4, "补卡补值", 1000, 30, 60, "080", 30,
     20, 0, "03 00001234 0050 200A 030 20", "补值成功", "补值成功", false},
    {"IC 补卡补值", [] { return IcReissueRestoreWrite(); }, kNormal, "080", "06", 2, 4, "补卡补值", 1000, 30, 60, "080",
     30, 20, 0, "04 00001234 0050 800% 030 20", "补值成功", "补值成功", false},
    {"续用充值 by kWh", [] { return ContinuedUseWrite(SalePayment::Energy); }, kCampus, "080", "13", 1, 5, "续用充值",
     80, 0, 80, "080", 30, 20, 4, "13 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"续用充值 remote", [] { return ContinuedUseWrite(SalePayment::Remote); }, kCampus, "080", "13", 1, 5, "续用充值",
     80, 0, 80, "080", 30, 20, 0, "13 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"续用 after another operation", [] { return ContinuedUseWrite(SalePayment::Energy); }, kNormal, "080", "13", 1, 5,
     "正常充值", 1080, 30, 140, "080", 30, 20, 4, "03 00001234 0080 200A 030 20", "写卡成功", "收讫", true},
    {"IC 增容充值 (\"80\" against \"080\")", [] { return IcTopUpWrite(SalePayment::Energy); }, kNormal, "080", "04", 2,
     5, "增容充值", 1080, 30, 140, "80", 30, 20, 4, "07 00001234 0080 080% 030 20", "写卡成功", "收讫", true},
    {"IC 增容充值 remote", [] { return IcTopUpWrite(SalePayment::Remote); }, kNormal, "080", "04", 2, 5, "增容充值",
     1080, 30, 140, "80", 30, 20, 0, "07 00001234 0080 080% 030 20", "写卡成功", "收讫", true},
    {"IC 正常充值", [] { return IcTopUpWrite(SalePayment::Energy); }, kNormal, "80", "04", 2, 5, "正常充值", 1080, 30,
     140, "80", 25, 15, 4, "03 00001234 0080 800% 025 15", "写卡成功", "收讫", true},
    {"IC 正常充值 by money", [] { return IcTopUpWrite(SalePayment::Money); }, kNormal, "80", "04", 2, 5, "正常充值",
     1080, 30, 140, "80", 25, 15, 0, "03 00001234 0080 800% 025 15", "写卡成功", "收讫", true},
    {"返卡退费 of a used top-up card",
     [] { return ReturnCardRefundWrite(QStringLiteral("返卡退费"), QStringLiteral("00001234"), 4); }, kNormal, "080",
     "04", 1, 5, "返卡退费", 1000, 30, 60, "080", 30, 20, 0, "", "写卡成功", "收讫", true},
    {"校园退费 of a refund-marked card",
     [] { return ReturnCardRefundWrite(QStringLiteral("校园退费"), QStringLiteral("00001234"), 13); }, kNormal, "080",
     "13", 1, 4, "校园退费", 1000, 30, 60, "080", 30, 20, 0, "", "写卡成功", "收讫", true},
};

} // namespace

TEST_F(WriteMembersTest, EachMemberStoresItsRowSendsItsCommandAndIsPaidOrNot)
{
    for (const MemberCase& c : kMembers) {
        SCOPED_TRACE(c.name);
        ClearArchive();
        QFile::remove(QDir(fresh.AppDir()).filePath(QStringLiteral("CardSim.log")));
        Archive(QString::fromUtf8(c.lastOp), QString::fromUtf8(c.imageLimit));
        PutCard(QString::fromUtf8(c.cardCode), c.family);
        host.stateAtPayment.clear();

        Run(c.make());

        ASSERT_EQ(Count(QStringLiteral("select * from WrtRecord")), 2);
        const QMap<QString, QString> row = NewestRow();
        EXPECT_EQ(row["WrtNum"].toInt(), c.wrtNum);
        EXPECT_EQ(row["OpMode"], QString::fromUtf8(c.opMode));
        EXPECT_EQ(row["AccuBuy"].toInt(), c.accuBuy);
        EXPECT_DOUBLE_EQ(row["AccuUse"].toDouble(), c.accuUse);
        EXPECT_DOUBLE_EQ(row["AccuRemain"].toDouble(), c.accuRemain);
        EXPECT_EQ(row["LimitValue"], QString::fromUtf8(c.limit));
        EXPECT_EQ(row["AlarmShold"].toInt(), c.alarm);
        EXPECT_EQ(row["CloseShold"].toInt(), c.cutOff);
        EXPECT_DOUBLE_EQ(row["PrePay"].toDouble(), c.prePay);
        EXPECT_EQ(Commands(), *c.command ? QStringList{QString::fromUtf8(c.command)} : QStringList());
        EXPECT_EQ(row["State"], QString::fromUtf8(c.afterPayment));
        EXPECT_EQ(Count(QStringLiteral("select * from ClientPay where WrtIndex = %1").arg(row["WrtIndex"])),
                  c.paid ? 1 : 0);
        if (c.paid) {
            EXPECT_EQ(host.stateAtPayment, QString::fromUtf8(c.afterConfirmation));
        }
        // The card image takes the confirmed row.
        EXPECT_EQ(fresh.Value(QStringLiteral("select OpMode from PreLastWrt")), QString::fromUtf8(c.opMode));
        EXPECT_EQ(fresh.Value(QStringLiteral("select WrtNum from PreLastWrt")).toInt(), c.wrtNum);
        // Only the rewrite voids the earlier sale.
        EXPECT_EQ(EarlierState(), QString::fromUtf8(c.opMode) == QStringLiteral("修改充值") ? "作废" : "收讫");
        // Every sale row has its price shares.
        EXPECT_EQ(Count(QStringLiteral("select * from WrtPrice where WrtIndex = %1").arg(row["WrtIndex"])), 1);
    }
}

// A write kind put together wrongly fails before anything is asked, sent or
// stored: a row claimed to go onto a card without a command must not pass
// for written and paid.
TEST_F(WriteMembersTest, AContradictoryWriteKindFailsBeforeAnythingIsStored)
{
    struct Case
    {
        const char* name;
        std::function<SaleWriteDescriptor()> make;
        const char* text;
    };
    const Case cases[] = {
        {"a card write without a command",
         [] {
             SaleWriteDescriptor d = CSaleWriteEngine::TopUp(SalePayment::Energy);
             d.cardWrite = nullptr;
             return d;
         },
         "正常充值没有写卡命令，不能写卡！"},
        {"a command without a card write",
         [] {
             SaleWriteDescriptor d = ModifyTopUpWrite(SalePayment::Money);
             d.writesCard = false;
             return d;
         },
         "修改充值不写卡，却带有写卡命令！"},
        {"a refund without its purchase",
         [] {
             SaleWriteDescriptor d = ReturnCardRefundWrite(QStringLiteral("校园退费"), kMeter, 13);
             d.purchase = nullptr;
             return d;
         },
         "校园退费没有退费计算，不能退费！"},
    };
    Archive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutCard(QStringLiteral("04"), 1);
        host.calls.clear();
        sink.Clear();
        try {
            Run(c.make());
            ADD_FAILURE() << "the write ran";
        } catch (const CKvException& e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(c.text));
        }
        EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(u',').toStdString();
        EXPECT_TRUE(sink.Texts().isEmpty());
        EXPECT_TRUE(Commands().isEmpty());
        EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord")), 1);
        EXPECT_EQ(Count(QStringLiteral("select * from ClientPay")), 1);
    }
}

// The checks before anything is asked or entered: each refusal stores
// nothing, sends no card command and opens no purchase input.
TEST_F(WriteMembersTest, TheChecksOfTheLastWriteStopBeforeAnyInput)
{
    struct Setup
    {
        const char* name;
        const char* change; // on the archive of a paid sale
        const char* text;
    };
    const Setup setups[] = {
        {"no earlier sale", "delete from WrtRecord", "找不到上次写卡记录！"},
        {"write numbers differ", "update PreLastWrt set WrtNum = 3", "上次写卡次数校验错误！"},
    };
    const std::pair<const char*, std::function<SaleWriteDescriptor()>> members[] = {
        {"修改充值", [] { return ModifyTopUpWrite(SalePayment::Energy); }},
        {"补卡补值", [] { return IcReissueRestoreWrite(); }},
        {"续用充值 remote", [] { return ContinuedUseWrite(SalePayment::Remote); }},
        {"返卡退费", [] { return ReturnCardRefundWrite(QStringLiteral("返卡退费"), kMeter, 4); }},
    };
    for (const Setup& s : setups) {
        for (const auto& [name, make] : members) {
            SCOPED_TRACE(std::string(s.name) + " / " + name);
            ClearArchive();
            Archive();
            exec(QString::fromUtf8(s.change));
            host.Load(kClient, kMeter);
            sink.Clear();
            Run(make());
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(s.text)});
            EXPECT_TRUE(host.calls.filter(QStringLiteral("input")).isEmpty()) << host.calls.join(u',').toStdString();
            EXPECT_TRUE(Commands().isEmpty());
            EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord where WrtIndex <> %1").arg(kEarlier)), 0);
        }
    }
}

TEST_F(WriteMembersTest, TheRewriteAsksBeforeItVoidsAndRefusesAPaymentAheadOfTheCard)
{
    const QString voidQuestion = QStringLiteral("对未用充值卡写卡，将使卡上电量作废，继续吗？");
    struct Case
    {
        const char* name;
        const char* change;
        QList<int> answers;
        QStringList texts;
    };
    const Case cases[] = {
        {"a 补卡补值 card not yet used",
         "update PreLastWrt set OpMode = '补卡补值'",
         {},
         {"该卡是未用的补卡补值卡，不能进行改写电量！"}},
        {"No to the void", "", {IDNO}, {voidQuestion}},
        {"unpaid, No", "update CliBalance set WrtNum = 3", {IDYES, IDNO}, {voidQuestion, "未用充值尚未付款，确认吗？"}},
        {"paid, No", "", {IDYES, IDNO}, {voidQuestion, "未用充值已经付款，确认吗？"}},
        {"a payment ahead of the card",
         "update CliBalance set WrtNum = 5",
         {IDYES},
         {voidQuestion, "付款数据发生错误！"}},
    };
    Archive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exec(QStringLiteral("update PreLastWrt set OpMode = '正常充值'"));
        exec(QStringLiteral("update CliBalance set WrtNum = 4"));
        if (*c.change)
            exec(QString::fromUtf8(c.change));
        host.Load(kClient, kMeter);
        sink.Clear();
        for (int answer : c.answers)
            sink.QueueAnswer(answer);
        Run(ModifyTopUpWrite(SalePayment::Energy));
        EXPECT_EQ(sink.Texts(), c.texts);
        EXPECT_TRUE(host.calls.filter(QStringLiteral("input")).isEmpty());
        EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord")), 1);
        EXPECT_EQ(EarlierState(), QStringLiteral("收讫"));
    }
}

// Paid 26 for the earlier sale from a balance of 2; the new 40 units cost 20:
// the breakdown pays 8 back, the payment still asks for the whole 18.
TEST_F(WriteMembersTest, ARewriteForLessShowsTheRefundButIsPaidInFull)
{
    Archive(QStringLiteral("正常充值"), QStringLiteral("080"), 0);
    PutCard(QStringLiteral("03"), 1);
    host.units = 40;
    Run(ModifyTopUpWrite(SalePayment::Energy));

    ASSERT_EQ(sink.Texts().size(), 4);
    EXPECT_EQ(sink.Texts()[2],
              QStringLiteral("本次购电量为：40 度\t\t\t\n\n补助电量为：0 度\n\n"
                             "根据线损计算方法，另计线损：0.0度\n\n根据变压器使用情况，另计变损：0.0度\n\n"
                             "应缴电费：20.00 元\n\n应缴预提：0.00 元\n\n应缴附表计费：0.00元\n\n"
                             "应缴定额收费：0.00元\n\n用户余额：2.00元\n\n本次应退款为：8.00元\n\n继续吗？"));
    EXPECT_TRUE(host.calls.contains(QStringLiteral("pay by energy 18.00 ")));
    const QMap<QString, QString> pay =
        fresh.Row(QStringLiteral("select * from ClientPay where WrtIndex <> %1").arg(kEarlier));
    EXPECT_DOUBLE_EQ(pay["TotFee"].toDouble(), 20);
    EXPECT_DOUBLE_EQ(pay["RealPay"].toDouble(), 18);
    EXPECT_DOUBLE_EQ(pay["LastBalance"].toDouble(), 2);
    EXPECT_DOUBLE_EQ(pay["ThisBalance"].toDouble(), 0);
    // The voided sale keeps its payment.
    EXPECT_EQ(EarlierState(), QStringLiteral("作废"));
    EXPECT_EQ(Count(QStringLiteral("select * from ClientPay where WrtIndex = %1").arg(kEarlier)), 1);
}

TEST_F(WriteMembersTest, DecliningTheRewriteOfAnUnpaidTopUpRemindsToWriteZero)
{
    const QString reminder = QStringLiteral("未用充值未收费，请充零值后再交给用户！");
    for (const auto& [balanceWrtNum, reminded] : {std::pair{3, true}, std::pair{4, false}}) {
        SCOPED_TRACE(balanceWrtNum);
        ClearArchive();
        Archive(QStringLiteral("正常充值"), QStringLiteral("080"), 0);
        exec(QStringLiteral("update CliBalance set WrtNum = %1").arg(balanceWrtNum));
        host.Load(kClient, kMeter);
        sink.Clear();
        for (int answer : {IDYES, IDYES, IDNO})
            sink.QueueAnswer(answer);
        Run(ModifyTopUpWrite(SalePayment::Energy));
        ASSERT_GE(sink.Texts().size(), 3);
        // Unpaid: from the current balance, the new amount in full.
        EXPECT_TRUE(sink.Texts()[2].endsWith(
            reminded ? QStringLiteral("用户余额：10.00元\n\n本次应收款为：30.00元\n\n继续吗？")
                     : QStringLiteral("用户余额：2.00元\n\n本次应收款为：12.00元\n\n继续吗？")))
            << sink.Texts()[2].toStdString();
        EXPECT_EQ(sink.Texts().size() == 4 && sink.Texts()[3] == reminder, reminded);
        EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord")), 1);
    }
}

TEST_F(WriteMembersTest, AFailedConfirmationOfARewriteKeepsTheEarlierSale)
{
    Archive();
    PutCard(QStringLiteral("03"), 1);
    host.failLinking = true;
    EXPECT_THROW(Run(ModifyTopUpWrite(SalePayment::Energy)), CKvException);
    EXPECT_EQ(EarlierState(), QStringLiteral("收讫"));
    EXPECT_EQ(NewestRow()["State"], QStringLiteral("待写"));
    EXPECT_EQ(Count(QStringLiteral("select * from ClientPay")), 1);
    EXPECT_EQ(fresh.Value(QStringLiteral("select WrtIndex from PreLastWrt")).toInt(), kEarlier);
    // What the dialog holds is what was stored.
    EXPECT_EQ(host.SaleHistory().At(0)->GetStateWord(), QStringLiteral("收讫"));
    EXPECT_EQ(host.SaleHistory().At(1)->GetStateWord(), QStringLiteral("待写"));
    EXPECT_EQ(host.lastWrt.GetWrtIndex(), kEarlier);
    EXPECT_EQ(host.lastWrt.GetOpMode(), fresh.Value(QStringLiteral("select OpMode from PreLastWrt")));
}

// A refund whose payment cannot be stored leaves the balance the dialog hands
// back to the meter dialog as it is stored.
TEST_F(WriteMembersTest, AFailedRefundPaymentLeavesTheStoredBalance)
{
    Archive();
    exec(QStringLiteral("update WrtRecord set BuyValue = 100, FreeValue = 50"));
    exec(QStringLiteral("update CliBalance set ThisBalance = 10"));
    host.Load(kClient, kMeter);
    host.card.remaining = 30;
    exec(QStringLiteral("create trigger Fail before update on WrtRecord when new.State = '收讫' "
                        "begin select raise(abort, 'no'); end"));
    EXPECT_THROW(Run(ReturnCardRefundWrite(QStringLiteral("返卡退费"), kMeter, 4)), CKvException);
    EXPECT_EQ(Count(QStringLiteral("select * from ClientPay")), 1);
    EXPECT_DOUBLE_EQ(fresh.Value(QStringLiteral("select ThisBalance from CliBalance")).toDouble(), 10);
    EXPECT_DOUBLE_EQ(host.balance.GetThisBalance(), 10);
    EXPECT_EQ(host.balance.GetPayIndex(), fresh.Value(QStringLiteral("select PayIndex from CliBalance")).toInt());
    EXPECT_EQ(host.SaleHistory().At(1)->GetStateWord(), QStringLiteral("写卡成功"));
}

// The history of the meter: 100 kWh bought and 50 free; the card price 0.6.
TEST_F(WriteMembersTest, ARefundBuysBackOnlyBoughtEnergyAndPaysItOut)
{
    struct Case
    {
        double remaining;
        int refunded;
        double fee;
    };
    for (const Case& c : {Case{120, 100, 60}, Case{30, 30, 18}}) {
        SCOPED_TRACE(c.remaining);
        ClearArchive();
        Archive();
        exec(QStringLiteral("update WrtRecord set BuyValue = 100, FreeValue = 50"));
        exec(QStringLiteral("update CliBalance set ThisBalance = 0"));
        host.Load(kClient, kMeter);
        host.card.remaining = c.remaining;
        sink.Clear();
        Run(ReturnCardRefundWrite(QStringLiteral("返卡退费"), kMeter, 4));

        EXPECT_TRUE(host.calls.contains(QStringLiteral("input by energy 0")));
        EXPECT_TRUE(host.calls.contains(QStringLiteral("pay by energy %1 返卡退费").arg(-c.fee, 0, 'f', 2)));
        EXPECT_TRUE(sink.Texts().value(0).startsWith(QStringLiteral("剩余电量为：%1 度").arg(c.refunded)));
        const QMap<QString, QString> row = NewestRow();
        EXPECT_EQ(row["WrtValue"].toInt(), -c.refunded);
        EXPECT_EQ(row["BuyValue"].toInt(), -c.refunded);
        EXPECT_EQ(row["FreeValue"].toInt(), 0);
        EXPECT_DOUBLE_EQ(row["Fee"].toDouble(), -c.fee);
        EXPECT_DOUBLE_EQ(row["Price"].toDouble(), 0.6);
        const QMap<QString, QString> pay =
            fresh.Row(QStringLiteral("select * from ClientPay where WrtIndex = %1").arg(row["WrtIndex"]));
        EXPECT_DOUBLE_EQ(pay["TotFee"].toDouble(), -c.fee);
        EXPECT_DOUBLE_EQ(pay["RealPay"].toDouble(), -c.fee);
        EXPECT_DOUBLE_EQ(pay["ThisBalance"].toDouble(), 0);
        EXPECT_DOUBLE_EQ(fresh.Value(QStringLiteral("select ThisBalance from CliBalance")).toDouble(), 0);
        // The price shares are the earlier sale's.
        EXPECT_EQ(
            fresh.Value(QStringLiteral("select PriceIndex from WrtPrice where WrtIndex = %1").arg(row["WrtIndex"])),
            QStringLiteral("3"));
    }
}

TEST_F(WriteMembersTest, ARefundOfAnotherMetersCardStoresNothing)
{
    Archive();
    Run(ReturnCardRefundWrite(QStringLiteral("返卡退费"), QStringLiteral("00005678"), 4));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("最近读过的卡号与用户卡号不符！")});
    EXPECT_EQ(Count(QStringLiteral("select * from WrtRecord")), 1);
}

TEST_F(WriteMembersTest, TheRestoreIsNeverPaidAndLeavesTheRestoredPurchaseLast)
{
    Archive();
    PutCard(QStringLiteral("06"), 1);
    Run(ReissueRestoreWrite());
    const QMap<QString, QString> row = NewestRow();
    EXPECT_EQ(row["State"], QStringLiteral("补值成功"));
    EXPECT_EQ(row["WrtValue"], QStringLiteral("50"));
    EXPECT_EQ(Count(QStringLiteral("select * from ClientPay")), 1);
    EXPECT_TRUE(host.calls.filter(QStringLiteral("pay")).isEmpty());
    EXPECT_FALSE(host.calls.contains(QStringLiteral("receipt")));
    EXPECT_TRUE(host.calls.filter(QStringLiteral("link")).isEmpty());
    ASSERT_EQ(host.SaleHistory().GetCount(), 1);
    EXPECT_EQ(host.SaleHistory().At(0)->GetWrtIndex(), kEarlier);

    // An unconfirmed write keeps its row under the reply.
    PutCard(QStringLiteral("06"), 1);
    sim.QueueReply(QStringLiteral("ALARM! nowrite"));
    sink.QueueAnswer(IDYES);
    sink.QueueAnswer(IDNO);
    Run(ReissueRestoreWrite());
    EXPECT_EQ(NewestRow()["State"], QStringLiteral("应答信号错误"));
}

TEST_F(WriteMembersTest, AfterACapacityIncreaseTheNextIcTopUpIsNormal)
{
    Archive();
    PutCard(QStringLiteral("04"), 2);
    Run(IcTopUpWrite(SalePayment::Energy));
    EXPECT_EQ(NewestRow()["OpMode"], QStringLiteral("增容充值"));
    host.Load(kClient, kMeter);
    host.card.count = 5;
    Run(IcTopUpWrite(SalePayment::Energy));
    EXPECT_EQ(NewestRow()["OpMode"], QStringLiteral("正常充值"));
    EXPECT_EQ(Commands(), (QStringList{"07 00001234 0080 080% 030 20", "03 00001234 0080 800% 025 15"}));

    // A meter limit without digits goes out as 000%.
    exec(QStringLiteral("update CliPre set LimitValue = '无'"));
    host.Load(kClient, kMeter);
    host.card.archiveLimit = QStringLiteral("无");
    Run(IcTopUpWrite(SalePayment::Energy));
    EXPECT_EQ(Commands().last(), QStringLiteral("07 00001234 0080 000% 030 20"));
}

// Without withholding a balance short by under half a cent: the IC top-up
// asks for the unrounded difference, the infrared one for nothing.
TEST_F(WriteMembersTest, AnIcTopUpByKwhAsksForWhatIsShortEvenUnderHalfACent)
{
    Archive(QStringLiteral("正常充值"), QStringLiteral("80"), 0);
    exec(QStringLiteral("update CliBalance set ThisBalance = 39.997"));
    host.Load(kClient, kMeter);
    PutCard(QStringLiteral("04"), 2);
    Run(IcTopUpWrite(SalePayment::Energy));
    EXPECT_NEAR(context.amounts.due, 0.003, 1e-9);
    EXPECT_DOUBLE_EQ(context.amounts.newBalance, 0);

    PutCard(QStringLiteral("04"), 1);
    exec(QStringLiteral("update CliBalance set ThisBalance = 39.997"));
    host.Load(kClient, kMeter);
    Run(CSaleWriteEngine::TopUp(SalePayment::Energy));
    EXPECT_DOUBLE_EQ(context.amounts.due, 0);
    EXPECT_DOUBLE_EQ(context.amounts.newBalance, 0);
}

// The dispatch looked at the card image; the member looks at the last write.
TEST_F(WriteMembersTest, AContinuedUseAfterAnotherLastWriteIsAnOrdinaryTopUp)
{
    Archive();
    exec(QStringLiteral("update PreLastWrt set OpMode = '校园退费'"));
    host.Load(kClient, kMeter);
    PutCard(QStringLiteral("13"), 1);
    Run(ContinuedUseWrite(SalePayment::Energy));
    EXPECT_EQ(NewestRow()["OpMode"], QStringLiteral("正常充值"));
    EXPECT_EQ(NewestRow()["AccuBuy"], QStringLiteral("1080"));
    EXPECT_EQ(Commands(), QStringList{"03 00001234 0080 200A 030 20"});
}

// Another counter's payment to the same household lands while the payment is
// asked for (the balance row goes from 10 to `otherBalance`): every write kind
// that is paid tells the cashier, figures the due again on the balance as it
// is now and asks the payment again; the payment stored starts from that
// balance and the balance row ends with it, never with a balance figured on
// the stale one. 80 units at 0.5 (40.00) without withholding.
TEST_F(WriteMembersTest, APaymentOnABalanceChangedSinceTheCardReadIsFiguredAgainOnTheBalanceAsItIsNow)
{
    const struct
    {
        const char* name;
        std::function<SaleWriteDescriptor()> make;
        const char* cardCode;
        double money;         // what a money or remote input enters
        double otherBalance;  // the other counter's payment leaves this
        const char* payments; // the payment asked, before and after
        double lastBalance;   // the payment stored
        double thisBalance;
        double realPay;
    } cases[] = {
        {"补卡充值 by kWh", [] { return ReissueTopUpWrite(SalePayment::Energy); }, "06", 0, 100,
         "pay by energy 30.00 |pay by energy 0.00 ", 100, 60, 0},
        // The money handed over (30) no longer makes up the 40.00 with a
        // balance of 0: the rest is asked for.
        {"补卡充值 by money", [] { return ReissueTopUpWrite(SalePayment::Money); }, "06", 30, 0,
         "pay by money 40.00 30.00|pay by money 40.00 40.00", 0, 0, 40},
        {"补卡充值 remote", [] { return ReissueTopUpWrite(SalePayment::Remote); }, "06", 50, 0,
         "confirm remote 40.00 50.00|confirm remote 40.00 50.00", 0, 0, 40},
        // A remote payment (30) short of the 40.00 with a balance of 0: what
        // it lacks stays owed.
        {"补卡充值 remote, short", [] { return ReissueTopUpWrite(SalePayment::Remote); }, "06", 30, 0,
         "confirm remote 40.00 30.00|confirm remote 40.00 30.00", 0, -10, 30},
        // Paid earlier: the rewrite starts from the balance before the
        // latest payment, as the row holds it now.
        {"修改充值 by kWh", [] { return ModifyTopUpWrite(SalePayment::Energy); }, "03", 0, 100,
         "pay by energy 38.00 |pay by energy 30.00 ", 10, 0, 30},
        // 30 units left of 100 bought and 50 free at 0.6: 18.00 back, with
        // the balance.
        {"返卡退费", [] { return ReturnCardRefundWrite(QStringLiteral("返卡退费"), kMeter, 4); }, "04", 0, 100,
         "pay by energy -28.00 返卡退费|pay by energy -118.00 返卡退费", 100, 0, -118},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearArchive();
        Archive(QStringLiteral("正常充值"), QStringLiteral("080"), 0);
        exec(QStringLiteral("update WrtRecord set BuyValue = 100, FreeValue = 50"));
        host.Load(kClient, kMeter);
        host.card.remaining = 30;
        host.money = c.money;
        PutCard(QString::fromUtf8(c.cardCode), 1);
        bool landed = false;
        host.atPayment = [&] {
            if (landed)
                return;
            landed = true;
            exec(QStringLiteral("update CliBalance set PayIndex = 100000900, ThisBalance = %1, LastBalance = 10")
                     .arg(c.otherBalance));
        };
        sink.Clear();

        Run(c.make());
        host.atPayment = nullptr;

        QStringList payments = host.calls.filter(QRegularExpression(QStringLiteral("^(pay|confirm) ")));
        EXPECT_EQ(payments.join(u'|'), QString::fromUtf8(c.payments));
        EXPECT_EQ(sink.Texts()
                      .filter(QStringLiteral("该用户的余额已被其他售电操作改变：读卡时为10.00元，现在为%1元。")
                                  .arg(c.otherBalance, 0, 'f', 2))
                      .size(),
                  1)
            << sink.Texts().join(u'|').toStdString();
        const QMap<QString, QString> row = NewestRow();
        EXPECT_EQ(row["State"], QStringLiteral("收讫"));
        const QMap<QString, QString> pay =
            fresh.Row(QStringLiteral("select * from ClientPay where WrtIndex = %1").arg(row["WrtIndex"]));
        EXPECT_DOUBLE_EQ(pay["LastBalance"].toDouble(), c.lastBalance);
        EXPECT_DOUBLE_EQ(pay["ThisBalance"].toDouble(), c.thisBalance);
        EXPECT_DOUBLE_EQ(pay["RealPay"].toDouble(), c.realPay);
        const QMap<QString, QString> balance = fresh.Row(QStringLiteral("select * from CliBalance"));
        EXPECT_EQ(balance["PayIndex"], pay["PayIndex"]);
        EXPECT_DOUBLE_EQ(balance["ThisBalance"].toDouble(), c.thisBalance);
        EXPECT_DOUBLE_EQ(host.balance.GetThisBalance(), c.thisBalance);
    }
}

// Paying the due as it is shown (39.49 of 39.494995) leaves the balance in
// the cents taken: 0, not a fraction of a cent below it.
TEST_F(WriteMembersTest, ADuePaidAsShownLeavesNoFractionOfACentOnTheBalance)
{
    Archive(QStringLiteral("正常充值"), QStringLiteral("080"), 0);
    exec(QStringLiteral("update CliBalance set ThisBalance = 0.505005"));
    host.Load(kClient, kMeter);
    host.payAsShown = true;
    PutCard(QStringLiteral("06"), 1);
    Run(ReissueTopUpWrite(SalePayment::Energy));
    EXPECT_TRUE(host.calls.contains(QStringLiteral("pay by energy 39.49 ")));
    const double stored = fresh.Value(QStringLiteral("select ThisBalance from CliBalance")).toDouble();
    EXPECT_EQ(stored, 0.0);
    EXPECT_EQ(context.amounts.newBalance, 0.0);
    EXPECT_FALSE(std::signbit(context.amounts.newBalance));
}
