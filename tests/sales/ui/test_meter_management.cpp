// The meter management of a user (电表管理) against the card tool and carrier
// stand-ins: its buttons, the carrier steps of adding, modifying, deleting and
// removing a meter, and the dialogs it opens for one meter.

#include "CCardWriteDlg.h"
#include "CCliPreEditDlg.h"
#include "CCliPreListDlg.h"
#include "CCliSubListDlg.h"
#include "CClientListDlg.h"
#include "CMainFrame.h"
#include "CSaleDlg.h"
#include "KvSalesCommands.h"
#include "MeterCardTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <memory>

namespace {

const QString kMeter = QStringLiteral("00001234");
const QString kOther = QStringLiteral("00005678");
const QString kNew = QStringLiteral("00007777");

class MeterManagementTest : public MeterCardTest
{
protected:
    void SetUp() override
    {
        MeterCardTest::SetUp();
        GetCurrentOperator()->SetRights(QVector<int>{117, 210, 214, 215, 216, 217, 218, 219, 220, 222});
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        AddClient(QStringLiteral("C002"), QStringLiteral("王五"));
        exec(QStringLiteral("update PreModel set SortIndex = 0 where ModelId = 'QM-H1'"));
    }

    // The dialog of user C001, shown as the archive leaves it.
    std::unique_ptr<CCliPreListDlg> Open(const QString& clientNo = QStringLiteral("C001"))
    {
        m_user = m_users.FindByClientNo(clientNo);
        auto dialog = std::make_unique<CCliPreListDlg>(nullptr, QStringLiteral("电表管理"));
        dialog->m_pClient = m_user;
        dialog->m_strClientNo = clientNo;
        dialog->m_strClientName = m_user ? m_user->GetClientName() : QString();
        dialog->show();
        sink.Clear();
        return dialog;
    }
    void Select(CCliPreListDlg& dialog, const QString& meterNo)
    {
        CKvExtList2* list = dialog.GetListCtrl();
        for (int row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemText(row, 0) == meterNo)
                list->SelectRow(row);
    }
    void Press(CCliPreListDlg& dialog, int id)
    {
        sink.Clear();
        MouseClick(Button(dialog, id));
    }
    static QStringList Meters(CCliPreListDlg& dialog) { return Rows(dialog, 1098); }
    int CurrentRows(const QString& meterNo)
    {
        return fresh.Count(
            KvFormatSql("select * from CliPre where MeterNo = '%s' and EndDate = '2050-12-31'", meterNo));
    }
    // The meter dialog answered with a type and a number.
    static CModalScript::Action EnterMeter(const QString& meterNo)
    {
        return [meterNo](QWidget* dialog) {
            auto* model = dialog->findChild<QComboBox*>(QStringLiteral("c1111"));
            ASSERT_NE(model, nullptr);
            model->setCurrentIndex(model->findText(QStringLiteral("QM-H1")));
            CModalScript::Type(dialog, 1105, meterNo);
            CModalScript::Click(dialog, 1000);
        };
    }

    CClientList m_users;
    CClient* m_user = nullptr;
};

} // namespace

TEST_F(MeterManagementTest, TheArchiveButtonOpensTheUsersMeters)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    AddMeter(2, QStringLiteral("C001"), QStringLiteral("00000055"));
    exec(QStringLiteral("update CliPre set MeterLevel = '一级', SuperNo = '00000001', Descrip = '楼道' "
                        "where CliPreIndex = 1"));
    CMainFrame frame;
    InstallSalesCommands(frame);
    GetCurrentOperator()->SetRights(QVector<int>{211});
    CClientList users;
    users.LoadByNoPrefix(QStringLiteral("C00"));
    CClientListDlg archive(nullptr, QStringLiteral("维护档案"));
    archive.m_pClientList = &users;
    archive.show();
    archive.GetListCtrl()->SelectRow(0);

    CDialogScript script;
    script.Then([&](QWidget* widget) {
        auto& dialog = *static_cast<CCliPreListDlg*>(widget);
        EXPECT_EQ(dialog.m_pOwner, &archive);
        EXPECT_EQ(dialog.m_pClient, users.At(0));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1002)->text(), QStringLiteral("C001"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1009)->text(), QStringLiteral("李四"));
        EXPECT_EQ(Meters(dialog), (QStringList{"00000055|M1|||", "00001234|M1|一级|00000001|楼道"}));
        EXPECT_EQ(dialog.GetListCtrl()->GetSelectedRow(), 1);
        // Without the rights only the free buttons work.
        for (int id : {1024, 1025, 1171, 1001})
            EXPECT_TRUE(Button(dialog, id)->isEnabled()) << id;
        for (int id : {1026, 1167, 1118, 1125, 1151, 1126, 1121, 1127, 1027})
            EXPECT_FALSE(Button(dialog, id)->isEnabled()) << id;
        MouseClick(Button(dialog, 1001));
    });
    MouseClick(Button(archive, 1120));
    EXPECT_EQ(script.Seen(), QStringList{"dlg159 电表管理"});
    CClientListDlg::SetMeterDialogOpener(nullptr);
}

