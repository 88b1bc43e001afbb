#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvFreshDatabase.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QStringList Column(CAdoConnection& db, const QString& sql)
{
    QStringList values;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    for (; !rs->IsEOF(); rs->MoveNext())
        values << rs->GetFieldText(rs->GetFieldName(0));
    return values;
}

QByteArray FileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class SchemaTest : public FreshDatabaseTest
{
};

TEST_F(SchemaTest, FreshDatabaseHoldsTheFortyTwoTablesOfTheSystem)
{
    const QStringList expected = {
        "SysPara",   "Operator",    "Permission",   "Station",  "KvReportForm", "KvReportCol", "KvReport",
        "KvLine",    "KvText",      "KvField",      "Block",    "Building",     "Department",  "Client",
        "CliFix",    "CliMan",      "OtherItem",    "OtherFee", "CliPre",       "CliSub",      "PreModel",
        "Price",     "PriceVer",    "RankPrice",    "PrePrice", "PriceType",    "WrtRecord",   "WrtPrice",
        "ClientPay", "CliBalance",  "PreLastWrt",   "FixFee",   "ManItem",      "ManualFee",   "SubRead",
        "HandRaw",   "HandReadRaw", "HandReadBase", "HandRead", "SubRaw",       "ProgRead",    "ManRead"};
    ASSERT_EQ(expected.size(), 42);
    const QStringList tables =
        Column(db(), "select name from sqlite_master where type = 'table' and name not like 'sqlite%' order by name");
    EXPECT_EQ(QSet<QString>(tables.begin(), tables.end()), QSet<QString>(expected.begin(), expected.end()));
    EXPECT_EQ(tables.size(), 42);
    EXPECT_EQ(ReadSchemaVersion(db()), CurrentSchemaVersion());
    EXPECT_GE(CurrentSchemaVersion(), 1);
}

