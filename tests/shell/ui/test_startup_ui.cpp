#include "CAdoConnection.h"
#include "CKvDialog.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CQuillmerApp.h"
#include "CQuillmerView.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvModalScript.h"
#include "KvPrinterPaper.h"
#include "KvSchema.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPageSize>
#include <QPrinter>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30, 0));

class QuillmerStartTest : public ::testing::Test
{
protected:
    QuillmerStartTest() : m_startFolder(QDir::currentPath())
    {
        KvClock::SetFixed(kNow);
        ReleaseProcessObjects();
    }
    ~QuillmerStartTest() override
    {
        ReleaseProcessObjects();
        KvClock::Reset();
        QDir::setCurrent(m_startFolder);
    }
    void SetUp() override
    {
        // The network edition comes up against its server: tests/shell/network.
        if (GetEdition() != QStringLiteral("单机版"))
            GTEST_SKIP() << "the stand-alone edition's start-up";
    }

    CRecordingMessageSink sink;
    CTempAppDirectory app;

private:
    QString m_startFolder;
};

} // namespace

TEST_F(QuillmerStartTest, NewcomerLogsInAsTheAdministratorAndGetsTheTitledMainWindow)
{
    int schemaCalls = 0;
    CQuillmerApp quillmer([&] { ++schemaCalls; });
    CModalScript script;
    script
        .Then([](QWidget* dialog) { // a blank code is refused and the dialog stays
            CModalScript::Type(dialog, 1031, QStringLiteral("   "));
            CModalScript::Click(dialog, 1000);
            EXPECT_TRUE(dialog->isVisible());
            dialog->setProperty("kvScripted", false); // answer it again
        })
        .Then(CModalScript::LogIn(QStringLiteral(" qz "), QString()))
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); })  // first-run: 修改密码, cancelled
        .Then([](QWidget* dialog) { dialog->close(); })                    // 设置系统参数, closed
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); }); // 操作员管理, 返回

    ASSERT_TRUE(quillmer.InitInstance());

    EXPECT_EQ(schemaCalls, 1);
    EXPECT_EQ(script.Seen(), (QStringList{"dlg143", "dlg143", "dlg164", "dlg179", "dlg141"}));
    ASSERT_GE(sink.Texts().size(), 2);
    EXPECT_TRUE(sink.Texts().at(0).startsWith(QStringLiteral("现在系统时间是 2026-12-10 09:30:00")));
    EXPECT_EQ(sink.Texts().at(1), QStringLiteral("请输入操作员代码！"));

    CMainFrame* frame = quillmer.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quillmer 预付费售电管理系统 1.0(售电机编码：)"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->centralWidget(), quillmer.GetView());
    EXPECT_FALSE(frame->menuBar()->actions().isEmpty());
    EXPECT_TRUE(frame->IsCommandAllowed(32777)) << "the administrator holds 操作员管理";

    // The first-run set-up ran and is marked done.
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("UseNum")), 1);
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("FixYearMon")), 202612);

    EXPECT_EQ(quillmer.ExitInstance(3), 3);
    EXPECT_FALSE(GetLocalDatabase()->IsOpen());
}

TEST_F(QuillmerStartTest, SubsystemCommandsAreInstalledBeforeTheFirstRunSetUpRunsThem)
{
    CQuillmerApp quillmer;
    QList<int> ran;
    CMainFrame* installedOn = nullptr;
    quillmer.SetCommandInstaller([&](CMainFrame& frame) {
        installedOn = &frame;
        // The first-run set-up runs the meter-type order and the price list.
        frame.SetCommandHandler(32771, [&] { ran << 32771; });
        frame.SetCommandHandler(32776, [&] { ran << 32776; });
    });
    CModalScript script;
    script.Then(CModalScript::LogIn(QStringLiteral("qz"), QString()))
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); })  // 修改密码, cancelled
        .Then([](QWidget* dialog) { dialog->close(); })                    // 设置系统参数, closed
        .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); }); // 操作员管理, 返回

    ASSERT_TRUE(quillmer.InitInstance());
    EXPECT_EQ(installedOn, quillmer.GetMainFrame());
    EXPECT_EQ(ran, (QList<int>{32771, 32776}));
    quillmer.ExitInstance();
}

