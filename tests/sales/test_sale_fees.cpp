// The arithmetic and the write numbers of the fees gathered at a sale, the
// batch of sub-meter readings, the fee-loading library and the meter-reading
// cards of the transfer tool.

#include "CAdoRecordset.h"
#include "CCardToolSim.h"
#include "CCliSub.h"
#include "CManItem.h"
#include "COtherItem.h"
#include "CProgRead.h"
#include "CSubRead.h"
#include "CSubReadingBatch.h"
#include "CSysPara.h"
#include "CardToolTestHelpers.h"
#include "FeeTestHelpers.h"
#include "KvFreshDatabase.h"
#include "KvSaleFees.h"
#include "SysGlobals.h"

#include <QTimeZone>
#include <gtest/gtest.h>

TEST(SaleFeeWriteNumbers, FollowTheCardStateAndTheCardsWriteCount)
{
    const int c = 7;
    const struct
    {
        int state;
        int wrtNum;
        bool gathers;
        bool showsQuota;
    } cases[] = {
        {2, 8, true, true},   {4, 8, true, true},   {13, 8, true, true},   {102, 8, true, true}, {104, 8, true, true},
        {6, 7, true, true},   {106, 8, true, true}, {156, 8, false, true}, {3, 7, false, true},  {103, 7, false, true},
        {56, 7, false, true}, {1, 7, false, false}, {-1, 7, false, false},
    };
    for (const auto& expected : cases) {
        const FeeWriteNumber n = FeeWriteNumberOf(expected.state, c);
        EXPECT_EQ(n.wrtNum, expected.wrtNum) << expected.state;
        EXPECT_EQ(n.gathers, expected.gathers) << expected.state;
        EXPECT_EQ(n.showsQuota, expected.showsQuota) << expected.state;
    }
}

// The IC replacement top-up and transfer store c + 1, and so do their
// readings: c would charge the last, paid sale's readings again.
TEST(SaleFeeWriteNumbers, SubMeterReadingsGoWithTheSalesWriteNumber)
{
    const struct
    {
        int state;
        SubReadingPlan::Mode mode;
        int wrtNum;
        const char* kind;
    } cases[] = {
        {3, SubReadingPlan::Stored, 7, ""},           {103, SubReadingPlan::Stored, 7, ""},
        {56, SubReadingPlan::Stored, 7, ""},          {156, SubReadingPlan::Stored, 8, ""},
        {6, SubReadingPlan::Take, 7, "已用补卡"},     {106, SubReadingPlan::Take, 8, "已用补卡"},
        {2, SubReadingPlan::Take, 8, "已用充值卡"},   {4, SubReadingPlan::Take, 8, "已用充值卡"},
        {13, SubReadingPlan::Take, 8, "已用充值卡"},  {102, SubReadingPlan::Take, 8, "已用充值卡"},
        {104, SubReadingPlan::Take, 8, "已用充值卡"}, {1, SubReadingPlan::None, -1, ""},
    };
    for (const auto& expected : cases) {
        const SubReadingPlan plan = SubReadingPlanOf(expected.state, 7);
        EXPECT_EQ(plan.mode, expected.mode) << expected.state;
        EXPECT_EQ(plan.wrtNum, expected.wrtNum) << expected.state;
        EXPECT_EQ(plan.cardKind, QString::fromUtf8(expected.kind)) << expected.state;
    }
}

