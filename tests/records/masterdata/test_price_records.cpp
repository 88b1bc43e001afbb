#include "CAdoConnection.h"
#include "COperator.h"
#include "CPriceType.h"
#include "CPriceVer.h"
#include "CurrentOperator.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "MasterDataTestHelpers.h"

#include <gtest/gtest.h>

namespace {

class PriceRecordTest : public FreshDatabaseTest
{
protected:
    PriceRecordTest() { GetCurrentOperator()->SetOperatorNo("op01"); }

    // The versions of a code as "key:begin..end@price", oldest first.
    QString History(const QString& priceNo)
    {
        return fresh.Value(KvFormatSql("select group_concat(PriceIndex || ':' || BeginDate || '..' || EndDate || '@' "
                                       "|| Price, ' ') from (select * from PriceVer where PriceNo = '%s' "
                                       "order by PriceIndex)",
                                       priceNo));
    }
    QString Tiers(int priceIndex)
    {
        return fresh.Value(KvFormatSql("select group_concat(RankX || ':' || Threshold || '=' || RankPrice, ' ') from "
                                       "(select * from RankPrice where PriceIndex = %d order by RankX)",
                                       priceIndex));
    }
    void Close(int priceIndex, const QString& end)
    {
        db().Execute(KvFormatSql("update PriceVer set EndDate = '%s' where PriceIndex = %d", end, priceIndex),
                     QString());
    }
};

} // namespace

