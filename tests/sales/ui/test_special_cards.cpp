// The special-card dialog (写特殊卡) against the card tool stand-ins: its
// port, what a read tells, the cycle of its write buttons and the values its
// two small dialogs take.

#include "CEmergencyPowerDlg.h"
#include "CMainFrame.h"
#include "CSetCardDlg.h"
#include "CSpecialCardDlg.h"
#include "KvMainCommands.h"
#include "KvSalesCommands.h"
#include "MeterCardTest.h"

#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <memory>

namespace {

const int kWriteButtons[] = {1315, 1127, 1118, 1316};

class SpecialCardTest : public MeterCardTest
{
protected:
    std::unique_ptr<CSpecialCardDlg> Open()
    {
        auto dialog = std::make_unique<CSpecialCardDlg>(nullptr, QStringLiteral("写特殊卡"));
        dialog->show();
        sink.Clear();
        return dialog;
    }
    void Press(CSpecialCardDlg& dialog, int id)
    {
        sink.Clear();
        MouseClick(Button(dialog, id));
    }
    void PutBlank() { PutCard(QStringLiteral("00"), QStringLiteral("00000000"), 0, 0, 0, 0, 0); }
    static bool WritesEnabled(CSpecialCardDlg& dialog)
    {
        bool all = true, any = false;
        for (int id : kWriteButtons) {
            all = all && Button(dialog, id)->isEnabled();
            any = any || Button(dialog, id)->isEnabled();
        }
        EXPECT_EQ(all, any) << "the four write buttons go together";
        return all;
    }
};

} // namespace

TEST_F(SpecialCardTest, TheMenuOpensItOnTheStationsPort)
{
    exec(QStringLiteral("update SysPara set CardBoxCom = 2"));
    sim.SetCard(3, CSimCard());
    CMainFrame frame;
    GetCurrentOperator()->SetRights(QVector<int>{109});
    frame.BuildRightsList();
    InstallSalesCommands(frame);
    CModalScript script;
    script.Then([this](QWidget* widget) {
        auto& dialog = *static_cast<CSpecialCardDlg*>(widget);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("写特殊卡"));
        EXPECT_EQ(Control<QComboBox>(dialog, 1136)->currentText(), QStringLiteral("com3"));
        EXPECT_FALSE(WritesEnabled(dialog));
        EXPECT_FALSE(Button(dialog, 1029)->isEnabled());
        Press(dialog, 1135);
        EXPECT_EQ(CardCommands(), QStringList{"0 1 1 3 01"});
        MouseClick(Button(dialog, 1050));
    });
    frame.GetCommandAction(ID_SPECIAL_CARD)->trigger();
    EXPECT_EQ(script.Seen(), QStringList{"dlg221"});

    auto dialog = Open();
    Control<QComboBox>(*dialog, 1136)->setCurrentIndex(6);
    EXPECT_EQ(fresh.Value("select CardBoxCom from SysPara"), "6");
}

