#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CKvReportCol.h"
#include "CKvReportForm.h"
#include "CReportField.h"
#include "KvFreshDatabase.h"
#include "KvReportCatalogues.h"
#include "KvSchema.h"
#include "KvTestSupport.h"
#include "SysGlobals.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QStringList Headings(int reportId)
{
    CKvReportColList columns;
    columns.LoadByReport(reportId);
    QStringList headings;
    for (int i = 0; i < columns.GetCount(); ++i)
        headings << columns.At(i)->GetColHeader();
    return headings;
}

QStringList Rows(CAdoConnection& db, const QString& sql)
{
    QStringList rows;
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(sql);
    for (; !rs->IsEOF(); rs->MoveNext()) {
        QStringList cells;
        for (int i = 0; i < rs->GetFieldCount(); ++i)
            cells << rs->GetFieldValue(i).toString();
        rows << cells.join('|');
    }
    return rows;
}

CKvReportLayoutChoice Choice(const QStringList& headings, const QList<int>& widths)
{
    CKvReportLayoutChoice choice;
    choice.paperIndex = 2;
    choice.paperLength = "2500";
    choice.paperWidth = "1800";
    choice.leftOffset = "50";
    choice.rightOffset = "abc"; // no number: stored as 0
    choice.topOffset = "70";
    choice.bottomOffset = " 80mm"; // read as atoi does: 80
    choice.headings = headings;
    choice.widths = widths;
    return choice;
}

// The from and where texts of the sale queries and of the sub-meter queries.
const QString kSaleFrom =
    " from Client a, CliPre b, WrtRecord c, ClientPay d, Price e, PrePrice f, PreModel g, Operator h, WrtPrice k, "
    "PriceVer p, Block q, Building r, Department s where c.State = '收讫' and c.CliPreIndex = b.CliPreIndex and "
    "b.ClientNo = a.ClientNo and a.EndDate = CDate('2050-12-31') and b.CliPreIndex = f.CliPreIndex and "
    "f.PriceX = 0 and f.PriceNo = e.PriceNo and d.WrtIndex = c.WrtIndex and g.ModelId = b.ModelId and "
    "k.WrtIndex = c.WrtIndex and k.PriceIndex = p.PriceIndex and p.PriceNo = e.PriceNo and "
    "c.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo and r.BuildingNo = a.BuildingNo and "
    "s.DepartmentNo = a.DepartmentNo and (r.BlockNo = q.BlockNo or r.BlockNo = '00')";
const QString kSaleTotals = "count(*) as ItemCount, sum(c.BuyValue) as BuyValue, sum(c.FreeValue) as FreeValue, "
                            "sum(c.LWaste) as LWaste, sum(c.TWaste) as TWaste, sum(c.Fee) as Fee, sum(c.PrePay) as "
                            "PrePay, sum(c.SubFee) as SubFee, sum(c.FixFee) as FixFee, sum(d.TotFee) as TotFee, "
                            "sum(d.RealPay) as RealPay";
const QString kSubFrom =
    " from Client a, CliSub c, SubRead d, Price e, PriceVer f, WrtRecord g, Operator h, Block q, Building r, "
    "Department s where d.WrtIndex = g.WrtIndex and g.State = '收讫' and d.CliSubIndex = c.CliSubIndex and "
    "a.ClientNo = c.ClientNo and a.EndDate = CDate('2050-12-31') and d.PriceIndex = f.PriceIndex and "
    "f.PriceNo = e.PriceNo and g.OperatorNo = h.OperatorNo and q.BlockNo = a.BlockNo and "
    "r.BuildingNo = a.BuildingNo and s.DepartmentNo = a.DepartmentNo and (r.BlockNo = q.BlockNo or r.BlockNo = '00')";
const QString kSubTotals = "count(*) as ItemCount, sum(d.BuyValue) as BuyValue, sum(d.FreeValue) as FreeValue, "
                           "sum(d.RealUse) as RealUse, sum(d.Fee) as Fee";

struct ReportQuery
{
    QString type;
    QString sql;
    // The statistics' group columns, in select order (empty for other reports).
    QStringList groupColumns;
};

// A statistics query: its group columns, the totals of its family, its from
// and where texts and its group clause.
ReportQuery Stat(const QString& family, const QString& totals, const QString& from, const QString& word,
                 const QString& columns, const QString& groupBy)
{
    QStringList aliases;
    for (const QString& item : columns.split(", "))
        aliases << item.section(" as ", 1);
    return {family + word, "select " + columns + ", " + totals + from + " group by " + groupBy, aliases};
}