TEST_F(PriceRecordTest, NewVersionDefaults)
{
    CPriceVer version;
    EXPECT_EQ(version.GetPriceIndex(), -1);
    EXPECT_EQ(version.GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(version.GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(version.GetOperatorNo(), "op01");
    EXPECT_EQ(version.GetModiTime(), GetServerTime());
    EXPECT_EQ(QStringList({version.GetPriceType(), version.GetPriceCycle(), version.GetBalMode(), version.GetUnit(),
                           version.GetMonthlyBegin(), version.GetBalDay(), version.GetStateWord()}),
              QStringList({"电价", "无", "即时", "度", "01", "01", "正常"}));
    EXPECT_EQ(version.GetTiers().GetOwnerRecord(), &version);
    CRankPrice tier;
    EXPECT_EQ(tier.GetThreshold(), 100000000.0);
    EXPECT_EQ(tier.GetRankX(), -1);
}

// Every column of the item, the version and its tiers comes back as written.
TEST_F(PriceRecordTest, InsertAndLoadRoundTrip)
{
    auto version = NewPrice("P'1", 0.5678, "2026-12-10", {{100, 0.6}, {200, 0.75}});
    version->SetPriceName("居民'电价");
    version->SetPriceCycle("一月");
    version->SetUnit("千瓦时");
    version->SetModiTime(QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    version->Save();
    EXPECT_EQ(version->GetPriceIndex(), 1);
    EXPECT_EQ(version->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(fresh.Value("select PriceIndex from SysPara"), "2");
    EXPECT_EQ(Tiers(1), "0:100.0=0.6 1:200.0=0.75");

    CPriceVerList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 1);
    const CPriceVer* loaded = list.At(0);
    EXPECT_EQ(QStringList({loaded->GetPriceNo(), loaded->GetPriceName(), loaded->GetPriceType(),
                           loaded->GetPriceCycle(), loaded->GetBalMode(), loaded->GetUnit(), loaded->GetMonthlyBegin(),
                           loaded->GetBalDay(), loaded->GetStateWord(), loaded->GetOperatorNo()}),
              QStringList({"P'1", "居民'电价", "预付费电价", "一月", "预付", "千瓦时", "01", "01", "正常", "op01"}));
    EXPECT_DOUBLE_EQ(loaded->GetPrice(), 0.5678);
    EXPECT_EQ(loaded->GetBeginDate(), Day("2026-12-10"));
    EXPECT_EQ(loaded->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(loaded->GetModiTime(), QDateTime(QDate(2026, 12, 10), QTime(8, 1, 2)));
    ASSERT_EQ(loaded->GetTiers().GetCount(), 2);
    EXPECT_EQ(loaded->GetTiers().At(1)->GetState(), CKvPersistance::StateStored);
    EXPECT_EQ(loaded->GetTiers().At(1)->GetThreshold(), 200.0);
    EXPECT_EQ(loaded->GetTiers().At(1)->GetRankPrice(), 0.75);
    EXPECT_TRUE(loaded->IsSame(*version));
}

TEST_F(PriceRecordTest, RefusedAndFailedInsertsStoreNothing)
{
    CPriceVer nameless;
    nameless.SetPriceNo("P1");
    EXPECT_EQ(ThrownText([&] { nameless.Save(); }), "向数据库添加价目时发生错误！");
    EXPECT_EQ(fresh.Value("select PriceIndex from SysPara"), "1");

    // A tier outside a keyed version is refused before anything is written.
    CRankPrice loose;
    loose.SetRankX(0);
    EXPECT_EQ(ThrownText([&] { loose.Save(); }), "向数据库添加阶梯价时发生错误！");

    // A failing tier takes the version and the item back with it; a retry
    // writes the tiers again.
    auto version = NewPrice("P1", 0.5, "2026-12-10", {{100, 0.6}});
    db().Execute("create trigger NoTier before insert on RankPrice begin select raise(abort, 'no'); end", QString());
    EXPECT_EQ(ThrownText([&] { version->Save(); }), "向数据库增加价目时发生错误！");
    EXPECT_EQ(fresh.Count("select * from Price"), 0);
    EXPECT_EQ(fresh.Count("select * from PriceVer"), 0);
    EXPECT_EQ(version->GetTiers().At(0)->GetState(), CKvPersistance::StateNew);
    db().Execute("drop trigger NoTier", QString());
    version->Save();
    EXPECT_EQ(Tiers(version->GetPriceIndex()), "0:100.0=0.6");
}

// The version valid on a day, both ends of a version counting.
TEST_F(PriceRecordTest, VersionValidOnADay)
{
    CPriceVerList list;
    auto first = NewPrice("P1", 0.5, "2026-01-01");
    first->Save();
    list.LoadAll();
    list.AddVersion(NextVersion(*list.At(0), 0.6, "2026-12-10"), list.At(0));

    struct Case
    {
        const char* day;
        double price; // 0: none
    } cases[] = {{"2025-12-31", 0},   {"2026-01-01", 0.5}, {"2026-12-09", 0.5},
                 {"2026-12-10", 0.6}, {"2050-12-31", 0.6}, {"2051-01-01", 0}};
    for (const Case& c : cases) {
        const CPriceVer* found = list.FindValidByPriceNo("P1", Day(c.day));
        EXPECT_EQ(found ? found->GetPrice() : 0.0, c.price) << c.day;
    }
    EXPECT_EQ(list.FindValidByPriceNo("P2", Day("2026-12-10")), nullptr);
}

// A version that begins tomorrow is valid from tomorrow on; today the one
// before it still answers.
TEST_F(PriceRecordTest, VersionsValidTodayFollowTheClock)
{
    NewPrice("P1", 0.5, "2026-12-01")->Save();
    auto water = NewPrice("W1", 3.2, "2026-12-01");
    water->SetPriceType("一卡抄水价");
    water->SetPriceName("水价");
    water->Save();
    auto quota = NewPrice("Q1", 10, "2026-12-01");
    quota->SetPriceType("定额收费价");
    quota->Save();
    auto garden = NewPrice("G1", 1, "2026-12-01");
    garden->SetPriceType("绿化费");
    garden->Save();

    CPriceVerList list;
    list.LoadAll();
    list.AddVersion(NextVersion(*list.FindLoadedByPriceNo("P1"), 0.6, "2026-12-11"), list.FindLoadedByPriceNo("P1"));

    auto codes = [&list] {
        QStringList out;
        for (int i = 0; i < list.GetCount(); ++i)
            out << QStringLiteral("%1@%2").arg(list.At(i)->GetPriceNo()).arg(list.At(i)->GetPrice());
        out.sort();
        return out.join(' ');
    };
    list.LoadValidToday();
    EXPECT_EQ(codes(), "G1@1 P1@0.5 Q1@10 W1@3.2");
    EXPECT_EQ(list.FindValidTodayByPriceNo("P1")->GetPrice(), 0.5);
    EXPECT_EQ(list.FindValidTodayByPriceName("水价")->GetPriceNo(), "W1");
    list.LoadValidOfType("预付费电价");
    EXPECT_EQ(codes(), "P1@0.5");
    list.LoadValidExceptPrepaidAndQuota();
    EXPECT_EQ(codes(), "G1@1 W1@3.2");

    SetToday("2026-12-11");
    EXPECT_EQ(list.FindValidTodayByPriceNo("P1")->GetPrice(), 0.6);
    list.LoadValidOfType("预付费电价");
    EXPECT_EQ(codes(), "P1@0.6");
    EXPECT_EQ(list.FindByPriceIndex(1)->GetEndDate(), Day("2026-12-10"));
}

// A started version is closed the day before the new one; the item takes the
// new name and type; nothing but EndDate changes on the old row.
TEST_F(PriceRecordTest, NewVersionClosesTheStartedOne)
{
    GetCurrentOperator()->SetOperatorNo("op00");
    NewPrice("P1", 0.5, "2026-11-01", {{100, 0.6}})->Save();
    GetCurrentOperator()->SetOperatorNo("op01");
    CPriceVerList list;
    list.LoadAll();
    CPriceVer* old = list.At(0);
    CPriceVer* next = NextVersion(*old, 0.55, "2027-01-01");
    next->SetPriceName("新名称");
    next->SetUnit("kWh");
    list.AddVersion(next, old);

    EXPECT_EQ(History("P1"), "1:2026-11-01..2026-12-31@0.5 2:2027-01-01..2050-12-31@0.55");
    EXPECT_EQ(fresh.Value("select OperatorNo from PriceVer where PriceIndex = 1"), "op00");
    EXPECT_EQ(fresh.Value("select PriceName || '/' || Unit || '/' || BalMode from Price"), "新名称/kWh/预付");
    EXPECT_EQ(Tiers(1), "0:100.0=0.6");
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(1), next);
    EXPECT_EQ(old->GetEndDate(), Day("2026-12-31"));
    EXPECT_EQ(next->GetState(), CKvPersistance::StateStored);

    // The same start day as a started version: the old one ends the day
    // before its own start and is valid on no day.
    CPriceVer* same = NextVersion(*next, 0.57, "2027-01-01");
    SetToday("2027-01-05");
    list.AddVersion(same, next);
    EXPECT_EQ(History("P1"), "1:2026-11-01..2026-12-31@0.5 2:2027-01-01..2026-12-31@0.55 "
                             "3:2027-01-01..2050-12-31@0.57");
}

// A version that has not started yet is replaced, tiers and all.
TEST_F(PriceRecordTest, NewVersionReplacesAPendingOne)
{
    NewPrice("P1", 0.5, "2026-11-01")->Save();
    CPriceVerList list;
    list.LoadAll();
    CPriceVer* pending = NextVersion(*list.At(0), 0.6, "2027-01-01");
    std::vector<CRankPrice> tiers(1);
    tiers[0].SetRankX(0);
    tiers[0].SetThreshold(50);
    pending->SetTiers(tiers.data(), 1);
    list.AddVersion(pending, list.At(0));
    const int pendingKey = pending->GetPriceIndex();
    EXPECT_EQ(Tiers(pendingKey), "0:50.0=0.0");

    CPriceVer* replacement = NextVersion(*pending, 0.7, "2027-01-01");
    list.AddVersion(replacement, pending);
    EXPECT_EQ(History("P1"), "1:2026-11-01..2026-12-31@0.5 3:2027-01-01..2050-12-31@0.7");
    EXPECT_EQ(Tiers(pendingKey), "");
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.At(1), replacement);
}

// The change is one transaction: when closing the old version fails, the new
// one is neither stored nor left in the list, and the old one is unchanged.
TEST_F(PriceRecordTest, FailedNewVersionLeavesNoPhantom)
{
    NewPrice("P1", 0.5, "2026-11-01")->Save();
    CPriceVerList list;
    list.LoadAll();
    CPriceVer* old = list.At(0);

    db().Execute("create trigger NoClose before update on PriceVer begin select raise(abort, 'no'); end", QString());
    EXPECT_EQ(ThrownText([&] { list.AddVersion(NextVersion(*old, 0.6, "2027-01-01"), old); }),
              "向数据库更新价目时发生错误！");
    EXPECT_EQ(History("P1"), "1:2026-11-01..2050-12-31@0.5");
    EXPECT_EQ(fresh.Value("select PriceIndex from SysPara"), "2");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetCurrent(), old);
    EXPECT_EQ(old->GetEndDate(), Day("2050-12-31"));
    EXPECT_EQ(old->GetState(), CKvPersistance::StateStored);

    // An old version of another list is refused before anything is written.
    CPriceVerList other;
    other.LoadAll();
    EXPECT_EQ(ThrownText([&] { list.AddVersion(NextVersion(*old, 0.6, "2027-01-01"), other.At(0)); }),
              "向数据库更新用户价目发生位置错误！");

    db().Execute("drop trigger NoClose", QString());
    list.AddVersion(NextVersion(*old, 0.6, "2027-01-01"), old);
    EXPECT_EQ(History("P1"), "1:2026-11-01..2026-12-31@0.5 2:2027-01-01..2050-12-31@0.6");
}

TEST_F(PriceRecordTest, IsSameComparesWhatAChangeIsMadeOf)
{
    auto base = NewPrice("P1", 1.2341, "2026-12-10", {{100, 0.6}});
    struct Case
    {
        const char* what;
        std::function<void(CPriceVer&)> change;
        bool same;
    } cases[] = {
        {"nothing", [](CPriceVer&) {}, true},
        {"collection mode", [](CPriceVer& v) { v.SetBalMode("后付"); }, true},
        {"price within the cent", [](CPriceVer& v) { v.SetPrice(1.2344); }, true},
        {"price by two hundredths", [](CPriceVer& v) { v.SetPrice(1.2361); }, false},
        {"name", [](CPriceVer& v) { v.SetPriceName("x"); }, false},
        {"unit", [](CPriceVer& v) { v.SetUnit("吨"); }, false},
        {"cycle", [](CPriceVer& v) { v.SetPriceCycle("一月"); }, false},
        {"start day", [](CPriceVer& v) { v.SetBeginDate(Day("2026-12-11")); }, false},
        {"tier price", [](CPriceVer& v) { v.GetTiers().At(0)->SetRankPrice(0.61); }, false},
        {"tier count", [](CPriceVer& v) { v.SetTiers(nullptr, 0); }, false},
    };
    for (const Case& c : cases) {
        auto other = NewPrice("P1", 1.2341, "2026-12-10", {{100, 0.6}});
        c.change(*other);
        EXPECT_EQ(base->IsSame(*other), c.same) << c.what;
    }
}

TEST_F(PriceRecordTest, DeletingVersionsAndCodes)
{
    NewPrice("P1", 0.5, "2026-11-01", {{100, 0.6}})->Save();
    NewPrice("P2", 0.7, "2026-11-01", {{100, 0.8}})->Save();
    CPriceVerList list;
    list.LoadAll();
    list.AddVersion(NextVersion(*list.At(0), 0.6, "2026-12-10"), list.At(0));

    // One of two versions: the item stays.
    list.At(1)->SetState(CKvPersistance::StateDelete);
    list.At(1)->Save();
    EXPECT_EQ(History("P1"), "1:2026-11-01..2026-12-09@0.5");
    EXPECT_TRUE(CPriceVerList::PriceNoExists("P1"));
    // The only version: its tiers and the item go with it.
    list.At(0)->SetState(CKvPersistance::StateDelete);
    list.At(0)->Save();
    EXPECT_FALSE(CPriceVerList::PriceNoExists("P1"));
    EXPECT_EQ(Tiers(1), "");
    // Deleting a version that is no longer stored is a failure.
    EXPECT_EQ(ThrownText([&] { list.At(0)->Save(); }), "向数据库删除价目时发生错误！");

    CPriceVerList::DeleteByPriceNo("P2");
    EXPECT_EQ(fresh.Count("select * from Price"), 0);
    EXPECT_EQ(fresh.Count("select * from PriceVer"), 0);
    EXPECT_EQ(fresh.Count("select * from RankPrice"), 0);
}

TEST_F(PriceRecordTest, ExistenceTests)
{
    GetCurrentOperator()->SetOperatorNo("o'1");
    auto version = NewPrice("P'1", 0.5, "2026-11-01");
    version->SetPriceType("绿化'费");
    version->Save();
    EXPECT_TRUE(CPriceVerList::PriceNoExists("p'1"));
    EXPECT_FALSE(CPriceVerList::PriceNoExists("P1"));
    EXPECT_TRUE(CPriceVerList::ExistsForOperator("o'1"));
    EXPECT_FALSE(CPriceVerList::ExistsForOperator("op01"));
    EXPECT_TRUE(CPriceVerList::PriceTypeInUse("绿化'费"));
    EXPECT_FALSE(CPriceVerList::PriceTypeInUse("预付费电价"));

    CPriceVerList empty;
    EXPECT_EQ(empty.FindLoadedByPriceNo("P'1"), nullptr);
}

TEST_F(PriceRecordTest, PriceTypesAreStoredRenamedAndDeleted)
{
    CPriceType garden;
    garden.SetPriceType("绿化'费");
    garden.SetReportTitle("绿化费报表");
    garden.Save();
    CPriceType blank;
    blank.Save(); // a type with an empty name is stored as it is

    CPriceTypeList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 2);
    CPriceType* stored = list.At(0);
    EXPECT_EQ(stored->GetPriceType(), "绿化'费");
    EXPECT_EQ(stored->GetReportTitle(), "绿化费报表");
    stored->SetPriceType("保洁费");
    stored->SetState(CKvPersistance::StateChanged);
    stored->Save();
    EXPECT_EQ(fresh.Value("select PriceType from PriceType where TypeIndex = 1"), "保洁费");
    list.At(1)->SetState(CKvPersistance::StateDelete);
    list.At(1)->Save();
    EXPECT_EQ(fresh.Count("select * from PriceType"), 1);
    // A row that is gone cannot be rewritten.
    list.At(1)->SetState(CKvPersistance::StateChanged);
    EXPECT_THROW(list.At(1)->Save(), CKvException);
    EXPECT_EQ(CPriceType::BuiltInTypes(), QStringList({"预付费电价", "一卡抄水价", "一卡抄气价", "定额收费价"}));
}
