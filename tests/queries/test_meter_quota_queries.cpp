// The meter query and the quota fee query and statistics: their clauses and
// captions, their statements on a small fixture, and the cross tables.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "KvFreshDatabase.h"
#include "KvMeterQuerySql.h"
#include "KvQuotaQuerySql.h"
#include "KvRecordsetHold.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2024, 3, 15), QTime(10, 0));
const QDateTime kToday(QDate(2024, 3, 15), QTime());

void loadFixtures(CFreshDatabase& fresh)
{
    for (const char* name : {"sales_fixture.sql", "meter_quota_fixture.sql"}) {
        QFile script(QStringLiteral(QUILLMER_SOURCE_DIR "/tests/queries/") + QString::fromUtf8(name));
        ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << name;
        fresh.Db().ExecuteScript(QString::fromUtf8(script.readAll()), QString());
    }
}

// The values of one column of every row of a statement.
QStringList column(CFreshDatabase& fresh, const QString& sql, const QString& name)
{
    CRecordsetHold rs(fresh.Db().AcquireRecordset());
    rs->Open(sql);
    QStringList values;
    for (; !rs->IsEOF(); rs->MoveNext())
        values << rs->GetFieldText(name);
    return values;
}

template <class Condition> struct WhereCase
{
    const char* name;
    std::function<void(Condition&)> set;
    const char* clauses;
    const char* caption;
};

} // namespace

TEST(MeterQuery, ClausesAndCaptions)
{
    const WhereCase<CMeterCondition> cases[] = {
        {"nothing ticked", [](CMeterCondition&) {}, "", "装表日期从：全期；"},
        {"install date: a lower bound on the row's change alone",
         [](CMeterCondition& k) {
             k.m_bInstallDate = 1;
             k.m_installDate = QDateTime(QDate(2024, 3, 1), QTime(16, 30));
         },
         " and b.ModiTime >= CDate('2024-03-01')", "装表日期从：2024-03-01；"},
        {"days 30 and user code 01: pieces in table order",
         [](CMeterCondition& k) {
             k.m_bDays = k.m_bClientNo = 1;
             k.m_days = " 30 ";
             k.m_clientNo = "01";
         },
         " and a.ClientNo like '01%' escape '\\' and d.WrtTime < CDate('2024-02-14')",
         "装表日期从：全期；用户代码：01；30天没来买电；"},
        {"days 0: before today",
         [](CMeterCondition& k) {
             k.m_bDays = 1;
             k.m_days = "0";
         },
         " and d.WrtTime < CDate('2024-03-15')", "装表日期从：全期；0天没来买电；"},
        {"operator: the meter row's writer",
         [](CMeterCondition& k) {
             k.m_bOperator = 1;
             k.m_operatorNo = "op1";
             k.m_operatorName = "张出纳";
         },
         " and b.OperatorNo = 'op1'", "装表日期从：全期；操作员：张出纳；"},
        {"every place piece ends with its separator; a quote is doubled",
         [](CMeterCondition& k) {
             k.m_bBlock = k.m_bBuilding = k.m_bFloor = k.m_bRoom = k.m_bUnit = k.m_bDepartment = k.m_bLevel =
                 k.m_bSuperNo = k.m_bClientName = 1;
             k.m_blockNo = "01";
             k.m_blockName = "东区";
             k.m_buildingNo = "02";
             k.m_buildingName = "二幢";
             k.m_floor = "03";
             k.m_roomFrom = "05";
             k.m_unit = "一单元";
             k.m_departmentNo = "04";
             k.m_departmentName = "财务";
             k.m_level = "一级";
             k.m_superNo = "S'1";
             k.m_clientName = "O'Brien";
         },
         " and a.ClientName = 'O''Brien' and a.BlockNo = '01' and a.BuildingNo = '02' and a.LayerNo = '03'"
         " and a.RoomNo = '05' and a.Cell = '一单元' and a.DepartmentNo = '04' and b.MeterLevel = '一级'"
         " and b.SuperNo = 'S''1'",
         "装表日期从：全期；用户姓名：O'Brien；小区：东区；楼幢：二幢；楼层：03；房间：05；单元：一单元；部门：财务；"
         "安装级别：一级；上级表号：S'1；"},
    };
    for (const auto& c : cases) {
        CMeterCondition k;
        c.set(k);
        const CSaleWhere where = BuildMeterWhere(k, kToday);
        EXPECT_EQ(where.clauses.text, QString::fromUtf8(c.clauses)) << c.name;
        EXPECT_EQ(where.caption, QString::fromUtf8(c.caption)) << c.name;
    }
}