ReportQuery SaleStat(const QString& word, const QString& columns, const QString& groupBy)
{
    return Stat("售电记录统计表_按", kSaleTotals, kSaleFrom, word, columns, groupBy);
}

ReportQuery SubStat(const QString& word, const QString& columns, const QString& groupBy)
{
    return Stat("附表抄收统计表_按", kSubTotals, kSubFrom, word, columns, groupBy);
}

// Every report type with the statement its query runs.
QList<ReportQuery> ReportQueries()
{
    const QString block = "a.BlockNo as BlockNo, q.BlockName as BlockName";
    const QString building = block + ", a.BuildingNo as BuildingNo, r.BuildingName as BuildingName";
    const QString blockGroup = "a.BlockNo, q.BlockName";
    const QString buildingGroup = blockGroup + ", a.BuildingNo, r.BuildingName";
    QList<ReportQuery> queries = {
        {"售电记录明细表",
         "select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel, b.MeterNo as "
         "MeterNo, g.Phase as Phase, e.PriceName as PriceName, c.BuyValue as BuyValue, c.FreeValue as FreeValue, "
         "c.LWaste as LWaste, c.TWaste as TWaste, c.Price as Price, h.OperatorName as OperatorName, c.Fee as Fee, "
         "c.PrePay as PrePay, c.SubFee as SubFee, c.FixFee as FixFee, d.TotFee as TotFee, d.RealPay as RealPay, "
         "d.LastBalance as LastBalance, d.ThisBalance as ThisBalance, d.PayMode as PayMode, d.InvoiceNo as "
         "InvoiceNo, c.OpMode as OpMode, c.WrtTime as WrtTime" +
             kSaleFrom + " order by c.WrtTime",
         {}},
        SaleStat("用户电表", "a.ClientNo as ClientNo, a.ClientName as ClientName, b.MeterNo as MeterNo",
                 "a.ClientNo, a.ClientName, b.MeterNo"),
        SaleStat("电卡类型", "g.CardType as CardType", "g.CardType"),
        SaleStat("用电性质", "e.PriceNo as PriceNo, e.PriceName as PriceName", "e.PriceNo, e.PriceName"),
        SaleStat("电表相线", "g.Phase as Phase", "g.Phase"),
        SaleStat("付款方式", "d.PayMode as PayMode", "d.PayMode"),
        SaleStat("设备类型", "g.DevType as DevType", "g.DevType"),
        SaleStat("操作员", "h.OperatorNo as OperatorNo, h.OperatorName as OperatorName",
                 "h.OperatorNo, h.OperatorName"),
        SaleStat("操作方式", "c.OpMode as OpMode", "c.OpMode"),
        SaleStat("小区", block, blockGroup),
        SaleStat("单元", building + ", a.Cell as Cell", buildingGroup + ", a.Cell"),
        SaleStat("楼幢", building, buildingGroup),
        SaleStat("部门", "a.DepartmentNo as DepartmentNo, s.DepartmentName as DepartmentName",
                 "a.DepartmentNo, s.DepartmentName"),
        SaleStat("楼层", building + ", a.LayerNo as LayerNo", buildingGroup + ", a.LayerNo"),
        SaleStat("安装级别", "b.MeterLevel as MeterLevel", "b.MeterLevel"),
        SaleStat("房号", building + ", a.LayerNo as LayerNo, a.RoomNo as RoomNo",
                 buildingGroup + ", a.LayerNo, a.RoomNo"),
        SaleStat("上级表号", "b.SuperNo as SuperNo", "b.SuperNo"),
        {"附表抄收明细表",
         "select a.ClientNo as ClientNo, a.ClientName as ClientName, a.Addr as Addr, a.Tel as Tel, d.SubNo as SubNo, "
         "e.PriceType as PriceType, e.PriceName as PriceName, d.LastRead as LastRead, d.ThisRead as ThisRead, "
         "d.RealUse as RealUse, d.BuyValue as BuyValue, d.FreeValue as FreeValue, d.Price as Price, d.Fee as Fee, "
         "d.ReadTime as ReadTime, h.OperatorName as OperatorName" +
             kSubFrom,
         {}},
        SubStat("小区", block, blockGroup),
        SubStat("单元", building + ", a.Cell as Cell", buildingGroup + ", a.Cell"),
        SubStat("楼幢", building, buildingGroup),
        SubStat("部门", "a.DepartmentNo as DepartmentNo, s.DepartmentName as DepartmentName",
                "a.DepartmentNo, s.DepartmentName"),
        SubStat("楼层", building + ", a.LayerNo as LayerNo", buildingGroup + ", a.LayerNo"),
        SubStat("安装级别", "c.MeterLevel as MeterLevel", "c.MeterLevel"),
        SubStat("房号", building + ", a.LayerNo as LayerNo, a.RoomNo as RoomNo",
                buildingGroup + ", a.LayerNo, a.RoomNo"),
        SubStat("上级表号", "c.SuperNo as SuperNo", "c.SuperNo"),
        SubStat("用户", "a.ClientNo as ClientNo, a.ClientName as ClientName", "a.ClientNo, a.ClientName"),
        SubStat("用户电表", "a.ClientNo as ClientNo, a.ClientName as ClientName, c.MeterNo as MeterNo",
                "a.ClientNo, a.ClientName, c.MeterNo"),
        SubStat("附表", "a.ClientNo as ClientNo, a.ClientName as ClientName, d.SubNo as SubNo",
                "a.ClientNo, a.ClientName, d.SubNo"),
        SubStat("操作员", "g.OperatorNo as OperatorNo, h.OperatorName as OperatorName", "g.OperatorNo, h.OperatorName"),
        SubStat("计量类别", "e.PriceType as PriceType", "e.PriceType"),
        SubStat("收费性质", "e.PriceType as PriceType, e.PriceNo as PriceNo, e.PriceName as PriceName",
                "e.PriceType, e.PriceNo, e.PriceName"),
        {"余额明细表",
         "select a.ClientNo as ClientNo, a.ClientName as ClientName, b.ThisBalance as ThisBalance \t\t\tfrom Client "
         "a, CliBalance b where a.EndDate = CDate('2050-12-31') and a.ClientNo = b.ClientNo",
         {}},
    };
    return queries;
}

} // namespace