TEST_F(MeterManagementTest, EveryMeterButtonWantsASelectedMeter)
{
    auto dialog = Open();
    ASSERT_EQ(dialog->GetListCtrl()->GetItemCount(), 0);
    const struct
    {
        int id;
        const char* message;
    } cases[] = {
        {1025, "请选择表计!"},
        {1026, "请选择电表!"},
        {1118, "请选择电表！"},
        {1027, "请选择电表！"},
        {1125, "请选择预付费电表！"},
        {1126, "请选择预付费电表！"},
        {1151, "请选择预付费电表！"},
        {1171, "请选择预付费电表！"},
        {1167, "请选择预付费电表！"},
        {1121, "请选择红外预付费电表！"},
        {1127, "请选择红外预付费电表！"},
    };
    for (const auto& c : cases) {
        Press(*dialog, c.id);
        EXPECT_EQ(sink.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.id;
    }
}

// The carrier already knows the number: it is enabled again ("启用"), and the
// meter is saved with a fresh card image and reading base.
TEST_F(MeterManagementTest, AddingAKnownNumberEnablesItAtTheCarrier)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    QFile registry(QDir(fresh.AppDir()).filePath(QStringLiteral("PondrakeMeters.txt")));
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
    registry.write(QStringLiteral("%1 停用\n").arg(kNew).toUtf8());
    registry.close();
    // An old image of the number is overwritten by a fresh one.
    AddImage(kNew, 5, 50, 500, QStringLiteral("返卡退费"));

    auto dialog = Open();
    CDialogScript script;
    script.Then([&](QWidget* widget) {
        auto* edit = static_cast<CCliPreEditDlg*>(widget);
        EXPECT_EQ(edit->windowTitle(), QStringLiteral("增加电表"));
        EXPECT_EQ(edit->m_strClientNo, QStringLiteral("C001"));
        EXPECT_EQ(edit->m_strClientName, QStringLiteral("李四"));
        EXPECT_EQ(Control<QLineEdit>(*edit, 1105)->text(), QStringLiteral("C001"));
        EnterMeter(kNew)(widget);
    });
    Press(*dialog, 1024);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join(", ").toStdString();

    const QStringList carrier = Carrier();
    ASSERT_EQ(carrier.size(), 2);
    EXPECT_TRUE(carrier[0].startsWith(QStringLiteral("PondrakeToTmp meter=00007777 client=C001 name=李四 "
                                                     "address=李四路1号 kind=单功预付 ctpt=1 level=2 super=")))
        << carrier[0].toStdString();
    EXPECT_TRUE(carrier[0].endsWith(QStringLiteral("=> -5")));
    EXPECT_TRUE(carrier[1].endsWith(QStringLiteral("status=启用 => 1")));
    EXPECT_EQ(CarrierMeters(fresh.AppDir()), QStringList{"00007777 启用"});

    EXPECT_EQ(fresh.Value("select CliPreIndex from CliPre where MeterNo = '00007777'"), "100");
    EXPECT_EQ(fresh.Value("select PriceNo from PrePrice where CliPreIndex = 100"), "P1");
    EXPECT_EQ(fresh.Value("select WrtNum || '|' || OpMode || '|' || VNo from PreLastWrt where MeterNo = '00007777'"),
              "-1||90007777");
    EXPECT_EQ(fresh.Value("select ThisRead from HandReadBase where MeterNo = '00007777'"), "-1");
    EXPECT_EQ(Meters(*dialog).last().section(u'|', 0, 1), QStringLiteral("00007777|QM-H1"));
    EXPECT_EQ(dialog->GetListCtrl()->GetSelectedRow(), 1);
}

