#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvBackup.h"
#include "KvEdition.h"
#include "KvFreshDatabase.h"
#include "KvSchema.h"
#include "SysGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString stations(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(QStringLiteral("select StationNo, StationName from Station order by StationNo"));
    QStringList rows;
    for (; !rs->IsEOF(); rs->MoveNext())
        rows << rs->GetFieldString(QStringLiteral("StationNo")) + QLatin1Char('=') +
                    rs->GetFieldString(QStringLiteral("StationName"));
    return rows.join(QLatin1Char(','));
}

// A value read from a database file by a connection of its own.
QString valueIn(const QString& path, const QString& sql)
{
    CAdoConnection file;
    file.Open(0, QStringLiteral("Data Source=%1").arg(path));
    QString value;
    {
        CAdoLease<CAdoRecordset> rs(file.AcquireRecordset());
        rs->Open(sql);
        value = rs->IsEOF() ? QString() : rs->GetFieldValue(0).toString();
    }
    file.Close();
    return value;
}

void executeIn(const QString& path, const QString& sql)
{
    CAdoConnection file;
    file.Open(0, QStringLiteral("Data Source=%1").arg(path));
    file.Execute(sql, QString());
    file.Close();
}

class BackupTest : public FreshDatabaseTest
{
protected:
    BackupTest()
    {
        db().Execute(QStringLiteral("insert into Station(StationNo, StationName) values('03', '东门')"), QString());
        db().Execute(QStringLiteral("update SysPara set ClientName = 'Backed'"), QString());
    }
    QString backupPath() const { return m_outside.filePath(QStringLiteral("copy.db")); }

    QTemporaryDir m_outside;
};

} // namespace

TEST(BackupName, IsTheTimeToTheMinuteInTheBackupFolder)
{
    CTempAppDirectory app;
    EXPECT_EQ(DefaultBackupPath(QDateTime(QDate(2006, 12, 25), QTime(14, 30, 59))),
              app.FilePath(QStringLiteral("backup/Qrdb0612251430.db")));
}

TEST_F(BackupTest, ABackupRestoredIntoAFreshProgramFolderHoldsTheSameRows)
{
    // The rows written above are still in the write-ahead log of the open file.
    ASSERT_TRUE(BackupDatabase(db(), backupPath()));
    EXPECT_FALSE(QFileInfo::exists(backupPath() + QStringLiteral(".part")));
    EXPECT_EQ(stations(db()), QStringLiteral("03=东门")) << "the open database goes on working";

    CFreshDatabase other; // another program folder, a fresh installation open in it
    EXPECT_EQ(stations(other.Db()), QString());
    ASSERT_TRUE(RestoreDatabase(backupPath()));
    EXPECT_FALSE(GetLocalDatabase()->IsOpen()) << "the program ends after a restore";

    OpenProgramDatabase();
    EXPECT_EQ(stations(other.Db()), QStringLiteral("03=东门"));
    EXPECT_EQ(other.Value(QStringLiteral("select ClientName from SysPara")), QStringLiteral("Backed"));
    // The database it replaced is kept beside it.
    const QStringList kept =
        QDir(other.AppDir() + QStringLiteral("/work")).entryList({QStringLiteral("Qrdb*.replaced.db")}, QDir::Files);
    EXPECT_EQ(kept, QStringList{QStringLiteral("Qrdb2612100930.replaced.db")});
    EXPECT_FALSE(QFileInfo::exists(GetLocalDatabasePath() + QStringLiteral(".restoring")));
}

TEST_F(BackupTest, ATargetThatExistsIsReplacedAndTheOpenFileItselfIsRefused)
{
    {
        QFile junk(backupPath());
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("not a database");
    }
    ASSERT_TRUE(BackupDatabase(db(), backupPath()));
    EXPECT_TRUE(IsRestorableDatabase(backupPath()));

    EXPECT_FALSE(BackupDatabase(db(), GetLocalDatabasePath()));
    EXPECT_FALSE(BackupDatabase(db(), m_outside.filePath(QStringLiteral("missing/folder/copy.db"))));
    EXPECT_EQ(stations(db()), QStringLiteral("03=东门"));
}