TEST(MeterQuery, StatementListsOnlyWrittenMetersOfAValidMainPriceAndAKnownWriter)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(kNow);
    loadFixtures(fresh);

    const QString all = MeterQuerySql(CMeterCondition(), kToday);
    // Three-tab line joins; the main price's version is valid today, twice.
    EXPECT_TRUE(all.contains("a.ClientName as ClientName, \t\t\ta.Addr as Addr")) << all.toStdString();
    EXPECT_TRUE(all.contains("p.BeginDate <= CDate('2024-03-15') and p.EndDate >= CDate('2024-03-15')"));
    EXPECT_TRUE(all.endsWith(" order by b.ClientNo, b.MeterNo"));

    struct Case
    {
        const char* name;
        std::function<void(CMeterCondition&)> set;
        QStringList meters;
    };
    const Case cases[] = {
        {"nothing ticked: never written, expired price, unknown writer, closed row drop out",
         [](CMeterCondition&) {},
         {"M0111", "M0212", "M0313"}},
        {"days 0: last write before today",
         [](CMeterCondition& k) {
             k.m_bDays = 1;
             k.m_days = "0";
         },
         {"M0111", "M0212"}},
        {"days 30: before 2024-02-14, a write on that day is not",
         [](CMeterCondition& k) {
             k.m_bDays = 1;
             k.m_days = "30";
         },
         {"M0111"}},
        {"install date: changed on or after the day",
         [](CMeterCondition& k) {
             k.m_bInstallDate = 1;
             k.m_installDate = QDateTime(QDate(2024, 3, 1), QTime(12, 0));
         },
         {"M0111"}},
        {"operator: the writer of the meter row, not of its sales",
         [](CMeterCondition& k) {
             k.m_bOperator = 1;
             k.m_operatorNo = "op2";
         },
         {"M0212"}},
    };
    for (const Case& c : cases) {
        CMeterCondition k;
        c.set(k);
        EXPECT_EQ(column(fresh, MeterQuerySql(k, kToday), "MeterNo"), c.meters) << c.name;
    }

    CRecordsetHold rs(fresh.Db().AcquireRecordset());
    rs->Open(all);
    const CReportTable table = BuildMeterTable(*rs.Get(), rs->GetRecordCount());
    ASSERT_EQ(table.rows, 3);
    EXPECT_EQ(table.titles.size(), 13);
    EXPECT_EQ(QStringList(table.cells.mid(0, 13)),
              QStringList({"0101", "王五", "东区1-101", "M0111", "1", "1", "1", "1.5", "2.3", "预付费电表", "居民生活",
                           "2024-03-05", "2024-02-10"}));
    // Empty numbers and change date show empty.
    EXPECT_EQ(QStringList(table.cells.mid(26, 13)), QStringList({"0300", "赵六", "无", "M0313", "1", "", "", "", "",
                                                                 "预付费电表", "居民生活", "", "2024-03-15"}));
}