TEST_F(SchemaTest, SysParaHoldsOneRowWithTheValuesOfAnInitialisedSystem)
{
    // Every column of the parameter row, with its value after the system
    // initialisation and the installation values it leaves alone.
    const struct
    {
        const char* column;
        QString value;
    } cases[] = {
        {"ClientIndex", "1"},
        {"CliPreIndex", "1"},
        {"CliFixIndex", "1"},
        {"CliSubIndex", "1"},
        {"CliManIndex", "1"},
        {"WrtIndex", "1"},
        {"FixFeeIndex", "1"},
        {"OhterFeeIndex", "1"},
        {"SubReadIndex", "1"},
        {"HandReadIndex", "1"},
        {"ManReadIndex", "1"},
        {"PrePriceIndex", "1"},
        {"WrtPriceIndex", "1"},
        {"PriceIndex", "1"},
        {"PayIndex", "1"},
        {"InvoiceNo", "1"},
        {"ReportIndex", "34"}, // one past the shipped report layouts
        {"StationNo", "1"},
        {"ClientName", "XXX"},
        {"ServerName", "Qrserver"},
        {"CardBoxCom", "0"},
        {"BravikCom", "0"},
        {"BuyUnit", "度"},
        {"InvoiceNoMode", "自动"},
        {"PayMode", "现金"},
        {"bPayMode", "否"},
        {"bProg", "否"},
        {"bLW", "否"},
        {"bTW", "否"},
        {"CompRateWater", "0"},
        {"bChange", "否"},
        {"bPrint", "是"},
        {"InvoiceNum", "1"},
        {"UseNum", "0"},
        {"LWaste", "0"},
        {"CardType", "红外遥控卡"},
        {"bCompWrt", "否"},
        {"FixYearMon", "202612"},
        {"LastClientNo", "0"},
        {"MemNum", "0"},
        {"bAutoSetFix", "否"},
        {"LastBackDate", "2026-12-10"},
        {"AppTitle", "Quillmer 预付费售电管理系统"},
        {"AppVersion", "1.0"},
    };
    ASSERT_EQ(std::size(cases), 44u);
    EXPECT_EQ(fresh.Count("select * from SysPara"), 1);
    EXPECT_EQ(fresh.Count("PRAGMA table_info(SysPara)"), 44) << "no column beyond the parameters";

    CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
    rs->Open(QStringLiteral("select * from SysPara"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        ASSERT_FALSE(rs->IsFieldNull(c.column));
        EXPECT_EQ(rs->GetFieldText(c.column), c.value);
    }
    // Counters and numbers are stored as numbers, so that the key allocator and
    // the typed getters read them without conversion.
    EXPECT_EQ(fresh.Value("select typeof(ClientIndex) || typeof(FixYearMon) || typeof(LWaste) from SysPara"),
              QStringLiteral("integerintegerreal"));
    EXPECT_EQ(rs->GetFieldDouble("CompRateWater"), 0.0);
}

TEST_F(SchemaTest, FreshDatabaseHoldsTheReservedRowsAndTheAdministrator)
{
    EXPECT_EQ(Column(db(), "select BlockNo || '|' || BlockName from Block"), QStringList{"00|"});
    EXPECT_EQ(Column(db(), "select BlockNo || '|' || BuildingNo || '|' || BuildingName from Building"),
              QStringList{"00|00|"});
    EXPECT_EQ(Column(db(), "select DepartmentNo || '|' || DepartmentName from Department"), QStringList{"00|"});
    EXPECT_EQ(Column(db(), "select OperatorNo || '|' || OperatorName || '|' || OperatorPw || '|' || StationNo "
                           "from Operator"),
              QStringList{"qz|qz||01"});
    EXPECT_EQ(Column(db(), "select MenuId from Permission where OperatorNo = 'qz' order by rowid"),
              (QStringList{"401", "501", "503", "504", "505", "506", "507", "511", "512", "513", "514", "515", "516",
                           "517", "518"}));
    EXPECT_EQ(fresh.Count("select * from Permission"), 15);

    // Everything else starts empty.
    for (const char* table : {"Client", "CliPre", "CliSub", "WrtRecord", "ClientPay", "ManualFee", "PriceType"})
        EXPECT_EQ(fresh.Count(QStringLiteral("select * from %1").arg(table)), 0) << table;
}

TEST_F(SchemaTest, TextComparesWithoutRegardToCaseAndDatesCompareAsDays)
{
    // The program matches codes as the operator types them.
    EXPECT_EQ(fresh.Value("select OperatorName from Operator where OperatorNo = 'QZ'"), QStringLiteral("qz"));
    EXPECT_EQ(fresh.Count("select * from Permission where OperatorNo = 'Qz'"), 15);

    // A day written as a date and a midnight date-time are the same value, and
    // text order is time order.
    db().Execute(QStringLiteral("insert into PriceVer(PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, "
                                "ModiTime) values(1, 'p1', 0.5, CDate('2026-12-01'), CDate('2050-12-31 00:00:00'), "
                                "'qz', CDate('2026-12-01 08:00:00'))"),
                 QString());
    EXPECT_EQ(fresh.Count("select * from PriceVer where EndDate = CDate('2050-12-31')"), 1);
    EXPECT_EQ(fresh.Count("select * from PriceVer where BeginDate <= CDate('2026-12-01 10:00:00') "
                          "and ModiTime < CDate('2026-12-02')"),
              1);
    // A key given as a quoted number (as the sub-meter reading insert does) is stored as a number.
    db().Execute(QStringLiteral("insert into SubRead(ReadIndex, SubNo) values('7', 'x')"), QString());
    EXPECT_EQ(fresh.Value("select typeof(ReadIndex) from SubRead"), QStringLiteral("integer"));
}

TEST_F(SchemaTest, ManualFeeIsTheTableTheHelperLibraryCreates)
{
    // The engine keeps the statement as given, only its first two words in capitals.
    QString stored = fresh.Value("select sql from sqlite_master where name = 'ManualFee'");
    ASSERT_TRUE(stored.startsWith("CREATE TABLE "));
    EXPECT_EQ(stored.replace(0, 12, "create table"), ManualFeeCreateStatement());
    EXPECT_EQ(
        ManualFeeCreateStatement(),
        QStringLiteral("create table ManualFee (ManualIndex int primary key, MeterNo Varchar(20) collate nocase, "
                       "WrtNum int, WrtIndex int, ClientName Varchar(100) collate nocase, Department Varchar(20) "
                       "collate nocase, ClientNo Varchar(20) collate nocase, YearMonth Varchar(20) collate nocase, "
                       "SubRead float, ElecRead float, SubFee float, ElecFee float, TenementArea float, Fee float, "
                       "TotalFee float, TeneFee float, State Varchar(20) collate nocase, WrtTime DateTime, "
                       "OperatorName Varchar(20) collate nocase)"));
    // Codes compare without regard to case, as in every other table.
    db().Execute(QStringLiteral("insert into ManualFee(ManualIndex, ClientNo, State) values(1, 'ab1', '未收费')"),
                 QString());
    EXPECT_EQ(fresh.Count("select * from ManualFee where ClientNo = 'AB1' and State = '未收费'"), 1);
}

TEST(SchemaClock, QuotaMonthAndLastBackupComeFromTheCreationTime)
{
    const struct
    {
        QDateTime now;
        QString fixYearMon;
        QString lastBackDate;
    } cases[] = {
        {QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)), "202612", "2026-12-10"},
        {QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)), "202701", "2027-01-01"},
        {QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), "202612", "2026-12-31"},
        {QDateTime(QDate(2030, 2, 28), QTime(12, 0, 1)), "203002", "2030-02-28"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now.toString(Qt::ISODate).toStdString());
        CFreshDatabase fresh(c.now);
        EXPECT_EQ(fresh.Value("select FixYearMon from SysPara"), c.fixYearMon);
        EXPECT_EQ(fresh.Value("select LastBackDate from SysPara"), c.lastBackDate);
    }
}

