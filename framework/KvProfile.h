#pragma once

#include <QString>

// The two profiles of the program, as INI files in the program folder:
//   the application profile (Quillmer.ini): section "SystemSetup" and the like;
//   the desktop profile (win.ini): the product-named section with QrStyle, QrBk.
QString GetAppProfileString(const QString& section, const QString& key, const QString& defaultValue = QString());
void WriteAppProfileString(const QString& section, const QString& key, const QString& value);
QString GetWinIniString(const QString& section, const QString& key, const QString& defaultValue = QString());
void WriteWinIniString(const QString& section, const QString& key, const QString& value);

QString AppProfilePath();
QString WinIniPath();
