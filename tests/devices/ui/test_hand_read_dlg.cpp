#include "../../framework/ui/KvShownTextCheck.h"
#include "../DeviceTestHelpers.h"
#include "../ReadingTestData.h"
#include "CHandReadArchiveDlg.h"
#include "CHandReadDlg.h"
#include "CHandSaleArchive.h"
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

void clickControl(QWidget* dialog, int id)
{
    auto* button = dialog->findChild<QPushButton*>(CKvDialog::ControlName(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// The meter reader's dialog, shown, with the program folder current.
class HandReadDlgTest : public FreshDatabaseTest
{
protected:
    HandReadDlgTest() : cwd(fresh.AppDir()), dialog(nullptr, QStringLiteral("电表抄表器管理"))
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void click(int id) { clickControl(&dialog, id); }
    CKvComboBox* ports() { return dialog.findChild<CKvComboBox*>(CKvDialog::ControlName(1136)); }
    int storedPort() { return GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom")); }
    QString stagedMeters()
    {
        return fresh.Value(QStringLiteral("select group_concat(MeterNo) from (select MeterNo from HandReadRaw "
                                          "order by RawIndex)"));
    }
    ArchiveSeen uploadToArchive() { return UploadToArchive<CHandReadArchiveDlg>(&dialog); }

    CCurrentDirectory cwd;
    CHandReadDlg dialog;
};

// The archive dialog on the staged readings, shown.
class HandReadArchiveDlgTest : public FreshDatabaseTest
{
protected:
    HandReadArchiveDlgTest() { AddArchivePrices(db()); }

    void open()
    {
        staged.LoadAll();
        dialog = std::make_unique<CHandReadArchiveDlg>(nullptr, QStringLiteral("上传数据"), &staged);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void click(int id) { clickControl(dialog.get(), id); }
    CKvExtList2* list() { return dialog->GetRowList(); }
    int stagedRows() { return fresh.Count(QStringLiteral("select * from HandReadRaw")); }

    CHandReadRawList staged;
    std::unique_ptr<CHandReadArchiveDlg> dialog;
};

} // namespace

TEST_F(HandReadDlgTest, DownloadsWithoutAQuestionAndOnlyTheCloseBoxStoresThePort)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("电表抄表器管理"));
    EXPECT_EQ(ports()->count(), 20);
    EXPECT_EQ(ports()->currentText(), QStringLiteral("com1"));

    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"), {});
    ports()->setCurrentIndex(4);
    click(1018);
    EXPECT_EQ(sink.Texts(), QStringList{"下载成功"});
    EXPECT_TRUE(ReadFileText(QDir(fresh.AppDir()).filePath("standins.log")).contains("Lumvex [D] [5] []"));

    click(1001);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedPort(), 0);
    dialog.show();
    ports()->setCurrentIndex(6);
    dialog.close();
    EXPECT_EQ(storedPort(), 6);

    CHandReadDlg again(nullptr, QStringLiteral("电表抄表器管理"));
    again.EnsureInitialised();
    EXPECT_EQ(again.findChild<CKvComboBox*>(CKvDialog::ControlName(1136))->currentText(), QStringLiteral("com7"));
}

TEST_F(HandReadDlgTest, AnUploadStagesTheReadingsAndOpensTheirArchive)
{
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"),
                   {"reading=1001|26-12-09 10:45|500|20|150", "reading=1002|26-12-09 10:50|300|10|80.5"});
    const ArchiveSeen seen = uploadToArchive();
    EXPECT_EQ(sink.Texts(), QStringList{"上传成功"});
    EXPECT_EQ(seen.caption, QStringLiteral("上传数据"));
    EXPECT_EQ(seen.rows, 2);
    EXPECT_EQ(stagedMeters(), QStringLiteral("00001001,00001002"));
}

TEST_F(HandReadDlgTest, AFigureThatIsNoNumberRefusesTheUploadAndTheNextUploadStagesEveryReading)
{
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"),
                   {"reading=1001|26-12-09 10:45|500|20|150", "reading=1002|26-12-09 10:50|5x|10|80.5",
                    "reading=1003|26-12-09 10:55|300|10|80.5"});
    {
        CModalScript none;
        click(1017);
        EXPECT_EQ(none.Handled(), 0); // no archive after the refusal
    }
    const QString kept =
        RefusedUploadCopy(sink.Texts(), fresh.AppDir(), QStringLiteral("ReadCB"), QStringLiteral("ZONGM"));
    ASSERT_FALSE(kept.isEmpty()) << sink.Texts().join(u'|').toStdString();
    EXPECT_EQ(stagedMeters(), QString());

    // Nothing waits: the next upload starts the tool and stages every reading.
    sink.Clear();
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"),
                   {"reading=1001|26-12-09 10:45|500|20|150", "reading=1002|26-12-09 10:50|5|10|80.5",
                    "reading=1003|26-12-09 10:55|300|10|80.5"});
    const ArchiveSeen seen = uploadToArchive();
    EXPECT_EQ(sink.Texts(), QStringList{"上传成功"});
    EXPECT_EQ(seen.caption, QStringLiteral("上传数据"));
    EXPECT_EQ(seen.rows, 3);
    EXPECT_EQ(stagedMeters(), QStringLiteral("00001001,00001002,00001003"));
    EXPECT_TRUE(QFile::exists(kept)); // the refused upload stays as it came
}

