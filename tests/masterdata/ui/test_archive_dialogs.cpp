#include "../../framework/ui/KvCursorWatch.h"
#include "CCliBalance.h"
#include "CCliFix.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CClientListDlg.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CurrentOperator.h"
#include "KvMainCommands.h"
#include "KvMasterDataCommands.h"
#include "KvMasterDialogTest.h"
#include "KvUtil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QThread>

namespace {

class ArchiveTest : public MasterDialogTest
{
protected:
    ArchiveTest()
    {
        GetCurrentOperator()->SetOperatorNo("op01");
        GetCurrentOperator()->SetRights(QVector<int>{200, 202, 209, 211, 212, 213});
        addUser("A01", "张三", 12.5);
        addUser("A02", "李四");
        addUser("B01", "张五");
        addUser("B011", "王六");
    }

    static void addUser(const QString& code, const QString& name, double balance = 0)
    {
        CClient user;
        user.SetClientNo(code);
        user.SetClientName(name);
        user.Save();
        CCliBalance row;
        row.SetClientNo(code);
        row.SetThisBalance(balance);
        row.Save();
    }
    static void addMeter(const QString& clientNo, const QString& meterNo)
    {
        CCliPre meter;
        meter.SetClientNo(clientNo);
        meter.SetMeterNo(meterNo);
        meter.SetModelId("M1");
        meter.Save();
    }
    // The archive dialog on the current users whose code begins with a prefix.
    void open(const QString& prefix = QString())
    {
        users.LoadByNoPrefix(prefix);
        dlg.m_pClientList = &users;
        dlg.show();
    }
    int rowOf(const QString& code)
    {
        for (int row = 0; row < dlg.GetListCtrl()->GetItemCount(); ++row)
            if (dlg.GetListCtrl()->GetItemText(row, 0) == code)
                return row;
        return -1;
    }
    void select(const QString& code) { ClickRow(dlg.GetListCtrl(), rowOf(code)); }
    QStringList codes()
    {
        QStringList result;
        for (int row = 0; row < dlg.GetListCtrl()->GetItemCount(); ++row)
            result << dlg.GetListCtrl()->GetItemText(row, 0);
        return result;
    }
    QString countText() { return Control<QLabel>(&dlg, 1285)->text(); }

    // The user dialog answered with a new name (and code when adding).
    static CModalScript::Action editUser(const QString& code, const QString& name)
    {
        return [=](QWidget* edit) {
            if (!code.isEmpty())
                CModalScript::Type(edit, 1002, code);
            CModalScript::Type(edit, 1009, name);
            ClickButton(edit, 1000);
            if (edit->isVisible())
                ClickButton(edit, 1001);
        };
    }

    CClientList users;
    CClientListDlg dlg{nullptr, QStringLiteral("维护档案")};
};

} // namespace

TEST_F(ArchiveTest, RowsShowTheUsersWithTheirPlaceAndBalance)
{
    exec("insert into Block(BlockNo, BlockName) values('01', '东苑')");
    exec("insert into Building(BlockNo, BuildingNo, BuildingName) values('01', '02', '二幢')");
    exec("insert into Department(DepartmentNo, DepartmentName) values('03', '财务')");
    exec("update Client set BlockNo = '01', BuildingNo = '02', LayerNo = '05', RoomNo = '07', Cell = '一单元', "
         "DepartmentNo = '03', MemberNum = 4 where ClientNo = 'A01'");
    open("A");
    EXPECT_EQ(dlg.objectName(), "dlg156");
    const QStringList rows = ListRows(dlg.GetListCtrl());
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], "A01|张三|东苑|二幢|05|07|一单元|财务|4|12.50");
    EXPECT_EQ(rows[1], "A02|李四|||||||0|0.00");
    EXPECT_EQ(countText(), "共有2户");

    // Without a list the count is left alone; an empty list counts 0.
    CClientListDlg none(nullptr, QStringLiteral("维护档案"));
    none.show();
    EXPECT_EQ(none.GetListCtrl()->GetItemCount(), 0);
    EXPECT_EQ(Control<QLabel>(&none, 1285)->text(), "");
    CClientList empty;
    CClientListDlg emptyDlg(nullptr, QStringLiteral("维护档案"));
    emptyDlg.m_pClientList = &empty;
    emptyDlg.show();
    EXPECT_EQ(Control<QLabel>(&emptyDlg, 1285)->text(), "共有0户");
}

