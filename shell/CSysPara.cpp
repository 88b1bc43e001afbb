#include "CSysPara.h"

#include "CAdoCommand.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvMessage.h"
#include "KvProfile.h"
#include "KvSchema.h"
#include "KvSql.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QStringList>

namespace {

const QString kSetupSection = QStringLiteral("SystemSetup");

// Shows the one failure box of a parameter read and passes the failure on.
[[noreturn]] void readFailed()
{
    PromptBox(QStringLiteral("获取系统参数时发生错误！"), nullptr, MB_OK | MB_ICONINFORMATION);
    throw;
}

// The common body of the typed reads: opens the column of the one row and
// hands the recordset to `read`; a failure shows the one box and is passed on.
template <typename Read> auto readColumn(CAdoConnection* db, const QString& column, Read read)
{
    if (!db)
        throw CKvException(QStringLiteral("获取系统参数时发生错误！"));
    CAdoLease<CAdoRecordset> rs(db->AcquireRecordset());
    try {
        rs->Open(KvFormatSql("select %s from SysPara", column));
        return read(*rs);
    } catch (...) {
        readFailed();
    }
}

// The connection a write goes through; an object never bound has none.
CAdoConnection& writeDatabase(CAdoConnection* db)
{
    if (!db)
        throw CKvException(QStringLiteral("执行Sql语句时发生错误！"));
    return *db;
}

} // namespace

CSysPara::CSysPara() = default;

QString CSysPara::GetAppDir() const
{
    return GetAppDirectory();
}

int CSysPara::GetIntPara(const QString& column, int increment)
{
    if (increment == 0)
        return readColumn(m_db, column, [&](const CAdoRecordset& rs) { return rs.GetFieldInt(column); });
    // The counter goes up and its new value comes back in one statement: a
    // read followed by a write lets two counters drawing at the same moment
    // read the same value, and both would use the same key. The key is the
    // value before the increment.
    if (!m_db)
        throw CKvException(QStringLiteral("获取系统参数时发生错误！"));
    try {
        // Receipt numbers run without gaps: a receipt's number is drawn in
        // the short transaction that stores it and goes back with it. Every
        // other key is drawn on its own (see DrawCounter).
        const bool receiptNumber = column.compare(QStringLiteral("InvoiceNo"), Qt::CaseInsensitive) == 0;
        return m_db->DrawCounter(column, receiptNumber) - 1;
    } catch (...) {
        readFailed();
    }
}

QString CSysPara::GetStringPara(const QString& column)
{
    return readColumn(m_db, column, [&](const CAdoRecordset& rs) { return rs.GetFieldString(column); });
}

double CSysPara::GetFloatPara(const QString& column)
{
    return readColumn(m_db, column, [&](const CAdoRecordset& rs) { return rs.GetFieldDouble(column); });
}

QDateTime CSysPara::GetDatePara(const QString& column)
{
    return readColumn(m_db, column, [&](const CAdoRecordset& rs) { return rs.GetFieldDateTime(column); });
}

void CSysPara::SetIntPara(const QString& column, int value)
{
    writeDatabase(m_db).Execute(KvFormatSql("update SysPara set %s = %d", column, value), QString());
}

void CSysPara::SetStringPara(const QString& column, const QString& value)
{
    writeDatabase(m_db).Execute(KvFormatSql("update SysPara set %s = '%s'", column, value), QString());
}

void CSysPara::SetFloatPara(const QString& column, double value)
{
    writeDatabase(m_db).Execute(KvFormatSql("update SysPara set %s = %f", column, value), QString());
}

void CSysPara::SetDatePara(const QString& column, const QDateTime& value)
{
    writeDatabase(m_db).Execute(KvFormatSql("update SysPara set %s = CDate('%s')", column, KvDateText(value)),
                                QString());
}

// The text parameters. A cached getter reads its column only while its field
// is empty (an empty text counts as not loaded); the others read it every
// time. Every setter keeps the value in its field and writes the column.
#define KV_TEXT_PARA(getter, setter, member, column, cached)                                                           \
    QString CSysPara::getter()                                                                                         \
    {                                                                                                                  \
        if (!(cached) || member.isEmpty())                                                                             \
            member = GetStringPara(QStringLiteral(column));                                                            \
        return member;                                                                                                 \
    }                                                                                                                  \
    void CSysPara::setter(const QString& value)                                                                        \
    {                                                                                                                  \
        member = value;                                                                                                \
        SetStringPara(QStringLiteral(column), value);                                                                  \
    }

