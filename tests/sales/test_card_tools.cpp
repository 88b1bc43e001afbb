// The card tool command layer end to end: the built stand-ins of the card
// tools run in a temporary program folder over their simulated reader.

#include "CCardToolSim.h"
#include "CCardWriter.h"
#include "CSysPara.h"
#include "CardToolTestHelpers.h"
#include "KvTestSupport.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kMeter = QStringLiteral("00001234");

class CardToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CopyCardTools(app.Path());
        GetLocalSysPara()->SetMachineCode(QStringLiteral("A07"));
    }
    void TearDown() override { ReleaseProcessObjects(); }

    QStringList Fields(CCardWriter& writer) const
    {
        QStringList fields;
        int count = 0;
        writer.GetFields(fields, count);
        return fields;
    }
    // A side command of the sale tool, as a person at the meter would use it.
    QString Side(const QStringList& arguments) const
    {
        QProcess tool;
        tool.start(app.FilePath(CCardWriter::SaleToolName()), arguments);
        EXPECT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << arguments.join(u' ').toStdString();
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }

    CRecordingMessageSink sink;
    CTempAppDirectory app;
    CCardToolSim sim{app.Path()};
};

} // namespace

TEST_F(CardToolsTest, AnInfraredCardCarriesEachWriteIntoTheMeterAndBack)
{
    CCardWriter writer(3, nullptr);
    QString result;
    ASSERT_EQ(writer.WriteOpenCard(QStringLiteral("1234"), 100, result), 1);
    EXPECT_EQ(result, QStringLiteral("写卡成功"));
    writer.ReadCard();
    EXPECT_EQ(Fields(writer).mid(1, 8), (QStringList{"01", kMeter, "0", "100", "0", "0", "0", "200"}));

    // Into the meter, some use, back into the meter.
    EXPECT_TRUE(Side({"--insert", "3"}).startsWith(QStringLiteral("card 01 -> 02")));
    EXPECT_EQ(Side({"--use", kMeter, "30"}), QStringLiteral("used 30"));
    Side({"--insert", "3"});

    // The top-up counts one more write and leaves the figures for the meter.
    ASSERT_EQ(writer.WriteRechargeCard(kMeter, 50, result), 1);
    writer.ReadCard();
    EXPECT_EQ(Fields(writer).mid(1, 7), (QStringList{"03", kMeter, "1", "50", "30", "100", "70"}));
    Side({"--insert", "3"});
    writer.ReadCard();
    EXPECT_EQ(Fields(writer).mid(1, 7), (QStringList{"04", kMeter, "1", "50", "30", "150", "120"}));

    // The log holds every run with the machine code the tool read.
    const QStringList log = sim.Log();
    EXPECT_TRUE(log.first().startsWith(QStringLiteral("Tarlisk [\"A07\"] 0 1 1 3 02 00001234 0100 200A 030 20 => "
                                                      "\"OK!\" (written)")))
        << log.first().toStdString();
}

TEST_F(CardToolsTest, AnIcTopUpAddsAtOnceAndItsRewriteReplacesTheAmount)
{
    CCardWriter writer(2, nullptr);
    QString result;
    ASSERT_EQ(writer.WriteIcOpenCard(kMeter, 100, 80, 30, 20, result), 1);
    Side({"--insert", "2"});
    ASSERT_EQ(writer.WriteIcRechargeCard(kMeter, 50, 30, 20, result), 1);
    writer.ReadIcCard();
    EXPECT_EQ(Fields(writer).mid(1, 8), (QStringList{"03", kMeter, "1", "50", "0", "150", "150", "800"}));
    ASSERT_EQ(writer.WriteIcModifyCard(kMeter, 80, 30, 20, result), 1);
    writer.ReadIcCard();
    EXPECT_EQ(Fields(writer).mid(1, 7), (QStringList{"03", kMeter, "1", "80", "0", "180", "180"}));
    Side({"--insert", "2"});
    EXPECT_EQ(sim.Meter(kMeter).purchase, 180);
    EXPECT_EQ(writer.TestPort(), 1);
}

TEST_F(CardToolsTest, AnUncertainWriteIsSettledByReadingTheCardBack)
{
    CSimCard card;
    card.code = QStringLiteral("04");
    card.meterNo = kMeter;
    card.count = 4;
    sim.SetCard(1, card);

    // The write was lost: the card still reads 04, the operator gives up.
    sim.QueueReply(QStringLiteral("ALARM! nowrite"));
    sink.QueueAnswer(IDYES);
    sink.QueueAnswer(IDNO);
    CCardWriter writer(1, nullptr);
    QString result;
    EXPECT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 0);
    EXPECT_EQ(result, QStringLiteral("应答信号错误"));
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("写后读卡状态不符，是否继续读卡？"));
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("04"));

    // The write reached the card: the read-back confirms it.
    sink.Clear();
    sim.QueueReply(QStringLiteral("TIMEOUT!"));
    sink.QueueAnswer(IDYES);
    EXPECT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 1);
    EXPECT_EQ(result, QStringLiteral("写卡成功"));
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("写卡成功"));
    EXPECT_EQ(sim.Card(1).count, 5);
}

