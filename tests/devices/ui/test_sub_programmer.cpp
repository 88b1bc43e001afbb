#include "../ArchiveTestData.h"
#include "../DeviceTestHelpers.h"
#include "../SubRawTestData.h"
#include "CAdoConnection.h"
#include "CKvComboBox.h"
#include "CKvExtList2.h"
#include "CMainFrame.h"
#include "COperator.h"
#include "CProgRead.h"
#include "CProgReadArchiveDlg.h"
#include "CSubProgrammerDlg.h"
#include "CSubRawArchiveDlg.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvDeviceCommands.h"
#include "KvFreshDatabase.h"
#include "KvMainCommands.h"
#include "KvMessage.h"
#include "KvModalScript.h"
#include "SysGlobals.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

void ClickControl(QWidget* dialog, int id)
{
    auto* button = dialog->findChild<QAbstractButton*>(CKvDialog::ControlName(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString EditText(QWidget* dialog, int id)
{
    auto* edit = dialog->findChild<QLineEdit*>(CKvDialog::ControlName(id));
    return edit ? edit->text() : QStringLiteral("<none>");
}

// The rows of an archive dialog's list, each as its cells joined by '|'.
QStringList ListedRows(QWidget* dialog)
{
    QStringList rows;
    auto* list = dialog->findChild<CKvExtList2*>();
    for (int row = 0; list && row < list->GetItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            cells << list->GetItemText(row, column);
        rows << cells.join(u'|');
    }
    return rows;
}

// The sub-meter dialog answered: optionally ticks "the same for the rest",
// then OK.
CModalScript::Action AcceptSubMeter(bool same = false, QString* subNo = nullptr)
{
    return [same, subNo](QWidget* w) {
        if (subNo)
            *subNo = EditText(w, 1185);
        if (same)
            ClickControl(w, 1015);
        ClickControl(w, 1000);
    };
}

class SubProgrammerTest : public FreshDatabaseTest
{
protected:
    SubProgrammerTest() : cwd(fresh.AppDir())
    {
        ResetCurrentOperator();
        GetCurrentOperator()->SetOperatorNo(QStringLiteral("qz"));
        AddArchivePrices(db());
        AddArchiveMeter(db(), QStringLiteral("C001"), QStringLiteral("00001234"), {{"01", 100}});
        AddArchiveMeter(db(), QStringLiteral("C002"), QStringLiteral("00005678"), {{"01", 100}});
    }

    // The reading-data library in the program folder: the stand-in, or a test
    // copy that lacks an export.
    void installLibrary(const QString& folder, const QString& name)
    {
        const QString target = QDir(fresh.AppDir()).filePath(QStringLiteral("libHollorin.so"));
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(QDir(folder).filePath(name), target));
    }
    void installHollorin() { installLibrary(QStringLiteral(QUILLMER_BUILD_APP_DIR), QStringLiteral("libHollorin.so")); }
    void installFennick(const QStringList& readings)
    {
        QStringList scenario;
        for (const QString& reading : readings)
            scenario << QStringLiteral("reading=") + reading;
        InstallStandin(fresh.AppDir(), QStringLiteral("Fennick"), scenario);
    }
    QString staged()
    {
        return fresh.Value("select group_concat(MeterNo || '/' || SubX || '/' || ReadPulses || '/' || ReadDate, ' ') "
                           "from (select * from SubRaw order by RawIndex)");
    }
    // The archive dialog a script meets: its kind, caption and rows; closed.
    CModalScript::Action seeArchive(QString* seen)
    {
        return [seen](QWidget* w) {
            const char* kind = qobject_cast<CSubRawArchiveDlg*>(w)     ? "175"
                               : qobject_cast<CProgReadArchiveDlg*>(w) ? "163"
                                                                       : "?";
            *seen = QStringLiteral("%1 %2 %3").arg(kind, w->windowTitle()).arg(ListedRows(w).size());
            w->close();
        };
    }

    CCurrentDirectory cwd;
};

class ProgrammerDlgTest : public SubProgrammerTest
{
protected:
    ProgrammerDlgTest() : dialog(nullptr, QStringLiteral("附表抄表器管理"))
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void click(int id) { ClickControl(&dialog, id); }

    CSubProgrammerDlg dialog;
};

} // namespace

TEST_F(ProgrammerDlgTest, ThePortIsStoredAtEveryChangeAndDownloadAsksFirst)
{
    auto* ports = dialog.findChild<CKvComboBox*>(CKvDialog::ControlName(1136));
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->count(), 20);
    EXPECT_EQ(ports->currentText(), "com1");
    ports->setCurrentIndex(2);
    EXPECT_EQ(GetLocalSysPara()->GetIntPara(QStringLiteral("BravikCom")), 2);

    WriteFileBytes(QDir(fresh.AppDir()).filePath("Fennick"), "");
    CFakeToolRunner runner([this] { WriteFileBytes(QDir(fresh.AppDir()).filePath("Drossel.dat"), "OK\r\n"); });
    sink.QueueAnswer(IDNO);
    click(1018);
    EXPECT_TRUE(runner.Starts().empty());
    click(1018);
    ASSERT_EQ(runner.Starts().size(), 1u);
    EXPECT_EQ(runner.Starts()[0].arguments, (QStringList{"D", "3", ""}));
    EXPECT_EQ(sink.Texts(), (QStringList{"确实要对编程器下载吗？", "确实要对编程器下载吗？", "OK"}));

    CSubProgrammerDlg again(nullptr, QStringLiteral("附表抄表器管理"));
    again.EnsureInitialised();
    EXPECT_EQ(again.findChild<CKvComboBox*>(CKvDialog::ControlName(1136))->currentText(), "com3");
}

