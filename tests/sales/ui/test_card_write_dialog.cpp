// The card dialog (162) against the card tool stand-ins: what it shows of a
// meter, which read cards let it write, and the writes of its operations.

#include "CCardWriteDlg.h"
#include "CSysPara.h"
#include "MeterCardTest.h"

#include <QComboBox>
#include <memory>

namespace {

const QString kMeter = QStringLiteral("00001234");
const QString kInfrared = QStringLiteral("红外遥控卡");
const QString kIc = QStringLiteral("IC钥匙卡");

class CardWriteDialogTest : public MeterCardTest
{
protected:
    void SetUp() override
    {
        MeterCardTest::SetUp();
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        AddMeter(1, QStringLiteral("C001"), kMeter);
    }

    // The dialog of an operation for meter 1 and user C001, shown.
    std::unique_ptr<CCardWriteDlg> Open(const QString& operation)
    {
        auto dialog = std::make_unique<CCardWriteDlg>(nullptr, operation);
        dialog->m_pMeter = m_meters.FindCurrentByMeterNo(kMeter);
        dialog->m_pClient = m_users.FindByClientNo(QStringLiteral("C001"));
        dialog->show();
        sink.Clear();
        return dialog;
    }
    void ChooseCardType(CCardWriteDlg& dialog, const QString& cardType)
    {
        auto* box = Control<QComboBox>(dialog, 1133);
        box->setCurrentIndex(box->findText(cardType));
    }
    void Press(CCardWriteDlg& dialog, int id)
    {
        sink.Clear();
        MouseClick(Button(dialog, id));
    }

    CCliPreList m_meters;
    CClientList m_users;
};

} // namespace

TEST_F(CardWriteDialogTest, TheDialogShowsTheMeterItsTypeAndItsPriceMix)
{
    AddPrice(QStringLiteral("P2"), QStringLiteral("商业电价"), 0.8);
    exec(QStringLiteral("update PrePrice set PricePercent = 60"));
    exec(QStringLiteral("insert into PrePrice values(2, 1, 1, 'P2', 40)"));
    exec(QStringLiteral("update SysPara set CardBoxCom = 4"));
    auto dialog = Open(QStringLiteral("写设置卡"));

    EXPECT_EQ(Values(*dialog, 1113, 0, 11), (QStringList{"M1", "DDSYM1", "5(20)A", "4", "预付费电表", "红外遥控卡",
                                                         "单相", "1.5", "20.0", "5.0", "否", "否"}));
    EXPECT_EQ(Rows(*dialog, 1110),
              (QStringList{"表计编号|00001234|", "线损|2.50|%", "变损|5.50|度/每月", "CT倍率|2|", "PT倍率|3|",
                           "限电值|800|A", "告警门限|30|度", "断电门限|20|度", "脉冲常数|0|", "输出状态|常闭|"}));
    EXPECT_EQ(Rows(*dialog, 1074), (QStringList{"居民电价|P1|0.5200|60", "商业电价|P2|0.8000|40"}));
    EXPECT_NEAR(dialog->m_WeightedPrice, 0.52 * 0.6 + 0.8 * 0.4, 1e-9);
    EXPECT_EQ(Control<QComboBox>(*dialog, 1133)->currentText(), kInfrared);
    EXPECT_EQ(Control<QComboBox>(*dialog, 1136)->currentText(), QStringLiteral("com5"));
    EXPECT_FALSE(Button(*dialog, 1132)->isEnabled());
    EXPECT_TRUE(Button(*dialog, 1134)->isEnabled());

    // The station's port is the one every card operation uses.
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    sim.SetCard(5, sim.Card(1));
    Press(*dialog, 1135);
    EXPECT_EQ(CardCommands(), QStringList{"0 1 1 5 01"});
    Control<QComboBox>(*dialog, 1136)->setCurrentIndex(1);
    emit Control<QComboBox>(*dialog, 1136)->activated(1);
    EXPECT_EQ(fresh.Value("select CardBoxCom from SysPara"), "1");
}

