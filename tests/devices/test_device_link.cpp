#include "CDeviceLink.h"
#include "CSysPara.h"
#include "DeviceTestHelpers.h"
#include "KvFreshDatabase.h"
#include "KvGbk.h"
#include "SysGlobals.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

class DeviceLinkTest : public FreshDatabaseTest
{
protected:
    DeviceLinkTest() : cwd(fresh.AppDir())
    {
        // The tools only need to exist: the runner seam stands in for them.
        for (const char* tool : {"Gostrel", "Lumvex", "Fennick"})
            WriteFileBytes(QDir(fresh.AppDir()).filePath(QString::fromLatin1(tool)), "#!/bin/sh\n");
    }
    ~DeviceLinkTest() override { GetLocalSysPara()->SetMachineCode(QString()); }

    QString answerPath(const char* name) const { return QDir(fresh.AppDir()).filePath(QString::fromLatin1(name)); }

    CCurrentDirectory cwd;
};

} // namespace

TEST_F(DeviceLinkTest, CommandLinesCarryPortAndTheStationsCodeReadAnew)
{
    CFakeToolRunner runner([this] { WriteFileBytes(answerPath("Drossel.dat"), "OK\r\n"); });
    GetLocalSysPara()->SetMachineCode(QStringLiteral("A07"));
    CHandSaleLink com5(5, QStringLiteral("IC手持机"), nullptr);
    EXPECT_TRUE(com5.Download());
    GetLocalSysPara()->SetMachineCode(QString());
    CHandSaleLink none(-1 + 1, QStringLiteral("红外手持机"), nullptr);
    EXPECT_TRUE(none.Upload());

    ASSERT_EQ(runner.Starts().size(), 2u);
    EXPECT_EQ(runner.Starts()[0].program, QStringLiteral("./Gostrel"));
    EXPECT_EQ(runner.Starts()[0].arguments, (QStringList{"D", "5", "A07"}));
    // An unset code is still the third argument, empty.
    EXPECT_EQ(runner.Starts()[1].arguments, (QStringList{"U", "0", ""}));
    EXPECT_EQ(sink.Texts(), (QStringList{"OK", "OK"}));
    EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("提示"));
}

TEST_F(DeviceLinkTest, TheFirstLineOfTheAnswerIsShownAndJudged)
{
    struct Case
    {
        const char* name;
        std::optional<QByteArray> answer; // none: no answer file
        bool result;
        const char* kept;   // the answer kept by the link
        const char* shown;  // the box; null: none
        const char* thrown; // null: nothing thrown
    };
    const QByteArray gbkError = GbkEncode(QStringLiteral("写卡ERROR：通讯超时")) + "\r\nsecond\r\n";
    const Case cases[] = {
        {"success", GbkEncode(QStringLiteral("下载成功\r\n")), true, "下载成功", "下载成功", nullptr},
        {"error inside", QByteArray("port 3: ERROR 12\r\n"), false, "ERROR", "port 3: ERROR 12", nullptr},
        {"lower case", QByteArray("error 12\r\n"), true, "error 12", "error 12", nullptr},
        {"gbk line", gbkError, false, "ERROR", "写卡ERROR：通讯超时", nullptr},
        {"empty first line", QByteArray("\r\nERROR\r\n"), true, "", "", nullptr},
        {"no line break", QByteArray("OK"), true, "OK", "OK", nullptr},
        {"zero length", QByteArray(), false, "", nullptr, "打开接口数据文件失败！"},
        {"no file", std::nullopt, false, "", nullptr, "找不到接口数据文件: ./Drossel.dat!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.Clear();
        QFile::remove(answerPath("Drossel.dat"));
        CFakeToolRunner runner([&] {
            if (c.answer)
                WriteFileBytes(answerPath("Drossel.dat"), *c.answer);
        });
        CHandSaleLink link(1, QStringLiteral("红外手持机"), nullptr);
        bool result = false;
        const QString thrown = ThrownText([&] { result = link.Upload(); });
        EXPECT_EQ(thrown, QString::fromUtf8(c.thrown ? c.thrown : ""));
        if (!c.thrown) {
            EXPECT_EQ(result, c.result);
        }
        EXPECT_EQ(link.GetAnswer(), QString::fromUtf8(c.kept));
        EXPECT_EQ(sink.Texts(), c.shown ? QStringList{QString::fromUtf8(c.shown)} : QStringList{});
    }
}

TEST_F(DeviceLinkTest, AnOldAnswerIsJudgedAgainWhenTheToolWritesNone)
{
    CFakeToolRunner runner; // the tool writes nothing this time
    WriteFileBytes(answerPath("Drossel.dat"), "ERROR: no device\r\n");
    CProgrammerLink link(2, nullptr);
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(sink.Texts(), QStringList{"ERROR: no device"});
    EXPECT_EQ(runner.Starts()[0].program, QStringLiteral("./Fennick"));
}

TEST_F(DeviceLinkTest, OnlyTheSaleMachineLinkStaysInAnotherCurrentDirectory)
{
    QTemporaryDir elsewhere;
    CCurrentDirectory moved(elsewhere.path());

    // The sale machine's tool is looked up where the current directory is.
    CHandSaleLink sale(1, QStringLiteral("红外手持机"), nullptr);
    EXPECT_EQ(ThrownText([&] { sale.Download(); }), QStringLiteral("找不到指定的运行程序: ./Gostrel！"));

    // The meter reader returns to the program folder first.
    CFakeToolRunner runner;
    CMeterReaderLink reader(1, QStringLiteral("红外手持机"), nullptr);
    EXPECT_EQ(ThrownText([&] { reader.Upload(); }), QStringLiteral("找不到接口数据文件: ./Lumvex.dat!"));
    ASSERT_EQ(runner.Starts().size(), 1u);
    EXPECT_EQ(QDir(runner.Starts()[0].directory), QDir(fresh.AppDir()));
    EXPECT_TRUE(sink.Texts().isEmpty());
}
