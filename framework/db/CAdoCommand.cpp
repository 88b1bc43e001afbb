#include "CAdoCommand.h"

#include "CAdoConnection.h"

int CAdoCommand::Execute(QString& sql)
{
    m_owner->ConvertSql(sql);
    return m_owner->RunStatement(sql);
}

int CAdoCommand::Execute(const QString& sql)
{
    QString copy = sql;
    return Execute(copy);
}
