#include "KvSchema.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSqliteEngine.h"
#include "KvSchemaScripts.h"
#include "KvSql.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <span>
#include <vector>

namespace {

// One step of the schema: the statements that bring a file of version - 1 to
// `version`. Steps only add (tables, columns, indexes) or move rows; they never
// drop what holds data.
struct VersionStep
{
    int version;
    const char* sql; // a script, run through the script runner
    // A seed file (name without extension) whose statements the step runs as
    // well; such a seed inserts only the rows that are missing.
    const char* seed = nullptr;
    // A step that looks at the file first.
    void (*run)(CAdoConnection& db) = nullptr;
};

// The helper library's ManualFee statement before its text columns compared
// without regard to case.
QString BinaryManualFeeStatement()
{
    return ManualFeeCreateStatement().remove(QStringLiteral(" collate nocase"));
}

// Version 2: ManualFee's codes compare without regard to case, as every other
// table's do. Only the table the helper library made is rebuilt (same columns,
// same order, every row); a table of another shape is not ours to change.
void RebuildManualFeeWithoutCase(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(
        QStringLiteral("select sql from sqlite_master where type = 'table' and name = 'ManualFee' collate nocase"));
    if (rs->IsEOF())
        return;
    QString stored = rs->GetFieldText(QStringLiteral("sql"));
    if (stored.startsWith(QStringLiteral("CREATE TABLE ")))
        stored.replace(0, 12, QStringLiteral("create table"));
    if (stored != BinaryManualFeeStatement())
        return;
    db.ExecuteScript(QStringLiteral("alter table ManualFee rename to ManualFeeBinary;\n") + ManualFeeCreateStatement() +
                         QStringLiteral(";\ninsert into ManualFee select * from ManualFeeBinary;\n"
                                        "drop table ManualFeeBinary;"),
                     QString());
}

// The columns of receipt layout 1 that say how it looks, table by table.
const struct
{
    const char* table;
    const char* columns;
} kReceiptLayoutColumns[] = {
    {"KvReport", "KvPageWidth, KvPageLength"},
    {"KvLine", "KvLeft, KvTop, KvRight, KvBottom, LineWidth, LineType"},
    {"KvText", "KvLeft, KvTop, KvRight, KvBottom, KvText, BkMode, nHeight, lfHeight, lfWidth, lfEscapement, "
               "lfOrientation, lfWeight, lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, "
               "lfClipPrecision, lfQuality, lfPitchAndFamily, lfFaceName"},
    {"KvField", "KvLeft, KvTop, KvRight, KvBottom, KvFieldName, KvCaption, KvFieldType, KvRankNo, KvPriceNo, "
                "KvMeterNo, KvMonthNo, BkMode, nHeight, lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight, "
                "lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality, "
                "lfPitchAndFamily, lfFaceName"},
};

// The SHA-256 of receipt layout 1 as the file holds it: every row of its four
// tables, whatever their order in the file. Null when a table is missing.
QByteArray ReceiptLayoutFingerprint(CAdoConnection& db)
{
    QByteArray text;
    for (const auto& part : kReceiptLayoutColumns) {
        const QString table = QString::fromUtf8(part.table);
        if (!DatabaseHasTable(db, table))
            return QByteArray();
        const QStringList columns = QString::fromUtf8(part.columns).split(QStringLiteral(", "));
        QStringList rows;
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(QStringLiteral("select %1 from %2 where ReportId = 1").arg(columns.join(QStringLiteral(", ")), table));
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList row;
            for (const QString& column : columns)
                row << (rs->IsFieldNull(column) ? QStringLiteral("\\N") : rs->GetFieldText(column));
            rows << row.join(u'\x1f');
        }
        rows.sort();
        text += table.toUtf8() + '\n' + rows.join(u'\n').toUtf8() + '\n';
    }
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
}

// The fingerprint of receipt layout 1 exactly as versions 3 to 6 shipped it.
const char kShippedReceiptLayoutBefore7[] = "3c5e9b18d76fa06c506610532db3242cd664e59d88e2429fa859d43e74420018";

