// The classification of a read card: card code, family and mode decide the
// card state, what the operator is told and whether the write may follow;
// the card is checked against the archive and an accepted mismatch repairs it.

#include "CCardClassifier.h"
#include "KvMessage.h"
#include "KvTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CFakeHost : public ICardClassifyHost
{
public:
    void ClearArchiveDisplay() override { calls << QStringLiteral("clear"); }
    bool RepairArchive(const QString& opWord) override
    {
        calls << QStringLiteral("repair ") + opWord;
        return repairCompletes;
    }
    QStringList calls;
    bool repairCompletes = true;
};

// A used top-up card that agrees with its archive: 30 used + 70 left = 100
// bought, write 3 of 50.
CardFigures AgreeingCard(const QString& code)
{
    CardFigures card;
    card.code = code;
    card.cardWriteCount = 3;
    card.cardAmount = 50;
    card.cardUse = 30.4;
    card.cardPurchase = 100;
    card.cardRemaining = 69.6;
    card.archiveWriteCount = 3;
    card.archiveAmount = 50;
    card.archivePurchase = 100;
    card.fields = QStringList{"KV", code, "00001234", "3", "50", "30", "100", "70", "800", "0"};
    return card;
}

struct Outcome
{
    int state;
    bool write;
};

Outcome Classify(const CardFigures& card, const CardContext& context, CFakeHost& host)
{
    const CardClassification result = CCardClassifier::Classify(card, context, host);
    return {result.state, result.enableWrite};
}

} // namespace

// Every code in both families and both modes, on a card that agrees with the
// archive of a meter with sales behind it.
TEST(CardClassifier, CodeFamilyAndModeDecideStateMessageAndWriteButton)
{
    const struct
    {
        const char* code;
        bool ic;
        bool refund;
        int state;
        bool write;
        const char* message; // the first message, "" for none
    } cases[] = {
        {"00", false, false, 0, false, "该卡为空白卡！"},
        {"00", true, false, 100, false, "该卡为空白卡！"},
        {"01", false, false, 1, false, "该卡为未用开户卡！"},
        {"01", true, true, 101, false, "该卡为未用开户卡！"},
        {"02", false, false, 2, true, "该卡为已用开户卡！"},
        {"02", true, false, 102, true, "该卡为已用开户卡！"},
        {"03", false, true, 3, false, "该卡为未用充值卡！"},
        {"03", true, true, 103, false, "该卡为未用充值卡！"},
        {"04", false, false, 4, true, "该卡为已用充值卡！"},
        {"04", true, true, 104, true, "该卡为已用充值卡！"},
        {"05", false, false, 5, false, "该卡为未用补卡！"},
        {"05", true, false, 105, false, "该卡为未用补卡！"},
        {"07", false, false, 7, false, "该卡为取消授权卡！"},
        {"07", true, false, 107, false, "该卡为取消授权卡！"},
        {"08", false, false, 8, false, "该卡为设置卡！"},
        {"08", true, false, 108, false, "该卡为设置卡！"},
        {"09", false, false, 9, false, "该卡为未知卡，请对该卡清空后再操作！"},
        {"09", true, false, 109, false, "该卡为未知卡，请对该卡清空后再操作！"},
        {"10", false, false, 10, false, "该卡为应急卡！\n\n电量为：50"},
        {"10", true, false, -1, false, ""},
        {"11", false, false, 11, false, "该卡为退费卡！"},
        {"11", true, false, -1, false, ""},
        {"12", false, false, 12, false, "该卡为清表卡！"},
        {"13", false, false, 13, true, nullptr},
        {"13", false, true, 13, true, nullptr},
        {"13", true, false, -1, false, ""},
        {"14", false, false, 14, false, nullptr},
        {"17", false, false, 17, false, "该卡为超级取消授权卡！"},
        {"17", true, false, -1, false, ""},
        {"15", false, false, -1, false, ""},
        {"16", true, false, -1, false, ""},
        {"0z", false, false, -1, false, ""},
        {"", false, false, -1, false, ""},
        {"", true, false, -1, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + (c.ic ? " IC" : " infrared") + (c.refund ? " refund" : " sale"));
        CRecordingMessageSink sink;
        CFakeHost host;
        CardContext context{c.ic, c.refund, true, 3};
        const Outcome outcome = Classify(AgreeingCard(QString::fromLatin1(c.code)), context, host);
        EXPECT_EQ(outcome.state, c.state);
        EXPECT_EQ(outcome.write, c.write);
        if (!c.message)
            continue;
        if (*c.message == 0) {
            EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('|').toStdString();
        } else {
            ASSERT_FALSE(sink.Texts().isEmpty());
            EXPECT_EQ(sink.Texts().first(), QString::fromUtf8(c.message));
        }
        EXPECT_FALSE(host.calls.contains(QStringLiteral("repair 正常充值")));
    }
}

