// The card tool command layer against a scripted runner: each run of a tool
// takes the next scripted reply line and leaves it in the reply file.

#include "CCardWriter.h"
#include "CSysPara.h"
#include "KvGbk.h"
#include "KvTestSupport.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kOk = QStringLiteral("\"OK!\"");
const QString kFail = QStringLiteral("\"FAIL!\"");
const QString kAlarm = QStringLiteral("\"ALARM!\"");
const QString kTimeout = QStringLiteral("\"TIMEOUT!\"");
const QString kOutOfRange = QStringLiteral("写卡量超出有效值范围！");

class CardWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString& tool : {CCardWriter::SaleToolName(), CCardWriter::TransferToolName()}) {
            QFile file(app.FilePath(tool));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        GetLocalSysPara()->SetMachineCode(QStringLiteral("A07"));
        SetProgramRunner([this](const QString& program, const QStringList& arguments) {
            runs.push_back({QFileInfo(program).fileName(), arguments});
            if (!replies.empty()) {
                const QString file = QFileInfo(program).fileName() == CCardWriter::SaleToolName()
                                         ? CCardWriter::SaleReplyFileName()
                                         : CCardWriter::TransferReplyFileName();
                QFile reply(app.FilePath(file));
                EXPECT_TRUE(reply.open(QIODevice::WriteOnly | QIODevice::Truncate));
                reply.write(GbkEncode(replies.front()) + "\r\n");
                replies.pop_front();
            }
            return 0;
        });
    }
    void TearDown() override
    {
        SetProgramRunner(nullptr);
        ReleaseProcessObjects();
    }

    struct Run
    {
        QString program;
        QStringList arguments;
    };

    CRecordingMessageSink sink;
    CTempAppDirectory app;
    std::deque<QString> replies; // one per run; none: the runner writes no reply file
    std::vector<Run> runs;
};

// A card read reply of the given code and meter.
QString CardReply(const char* code, const char* meter)
{
    return QStringLiteral("X;%1;%2;5;100;20;120;100;40;").arg(QLatin1String(code), QLatin1String(meter));
}

} // namespace

