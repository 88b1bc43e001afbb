#include "KvExchangeTable.h"

#include "CAdoConnection.h"
#include "CDbfEngine.h"
#include "CDbfTable.h"
#include "CSysPara.h"
#include "SysGlobals.h"

#include <QFile>

QString ExchangeTablePath(const QString& table)
{
    return CDbfTable::PathOf(GetMainSysPara()->GetAppDir(), table);
}

void RemoveExchangeTable(const QString& table)
{
    QFile::remove(ExchangeTablePath(table));
}

bool OpenExchangeFolder(CAdoConnection& exchange)
{
    const QString connectString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Extended Properties=dBASE IV")
            .arg(GetMainSysPara()->GetAppDir());
    try {
        exchange.OpenEngine(std::make_unique<CDbfEngine>(CDbfEngine::FolderOf(connectString)), 0);
    } catch (...) {
        return false;
    }
    return true;
}
