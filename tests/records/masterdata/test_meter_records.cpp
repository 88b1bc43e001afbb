#include "CAdoConnection.h"
#include "CCliPre.h"
#include "COperator.h"
#include "CPreLastWrt.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "MasterDataTestHelpers.h"

#include <gtest/gtest.h>

namespace {

class MeterRecordTest : public FreshDatabaseTest
{
protected:
    MeterRecordTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    // A new meter of a user with a price mix (code, percent), not yet saved.
    static std::unique_ptr<CCliPre> NewMeter(const QString& clientNo, const QString& meterNo,
                                             const std::vector<std::pair<QString, int>>& mix = {{"P1", 100}})
    {
        auto meter = std::make_unique<CCliPre>();
        meter->SetClientNo(clientNo);
        meter->SetMeterNo(meterNo);
        meter->SetModelId("M1");
        SetMix(*meter, mix);
        return meter;
    }
    static void SetMix(CCliPre& meter, const std::vector<std::pair<QString, int>>& mix)
    {
        std::vector<CPrePrice> shares(mix.size());
        for (size_t i = 0; i < mix.size(); ++i) {
            shares[i].SetPriceX(static_cast<int>(i));
            shares[i].SetPriceNo(mix[i].first);
            shares[i].SetPricePercent(mix[i].second);
        }
        meter.SetPrePrices(shares.data(), static_cast<int>(shares.size()));
    }
    // A changed copy of a meter as the meter dialog builds it.
    static CCliPre* Changed(const CCliPre& old, const QString& remark)
    {
        auto meter = NewMeter(old.GetClientNo(), old.GetMeterNo(), {{"P1", 60}, {"P2", 40}});
        meter->SetDescrip(remark);
        return meter.release();
    }
    QString Versions(const QString& meterNo)
    {
        return fresh.Value(KvFormatSql("select group_concat(CliPreIndex || ':' || BeginDate || '..' || EndDate, ' ') "
                                       "from (select * from CliPre where MeterNo = '%s' order by CliPreIndex)",
                                       meterNo));
    }
    QString Mix(int cliPreIndex)
    {
        return fresh.Value(KvFormatSql("select group_concat(PrePriceIndex || ':' || PriceX || ':' || PriceNo || ':' || "
                                       "PricePercent, ' ') from (select * from PrePrice where CliPreIndex = %d order "
                                       "by PrePriceIndex)",
                                       cliPreIndex));
    }
    // A sale of the meter with a price share and a payment.
    void AddSale(int wrtIndex, int cliPreIndex)
    {
        db().Execute(KvFormatSql("insert into WrtRecord(WrtIndex, MeterNo, CliPreIndex) values(%d, 'x', %d)", wrtIndex,
                                 cliPreIndex),
                     QString());
        db().Execute(KvFormatSql("insert into WrtPrice(WrtPriceIndex, WrtIndex) values(%d, %d)", wrtIndex, wrtIndex),
                     QString());
        db().Execute(KvFormatSql("insert into ClientPay(PayIndex, WrtIndex) values(%d, %d)", wrtIndex, wrtIndex),
                     QString());
    }
    QString SaleRows()
    {
        return fresh.Value("select (select count(*) from WrtRecord) || '/' || (select count(*) from WrtPrice) || '/' "
                           "|| (select count(*) from ClientPay)");
    }
};

} // namespace

