#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvEdition.h"
#include "KvSchema.h"
#include "KvTestSupport.h"
#include "Ostrakon.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program folder for the helper library: it finds the folder as the program
// does, here through QUILLMER_APPDIR, and opens work/Qrdb.db in it.
class OstrakonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The network edition's library works on the server: tests/shell/network.
        if (KvIsNetworkEdition())
            GTEST_SKIP() << "the stand-alone edition's helper library";
        ASSERT_TRUE(app.isValid());
        qputenv("QUILLMER_APPDIR", app.path().toUtf8());
    }
    void TearDown() override
    {
        ClrOstrakon();
        qunsetenv("QUILLMER_APPDIR");
    }

    QString DatabasePath() const { return app.filePath("work/Qrdb.db"); }

    // A database as an older program left it: no ManualFee, no version.
    std::unique_ptr<CAdoConnection> MakeOlderDatabase()
    {
        QDir(app.path()).mkpath("work");
        CreateFreshDatabase(DatabasePath(), QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
        auto db = std::make_unique<CAdoConnection>();
        db->Open(0, "Data Source=" + DatabasePath());
        db->ExecuteScript(QStringLiteral("drop table ManualFee; PRAGMA user_version = 0;"), QString());
        return db;
    }

    static int RunLibrary()
    {
        const int result = InitialOstrakon();
        QuillmerUpdateDatabase();
        ClrOstrakon();
        return result;
    }

    // The stored CREATE statement of a table (the engine writes its first two
    // words in capitals, the rest as given).
    static QString CreateStatementOf(CAdoConnection& db, const QString& table)
    {
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(QStringLiteral("select sql from sqlite_master where type = 'table' and name = '%1'").arg(table));
        if (rs->IsEOF())
            return QString();
        QString sql = rs->GetFieldText(QStringLiteral("sql"));
        if (sql.startsWith(QStringLiteral("CREATE TABLE ")))
            sql.replace(0, 12, QStringLiteral("create table"));
        return sql;
    }

    static QStringList Rows(CAdoConnection& db, const QString& sql)
    {
        QStringList rows;
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(sql);
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->GetFieldCount(); ++i)
                fields << rs->GetFieldText(rs->GetFieldName(i));
            rows << fields.join('|');
        }
        return rows;
    }

    QTemporaryDir app;
};

} // namespace

