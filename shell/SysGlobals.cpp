#include "SysGlobals.h"

#include "CAdoConnection.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvUtil.h"

#include <QDir>

namespace {

CAdoConnection& localDatabase()
{
    static CAdoConnection db;
    return db;
}

} // namespace

QString GetEdition()
{
    return QStringLiteral("单机版");
}

CAdoConnection* GetLocalDatabase()
{
    return &localDatabase();
}

CAdoConnection* GetMainDatabase()
{
    // The network edition would return its server connection here.
    return &localDatabase();
}

QString GetLocalDatabasePath()
{
    return QDir(GetAppDirectory()).filePath(QStringLiteral("work/Qrdb.db"));
}

QString GetLocalConnectString()
{
    // Relative paths of the outside programs rest on the program folder being current.
    QDir::setCurrent(GetAppDirectory());
    return QStringLiteral("Data Source=%1").arg(GetLocalDatabasePath());
}

QString GetServerConnectString()
{
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")), QStringLiteral("qrdb"),
             QStringLiteral("qrdbsa"), QStringLiteral("293716"));
}

QDateTime GetServerTime()
{
    return KvClock::Now();
}

QDateTime GetServerDate()
{
    return QDateTime(GetServerTime().date(), QTime(0, 0, 0));
}

int GetServerYearMonth()
{
    const QDate today = GetServerDate().date();
    return today.year() * 100 + today.month();
}

namespace {
CSysPara& mainSysPara()
{
    static CSysPara para;
    return para;
}
CSysPara& localSysPara()
{
    static CSysPara para;
    return para;
}
} // namespace

CSysPara* GetMainSysPara()
{
    CSysPara& para = mainSysPara();
    if (!para.GetDatabase())
        para.SetDatabase(GetMainDatabase());
    return &para;
}

CSysPara* GetLocalSysPara()
{
    CSysPara& para = localSysPara();
    if (!para.GetDatabase())
        para.SetDatabase(GetLocalDatabase());
    return &para;
}

void ReleaseProcessObjects()
{
    localDatabase().Close();
    mainSysPara() = CSysPara();
    localSysPara() = CSysPara();
    ResetCurrentOperator();
}
