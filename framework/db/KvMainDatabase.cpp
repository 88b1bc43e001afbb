#include "KvMainDatabase.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvServerConfig.h"

#include <QDir>

void KvOpenMainDatabase(CAdoConnection& db, const QString& appDir)
{
    const QString localFile =
        QStringLiteral("Data Source=%1").arg(QDir(appDir).filePath(QStringLiteral("work/Qrdb.db")));
    bool mainTables = false;
    QString serverName;
    {
        CAdoConnection local;
        local.Open(0, localFile);
        CAdoLease<CAdoRecordset> rs(local.AcquireRecordset());
        // A network counter's own file holds only the counter's tables; a
        // file with the main tables (Operator is one) is the main database.
        rs->Open(QStringLiteral("select name from sqlite_master where type = 'table' and name = 'Operator' "
                                "collate nocase"));
        mainTables = !rs->IsEOF();
        if (!mainTables) {
            rs->Open(QStringLiteral("select ServerName from SysPara"));
            if (rs->IsEOF())
                throw CKvException(QStringLiteral("找不到指定参数！"));
            serverName = rs->GetFieldText(QStringLiteral("ServerName"));
        }
    }
    if (mainTables)
        db.Open(0, localFile);
    else
        db.Open(1, KvServerConnectString(appDir, serverName));
}
