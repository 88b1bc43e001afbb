#include "COperator.h"

#include "CAdoCommand.h"
#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvPassword.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <algorithm>

void COperator::SetOperatorPw(const QString& password)
{
    m_operatorPw = password;
    m_pwTyped = true;
}

void COperator::SetStoredPw(const QString& stored)
{
    m_operatorPw = stored;
    m_pwTyped = false;
}

bool COperator::HasRight(int id) const
{
    return m_rights.contains(id);
}

void COperator::GetRights(int* buffer, int& count) const
{
    // A table with duplicate Permission rows must not overrun the caller's buffer.
    count = std::min(static_cast<int>(m_rights.size()), MaxRights);
    std::copy_n(m_rights.cbegin(), count, buffer);
}

void COperator::SetRights(const int* ids, int count)
{
    m_rights.clear();
    if (count > 0)
        m_rights = QVector<int>(ids, ids + count);
}

QString COperator::passwordToStore() const
{
    // A typed password is at most 8 bytes, so a value that is already a hash
    // came from the table (copied over by a caller) and must not be hashed again.
    if (!m_pwTyped || KvIsPasswordHash(m_operatorPw))
        return m_operatorPw;
    return KvHashPassword(m_operatorPw);
}

void COperator::writePermissions(CAdoCommand& command) const
{
    for (int id : m_rights)
        command.Execute(KvFormatSql(QStringLiteral("insert into Permission(OperatorNo, MenuId) values('%s', %d)"),
                                    m_operatorNo, id));
}

void COperator::Insert()
{
    CAdoConnection& db = *GetMainDatabase();
    try {
        // Hash before the transaction: the slow step holds no lock.
        const QString password = passwordToStore();
        CAdoLease<CAdoCommand> command(db.AcquireCommand());
        CAdoTransaction transaction(db);
        command->Execute(
            KvFormatSql(QStringLiteral("insert into Operator(OperatorNo, OperatorName, OperatorPw, StationNo) "
                                       "values('%s', '%s', '%s', '%s')"),
                        m_operatorNo, m_operatorName, password, m_stationNo));
        writePermissions(*command);
        transaction.Commit();
    } catch (const CKvException&) {
        throw CKvException(QStringLiteral("向数据库增加操作员时发生错误！"));
    }
    SetState(StateStored);
}

void COperator::Update()
{
    CAdoConnection& db = *GetMainDatabase();
    try {
        const QString password = passwordToStore();
        CAdoLease<CAdoCommand> command(db.AcquireCommand());
        CAdoTransaction transaction(db);
        // An operator whose row is gone is a failure, and no Permission rows
        // may be written for it: the transaction is rolled back.
        if (command->Execute(KvFormatSql(QStringLiteral("update Operator set OperatorName = '%s', StationNo = '%s', "
                                                        "OperatorPw = '%s' where OperatorNo = '%s'"),
                                         m_operatorName, m_stationNo, password, m_operatorNo)) == 0)
            throw CKvException(QString());
        command->Execute(KvFormatSql(QStringLiteral("delete from Permission where OperatorNo = '%s'"), m_operatorNo));
        writePermissions(*command);
        transaction.Commit();
    } catch (const CKvException&) {
        throw CKvException(QStringLiteral("修改密码失败！"));
    }
    SetState(StateStored);
}

void COperator::Delete()
{
    CAdoConnection& db = *GetMainDatabase();
    CAdoLease<CAdoCommand> command(db.AcquireCommand());
    CAdoTransaction transaction(db);
    command->Execute(KvFormatSql(QStringLiteral("delete from Permission where OperatorNo = '%s'"), m_operatorNo));
    command->Execute(KvFormatSql(QStringLiteral("delete from Operator where OperatorNo = '%s'"), m_operatorNo));
    transaction.Commit();
}