TEST_F(MeterManagementTest, ANumberInUseBringsTheDialogBackAndTheCarrierRefusalSavesNothing)
{
    AddMeter(1, QStringLiteral("C002"), kMeter);
    auto dialog = Open();
    CDialogScript script;
    script.Then(EnterMeter(kMeter)).Then([&](QWidget* widget) {
        // The number just entered is shown again.
        EXPECT_EQ(Control<QLineEdit>(*widget, 1105)->text(), kMeter);
        CModalScript::Click(widget, 1021);
    });
    Press(*dialog, 1024);
    EXPECT_EQ(sink.Texts(), QStringList{"表计编号重复！"});
    EXPECT_TRUE(Carrier().isEmpty());

    ForceCarrierAnswers(fresh.AppDir(), {"PondrakeToTmp -1"});
    script.Then(EnterMeter(kNew));
    Press(*dialog, 1024);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(Carrier().size(), 1);
    EXPECT_EQ(fresh.Count("select * from CliPre where MeterNo = '00007777'"), 0);
    EXPECT_EQ(fresh.Count("select * from PreLastWrt"), 0);
    EXPECT_EQ(dialog->GetListCtrl()->GetItemCount(), 0);
}

// A save that fails is rolled back, and the carrier forgets the meter it had
// just taken.
TEST_F(MeterManagementTest, AFailedSaveHasTheCarrierForgetTheMeter)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    exec(QStringLiteral("update SysPara set CliPreIndex = 1")); // the key is taken
    auto dialog = Open();
    CDialogScript script;
    script.Then(EnterMeter(kNew));
    Press(*dialog, 1024);
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Messages().front().caption, QStringLiteral("错误"));
    const QStringList carrier = Carrier();
    ASSERT_EQ(carrier.size(), 2);
    EXPECT_EQ(carrier[1], QStringLiteral("DeleteMeterInfoFromTmp 00007777 => 1"));
    EXPECT_TRUE(CarrierMeters(fresh.AppDir()).isEmpty());
    EXPECT_EQ(fresh.Count("select * from CliPre"), 1);
    EXPECT_EQ(fresh.Count("select * from PreLastWrt"), 0);
    EXPECT_EQ(fresh.Count("select * from HandReadBase"), 0);
    EXPECT_EQ(Meters(*dialog).size(), 1);
}

TEST_F(MeterManagementTest, ModifyingWithoutAChangeAsksNoCarrierAndAChangeIsANewVersion)
{
    AddMeter(1, QStringLiteral("C001"), QStringLiteral("00000055"));
    AddMeter(2, QStringLiteral("C001"), kMeter);
    SetModel(1, QStringLiteral("QM-H1"));
    SetModel(2, QStringLiteral("QM-H1"));
    exec(QStringLiteral("update CliPre set LimitValue = '20', Ct = 1, Pt = 1, MeterLevel = '二级'"));
    auto dialog = Open();
    Select(*dialog, QStringLiteral("00000055"));
    CDialogScript script;
    script.Then([](QWidget* widget) {
        EXPECT_EQ(widget->windowTitle(), QStringLiteral("修改配表"));
        CModalScript::Click(widget, 1000);
    });
    Press(*dialog, 1025);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_TRUE(Carrier().isEmpty());
    EXPECT_EQ(fresh.Count("select * from CliPre"), 2);

    // A refusal of the carrier changes nothing.
    ForceCarrierAnswers(fresh.AppDir(), {"EditMeterInfoFromCarrier 0"});
    const auto describe = [](QWidget* widget) {
        auto* edit = widget->findChild<QPlainTextEdit*>(QStringLiteral("c1014"));
        ASSERT_NE(edit, nullptr);
        edit->setPlainText(QStringLiteral("换表箱"));
        CModalScript::Click(widget, 1000);
    };
    script.Then(describe);
    Press(*dialog, 1025);
    EXPECT_EQ(fresh.Count("select * from CliPre"), 2);

    script.Then(describe);
    Press(*dialog, 1025);
    EXPECT_TRUE(Carrier().last().endsWith(QStringLiteral("status=0 => 1"))) << Carrier().last().toStdString();
    EXPECT_EQ(fresh.Count("select * from CliPre where MeterNo = '00000055'"), 2);
    EXPECT_EQ(fresh.Value("select Descrip from CliPre where MeterNo = '00000055' and EndDate = '2050-12-31'"),
              "换表箱");
    EXPECT_EQ(fresh.Value("select EndDate from CliPre where CliPreIndex = 1"), "2026-12-09");
    // The row keeps its place and stays selected.
    EXPECT_EQ(Meters(*dialog).first(), QStringLiteral("00000055|QM-H1|二级||换表箱"));
    EXPECT_EQ(dialog->GetListCtrl()->GetSelectedRow(), 0);
    EXPECT_EQ(dialog->GetMeterList().GetCount(), 2);
}