class ReportLayoutTest : public FreshDatabaseTest
{
};

TEST_F(ReportLayoutTest, EveryReportTypeShipsOneLayoutWhoseColumnsItsQuerySelects)
{
    const QList<ReportQuery> queries = ReportQueries();
    ASSERT_EQ(queries.size(), 33);
    EXPECT_EQ(fresh.Count("select * from KvReportForm"), 33);
    for (const ReportQuery& query : queries) {
        SCOPED_TRACE(query.type.toStdString());
        CKvReportFormList layouts;
        layouts.LoadByType(query.type);
        ASSERT_EQ(layouts.GetCount(), 1);
        const CKvReportForm* layout = layouts.At(0);
        EXPECT_EQ(layout->GetReportName(), query.type);
        EXPECT_EQ(layout->GetHPaper(), QStringLiteral("否"));

        CKvReportColList columns;
        layout->LoadColumns(columns);
        ASSERT_GT(columns.GetCount(), 0);
        for (int i = 0; i < columns.GetCount(); ++i)
            EXPECT_EQ(columns.At(i)->GetColX(), i);

        // Every column is a caption of the report's catalogue whose column the
        // statement selects (the statement itself must run on the schema).
        CAdoLease<CAdoRecordset> rs(db().AcquireRecordset());
        rs->Open(query.sql);
        const CReportFieldList* catalogue = GetReportCatalogue(query.type);
        ASSERT_NE(catalogue, nullptr);
        for (int i = 0; i < columns.GetCount(); ++i) {
            const QString heading = columns.At(i)->GetColHeader();
            const CReportField* field = catalogue->FindByCaption(heading);
            ASSERT_NE(field, nullptr) << heading.toStdString();
            EXPECT_GE(rs->FindField(field->GetColumnName()), 0) << heading.toStdString();
        }

        // A statistics layout begins with exactly the captions of its group
        // columns, and no other grouping field appears anywhere.
        const int groupingFields = GetGroupingFieldCount(query.type);
        QStringList expectedHead;
        for (const QString& alias : query.groupColumns)
            for (int f = 0; f < groupingFields; ++f)
                if (catalogue->At(f)->GetColumnName() == alias)
                    expectedHead << catalogue->At(f)->GetCaption();
        ASSERT_EQ(expectedHead.isEmpty(), groupingFields == 0);
        const QStringList headings = Headings(layout->GetReportId());
        EXPECT_EQ(headings.mid(0, expectedHead.size()), expectedHead);
        int groupingColumns = 0;
        for (int f = 0; f < groupingFields; ++f)
            groupingColumns += headings.contains(catalogue->At(f)->GetCaption()) ? 1 : 0;
        EXPECT_EQ(groupingColumns, expectedHead.size());
    }
}

