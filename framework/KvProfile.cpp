#include "KvProfile.h"

#include "KvUtil.h"

#include <QDir>
#include <QSettings>

namespace {

QString read(const QString& file, const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(section + u'/' + key, defaultValue).toString();
}

void write(const QString& file, const QString& section, const QString& key, const QString& value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(section + u'/' + key, value);
    settings.sync();
}

} // namespace

QString AppProfilePath()
{
    return QDir(GetAppDirectory()).filePath(QStringLiteral("Quillmer.ini"));
}

QString WinIniPath()
{
    return QDir(GetAppDirectory()).filePath(QStringLiteral("win.ini"));
}

QString GetAppProfileString(const QString& section, const QString& key, const QString& defaultValue)
{
    return read(AppProfilePath(), section, key, defaultValue);
}

void WriteAppProfileString(const QString& section, const QString& key, const QString& value)
{
    write(AppProfilePath(), section, key, value);
}

QString GetWinIniString(const QString& section, const QString& key, const QString& defaultValue)
{
    return read(WinIniPath(), section, key, defaultValue);
}

void WriteWinIniString(const QString& section, const QString& key, const QString& value)
{
    write(WinIniPath(), section, key, value);
}