// Only a blank card enables the writes; each write disables them again, a
// clear leaves them as they are.
TEST_F(SpecialCardTest, TheWriteButtonsFollowTheirCycle)
{
    auto dialog = Open();
    PutCard(QStringLiteral("04"), QStringLiteral("00001234"), 1, 50, 100, 150, 50);
    Press(*dialog, 1135);
    EXPECT_EQ(sink.Texts(),
              QStringList{"该卡为已用充值卡！\t\n\n表计卡号：00001234\n\n写卡次数：001\n\n充值数据：0050\n\n"
                          "累计用量：000100\n\n累计购量：000150\n\n累计剩余：000050\n\n限电值：800A"});
    EXPECT_FALSE(WritesEnabled(*dialog));

    const struct
    {
        int button;
        const char* command;
        const char* code;
    } writes[] = {{1118, "0 1 1 1 08", "11"}, {1316, "0 1 1 1 09", "12"}};
    for (const auto& w : writes) {
        PutBlank();
        Press(*dialog, 1135);
        EXPECT_EQ(sink.Texts(), QStringList{"该卡为空白卡！"});
        EXPECT_TRUE(WritesEnabled(*dialog));
        Press(*dialog, 1319); // a clear changes nothing
        EXPECT_TRUE(WritesEnabled(*dialog));
        Press(*dialog, w.button);
        EXPECT_EQ(CardCommands().last(), QString::fromUtf8(w.command));
        EXPECT_EQ(sim.Card(1).code, QString::fromUtf8(w.code));
        EXPECT_FALSE(WritesEnabled(*dialog));
    }
    // A write that fails disables them as well.
    PutBlank();
    Press(*dialog, 1135);
    sim.QueueReply(QStringLiteral("FAIL!"));
    Press(*dialog, 1118);
    EXPECT_FALSE(WritesEnabled(*dialog));

    const struct
    {
        const char* code;
        const char* text;
    } reads[] = {{"08", "该卡为设置卡！"},
                 {"11", "该卡为退费卡！"},
                 {"12", "该卡为清表卡！"},
                 {"17", "该卡为超级取消授权卡！"},
                 {"10", "该卡为应急卡！\n\n电量为：7"},
                 {"15", ""}};
    for (const auto& r : reads) {
        PutCard(QString::fromUtf8(r.code), QStringLiteral("00000000"), 0, 7, 0, 0, 0);
        Press(*dialog, 1135);
        EXPECT_EQ(sink.Texts(), *r.text ? QStringList{QString::fromUtf8(r.text)} : QStringList()) << r.code;
    }
}

TEST_F(SpecialCardTest, AnEmergencyCardTakesLessThanFifty)
{
    auto dialog = Open();
    const struct
    {
        const char* entered;
        const char* refusal; // empty: accepted
    } cases[] = {{"", "请输入应急电量！"},
                 {"50", "应急电量应小于50"},
                 {"4294967345", "应急电量应小于50"},
                 {"99999999999999999999999", "应急电量应小于50"},
                 {"49", ""}};
    PutBlank();
    Press(*dialog, 1135);
    CDialogScript script;
    script.Then([&](QWidget* widget) {
        EXPECT_EQ(widget->windowTitle(), QStringLiteral("输入应急电量"));
        for (const auto& c : cases) {
            sink.Clear();
            CModalScript::Type(widget, 1202, QString::fromUtf8(c.entered));
            CModalScript::Click(widget, 1000);
            EXPECT_EQ(sink.Texts(), *c.refusal ? QStringList{QString::fromUtf8(c.refusal)} : QStringList())
                << c.entered;
        }
    });
    MouseClick(Button(*dialog, 1315));
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 07 00000000 49"));
    EXPECT_EQ(sim.Card(1).code, QStringLiteral("10"));
    EXPECT_FALSE(WritesEnabled(*dialog));

    // Cancel writes nothing and leaves the buttons.
    PutBlank();
    Press(*dialog, 1135);
    script.Cancel();
    Press(*dialog, 1315);
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 01"));
    EXPECT_TRUE(WritesEnabled(*dialog));
}