TEST(QuotaQuery, ClausesAndCaptions)
{
    const QDateTime from(QDate(2024, 1, 1), QTime(9, 0));
    const QDateTime to(QDate(2024, 1, 31), QTime(9, 0));
    const WhereCase<CQuotaCondition> query[] = {
        {"collected by default", [](CQuotaCondition&) {}, " and c.WrtIndex > 0", "时期：全期；已收费：；"},
        {"not yet collected", [](CQuotaCondition& k) { k.m_paid = 1; }, " and c.WrtIndex = -1",
         "时期：全期；未收费：；"},
        {"period and an exact user code after the name",
         [&](CQuotaCondition& k) {
             k.m_bPeriod = k.m_bClientNo = k.m_bClientName = k.m_bDepartment = 1;
             k.m_from = from;
             k.m_to = to;
             k.m_clientNo = "01";
             k.m_clientName = "王五";
             k.m_departmentNo = "01";
             k.m_departmentName = "财务部";
         },
         " and c.ReadTime >= CDate('2024-01-01') and c.ReadTime < CDate('2024-02-01') and a.DepartmentNo = '01'"
         " and a.ClientName = '王五' and a.ClientNo = '01' and c.WrtIndex > 0",
         "时期：2024-01-01 至 2024-01-31；部门：财务部；用户姓名：王五；用户代码：01；已收费：；"},
    };
    for (const auto& c : query) {
        CQuotaCondition k;
        c.set(k);
        const CSaleWhere where = BuildQuotaQueryWhere(k);
        EXPECT_EQ(where.clauses.text, QString::fromUtf8(c.clauses)) << c.name;
        EXPECT_EQ(where.caption, QString::fromUtf8(c.caption)) << c.name;
    }
    const WhereCase<CQuotaCondition> stat[] = {
        {"全期 without a separator, then the district",
         [](CQuotaCondition& k) {
             k.m_bBlock = 1;
             k.m_blockNo = "01";
             k.m_blockName = "东区";
         },
         " and a.BlockNo = '01' and c.WrtIndex > 0", "全期小区：东区；已收费：；"},
        {"a prefix user code, unit before department",
         [](CQuotaCondition& k) {
             k.m_bClientNo = k.m_bUnit = k.m_bDepartment = 1;
             k.m_paid = 1;
             k.m_clientNo = "01";
             k.m_unit = "一单元";
             k.m_departmentNo = "01";
             k.m_departmentName = "财务部";
         },
         " and a.ClientNo like '01%' escape '\\' and a.Cell = '一单元' and a.DepartmentNo = '01' and c.WrtIndex = -1",
         "全期用户代码：01；单元：一单元；部门：财务部；未收费：；"},
    };
    for (const auto& c : stat) {
        CQuotaCondition k;
        c.set(k);
        const CSaleWhere where = BuildQuotaStatWhere(k);
        EXPECT_EQ(where.clauses.text, QString::fromUtf8(c.clauses)) << c.name;
        EXPECT_EQ(where.caption, QString::fromUtf8(c.caption)) << c.name;
    }
}

TEST(QuotaQuery, CrossTableOfUsersAndMonths)
{
    const QList<CQuotaDetailRow> rows{
        {"0101", "王五", "A", 202312, "卫生费", 10.0},    {"0101", "王五", "A", 202312, "水费", 20.25},
        {"0101", "王五", "A", 202401, "有线电视", 8.0}, // only an unticked item: the row is taken again
        {"0205", "O'Brien", "B", 202401, "卫生费", 5.55}, {"0300", "赵六", "C", 202402, "有线电视", 9.99},
    };
    struct Case
    {
        const char* name;
        QStringList fees;
        QStringList cells;
        int rows;
    };
    const Case cases[] = {
        {"unticked user-months are dropped, also the last",
         {"卫生费", "水费"},
         {"0101", "王五", "A", "2023-12", "10.00", "20.25", "0205", "O'Brien", "B", "2024-01", "5.55", "0", "汇    总",
          "", "", "", "15.55", "20.25"},
         3},
        {"a name ticked twice fills its first column",
         {"卫生费", "水费", "卫生费"},
         {"0101", "王五", "A", "2023-12",  "10.00", "20.25", "0", "0205",  "O'Brien", "B",   "2024-01",
          "5.55", "0",    "0", "汇    总", "",      "",      "",  "15.55", "20.25",   "0.00"},
         3},
        {"nothing ticked: the total row alone", {}, {"汇    总", "", "", ""}, 1},
    };
    for (const Case& c : cases) {
        const CReportTable table = BuildQuotaQueryTable(rows, c.fees);
        EXPECT_EQ(table.rows, c.rows) << c.name;
        EXPECT_EQ(table.columns, 4 + c.fees.size()) << c.name;
        EXPECT_EQ(table.titles, QStringList({"用户代码", "用户姓名", "用户地址", "年  月"}) + c.fees) << c.name;
        EXPECT_EQ(table.cells, c.cells) << c.name;
    }
}