TEST_F(QuillmerStartTest, ClockChangeWhileTheLoginIsOpenEndsTheStartUpSilently)
{
    CQuillmerApp quillmer;
    CModalScript script;
    script.Then([](QWidget* dialog) { static_cast<CKvDialog*>(dialog)->OnTimeChange(); });

    EXPECT_FALSE(quillmer.InitInstance());
    EXPECT_EQ(sink.Texts().size(), 1) << "only the clock question: " << sink.Texts().join('|').toStdString();
    EXPECT_EQ(quillmer.GetMainFrame(), nullptr);
    quillmer.ExitInstance();
}

TEST_F(QuillmerStartTest, QuotaMonthLaterThanTodayPassesOnlyWhenTheFirstRunSetUpResetsIt)
{
    struct Case
    {
        const char* name;
        int useNum;
        bool started;
    };
    const Case cases[] = {
        {"first start after an initialisation", 0, true},
        {"a later start", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseProcessObjects();
        sink.Clear();
        QFile::remove(GetLocalDatabasePath());
        QDir(app.Path()).mkpath(QStringLiteral("work"));
        CreateFreshDatabase(GetLocalDatabasePath(), kNow);
        {
            CAdoConnection db;
            db.Open(0, GetLocalDatabasePath());
            db.Execute(QStringLiteral("update SysPara set FixYearMon = 202701, UseNum = %1").arg(c.useNum), QString());
        }

        CQuillmerApp quillmer;
        CModalScript script;
        script.Then(CModalScript::LogIn(QStringLiteral("qz"), QString()));
        if (c.useNum == 0) {
            script
                .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1021); })  // first-run: 修改密码
                .Then([](QWidget* dialog) { dialog->close(); })                    // 设置系统参数
                .Then([](QWidget* dialog) { CModalScript::Click(dialog, 1001); }); // 操作员管理
        }

        EXPECT_EQ(quillmer.InitInstance(), c.started);
        EXPECT_TRUE(script.Exhausted());
        ASSERT_NE(quillmer.GetMainFrame(), nullptr) << "the main window comes before the check";
        EXPECT_TRUE(quillmer.GetMainFrame()->isVisible());
        const bool refused = sink.Texts().contains(QStringLiteral("系统时间发生错误！请调整系统时间"));
        EXPECT_EQ(refused, !c.started);
        if (c.started) {
            EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("FixYearMon")), 202612);
        } else {
            EXPECT_EQ(sink.Texts().constLast(), QStringLiteral("系统时间发生错误！请调整系统时间"));
        }
        quillmer.ExitInstance();
    }
}

TEST(PrinterPaper, EachModeStartsFromTheDefaultPrinter)
{
    ASSERT_TRUE(SetPrinterPaper(0, 0, 0));
    const QPageLayout standard = GetPrinterPaper();

    ASSERT_TRUE(CQuillmerApp::SetPrinterPaper(3, 1400, 2100));
    EXPECT_EQ(GetPrinterPaper().pageSize().size(QPageSize::Millimeter), QSizeF(210, 140));
    EXPECT_EQ(GetPrinterPaper().orientation(), standard.orientation());

    ASSERT_TRUE(CQuillmerApp::SetPrinterPaper(4, 0, 0));
    EXPECT_EQ(GetPrinterPaper().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(GetPrinterPaper().orientation(), QPageLayout::Landscape);

    ASSERT_TRUE(CQuillmerApp::SetPrinterPaper(2, 0, 0));
    EXPECT_EQ(GetPrinterPaper().pageSize().id(), QPageSize::A3);
    EXPECT_EQ(GetPrinterPaper().orientation(), standard.orientation()) << "landscape does not carry over";
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    ApplyPrinterPaper(pdf);
    EXPECT_EQ(pdf.pageLayout().pageSize().id(), QPageSize::A3) << "printing to a file gets the paper too";

    ASSERT_TRUE(CQuillmerApp::SetPrinterPaper(9, 0, 0));
    EXPECT_TRUE(GetPrinterPaper().isEquivalentTo(standard));
}