TEST_F(ProgrammerDlgTest, StagedRowsLeftSendBothUploadsToTheSettingsArchive)
{
    StageSubRaw("00001234", "1", 10, 0, QDate(2008, 5, 12));
    CFakeToolRunner runner;
    for (const int button : {1017, 1135}) {
        sink.Clear();
        QString seen;
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(button);
        EXPECT_EQ(seen, "175 归档附表 1") << button;
        EXPECT_EQ(sink.Texts(), QStringList{"上次上传的附表尚有未归档的！"});
    }
    EXPECT_TRUE(runner.Starts().empty());
}

TEST_F(ProgrammerDlgTest, UploadFailuresOfTheLibrary)
{
    installFennick({"1234|1|08-05-12|10|345", "5678|2|08-05-12|20|0"});
    const QString testLibs = QStringLiteral(QUILLMER_TEST_LIB_DIR);
    const struct
    {
        const char* library; // "" for none
        const char* message;
        const char* staged;
    } cases[] = {
        {"", "装载DLL失败！", ""},
        {"libHollorinWithoutGET.so", "装载函数1失败", ""},
        {"libHollorinWithoutFREE.so", "装载函数2失败", "00001234/1/10/2008-05-12 00005678/2/20/2008-05-12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        db().Execute("delete from SubRaw", QString());
        QFile::remove(QDir(fresh.AppDir()).filePath("libHollorin.so"));
        if (*c.library)
            installLibrary(testLibs, QString::fromLatin1(c.library));
        sink.Clear();
        click(1017); // no archive dialog follows: the script would fail the test
        EXPECT_EQ(sink.Texts(), (QStringList{"上传成功", QString::fromUtf8(c.message)}));
        EXPECT_EQ(staged(), c.staged);
    }
}

TEST_F(ProgrammerDlgTest, UploadsStageTheRecordsAndOpenTheirArchive)
{
    installHollorin();
    // No records: an empty settings archive.
    installFennick({});
    QString seen;
    {
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(1017);
    }
    EXPECT_EQ(seen, "175 归档附表 0");

    // Initial values drop a record without a valid date silently; readings
    // name the one they drop.
    installFennick({"1234|1|08-05-12|10|345", "5678|2|08-02-30|20|0"});
    {
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(1017);
    }
    EXPECT_EQ(seen, "175 归档附表 1");
    EXPECT_EQ(staged(), "00001234/1/10/2008-05-12");
    db().Execute("delete from SubRaw", QString());
    sink.Clear();
    {
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(1135);
    }
    EXPECT_EQ(seen, "163 归档抄表数 1");
    EXPECT_EQ(sink.Texts(), (QStringList{"上传成功", "下列附表的抄表日期无效，未上传：\n\n00005678_2"}));

    // The archive buttons open their dialogs whatever is staged.
    {
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(1032);
    }
    EXPECT_EQ(seen, "163 归档抄表数 1");
    {
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(1031);
    }
    EXPECT_EQ(seen, "175 归档附表 1");
}

TEST_F(ProgrammerDlgTest, AnUploadNeverStagesTheRecordsOfAnEarlierOne)
{
    installHollorin();
    // An earlier upload's records are still in the library's file; this time
    // the tool answers but hands over nothing.
    ReadDataRecord earlier{};
    std::memcpy(earlier.meterNo, "1234", 4);
    std::memcpy(earlier.subX, "1", 1);
    std::memcpy(earlier.readDate, "08-05-12", 8);
    earlier.pulses = 10;
    const QString dataFile = QDir(fresh.AppDir()).filePath(QStringLiteral(KV_READ_DATA_FILE));
    WriteFileBytes(dataFile, QByteArray(reinterpret_cast<const char*>(&earlier), sizeof earlier));
    WriteFileBytes(QDir(fresh.AppDir()).filePath("Fennick"), "");
    CFakeToolRunner runner([this] { WriteFileBytes(QDir(fresh.AppDir()).filePath("Drossel.dat"), "OK\r\n"); });
    for (const int button : {1017, 1135}) {
        QString seen;
        CModalScript script;
        script.Then(seeArchive(&seen));
        click(button);
        EXPECT_TRUE(seen.endsWith(" 0")) << button << " " << seen.toStdString();
        EXPECT_EQ(staged(), "") << button;
        EXPECT_FALSE(QFile::exists(dataFile));
        WriteFileBytes(dataFile, QByteArray(reinterpret_cast<const char*>(&earlier), sizeof earlier));
    }
    EXPECT_EQ(runner.Starts().size(), 2u);
}

namespace {

class SettingsArchiveDlgTest : public SubProgrammerTest
{
protected:
    void open()
    {
        list.LoadAll();
        dialog = std::make_unique<CSubRawArchiveDlg>(nullptr, QStringLiteral("归档附表"), &list);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void select(int row) { dialog->GetRowList()->SelectRow(row); }
    QString subMeters()
    {
        return fresh.Value("select group_concat(ClientNo || '/' || SubNo || '/' || PriceNo || '/' || InitPulses || "
                           "'/' || InitRead || '/' || ReadDate, ' ') from (select * from CliSub order by CliSubIndex)");
    }

    CSubRawList list;
    std::unique_ptr<CSubRawArchiveDlg> dialog;
};

} // namespace

TEST_F(SettingsArchiveDlgTest, ArchivesTheSelectedRowUnderItsMeterOrItsCardsMeter)
{
    AddCardWritten(db(), "00005678", "90005678");
    StageSubRaw("00001234", "2", 17, 3.45f, QDate(2008, 5, 12));
    StageSubRaw("90005678", "1", 5, 1.0f, QDate(2008, 5, 13));
    StageSubRaw("99999999", "1", 6, 0, QDate(2008, 5, 14));
    open();
    EXPECT_EQ(ListedRows(dialog.get()), (QStringList{"00001234|2|17|3.45|2008-05-12", "00005678|5|5|1.00|2008-05-13",
                                                     "99999999|5|6|0.00|2008-05-14"}));

    DeselectRow(dialog->GetRowList(), 0); // the focused list selected its first row
    ClickControl(dialog.get(), 1174);
    EXPECT_EQ(sink.Texts(), QStringList{"请选择上传记录！"});

    QString subNo;
    {
        CModalScript script;
        script.Then(AcceptSubMeter(false, &subNo)).Then(AcceptSubMeter(false, &subNo));
        select(0);
        ClickControl(dialog.get(), 1174);
        EXPECT_EQ(subNo, "00001234_2");
        select(0);
        ClickControl(dialog.get(), 1174);
        EXPECT_EQ(subNo, "00005678_5");
    }
    EXPECT_EQ(subMeters(), "C001/00001234_2/01/17/3.45/2008-05-12 C002/00005678_5/01/5/1.0/2008-05-13");

    // A card number that no card carries has no account.
    sink.Clear();
    select(0);
    ClickControl(dialog.get(), 1174);
    EXPECT_EQ(sink.Texts(), QStringList{"系统中没有下列表号的有效档案！\n\n99999999"});
    EXPECT_EQ(ListedRows(dialog.get()), QStringList{"99999999|5|6|0.00|2008-05-14"});
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 1);
}

TEST_F(SettingsArchiveDlgTest, ArchiveAllWithTheSameSettingsAsksOnce)
{
    StageSubRaw("00001234", "1", 10, 1.0f, QDate(2008, 5, 12));
    StageSubRaw("00001234", "2", 20, 2.0f, QDate(2008, 5, 13));
    StageSubRaw("00005678", "3", 30, 3.0f, QDate(2008, 5, 14));
    open();
    CModalScript script;
    script.Then([](QWidget* w) {
        // The first row's settings: the second price, ticked for the rest.
        EXPECT_TRUE(w->findChild<QCheckBox*>(CKvDialog::ControlName(1015))->isEnabled());
        w->findChild<CKvComboBox*>(CKvDialog::ControlName(1182))->setCurrentIndex(1);
        ClickControl(w, 1015);
        ClickControl(w, 1000);
    });
    ClickControl(dialog.get(), 1016);
    EXPECT_EQ(script.Handled(), 1);
    EXPECT_EQ(subMeters(), "C001/00001234_1/02/10/1.0/2008-05-12 C001/00001234_2/02/20/2.0/2008-05-13 "
                           "C002/00005678_3/02/30/3.0/2008-05-14");
    EXPECT_TRUE(ListedRows(dialog.get()).isEmpty());
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 0);
}