TEST(QuotaStatistics, CrossTableOfGroups)
{
    const CQuotaStatGrouping* building = QuotaStatGrouping(1);
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(building->leadingTitles, QStringList({"小区名称", "楼宇名称"}));
    EXPECT_EQ(QuotaStatGrouping(2)->leadingTitles, QStringList({"小区名称", "楼幢名称", "楼层"}));
    EXPECT_EQ(QuotaStatGrouping(7), nullptr);

    // More groups than the enumerating statement has rows, a group of
    // unticked items only, and a split key (same building, other district).
    const QList<CQuotaStatRow> rows{
        {{"00", "00"}, {"", ""}, "有线电视", 8},          {{"01", "00"}, {"东区", ""}, "卫生费", 12.34},
        {{"01", "01"}, {"东区", "东一幢"}, "卫生费", 20}, {{"01", "01"}, {"东区", "东一幢"}, "水费", 40.5},
        {{"02", "00"}, {"西区", ""}, "水费", 15.54},      {{"02", "00"}, {"西区", ""}, "有线电视", 9.99},
    };
    const CReportTable table = BuildQuotaStatTable(*building, rows, {"卫生费", "水费"});
    EXPECT_EQ(table.rows, 5);
    EXPECT_EQ(table.cells,
              QStringList({"",      "",      "0.00", "0.00", "东区", "",      "12.34",    "0.00", "东区",  "东一幢",
                           "20.00", "40.50", "西区", "",     "0.00", "15.54", "汇    总", "",     "32.34", "56.04"}));

    // The user grouping shows the code alone; nothing ticked leaves the leading cells.
    const CQuotaStatGrouping* user = QuotaStatGrouping(6);
    const CReportTable users =
        BuildQuotaStatTable(*user, {{{"0101"}, {"0101"}, "卫生费", 1}, {{"0205"}, {"0205"}, "水费", 2}}, {});
    EXPECT_EQ(users.titles, QStringList({"用户代码"}));
    EXPECT_EQ(users.cells, QStringList({"0101", "0205", "汇    总"}));
}

TEST(QuotaQuery, StatementsOnTheFixture)
{
    CRecordingMessageSink sink;
    CFreshDatabase fresh(kNow);
    loadFixtures(fresh);

    CQuotaStatCondition k;
    const QString detail = QuotaDetailSql(k);
    EXPECT_TRUE(detail.endsWith(" group by a.ClientNo, a.ClientName, a.Addr, c.YearMon, b.PriceName order by "
                                "a.ClientNo, a.ClientName, a.Addr, c.YearMon, b.PriceName"));
    // One row per user, month and item name: Q1 and Q3 of 0205 share 卫生费.
    EXPECT_EQ(column(fresh, detail, "ClientNo").size(), 13);
    EXPECT_EQ(column(fresh, QuotaCountSql(k), "ClientNo").size(), 10);

    // The query compares the user code exactly, the statistics as a prefix.
    k.m_bClientNo = 1;
    k.m_clientNo = "010";
    EXPECT_TRUE(column(fresh, QuotaDetailSql(k), "ClientNo").isEmpty());
    k.m_grouping = 6;
    EXPECT_EQ(column(fresh, QuotaStatSql(k), "ClientNo"), QStringList({"0101", "0101"}));

    // By building: users of building 00 form one group per district, in order.
    k.m_bClientNo = 0;
    k.m_grouping = 1;
    const QString sql = QuotaStatSql(k);
    EXPECT_TRUE(sql.endsWith(" order by a.BlockNo, f.BlockName, a.BuildingNo, g.BuildingName, d.PriceName"));
    EXPECT_EQ(column(fresh, sql, "BlockNo"), QStringList({"00", "01", "01", "01", "02", "02", "02", "02"}));
    EXPECT_EQ(column(fresh, sql, "BuildingNo"), QStringList({"00", "00", "01", "01", "00", "00", "01", "01"}));
    EXPECT_EQ(fresh.Count(QuotaStatGrouping(1)->enumerating), 3);
}