TEST_F(CardWriteDialogTest, TheWriteButtonIsNamedByTheOperation)
{
    GetCurrentOperator()->SetRights(QVector<int>{});
    const struct
    {
        const char* operation;
        const char* caption;
    } cases[] = {{"电表开户", "写开户卡(&O)"}, {"取消授权", "取消授权(&U)"}, {"写补卡", "写补卡(&P)"},
                 {"写设置卡", "写设置卡(&S)"}, {"附卡开户", "写卡(&W)"},     {"写抄表卡", "写卡(&W)"}};
    for (const auto& c : cases) {
        auto dialog = Open(QString::fromUtf8(c.operation));
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.operation));
        EXPECT_EQ(Button(*dialog, 1132)->text(), QString::fromUtf8(c.caption));
        EXPECT_FALSE(Button(*dialog, 1134)->isEnabled()) << "clearing needs its right";
    }
}

// A user without a balance row and a meter without a card image get records
// keyed to them; the attached card's number then shows empty.
TEST_F(CardWriteDialogTest, MissingBalanceAndCardImageAreKeyedToTheUserAndMeter)
{
    auto dialog = Open(QStringLiteral("附卡开户"));
    EXPECT_EQ(dialog->m_Balance.GetClientNo(), QStringLiteral("C001"));
    EXPECT_EQ(dialog->m_LastWrt.GetMeterNo(), kMeter);
    EXPECT_EQ(dialog->m_LastWrt.GetWrtNum(), -1);
    EXPECT_EQ(Values(*dialog, 1110, 0, 0), QStringList{""});

    AddImage(kMeter, 3, 50, 150);
    AddBalance(QStringLiteral("C001"), 12.5, 3);
    dialog = Open(QStringLiteral("附卡开户"));
    EXPECT_EQ(Values(*dialog, 1110, 0, 0), QStringList{"90001234"});
    EXPECT_EQ(dialog->m_LastWrt.GetWrtNum(), 3);
    EXPECT_DOUBLE_EQ(dialog->m_Balance.GetThisBalance(), 12.5);
}

TEST_F(CardWriteDialogTest, AMeterWithoutItsTypeShowsNoTypeAndRefusesTheCardType)
{
    SetModel(1, QStringLiteral("GONE"));
    auto dialog = Open(QStringLiteral("取消授权"));
    EXPECT_EQ(Values(*dialog, 1113, 0, 11), QStringList(12));
    EXPECT_EQ(Rows(*dialog, 1110).at(5), QStringLiteral("限电值|800|%"));
    EXPECT_EQ(Control<QComboBox>(*dialog, 1133)->currentText(), kIc);
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    ChooseCardType(*dialog, kInfrared);
    Press(*dialog, 1135);
    ASSERT_TRUE(Button(*dialog, 1132)->isEnabled());
    Press(*dialog, 1132);
    EXPECT_EQ(sink.Texts(), QStringList{"所选卡类型与档案不符！"});
    EXPECT_TRUE(Button(*dialog, 1132)->isEnabled()) << "the button stays as it was";
    EXPECT_EQ(CardCommands().size(), 1);
}