// The losses are shown with 2 decimals; a change of the remark alone keeps
// them as stored in the new version, and a loss typed anew is taken as typed.
TEST_F(MeterManagementTest, AModifyKeepsTheStoredLossesItDidNotTouch)
{
    AddMeter(1, QStringLiteral("C001"), QStringLiteral("00000055"));
    SetModel(1, QStringLiteral("QM-H1"));
    exec(QStringLiteral("update CliPre set LimitValue = '20', Ct = 1, Pt = 1, MeterLevel = '二级', "
                        "TLWaste = 1.125, TTWaste = 2.0625"));
    auto dialog = Open();
    const auto modify = [&](const std::function<void(QWidget*)>& change) {
        Select(*dialog, QStringLiteral("00000055"));
        CDialogScript script;
        script.Then([&](QWidget* widget) {
            change(widget);
            CModalScript::Click(widget, 1000);
        });
        Press(*dialog, 1025);
        EXPECT_TRUE(script.Exhausted());
        return fresh.Value("select TLWaste || ' ' || TTWaste from CliPre where EndDate = '2050-12-31'");
    };
    EXPECT_EQ(modify([](QWidget* widget) {
                  EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1022"))->text(), QStringLiteral("1.13"));
                  EXPECT_EQ(widget->findChild<QLineEdit*>(QStringLiteral("c1023"))->text(), QStringLiteral("2.06"));
                  widget->findChild<QPlainTextEdit*>(QStringLiteral("c1014"))->setPlainText(QStringLiteral("换表箱"));
              }),
              QStringLiteral("1.125 2.0625"));
    EXPECT_EQ(fresh.Count("select * from CliPre"), 2);
    EXPECT_EQ(modify([](QWidget* widget) { CModalScript::Type(widget, 1022, QStringLiteral("1.5")); }),
              QStringLiteral("1.5 2.0625"));
}

// Deleting takes the meter's sales with their payments and shares, its price
// mix, every version, its card image and its readings, and nothing of
// another meter.
TEST_F(MeterManagementTest, DeletingAMeterTakesItsSalesAndReadings)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    AddMeter(2, QStringLiteral("C001"), kOther);
    exec(QStringLiteral("insert into CliPre select 3, ClientNo, MeterNo, ModelId, Ct, Pt, PrePayRate, TTWaste, "
                        "TLWaste, MeterLevel, SuperNo, LimitValue, AlarmShold, CloseShold, Pulses, OutState, Descrip, "
                        "State, OperatorNo, '2019-01-01', '2019-12-31', ModiTime from CliPre where CliPreIndex = 1"));
    for (const auto& [wrtIndex, cliPreIndex, meterNo] :
         {std::tuple{100000001, 1, kMeter}, {100000002, 3, kMeter}, {100000003, 2, kOther}}) {
        AddSale(wrtIndex, cliPreIndex, meterNo, 1, 50, 26);
        exec(KvFormatSql("insert into WrtPrice values(%d, %d, 1, 100)", wrtIndex, wrtIndex));
    }
    for (const QString& meterNo : {kMeter, kOther}) {
        AddImage(meterNo, 1, 50, 50);
        exec(KvFormatSql("insert into HandReadBase values('%s', 1, 2, '2026-11-01', '2026-12-01')", meterNo));
        exec(KvFormatSql("insert into HandRead values(%d, '%s', 1, 1, 2, 1, 1, '2026-11-01', '2026-12-01')",
                         meterNo == kMeter ? 1 : 2, meterNo));
    }
    auto dialog = Open();
    Select(*dialog, kMeter);
    sink.QueueAnswer(IDNO);
    Press(*dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList{"删除电表将把该电表的售电数据一起删除，确实要删除电表吗？"});
    EXPECT_TRUE(Carrier().isEmpty());

    sink.QueueAnswer(IDYES);
    Press(*dialog, 1026);
    EXPECT_EQ(Carrier(), QStringList{"DeleteMeterFromCarrier 00001234 => 0"});
    const struct
    {
        const char* table;
        int left;
    } tables[] = {{"CliPre", 1},    {"PrePrice", 1},   {"WrtRecord", 1},    {"WrtPrice", 1},
                  {"ClientPay", 1}, {"PreLastWrt", 1}, {"HandReadBase", 1}, {"HandRead", 1}};
    for (const auto& t : tables)
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from %1").arg(QLatin1String(t.table))), t.left) << t.table;
    EXPECT_EQ(fresh.Value("select MeterNo from PreLastWrt"), kOther);
    EXPECT_EQ(fresh.Value("select WrtIndex from ClientPay"), "100000003");
    EXPECT_EQ(Meters(*dialog).size(), 1);
    EXPECT_EQ(dialog->GetListCtrl()->GetSelectedRow(), 0);

    // A meter with sub-meter rows, even closed ones, is kept.
    AddSubMeter(1, kOther, QStringLiteral("00005678_1"));
    exec(QStringLiteral("update CliSub set EndDate = '2026-01-01'"));
    Press(*dialog, 1026);
    EXPECT_EQ(sink.Texts(), QStringList{"该电表已有附表，请先删除附表！"});
    EXPECT_EQ(sink.Messages().front().style & MB_ICONINFORMATION, MB_ICONINFORMATION);
    EXPECT_EQ(CurrentRows(kOther), 1);
}

