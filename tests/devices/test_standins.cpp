#include "CDbfTable.h"
#include "DeviceTestHelpers.h"
#include "KvGbk.h"
#include "KvTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a stand-in installed in `folder` with the current directory `folder`.
int runTool(const QString& folder, const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QDir(folder).filePath(tool), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.exitCode();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

TEST(DeviceToolStandins, LogTheirCallAndAnswerOneGbkLineInTheCurrentDirectory)
{
    QTemporaryDir dir;
    for (const char* tool : {"Gostrel", "Lumvex", "Fennick"})
        InstallStandin(dir.path(), QString::fromLatin1(tool), {});
    EXPECT_EQ(runTool(dir.path(), QStringLiteral("Gostrel"), {"D", "5", "A07"}), 0);
    EXPECT_EQ(fileBytes(dir.filePath("Drossel.dat")), GbkEncode(QStringLiteral("下载成功")) + "\r\n");
    EXPECT_EQ(runTool(dir.path(), QStringLiteral("Lumvex"), {"U", "1", ""}), 0);
    EXPECT_EQ(fileBytes(dir.filePath("Lumvex.dat")), GbkEncode(QStringLiteral("上传成功")) + "\r\n");
    EXPECT_EQ(runTool(dir.path(), QStringLiteral("Fennick"), {"X"}), 2);
    EXPECT_TRUE(fileBytes(dir.filePath("Drossel.dat")).startsWith("ERROR"));

    const QStringList log = ReadFileText(dir.filePath("standins.log")).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QStringLiteral("Gostrel [D] [5] [A07] cwd=%1").arg(QDir(dir.path()).canonicalPath()));
    EXPECT_TRUE(log[1].startsWith(QStringLiteral("Lumvex [U] [1] [] cwd=")));
}

TEST(DeviceToolStandins, ScenariosForceTheAnswerAndTheExchangeTable)
{
    struct Case
    {
        const char* name;
        QStringList scenario;
        QByteArray answer; // "<none>": no answer file
        int records;       // -1: no table
    };
    const Case cases[] = {
        {"two sales, one deleted",
         {"sale=00001234|100|3|100|37.5|20070315143005", "sale=00005678|50|1|50|0|20070315143005|deleted"},
         GbkEncode(QStringLiteral("上传成功")) + "\r\n",
         2},
        {"error line",
         {"answer.U=串口 ERROR 3", "answer=never"},
         GbkEncode(QStringLiteral("串口 ERROR 3")) + "\r\n",
         0},
        {"empty table, empty answer file", {"table=empty", "answerfile=empty"}, QByteArray(), 0},
        {"no table, no answer file", {"table=none", "answerfile=none"}, QByteArray("<none>"), -1},
        {"empty first line", {"answer="}, QByteArray("\r\n"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        InstallStandin(dir.path(), QStringLiteral("Gostrel"), c.scenario);
        EXPECT_EQ(runTool(dir.path(), QStringLiteral("Gostrel"), {"U", "1", ""}), 0);
        EXPECT_EQ(fileBytes(dir.filePath("Drossel.dat")), c.answer);
        const QString table = CDbfTable::PathOf(dir.path(), QStringLiteral("ReadTempA"));
        EXPECT_EQ(QFile::exists(table), c.records >= 0);
        if (c.records >= 0) {
            EXPECT_EQ(CDbfTable::Open(table)->RecordCount(), c.records);
        }
    }
}

TEST(DeviceToolStandins, TheSaleMachineWritesItsTableWithTheAgreedFields)
{
    QTemporaryDir dir;
    InstallStandin(dir.path(), QStringLiteral("Gostrel"), {"sale=电表01|12abc|7|100|12.34|20070315143005"});
    runTool(dir.path(), QStringLiteral("Gostrel"), {"U", "1", ""});
    auto table = CDbfTable::Open(CDbfTable::PathOf(dir.path(), QStringLiteral("ReadTempA")));
    EXPECT_EQ(table->FieldNames(), (QStringList{"BIAOHAO", "VALCUR", "TIMES", "VALALL", "VALUSED", "OPERDATE"}));
    EXPECT_EQ(table->ReadRows().value(0), (QStringList{"电表01", "12abc", "7", "100", "12.34", "20070315143005"}));
}

TEST(DeviceToolStandins, TheMeterReaderWritesItsTableWithTheAgreedFields)
{
    QTemporaryDir dir;
    InstallStandin(dir.path(), QStringLiteral("Lumvex"),
                   {"reading=1234|07-03-15 09:45|120|37.25|150.5", "reading=9|07-03|x|1|1|deleted"});
    EXPECT_EQ(runTool(dir.path(), QStringLiteral("Lumvex"), {"U", "1", ""}), 0);
    EXPECT_EQ(fileBytes(dir.filePath("Lumvex.dat")), GbkEncode(QStringLiteral("上传成功")) + "\r\n");
    auto table = CDbfTable::Open(CDbfTable::PathOf(dir.path(), QStringLiteral("ReadCB")));
    EXPECT_EQ(table->FieldNames(), (QStringList{"HWNO", "DATETIM", "ZONGM", "SHENG", "LEIJI"}));
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(table->ReadRows(), (QList<QStringList>{QStringList{"1234", "07-03-15 09:45", "120", "37.25", "150.50"}}));

    // A download writes no table; "table=none" leaves none on an upload.
    QFile::remove(CDbfTable::PathOf(dir.path(), QStringLiteral("ReadCB")));
    runTool(dir.path(), QStringLiteral("Lumvex"), {"D", "1", ""});
    InstallStandin(dir.path(), QStringLiteral("Lumvex"), {"table=none", "reading=1|07-03-15 09:45|1|1|1"});
    runTool(dir.path(), QStringLiteral("Lumvex"), {"U", "1", ""});
    EXPECT_FALSE(QFile::exists(CDbfTable::PathOf(dir.path(), QStringLiteral("ReadCB"))));
}