TEST(SubMeterArithmetic, PulsesSubsidyAndCharge)
{
    double thisRead = 0;
    ASSERT_TRUE(ReadingFromPulses(20.5, 300, 450, 100, thisRead));
    EXPECT_DOUBLE_EQ(thisRead, 22.0);
    ASSERT_TRUE(ReadingFromPulses(1, 0, 1, 3, thisRead));
    EXPECT_DOUBLE_EQ(thisRead, 1 + 1.0 / 3); // a fraction, not an integer division
    EXPECT_FALSE(ReadingFromPulses(20.5, 300, 450, 0, thisRead));

    const QDateTime last(QDate(2026, 12, 1), QTime(0, 0));
    SubsidyProposal proposal = ProposeSubsidy(last, last.addDays(10), QStringLiteral("2"), 0.5);
    EXPECT_EQ(proposal.days, 10);
    EXPECT_EQ(QString::asprintf("%0.4f", proposal.subsidy), QStringLiteral("10.0000"));
    proposal = ProposeSubsidy(last, last.addDays(10).addSecs(-60), QStringLiteral("2"), 0.5);
    EXPECT_EQ(proposal.days, 9); // the fraction of a day is dropped
    proposal = ProposeSubsidy(last.addDays(3), last, QStringLiteral("2"), 0.5);
    EXPECT_EQ(proposal.days, 0);
    // Days are calendar days, also across a change of summer time.
    const QTimeZone berlin("Europe/Berlin");
    const struct
    {
        QDate from, to;
        int days;
    } spans[] = {
        {QDate(2024, 3, 25), QDate(2024, 4, 4), 10},   // across 31 March: one day of 23 hours
        {QDate(2024, 3, 30), QDate(2024, 4, 1), 2},    // the same, two days
        {QDate(2024, 10, 26), QDate(2024, 10, 28), 2}, // autumn: a day of 25 hours
        {QDate(2024, 3, 20), QDate(2024, 3, 30), 10},  // no change within
        {QDate(2024, 3, 31), QDate(2024, 3, 31), 0},
    };
    for (const auto& span : spans) {
        const SubsidyProposal p = ProposeSubsidy(QDateTime(span.from, QTime(0, 0), berlin),
                                                 QDateTime(span.to, QTime(0, 0), berlin), QStringLiteral("1"), 1);
        EXPECT_EQ(p.days, span.days) << span.from.toString().toStdString();
    }
    EXPECT_EQ(QString::asprintf("%0.4f", proposal.subsidy), QStringLiteral("0.0000"));

    CSubRead reading;
    ChargeReading(reading, 1.5, 4, 9, 2.5); // subsidy above the use
    EXPECT_EQ(reading.GetBuyValue(), 0.0);
    EXPECT_EQ(reading.GetFee(), 0.0);
    EXPECT_EQ(reading.GetPriceIndex(), 9);
    ChargeReading(reading, 5.25, 1, 9, 2.5);
    EXPECT_DOUBLE_EQ(reading.GetBuyValue(), 4.25);
    EXPECT_DOUBLE_EQ(reading.GetFee(), 10.625);
}

namespace {

class SubReadingBatchTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        AddSubMeterRow(db(), {1, QStringLiteral("00001234"), QStringLiteral("1"), QStringLiteral("S1")});
        subs.LoadCurrentByMeterNo(QStringLiteral("00001234"));
        ASSERT_EQ(subs.GetCount(), 1);
    }
    std::unique_ptr<CSubRead> Reading(int pulses, const QString& day)
    {
        auto reading = CSubReadingBatch::NewReading(*subs.At(0), 5);
        reading->SetThisPulses(pulses);
        reading->SetThisRead(reading->GetLastRead() + (pulses - reading->GetLastPulses()) / 100.0);
        reading->SetReadTime(QDateTime(QDate::fromString(day, Qt::ISODate), QTime(0, 0)));
        ChargeReading(*reading, reading->GetThisRead() - reading->GetLastRead(), 0, 3, 2);
        return reading;
    }
    int Count(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
        rs->Open(sql);
        return rs->GetFieldInt(QStringLiteral("n"));
    }
    CCliSubList subs;
};

} // namespace

// Two programmer readings chain in memory, and only the commit writes them:
// rows with keys, the sub-meter's state and the deletes, in one go.
TEST_F(SubReadingBatchTest, ChainsInMemoryAndWritesEverythingAtCommit)
{
    db().Execute("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S1', 450, '2026-12-05')", QString());
    db().Execute("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S1', 500, '2026-12-08')", QString());
    CSubReadList readings;
    {
        CSubReadingBatch batch;
        CProgReadList& progs = batch.NewProgReadList();
        progs.LoadBySubNo(QStringLiteral("S1"));
        ASSERT_EQ(progs.GetCount(), 2);
        batch.Add(Reading(450, "2026-12-05"), *subs.At(0), progs.At(0), &progs);
        auto second = Reading(500, "2026-12-08");
        EXPECT_EQ(second->GetLastPulses(), 450);
        EXPECT_DOUBLE_EQ(second->GetLastRead(), 22.0);
        batch.Add(std::move(second), *subs.At(0), progs.At(1), &progs);
        EXPECT_EQ(Count("select count(*) as n from SubRead"), 0);
        EXPECT_EQ(Count("select count(*) as n from ProgRead"), 2);
        batch.Commit(readings);
    }
    ASSERT_EQ(readings.GetCount(), 2);
    EXPECT_EQ(Count("select count(*) as n from ProgRead"), 0);
    CSubReadList stored;
    stored.LoadByWrtNum(QStringLiteral("00001234"), 5);
    ASSERT_EQ(stored.GetCount(), 2);
    EXPECT_EQ(stored.At(0)->GetReadIndex(), readings.At(0)->GetReadIndex());
    EXPECT_EQ(stored.At(1)->GetReadIndex(), stored.At(0)->GetReadIndex() + 1);
    EXPECT_DOUBLE_EQ(stored.At(1)->GetLastRead(), 22.0);
    EXPECT_DOUBLE_EQ(stored.At(1)->GetThisRead(), 22.5);
    EXPECT_EQ(stored.At(1)->GetWrtIndex(), -1);

    CCliSubList again;
    again.LoadCurrentByMeterNo(QStringLiteral("00001234"));
    const CCliSub& sub = *again.At(0);
    EXPECT_EQ(sub.GetWrtNum(), 5);
    EXPECT_EQ(sub.GetWrtIndex(), -1);
    EXPECT_EQ(sub.GetThisPulses(), 500);
    EXPECT_EQ(sub.GetLastPulses(), 450);
    EXPECT_DOUBLE_EQ(sub.GetThisRead(), 22.5);
    EXPECT_DOUBLE_EQ(sub.GetLastRead(), 22.0);
    EXPECT_EQ(sub.GetReadDate().date(), QDate(2026, 12, 8));
}

