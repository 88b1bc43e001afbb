#include "KvServerConfig.h"

#include <QDir>
#include <QSettings>

QString KvServerDatabaseName()
{
    return QStringLiteral("qrdb");
}

QString KvServerConnectString(const QString& appDir, const QString& serverName)
{
    const QSettings profile(QDir(appDir).filePath(QStringLiteral("Quillmer.ini")), QSettings::IniFormat);
    const QString login = profile.value(QStringLiteral("Server/Login")).toString();
    const QString password = profile.value(QStringLiteral("Server/Password")).toString();
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(serverName, KvServerDatabaseName(), login, password);
}