TEST(CardClassifier, UnknownAndEmergencyCardsClearTheArchiveBeforeTheMessage)
{
    for (const char* code : {"09", "10"}) {
        CRecordingMessageSink sink;
        CFakeHost host;
        Classify(AgreeingCard(QString::fromLatin1(code)), CardContext{false, false, true, 3}, host);
        EXPECT_EQ(host.calls, QStringList{"clear"}) << code;
    }
}

TEST(CardClassifier, RefundMarkedCardsTellTheirFiguresZeroPadded)
{
    CRecordingMessageSink sink;
    CFakeHost host;
    CardFigures card = AgreeingCard(QStringLiteral("14"));
    card.fields = QStringList{"KV", "14", "1234", "3", "50", "30", "100", "70", "800", "0"};
    EXPECT_EQ(Classify(card, CardContext{false, false, true, 3}, host).state, 14);
    EXPECT_EQ(sink.Texts(), QStringList{"该卡为带退费标记的未用充值卡！\t\n\n表计卡号：00001234\n\n写卡次数：003\n\n"
                                        "充值数据：0050\n\n累计用量：000030\n\n累计购量：000100\n\n累计剩余：000070\n\n"
                                        "限电值：800A"});
}

// Used cards against the archive: with more than the totals row of history a
// mismatch ends the read; with at most one row it may be accepted, and then
// the archive is repaired once for all accepted checks.
TEST(CardClassifier, UsedCardChecksAskOnlyWhileTheMeterHasNoSales)
{
    CardFigures card = AgreeingCard(QStringLiteral("04"));
    card.archiveWriteCount = 2; // the write count disagrees
    card.archivePurchase = 90;  // and the purchase

    {
        SCOPED_TRACE("one sale: short message, no question");
        CRecordingMessageSink sink;
        CFakeHost host;
        const Outcome outcome = Classify(card, CardContext{false, false, true, 2}, host);
        EXPECT_EQ(outcome.state, -1);
        EXPECT_FALSE(outcome.write);
        EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", "卡上写卡次数与档案写卡次数不一致！"}));
        EXPECT_TRUE(host.calls.isEmpty());
    }
    {
        SCOPED_TRACE("no sales, Yes to all: one repair");
        CRecordingMessageSink sink;
        CFakeHost host;
        const Outcome outcome = Classify(card, CardContext{false, false, true, 1}, host);
        EXPECT_EQ(outcome.state, 4);
        EXPECT_TRUE(outcome.write);
        EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用充值卡！", "卡上写卡次数与档案写卡次数不一致！继续吗？",
                                             "卡上累计购电量与档案累计购电量不一致！继续吗？"}));
        EXPECT_EQ(host.calls, QStringList{"repair 正常充值"});
    }
    {
        SCOPED_TRACE("no sales, No to the second question");
        CRecordingMessageSink sink;
        sink.QueueAnswer(IDOK);
        sink.QueueAnswer(IDYES);
        sink.QueueAnswer(IDNO);
        CFakeHost host;
        EXPECT_EQ(Classify(card, CardContext{true, false, true, 0}, host).state, -1);
        EXPECT_TRUE(host.calls.isEmpty());
    }
    {
        SCOPED_TRACE("opening card, repair abandoned");
        CRecordingMessageSink sink;
        CFakeHost host;
        host.repairCompletes = false;
        card.code = QStringLiteral("02");
        const Outcome outcome = Classify(card, CardContext{false, false, true, 1}, host);
        EXPECT_EQ(outcome.state, -1);
        EXPECT_FALSE(outcome.write);
        EXPECT_EQ(host.calls, QStringList{"repair 开户"});
    }
}

TEST(CardClassifier, CumulativeDataRoundAtTheThreshold)
{
    // 30.2 + 69.3 = 99.5 rounds to 100: consistent; 30 + 69.4 = 99.4 does not.
    for (const auto& [use, remaining, holds] : {std::tuple{30.2, 69.3, true}, {30.0, 69.4, false}}) {
        CRecordingMessageSink sink;
        CFakeHost host;
        CardFigures card = AgreeingCard(QStringLiteral("04"));
        card.cardUse = use;
        card.cardRemaining = remaining;
        EXPECT_EQ(Classify(card, CardContext{false, false, true, 5}, host).state, holds ? 4 : -1);
        if (!holds) {
            EXPECT_EQ(sink.Texts().last(), QStringLiteral("卡上累计数据校验失败！"));
        }
    }
}

