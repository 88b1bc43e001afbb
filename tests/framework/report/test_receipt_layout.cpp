#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CReceiptValues.h"
#include "KvFreshDatabase.h"
#include "KvReceiptLayout.h"
#include "KvSchema.h"
#include "KvTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const int kLayout = 1;

// Fills every value of every copy with a text that names its place.
void FillDistinct(CReceiptValues& values)
{
    for (int k = 0; k < values.GetReceiptCount(); ++k) {
        for (int j = 0; j < CReceiptValues::CommonCount; ++j)
            values.SetCommon(k, j, QStringLiteral("c%1.%2").arg(k).arg(j));
        for (int r = 0; r < CReceiptValues::PriceRows; ++r)
            for (int c = 0; c < CReceiptValues::PriceColumns; ++c)
                values.SetPrice(k, r, c, QStringLiteral("p%1.%2.%3").arg(k).arg(r).arg(c));
        for (int r = 0; r < CReceiptValues::SubRows; ++r)
            for (int c = 0; c < CReceiptValues::SubColumns; ++c)
                values.SetSub(k, r, c, QStringLiteral("s%1.%2.%3").arg(k).arg(r).arg(c));
        for (int r = 0; r < CReceiptValues::FeeRows; ++r)
            for (int c = 0; c < CReceiptValues::FeeColumns; ++c)
                values.SetFee(k, r, c, QStringLiteral("f%1.%2.%3").arg(k).arg(r).arg(c));
    }
}

KvFieldRow Field(const QString& group, const QString& name, const QString& meterNo = QString())
{
    KvFieldRow row;
    row.fieldType = group;
    row.fieldName = name;
    row.meterNo = meterNo;
    return row;
}

std::unique_ptr<CAdoConnection> OpenFile(const QString& path)
{
    auto connection = std::make_unique<CAdoConnection>();
    connection->Open(0, QStringLiteral("Data Source=%1").arg(path));
    return connection;
}

// The thirteen numbers of a stored font, in column order.
std::vector<int> FontNumbers(const KvLogFont& f)
{
    return {f.lfHeight,        f.lfWidth,     f.lfEscapement,    f.lfOrientation, f.lfWeight,
            f.lfItalic,        f.lfUnderline, f.lfStrikeOut,     f.lfCharSet,     f.lfOutPrecision,
            f.lfClipPrecision, f.lfQuality,   f.lfPitchAndFamily};
}

} // namespace

