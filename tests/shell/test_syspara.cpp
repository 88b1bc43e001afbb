#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "KvClock.h"
#include "KvFreshDatabase.h"
#include "KvProfile.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

namespace {

// A small SysPara of a few columns is enough for the parameter object's rules.
class SysParaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = OpenScratchDatabase(app.FilePath("p.db"), QStringLiteral(R"(
create table SysPara (ClientIndex integer, InvoiceNum integer, BuyUnit text collate nocase,
    ClientName text collate nocase, LWaste real, LastBackDate text, bPrint text collate nocase);
insert into SysPara values (1, 1, '度', '', 0, '2026-12-01', '是');
)"));
        para.SetDatabase(db.get());
    }
    QString stored(const QString& column)
    {
        CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
        rs->Open(QStringLiteral("select %1 from SysPara").arg(column));
        return rs->GetFieldText(column);
    }

    CRecordingMessageSink sink;
    CTempAppDirectory app;
    std::unique_ptr<CAdoConnection> db;
    CSysPara para;
};

} // namespace

TEST_F(SysParaTest, KeyAllocatorReturnsTheStoredValueAndAdvancesIt)
{
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 1), 1);
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 1), 2);
    EXPECT_EQ(stored("ClientIndex"), QStringLiteral("3"));
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 0), 3);
    EXPECT_EQ(stored("ClientIndex"), QStringLiteral("3")) << "no increment, no change";
    EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(SysParaTest, FailedReadShowsOneBoxMovesNothingAndPassesTheFailureOn)
{
    EXPECT_THROW(para.GetIntPara(QStringLiteral("NoSuchIndex"), 1), CKvException);
    EXPECT_THROW(para.GetIntPara(QStringLiteral("Client; delete from SysPara"), 1), CKvException);
    EXPECT_EQ(sink.Texts(), (QStringList{"获取系统参数时发生错误！", "获取系统参数时发生错误！"}));
    EXPECT_EQ(stored("ClientIndex"), QStringLiteral("1"));
    EXPECT_EQ(db->RecordsetPoolSize(), 1) << "the failed read gave its recordset back";
}

TEST_F(SysParaTest, AnAllocationWhoseAdvanceFailsHandsOutNoKey)
{
    // The read succeeds, the write of the next value is refused.
    db->Execute(QStringLiteral("create trigger Frozen before update on SysPara "
                               "begin select raise(abort, 'frozen'); end"),
                QString());
    EXPECT_THROW(para.GetIntPara(QStringLiteral("ClientIndex"), 1), CKvException);
    EXPECT_EQ(sink.Texts(), QStringList{"获取系统参数时发生错误！"});
    EXPECT_EQ(stored("ClientIndex"), QStringLiteral("1"));
    db->Execute(QStringLiteral("drop trigger Frozen"), QString());
    EXPECT_EQ(para.GetIntPara(QStringLiteral("ClientIndex"), 1), 1) << "the key that failed is handed out again";
    EXPECT_EQ(db->RecordsetPoolSize(), 1);
    EXPECT_EQ(db->CommandPoolSize(), 1) << "both wrappers were given back on the failure";
}

TEST_F(SysParaTest, AnUnboundObjectFailsInsteadOfCrashing)
{
    CSysPara unbound;
    EXPECT_THROW(unbound.GetIntPara(QStringLiteral("ClientIndex"), 1), CKvException);
    EXPECT_THROW(unbound.SetBuyUnit(QStringLiteral("元")), CKvException);
    EXPECT_THROW(unbound.SetLWaste(1), CKvException);
}

TEST_F(SysParaTest, CachedGettersReadOnceAndEmptyTextsAgain)
{
    EXPECT_EQ(para.GetBuyUnit(), QStringLiteral("度"));
    db->Execute(QStringLiteral("update SysPara set BuyUnit = 'kWh', ClientName = 'X''s'"), QString());
    EXPECT_EQ(para.GetBuyUnit(), QStringLiteral("度")) << "served from the cache";
    EXPECT_EQ(para.GetClientName(), QStringLiteral("X's")) << "an empty text was not cached";

    para.SetInvoiceNum(3);
    db->Execute(QStringLiteral("update SysPara set InvoiceNum = 5"), QString());
    EXPECT_EQ(para.GetInvoiceNum(), 3);
    CSysPara other;
    other.SetDatabase(db.get());
    EXPECT_EQ(other.GetInvoiceNum(), 5) << "each object keeps its own cache";
    other.SetInvoiceNum(7);
    EXPECT_EQ(para.GetInvoiceNum(), 3);
}