TEST_F(ReportLayoutTest, ReportIndexLiesAboveEveryShippedKeyAndANewLayoutDrawsIt)
{
    const int highest = fresh.Value("select max(ReportId) from KvReportForm").toInt();
    EXPECT_EQ(highest, 33);
    EXPECT_EQ(fresh.Value("select ReportIndex from SysPara").toInt(), highest + 1);

    CKvReportForm form;
    form.SetReportName("新报表");
    form.SetReportType("新报表");
    form.InsertNew();
    EXPECT_EQ(form.GetReportId(), highest + 1);
    EXPECT_EQ(fresh.Value("select ReportIndex from SysPara").toInt(), highest + 2);
    EXPECT_EQ(Rows(db(), "select ReportName, ReportType, bHPaper, PaperSize, LeftOffset from KvReportForm "
                         "where ReportId = 34"),
              QStringList{"新报表|新报表|否|0|0"});
}

TEST_F(ReportLayoutTest, SavingALayoutReplacesItsColumnsWithoutGaps)
{
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout("余额明细表");
    ASSERT_NE(layout, nullptr);
    const int id = layout->GetReportId();
    const QStringList otherColumns = Rows(db(), "select * from KvReportCol where ReportId <> " + QString::number(id));

    layout->SaveLayout("余额明细表", "余额明细表", Choice({"余  额", "用户姓名"}, {300, 0}));
    EXPECT_EQ(Rows(db(), QStringLiteral("select ColHeader, ColX, ColWidth from KvReportCol where ReportId = %1 "
                                        "order by ColX")
                             .arg(id)),
              (QStringList{"余  额|0|300", "用户姓名|1|0"}));
    EXPECT_EQ(Rows(db(), QStringLiteral("select ReportName, ReportType, bHPaper, PaperSize, PaperLength, PaperWidth, "
                                        "LeftOffset, RightOffset, TopOffset, BottomOffset from KvReportForm "
                                        "where ReportId = %1")
                             .arg(id)),
              QStringList{"余额明细表|余额明细表|否|2|2500|1800|50|0|70|80"});
    EXPECT_EQ(layout->GetState(), CKvPersistance::StateStored);
    // The other layouts keep their columns.
    EXPECT_EQ(Rows(db(), "select * from KvReportCol where ReportId <> " + QString::number(id)), otherColumns);

    // A second save: the stored positions start again at 0; no column at all
    // leaves the layout without columns.
    layout->SaveLayout("余额明细表", "余额明细表", Choice({"用户代码"}, {123}));
    EXPECT_EQ(Headings(id), QStringList{"用户代码"});
    layout->SaveLayout("余额明细表", "余额明细表", Choice({}, {}));
    EXPECT_EQ(Headings(id), QStringList());

    // The type is never rewritten: a name of another report stays a name.
    CKvReportFormList sub;
    CKvReportForm* subLayout = sub.LoadLayout("附表抄收明细表");
    ASSERT_NE(subLayout, nullptr);
    subLayout->SetReportType("变了");
    subLayout->SetState(CKvPersistance::StateChanged);
    subLayout->Save();
    EXPECT_EQ(
        Rows(db(),
             QStringLiteral("select ReportType from KvReportForm where ReportId = %1").arg(subLayout->GetReportId())),
        QStringList{"附表抄收明细表"});
}

TEST_F(ReportLayoutTest, AFailedSaveKeepsTheOldLayoutAndItsColumns)
{
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout("售电记录明细表");
    ASSERT_NE(layout, nullptr);
    const int id = layout->GetReportId();
    const QStringList columnsBefore = Rows(db(), "select * from KvReportCol order by ColIndex");
    const QStringList formBefore = Rows(db(), "select * from KvReportForm order by ReportId");

    // The fourth column cannot be written.
    db().Execute(QStringLiteral("create trigger NoBoom before insert on KvReportCol when new.ColHeader = 'boom' "
                                "begin select raise(abort, 'refused'); end"),
                 QString());
    EXPECT_EQ(ThrownText([&] {
                  layout->SaveLayout("售电记录明细表", "售电记录明细表",
                                     Choice({"用户代码", "用户姓名", "电  费", "boom"}, {1, 2, 3, 4}));
              }),
              QStringLiteral("向数据库增加报表列时发生错误！"));
    EXPECT_EQ(Rows(db(), "select * from KvReportCol order by ColIndex"), columnsBefore);
    EXPECT_EQ(Rows(db(), "select * from KvReportForm order by ReportId"), formBefore);
    EXPECT_EQ(db().GetTransDepth(), 0);
    // The record keeps what it had.
    EXPECT_EQ(layout->GetPaperSize(), 3);
    EXPECT_EQ(layout->GetReportId(), id);
    EXPECT_EQ(layout->GetState(), CKvPersistance::StateStored);

    // A layout whose row has gone is not "saved" into nothing.
    db().Execute(QStringLiteral("delete from KvReportForm where ReportId = %1").arg(id), QString());
    EXPECT_EQ(ThrownText([&] { layout->SaveLayout("售电记录明细表", "售电记录明细表", Choice({"用户代码"}, {1})); }),
              QStringLiteral("向数据库更新报表格式时发生错误！"));
    EXPECT_EQ(Rows(db(), "select * from KvReportCol order by ColIndex"), columnsBefore);
}