TEST_F(CardToolsTest, ASpecialCardWithoutMeterPassesTheReadBack)
{
    sim.QueueReply(QStringLiteral("ALARM!"));
    sink.QueueAnswer(IDYES);
    CCardWriter writer(5, nullptr);
    EXPECT_EQ(writer.WriteEmergencyCard(30), 1);
    EXPECT_EQ(Fields(writer).mid(1, 4), (QStringList{"10", "00000000", "0", "30"}));
}

TEST_F(CardToolsTest, TheToolsFailuresReachTheOperatorAsTheyAre)
{
    CCardWriter writer(1, nullptr);
    QString result;

    // An ERROR line, in GBK, shown as the tool wrote it.
    sim.QueueReply(QStringLiteral("ERROR:读卡器未连接"));
    writer.ReadCard();
    EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("ERROR"));
    EXPECT_EQ(Fields(writer), QStringList(10));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("ERROR:读卡器未连接")});

    // A torn reply is no success, and the card was not written (no read-back).
    sim.QueueReply(QStringLiteral("TORN"));
    sink.QueueAnswer(IDNO);
    EXPECT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 0);
    EXPECT_EQ(result, QStringLiteral("未知错误"));
    EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("\"O"));
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("00"));

    sim.QueueReply(QStringLiteral("EMPTY"));
    EXPECT_EQ(ThrownText([&] { writer.WriteRechargeCard(kMeter, 20, result); }),
              QStringLiteral("打开接口数据文件失败！"));

    sim.QueueReply(QStringLiteral("FAIL!"));
    EXPECT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 0);
    EXPECT_EQ(result, QStringLiteral("写卡失败"));
}

TEST_F(CardToolsTest, AStaleOkNeverConfirmsAWriteThatLeftNoReply)
{
    CCardWriter writer(1, nullptr);
    QString result;
    ASSERT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 1); // TempSale.dat now holds "OK!"
    sim.QueueReply(QStringLiteral("NOFILE"));
    sink.Clear();
    result.clear();
    EXPECT_EQ(ThrownText([&] { writer.WriteRechargeCard(kMeter, 30, result); }),
              QStringLiteral("找不到接口数据文件: %1!").arg(QDir(app.Path()).filePath(QStringLiteral("TempSale.dat"))));
    EXPECT_TRUE(result.isEmpty());
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(sim.Card(1).amount, 20);
}

TEST_F(CardToolsTest, AnAmountOutOfRangeNeverReachesTheTool)
{
    CCardWriter writer(1, nullptr);
    QString result;
    EXPECT_EQ(writer.WriteIcRechargeCard(kMeter, 10000, 30, 20, result), 0);
    EXPECT_TRUE(sim.Log().isEmpty());
    EXPECT_EQ(writer.WriteIcRechargeCard(kMeter, 9999, 30, 20, result), 1);
    EXPECT_EQ(sim.Log().size(), 1);
    EXPECT_EQ(sim.Card(1).amount, 9999);
}

TEST_F(CardToolsTest, ReadingCardsAreUploadedOneAfterTheOther)
{
    sim.SetReadingCards(4, {QStringLiteral("MR-1234;0000;2026-12-01;1200;0;2026-12-01;300;0;;;;;;;;"),
                            QStringLiteral("MR-91234;0000;2026-12-02;88;1;;;;;;;;;;;")});
    CCardWriter writer(4, nullptr);
    QStringList fields;
    int count = 0;
    writer.UploadReadingCard();
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(count, 15);
    EXPECT_EQ(fields.mid(0, 4), (QStringList{kMeter, "0000", "2026-12-01", "1200"}));
    writer.UploadReadingCard();
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(fields.mid(0, 5), (QStringList{"00091234", "0000", "2026-12-02", "88", "1"}));
    EXPECT_EQ(sim.Log().last(),
              QStringLiteral("Membrel [\"A07\"] 0 0 0 4 => MR-91234;0000;2026-12-02;88;1;;;;;;;;;;;"));

    // An empty reader is the tool's error, shown to the operator.
    CCardWriter other(5, nullptr);
    other.UploadReadingCard();
    EXPECT_EQ(other.GetTransferReplyLine(), QStringLiteral("ERROR"));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("ERROR:无抄表卡")});
}

TEST_F(CardToolsTest, AReplacementCardReadsAgainstTheMeterItGoesInto)
{
    // The meter has loaded write 4 (purchase 300); the infrared replacement
    // card reads one write ahead with no amount, the IC one level with it.
    CSimMeter meter;
    meter.count = 4;
    meter.purchase = 300;
    meter.use = 120;
    meter.remaining = 180;
    meter.lastAmount = 60;
    sim.SetMeter(kMeter, meter);

    CCardWriter writer(1, nullptr);
    QString result;
    ASSERT_EQ(writer.WriteReplacementCard(kMeter, result), 1);
    Side({"--insert", "1"});
    writer.ReadCard();
    EXPECT_EQ(Fields(writer).mid(1, 7), (QStringList{"06", kMeter, "5", "0", "120", "300", "180"}));

    Side({"--card", "2", "family=2", "code=05", "meter=1234"});
    Side({"--insert", "2"});
    CCardWriter ic(2, nullptr);
    ic.ReadIcCard();
    EXPECT_EQ(Fields(ic).mid(1, 7), (QStringList{"06", kMeter, "4", "60", "120", "300", "180"}));
}