TEST_F(SettingsArchiveDlgTest, CancelAndNoToContinueLeavesTheRestStaged)
{
    StageSubRaw("00001234", "1", 10, 1.0f, QDate(2008, 5, 12));
    StageSubRaw("00001234", "2", 20, 2.0f, QDate(2008, 5, 13));
    open();
    CModalScript script;
    script.Then([](QWidget* w) { ClickControl(w, 1001); });
    sink.QueueAnswer(IDNO);
    ClickControl(dialog.get(), 1016);
    EXPECT_EQ(sink.Texts(), QStringList{"是否继续？"});
    EXPECT_EQ(ListedRows(dialog.get()).size(), 2);
    EXPECT_EQ(fresh.Count("select * from CliSub"), 0);
}

TEST_F(SubProgrammerTest, PulseArchiveAllStopsAtTheFirstWrongRow)
{
    CProgRead last;
    last.SetSubNo("00005678_1");
    last.SetReadPulses(500);
    last.SetReadDate(QDateTime(QDate(2008, 5, 1), QTime()));
    last.Save();
    StageSubRaw("00001234", "1", 100, 0, QDate(2008, 5, 10));
    StageSubRaw("00005678", "1", 400, 0, QDate(2008, 5, 10)); // fewer pulses
    StageSubRaw("00001234", "2", 50, 0, QDate(2008, 5, 10));
    CSubRawList list;
    list.LoadAll();
    CProgReadArchiveDlg dialog(nullptr, QStringLiteral("归档抄表数"), &list);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ClickControl(&dialog, 1016);
    EXPECT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(ListedRows(&dialog), (QStringList{"00005678|1|400|2008-05-10", "00001234|2|50|2008-05-10"}));
    EXPECT_EQ(fresh.Value("select group_concat(SubNo) from (select SubNo from ProgRead order by ProgIndex)"),
              "00005678_1,00001234_1");
}

