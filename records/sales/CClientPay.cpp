#include "CClientPay.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "CSysPara.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CClientPay::InsertNew()
{
    if (m_WrtIndex == -1)
        throw CKvException(QStringLiteral("向数据库增加用户支付时发生错误！"));
    m_PayIndex = GetMainSysPara()->GetIntPara(QStringLiteral("PayIndex"), 1) + 100000000;
    Insert();
}

void CClientPay::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into ClientPay(PayIndex, WrtIndex, WrtNum, TotFee, RealPay, "
                                   "\t\tPayMode, ThisBalance, LastBalance, InvoiceNo, State) "
                                   "\t\tvalues(%d, %d, %d, %f, %f, '%s', %f, %f, '%s', '%s')"),
                    m_PayIndex, m_WrtIndex, m_WrtNum, m_TotFee, m_RealPay, m_PayMode, m_ThisBalance, m_LastBalance,
                    m_InvoiceNo, m_State),
        QStringLiteral("向数据库增加用户支付时发生错误！"));
    SetState(StateStored);
}

void CClientPay::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from ClientPay where PayIndex = %d"), m_PayIndex),
                               QStringLiteral("从数据库删除用户支付时发生错误！"));
}

void CClientPay::Update()
{
    const QString failed = QStringLiteral("向数据库更新用户余额时发生错误");
    // No row changed is a failure: the receipt numbering relies on this row.
    const int changed = GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update ClientPay set WrtIndex = %d, WrtNum = %d, \t\tTotFee = %f, RealPay = %f, "
                                   "\t\tPayMode = '%s', ThisBalance = %f, LastBalance = %f, InvoiceNo = '%s', "
                                   "\t\tState = '%s' where PayIndex = %d"),
                    m_WrtIndex, m_WrtNum, m_TotFee, m_RealPay, m_PayMode, m_ThisBalance, m_LastBalance, m_InvoiceNo,
                    m_State, m_PayIndex),
        failed);
    if (changed == 0)
        throw CKvException(failed);
    SetState(StateStored);
}

QList<CKvObject*>& CClientPayList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto pay = std::make_unique<CClientPay>();
        pay->SetPayIndex(rs.GetFieldInt(QStringLiteral("PayIndex")));
        pay->SetWrtIndex(rs.GetFieldInt(QStringLiteral("WrtIndex")));
        pay->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        pay->SetTotFee(rs.GetFieldDouble(QStringLiteral("TotFee")));
        pay->SetRealPay(rs.GetFieldDouble(QStringLiteral("RealPay")));
        pay->SetPayMode(rs.GetFieldString(QStringLiteral("PayMode")));
        pay->SetThisBalance(rs.GetFieldDouble(QStringLiteral("ThisBalance")));
        pay->SetLastBalance(rs.GetFieldDouble(QStringLiteral("LastBalance")));
        pay->SetInvoiceNo(rs.GetFieldString(QStringLiteral("InvoiceNo")));
        pay->SetState(rs.GetFieldString(QStringLiteral("State")));
        return pay.release();
    });
}

CClientPay* CClientPayList::LoadByWrtIndex(int wrtIndex)
{
    Load(KvFormatSql(QStringLiteral("select * from ClientPay where WrtIndex = %d"), wrtIndex));
    return static_cast<CClientPay*>(GetHead());
}

void CClientPayList::DeleteByWrtIndex(int wrtIndex)
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from ClientPay where WrtIndex = %d"), wrtIndex),
                               QString());
}

void CClientPayList::DeleteByClientMeter(const QString& clientNo, const QString& meterNo)
{
    GetMainDatabase()->Execute(
        KvFormatSql(
            QStringLiteral("delete from ClientPay where WrtIndex in (select a.WrtIndex from WrtRecord a, CliPre b "
                           "where a.CliPreIndex = b.CliPreIndex and b.ClientNo = '%s' and b.MeterNo = '%s')"),
            clientNo, meterNo),
        QString());
}