KV_TEXT_PARA(GetBuyUnit, SetBuyUnit, m_buyUnit, "BuyUnit", true)
KV_TEXT_PARA(GetInvoiceNoMode, SetInvoiceNoMode, m_invoiceNoMode, "InvoiceNoMode", true)
KV_TEXT_PARA(GetClientName, SetClientName, m_clientName, "ClientName", true)
KV_TEXT_PARA(GetPayMode, SetPayMode, m_payMode, "PayMode", true)
KV_TEXT_PARA(GetPayModeFlag, SetPayModeFlag, m_bPayMode, "bPayMode", true)
KV_TEXT_PARA(GetChangeFlag, SetChangeFlag, m_bChange, "bChange", true)
KV_TEXT_PARA(GetPrintFlag, SetPrintFlag, m_bPrint, "bPrint", true)
KV_TEXT_PARA(GetProgFlag, SetProgFlag, m_bProg, "bProg", true)
KV_TEXT_PARA(GetCompWrtFlag, SetCompWrtFlag, m_bCompWrt, "bCompWrt", true)
KV_TEXT_PARA(GetLineLossFlag, SetLineLossFlag, m_bLW, "bLW", false)
KV_TEXT_PARA(GetTransLossFlag, SetTransLossFlag, m_bTW, "bTW", false)
KV_TEXT_PARA(GetAutoSetFixFlag, SetAutoSetFixFlag, m_bAutoSetFix, "bAutoSetFix", false)
#undef KV_TEXT_PARA

int CSysPara::GetInvoiceNum()
{
    if (m_invoiceNum == -1)
        m_invoiceNum = GetIntPara(QStringLiteral("InvoiceNum"), 0);
    return m_invoiceNum;
}

void CSysPara::SetInvoiceNum(int value)
{
    m_invoiceNum = value;
    SetIntPara(QStringLiteral("InvoiceNum"), value);
}

double CSysPara::GetCompRateWater()
{
    m_compRateWater = GetFloatPara(QStringLiteral("CompRateWater"));
    return m_compRateWater;
}

void CSysPara::SetCompRateWater(double value)
{
    m_compRateWater = value;
    SetFloatPara(QStringLiteral("CompRateWater"), value);
}

double CSysPara::GetLWaste()
{
    m_lWaste = GetFloatPara(QStringLiteral("LWaste"));
    return m_lWaste;
}

void CSysPara::SetLWaste(double value)
{
    m_lWaste = value;
    SetFloatPara(QStringLiteral("LWaste"), value);
}

QDateTime CSysPara::GetLastBackDate()
{
    m_lastBackDate = GetDatePara(QStringLiteral("LastBackDate"));
    return m_lastBackDate;
}

void CSysPara::SetLastBackDate(const QDateTime& value)
{
    m_lastBackDate = value;
    SetDatePara(QStringLiteral("LastBackDate"), value);
}

int CSysPara::GetMemNum()
{
    m_memNum = GetIntPara(QStringLiteral("MemNum"), 0);
    return m_memNum;
}

void CSysPara::SetMemNum(int value)
{
    m_memNum = value;
    SetIntPara(QStringLiteral("MemNum"), value);
}

QString CSysPara::GetRemoteFlag()
{
    m_bRemote = GetAppProfileString(kSetupSection, QStringLiteral("bRemote"), QStringLiteral("否"));
    return m_bRemote;
}

void CSysPara::SetRemoteFlag(const QString& value)
{
    m_bRemote = value;
    WriteAppProfileString(kSetupSection, QStringLiteral("bRemote"), value);
}

QString CSysPara::GetTellFlag()
{
    m_bTell = GetAppProfileString(kSetupSection, QStringLiteral("bTell"), QStringLiteral("否"));
    return m_bTell;
}

void CSysPara::SetTellFlag(const QString& value)
{
    m_bTell = value;
    WriteAppProfileString(kSetupSection, QStringLiteral("bTell"), value);
}

void CSysPara::ForgetCache()
{
    CSysPara fresh;
    fresh.m_db = m_db;
    fresh.m_machineCode = m_machineCode;
    *this = fresh;
}

