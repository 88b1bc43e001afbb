#include "KvAppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString KvDefaultAppDirectory()
{
    const QString fromEnv = qEnvironmentVariable("QUILLMER_APPDIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    if (QCoreApplication::instance())
        return QDir::cleanPath(QCoreApplication::applicationDirPath());
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}