TEST_F(MeterManagementTest, RemovingWantsARefundedCardAndTheCarriersPause)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    AddImage(kMeter, 2, 50, 100);
    auto dialog = Open();
    Press(*dialog, 1167);
    EXPECT_EQ(sink.Texts(), QStringList{"请对该表执行返卡退费操作！"});

    exec(QStringLiteral("update PreLastWrt set OpMode = '校园退费'"));
    AddSubMeter(1, kMeter, QStringLiteral("00001234_1"));
    Press(*dialog, 1167);
    EXPECT_EQ(sink.Texts(), QStringList{"请先拆除与该表相关的附表！"});

    exec(QStringLiteral("update CliSub set EndDate = '2026-01-01'"));
    QFile registry(QDir(fresh.AppDir()).filePath(QStringLiteral("PondrakeMeters.txt")));
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
    registry.write("00001234 在用\n");
    registry.close();
    ForceCarrierAnswers(fresh.AppDir(), {"PauseMeterFromCarrier 0"});
    sink.QueueAnswer(IDYES);
    Press(*dialog, 1167);
    EXPECT_EQ(sink.Texts(), (QStringList{"确实要拆除该表吗？", "载波软件停用失败！"}));
    EXPECT_EQ(CurrentRows(kMeter), 1);
    EXPECT_EQ(Meters(*dialog).size(), 1);

    sink.QueueAnswer(IDYES);
    Press(*dialog, 1167);
    EXPECT_EQ(Carrier().last(), QStringLiteral("PauseMeterFromCarrier 00001234 停用 => 1"));
    EXPECT_EQ(CarrierMeters(fresh.AppDir()), QStringList{"00001234 停用"});
    EXPECT_EQ(CurrentRows(kMeter), 0);
    EXPECT_EQ(fresh.Value("select EndDate from CliPre where CliPreIndex = 1"), "2026-12-10");
    EXPECT_EQ(Meters(*dialog).size(), 0);
}