namespace {

// The tables a fresh installation holds empty, in the order they are emptied.
// Meter types, the report and receipt layouts and SysPara itself stay. ManualFee
// belongs to the users being deleted, and its key counter (WrtIndex) restarts.
const char* const kEmptiedTables[] = {
    "Block",    "Building",     "CliBalance",  "Client",    "ClientPay",  "CliFix",    "CliMan",
    "CliPre",   "CliSub",       "Department",  "FixFee",    "ManRead",    "ManItem",   "ManualFee",
    "Operator", "Permission",   "OtherFee",    "OtherItem", "PreLastWrt", "PrePrice",  "Price",
    "PriceVer", "RankPrice",    "Station",     "SubRaw",    "ProgRead",   "SubRead",   "HandRead",
    "HandRaw",  "HandReadBase", "HandReadRaw", "WrtPrice",  "WrtRecord",  "PriceType",
};

// The rows put back after their table was emptied, keyed by that table.
QStringList rowsAfterEmptying(const QString& table)
{
    if (table == QLatin1String("Block"))
        return {QStringLiteral("insert into Block(BlockNo, BlockName) values('00', '')")};
    if (table == QLatin1String("Building"))
        return {QStringLiteral("insert into Building(BlockNo, BuildingNo, BuildingName) values('00', '00', '')")};
    if (table == QLatin1String("Department"))
        return {QStringLiteral("insert into Department(DepartmentNo, DepartmentName) values('00', '')")};
    if (table == QLatin1String("Operator"))
        return {QStringLiteral("insert into Operator(OperatorNo, OperatorName, OperatorPw, StationNo) "
                               "values('qz', 'qz', '', '01')")};
    if (table == QLatin1String("Permission")) {
        QStringList rows;
        for (int id : {401, 501, 503, 504, 505, 506, 507, 511, 512, 513, 514, 515, 516, 517, 518})
            rows << QStringLiteral("insert into Permission(OperatorNo, MenuId) values('qz', %1)").arg(id);
        return rows;
    }
    return {};
}

} // namespace

void CSysPara::InitializeSystem()
{
    CAdoConnection& db = writeDatabase(m_db);
    try {
        const QDate today = GetServerDate().date();
        CAdoLease<CAdoCommand> command(db.AcquireCommand());
        CAdoTransaction transaction(db);
        // The network edition's local file holds only the counter's own
        // tables; the others are emptied on the server.
        const bool localFileOfNetwork = GetEdition() == QStringLiteral("网络版") && &db == GetLocalDatabase();
        for (const char* table : kEmptiedTables) {
            const QString name = QString::fromLatin1(table);
            if (localFileOfNetwork && !IsLocalTable(name))
                continue;
            command->Execute(KvFormatSql(QStringLiteral("delete from %s"), name));
            for (const QString& row : rowsAfterEmptying(name))
                command->Execute(row);
        }
        const QString update = KvFormatSql(
            QStringLiteral(
                "update SysPara set ClientIndex = 1, CliPreIndex = 1, CliFixIndex = 1, CliSubIndex = 1, "
                "CliManIndex = 1, WrtIndex = 1, FixFeeIndex = 1, OhterFeeIndex = 1, SubReadIndex = 1, "
                "HandReadIndex = 1, ManReadIndex = 1, PrePriceIndex = 1, WrtPriceIndex = 1, PriceIndex = 1, "
                "PayIndex = 1, StationNo = 1, ClientName = 'XXX', ServerName = 'Qrserver', CardBoxCom = 0, "
                "BravikCom = 0, BuyUnit = '度', InvoiceNoMode = '自动', PayMode = '现金', bPayMode = '否', "
                "bProg = '否', bLW = '否', bTW = '否', CompRateWater = 0, bChange = '否', bPrint = '是', "
                "InvoiceNo = 1, InvoiceNum = 1, UseNum = 0, LWaste = 0, CardType = '红外遥控卡', bCompWrt = '否', "
                "FixYearMon = %d, LastClientNo = '0', MemNum = 0, bAutoSetFix = '否', "
                "LastBackDate = CDate('%s')"),
            today.year() * 100 + today.month(), today.toString(QStringLiteral("yyyy-MM-dd")));
        if (command->Execute(update) != 1)
            throw CKvException(QStringLiteral("系统初始化时发生数据库错误！"));
        transaction.Commit();
    } catch (...) {
        PromptBox(QStringLiteral("系统初始化时发生数据库错误！"), nullptr, MB_OK | MB_ICONINFORMATION);
        throw;
    }
    ForgetCache();
}