TEST_F(BackupTest, AFileThatIsNoSoundDatabaseIsRefusedAndTheLiveOneStaysOpen)
{
    ASSERT_TRUE(BackupDatabase(db(), backupPath()));
    const QByteArray good = [&] {
        QFile file(backupPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }();
    ASSERT_GT(good.size(), 16384);
    QByteArray damaged = good;
    damaged.replace(8192, 4096, QByteArray(4096, '\x55'));

    struct Case
    {
        const char* name;
        QByteArray content;
    };
    const Case cases[] = {
        {"a text file", QByteArray("backup of the counter\n")},
        {"half a database", good.left(good.size() / 2)},
        {"a database with damaged pages", damaged},
        {"an empty file", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_outside.filePath(QStringLiteral("candidate.db"));
        QFile::remove(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();

        EXPECT_FALSE(RestoreDatabase(path));
        EXPECT_TRUE(GetLocalDatabase()->IsOpen());
        EXPECT_EQ(stations(db()), QStringLiteral("03=东门"));
        EXPECT_FALSE(QFileInfo::exists(GetLocalDatabasePath() + QStringLiteral(".restoring")));
    }

    // A sound database of another program lacks the parameter row.
    const QString foreign = m_outside.filePath(QStringLiteral("foreign.db"));
    OpenScratchDatabase(foreign, QStringLiteral("create table Other (a int);"))->Close();
    EXPECT_FALSE(IsRestorableDatabase(foreign));
    EXPECT_FALSE(RestoreDatabase(foreign));
    EXPECT_TRUE(GetLocalDatabase()->IsOpen());
}

// Each restore keeps the database it replaced; one in the same minute as an
// earlier one keeps its own beside it instead of deleting the first.
TEST_F(BackupTest, ASecondRestoreInTheSameMinuteKeepsBothReplacedDatabases)
{
    ASSERT_TRUE(BackupDatabase(db(), backupPath()));
    const QString live = GetLocalDatabasePath();
    for (const char* work : {"First", "Second"}) {
        SCOPED_TRACE(work);
        GetLocalDatabase()->Execute(QStringLiteral("update SysPara set ClientName = '%1'").arg(work), QString());
        ASSERT_TRUE(RestoreDatabase(backupPath()));
        OpenProgramDatabase();
        EXPECT_EQ(valueIn(live, QStringLiteral("select ClientName from SysPara")), QStringLiteral("Backed"));
    }
    const QDir work = QFileInfo(live).dir();
    const QStringList kept = work.entryList({QStringLiteral("Qrdb*.replaced.db")}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept, QStringList({QStringLiteral("Qrdb2612100930.replaced.db"),
                                 QStringLiteral("Qrdb2612100930_2.replaced.db")}));
    EXPECT_EQ(valueIn(work.filePath(kept[0]), QStringLiteral("select ClientName from SysPara")),
              QStringLiteral("First"));
    EXPECT_EQ(valueIn(work.filePath(kept[1]), QStringLiteral("select ClientName from SysPara")),
              QStringLiteral("Second"));
}

// A sound file without the program's tables would leave a database nobody can
// log in to or report from: it is refused and the live database stays open.
TEST_F(BackupTest, AFileWithoutTheProgramsTablesIsRefused)
{
    if (KvIsNetworkEdition())
        GTEST_SKIP() << "a network counter's file holds only the counter's own tables";
    ASSERT_TRUE(BackupDatabase(db(), backupPath()));
    const QString candidate = m_outside.filePath(QStringLiteral("candidate.db"));
    struct Case
    {
        const char* name;
        const char* change;
    };
    const Case cases[] = {
        {"no operator", "delete from Operator"},
        {"no operator table", "drop table Operator"},
        {"no report layouts", "drop table KvReportForm"},
        {"no report columns", "drop table KvReportCol"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(candidate);
        ASSERT_TRUE(QFile::copy(backupPath(), candidate));
        executeIn(candidate, QString::fromUtf8(c.change));
        EXPECT_FALSE(RestoreDatabase(candidate));
        EXPECT_TRUE(GetLocalDatabase()->IsOpen());
        EXPECT_EQ(stations(db()), QStringLiteral("03=东门"));
    }

    // A network counter's own file: its parameter row and receipt layout only.
    const QString counter = m_outside.filePath(QStringLiteral("counter.db"));
    CreateLocalNetworkDatabase(counter, QDateTime(QDate(2026, 12, 10), QTime(9, 30)), QStringLiteral("Qrserver"));
    EXPECT_FALSE(IsRestorableDatabase(counter));
    EXPECT_FALSE(RestoreDatabase(counter));
    EXPECT_TRUE(GetLocalDatabase()->IsOpen());

    // The untouched backup still passes.
    EXPECT_TRUE(IsRestorableDatabase(backupPath()));
}

// A network counter's own file holds its parameter row and the receipt layout
// it prints with: a file without one of the layout tables is refused, and the
// live database stays open.
TEST_F(BackupTest, ANetworkCountersFileWithoutItsLayoutTablesIsRefused)
{
    if (!KvIsNetworkEdition())
        GTEST_SKIP() << "a stand-alone counter's file is the whole database";
    const QString counter = m_outside.filePath(QStringLiteral("counter.db"));
    CreateLocalNetworkDatabase(counter, QDateTime(QDate(2026, 12, 10), QTime(9, 30)), QStringLiteral("Qrserver"));
    EXPECT_TRUE(IsRestorableDatabase(counter));
    const QString candidate = m_outside.filePath(QStringLiteral("candidate.db"));
    for (const QString& table : LocalTableNames()) {
        SCOPED_TRACE(table.toStdString());
        QFile::remove(candidate);
        ASSERT_TRUE(QFile::copy(counter, candidate));
        executeIn(candidate, QStringLiteral("drop table %1").arg(table));
        EXPECT_FALSE(IsRestorableDatabase(candidate));
        EXPECT_FALSE(RestoreDatabase(candidate));
        EXPECT_TRUE(GetLocalDatabase()->IsOpen());
        EXPECT_EQ(stations(db()), QStringLiteral("03=东门"));
    }
}