// The refund runs the sales dialog for the meter; the user takes over the
// balance it leaves only when it is this user's.
TEST_F(MeterManagementTest, TheRefundHandsOnlyThisUsersBalanceBack)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    AddImage(kMeter, 2, 50, 100);
    AddBalance(QStringLiteral("C001"), 12.5, 3);
    CClientList users;
    users.LoadByNoPrefix(QStringLiteral("C001"));
    CClientListDlg archive(nullptr, QStringLiteral("维护档案"));
    archive.m_pClientList = &users;
    archive.show();
    archive.GetListCtrl()->SelectRow(0);

    auto dialog = Open();
    dialog->m_pClient = users.At(0);
    dialog->m_pOwner = &archive;
    const auto leave = [](const QString& clientNo, double balance) {
        return [clientNo, balance](QWidget* widget) {
            auto* sale = static_cast<CSaleDlg*>(widget);
            EXPECT_EQ(sale->GetCaption(), QStringLiteral("返卡退费"));
            EXPECT_EQ(sale->m_strRefundMeterNo, QStringLiteral("00001234"));
            sale->m_Balance.SetClientNo(clientNo);
            sale->m_Balance.SetThisBalance(balance);
            CModalScript::Click(widget, 1001);
        };
    };
    CDialogScript script;
    script.Then(leave(QStringLiteral("C002"), 99)).Then(leave(QString(), 0)).Then(leave(QStringLiteral("C001"), 40));
    for (const char* shown : {"12.50", "12.50", "40.00"}) {
        Press(*dialog, 1118);
        EXPECT_EQ(archive.GetListCtrl()->GetItemText(0, 9), QString::fromUtf8(shown));
    }
    EXPECT_EQ(script.Seen(), QStringList(3, QStringLiteral("dlg167 返卡退费")));
    EXPECT_EQ(fresh.Value("select ThisBalance from CliBalance"), "12.5") << "nothing is written";

    exec(QStringLiteral("update PreLastWrt set OpMode = '返卡退费'"));
    Press(*dialog, 1118);
    EXPECT_EQ(sink.Texts(), QStringList{"该卡已退费！"});
}

TEST_F(MeterManagementTest, CardButtonsOpenTheCardDialogWithTheirOperation)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    auto dialog = Open();
    CDialogScript script;
    const auto close = [](QWidget* widget) {
        auto* card = static_cast<CCardWriteDlg*>(widget);
        EXPECT_EQ(card->m_pMeter->GetMeterNo(), QStringLiteral("00001234"));
        EXPECT_EQ(card->m_pClient->GetClientNo(), QStringLiteral("C001"));
        CModalScript::Click(widget, 1021);
    };
    for (int id : {1125, 1126, 1121, 1127, 1151, 1171}) {
        script.Then(close);
        Press(*dialog, id);
    }
    EXPECT_EQ(script.Seen(), (QStringList{"dlg162 电表开户", "dlg162 取消授权", "dlg162 写补卡", "dlg162 写设置卡",
                                          "dlg162 附卡开户", "dlg162 写抄表卡"}));
    EXPECT_TRUE(sink.Texts().isEmpty());

    // A card already written: the opening asks first.
    AddImage(kMeter, 2, 50, 100);
    sink.QueueAnswer(IDNO);
    Press(*dialog, 1125);
    EXPECT_EQ(sink.Texts(), QStringList{"请确保已对该表进行返卡退费或已解决剩余电量问题！是否继续执行开户操作？"});

    script.Then([](QWidget* widget) {
        auto* subs = static_cast<CCliSubListDlg*>(widget);
        EXPECT_EQ(subs->GetList()->GetItemCount(), 0);
        CModalScript::Click(widget, 1050);
    });
    Press(*dialog, 1027);
    EXPECT_EQ(script.Seen().last(), QStringLiteral("dlg161 附表管理"));
}

// Replacement and setting cards are for infrared meters; a meter whose type
// is gone is refused the same way.
TEST_F(MeterManagementTest, ReplacementAndSettingCardsWantAnInfraredMeter)
{
    AddMeter(1, QStringLiteral("C001"), kMeter);
    for (const char* model : {"K1", "GONE"}) {
        SetModel(1, QString::fromUtf8(model));
        auto dialog = Open();
        for (int id : {1121, 1127}) {
            Press(*dialog, id);
            EXPECT_EQ(sink.Texts(), QStringList{"非红外表不支持该操作！"}) << model << " " << id;
        }
    }
}

// A meter whose price has no version valid today: the card dialog says so
// and never opens.
TEST_F(MeterManagementTest, ACardDialogWithoutAValidPriceDoesNotOpen)
{
    AddMeter(1, QStringLiteral("C001"), kMeter, QStringLiteral("PX"));
    auto dialog = Open();
    CDialogScript script;
    Press(*dialog, 1126);
    EXPECT_EQ(sink.Texts(), QStringList{"电价不存在！"});
    EXPECT_TRUE(script.Seen().isEmpty());
}