TEST_F(HandReadDlgTest, UploadsThatStopBeforeTheArchive)
{
    struct Case
    {
        const char* name;
        QStringList scenario;
        QStringList shown;
    };
    const Case cases[] = {
        {"tool error", {"answer=ERROR: 无应答", "reading=1001|26-12-09 10:45|500|20|150"}, {"ERROR: 无应答"}},
        {"empty table", {"table=empty"}, {"上传成功", "数据转换失败"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.Clear();
        InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"), c.scenario);
        click(1017);
        EXPECT_EQ(sink.Texts(), c.shown);
        EXPECT_EQ(stagedMeters(), QString());
    }
}

TEST_F(HandReadDlgTest, AStaleTableIsNotStagedAgain)
{
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"), {"reading=1001|26-12-09 10:45|500|20|150"});
    CModalScript script;
    script.Then([](QWidget* w) { w->close(); });
    click(1017);
    ASSERT_EQ(stagedMeters(), QStringLiteral("00001001"));
    db().Execute(QStringLiteral("delete from HandReadRaw"), QString());

    // This time the tool answers but writes no table.
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"), {"table=none"});
    sink.Clear();
    click(1017);
    EXPECT_EQ(stagedMeters(), QString());
    ASSERT_EQ(sink.Messages().size(), 2u);
    EXPECT_EQ(sink.Messages()[1].caption, QStringLiteral("错误"));
    EXPECT_TRUE(sink.Messages()[1].text.contains(QStringLiteral("ReadCB")));
}

TEST_F(HandReadArchiveDlgTest, ListsTheStagedReadings)
{
    StageReading(QStringLiteral("00000001"), 12.5);
    open();
    ASSERT_EQ(list()->GetColumnCount(), 5);
    QStringList headers, texts;
    for (int c = 0; c < 5; ++c) {
        headers << list()->horizontalHeaderItem(c)->text();
        texts << list()->GetItemText(0, c);
    }
    EXPECT_EQ(headers, (QStringList{"电表编号", "累计购电", "累计用电", "累计剩余", "抄表时间"}));
    EXPECT_EQ(texts, (QStringList{"00000001", "500", "12.50", "487.50", "2026-12-09 10:45:00"}));
    EXPECT_EQ(list()->GetRowObject(0), staged.At(0));
}

// The upload list shows its readings whole: the reading time to the second,
// large figures, every heading.
TEST_F(HandReadArchiveDlgTest, TheColumnsShowTheirWholeTexts)
{
    StageReading(QStringLiteral("000000012345"), 123456.78, QDateTime(QDate(2026, 12, 11), QTime(10, 30, 15)));
    open();
    EXPECT_EQ(list()->GetItemText(0, 4), QStringLiteral("2026-12-11 10:30:15"));
    EXPECT_EQ(CutListTexts(*list()), QStringList());
}

TEST_F(HandReadArchiveDlgTest, DeletesOneRowOrAllAfterAsking)
{
    for (const char* meterNo : {"00000001", "00000002", "00000003"})
        StageReading(QString::fromLatin1(meterNo), 1);
    open();

    DeselectRow(list(), 0); // the focused list selected its first row
    click(1174);
    click(1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"请选择抄表记录！", "请选择抄表记录！"}));

    sink.Clear();
    list()->SelectRow(1);
    sink.QueueAnswer(IDNO);
    click(1026);
    EXPECT_EQ(stagedRows(), 3);
    list()->SelectRow(1);
    click(1026);
    EXPECT_EQ(sink.Texts(), (QStringList{"确实需要删除该记录吗？", "确实需要删除该记录吗？"}));
    EXPECT_EQ(stagedRows(), 2);
    ASSERT_EQ(list()->GetItemCount(), 2);
    EXPECT_EQ(list()->GetItemText(1, 0), QStringLiteral("00000003"));

    sink.Clear();
    sink.QueueAnswer(IDNO);
    click(1134);
    EXPECT_EQ(stagedRows(), 2);
    click(1134);
    EXPECT_EQ(sink.Texts(), (QStringList{"确实需要删除全部记录吗？", "确实需要删除全部记录吗？"}));
    EXPECT_EQ(stagedRows(), 0);
    EXPECT_EQ(list()->GetItemCount(), 0);
}