TEST(ReceiptValues, AFieldPicksItsValueByGroupNameAndRowNumber)
{
    CReceiptValues values;
    values.SetReceiptCount(2);
    FillDistinct(values);
    const struct
    {
        const char* group;
        const char* name;
        const char* meterNo;
        int copy;
        const char* expected;
    } cases[] = {
        {"常用信息", "票据编号", "", 0, "c0.35"},
        {"常用信息", "住户姓名", "9", 1, "c1.0"}, // the row number means nothing here
        {"常用信息", "打印日", "", 1, "c1.41"},
        {"电价信息", "电价代码", "1", 0, "p0.0.0"},
        {"电价信息", "百分比", "5", 1, "p1.4.3"},
        {"附表信息", "应缴金额", "2", 0, "s0.1.8"},
        {"附表信息", "抄表日期", "50", 1, "s1.49.9"},
        {"定额收费信息", "调整金额", "3", 0, "f0.2.3"},
        {"定额收费信息", "天数", " 2x", 1, "f1.1.8"}, // read as atoi reads
        // Unknown group or name: the layout prints the name itself.
        {"住户信息", "住户姓名", "", 0, "住户姓名"},
        {"常用信息", "表底数", "", 0, "表底数"},
        {"附表信息", "电价代码", "1", 0, "电价代码"},
        // Row numbers outside the rows print nothing.
        {"电价信息", "电价代码", "6", 0, ""},
        {"电价信息", "电价代码", "0", 0, ""},
        {"电价信息", "电价代码", "", 0, ""},
        {"附表信息", "附表编号", "51", 0, ""},
        {"定额收费信息", "收费项目", "-1", 0, ""},
        {"定额收费信息", "收费项目", "99999999999", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1/%2/%3").arg(c.group, c.name, c.meterNo).toStdString());
        EXPECT_EQ(values.FieldText(c.copy, Field(c.group, c.name, c.meterNo)), QString::fromUtf8(c.expected));
    }
    // A copy that does not exist reads empty, and setting it changes nothing.
    values.SetCommon(2, 0, QStringLiteral("x"));
    EXPECT_EQ(values.Common(2, 0), QString());
    EXPECT_EQ(values.Common(-1, 0), QString());

    // A new count starts again with empty texts.
    values.SetReceiptCount(1);
    EXPECT_EQ(values.GetReceiptCount(), 1);
    EXPECT_EQ(values.FieldText(0, Field("常用信息", "票据编号")), QString());
    values.SetReceiptCount(0);
    EXPECT_EQ(values.GetReceiptCount(), 0);
}

class ReceiptLayoutTest : public FreshDatabaseTest
{
};

TEST_F(ReceiptLayoutTest, LoadersReadEveryColumnOfTheirLayout)
{
    // A layout of its own with a distinct value in every column.
    db().ExecuteScript(
        QStringLiteral("insert into KvReport values(7, 15000, -9000);"
                       "insert into KvLine values(7, 11, -12, 13, -14, 15, 4);"
                       "insert into KvLine values(8, 1, 1, 1, 1, 1, 1);"
                       "insert into KvText values(7, 21, -22, 23, -24, '标签', 2, -25, 260, 27, 28, 29, 700, 1, 1, 1, "
                       "134, 30, 31, 32, 33, '黑体');"
                       "insert into KvField values(7, 41, -42, 43, -44, '单价', '标题', '附表信息', 'r', 'p', ' 3', "
                       "'m', 2, -45, 460, 47, 48, 49, 400, 0, 1, 0, 1, 50, 51, 52, 53, '楷体');"
                       // A number stored as text or as a real still reads as an integer.
                       "insert into KvLine values(9, '5', 6.7, null, 8, 1, 2)"),
        QString());

    const std::vector<KvLineRow> lines = LoadReportLines(db(), 7);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ((std::vector<int>{lines[0].left, lines[0].top, lines[0].right, lines[0].bottom, lines[0].lineWidth,
                                lines[0].lineType}),
              (std::vector<int>{11, -12, 13, -14, 15, 4}));
    const std::vector<KvLineRow> loose = LoadReportLines(db(), 9);
    ASSERT_EQ(loose.size(), 1u);
    EXPECT_EQ((std::vector<int>{loose[0].left, loose[0].top, loose[0].right, loose[0].bottom}),
              (std::vector<int>{5, 6, 0, 8}));

    const std::vector<KvTextRow> texts = LoadReportTexts(db(), 7);
    ASSERT_EQ(texts.size(), 1u);
    const KvTextRow& t = texts[0];
    EXPECT_EQ((std::vector<int>{t.left, t.top, t.right, t.bottom, t.bkMode, t.height}),
              (std::vector<int>{21, -22, 23, -24, 2, -25}));
    EXPECT_EQ(t.text, QStringLiteral("标签"));
    EXPECT_EQ(FontNumbers(t.font), (std::vector<int>{260, 27, 28, 29, 700, 1, 1, 1, 134, 30, 31, 32, 33}));
    EXPECT_EQ(t.font.lfFaceName, QStringLiteral("黑体"));

    const std::vector<KvFieldRow> fields = LoadReportFields(db(), 7);
    ASSERT_EQ(fields.size(), 1u);
    const KvFieldRow& f = fields[0];
    EXPECT_EQ((std::vector<int>{f.left, f.top, f.right, f.bottom, f.bkMode, f.height}),
              (std::vector<int>{41, -42, 43, -44, 2, -45}));
    EXPECT_EQ((QStringList{f.fieldName, f.caption, f.fieldType, f.rankNo, f.priceNo, f.meterNo, f.monthNo}),
              (QStringList{"单价", "标题", "附表信息", "r", "p", " 3", "m"}));
    EXPECT_EQ(FontNumbers(f.font), (std::vector<int>{460, 47, 48, 49, 400, 0, 1, 0, 1, 50, 51, 52, 53}));
    EXPECT_EQ(f.font.lfFaceName, QStringLiteral("楷体"));

    int width = 1;
    int length = 2;
    EXPECT_TRUE(LoadReportPageSize(db(), 7, width, length));
    EXPECT_EQ(width, 15000);
    EXPECT_EQ(length, -9000);
    // No KvReport row: the caller's page size stays.
    width = 123;
    length = -456;
    EXPECT_FALSE(LoadReportPageSize(db(), 8, width, length));
    EXPECT_EQ(width, 123);
    EXPECT_EQ(length, -456);
    EXPECT_TRUE(LoadReportTexts(db(), 8).empty());
}

TEST_F(ReceiptLayoutTest, LayoutOneShipsWithAFreshDatabaseAndFitsItsPage)
{
    int width = 0;
    int length = 0;
    ASSERT_TRUE(LoadReportPageSize(db(), kLayout, width, length));
    EXPECT_EQ(width, 21000);
    EXPECT_EQ(length, -14800) << "the step to the next copy goes down";

    const std::vector<KvLineRow> lines = LoadReportLines(db(), kLayout);
    const std::vector<KvTextRow> texts = LoadReportTexts(db(), kLayout);
    const std::vector<KvFieldRow> fields = LoadReportFields(db(), kLayout);
    ASSERT_FALSE(lines.empty());
    ASSERT_FALSE(texts.empty());
    ASSERT_FALSE(fields.empty());

    // Everything lies on the page: x from 0 to the width, y from 0 down to the length.
    const auto onPage = [&](int left, int top, int right, int bottom) {
        return left >= 0 && right <= width && left <= right && top <= 0 && bottom >= length && bottom <= top;
    };
    for (const KvLineRow& l : lines) {
        EXPECT_TRUE(onPage(l.left, l.top, l.right, l.bottom)) << l.left << "," << l.top;
        EXPECT_TRUE(l.lineType == 1 || l.lineType == 2);
    }
    for (const KvTextRow& t : texts)
        EXPECT_TRUE(onPage(t.left, t.top, t.right, t.bottom)) << t.text.toStdString();

    // Every field shows a value that the sale fills: none prints its own name,
    // and fee rows use only the columns the sale fills (name, amount, dates, days).
    CReceiptValues values;
    values.SetReceiptCount(1);
    FillDistinct(values);
    QSet<QString> shown;
    for (const KvFieldRow& f : fields) {
        SCOPED_TRACE(f.fieldName.toStdString());
        EXPECT_TRUE(onPage(f.left, f.top, f.right, f.bottom));
        const QString text = values.FieldText(0, f);
        EXPECT_NE(text, f.fieldName);
        EXPECT_FALSE(text.isEmpty());
        if (f.fieldType == CReceiptValues::FeeGroup()) {
            EXPECT_TRUE(QStringList({"收费项目", "调整金额", "起始日期", "截止日期", "天数"}).contains(f.fieldName));
        }
        EXPECT_FALSE(shown.contains(text)) << "shown twice";
        shown.insert(text);
    }
    // Every head value a receipt is filled with has its place.
    for (const QString& name : CReceiptValues::CommonNames())
        EXPECT_TRUE(shown.contains(values.FieldText(0, Field("常用信息", name)))) << name.toStdString();
    for (const char* name : {"附表编号", "上次抄数", "本次抄数", "实用量", "缴费量", "单价", "应缴金额"})
        EXPECT_TRUE(shown.contains(values.FieldText(0, Field("附表信息", name, "1")))) << name;
    for (const char* name : {"电价代码", "电价名称", "基本电价", "百分比"})
        EXPECT_TRUE(shown.contains(values.FieldText(0, Field("电价信息", name, "1")))) << name;
}

TEST_F(ReceiptLayoutTest, LayoutOneKeepsItsValuesAndCaptionsApart)
{
    // No two fields share paper, and no two captions do: every value prints in
    // a box of its own. A field may start under the end of its caption's box
    // (the box is wider than the caption's glyphs), so captions are checked
    // against fields by their glyphs: about 318 units per Chinese character
    // and half of that for a Latin letter or digit at the layout's font.
    struct Box
    {
        QString what;
        int left, top, right, bottom;
    };
    const auto overlap = [](const Box& a, const Box& b) {
        return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
    };
    std::vector<Box> fields;
    for (const KvFieldRow& f : LoadReportFields(db(), kLayout))
        fields.push_back({f.fieldName + f.meterNo, f.left, f.top, f.right, f.bottom});
    std::vector<Box> captions;
    for (const KvTextRow& t : LoadReportTexts(db(), kLayout)) {
        int glyphs = 0;
        for (const QChar c : t.text)
            glyphs += c.unicode() < 0x80 ? 159 : 318;
        captions.push_back({t.text, t.left, t.top, t.left + glyphs, t.bottom});
    }
    for (const std::vector<Box>* boxes : {&fields, &captions})
        for (size_t i = 0; i < boxes->size(); ++i)
            for (size_t j = i + 1; j < boxes->size(); ++j)
                EXPECT_FALSE(overlap((*boxes)[i], (*boxes)[j]))
                    << (*boxes)[i].what.toStdString() << " / " << (*boxes)[j].what.toStdString();
    for (const Box& caption : captions)
        for (const Box& field : fields)
            EXPECT_FALSE(overlap(caption, field)) << caption.what.toStdString() << " / " << field.what.toStdString();
}

TEST(ReceiptLayoutVersion, AnOlderDatabaseGetsLayoutOneOnlyWhereItIsMissing)
{
    CTempAppDirectory app;
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30, 0));
    const auto counts = [](CAdoConnection& db, int id) {
        QStringList n;
        for (const char* table : {"KvReport", "KvLine", "KvText", "KvField"}) {
            CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
            rs->Open(QStringLiteral("select count(*) as n from %1 where ReportId = %2").arg(table).arg(id));
            n << rs->GetFieldText("n");
        }
        return n.join(u',');
    };

    CreateFreshDatabase(app.FilePath("fresh.db"), now);
    auto fresh = OpenFile(app.FilePath("fresh.db"));
    const QString shipped = counts(*fresh, kLayout);

    // A file of version 1: the tables are there, the layout is not.
    CreateFreshDatabase(app.FilePath("old.db"), now);
    auto old = OpenFile(app.FilePath("old.db"));
    old->ExecuteScript(
        QStringLiteral("delete from KvReport; delete from KvLine; delete from KvText; delete from KvField;"
                       "insert into KvText(ReportId, KvText) values(2, 'other layout');"
                       "PRAGMA user_version = 1"),
        QString());
    EXPECT_EQ(UpdateSchemaVersion(*old), CurrentSchemaVersion());
    EXPECT_EQ(counts(*old, kLayout), shipped);
    EXPECT_EQ(counts(*old, 2), QStringLiteral("0,0,1,0"));
    EXPECT_EQ(UpdateSchemaVersion(*old), CurrentSchemaVersion());
    EXPECT_EQ(counts(*old, kLayout), shipped) << "a second run adds nothing";

    // A file that holds a layout 1 of its own keeps it; only the missing table is filled.
    CreateFreshDatabase(app.FilePath("own.db"), now);
    auto own = OpenFile(app.FilePath("own.db"));
    own->ExecuteScript(QStringLiteral("delete from KvReport; delete from KvLine; delete from KvField;"
                                      "insert into KvReport values(1, 10000, -5000);"
                                      "insert into KvLine values(1, 0, 0, 100, 0, 1, 1);"
                                      "PRAGMA user_version = 1"),
                       QString());
    UpdateSchemaVersion(*own);
    int width = 0;
    int length = 0;
    ASSERT_TRUE(LoadReportPageSize(*own, kLayout, width, length));
    EXPECT_EQ(width, 10000);
    EXPECT_EQ(length, -5000);
    EXPECT_EQ(LoadReportLines(*own, kLayout).size(), 1u);
    EXPECT_EQ(counts(*own, kLayout).section(u',', 2), shipped.section(u',', 2));

    // A file without the layout tables gets them with the layout.
    auto bare = OpenScratchDatabase(app.FilePath("bare.db"),
                                    QStringLiteral("create table Client (ClientIndex integer primary key);"));
    UpdateSchemaVersion(*bare);
    EXPECT_EQ(counts(*bare, kLayout), shipped);
}