TEST_F(CardWriterTest, EveryOperationRunsItsExactCommandLine)
{
    using Op = std::function<int(CCardWriter&)>;
    QString r;
    struct Case
    {
        const char* name;
        Op op;
        QString arguments; // the whole argument text, blanks of "%8s" included
    } cases[] = {
        {"ReadCard", [](CCardWriter& w) { return w.ReadCard(), 0; }, "0 1 1 3 01"},
        {"ClearCard", [](CCardWriter& w) { return w.ClearCard(); }, "0 1 1 3 00"},
        {"WriteOpenCard", [&r](CCardWriter& w) { return w.WriteOpenCard("1234", 150, r); },
         "0 1 1 3 02 00001234 0150 200A 030 20"},
        {"WriteRechargeCard", [&r](CCardWriter& w) { return w.WriteRechargeCard("1234", 9999, r); },
         "0 1 1 3 03 00001234 9999 200A 030 20"},
        {"WriteReplacementCard", [&r](CCardWriter& w) { return w.WriteReplacementCard("1234", r); },
         "0 1 1 3 04     1234 0000 200A 030 20"},
        {"WriteCancelCard", [&r](CCardWriter& w) { return w.WriteCancelCard("1234", r); },
         "0 1 1 3 05     1234 0000 200A 030 20"},
        {"WriteSettingCard", [&r](CCardWriter& w) { return w.WriteSettingCard("99999999", 60, 5, 2, r); },
         "0 1 1 3 06 99999999 0000 060A 005 02"},
        {"WriteEmergencyCard", [](CCardWriter& w) { return w.WriteEmergencyCard(50); }, "0 1 1 3 07 00000000 50"},
        {"WriteRefundCard", [](CCardWriter& w) { return w.WriteRefundCard(); }, "0 1 1 3 08"},
        {"WriteClearMeterCard", [](CCardWriter& w) { return w.WriteClearMeterCard(); }, "0 1 1 3 09"},
        {"WriteContinueCard", [&r](CCardWriter& w) { return w.WriteContinueCard("1234", 7, r); },
         "0 1 1 3 13 00001234 0007 200A 030 20"},
        {"WriteReplacementRecharge", [&r](CCardWriter& w) { return w.WriteReplacementRecharge("1234", 4, 80, r); },
         "0 1 1 3 14 00001234 004 0080 200A 030 20"},
        {"WriteSuperCard", [](CCardWriter& w) { return w.WriteSuperCard(); }, "0 1 1 3 15 99999999 0000 200A 030 20"},
        {"WriteSettingCardEx", [&r](CCardWriter& w) { return w.WriteSettingCardEx("99999999", 30, 20, 1600, 1, r); },
         "0 1 1 3 16 99999999 0000 200A 030 20 1600 1"},
        {"WriteUsedCard", [](CCardWriter& w) { return w.WriteUsedCard("91234567"); }, "0 1 1 3 17"},
        {"TestPort", [](CCardWriter& w) { return w.TestPort(); }, "0 2 1 3 20"},
        {"ReadIcCard", [](CCardWriter& w) { return w.ReadIcCard(), 0; }, "0 2 1 3 01"},
        {"ClearIcCard", [](CCardWriter& w) { return w.ClearIcCard(); }, "0 2 1 3 00"},
        {"WriteIcOpenCard", [&r](CCardWriter& w) { return w.WriteIcOpenCard("1234", 0, 80, 30, 20, r); },
         "0 2 1 3 02 00001234 0000 080% 030 20"},
        {"WriteIcRechargeCard", [&r](CCardWriter& w) { return w.WriteIcRechargeCard("1234", 150, 30, 20, r); },
         "0 2 1 3 03 00001234 0150 800% 030 20"},
        {"WriteIcModifyCard", [&r](CCardWriter& w) { return w.WriteIcModifyCard("1234", 150, 25, 5, r); },
         "0 2 1 3 04 00001234 0150 800% 025 05"},
        {"WriteIcCancelCard", [&r](CCardWriter& w) { return w.WriteIcCancelCard("1234", r); },
         "0 2 1 3 05     1234 0000 800% 030 20"},
        {"WriteIcCapacityCard", [&r](CCardWriter& w) { return w.WriteIcCapacityCard("1234", 150, 0, r); },
         "0 2 1 3 07 00001234 0150 000% 030 20"},
        {"UploadReadingCard", [](CCardWriter& w) { return w.UploadReadingCard(), 0; }, "0 0 0 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        runs.clear();
        replies = {kOk};
        CCardWriter writer(3, nullptr);
        c.op(writer);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(writer.GetLastArguments(), c.arguments);
        EXPECT_EQ(runs[0].arguments, SplitParameters(c.arguments));
        EXPECT_EQ(runs[0].program, c.arguments.startsWith(QStringLiteral("0 0 0")) ? QStringLiteral("Membrel")
                                                                                   : QStringLiteral("Tarlisk"));
    }
}

TEST_F(CardWriterTest, TheIcTopUpOfTheExampleRunsItsArgumentLine)
{
    replies = {kOk};
    CCardWriter writer(2, nullptr);
    QString result;
    EXPECT_EQ(writer.WriteIcRechargeCard(QStringLiteral("1234"), 150, 30, 20, result), 1);
    EXPECT_EQ(writer.GetLastArguments(), QStringLiteral("0 2 1 2 03 00001234 0150 800% 030 20"));
}

TEST_F(CardWriterTest, AnAmountOutsideItsRangeRunsNothing)
{
    using Op = std::function<int(CCardWriter&, int, QString&)>;
    const std::pair<const char*, Op> ops[] = {
        {"02", [](CCardWriter& w, int a, QString& r) { return w.WriteOpenCard("1234", a, r); }},
        {"03", [](CCardWriter& w, int a, QString& r) { return w.WriteRechargeCard("1234", a, r); }},
        {"13", [](CCardWriter& w, int a, QString& r) { return w.WriteContinueCard("1234", a, r); }},
        {"14", [](CCardWriter& w, int a, QString& r) { return w.WriteReplacementRecharge("1234", 3, a, r); }},
        {"IC 02", [](CCardWriter& w, int a, QString& r) { return w.WriteIcOpenCard("1234", a, 80, 30, 20, r); }},
        {"IC 03", [](CCardWriter& w, int a, QString& r) { return w.WriteIcRechargeCard("1234", a, 30, 20, r); }},
        {"IC 04", [](CCardWriter& w, int a, QString& r) { return w.WriteIcModifyCard("1234", a, 30, 20, r); }},
        {"IC 07", [](CCardWriter& w, int a, QString& r) { return w.WriteIcCapacityCard("1234", a, 80, r); }},
    };
    for (const auto& [name, op] : ops) {
        for (int amount : {-1, 10000}) {
            SCOPED_TRACE(testing::Message() << name << " amount " << amount);
            sink.Clear();
            CCardWriter writer(1, nullptr);
            QString result = QStringLiteral("untouched");
            EXPECT_EQ(op(writer, amount, result), 0);
            EXPECT_EQ(result, QStringLiteral("untouched"));
            EXPECT_EQ(sink.Texts(), QStringList{kOutOfRange});
            EXPECT_TRUE(runs.empty());
        }
        // The bounds themselves are written.
        for (int amount : {0, 9999}) {
            replies = {kOk};
            CCardWriter writer(1, nullptr);
            QString result;
            EXPECT_EQ(op(writer, amount, result), 1) << name << " amount " << amount;
        }
        runs.clear();
    }
}

TEST_F(CardWriterTest, EveryReplyWordIsJudgedWithItsText)
{
    const QString alarmQuestion = QStringLiteral("写卡后没有收到正确应答，\n\n可能是移卡太快！是否再次读卡以确认？");
    const QString unknownQuestion = QStringLiteral("写卡机的应答无法识别，该卡可能已写入！\n\n是否再次读卡以确认？");
    struct Case
    {
        const char* name;
        bool ic;
        QString reply;
        int expected;
        QString result;
        QStringList texts;
    } cases[] = {
        {"ok", false, kOk, 1, "写卡成功", {"写卡成功！"}},
        {"ok ic", true, kOk, 1, "写卡成功", {"写卡成功！"}},
        {"fail", false, kFail, 0, "写卡失败", {"写卡未成功！请检查串口连接是否正常。"}},
        {"alarm, no", false, kAlarm, 0, "应答信号错误", {alarmQuestion}},
        {"alarm ic, no", true, kAlarm, 0, "应答信号错误", {alarmQuestion}},
        {"timeout, no",
         false,
         kTimeout,
         0,
         "无应答信号",
         {"在规定时间内没有收到写卡机应答信号！\n\n可能是没有按购电按钮，或串口连接有故障！是否再次读卡以确认？"}},
        {"timeout ic, no",
         true,
         kTimeout,
         0,
         "无应答信号",
         {"在规定时间内没有收到写卡机应答信号！\n\n可能是串口连接有故障！是否再次读卡以确认？"}},
        // A reply of no known word may hide a written card: a read is offered.
        {"no quotes", false, "OK!", 0, "未知错误", {unknownQuestion}},
        {"empty line ic", true, "", 0, "未知错误", {unknownQuestion}},
        // The tool's failure is shown as it said it, and no read is offered.
        {"tool error", false, "ERROR:读卡器故障", 0, "未知错误", {"ERROR:读卡器故障"}},
        {"error inside", true, "COM ERROR 5", 0, "未知错误", {"COM ERROR 5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingMessageSink sink; // answers this case only
        replies = {c.reply};
        sink.QueueAnswer(IDNO);
        CCardWriter writer(1, nullptr);
        QString result;
        const int got = c.ic ? writer.WriteIcRechargeCard(QStringLiteral("1234"), 10, 30, 20, result)
                             : writer.WriteRechargeCard(QStringLiteral("1234"), 10, result);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(sink.Texts(), c.texts);
        if (c.reply.contains(QStringLiteral("ERROR"))) {
            EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("ERROR"));
        }
        // A question is a yes/no box captioned 请选择, the rest are 提示 boxes.
        for (const auto& m : sink.Messages())
            EXPECT_EQ(m.caption, (m.style & MB_YESNO) ? QStringLiteral("请选择") : QStringLiteral("提示"));
        // No read-back ran after No.
        EXPECT_EQ(runs.size(), 1u);
        runs.clear();
    }
}

TEST_F(CardWriterTest, AReadSplitsItsReplyIntoTenFields)
{
    struct Case
    {
        const char* reply;
        QStringList fields;
    } cases[] = {
        {"X;03;1234;5;100;20;120;100;40;", {"X", "03", "00001234", "5", "100", "20", "120", "100", "40", ""}},
        // A last piece without ";" is no field.
        {"X;03;1234;5;100;20;120;100;40;tail", {"X", "03", "00001234", "5", "100", "20", "120", "100", "40", ""}},
        // An eleventh piece is never stored.
        {"a;01;12345678;3;4;5;6;7;8;9;10;", {"a", "01", "12345678", "3", "4", "5", "6", "7", "8", "9"}},
        {"", {"", "", "00000000", "", "", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        replies = {QString::fromUtf8(c.reply)};
        CCardWriter writer(1, nullptr);
        writer.ReadCard();
        QStringList fields;
        int count = 0;
        writer.GetFields(fields, count);
        EXPECT_EQ(count, 10);
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(writer.GetReplyLine(), QString::fromUtf8(c.reply));
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(CardWriterTest, AFailedReadShowsTheToolsWordsAndLeavesTheFieldsEmpty)
{
    replies = {CardReply("03", "1234"), QStringLiteral("ERROR:卡座内无卡")};
    CCardWriter writer(1, nullptr);
    writer.ReadIcCard();
    writer.ReadIcCard();
    QStringList fields;
    int count = 0;
    writer.GetFields(fields, count);
    EXPECT_EQ(fields, QStringList(10));
    EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("ERROR"));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("ERROR:卡座内无卡")});
}

TEST_F(CardWriterTest, AReadingCardUploadSplitsFifteenTransferFields)
{
    replies = {QStringLiteral("R0-1234;0000;2026-12-01;1200;0;2026-12-01;300;1;;;;;;;15;16;")};
    CCardWriter writer(4, nullptr);
    writer.UploadReadingCard();
    QStringList fields;
    int count = 0;
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(count, 15);
    ASSERT_EQ(fields.size(), 15);
    EXPECT_EQ(fields[0], QStringLiteral("00001234")); // the first three characters dropped, then "%08s"
    EXPECT_EQ(fields[1], QStringLiteral("0000"));
    EXPECT_EQ(fields[3], QStringLiteral("1200"));
    EXPECT_EQ(fields[6], QStringLiteral("300"));
    EXPECT_EQ(fields[14], QStringLiteral("15")); // the sixteenth piece is dropped
    EXPECT_EQ(runs[0].arguments, (QStringList{"0", "0", "0", "4"}));

    // A failed upload is shown and leaves the fields empty.
    replies = {QStringLiteral("ERROR:无抄表卡")};
    writer.UploadReadingCard();
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(fields, QStringList(15));
    EXPECT_EQ(writer.GetTransferReplyLine(), QStringLiteral("ERROR"));
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("ERROR:无抄表卡")});
}

TEST_F(CardWriterTest, TheHandshakeAnswersWithoutShowingAnError)
{
    struct Case
    {
        QString reply;
        int expected;
    } cases[] = {{kOk, 1}, {"OK!", 0}, {kFail, 0}, {"ERROR:端口12无法打开", 0}};
    for (const Case& c : cases) {
        replies = {c.reply};
        CCardWriter writer(12, nullptr);
        EXPECT_EQ(writer.TestPort(), c.expected) << c.reply.toStdString();
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(CardWriterTest, TheReadBackAsksUntilTheCardShowsTheWrite)
{
    // ALARM!, then: a failed read, a card of the wrong code, a card of the
    // wrong meter, the written card.
    replies = {kAlarm, QStringLiteral("ERROR:读卡失败"), CardReply("04", "1234"), CardReply("03", "4321"),
               CardReply("03", "1234")};
    for (int i = 0; i < 4; ++i)
        sink.QueueAnswer(IDYES);
    CCardWriter writer(1, nullptr);
    QString result;
    EXPECT_EQ(writer.WriteRechargeCard(QStringLiteral("00001234"), 10, result), 1);
    EXPECT_EQ(result, QStringLiteral("写卡成功"));
    EXPECT_EQ(sink.Texts(), (QStringList{"写卡后没有收到正确应答，\n\n可能是移卡太快！是否再次读卡以确认？",
                                         "ERROR:读卡失败", "是否继续读卡？", "写后读卡状态不符，是否继续读卡？",
                                         "写后读卡卡号不符，是否继续读卡？", "写卡成功"}));
    ASSERT_EQ(runs.size(), 5u);
    for (size_t i = 1; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].arguments, (QStringList{"0", "1", "1", "1", "01"}));
}

TEST_F(CardWriterTest, NoToTheReadBackKeepsTheResultOfTheCheck)
{
    replies = {kTimeout, CardReply("00", "00000000")};
    sink.QueueAnswer(IDYES);
    sink.QueueAnswer(IDNO);
    CCardWriter writer(2, nullptr);
    QString result;
    EXPECT_EQ(writer.WriteIcCapacityCard(QStringLiteral("1234"), 10, 80, result), 0);
    EXPECT_EQ(result, QStringLiteral("无应答信号"));
    EXPECT_EQ(sink.Texts().last(), QStringLiteral("写后读卡状态不符，是否继续读卡？"));
    EXPECT_EQ(runs.back().arguments, (QStringList{"0", "2", "1", "2", "01"})); // the IC read
}

TEST_F(CardWriterTest, TheReadBackLooksForTheCodeOfTheOperation)
{
    using Op = std::function<int(CCardWriter&, QString&)>;
    struct Case
    {
        const char* name;
        Op op;
        const char* code;  // the card read back
        const char* meter; // the meter read back
        int expected;
    } cases[] = {
        {"充值写卡 finds 03", [](CCardWriter& w, QString& r) { return w.WriteRechargeCard("00001234", 5, r); }, "03",
         "1234", 1},
        {"续用充值 finds 03", [](CCardWriter& w, QString& r) { return w.WriteContinueCard("00001234", 5, r); }, "03",
         "1234", 1},
        {"补卡充值 needs 05",
         [](CCardWriter& w, QString& r) { return w.WriteReplacementRecharge("00001234", 4, 5, r); }, "03", "1234", 0},
        {"补卡充值 finds 05",
         [](CCardWriter& w, QString& r) { return w.WriteReplacementRecharge("00001234", 4, 5, r); }, "05", "1234", 1},
        {"清卡 finds a blank card", [](CCardWriter& w, QString&) { return w.ClearCard(); }, "00", "0", 1},
        {"写已用卡 finds 02 of its meter", [](CCardWriter& w, QString&) { return w.WriteUsedCard("91234567"); }, "02",
         "91234567", 1},
        {"IC 修改充值 finds 03",
         [](CCardWriter& w, QString& r) { return w.WriteIcModifyCard("00001234", 5, 30, 20, r); }, "03", "1234", 1},
        {"IC 取消授权 needs 07", [](CCardWriter& w, QString& r) { return w.WriteIcCancelCard("00001234", r); }, "03",
         "1234", 0},
        // The special cards carry no meter of their own: the read-back checks none.
        {"写应急卡", [](CCardWriter& w, QString&) { return w.WriteEmergencyCard(30); }, "10", "0", 1},
        {"写退费卡", [](CCardWriter& w, QString&) { return w.WriteRefundCard(); }, "11", "0", 1},
        {"写清表卡", [](CCardWriter& w, QString&) { return w.WriteClearMeterCard(); }, "12", "0", 1},
        {"写超级卡", [](CCardWriter& w, QString&) { return w.WriteSuperCard(); }, "17", "99999999", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingMessageSink sink;
        replies = {kAlarm, CardReply(c.code, c.meter)};
        sink.QueueAnswer(IDYES);
        sink.QueueAnswer(IDNO); // refuses a second read
        CCardWriter writer(1, nullptr);
        QString result;
        EXPECT_EQ(c.op(writer, result), c.expected);
        EXPECT_EQ(runs.size(), 2u); // the write and one read
        runs.clear();
    }
}

TEST_F(CardWriterTest, AReplyLeftByAnEarlierRunNeverConfirmsAWrite)
{
    // An earlier run left "OK!"; this run's tool leaves no reply.
    QFile stale(app.FilePath(CCardWriter::SaleReplyFileName()));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("\"OK!\"\r\n");
    stale.close();
    CCardWriter writer(1, nullptr);
    QString result;
    const QString path = QDir(app.Path()).filePath(QStringLiteral("TempSale.dat"));
    EXPECT_EQ(ThrownText([&] { writer.WriteRechargeCard(QStringLiteral("1234"), 10, result); }),
              QStringLiteral("找不到接口数据文件: %1!").arg(path));
    EXPECT_TRUE(result.isEmpty());
    EXPECT_FALSE(sink.Texts().contains(QStringLiteral("写卡成功！")));
    EXPECT_EQ(writer.GetReplyLine(), QStringLiteral("ERROR"));
}

TEST_F(CardWriterTest, AnEmptyReplyFileOrAMissingToolIsAFailure)
{
    replies = {QString()}; // a reply file holding only a line end is a read line: empty
    CCardWriter writer(1, nullptr);
    writer.ReadCard();
    EXPECT_EQ(writer.GetReplyLine(), QString());

    // A file without any byte.
    SetProgramRunner([this](const QString&, const QStringList&) {
        QFile empty(app.FilePath(CCardWriter::SaleReplyFileName()));
        EXPECT_TRUE(empty.open(QIODevice::WriteOnly));
        return 0;
    });
    EXPECT_EQ(ThrownText([&] { writer.ReadCard(); }), QStringLiteral("打开接口数据文件失败！"));

    ASSERT_TRUE(QFile::remove(app.FilePath(CCardWriter::TransferToolName())));
    EXPECT_EQ(ThrownText([&] { writer.UploadReadingCard(); }),
              QStringLiteral("找不到指定的运行程序: %1！").arg(QDir(app.Path()).filePath(QStringLiteral("Membrel"))));
}

TEST_F(CardWriterTest, EachConstructionRewritesReaderNoInGbk)
{
    QFile file(app.FilePath(CCardWriter::ReaderFileName()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"a much longer code from before\"\r\n");
    file.close();

    GetLocalSysPara()->SetMachineCode(QStringLiteral("售电01"));
    {
        CCardWriter writer(1, nullptr);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\"") + GbkEncode(QStringLiteral("售电01")) + "\"");
}