TEST(SchemaCreate, AnExistingFileIsRefusedAndLeftUnchanged)
{
    CTempAppDirectory app;
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30, 0));

    // A database of its own: creating over it again must not touch its rows.
    const QString dbPath = app.FilePath("Qrdb.db");
    CreateFreshDatabase(dbPath, now);
    const QByteArray before = FileDigest(dbPath);
    EXPECT_THROW(CreateFreshDatabase(dbPath, now.addMonths(1)), CKvException);
    EXPECT_EQ(FileDigest(dbPath), before);

    // Any other file of that name.
    const QString other = app.FilePath("other.db");
    {
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a database");
    }
    EXPECT_THROW(CreateFreshDatabase(other, now), CKvException);
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a database"));
}

TEST(SchemaCreate, AFailedCreationLeavesNoFile)
{
    CTempAppDirectory app;
    // No folder to create it in.
    const QString missingFolder = app.FilePath("work/Qrdb.db");
    EXPECT_THROW(CreateFreshDatabase(missingFolder, QDateTime(QDate(2026, 12, 10), QTime())), CKvException);
    EXPECT_FALSE(QFile::exists(missingFolder));
    // No valid clock value.
    const QString path = app.FilePath("Qrdb.db");
    EXPECT_THROW(CreateFreshDatabase(path, QDateTime()), CKvException);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SchemaVersion, AnOlderFileIsBroughtUpWithItsRowsAndANewerOneIsLeftAlone)
{
    CTempAppDirectory app;
    // A file made before versions were kept: its tables and rows stay.
    auto db = OpenScratchDatabase(app.FilePath("old.db"), QStringLiteral(R"(
create table Client (ClientIndex integer primary key, ClientNo text collate nocase);
insert into Client values (1, 'u1');
insert into Client values (2, 'u2');
)"));
    EXPECT_EQ(ReadSchemaVersion(*db), 0);
    EXPECT_EQ(UpdateSchemaVersion(*db), CurrentSchemaVersion());
    EXPECT_EQ(ReadSchemaVersion(*db), CurrentSchemaVersion());
    EXPECT_EQ(UpdateSchemaVersion(*db), CurrentSchemaVersion()) << "a second run changes nothing";
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    rs->Open(QStringLiteral("select count(*) as n from Client"));
    EXPECT_EQ(rs->GetFieldInt("n"), 2);
    EXPECT_EQ(db->GetTransDepth(), 0);

    // A file of a later program is not "brought down".
    auto newer = OpenScratchDatabase(app.FilePath("newer.db"), QStringLiteral("PRAGMA user_version = 99;"));
    EXPECT_EQ(UpdateSchemaVersion(*newer), 99);
    EXPECT_EQ(ReadSchemaVersion(*newer), 99);
}