// Version 7: the receipt layout places every value a receipt is filled with.
// A file whose layout 1 is still the one shipped before gets the new one; a
// layout an administrator changed is his and stays as it is.
void ReplaceUntouchedReceiptLayout(CAdoConnection& db)
{
    if (ReceiptLayoutFingerprint(db) != kShippedReceiptLayoutBefore7)
        return;
    db.ExecuteScript(QStringLiteral("delete from KvLine where ReportId = 1;\n"
                                    "delete from KvText where ReportId = 1;\n"
                                    "delete from KvField where ReportId = 1;\n"
                                    "delete from KvReport where ReportId = 1;\n") +
                         QString::fromUtf8(KvSeedSqlText("seed_receipt")),
                     QString());
}

// Version 8: the columns of the stored layouts as shipped before were too
// narrow for ordinary values (a 10-digit user code, "居民生活用电", a sale time
// to the second, a statistic's year totals); the widths now shipped hold them
// on the same paper. A layout is changed only while its paper, its margins and
// every column of it are still as shipped: one an administrator set up stays
// his, whatever part of it he changed.
struct ColumnWidths
{
    const char* heading;
    int before; // as shipped up to version 7
    int now;
};

// The paper and margins a layout shipped with (lengths in 0.1 mm); version 8
// keeps them.
struct LayoutPaper
{
    const char* landscape; // bHPaper
    int size;
    int length;
    int width;
    int left, right, top, bottom;
};

// A4 across (the sale and sub-meter details, the sale statistic by user
// meter) and A4 upright (the sub-meter statistics).
constexpr LayoutPaper kA4Across{"否", 3, 2100, 2970, 100, 100, 100, 100};
constexpr LayoutPaper kA4Upright{"否", 0, 2970, 2100, 100, 100, 100, 100};

struct LayoutWidths
{
    const char* reportType;
    LayoutPaper paper;
    std::vector<ColumnWidths> columns; // in position order
};

// A sub-meter statistic: its grouping columns, then the totals every one of
// them shares.
LayoutWidths SubReadStatWidths(const char* reportType, std::vector<ColumnWidths> grouping)
{
    grouping.insert(grouping.end(), {{"记录数", 150, 150},
                                     {"购买量", 170, 180},
                                     {"补助量", 170, 180},
                                     {"实用量", 170, 180},
                                     {"合计金额", 200, 200}});
    return {reportType, kA4Upright, std::move(grouping)};
}

