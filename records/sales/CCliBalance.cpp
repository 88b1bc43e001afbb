#include "CCliBalance.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CClientPay.h"
#include "CKvException.h"
#include "KvSalesRows.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <memory>

void CCliBalance::SetFromClientPay(const CClientPay& pay)
{
    m_PayIndex = pay.GetPayIndex();
    m_WrtNum = pay.GetWrtNum();
    m_TotFee = pay.GetTotFee();
    m_RealPay = pay.GetRealPay();
    m_PayMode = pay.GetPayMode();
    m_ThisBalance = pay.GetThisBalance();
    m_LastBalance = pay.GetLastBalance();
    m_InvoiceNo = pay.GetInvoiceNo();
    InsertUnlessUpdated(*this, m_ClientNo, updateRow());
}

void CCliBalance::SetInvoiceNoOf(const CClientPay& pay)
{
    m_InvoiceNo = pay.GetInvoiceNo();
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("update CliBalance set InvoiceNo = '%s' "
                                                          "where ClientNo = '%s' and PayIndex = %d"),
                                           m_InvoiceNo, m_ClientNo, pay.GetPayIndex()),
                               QStringLiteral("向数据库更新用户余额时发生错误!"));
}

bool CCliBalance::SameBalanceAs(const CCliBalance& other) const
{
    // Compared as the row stores them ("%f"): a balance computed here and one
    // read back from the row differ below that.
    return m_PayIndex == other.m_PayIndex &&
           QString::asprintf("%f", m_ThisBalance) == QString::asprintf("%f", other.m_ThisBalance);
}

void CCliBalance::InsertNew()
{
    if (m_ClientNo.isEmpty())
        throw CKvException(QStringLiteral("向数据库增加用户余额发生错误！"));
    Insert();
}

void CCliBalance::Insert()
{
    GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("insert into CliBalance(ClientNo, PayIndex, WrtNum, TotFee, RealPay, "
                                   "\t\tPayMode, ThisBalance, LastBalance, InvoiceNo) "
                                   "\t\tvalues('%s', %d, %d, %f, %f, '%s', %f, %f, '%s')"),
                    m_ClientNo, m_PayIndex, m_WrtNum, m_TotFee, m_RealPay, m_PayMode, m_ThisBalance, m_LastBalance,
                    m_InvoiceNo),
        QStringLiteral("向数据库增加用户余额时发生错误！"));
    SetState(StateStored);
}

void CCliBalance::Delete()
{
    GetMainDatabase()->Execute(KvFormatSql(QStringLiteral("delete from CliBalance where ClientNo = '%s'"), m_ClientNo),
                               QStringLiteral("从数据库删除用户余额时发生错误！"));
}

int CCliBalance::updateRow()
{
    return GetMainDatabase()->Execute(
        KvFormatSql(QStringLiteral("update CliBalance set PayIndex = %d, WrtNum = %d, TotFee = %f, RealPay = %f, "
                                   "\t\tPayMode = '%s', ThisBalance = %f, LastBalance = %f, InvoiceNo = '%s' "
                                   "where ClientNo = '%s'"),
                    m_PayIndex, m_WrtNum, m_TotFee, m_RealPay, m_PayMode, m_ThisBalance, m_LastBalance, m_InvoiceNo,
                    m_ClientNo),
        QStringLiteral("向数据库更新用户余额时发生错误!"));
}

void CCliBalance::Update()
{
    updateRow();
    SetState(StateStored);
}

QList<CKvObject*>& CCliBalanceList::Load(const QString& sql)
{
    return LoadRows(*GetMainDatabase(), sql, [](const CAdoRecordset& rs) {
        auto balance = std::make_unique<CCliBalance>();
        balance->SetClientNo(rs.GetFieldString(QStringLiteral("ClientNo")));
        balance->SetPayIndex(rs.GetFieldInt(QStringLiteral("PayIndex")));
        balance->SetWrtNum(rs.GetFieldInt(QStringLiteral("WrtNum")));
        balance->SetPayMode(rs.GetFieldString(QStringLiteral("PayMode")));
        balance->SetTotFee(rs.GetFieldDouble(QStringLiteral("TotFee")));
        balance->SetRealPay(rs.GetFieldDouble(QStringLiteral("RealPay")));
        balance->SetThisBalance(rs.GetFieldDouble(QStringLiteral("ThisBalance")));
        balance->SetLastBalance(rs.GetFieldDouble(QStringLiteral("LastBalance")));
        balance->SetInvoiceNo(rs.GetFieldString(QStringLiteral("InvoiceNo")));
        return balance.release();
    });
}

CCliBalance* CCliBalanceList::LoadByClientNo(const QString& clientNo)
{
    Load(KvFormatSql(QStringLiteral("select * from CliBalance where ClientNo = '%s'"), clientNo));
    return static_cast<CCliBalance*>(GetHead());
}

bool CCliBalanceList::LoadHeld(const QString& clientNo, CCliBalance& row)
{
    CAdoConnection& db = *GetMainDatabase();
    if (db.GetTransDepth() == 0)
        throw CKvException(QStringLiteral("读取用户余额时发生错误！"));
    QString sql = KvFormatSql(QStringLiteral("select * from CliBalance where ClientNo = '%s'"), clientNo);
    if (db.GetServerFlag() != 0)
        sql += QStringLiteral(" for update");
    CCliBalanceList list;
    try {
        list.Load(sql);
    } catch (const CKvException& e) {
        // The row is read to be updated: a failure here is the update's.
        throw CKvException(db.FailureText(QStringLiteral("向数据库更新用户余额时发生错误!"), e.text()));
    }
    const auto* found = static_cast<const CCliBalance*>(list.GetHead());
    if (!found)
        return false;
    row = *found;
    row.SetState(CKvPersistance::StateStored);
    return true;
}

void CCliBalanceList::DeleteByClientNo(const QString& clientNo)
{
    CCliBalance balance;
    balance.SetClientNo(clientNo);
    balance.Delete();
}
