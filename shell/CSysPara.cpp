#include "CSysPara.h"

#include "CAdoCommand.h"
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvMessage.h"
#include "KvProfile.h"
#include "KvSql.h"
#include "KvUtil.h"

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
    return readColumn(m_db, column, [&](const CAdoRecordset& rs) {
        const int value = rs.GetFieldInt(column);
        if (increment != 0) {
            CAdoLease<CAdoCommand> cmd(m_db->AcquireCommand());
            cmd->Execute(KvFormatSql("update SysPara set %s = %d", column, value + 1));
        }
        return value;
    });
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