TEST_F(CardToolsTest, AToolThatCannotStartConfirmsNothing)
{
    CCardWriter writer(1, nullptr);
    QString result;
    ASSERT_EQ(writer.WriteRechargeCard(kMeter, 20, result), 1); // a reply "OK!" is left behind
    // The tool's file is there but is no program.
    const QString tool = app.FilePath(CCardWriter::SaleToolName());
    ASSERT_TRUE(QFile::remove(tool));
    QFile broken(tool);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a program");
    broken.close();
    result.clear();
    EXPECT_EQ(ThrownText([&] { writer.WriteRechargeCard(kMeter, 30, result); }),
              QStringLiteral("找不到指定的运行程序: %1！").arg(tool));
    EXPECT_TRUE(result.isEmpty());
    EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("ERROR"));
}

// The top-ups of the sales dialog beyond the ordinary one, each on the card it
// is sold to: what the card reads after the write.
TEST_F(CardToolsTest, EachTopUpLeavesTheCardAsARealOneWould)
{
    using Write = int (*)(CCardWriter&, QString&);
    struct Case
    {
        const char* name;
        int family;
        const char* code;  // the card before the write: count 4, amount 50, 30 / 200 / 170
        Write write;       // of 80 units
        QStringList after; // code, count, amount, use, purchase, remaining, limit
    };
    const Case cases[] = {
        {"续用充值 on a refund-marked card",
         1,
         "13",
         [](CCardWriter& w, QString& r) { return w.WriteContinueCard(kMeter, 80, r); },
         {"03", "5", "80", "0", "0", "0", "200"}},
        {"IC 正常充值",
         2,
         "04",
         [](CCardWriter& w, QString& r) { return w.WriteIcRechargeCard(kMeter, 80, 25, 15, r); },
         {"03", "5", "80", "30", "280", "250", "800"}},
        {"IC 增容充值",
         2,
         "04",
         [](CCardWriter& w, QString& r) { return w.WriteIcCapacityCard(kMeter, 80, 60, r); },
         {"03", "5", "80", "30", "280", "250", "60"}},
        {"IC 修改充值 of a top-up not yet used",
         2,
         "03",
         [](CCardWriter& w, QString& r) { return w.WriteIcModifyCard(kMeter, 80, 25, 15, r); },
         {"03", "4", "80", "30", "230", "200", "800"}},
        {"IC 补卡充值 on a used replacement card",
         2,
         "06",
         [](CCardWriter& w, QString& r) { return w.WriteIcModifyCard(kMeter, 80, 25, 15, r); },
         {"03", "5", "80", "30", "280", "250", "800"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Side({"--card", "1", QStringLiteral("family=%1").arg(c.family), QStringLiteral("code=%1").arg(c.code),
              "meter=1234", "count=4", "amount=50", "use=30", "purchase=200", "remaining=170"});
        CCardWriter writer(1, nullptr);
        QString result;
        ASSERT_EQ(c.write(writer, result), 1);
        EXPECT_EQ(result, QStringLiteral("写卡成功"));
        if (c.family == 2)
            writer.ReadIcCard();
        else
            writer.ReadCard();
        QStringList after = Fields(writer).mid(1, 8);
        after.removeAt(1); // the meter number
        EXPECT_EQ(after, c.after);
    }
}

// An IC card keeps what its writes put on it when it goes into the meter,
// while the meter takes the load; an infrared card brings the meter's figures.
TEST_F(CardToolsTest, AnIcCardGoingIntoTheMeterChangesOnlyItsCode)
{
    CSimMeter meter;
    meter.count = 4;
    meter.purchase = 200;
    meter.use = 60;
    meter.remaining = 140;
    sim.SetMeter(kMeter, meter);
    Side({"--card", "2", "family=2", "code=03", "meter=1234", "count=5", "amount=80", "use=30", "purchase=280",
          "remaining=250"});
    Side({"--insert", "2"});
    CCardWriter ic(2, nullptr);
    ic.ReadIcCard();
    EXPECT_EQ(Fields(ic).mid(1, 7), (QStringList{"04", kMeter, "5", "80", "30", "280", "250"}));
    EXPECT_EQ(sim.Meter(kMeter).purchase, 280);
    EXPECT_EQ(sim.Meter(kMeter).count, 5);

    // A continued-use card starts the meter anew at its amount.
    Side({"--card", "1", "family=1", "code=03", "meter=1234", "count=6", "amount=40", "restart=1"});
    Side({"--insert", "1"});
    CCardWriter infrared(1, nullptr);
    infrared.ReadCard();
    EXPECT_EQ(Fields(infrared).mid(1, 7), (QStringList{"04", kMeter, "6", "40", "0", "40", "40"}));
}
