#include "../DeviceTestHelpers.h"
#include "CAdoConnection.h"
#include "CDbfTable.h"
#include "CHandRaw.h"
#include "CHandSaleArchive.h"
#include "CHandSaleArchiveDlg.h"
#include "CHandheldSaleDlg.h"
#include "CKvComboBox.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "CSysPara.h"
#include "KvDeviceCommands.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvModalScript.h"
#include "SysGlobals.h"
#include "UploadArchiveSeen.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class HandheldSaleDlgTest : public FreshDatabaseTest
{
protected:
    HandheldSaleDlgTest() : cwd(fresh.AppDir()), dialog(nullptr, QStringLiteral("手持售电机"))
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void click(int id)
    {
        auto* button = dialog.findChild<QPushButton*>(CKvDialog::ControlName(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    CKvComboBox* combo(int id) { return dialog.findChild<CKvComboBox*>(CKvDialog::ControlName(id)); }
    int storedPort() { return GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom")); }
    int staged() { return fresh.Count(QStringLiteral("select * from HandRaw")); }
    void stage(const QString& meterNo)
    {
        CHandRaw raw;
        raw.SetMeterNo(meterNo);
        raw.SetOpMode(QStringLiteral("手持机"));
        raw.Save();
    }
    ArchiveSeen uploadToArchive() { return UploadToArchive<CHandSaleArchiveDlg>(&dialog); }

    CCurrentDirectory cwd;
    CHandheldSaleDlg dialog;
};

} // namespace

TEST_F(HandheldSaleDlgTest, ShowsTheStoredPortAndDownloadsOnTheChosenOne)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("手持售电机"));
    EXPECT_EQ(combo(1136)->currentText(), QStringLiteral("com1")); // a fresh installation stores 0
    EXPECT_EQ(combo(1136)->count(), 20);
    EXPECT_EQ(combo(1138)->currentText(), QStringLiteral("红外手持机"));

    WriteFileBytes(QDir(fresh.AppDir()).filePath("Gostrel"), "");
    CFakeToolRunner runner([this] { WriteFileBytes(QDir(fresh.AppDir()).filePath("Drossel.dat"), "OK\r\n"); });
    combo(1136)->setCurrentIndex(4);
    sink.QueueAnswer(IDNO);
    click(1018);
    EXPECT_TRUE(runner.Starts().empty());
    combo(1138)->setCurrentIndex(1); // the type does not change the command line
    click(1018);
    ASSERT_EQ(runner.Starts().size(), 1u);
    EXPECT_EQ(runner.Starts()[0].arguments, (QStringList{"D", "5", ""}));
    EXPECT_EQ(sink.Texts(), (QStringList{"确实要对手持机下载吗？", "确实要对手持机下载吗？", "OK"}));
}

TEST_F(HandheldSaleDlgTest, OnlyTheCloseBoxStoresThePort)
{
    combo(1136)->setCurrentIndex(4);
    click(1001);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedPort(), 0);

    dialog.show();
    combo(1136)->setCurrentIndex(6);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedPort(), 0);

    dialog.show();
    combo(1136)->setCurrentIndex(4);
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedPort(), 4);

    CHandheldSaleDlg again(nullptr, QStringLiteral("手持售电机"));
    again.EnsureInitialised();
    EXPECT_EQ(again.findChild<CKvComboBox*>(CKvDialog::ControlName(1136))->currentText(), QStringLiteral("com5"));
}

TEST_F(HandheldSaleDlgTest, StagedRowsLeftOpenTheirArchiveInsteadOfAnUpload)
{
    stage(QStringLiteral("00000001"));
    CFakeToolRunner runner;
    const ArchiveSeen seen = uploadToArchive();
    EXPECT_TRUE(runner.Starts().empty());
    EXPECT_EQ(sink.Texts(), QStringList{"上次上传的售电数据尚有未归档的！"});
    EXPECT_EQ(seen.caption, QStringLiteral("归档售电记录"));
    EXPECT_EQ(seen.rows, 1);
}

TEST_F(HandheldSaleDlgTest, AnUploadStagesTheSalesAndOpensTheirArchive)
{
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"),
                   {"sale=00000001|10|1|10|2.5|20070315143005", "sale=00000002|20|2|40|7|20070315143005"});
    const ArchiveSeen seen = uploadToArchive();
    EXPECT_EQ(sink.Texts(), QStringList{"上传成功"});
    EXPECT_EQ(seen.caption, QStringLiteral("上传数据"));
    EXPECT_EQ(seen.rows, 2);
    EXPECT_EQ(staged(), 2);
    EXPECT_TRUE(ReadFileText(QDir(fresh.AppDir()).filePath("standins.log")).contains("Gostrel [U] [1] []"));
}