const std::vector<LayoutWidths>& LayoutsWidenedIn8()
{
    static const std::vector<LayoutWidths> layouts{
        {"售电记录明细表",
         kA4Across,
         {{"用户代码", 200, 220},
          {"用户姓名", 200, 200},
          {"电表编号", 200, 200},
          {"用电性质", 200, 230},
          {"购买电量", 170, 160},
          {"单 价", 140, 140},
          {"电  费", 170, 160},
          {"附表收费", 170, 160},
          {"物业收费", 170, 160},
          {"总金额", 170, 160},
          {"实收金额", 170, 160},
          {"本次余额", 170, 160},
          {"付款方式", 150, 160},
          {"写卡时间", 340, 350},
          {"操作员", 150, 150}}},
        {"售电记录统计表_按用户电表",
         kA4Across,
         {{"用户代码", 200, 210},
          {"用户姓名", 200, 200},
          {"电表编号", 200, 200},
          {"记录数", 150, 150},
          {"实购电量", 170, 170},
          {"补助电量", 170, 170},
          {"电  费", 200, 200},
          {"附表收费", 200, 200},
          {"物业收费", 200, 200},
          {"总金额", 200, 200},
          {"实收金额", 200, 200}}},
        {"附表抄收明细表",
         kA4Across,
         {{"用户代码", 200, 210},
          {"用户姓名", 200, 200},
          {"附表编号", 250, 250},
          {"计量类别", 200, 200},
          {"收费性质", 200, 230},
          {"上次读数", 170, 170},
          {"本次读数", 170, 170},
          {"实际用量", 170, 170},
          {"单 价", 150, 150},
          {"金 额", 170, 170},
          {"抄表日期", 200, 200},
          {"操作员", 150, 150}}},
        SubReadStatWidths("附表抄收统计表_按小区", {{"小区名称", 250, 250}}),
        SubReadStatWidths("附表抄收统计表_按单元",
                          {{"小区名称", 250, 250}, {"楼幢名称", 250, 250}, {"单元", 150, 150}}),
        SubReadStatWidths("附表抄收统计表_按楼幢", {{"小区名称", 250, 250}, {"楼幢名称", 250, 250}}),
        SubReadStatWidths("附表抄收统计表_按部门", {{"部门", 250, 250}}),
        SubReadStatWidths("附表抄收统计表_按楼层",
                          {{"小区名称", 250, 250}, {"楼幢名称", 250, 250}, {"楼层", 150, 150}}),
        SubReadStatWidths("附表抄收统计表_按安装级别", {{"安装级别", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按房号",
                          {{"小区名称", 250, 250}, {"楼幢名称", 250, 250}, {"楼层", 150, 150}, {"房号", 150, 150}}),
        SubReadStatWidths("附表抄收统计表_按上级表号", {{"上级表号", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按用户", {{"用户代码", 200, 210}, {"用户姓名", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按用户电表",
                          {{"用户代码", 200, 210}, {"用户姓名", 200, 200}, {"电表编号", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按附表",
                          {{"用户代码", 200, 210}, {"用户姓名", 200, 200}, {"附表编号", 250, 250}}),
        SubReadStatWidths("附表抄收统计表_按操作员", {{"操作员", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按计量类别", {{"计量类别", 200, 200}}),
        SubReadStatWidths("附表抄收统计表_按收费性质", {{"计量类别", 200, 200}, {"收费性质", 250, 250}}),
    };
    return layouts;
}

// Gives every layout of a type in KvWidthStep the new widths when its paper
// and margins are those of KvPaperStep and its columns exactly those of the
// step (heading, position and old width), no more and no fewer. Written for
// both engines (the server holds the layouts in the network edition).
const char kWidenUntouchedLayouts[] =
    "update KvReportCol set ColWidth = (select w.NewWidth from KvWidthStep w, KvReportForm f "
    "where f.ReportId = KvReportCol.ReportId and w.ReportType = f.ReportType and w.ColX = KvReportCol.ColX) "
    "where ReportId in (select f.ReportId from KvReportForm f "
    "where exists (select 1 from KvPaperStep p where p.ReportType = f.ReportType and p.bHPaper = f.bHPaper "
    "and p.PaperSize = f.PaperSize and p.PaperLength = f.PaperLength and p.PaperWidth = f.PaperWidth "
    "and p.LeftOffset = f.LeftOffset and p.RightOffset = f.RightOffset and p.TopOffset = f.TopOffset "
    "and p.BottomOffset = f.BottomOffset) "
    "and (select count(*) from KvReportCol c where c.ReportId = f.ReportId) = "
    "(select count(*) from KvWidthStep w where w.ReportType = f.ReportType) "
    "and not exists (select 1 from KvReportCol c where c.ReportId = f.ReportId and not exists "
    "(select 1 from KvWidthStep w where w.ReportType = f.ReportType and w.ColHeader = c.ColHeader "
    "and w.ColX = c.ColX and w.OldWidth = c.ColWidth)));\n";

void WidenUntouchedLayouts(CAdoConnection& db)
{
    QString script = QStringLiteral("create temp table KvWidthStep (ReportType text, ColHeader text, ColX integer, "
                                    "OldWidth integer, NewWidth integer);\n"
                                    "create temp table KvPaperStep (ReportType text, bHPaper text, PaperSize integer, "
                                    "PaperLength integer, PaperWidth integer, LeftOffset integer, "
                                    "RightOffset integer, TopOffset integer, BottomOffset integer);\n");
    for (const LayoutWidths& layout : LayoutsWidenedIn8()) {
        const LayoutPaper& paper = layout.paper;
        script += KvFormatSql(
            QStringLiteral("insert into KvPaperStep values ('%s', '%s', %d, %d, %d, %d, %d, %d, %d);\n"),
            layout.reportType, paper.landscape, paper.size, paper.length, paper.width, paper.left, paper.right,
            paper.top, paper.bottom);
        for (int x = 0; x < static_cast<int>(layout.columns.size()); ++x) {
            const ColumnWidths& column = layout.columns[x];
            script += KvFormatSql(QStringLiteral("insert into KvWidthStep values ('%s', '%s', %d, %d, %d);\n"),
                                  layout.reportType, column.heading, x, column.before, column.now);
        }
    }
    script += QString::fromUtf8(kWidenUntouchedLayouts);
    script += QStringLiteral("drop table KvPaperStep;\ndrop table KvWidthStep;\n");
    db.ExecuteScript(script, QString());
}

// Version 1 is the first kept version. A file made before versions were kept
// already holds its tables (ManualFee is the helper library's own step), so the
// step only records the number.
// Numbers need not follow each other: a file runs every step above its version.
const VersionStep kVersionSteps[] = {
    {1, ""},
    {2, "", nullptr, RebuildManualFeeWithoutCase},
    // Receipt layout 1, which the receipts are printed from.
    {3, "", "seed_receipt"},
    // The meter types a fresh installation ships with.
    {4, "", "seed_meter_types"},
    // The stored report layouts, one per report type, and ReportIndex above their keys.
    {5, "", "seed_reports"},
    // The sale queries reach a meter's sales and a user's building by these.
    {6, "create index if not exists WrtRecordMeterRow on WrtRecord(CliPreIndex);"
        "create index if not exists BuildingNumber on Building(BuildingNo);"},
    {7, "", nullptr, ReplaceUntouchedReceiptLayout},
    {8, "", nullptr, WidenUntouchedLayouts},
};

// The steps that concern the tables of a counter's local file in the network
// edition (its SysPara row and the receipt layout); the others are the server's.
const VersionStep kLocalVersionSteps[] = {
    {7, "", nullptr, ReplaceUntouchedReceiptLayout},
};

// The steps of the network edition's server: those of the main tables. The
// rebuild of ManualFee (2) concerns the file only (the server's text columns
// always compared without regard to case) and the receipt layout (3, 7) lives
// in each counter's file. Every statement here runs on both engines.
const VersionStep kServerVersionSteps[] = {
    {4, "", "seed_meter_types"},
    {5, "", "seed_reports"},
    {6, "create index if not exists WrtRecordMeterRow on WrtRecord(CliPreIndex);"
        "create index if not exists BuildingNumber on Building(BuildingNo);"},
    {8, "", nullptr, WidenUntouchedLayouts},
};

// The schema's own CREATE statements (tables and their indexes) of the tables a
// seed writes into, made to leave what a file already holds: a seed added in a
// later version then also fills a file that lacks one of its tables. On the
// server they are translated as its installation translates them.
QString CreateSeedTablesScript(const QString& seed, bool server)
{
    QSet<QString> tables;
    static const QRegularExpression insertInto(QStringLiteral("(?:insert\\s+into|update)\\s+(\\w+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (auto it = insertInto.globalMatch(seed); it.hasNext();)
        tables.insert(it.next().captured(1).toLower());
    static const QRegularExpression createOf(
        QStringLiteral("^\\s*create\\s+(table|index)\\s+(\\w+)(?:\\s+on\\s+(\\w+))?"),
        QRegularExpression::CaseInsensitiveOption);
    // The schema holds CREATE statements and comments only.
    static const QRegularExpression comment(QStringLiteral("--[^\\n]*"));
    QString schema = QString::fromUtf8(KvSchemaSqlText());
    schema.remove(comment);
    QString script;
    const QStringList statements = schema.split(u';', Qt::SkipEmptyParts);
    for (const QString& statement : statements) {
        const QString code = statement.trimmed();
        const QRegularExpressionMatch m = createOf.match(code);
        if (!m.hasMatch())
            continue;
        const bool isTable = m.captured(1).compare(QStringLiteral("table"), Qt::CaseInsensitive) == 0;
        const QString table = (isTable ? m.captured(2) : m.captured(3)).toLower();
        if (!tables.contains(table))
            continue;
        QString guarded = code;
        guarded.insert(m.capturedEnd(1), QStringLiteral(" if not exists"));
        script += (server ? ServerCreateStatement(guarded) : guarded) + QStringLiteral(";\n");
    }
    return script;
}

// The statements of a step that apply to the file: an index is only added to
// a table the file holds (a file without the table gets it, with its indexes,
// from the schema when the table is first needed).
QString StepStatementsFor(CAdoConnection& db, const QString& sql)
{
    static const QRegularExpression indexOn(QStringLiteral("^create\\s+index\\s+.*?\\bon\\s+(\\w+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString script;
    const QStringList statements = sql.split(u';', Qt::SkipEmptyParts);
    for (const QString& statement : statements) {
        const QString code = statement.trimmed();
        if (code.isEmpty())
            continue;
        const QRegularExpressionMatch m = indexOn.match(code);
        if (m.hasMatch() && !DatabaseHasTable(db, m.captured(1)))
            continue;
        script += code + QStringLiteral(";\n");
    }
    return script;
}

// Records the version of an open database: the file's header, or the
// server's KvSchemaVersion row (made here for a server installed before it
// kept one).
void RecordSchemaVersion(CAdoConnection& db, int version)
{
    if (db.GetServerFlag() == 1) {
        db.ExecuteScript(QStringLiteral("create table if not exists KvSchemaVersion (Version integer);\n"
                                        "delete from KvSchemaVersion;\n"
                                        "insert into KvSchemaVersion values (%1);\n")
                             .arg(version),
                         QString());
        return;
    }
    db.Execute(KvFormatSql(QStringLiteral("PRAGMA user_version = %d"), version), QString());
}

// Runs the steps above `version` and records CurrentSchemaVersion(), all in one
// transaction (all or nothing).
int RunVersionSteps(CAdoConnection& db, int version, std::span<const VersionStep> steps)
{
    CAdoTransaction transaction(db);
    for (const VersionStep& step : steps) {
        if (step.version <= version)
            continue;
        const QString sql = StepStatementsFor(db, QString::fromUtf8(step.sql));
        if (!sql.isEmpty())
            db.ExecuteScript(sql, QString());
        if (step.run)
            step.run(db);
        if (step.seed) {
            const QString seed = QString::fromUtf8(KvSeedSqlText(step.seed));
            const QString tables = CreateSeedTablesScript(seed, db.GetServerFlag() == 1);
            if (!tables.isEmpty())
                db.ExecuteScript(tables, QString());
            db.ExecuteScript(seed, QString());
        }
    }
    RecordSchemaVersion(db, CurrentSchemaVersion());
    transaction.Commit();
    return CurrentSchemaVersion();
}

} // namespace

int CurrentSchemaVersion()
{
    return kVersionSteps[std::size(kVersionSteps) - 1].version;
}

// The newest version whose step concerns the server: a step that only
// changes a counter's own file (the receipt layout) leaves a server of the
// version before it as good as one installed at the newest.
int ServerSchemaVersion()
{
    return kServerVersionSteps[std::size(kServerVersionSteps) - 1].version;
}

QString ServerVersionProblem(CAdoConnection& server)
{
    const int version = ReadSchemaVersion(server);
    if (version > CurrentSchemaVersion())
        return QStringLiteral("业务数据库服务器上的数据库版本(%1)高于本程序的版本(%2)，本软件不能启动！\n\n"
                              "请使用与服务器数据库版本相同的程序。")
            .arg(version)
            .arg(CurrentSchemaVersion());
    if (version >= ServerSchemaVersion())
        return QString();
    return QStringLiteral("业务数据库服务器上的数据库版本(%1)低于本程序的版本(%2)，本软件不能启动！\n\n"
                          "请使用与服务器数据库版本相同的程序，或请管理员按说明升级服务器数据库。")
        .arg(version)
        .arg(ServerSchemaVersion());
}

QString ManualFeeCreateStatement()
{
    // Concatenated piece by piece, nothing added between the pieces.
    // Text columns compare without regard to case, as the rest of the schema's do.
    return QStringLiteral("create table ManualFee (") + QStringLiteral("ManualIndex int primary key, ") +
           QStringLiteral("MeterNo Varchar(20) collate nocase, ") + QStringLiteral("WrtNum int, ") +
           QStringLiteral("WrtIndex int, ") + QStringLiteral("ClientName Varchar(100) collate nocase, ") +
           QStringLiteral("Department Varchar(20) collate nocase, ") +
           QStringLiteral("ClientNo Varchar(20) collate nocase, ") +
           QStringLiteral("YearMonth Varchar(20) collate nocase, ") + QStringLiteral("SubRead float, ") +
           QStringLiteral("ElecRead float, ") + QStringLiteral("SubFee float, ") + QStringLiteral("ElecFee float, ") +
           QStringLiteral("TenementArea float, ") + QStringLiteral("Fee float, ") + QStringLiteral("TotalFee float, ") +
           QStringLiteral("TeneFee float, ") + QStringLiteral("State Varchar(20) collate nocase, ") +
           QStringLiteral("WrtTime DateTime, ") + QStringLiteral("OperatorName Varchar(20) collate nocase)");
}

QString FreshDatabaseScript(const QDateTime& now)
{
    if (!now.isValid())
        throw CKvException(QStringLiteral("the creation time of the database is not valid"));
    const QDate today = now.date();
    QString script = QString::fromUtf8(KvSchemaSqlText());
    script += QStringLiteral("\n");
    script += QString::fromUtf8(KvSeedSqlText());
    script += QStringLiteral("\n");
    // The values a fresh installation takes from the clock: the quota month is
    // the current month, the last backup is today at midnight.
    script += KvFormatSql(QStringLiteral("update SysPara set FixYearMon = %d, LastBackDate = CDate('%s');\n"),
                          today.year() * 100 + today.month(), KvDateText(today));
    script += KvFormatSql(QStringLiteral("PRAGMA user_version = %d;\n"), CurrentSchemaVersion());
    return script;
}

void CreateFreshDatabase(const QString& path, const QDateTime& now)
{
    // The script is complete before the file is touched; createFile refuses an
    // existing file and removes its own file again when the script fails.
    CSqliteEngine::createFile(path, FreshDatabaseScript(now));
}

int ReadSchemaVersion(CAdoConnection& db)
{
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    if (db.GetServerFlag() == 1) {
        if (!DatabaseHasTable(db, QStringLiteral("KvSchemaVersion")))
            return 0;
        rs->Open(QStringLiteral("select max(Version) as Version from KvSchemaVersion"));
        return rs->IsEOF() || rs->IsFieldNull(QStringLiteral("Version")) ? 0
                                                                         : rs->GetFieldInt(QStringLiteral("Version"));
    }
    rs->Open(QStringLiteral("PRAGMA user_version"));
    if (rs->IsEOF())
        return 0;
    return rs->GetFieldInt(QStringLiteral("user_version"));
}

int UpdateSchemaVersion(CAdoConnection& db)
{
    const int version = ReadSchemaVersion(db);
    const int current = CurrentSchemaVersion();
    if (version >= current)
        return version;
    if (db.GetServerFlag() == 1) {
        UpgradeServerDatabase(db);
        return ReadSchemaVersion(db);
    }
    return RunVersionSteps(db, version, kVersionSteps);
}

bool UpgradeServerDatabase(CAdoConnection& server)
{
    // Read first without the lock: a server that is up to date (every start
    // but the first of a new version) costs no lock.
    if (!IsServerInstalled(server) || ReadSchemaVersion(server) >= ServerSchemaVersion())
        return false;
    CAdoTransaction transaction(server);
    // Another counter of the new version starting at the same moment waits
    // here, then finds the server brought up.
    LockServerInstallation(server);
    const int version = ReadSchemaVersion(server);
    if (version >= ServerSchemaVersion()) {
        transaction.Commit();
        return false;
    }
    RunVersionSteps(server, version, kServerVersionSteps);
    transaction.Commit();
    return true;
}

int UpdateLocalNetworkSchemaVersion(CAdoConnection& local)
{
    const int version = ReadSchemaVersion(local);
    if (version >= CurrentSchemaVersion() || local.GetServerFlag() == 1)
        return version;
    return RunVersionSteps(local, version, kLocalVersionSteps);
}