TEST_F(ArchiveTest, TheArchiveCommandFindsUsersByCodeNameOrMeterAndKeepsTheCondition)
{
    addMeter("B01", "M100");
    CMainFrame frame;
    InstallMasterDataCommands(frame);
    QList<QStringList> found;
    QStringList counts;
    auto archive = [&](QWidget* dialog) {
        auto* list = Control<CKvExtList2>(dialog, 1086);
        QStringList rows;
        for (int row = 0; row < list->GetItemCount(); ++row)
            rows << list->GetItemText(row, 0);
        found << rows;
        counts << Control<QLabel>(dialog, 1285)->text();
        ClickButton(dialog, 1021);
    };
    auto find = [](int radio, int edit, const QString& text) {
        return [=](QWidget* dialog) {
            if (radio)
                ClickButton(dialog, radio);
            EXPECT_TRUE(Control<QLineEdit>(dialog, edit)->isEnabled());
            CModalScript::Type(dialog, edit, text);
            ClickButton(dialog, 1000);
        };
    };
    bool keptMeter = false;
    {
        CModalScript script;
        script
            .Then([](QWidget* dialog) {
                // The first pass searches by code.
                EXPECT_TRUE(Control<QRadioButton>(dialog, 1089)->isChecked());
                EXPECT_FALSE(Control<QLineEdit>(dialog, 1105)->isEnabled());
                EXPECT_FALSE(Control<QLineEdit>(dialog, 1009)->isEnabled());
                CModalScript::Type(dialog, 1002, "A0");
                ClickButton(dialog, 1000);
            })
            .Then(archive)
            .Then(find(1160, 1009, "张"))
            .Then(archive)
            .Then(find(1091, 1105, "M100"))
            .Then(archive)
            .Then(find(0, 1105, "M999"))
            .Then(archive)
            .Then([&](QWidget* dialog) {
                keptMeter = Control<QRadioButton>(dialog, 1091)->isChecked() &&
                            Control<QLineEdit>(dialog, 1105)->text() == "M999";
                ClickButton(dialog, 1021);
            });
        frame.RunCommand(ID_ARCHIVE);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(found, QList<QStringList>({{"A01", "A02"}, {"A01", "B01"}, {"B01", "B011"}, {}}));
    EXPECT_EQ(counts, QStringList({"共有2户", "共有2户", "共有2户", "共有0户"}));
    EXPECT_TRUE(keptMeter);
    EXPECT_EQ(sink.Texts(), QStringList({"找不到指定的表号！"}));

    // A code that no user has.
    sink.Clear();
    CModalScript second;
    second.Then(find(1089, 1002, "Z")).Then(archive).Then([](QWidget* dialog) { ClickButton(dialog, 1021); });
    frame.RunCommand(ID_ARCHIVE);
    EXPECT_EQ(sink.Texts(), QStringList({"找不到指定的用户！"}));
}

// The archive's users are found and listed under the wait cursor, which
// ends as the list shows; a search that finds nobody says so without it.
TEST_F(ArchiveTest, TheWaitCursorStaysUntilTheListOfUsersShows)
{
    CMainFrame frame;
    InstallMasterDataCommands(frame);
    CCursorWatch watch([](QDialog* dialog) {
        auto* list = dialog->findChild<CKvExtList2*>(QStringLiteral("c1086"));
        return list ? QString::number(list->GetItemCount()) : QString();
    });
    QStringList whileOpen;
    const auto find = [](const QString& code) {
        return [=](QWidget* dialog) {
            CModalScript::Type(dialog, 1002, code);
            ClickButton(dialog, 1000);
        };
    };
    const auto archive = [&](QWidget* dialog) {
        whileOpen << CCursorWatch::CursorNow();
        ClickButton(dialog, 1021);
    };
    CModalScript script;
    script.Then(find("A0")).Then(archive).Then(find("Z")).Then(archive).Then([](QWidget* dialog) {
        ClickButton(dialog, 1021);
    });
    frame.RunCommand(ID_ARCHIVE);
    EXPECT_TRUE(script.Exhausted());
    QStringList archives = watch.Seen().filter(QStringLiteral("dlg156"));
    EXPECT_EQ(archives, (QStringList{"dlg156 wait 2", "dlg156 none 0"}));
    EXPECT_EQ(whileOpen, (QStringList{"none", "none"}));
    EXPECT_EQ(sink.Texts(), QStringList({"找不到指定的用户！"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ArchiveTest, AddingAUserWritesItAndItsBalanceAndRefusesAUsedCode)
{
    exec("update Client set EndDate = '2020-01-01' where ClientNo = 'A02'"); // a closed code is still used
    open("A");
    QString reopenedWith;
    {
        CModalScript script;
        script.Then(editUser("A02", "赵七")).Then([&](QWidget* edit) {
            reopenedWith = Control<QLineEdit>(edit, 1002)->text() + Control<QLineEdit>(edit, 1009)->text();
            CModalScript::Type(edit, 1002, "C01");
            ClickButton(edit, 1000);
        });
        ClickButton(&dlg, 1000);
        EXPECT_TRUE(script.Exhausted());
    }
    EXPECT_EQ(reopenedWith, "A02赵七");
    EXPECT_EQ(sink.Texts(), QStringList({"用户代码重复！"}));
    EXPECT_EQ(count("select * from Client where ClientNo = 'C01' and ClientName = '赵七'"), 1);
    EXPECT_EQ(count("select * from CliBalance where ClientNo = 'C01' and ThisBalance = 0"), 1);
    EXPECT_EQ(codes(), QStringList({"A01", "C01"}));
    EXPECT_EQ(dlg.GetListCtrl()->GetSelectedRow(), 1);
    EXPECT_EQ(countText(), "共有2户");

    // Cancelled: nothing.
    CModalScript cancel;
    cancel.Then([](QWidget* edit) { ClickButton(edit, 1001); });
    ClickButton(&dlg, 1000);
    EXPECT_EQ(count("select * from Client"), 5);
}

TEST_F(ArchiveTest, EveryButtonButAddAndCloseNeedsAUserAndRightsGateFourOfThem)
{
    open("A");
    for (int id : {1025, 1026, 1120, 1013, 1290}) {
        sink.Clear();
        ClickButton(&dlg, id);
        EXPECT_EQ(sink.Texts(), QStringList({"请选择用户！"})) << id;
    }
    for (int id : {1000, 1025, 1026, 1120, 1013, 1290, 1021})
        EXPECT_TRUE(Control<QWidget>(&dlg, id)->isEnabled()) << id;

    GetCurrentOperator()->SetRights(QVector<int>{200, 202});
    CClientListDlg limited(nullptr, QStringLiteral("维护档案"));
    limited.m_pClientList = &users;
    limited.show();
    for (int id : {1026, 1120, 1013, 1290})
        EXPECT_FALSE(Control<QWidget>(&limited, id)->isEnabled()) << id;
    for (int id : {1000, 1025, 1021})
        EXPECT_TRUE(Control<QWidget>(&limited, id)->isEnabled()) << id;
}

TEST_F(ArchiveTest, DeletionIsRefusedWhileTheUserHasMetersFeesOrManualMeters)
{
    struct Case
    {
        const char* sql;
        const char* refusal;
    };
    const Case cases[] = {
        {nullptr, "该用户已配表，请先删除配表！"},
        {"insert into CliFix(CliFixIndex, ClientNo, PriceNo, BeginDate, EndDate) values(9, 'A01', 'D1', "
         "'2020-01-01', '2020-01-31')",
         "该用户已指定定额收费，请先删除定额收费！"},
        {"insert into CliMan(CliManIndex, ClientNo, PriceNo) values(1, 'A01', 'S1')",
         "该用户已配手工抄表，请先删除手工抄表！"},
        {"insert into OtherFee(FeeIndex, ClientNo, PriceIndex) values(1, 'A01', 3)",
         "该用户已有其他收费，请先删除其他收费！"},
    };
    addMeter("A01", "M100");
    exec("update CliPre set EndDate = '2021-01-01'"); // a closed meter still counts
    open("A");
    // Each refusal in turn: the earlier ones are removed before the next.
    const char* cleanUp[] = {"delete from CliPre", "delete from CliFix", "delete from CliMan", "delete from OtherFee"};
    for (int i = 0; i < 4; ++i) {
        if (cases[i].sql)
            exec(cases[i].sql);
        if (i > 0)
            exec(cleanUp[i - 1]);
        sink.Clear();
        select("A01");
        ClickButton(&dlg, 1026);
        EXPECT_EQ(sink.Texts(), QStringList({"确实要删除该档案吗？", QString::fromUtf8(cases[i].refusal)})) << i;
        EXPECT_EQ(count("select * from Client where ClientNo = 'A01'"), 1);
    }
    exec("delete from OtherFee");

    // No keeps the user; Yes removes every version and the balance row.
    exec("update Client set EndDate = '2019-12-31' where ClientNo = 'A01'");
    exec("insert into Client(ClientIndex, ClientNo, ClientName, BeginDate, EndDate) values(90, 'A01', '张三', "
         "'2020-01-01', '2050-12-31')");
    select("A01");
    sink.QueueAnswer(IDNO);
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count("select * from Client where ClientNo = 'A01'"), 2);
    select("A01");
    ClickButton(&dlg, 1026);
    EXPECT_EQ(count("select * from Client where ClientNo = 'A01'"), 0);
    EXPECT_EQ(count("select * from CliBalance where ClientNo = 'A01'"), 0);
    EXPECT_EQ(codes(), QStringList({"A02"}));
    EXPECT_EQ(countText(), "共有1户");
}

// The closed version of a changed user leaves the list: a later delete's
// refill cannot show it again to be changed a second time.
TEST_F(ArchiveTest, AChangeThenADeleteThenAnotherChangeLeaveOneCurrentRow)
{
    open("A");
    CModalScript script;
    script.Then(editUser(QString(), "张三丰"))
        .Then([](QWidget* edit) { ClickButton(edit, 1000); }) // unchanged: nothing written
        .Then(editUser(QString(), "张三甲"));
    select("A01");
    ClickButton(&dlg, 1025);
    EXPECT_EQ(codes(), QStringList({"A01", "A02"}));
    EXPECT_EQ(dlg.GetListCtrl()->GetItemText(0, 1), "张三丰");
    EXPECT_EQ(dlg.GetListCtrl()->GetSelectedRow(), 0);
    EXPECT_EQ(users.GetCount(), 2);

    select("A02");
    ClickButton(&dlg, 1026);
    EXPECT_EQ(codes(), QStringList({"A01"}));

    select("A01");
    ClickButton(&dlg, 1025);
    EXPECT_EQ(count("select * from Client where ClientNo = 'A01'"), 2);
    select("A01");
    ClickButton(&dlg, 1025);
    EXPECT_TRUE(script.Exhausted());
    EXPECT_EQ(count("select * from Client where ClientNo = 'A01'"), 3);
    EXPECT_EQ(count("select * from Client where ClientNo = 'A01' and EndDate = '2050-12-31'"), 1);
    EXPECT_EQ(fresh.Value("select ClientName from Client where ClientNo = 'A01' and EndDate = '2050-12-31'"), "张三甲");
    EXPECT_EQ(codes(), QStringList({"A01"}));
}

TEST_F(ArchiveTest, FixedFeesOpenTheUsersItemDialog)
{
    open("A");
    select("A02");
    CModalScript script;
    QString seen;
    script.Then([&](QWidget* dialog) {
        seen = dialog->objectName() + dialog->windowTitle() + Control<QLineEdit>(dialog, 1002)->text() +
               Control<QLineEdit>(dialog, 1009)->text();
        ClickButton(dialog, 1021);
    });
    ClickButton(&dlg, 1290);
    EXPECT_EQ(seen, "dlg189定额收费项目管理A02李四");
    // The meter button waits for the meter dialog; with a user selected it asks nothing.
    sink.Clear();
    ClickButton(&dlg, 1120);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

// The manual sub-meter button starts the entry program of the program folder
// with the user and the operator, and does not wait for it.
TEST_F(ArchiveTest, ManualMetersStartTheEntryProgramForTheUser)
{
    const QString program = CClientListDlg::ManualMeterProgram();
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMER_BUILD_APP_DIR)).filePath(program),
                            QDir(fresh.AppDir()).filePath(program)));
    exec("insert into Price(PriceNo, PriceName, PriceType) values('S1', '水费', '附表价')");
    exec("insert into PriceVer(PriceIndex, PriceNo, BeginDate, EndDate) values(1, 'S1', '2020-01-01', "
         "'2050-12-31')");
    open("A");
    select("A02");
    ClickButton(&dlg, 1013);
    QElapsedTimer waited;
    waited.start();
    while (count("select * from CliMan where ClientNo = 'A02' and PriceNo = 'S1'") == 0 && waited.elapsed() < 20000)
        QThread::msleep(50);
    EXPECT_EQ(count("select * from CliMan where ClientNo = 'A02' and PriceNo = 'S1'"), 1);
    QFile log(QDir(fresh.AppDir()).filePath("Velcrist.log"));
    for (int i = 0; i < 100 && !log.exists(); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).startsWith("Velcrist A02 op01 => added 1 S1"));
    EXPECT_TRUE(sink.Texts().isEmpty());
}