namespace {

// Receipt layout 1 as text, every row of its four tables in a fixed order.
QString LayoutText(CAdoConnection& db)
{
    QStringList rows;
    int width = 0;
    int length = 0;
    if (LoadReportPageSize(db, kLayout, width, length))
        rows << QStringLiteral("page %1 %2").arg(width).arg(length);
    QStringList items;
    for (const KvLineRow& l : LoadReportLines(db, kLayout))
        items << QStringLiteral("line %1 %2 %3 %4 %5 %6")
                     .arg(l.left)
                     .arg(l.top)
                     .arg(l.right)
                     .arg(l.bottom)
                     .arg(l.lineWidth)
                     .arg(l.lineType);
    for (const KvTextRow& t : LoadReportTexts(db, kLayout))
        items << QStringLiteral("text %1 %2 %3 %4 %5").arg(t.left).arg(t.top).arg(t.right).arg(t.bottom).arg(t.text);
    for (const KvFieldRow& f : LoadReportFields(db, kLayout))
        items << QStringLiteral("field %1 %2 %3 %4 %5 %6 %7")
                     .arg(f.left)
                     .arg(f.top)
                     .arg(f.right)
                     .arg(f.bottom)
                     .arg(f.fieldType, f.fieldName, f.meterNo);
    items.sort();
    return (rows + items).join(u'\n');
}

QString ShippedBeforeVersion7()
{
    QFile file(QStringLiteral(QUILLMER_SOURCE_DIR "/tests/framework/report/receipt_layout_version6.sql"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

} // namespace

TEST(ReceiptLayoutVersion, TheShippedLayoutIsRenewedAndAChangedOneStays)
{
    CTempAppDirectory app;
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30, 0));
    CreateFreshDatabase(app.FilePath("fresh.db"), now);
    auto fresh = OpenFile(app.FilePath("fresh.db"));
    const QString current = LayoutText(*fresh);

    // What an administrator may have done to the old layout; "" leaves it as shipped.
    const struct
    {
        const char* name;
        const char* change;
    } cases[] = {
        {"untouched", ""},
        {"rows stored in another order",
         "create temp table t as select * from KvText where ReportId = 1 order by KvTop, KvLeft desc;"
         "delete from KvText where ReportId = 1; insert into KvText select * from t; drop table t"},
        {"a caption moved", "update KvText set KvLeft = KvLeft + 10 where KvText = '票据编号：'"},
        {"a caption reworded", "update KvText set KvText = '收款员：' where KvText = '操作员：'"},
        {"a field added", "insert into KvField (ReportId, KvLeft, KvTop, KvRight, KvBottom, KvFieldName, KvFieldType) "
                          "values (1, 8000, -13750, 10000, -14400, '写卡人', '常用信息')"},
        {"a line removed", "delete from KvLine where ReportId = 1 and KvTop = -13550 and KvBottom = -13550"},
        {"another page length", "update KvReport set KvPageLength = -15000 where ReportId = 1"},
        {"a font changed", "update KvField set lfFaceName = '黑体' where KvFieldName = '合计大写'"},
    };
    // Puts the old shipped layout into the file, changed by `change`, runs the
    // version step and compares the outcome.
    const auto checkStep = [&](const QString& path, int (*update)(CAdoConnection&), bool untouched,
                               const char* change) {
        auto old = OpenFile(path);
        old->ExecuteScript(QStringLiteral("delete from KvReport; delete from KvLine; delete from KvText; "
                                          "delete from KvField;") +
                               ShippedBeforeVersion7() + QString::fromUtf8(change) +
                               QStringLiteral(";insert into KvText(ReportId, KvText) values(2, 'other layout');"
                                              "PRAGMA user_version = 6"),
                           QString());
        const QString before = LayoutText(*old);
        ASSERT_NE(before, current);
        EXPECT_EQ(update(*old), CurrentSchemaVersion());
        EXPECT_EQ(ReadSchemaVersion(*old), CurrentSchemaVersion());
        EXPECT_EQ(LayoutText(*old), untouched ? current : before);
        CAdoLease<CAdoRecordset> rs(old->AcquireRecordset());
        rs->Open(QStringLiteral("select count(*) as n from KvText where ReportId = 2"));
        EXPECT_EQ(rs->GetFieldInt("n"), 1) << "another layout is not touched";
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool untouched = QByteArray(c.change).isEmpty() || QByteArray(c.name).startsWith("rows");
        const QString path = app.FilePath(QStringLiteral("%1.db").arg(&c - cases));
        CreateFreshDatabase(path, now);
        checkStep(path, UpdateSchemaVersion, untouched, c.change);
        // A counter's local file of the network edition holds the layout as well.
        const QString local = app.FilePath(QStringLiteral("local%1.db").arg(&c - cases));
        CreateLocalNetworkDatabase(local, now);
        checkStep(local, UpdateLocalNetworkSchemaVersion, untouched, c.change);
    }
}