TEST_F(SpecialCardTest, ASettingCardForAMeterOrAController)
{
    auto dialog = Open();
    PutBlank();
    Press(*dialog, 1135);
    CDialogScript script;
    script.Then([&](QWidget* widget) {
        auto* set = static_cast<CSetCardDlg*>(widget);
        EXPECT_EQ(set->windowTitle(), QStringLiteral("输入设置值"));
        // It starts on the prepaid meter.
        EXPECT_TRUE(Control<QRadioButton>(*set, 1089)->isChecked());
        EXPECT_TRUE(Control<QLineEdit>(*set, 1202)->isEnabled());
        EXPECT_FALSE(Control<QLineEdit>(*set, 1078)->isEnabled());
        EXPECT_FALSE(Control<QComboBox>(*set, 1080)->isEnabled());
        const struct
        {
            int id;
            const char* text;
            const char* refusal;
        } steps[] = {{0, "", "请输入限电值！"},
                     {1202, "60", "请输入告警门限！"},
                     {1341, "10", "请输入断电门限！"},
                     {1342, "5", ""}};
        for (const auto& s : steps) {
            sink.Clear();
            if (s.id)
                CModalScript::Type(widget, s.id, QString::fromUtf8(s.text));
            CModalScript::Click(widget, 1000);
            EXPECT_EQ(sink.Texts(), *s.refusal ? QStringList{QString::fromUtf8(s.refusal)} : QStringList());
        }
    });
    Press(*dialog, 1127);
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 06 99999999 0000 060A 010 05"));
    EXPECT_FALSE(WritesEnabled(*dialog));

    PutBlank();
    Press(*dialog, 1135);
    script.Then([&](QWidget* widget) {
        Control<QRadioButton>(*widget, 1091)->click();
        EXPECT_FALSE(Control<QLineEdit>(*widget, 1202)->isEnabled());
        EXPECT_TRUE(Control<QComboBox>(*widget, 1080)->isEnabled());
        CModalScript::Type(widget, 1341, QStringLiteral("10"));
        CModalScript::Type(widget, 1342, QStringLiteral("5"));
        sink.Clear();
        CModalScript::Click(widget, 1000);
        EXPECT_EQ(sink.Texts(), QStringList{"请输入脉冲常数！"});
        CModalScript::Type(widget, 1078, QStringLiteral("3200"));
        sink.Clear();
        CModalScript::Click(widget, 1000);
        EXPECT_EQ(sink.Texts(), QStringList{"请选择输出状态！"});
        Control<QComboBox>(*widget, 1080)->setCurrentIndex(1);
        CModalScript::Click(widget, 1000);
    });
    Press(*dialog, 1127);
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 16 99999999 0000 200A 010 05 3200 1"));
}

TEST_F(SpecialCardTest, ASettingCardRefusesValuesWiderThanItsFields)
{
    auto dialog = Open();
    const struct
    {
        const char* field; // the refused field, or "controller" for the pulse constant
        int id;
        const char* text;
        const char* refusal;
    } cases[] = {
        {"limit", 1202, "99999999999", "限电值应为0到999之间的整数！"},
        {"limit", 1202, "1000", "限电值应为0到999之间的整数！"},
        {"alarm", 1341, "99999", "告警门限应为0到999之间的整数！"},
        {"cut-off", 1342, "2147483648", "断电门限应为0到99之间的整数！"},
        {"cut-off", 1342, "100", "断电门限应为0到99之间的整数！"},
        {"controller", 1078, "10000", "脉冲常数应为0到9999之间的整数！"},
    };
    PutBlank();
    Press(*dialog, 1135);
    CDialogScript script;
    script.Then([&](QWidget* widget) {
        for (const auto& c : cases) {
            const bool controller = QByteArray(c.field) == "controller";
            (controller ? Control<QRadioButton>(*widget, 1091) : Control<QRadioButton>(*widget, 1089))->click();
            Control<QComboBox>(*widget, 1080)->setCurrentIndex(0);
            const std::pair<int, const char*> valid[] = {{1202, "999"}, {1341, "999"}, {1342, "99"}, {1078, "9999"}};
            for (const auto& [id, text] : valid)
                CModalScript::Type(widget, id, QString::fromUtf8(text));
            CModalScript::Type(widget, c.id, QString::fromUtf8(c.text));
            sink.Clear();
            CModalScript::Click(widget, 1000);
            EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.refusal)}) << c.field << " " << c.text;
            EXPECT_NE(static_cast<QDialog*>(widget)->result(), QDialog::Accepted) << c.field << " " << c.text;
        }
        // The widest values that fit go out as typed.
        Control<QRadioButton>(*widget, 1089)->click();
        const std::pair<int, const char*> widest[] = {{1202, "999"}, {1341, "999"}, {1342, "99"}};
        for (const auto& [id, text] : widest)
            CModalScript::Type(widget, id, QString::fromUtf8(text));
        sink.Clear();
        CModalScript::Click(widget, 1000);
        EXPECT_TRUE(sink.Texts().isEmpty());
    });
    Press(*dialog, 1127);
    EXPECT_EQ(CardCommands().last(), QStringLiteral("0 1 1 1 06 99999999 0000 999A 999 99"));
}