TEST_F(SubReadingBatchTest, AnAbandonedOrFailedBatchWritesNothing)
{
    db().Execute("insert into ProgRead(SubNo, ReadPulses, ReadDate) values('S1', 450, '2026-12-05')", QString());
    {
        CSubReadingBatch batch;
        CProgReadList& progs = batch.NewProgReadList();
        progs.LoadBySubNo(QStringLiteral("S1"));
        batch.Add(Reading(450, "2026-12-05"), *subs.At(0), progs.At(0), &progs);
    }
    EXPECT_EQ(Count("select count(*) as n from SubRead"), 0);
    EXPECT_EQ(Count("select count(*) as n from ProgRead"), 1);

    // The sub-meter's row is gone: its state cannot be written, and the
    // reading inserted before it goes back too.
    const int counter = GetMainSysPara()->GetIntPara(QStringLiteral("SubReadIndex"));
    db().Execute("delete from CliSub", QString());
    CSubReadList readings;
    CSubReadingBatch batch;
    CProgReadList& progs = batch.NewProgReadList();
    progs.LoadBySubNo(QStringLiteral("S1"));
    batch.Add(Reading(450, "2026-12-05"), *subs.At(0), progs.At(0), &progs);
    EXPECT_ANY_THROW(batch.Commit(readings));
    EXPECT_EQ(readings.GetCount(), 0);
    EXPECT_EQ(Count("select count(*) as n from SubRead"), 0);
    EXPECT_EQ(Count("select count(*) as n from ProgRead"), 1);
    EXPECT_EQ(GetMainSysPara()->GetIntPara(QStringLiteral("SubReadIndex")), counter);
}

namespace {

class FeeLibraryTest : public FreshDatabaseTest
{
protected:
    int Count(const QString& sql)
    {
        CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
        rs->Open(sql);
        return rs->GetFieldInt(QStringLiteral("n"));
    }
};

} // namespace