TEST_F(SubProgrammerTest, SubMetersAreSetUpAndReadThroughTheDialogs)
{
    installHollorin();
    installFennick({"1234|1|08-05-12|100|345", "1234|2|08-05-12|200|1000"});
    CMainFrame frame;
    InstallDeviceCommands(frame);
    // A script answers the modal windows opened within one action, so every
    // window that opens another runs a script of its own.
    const auto clickWith = [](QWidget* w, int id, const CModalScript::Action& action) {
        CModalScript inner;
        inner.Then(action);
        ClickControl(w, id);
        EXPECT_TRUE(inner.Exhausted()) << id;
    };
    int pass = 0;
    const auto settingsArchive = [&](QWidget* w) {
        ++pass;
        ASSERT_NE(qobject_cast<CSubRawArchiveDlg*>(w), nullptr);
        clickWith(w, 1016, AcceptSubMeter(true));
        ClickControl(w, 1001);
    };
    const auto readingArchive = [&](QWidget* w) {
        ++pass;
        ASSERT_NE(qobject_cast<CProgReadArchiveDlg*>(w), nullptr);
        ClickControl(w, 1016);
        ClickControl(w, 1050);
    };
    CModalScript script;
    script.Then([&](QWidget* w) {
        ASSERT_NE(qobject_cast<CSubProgrammerDlg*>(w), nullptr);
        EXPECT_EQ(w->windowTitle(), "附表抄表器管理");
        clickWith(w, 1017, settingsArchive);
        installFennick({"1234|1|08-06-12|150|0", "1234|2|08-06-12|260|0", "1234|1|08-07-12|170|0"});
        clickWith(w, 1135, readingArchive);
        ClickControl(w, 1001);
    });
    frame.RunCommand(ID_SUB_PROGRAMMER);
    EXPECT_EQ(pass, 2);
    EXPECT_EQ(fresh.Value("select group_concat(SubNo || '/' || InitPulses || '/' || InitRead, ' ') from (select * "
                          "from CliSub order by CliSubIndex)"),
              "00001234_1/100/3.45 00001234_2/200/10.0");
    CProgReadList readings;
    readings.LoadBySubNo("00001234_1");
    ASSERT_EQ(readings.GetCount(), 2);
    EXPECT_EQ(readings.At(0)->GetReadPulses(), 150);
    EXPECT_EQ(readings.At(1)->GetReadPulses(), 170);
    EXPECT_EQ(fresh.Count("select * from ProgRead where SubNo = '00001234_2'"), 1);
    EXPECT_EQ(fresh.Count("select * from SubRaw"), 0);
}