TEST_F(HandReadArchiveDlgTest, AFailedWriteShowsItsFailureAndEndsTheArchiveOfAll)
{
    for (const char* meterNo : {"00000001", "00000002", "00000003"}) {
        AddReadMeter(db(), QString::fromLatin1(meterNo), 10);
        StageReading(QString::fromLatin1(meterNo), 20);
    }
    db().Execute(QStringLiteral("create trigger Refuse before insert on HandRead when new.MeterNo = '00000002' "
                                "begin select raise(abort, ''); end"),
                 QString());
    open();
    click(1016);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].caption, QStringLiteral("错误"));
    EXPECT_FALSE(sink.Messages()[0].text.trimmed().isEmpty());
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandRead")), 1);
    ASSERT_EQ(list()->GetItemCount(), 2); // the list shows what is still staged
    EXPECT_EQ(list()->GetItemText(0, 0), QStringLiteral("00000002"));
    EXPECT_EQ(stagedRows(), 2);
}

TEST(HandReadFlow, UploadArchiveAllAndDeleteTheLowerReading)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    CCurrentDirectory cwd(fresh.AppDir());
    AddArchivePrices(fresh.Db());
    AddReadMeter(fresh.Db(), QStringLiteral("00001001"), 120.5, 2);
    AddReadMeter(fresh.Db(), QStringLiteral("00001002"), 300);
    AddReadMeter(fresh.Db(), QStringLiteral("00001003"), 40);
    InstallStandin(fresh.AppDir(), QStringLiteral("Lumvex"),
                   {"reading=1001|26-12-09 10:45|500|20|150", "reading=1002|26-12-09 10:50|500|20|250",
                    "reading=1003|26-12-09 10:55|500|20|65.25"});

    CModalScript script;
    // Each action closes its window whatever it finds, so that a fault cannot hang the test.
    script.Then([](QWidget* w) {
        EXPECT_NE(qobject_cast<CHandReadArchiveDlg*>(w), nullptr);
        clickControl(w, 1016);
        w->close();
    });
    CModalScript::Action removeLeft = [](QWidget* w) {
        auto* archive = qobject_cast<CHandReadArchiveDlg*>(w);
        if (archive && archive->GetRowList()->GetItemCount() == 1) {
            archive->GetRowList()->SelectRow(0);
            clickControl(w, 1026);
        } else {
            ADD_FAILURE() << "the lower reading is not the one row left";
        }
        w->close();
    };
    script.Then(removeLeft);

    CHandReadDlg dialog(nullptr, QStringLiteral("电表抄表器管理"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    clickControl(&dialog, 1017); // upload, archive all
    clickControl(&dialog, 1017); // the lower reading waits; delete it
    EXPECT_TRUE(script.Exhausted());

    EXPECT_EQ(sink.Texts(), (QStringList{"上传成功", "表号为00001002的电表的本次抄表量少于上次抄表量！",
                                         "上次上传的抄表数据尚有未归档的！", "确实需要删除该记录吗？"}));
    EXPECT_EQ(fresh.Count(QStringLiteral("select * from HandReadRaw")), 0);
    EXPECT_EQ(fresh.Value(QStringLiteral("select group_concat(MeterNo || ':' || RealUse) from "
                                         "(select * from HandRead order by ReadIndex)")),
              QStringLiteral("00001001:59.0,00001003:25.25"));
    EXPECT_EQ(fresh.Value(QStringLiteral("select group_concat(ThisRead) from "
                                         "(select * from HandReadBase order by MeterNo)")),
              QStringLiteral("150.0,300.0,65.25"));
}

TEST(HandReadCommand, OpensTheMeterReader)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    CMainFrame frame;
    InstallDeviceCommands(frame);
    QString caption;
    CModalScript script;
    script.Then([&caption](QWidget* w) {
        caption = qobject_cast<CHandReadDlg*>(w) ? w->windowTitle() : QString();
        w->close();
    });
    frame.RunCommand(ID_METER_READER);
    EXPECT_EQ(caption, QStringLiteral("电表抄表器管理"));
    CHandSaleArchive::SetNewAccountOpener({}); // it held this frame
}
