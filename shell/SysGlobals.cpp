#include "SysGlobals.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvClock.h"
#include "KvEdition.h"
#include "KvServerConfig.h"
#include "KvUtil.h"

#include <QDir>

namespace {

CAdoConnection& localDatabase()
{
    static CAdoConnection db;
    return db;
}

// The network edition's connection to the shared server; never opened in the
// stand-alone edition.
CAdoConnection& serverDatabase()
{
    static CAdoConnection db;
    return db;
}

bool isNetworkEdition()
{
    return GetEdition() == QStringLiteral("网络版");
}

} // namespace

QString GetEdition()
{
    return KvIsNetworkEdition() ? QStringLiteral("网络版") : QStringLiteral("单机版");
}

CAdoConnection* GetLocalDatabase()
{
    return &localDatabase();
}

CAdoConnection* GetMainDatabase()
{
    return isNetworkEdition() ? &serverDatabase() : &localDatabase();
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
    // The login and password come from the installation's profile, never
    // from the program (see KvServerConfig.h).
    return KvServerConnectString(GetAppDirectory(), GetLocalSysPara()->GetStringPara(QStringLiteral("ServerName")));
}

QDateTime GetServerTime()
{
    // The server's clock, so that every counter stores the same "now". Before
    // the server connection was ever opened (the first installation of the
    // counter's own file) and where the main database is a file, the
    // program's clock. A server connection that broke is not a reason to
    // use the counter's own clock: the query opens it again or fails.
    CAdoConnection* main = GetMainDatabase();
    if (!isNetworkEdition() || !main->GetEngine() || main->GetServerFlag() != 1)
        return KvClock::Now();
    CAdoLease<CAdoRecordset> rs(main->AcquireRecordset());
    rs->Open(QStringLiteral("select GetDate() as SysDate"));
    return rs->GetFieldDateTime(QStringLiteral("SysDate"));
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
    serverDatabase().Close();
    localDatabase().Close();
    mainSysPara() = CSysPara();
    localSysPara() = CSysPara();
    ResetCurrentOperator();
}