TEST_F(OstrakonTest, CreatesManualFeeOnceWithTheNineteenColumnsAndTheCurrentVersion)
{
    auto db = MakeOlderDatabase();
    db->Execute(QStringLiteral("insert into Client(ClientIndex, ClientNo) values(5, 'u5')"), QString());

    testing::internal::CaptureStderr();
    EXPECT_EQ(RunLibrary(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no message on success";

    EXPECT_EQ(CreateStatementOf(*db, "ManualFee"), ManualFeeCreateStatement());
    EXPECT_EQ(Rows(*db, "select name || ' ' || lower(type) from pragma_table_info('ManualFee') order by cid"),
              (QStringList{"ManualIndex int", "MeterNo varchar(20)", "WrtNum int", "WrtIndex int",
                           "ClientName varchar(100)", "Department varchar(20)", "ClientNo varchar(20)",
                           "YearMonth varchar(20)", "SubRead float", "ElecRead float", "SubFee float", "ElecFee float",
                           "TenementArea float", "Fee float", "TotalFee float", "TeneFee float", "State varchar(20)",
                           "WrtTime datetime", "OperatorName varchar(20)"}));
    EXPECT_EQ(Rows(*db, "select pk from pragma_table_info('ManualFee') where name = 'ManualIndex'"), QStringList{"1"});
    EXPECT_EQ(ReadSchemaVersion(*db), CurrentSchemaVersion());
    EXPECT_EQ(Rows(*db, "select ClientNo from Client"), QStringList{"u5"}) << "rows survive the update";

    // The fees arrive; a later start leaves the table and its rows as they are.
    db->Execute(QStringLiteral("insert into ManualFee(ManualIndex, ClientNo, TotalFee, State) "
                               "values(1, 'u5', 12.5, '未收费')"),
                QString());
    EXPECT_EQ(RunLibrary(), 0);
    EXPECT_EQ(Rows(*db, "select ManualIndex, ClientNo, TotalFee, State from ManualFee"),
              QStringList{"1|u5|12.5|未收费"});
    EXPECT_EQ(Rows(*db, "select count(*) from sqlite_master where name = 'ManualFee'"), QStringList{"1"});
}

TEST_F(OstrakonTest, LeavesAnExistingManualFeeOfAnotherShapeAndItsRowsAlone)
{
    auto db = MakeOlderDatabase();
    const QString ownShape = QStringLiteral("create table ManualFee (ManualIndex int primary key, State Varchar(20))");
    db->Execute(ownShape, QString());
    db->ExecuteScript(
        QStringLiteral("insert into ManualFee values(1, '已收费'); insert into ManualFee values(2, '未收费')"),
        QString());

    EXPECT_EQ(RunLibrary(), 0);
    EXPECT_EQ(CreateStatementOf(*db, "ManualFee"), ownShape);
    EXPECT_EQ(Rows(*db, "select * from ManualFee order by ManualIndex"), (QStringList{"1|已收费", "2|未收费"}));
}

TEST_F(OstrakonTest, FindsTheTableWhateverTheCaseOfItsNameAndMakesOlderCodesCompareWithoutCase)
{
    // A table of the same name in other letters is the same table: no second
    // create (which the engine refuses), its rows stay.
    {
        auto db = MakeOlderDatabase();
        db->Execute(QStringLiteral("create table manualfee (ManualIndex int primary key)"), QString());
        db->Execute(QStringLiteral("insert into manualfee values(7)"), QString());
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunLibrary(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no failed step";
        EXPECT_EQ(Rows(*db, "select ManualIndex from ManualFee"), QStringList{"7"});
        EXPECT_EQ(ReadSchemaVersion(*db), CurrentSchemaVersion());
    }
    QFile::remove(DatabasePath());

    // A version 1 file whose ManualFee the library made before codes compared
    // without case: rebuilt with every row, and 'U5' now finds 'u5'.
    auto db = MakeOlderDatabase();
    QString binary = ManualFeeCreateStatement();
    binary.remove(QStringLiteral(" collate nocase"));
    db->Execute(binary, QString());
    db->ExecuteScript(QStringLiteral("insert into ManualFee(ManualIndex, ClientNo, MeterNo, TotalFee, State) "
                                     "values(1, 'u5', 'm5', 12.5, '未收费'); PRAGMA user_version = 1;"),
                      QString());
    EXPECT_EQ(RunLibrary(), 0);
    EXPECT_EQ(CreateStatementOf(*db, "ManualFee"), ManualFeeCreateStatement());
    EXPECT_EQ(Rows(*db, "select ManualIndex, ClientNo, MeterNo, TotalFee, State from ManualFee "
                        "where ClientNo = 'U5' and MeterNo = 'M5'"),
              QStringList{"1|u5|m5|12.5|未收费"});
    EXPECT_EQ(Rows(*db, "select count(*) from sqlite_master where name like 'ManualFee%'"), QStringList{"1"});
    EXPECT_EQ(ReadSchemaVersion(*db), CurrentSchemaVersion());
}

TEST_F(OstrakonTest, AFreshDatabaseIsLeftAsItIs)
{
    QDir(app.path()).mkpath("work");
    CreateFreshDatabase(DatabasePath(), QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    CAdoConnection db;
    db.Open(0, "Data Source=" + DatabasePath());
    // SQLite's own planner statistics, which a connection may leave as it
    // closes, are no part of the schema.
    const char* const schema =
        "select type, name, sql from sqlite_master where name not like 'sqlite_stat%' order by name";
    const QStringList schemaBefore = Rows(db, schema);

    EXPECT_EQ(RunLibrary(), 0);
    EXPECT_EQ(Rows(db, schema), schemaBefore);
    EXPECT_EQ(ReadSchemaVersion(db), CurrentSchemaVersion());
}

TEST_F(OstrakonTest, AMissingDatabaseIsReportedAndNeverCreated)
{
    // Without the work folder, and with the folder but without the file.
    for (const bool withWorkFolder : {false, true}) {
        SCOPED_TRACE(withWorkFolder ? "work folder without database" : "no work folder");
        if (withWorkFolder)
            QDir(app.path()).mkpath("work");

        testing::internal::CaptureStderr();
        EXPECT_EQ(InitialOstrakon(), 1);
        QuillmerUpdateDatabase(); // nothing open: nothing to update, nothing more to say
        ClrOstrakon();
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, "[提示] 连接本地数据库失败！\n");

        EXPECT_FALSE(QFile::exists(DatabasePath()));
        EXPECT_EQ(QDir(app.path()).exists("work"), withWorkFolder) << "no folder is made either";
        if (withWorkFolder) {
            EXPECT_TRUE(QDir(app.filePath("work")).isEmpty());
        }
    }
}

TEST_F(OstrakonTest, UsesTheProgramFolderNotTheCurrentDirectory)
{
    auto db = MakeOlderDatabase();

    // Started from another folder that happens to hold a database of its own.
    QTemporaryDir elsewhere;
    QDir(elsewhere.path()).mkpath("work");
    const QString otherPath = elsewhere.filePath("work/Qrdb.db");
    CreateFreshDatabase(otherPath, QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    {
        CAdoConnection other;
        other.Open(0, "Data Source=" + otherPath);
        other.Execute(QStringLiteral("drop table ManualFee"), QString());
    }
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const int result = RunLibrary();
    QDir::setCurrent(previous);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(Rows(*db, "select count(*) from sqlite_master where name = 'ManualFee'"), QStringList{"1"});
    CAdoConnection other;
    other.Open(0, "Data Source=" + otherPath);
    EXPECT_EQ(Rows(other, "select count(*) from sqlite_master where name = 'ManualFee'"), QStringList{"0"});
}

TEST_F(OstrakonTest, RepeatedInitialisationKeepsItsConnectionsAndClearingAlwaysEmpties)
{
    auto db = MakeOlderDatabase();
    EXPECT_EQ(InitialOstrakon(), 0);
    EXPECT_EQ(InitialOstrakon(), 0) << "open connections count as opened";
    ClrOstrakon();
    ClrOstrakon(); // nothing left to clear

    // After clearing nothing is open: the update touches nothing.
    testing::internal::CaptureStderr();
    QuillmerUpdateDatabase();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Rows(*db, "select count(*) from sqlite_master where name = 'ManualFee'"), QStringList{"0"});

    EXPECT_EQ(InitialOstrakon(), 0);
    QuillmerUpdateDatabase();
    EXPECT_EQ(Rows(*db, "select count(*) from sqlite_master where name = 'ManualFee'"), QStringList{"1"});
}