TEST_F(ReportLayoutTest, ALayoutIsFoundByItsTypeOrReportedMissing)
{
    // A second layout of a type is never used: the lowest key wins.
    db().Execute(QStringLiteral("insert into KvReportForm(ReportId, ReportName, ReportType, bHPaper, PaperSize, "
                                "PaperLength, PaperWidth, LeftOffset, RightOffset, TopOffset, BottomOffset) "
                                "values(90, 'x', '余额明细表', '否', 1, 0, 0, 0, 0, 0, 0)"),
                 QString());
    CKvReportFormList layouts;
    EXPECT_EQ(layouts.LoadByType("余额明细表").size(), 2);
    CKvReportForm* layout = layouts.LoadLayout("余额明细表");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetReportId(), 33);
    EXPECT_TRUE(sink.Texts().isEmpty());

    EXPECT_EQ(layouts.LoadLayout("没有的报表"), nullptr);
    EXPECT_EQ(sink.Texts(), QStringList{"报表格式类型错误！"});

    // Columns: by heading, byte for byte; a layout never stored has none to load.
    CKvReportColList columns;
    layout = layouts.LoadLayout("余额明细表");
    layout->LoadColumns(columns);
    EXPECT_TRUE(columns.HasColumn("余  额"));
    EXPECT_FALSE(columns.HasColumn("余额"));
    CKvReportForm unsaved;
    EXPECT_EQ(ThrownText([&] { unsaved.LoadColumns(columns); }), QString());
    bool thrown = false;
    try {
        unsaved.LoadColumns(columns);
    } catch (const CKvException&) {
        thrown = true;
    }
    EXPECT_TRUE(thrown);
}

TEST(ReportLayoutVersion, AnOlderDatabaseGetsTheMissingLayoutsAndKeepsItsOwn)
{
    CFreshDatabase fresh;
    CAdoConnection& db = fresh.Db();
    // A database of version 1 in which an operator edited one layout and the
    // other layouts were never shipped.
    db.ExecuteScript(QStringLiteral("delete from KvReportCol where ReportId <> 1; "
                                    "delete from KvReportForm where ReportId <> 1; "
                                    "update KvReportForm set ReportId = 40 where ReportId = 1; "
                                    "update KvReportCol set ReportId = 40 where ReportId = 1; "
                                    "delete from KvReportCol where ColX > 0; "
                                    "update SysPara set ReportIndex = 1; PRAGMA user_version = 1;"),
                     QString());
    const QStringList kept = Rows(db, "select * from KvReportCol where ReportId = 40");
    ASSERT_EQ(kept.size(), 1);

    EXPECT_EQ(UpdateSchemaVersion(db), CurrentSchemaVersion());
    EXPECT_GE(CurrentSchemaVersion(), 5);
    EXPECT_EQ(fresh.Count("select * from KvReportForm"), 33);
    EXPECT_EQ(fresh.Count("select distinct ReportType from KvReportForm"), 33);
    EXPECT_EQ(Rows(db, "select * from KvReportCol where ReportId = 40"), kept);
    EXPECT_EQ(fresh.Value("select min(ReportId) from KvReportForm where ReportId <> 40").toInt(), 42);
    EXPECT_EQ(fresh.Count("select * from KvReportCol where ReportId not in (select ReportId from KvReportForm)"), 0);
    const int highest = fresh.Value("select max(ReportId) from KvReportForm").toInt();
    EXPECT_EQ(fresh.Value("select ReportIndex from SysPara").toInt(), highest + 1);

    // Nothing more on a second run of the seed.
    const QStringList all = Rows(db, "select * from KvReportCol order by ColIndex");
    db.Execute(QStringLiteral("PRAGMA user_version = 1"), QString());
    UpdateSchemaVersion(db);
    EXPECT_EQ(Rows(db, "select * from KvReportCol order by ColIndex"), all);
    EXPECT_EQ(fresh.Count("select * from KvReportForm"), 33);
}