TEST_F(SysParaTest, ValuesAreWrittenSafelyWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    para.SetLWaste(2.5);
    para.SetClientName(QStringLiteral("O'Brien'; delete from SysPara;--"));
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_DOUBLE_EQ(para.GetLWaste(), 2.5);
    EXPECT_EQ(stored("ClientName"), QStringLiteral("O'Brien'; delete from SysPara;--"));

    para.SetLastBackDate(QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
    EXPECT_EQ(stored("LastBackDate"), QStringLiteral("2026-12-09"));
    EXPECT_EQ(para.GetLastBackDate(), QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
}

TEST_F(SysParaTest, RemoteSwitchesLiveInTheApplicationProfile)
{
    EXPECT_EQ(para.GetRemoteFlag(), QStringLiteral("否"));
    EXPECT_EQ(para.GetTellFlag(), QStringLiteral("否"));
    para.SetRemoteFlag(QStringLiteral("是"));
    EXPECT_EQ(GetAppProfileString(QStringLiteral("SystemSetup"), QStringLiteral("bRemote")), QStringLiteral("是"));
    CSysPara other;
    EXPECT_EQ(other.GetRemoteFlag(), QStringLiteral("是"));
}

TEST(SysGlobals, StandAloneEditionHasOneConnectionAndTwoCaches)
{
    if (GetEdition() != QStringLiteral("单机版"))
        GTEST_SKIP() << "the network edition's build";
    EXPECT_EQ(GetMainDatabase(), GetLocalDatabase());
    EXPECT_NE(GetMainSysPara(), GetLocalSysPara());
    EXPECT_EQ(GetMainSysPara()->GetDatabase(), GetLocalSysPara()->GetDatabase());
}

TEST(SysGlobals, NetworkEditionHasASeparateServerConnection)
{
    if (GetEdition() != QStringLiteral("网络版"))
        GTEST_SKIP() << "the stand-alone edition's build";
    EXPECT_NE(GetMainDatabase(), GetLocalDatabase());
    EXPECT_EQ(GetMainSysPara()->GetDatabase(), GetMainDatabase());
    EXPECT_EQ(GetLocalSysPara()->GetDatabase(), GetLocalDatabase());
}

TEST(SysGlobals, ServerDateIsTheDayAtMidnightAndItsMonthIsYyyymm)
{
    KvClock::SetFixed(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59)));
    EXPECT_EQ(GetServerDate(), QDateTime(QDate(2026, 12, 10), QTime(0, 0, 0)));
    EXPECT_EQ(GetServerTime(), QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59)));
    EXPECT_EQ(GetServerYearMonth(), 202612);
    KvClock::SetFixed(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    EXPECT_EQ(GetServerYearMonth(), 202701);
    KvClock::Reset();
}

TEST(SysGlobals, ConnectStringPointsIntoTheProgramFolder)
{
    CTempAppDirectory app;
    EXPECT_EQ(GetLocalConnectString(), QStringLiteral("Data Source=%1/work/Qrdb.db").arg(app.Path()));
}

TEST(SysGlobals, ServerConnectStringTakesItsLoginFromTheInstallationNotFromTheProgram)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh;
    GetLocalSysPara()->SetStringPara(QStringLiteral("ServerName"), QStringLiteral("db1,5433"));

    // An installation without its server entries names no login: nothing
    // the program carries stands in for them, and the text says where they go.
    const QString missing = ThrownText([] { GetServerConnectString(); });
    EXPECT_TRUE(missing.contains(QStringLiteral("Quillmer.ini")) && missing.contains(QStringLiteral("[Server]")))
        << missing.toStdString();

    WriteAppProfileString(QStringLiteral("Server"), QStringLiteral("Login"), QStringLiteral("counter"));
    WriteAppProfileString(QStringLiteral("Server"), QStringLiteral("Password"), QStringLiteral("s3cret"));
    EXPECT_EQ(GetServerConnectString(),
              QStringLiteral("Provider=SQLOLEDB;Server=db1,5433;Database=qrdb;uid=counter;pwd=s3cret"));
    // A password that would end its value is written in braces.
    WriteAppProfileString(QStringLiteral("Server"), QStringLiteral("Password"), QStringLiteral("a;b}c"));
    EXPECT_EQ(GetServerConnectString(),
              QStringLiteral("Provider=SQLOLEDB;Server=db1,5433;Database=qrdb;uid=counter;pwd={a;b}}c}"));
}