// A top-up card not yet used: an infrared card carries its amount outside
// its purchase, an IC card inside it. Failed checks end with a message and
// never ask.
TEST(CardClassifier, UnusedTopUpCardPurchaseRuleByFamily)
{
    CardFigures infrared = AgreeingCard(QStringLiteral("03"));
    infrared.archivePurchase = 150; // 100 on the card + 50 written
    CardFigures ic = AgreeingCard(QStringLiteral("03"));

    const struct
    {
        const char* name;
        CardFigures card;
        bool ic;
        int state;
        bool write;
        QStringList messages;
    } cases[] = {
        {"infrared passes", infrared, false, 3, true, {"该卡为未用充值卡！"}},
        {"IC passes", ic, true, 103, true, {"该卡为未用充值卡！"}},
        {"infrared rule on IC",
         infrared,
         true,
         -1,
         false,
         {"该卡为未用充值卡！", "卡上累计购电量与档案累计购电量不一致！"}},
        {"IC rule on infrared", ic, false, -1, false, {"该卡为未用充值卡！", "卡上累计购电量与档案累计购电量不一致！"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingMessageSink sink;
        CFakeHost host;
        const Outcome outcome = Classify(c.card, CardContext{c.ic, false, true, 0}, host);
        EXPECT_EQ(outcome.state, c.state);
        EXPECT_EQ(outcome.write, c.write);
        EXPECT_EQ(sink.Texts(), c.messages);
        EXPECT_TRUE(host.calls.isEmpty());
    }

    // Without right 111 the operator is sent back to the meter.
    CRecordingMessageSink sink;
    CFakeHost host;
    const Outcome outcome = Classify(infrared, CardContext{false, false, false, 0}, host);
    EXPECT_EQ(outcome.state, 3);
    EXPECT_FALSE(outcome.write);
    EXPECT_EQ(sink.Texts(), (QStringList{"该卡为未用充值卡！", "请重新与电表通讯！"}));
}

// A used replacement card: whether the old card's purchase reached the meter
// is read from the figures; otherwise the card is a mismatch.
TEST(CardClassifier, ReplacementCardPatterns)
{
    // Archive: write 3 of 50, 150 bought.
    const auto card = [](int count, int amount, int purchase) {
        CardFigures c = AgreeingCard(QStringLiteral("06"));
        c.cardWriteCount = count;
        c.cardAmount = amount;
        c.cardPurchase = purchase;
        c.cardUse = purchase;
        c.cardRemaining = 0;
        c.archivePurchase = 150;
        return c;
    };
    const struct
    {
        const char* name;
        CardFigures card;
        bool ic;
        bool refund;
        int history;
        int state;
        bool write;
        const char* message;
    } cases[] = {
        {"infrared 56", card(3, 0, 100), false, false, 5, 56, true, "原卡电量尚未送入电表！"},
        {"infrared 56 refund", card(3, 0, 100), false, true, 5, 56, false, "原卡电量尚未送入电表！"},
        {"infrared 6", card(4, 0, 150), false, false, 5, 6, true, "原卡电量已送入电表！"},
        {"infrared 6 refund", card(4, 0, 150), false, true, 5, 6, true, "原卡电量已送入电表！"},
        {"IC 156", card(2, 0, 100), true, false, 5, 156, true, "原卡电量尚未送入电表！"},
        {"IC 156 refund", card(2, 0, 100), true, true, 5, 156, false, "原卡电量尚未送入电表！"},
        {"IC 106", card(3, 50, 150), true, false, 5, 106, true, "原卡电量已送入电表！"},
        {"infrared mismatch with sales", card(9, 0, 100), false, false, 2, -1, false, "卡上数据与档案数据不符！"},
        {"IC mismatch, totals row only", card(9, 0, 100), true, false, 1, -1, false, "卡上数据与档案数据不符！"},
        {"infrared mismatch accepted", card(9, 0, 100), false, false, 1, 6, true, "卡上数据与档案数据不符！继续吗？"},
        {"IC mismatch accepted", card(9, 0, 100), true, true, 0, 106, true, "卡上数据与档案数据不符！继续吗？"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingMessageSink sink;
        CFakeHost host;
        const Outcome outcome = Classify(c.card, CardContext{c.ic, c.refund, true, c.history}, host);
        EXPECT_EQ(outcome.state, c.state);
        EXPECT_EQ(outcome.write, c.write);
        EXPECT_EQ(sink.Texts(), (QStringList{"该卡为已用补卡！", QString::fromUtf8(c.message)}));
        EXPECT_EQ(host.calls.isEmpty(), QString::fromUtf8(c.message).endsWith(QStringLiteral("继续吗？")) == false);
    }
}

TEST(CardClassifier, CellTextsReadBackAsTheCounterWroteThem)
{
    EXPECT_EQ(CCardClassifier::CellInt(QStringLiteral("12.7")), 12);
    EXPECT_EQ(CCardClassifier::CellInt(QStringLiteral(" -3x")), -3);
    EXPECT_EQ(CCardClassifier::CellInt(QString()), 0);
    EXPECT_DOUBLE_EQ(CCardClassifier::CellFloat(QStringLiteral("30.5")), 30.5);
    EXPECT_DOUBLE_EQ(CCardClassifier::CellFloat(QStringLiteral("7元")), 7);
    EXPECT_DOUBLE_EQ(CCardClassifier::CellFloat(QStringLiteral("abc")), 0);
}