// Which read cards enable the write, by family, code and operation.
TEST_F(CardWriteDialogTest, AReadEnablesTheWriteOnlyForAnAcceptableCard)
{
    const QString data =
        QStringLiteral("\n\n表计卡号：00001234\n\n写卡次数：001\n\n充值数据：0050\n\n累计用量：000100\n\n"
                       "累计购量：000150\n\n累计剩余：000050\n\n限电值：800A");
    const struct
    {
        int family;
        const char* code;
        const char* meterNo;
        const char* operation;
        QString message; // empty: nothing shown
        bool enabled;
    } cases[] = {
        {1, "00", "00000000", "写设置卡", "该卡为空白卡！", true},
        {1, "00", "00000000", "写抄表卡", "该卡为空白卡！", true},
        {1, "04", "00001234", "写补卡", "该卡为已用充值卡！\t\t\t" + data, false},
        {1, "13", "00001234", "写补卡", "该卡为带退费标记的已用充值卡！\t" + data, false},
        {1, "06", "00001234", "取消授权", "该卡为已用补卡！\t\t\t" + data, false},
        {1, "10", "00000000", "取消授权", "该卡为应急卡！\n\n电量为：50", false},
        {1, "11", "00000000", "取消授权", "该卡为退费卡！", false},
        {1, "17", "99999999", "取消授权", "该卡为超级取消授权卡！", false},
        {1, "15", "00001234", "取消授权", "", false},
        {2, "00", "00000000", "电表开户", "该卡为空白卡！", true},
        {2, "00", "00000000", "取消授权", "该卡为空白卡！", false},
        {2, "00", "00000000", "写抄表卡", "", false},
        {2, "00", "00000000", "附卡开户", "", false},
        {2, "03", "00001234", "取消授权", "该卡为未用充值卡！\t\t\t" + data, false},
        {2, "06", "00001234", "取消授权", "该卡为已用补卡！且卡上表号与指定表号相符！\t\t\t" + data, true},
        {2, "06", "00001234", "写补卡", "该卡为已用补卡！\t\t\t" + data, false},
        {2, "06", "00005678", "取消授权",
         "该卡为已用补卡，但卡上表号与指定表号不符！\t\t\t" + QString(data).replace("00001234", "00005678"), false},
        {2, "08", "00001234", "取消授权", "该卡为设置卡！", false},
        {2, "10", "00000000", "取消授权", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.operation + " family " + std::to_string(c.family));
        PutCard(QString::fromUtf8(c.code), QString::fromUtf8(c.meterNo), 1, 50, 100, 150, 50, c.family);
        auto dialog = Open(QString::fromUtf8(c.operation));
        ChooseCardType(*dialog, c.family == 1 ? kInfrared : kIc);
        Press(*dialog, 1135);
        EXPECT_EQ(sink.Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(Button(*dialog, 1132)->isEnabled(), c.enabled);
    }
}

// An attached card: the open card of "9" and the meter's last seven digits,
// then a read and the used card; the dialog stays open for the next card.
TEST_F(CardWriteDialogTest, AnAttachedCardIsOpenedReadAndMarkedUsed)
{
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    auto dialog = Open(QStringLiteral("附卡开户"));
    Press(*dialog, 1135);
    Press(*dialog, 1132);
    const QStringList commands = CardCommands();
    ASSERT_EQ(commands.size(), 4) << commands.join(" / ").toStdString();
    EXPECT_EQ(commands[1], QStringLiteral("0 1 1 1 02 90001234 0000 200A 030 20"));
    EXPECT_EQ(commands[2], QStringLiteral("0 1 1 1 01"));
    EXPECT_EQ(commands[3], QStringLiteral("0 1 1 1 17"));
    const QStringList texts = sink.Texts();
    const int ready = texts.indexOf(QStringLiteral("请准备读卡！"));
    EXPECT_GE(ready, 0);
    EXPECT_EQ(texts.indexOf(QStringLiteral("请准备写已用卡！")), ready + 1);
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("02"));
    EXPECT_EQ(sim.Card(1).meterNo, QStringLiteral("90001234"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(Button(*dialog, 1132)->isEnabled());

    // A failed open card ends it: no prompt, no used card.
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    Press(*dialog, 1135);
    sim.QueueReply(QStringLiteral("FAIL!"));
    Press(*dialog, 1132);
    EXPECT_EQ(CardCommands().size(), 6);
    EXPECT_FALSE(sink.Texts().contains(QStringLiteral("请准备读卡！")));
}

// A reading card carries the meter's own number and passes with either card
// type.
TEST_F(CardWriteDialogTest, AReadingCardPassesWithEitherCardType)
{
    for (const QString& cardType : {kInfrared, kIc}) {
        PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
        auto dialog = Open(QStringLiteral("写抄表卡"));
        Press(*dialog, 1135);
        ChooseCardType(*dialog, cardType);
        Press(*dialog, 1132);
        EXPECT_FALSE(sink.Texts().contains(QStringLiteral("所选卡类型与档案不符！")));
        EXPECT_TRUE(CardCommands().contains(QStringLiteral("0 1 1 1 02 00001234 0000 200A 030 20")));
        EXPECT_EQ(sim.Card(1).code, QStringLiteral("02"));
        EXPECT_TRUE(dialog->isVisible());
    }
}

// The writes that end the dialog with OK, and the command each sends.
TEST_F(CardWriteDialogTest, CancelReplacementAndSettingCardsCloseTheDialog)
{
    exec(QStringLiteral("update CliPre set LimitValue = '60', AlarmShold = 10, CloseShold = 5, Pulses = 3200, "
                        "OutState = '常开'"));
    const struct
    {
        const char* model;
        const char* operation;
        const char* command;
    } cases[] = {
        {"M1", "取消授权", "0 1 1 1 05 00001234"},
        {"M1", "写补卡", "0 1 1 1 04 00001234"},
        {"M1", "写设置卡", "0 1 1 1 06 00001234 0000 060A 010 05"},
        {"C1", "写设置卡", "0 1 1 1 16 00001234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.operation);
        SetModel(1, QString::fromUtf8(c.model));
        PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
        auto dialog = Open(QString::fromUtf8(c.operation));
        Press(*dialog, 1135);
        Press(*dialog, 1132);
        ASSERT_FALSE(CardCommands().isEmpty());
        EXPECT_TRUE(CardCommands().last().startsWith(QString::fromUtf8(c.command)))
            << CardCommands().last().toStdString();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    EXPECT_TRUE(CardCommands().last().endsWith(QStringLiteral(" 3200 1"))) << CardCommands().last().toStdString();
}

TEST_F(CardWriteDialogTest, AReplacementAfterARefundIsWarnedAndTheTopUpReplacementCanBeCancelled)
{
    AddImage(kMeter, 2, 50, 100, QStringLiteral("返卡退费"));
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    auto dialog = Open(QStringLiteral("写补卡"));
    Press(*dialog, 1135);
    Press(*dialog, 1132);
    EXPECT_EQ(sink.Texts().first(), QStringLiteral("因上次是返卡退费操作，建议不要直接补卡充值！"));
    EXPECT_TRUE(CardCommands().last().startsWith(QStringLiteral("0 1 1 1 04 00001234")));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    exec(QStringLiteral("update PreLastWrt set OpMode = '正常充值'"));
    exec(QStringLiteral("update SysPara set bCompWrt = '是'"));
    PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0);
    dialog = Open(QStringLiteral("写补卡"));
    Press(*dialog, 1135);
    const int runs = CardCommands().size();
    CDialogScript script;
    script.Cancel();
    Press(*dialog, 1132);
    EXPECT_EQ(script.Seen(), QStringList{"dlg228 选择补卡背景情况"});
    EXPECT_EQ(CardCommands().size(), runs) << "nothing is written";
    EXPECT_EQ(fresh.Count("select * from WrtRecord"), 0);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(CardWriteDialogTest, ClearAndPortTestFollowTheCardType)
{
    PutCard(QStringLiteral("04"), kMeter, 1, 50, 100, 150, 50);
    auto dialog = Open(QStringLiteral("取消授权"));
    Press(*dialog, 1134);
    ChooseCardType(*dialog, kIc);
    Press(*dialog, 1134);
    Press(*dialog, 1162);
    EXPECT_EQ(sink.Texts(), QStringList{"与写卡机通讯正常！"});
    EXPECT_EQ(CardCommands(), (QStringList{"0 1 1 1 00", "0 2 1 1 00", "0 2 1 1 20"}));
    sim.QueueReply(QStringLiteral("FAIL!"));
    Press(*dialog, 1162);
    EXPECT_EQ(sink.Texts(), QStringList{"与写卡机通讯不正常！"});
}