// The library inserts the user's waiting fees with the write number given,
// keys above the highest, once; other users' fees wait on.
TEST_F(FeeLibraryTest, InsertsTheUsersWaitingFeesOnce)
{
    const QString folder = fresh.AppDir();
    CallFeeLibrary("LoadManFee", QStringLiteral("C001"), 4); // not there: passed over
    EXPECT_TRUE(FeeLibraryLog(folder).isEmpty());

    CopyFeeLibrary(folder);
    CallFeeLibrary("LoadManFee", QStringLiteral("C001"), 4); // no fixture: nothing
    db().Execute("insert into ManItem(ReadIndex, ClientNo, WrtNum) values(40, 'C009', 1)", QString());
    WriteFeeFixture(folder, {"ManItem|用户甲|W-7|1.5|4.25|2.75|2026-12-09|0.5|2.25|水费|3.2|7.2",
                             "ManItem|C002|W-8|0|1|1|2026-12-09|0|1|水费|3|3",
                             "OtherItem|用户甲|卫生费|2026-11-01|2026-11-30|30|0.2|30|6.5"});
    CallFeeLibrary("LoadManFee", QStringLiteral("用户甲"), 4);
    CallFeeLibrary("LoadOtherFee", QStringLiteral("用户甲"), 4);
    CallFeeLibrary("LoadManFee", QStringLiteral("用户甲"), 4);

    CManItemList items;
    items.LoadByClientAndWrtNum(QStringLiteral("用户甲"), 4);
    ASSERT_EQ(items.GetCount(), 1);
    const CManItem& item = *items.At(0);
    EXPECT_EQ(item.GetReadIndex(), 41);
    EXPECT_EQ(item.GetManNo(), QStringLiteral("W-7"));
    EXPECT_DOUBLE_EQ(item.GetLastRead(), 1.5);
    EXPECT_DOUBLE_EQ(item.GetThisRead(), 4.25);
    EXPECT_DOUBLE_EQ(item.GetRealUse(), 2.75);
    EXPECT_EQ(item.GetReadTime().date(), QDate(2026, 12, 9));
    EXPECT_DOUBLE_EQ(item.GetFreeValue(), 0.5);
    EXPECT_DOUBLE_EQ(item.GetBuyValue(), 2.25);
    EXPECT_EQ(item.GetPriceName(), QStringLiteral("水费"));
    EXPECT_DOUBLE_EQ(item.GetPrice(), 3.2);
    EXPECT_DOUBLE_EQ(item.GetFee(), 7.2);
    EXPECT_EQ(item.GetWrtIndex(), -1);

    COtherItemList others;
    others.LoadByClientAndWrtNum(QStringLiteral("用户甲"), 4);
    ASSERT_EQ(others.GetCount(), 1);
    const COtherItem& other = *others.At(0);
    EXPECT_EQ(other.GetFeeIndex(), 1);
    EXPECT_EQ(other.GetPriceName(), QStringLiteral("卫生费"));
    EXPECT_EQ(other.GetBeginDate().date(), QDate(2026, 11, 1));
    EXPECT_EQ(other.GetEndDate().date(), QDate(2026, 11, 30));
    EXPECT_EQ(other.GetDays(), 30);
    EXPECT_DOUBLE_EQ(other.GetPrice(), 0.2);
    EXPECT_DOUBLE_EQ(other.GetPriceUnits(), 30);
    EXPECT_DOUBLE_EQ(other.GetFinalFee(), 6.5);
    EXPECT_EQ(other.GetWrtIndex(), -1);

    EXPECT_EQ(Count("select count(*) as n from ManItem where ClientNo = 'C002'"), 0);
    EXPECT_EQ(FeeLibraryLog(folder),
              (QStringList{"LoadManFee C001 4 => inserted 0", "LoadManFee 用户甲 4 => inserted 1",
                           "LoadOtherFee 用户甲 4 => inserted 1", "LoadManFee 用户甲 4 => inserted 0"}));
}

// A code GBK cannot hold would reach the library as "U?", another user's
// code: the call is refused before the library loads anything.
TEST_F(FeeLibraryTest, ACodeGbkCannotHoldIsRefusedNotSentAsAnotherUsers)
{
    const QString folder = fresh.AppDir();
    CopyFeeLibrary(folder);
    WriteFeeFixture(folder, {"ManItem|U?|W-7|1.5|4.25|2.75|2026-12-09|0.5|2.25|水费|3.2|7.2",
                             "OtherItem|U?|卫生费|2026-11-01|2026-11-30|30|0.2|30|6.5"});
    for (const char* exportName : {"LoadManFee", "LoadOtherFee"})
        EXPECT_THROW(CallFeeLibrary(exportName, QStringLiteral("U😀"), 4), CKvException) << exportName;
    EXPECT_TRUE(FeeLibraryLog(folder).isEmpty());
    EXPECT_EQ(Count("select count(*) as n from ManItem"), 0);
    EXPECT_EQ(Count("select count(*) as n from OtherItem"), 0);
}

// A meter-reading card preset on a port reaches the program as the 15
// transfer fields, the card number first.
TEST_F(FeeLibraryTest, TheTransferToolAnswersAPresetReadingCard)
{
    CopyCardTools(fresh.AppDir());
    CCardToolSim sim(fresh.AppDir());
    CSimReadingCard main;
    main.meterNo = QStringLiteral("00001234");
    main.SetReading(0, QStringLiteral("2026-12-10"), 450, 1);
    main.SetReading(3, QStringLiteral("2026-12-09"), 77);
    CSimReadingCard attached = main;
    attached.attached = true;
    sim.AddReadingCard(2, main);
    sim.AddReadingCard(2, attached);

    CCardWriter writer(2, nullptr);
    QStringList fields;
    int count = 0;
    writer.UploadReadingCard();
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(count, 15);
    EXPECT_EQ(fields, (QStringList{"00001234", "0110", "2026-12-10", "450", "1", "", "0", "0", "", "0", "0",
                                   "2026-12-09", "77", "0", "0"}));
    writer.UploadReadingCard();
    writer.GetTransferFields(fields, count);
    EXPECT_EQ(fields.value(0), QStringLiteral("90001234"));
}