TEST_F(HandheldSaleDlgTest, UploadsThatStopBeforeTheArchive)
{
    struct Case
    {
        const char* name;
        QStringList scenario;
        QStringList shown;
    };
    const Case cases[] = {
        {"tool error", {"answer=ERROR: 无应答", "sale=00000001|10|1|10|2.5|20070315143005"}, {"ERROR: 无应答"}},
        {"empty table", {"table=empty"}, {"上传成功", "数据转换失败"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.Clear();
        InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"), c.scenario);
        click(1017);
        EXPECT_EQ(sink.Texts(), c.shown);
        EXPECT_EQ(staged(), 0);
    }
}

// The cards of an upload are written: a figure out of range stages none of
// its sales, and the table is kept beside the one the next upload replaces.
TEST_F(HandheldSaleDlgTest, AFigureOutOfRangeRefusesTheUploadAndTheNextUploadStagesEverySale)
{
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"),
                   {"sale=00000001|10|1|10|2.5|20070315143005", "sale=00000002|9999999999|2|40|7|20070315143005",
                    "sale=00000003|30|3|70|9|20070315143005"});
    {
        CModalScript none;
        click(1017);
        EXPECT_EQ(none.Handled(), 0); // no archive after the refusal
    }
    const QString kept =
        RefusedUploadCopy(sink.Texts(), fresh.AppDir(), QStringLiteral("ReadTempA"), QStringLiteral("VALCUR"));
    ASSERT_FALSE(kept.isEmpty()) << sink.Texts().join(u'|').toStdString();
    EXPECT_EQ(staged(), 0);
    const QByteArray refused = ReadFileBytes(kept);

    // Nothing waits: the next upload starts the tool and stages every sale.
    sink.Clear();
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"),
                   {"sale=00000001|10|1|10|2.5|20070315143005", "sale=00000002|20|2|40|7|20070315143005",
                    "sale=00000003|30|3|70|9|20070315143005"});
    const ArchiveSeen seen = uploadToArchive();
    EXPECT_EQ(sink.Texts(), QStringList{"上传成功"});
    EXPECT_EQ(seen.caption, QStringLiteral("上传数据"));
    EXPECT_EQ(seen.rows, 3);
    EXPECT_EQ(staged(), 3);
    EXPECT_EQ(ReadFileBytes(kept), refused); // the refused upload stays as it came
}

TEST_F(HandheldSaleDlgTest, AStaleAnswerDoesNotStageTheLastUploadAgain)
{
    // What an earlier upload left: its answer and its table.
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"), {"sale=00000001|10|1|10|2.5|20070315143005"});
    CModalScript script;
    script.Then([](QWidget* w) { w->close(); });
    click(1017);
    ASSERT_EQ(staged(), 1);
    db().Execute(QStringLiteral("delete from HandRaw"), QString());

    // This time the tool writes nothing at all.
    InstallStandin(fresh.AppDir(), QStringLiteral("Gostrel"), {"answerfile=none", "table=none"});
    sink.Clear();
    click(1017);
    EXPECT_EQ(staged(), 0);
    ASSERT_EQ(sink.Messages().size(), 2u);
    EXPECT_EQ(sink.Messages()[0].text, QStringLiteral("上传成功")); // the old answer, shown and judged again
    EXPECT_EQ(sink.Messages()[1].caption, QStringLiteral("错误"));
    EXPECT_TRUE(sink.Messages()[1].text.contains(QStringLiteral("ReadTempA")));
}

TEST(HandheldSaleCommand, IsInstalledButStaysGreyed)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    CMainFrame frame;
    InstallDeviceCommands(frame);
    EXPECT_FALSE(frame.IsCommandAllowed(ID_HANDHELD_SALE));
    QString caption;
    CModalScript script;
    script.Then([&caption](QWidget* w) {
        caption = qobject_cast<CHandheldSaleDlg*>(w) ? w->windowTitle() : QString();
        w->close();
    });
    frame.RunCommand(ID_HANDHELD_SALE);
    EXPECT_EQ(caption, QStringLiteral("手持售电机"));
    CHandSaleArchive::SetNewAccountOpener({}); // it held this frame
}