TEST_F(MeterRecordTest, NewMeterDefaults)
{
    CCliPre meter;
    EXPECT_EQ(std::make_tuple(meter.GetCliPreIndex(), meter.GetCt(), meter.GetPt(), meter.GetPrePayRate(),
                              meter.GetAlarmShold(), meter.GetCloseShold(), meter.GetPulses()),
              std::make_tuple(-1, 1, 1, 0, 30, 20, 0));
    EXPECT_EQ(QStringList({meter.GetLimitValue(), meter.GetOutState(), meter.GetStateWord(), meter.GetOperatorNo()}),
              QStringList({"800", "常闭", "正常", "op01"}));
    EXPECT_EQ(meter.GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(meter.GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(meter.GetPrePriceList().GetOwnerRecord(), &meter);
    EXPECT_EQ(CPrePrice().GetPricePercent(), 100);
}

// Every column and the price mix come back as written; the shares take the
// meter's key and keys of their own.
TEST_F(MeterRecordTest, MeterWithItsPriceMixRoundTrip)
{
    auto meter = NewMeter("C'1", "00001234", {{"P1", 70}, {"W'1", 30}});
    meter->SetCt(2);
    meter->SetPt(3);
    meter->SetPrePayRate(4);
    meter->SetTTWaste(5.25);
    meter->SetTLWaste(6.5);
    meter->SetMeterLevel("二级");
    meter->SetSuperNo("00000001");
    meter->SetLimitValue("60");
    meter->SetAlarmShold(7);
    meter->SetCloseShold(8);
    meter->SetPulses(9);
    meter->SetOutState("常开");
    meter->SetDescrip("备'注");
    meter->SetBeginDate(Day("2026-12-01"));
    meter->SetModiTime(QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    meter->Save();
    EXPECT_EQ(meter->GetCliPreIndex(), 1);
    EXPECT_EQ(Mix(1), "1:0:P1:70 2:1:W'1:30");
    EXPECT_EQ(fresh.Value("select CliPreIndex || '/' || PrePriceIndex from SysPara"), "2/3");

    CCliPreList list;
    const CCliPre* loaded = list.FindCurrentByMeterNo("00001234");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(QStringList({loaded->GetClientNo(), loaded->GetMeterNo(), loaded->GetModelId(), loaded->GetMeterLevel(),
                           loaded->GetSuperNo(), loaded->GetLimitValue(), loaded->GetOutState(), loaded->GetDescrip(),
                           loaded->GetStateWord(), loaded->GetOperatorNo()}),
              QStringList({"C'1", "00001234", "M1", "二级", "00000001", "60", "常开", "备'注", "正常", "op01"}));
    EXPECT_EQ(std::make_tuple(loaded->GetCliPreIndex(), loaded->GetCt(), loaded->GetPt(), loaded->GetPrePayRate(),
                              loaded->GetAlarmShold(), loaded->GetCloseShold(), loaded->GetPulses()),
              std::make_tuple(1, 2, 3, 4, 7, 8, 9));
    EXPECT_EQ(loaded->GetTTWaste(), 5.25);
    EXPECT_EQ(loaded->GetTLWaste(), 6.5);
    EXPECT_EQ(loaded->GetBeginDate(), Day("2026-12-01"));
    EXPECT_EQ(loaded->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(loaded->GetModiTime(), QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    const CPrePriceList& mix = loaded->GetPrePriceList();
    ASSERT_EQ(mix.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(mix.At(1)->GetPrePriceIndex(), mix.At(1)->GetCliPreIndex(), mix.At(1)->GetPriceX(),
                              mix.At(1)->GetPriceNo(), mix.At(1)->GetPricePercent(), mix.At(1)->GetState()),
              std::make_tuple(2, 1, 1, QString("W'1"), 30, int(CKvPersistance::StateStored)));
    EXPECT_TRUE(loaded->IsEqual(*meter));
    EXPECT_TRUE(CPrePriceList::PriceNoInUse("W'1"));
    EXPECT_FALSE(CPrePriceList::PriceNoInUse("W1"));
}

TEST_F(MeterRecordTest, RefusedAndFailedInsertsStoreNothing)
{
    for (const char* missing : {"ClientNo", "MeterNo", "ModelId"}) {
        auto meter = NewMeter("C1", "00001234");
        if (QString(missing) == "ClientNo")
            meter->SetClientNo("");
        else if (QString(missing) == "MeterNo")
            meter->SetMeterNo("");
        else
            meter->SetModelId("");
        EXPECT_EQ(ThrownText([&] { meter->Save(); }), "向数据库添加电表时发生错误！") << missing;
    }
    EXPECT_EQ(fresh.Value("select CliPreIndex from SysPara"), "1");

    // A share of a meter without its key is refused.
    auto keyless = NewMeter("C1", "00001234");
    EXPECT_EQ(ThrownText([&] { keyless->GetPrePriceList().At(0)->Save(); }), "向数据库增加电表电价发生错误!");

    // A failing share takes the meter row back with it; a retry stores both.
    db().Execute("create trigger NoShare before insert on PrePrice begin select raise(abort, 'no'); end", QString());
    EXPECT_EQ(ThrownText([&] { keyless->Save(); }), "向数据库增加预付费表时发生错误！");
    EXPECT_EQ(fresh.Count("select * from CliPre"), 0);
    EXPECT_EQ(keyless->GetPrePriceList().At(0)->GetState(), CKvPersistance::StateNew);
    db().Execute("drop trigger NoShare", QString());
    keyless->Save();
    EXPECT_EQ(fresh.Count("select * from CliPre"), 1);
    EXPECT_EQ(Mix(keyless->GetCliPreIndex()), "1:0:P1:100");
}

// After a change only the new row is current; the old one ends the day
// before it and keeps its own mix.
TEST_F(MeterRecordTest, VersionChangeClosesTheOldRow)
{
    NewMeter("C1", "00001234")->Save();
    SetToday("2027-03-15");
    CCliPreList list;
    CCliPre* old = list.FindCurrentByMeterNo("00001234");
    CCliPre* changed = Changed(*old, "换表");
    list.UpdateVersion(changed, old);

    EXPECT_EQ(Versions("00001234"), "1:2026-12-10..2027-03-14 2:2027-03-15..2050-12-31");
    EXPECT_EQ(Mix(1), "1:0:P1:100");
    EXPECT_EQ(Mix(2), "2:0:P1:60 3:1:P2:40");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(1), changed);
    CCliPreList other;
    EXPECT_EQ(other.FindCurrentByMeterNo("00001234")->GetCliPreIndex(), 2);
    other.LoadCurrentByClientNo("C1");
    EXPECT_EQ(other.GetCount(), 1);
}

TEST_F(MeterRecordTest, FailedChangeLeavesNoPhantom)
{
    NewMeter("C1", "00001234")->Save();
    CCliPreList list;
    CCliPre* old = list.FindCurrentByMeterNo("00001234");

    db().Execute("create trigger NoClose before update on CliPre begin select raise(abort, 'no'); end", QString());
    EXPECT_THROW(list.UpdateVersion(Changed(*old, "x"), old), CKvException);
    EXPECT_EQ(Versions("00001234"), "1:2026-12-10..2050-12-31");
    EXPECT_EQ(fresh.Count("select * from PrePrice"), 1);
    EXPECT_EQ(fresh.Value("select CliPreIndex || '/' || PrePriceIndex from SysPara"), "2/2");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(old->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(old->GetState(), CKvPersistance::StateStored);
    db().Execute("drop trigger NoClose", QString());

    CCliPreList other;
    other.FindCurrentByMeterNo("00001234");
    EXPECT_EQ(ThrownText([&] { list.UpdateVersion(Changed(*old, "x"), other.At(0)); }),
              "向数据库更新用户配表发生位置错误！");
}

// Closed rows do not make a number current, but they count as references.
TEST_F(MeterRecordTest, ExistenceTestsAndTakingOutOfService)
{
    GetCurrentOperator()->SetOperatorNo("o'1");
    NewMeter("C'1", "00001234")->Save();
    CCliPreList list;
    CCliPre* meter = list.FindCurrentByMeterNo("00001234");
    EXPECT_TRUE(CCliPreList::ExistsCurrentMeterNo("00001234"));

    SetToday("2026-12-20");
    meter->CloseToday();
    EXPECT_EQ(Versions("00001234"), "1:2026-12-10..2026-12-20");
    EXPECT_FALSE(CCliPreList::ExistsCurrentMeterNo("00001234"));
    EXPECT_EQ(list.FindCurrentByMeterNo("00001234"), nullptr);
    EXPECT_TRUE(CCliPreList::ExistsForClient("C'1"));
    EXPECT_TRUE(CCliPreList::ExistsForOperator("o'1"));
    EXPECT_TRUE(CCliPreList::ExistsForModel("M1"));
    EXPECT_FALSE(CCliPreList::ExistsForClient("C1"));
    EXPECT_FALSE(CCliPreList::ExistsForOperator("op01"));
    EXPECT_FALSE(CCliPreList::ExistsForModel("M2"));

    EXPECT_EQ(list.Load(QString()).size(), 0);
}

TEST_F(MeterRecordTest, DeleteTakesTheSalesAndTheMix)
{
    NewMeter("C1", "00001234", {{"P1", 50}, {"P2", 50}})->Save();
    NewMeter("C2", "00005678")->Save();
    AddSale(100000001, 1);
    AddSale(100000002, 1);
    AddSale(100000003, 2);
    CCliPreList list;
    CCliPre* meter = list.FindCurrentByMeterNo("00001234");

    // A failure midway keeps everything.
    db().Execute("create trigger NoDelete before delete on CliPre begin select raise(abort, 'no'); end", QString());
    EXPECT_EQ(ThrownText([&] { meter->SetState(CKvPersistance::StateDelete), meter->Save(); }),
              "向数据库删除电表时发生错误！");
    EXPECT_EQ(SaleRows(), "3/3/3");
    EXPECT_EQ(fresh.Count("select * from PrePrice"), 3);
    EXPECT_EQ(meter->GetPrePriceList().At(0)->GetState(), CKvPersistance::StateStored);
    db().Execute("drop trigger NoDelete", QString());

    meter->Save();
    EXPECT_EQ(SaleRows(), "1/1/1");
    EXPECT_EQ(fresh.Value("select CliPreIndex from WrtRecord"), "2");
    EXPECT_EQ(fresh.Value("select group_concat(CliPreIndex) from PrePrice"), "2");
    EXPECT_EQ(fresh.Value("select group_concat(CliPreIndex) from CliPre"), "2");
}

TEST_F(MeterRecordTest, DeletingEveryVersionOfAUsersMeter)
{
    NewMeter("C1", "00001234")->Save();
    CCliPreList list;
    CCliPre* old = list.FindCurrentByMeterNo("00001234");
    list.UpdateVersion(Changed(*old, "x"), old);
    NewMeter("C2", "00001234")->Save();

    CPrePriceList::DeleteForMeter("C1", "00001234");
    CCliPreList::DeleteByClientAndMeter("C1", "00001234");
    EXPECT_EQ(fresh.Value("select group_concat(ClientNo) from CliPre"), "C2");
    EXPECT_EQ(fresh.Value("select group_concat(CliPreIndex) from PrePrice"), "3");
    EXPECT_THROW(CCliPreList::DeleteByClientAndMeter("C1", "00001234"), CKvException);
}

TEST_F(MeterRecordTest, IsEqualComparesWhatTheMeterDialogEdits)
{
    using Change = std::function<void(CCliPre&)>;
    struct Case
    {
        const char* what;
        Change change;
        bool equal;
    } cases[] = {
        {"key, state, operator and dates",
         [](CCliPre& m) {
             m.SetCliPreIndex(9);
             m.SetState("停用");
             m.SetOperatorNo("x");
             m.SetBeginDate(Day("2020-01-01"));
         },
         true},
        {"transformer loss within the cent", [](CCliPre& m) { m.SetTTWaste(1.2341); }, true},
        {"line loss within the cent", [](CCliPre& m) { m.SetTLWaste(0.5044); }, true},
        {"transformer loss by a cent", [](CCliPre& m) { m.SetTTWaste(1.2441); }, false},
        {"user", [](CCliPre& m) { m.SetClientNo("C2"); }, false},
        {"number", [](CCliPre& m) { m.SetMeterNo("1"); }, false},
        {"type", [](CCliPre& m) { m.SetModelId("M2"); }, false},
        {"CT", [](CCliPre& m) { m.SetCt(5); }, false},
        {"PT", [](CCliPre& m) { m.SetPt(5); }, false},
        {"withholding", [](CCliPre& m) { m.SetPrePayRate(5); }, false},
        {"level", [](CCliPre& m) { m.SetMeterLevel("一级"); }, false},
        {"upper meter", [](CCliPre& m) { m.SetSuperNo("1"); }, false},
        {"limit", [](CCliPre& m) { m.SetLimitValue("60"); }, false},
        {"alarm", [](CCliPre& m) { m.SetAlarmShold(1); }, false},
        {"power-off", [](CCliPre& m) { m.SetCloseShold(1); }, false},
        {"pulses", [](CCliPre& m) { m.SetPulses(1); }, false},
        {"relay state", [](CCliPre& m) { m.SetOutState("常开"); }, false},
        {"remark", [](CCliPre& m) { m.SetDescrip("x"); }, false},
        {"mix in another order",
         [](CCliPre& m) {
             SetMix(m, {{"P2", 40}, {"P1", 60}});
         },
         false},
        {"mix percentages",
         [](CCliPre& m) {
             SetMix(m, {{"P1", 50}, {"P2", 50}});
         },
         false},
    };
    auto base = NewMeter("C1", "00001234", {{"P1", 60}, {"P2", 40}});
    base->SetTTWaste(1.23);
    base->SetTLWaste(0.5);
    for (const Case& c : cases) {
        auto other = NewMeter("C1", "00001234", {{"P1", 60}, {"P2", 40}});
        other->SetTTWaste(1.23);
        other->SetTLWaste(0.5);
        c.change(*other);
        EXPECT_EQ(base->IsEqual(*other), c.equal) << c.what;
    }
}

TEST_F(MeterRecordTest, LastCardImageOfTheMeter)
{
    auto meter = NewMeter("C1", "00001234");
    CPreLastWrt out;
    out.SetWrtNum(-7);
    EXPECT_EQ(meter->GetPreLastWrt(out), 0);
    EXPECT_EQ(out.GetWrtNum(), -7);

    CPreLastWrt image;
    image.SetMeterNo("00001234");
    image.SetWrtNum(3);
    image.SetOpMode("返卡退费");
    image.Save();
    EXPECT_EQ(meter->GetPreLastWrt(out), 1);
    EXPECT_EQ(out.GetWrtNum(), 3);
    EXPECT_EQ(out.GetOpMode(), "返卡退费");
}
