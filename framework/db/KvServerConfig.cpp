#include "KvServerConfig.h"

#include "CKvException.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {

const QString kProfile = QStringLiteral("Quillmer.ini");

// The entries of [Server] as they stand in the file, before the profile reads
// them: key in lower case → the text after '='.
QMap<QString, QString> rawServerEntries(const QString& path)
{
    QMap<QString, QString> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    bool inServer = false;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.startsWith(u'[')) {
            inServer = line.compare(QStringLiteral("[Server]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const int eq = line.indexOf(u'=');
        if (inServer && eq > 0)
            entries.insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return entries;
}

// An unquoted value that the profile would not read as written.
bool readsOtherwise(const QString& raw)
{
    if (raw.startsWith(u'"'))
        return false;
    return raw.contains(u',') || raw.contains(u'\\') || raw.contains(u'"') || raw.contains(u';') || raw.contains(u'#');
}

// A value of the connection string, in braces where it holds what would end
// or change it: there it may hold any character, "}}" standing for "}"
// (CPgEngine::ConnectPairs reads it back).
QString connectValue(const QString& value)
{
    const bool plain = !value.contains(u';') && !value.startsWith(u'{') && value.trimmed() == value;
    if (plain)
        return value;
    return u'{' + QString(value).replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
}

} // namespace

QString KvServerDatabaseName()
{
    return QStringLiteral("qrdb");
}

KvServerLogin KvReadServerLogin(const QString& appDir)
{
    const QString path = QDir(appDir).filePath(kProfile);
    const QSettings profile(path, QSettings::IniFormat);
    const QMap<QString, QString> raw = rawServerEntries(path);
    KvServerLogin login;
    const QVariant loginValue = profile.value(QStringLiteral("Server/Login"));
    const QVariant passwordValue = profile.value(QStringLiteral("Server/Password"));
    for (const char* key : {"Login", "Password"}) {
        const QVariant& value = QByteArray(key) == "Login" ? loginValue : passwordValue;
        if (readsOtherwise(raw.value(QString::fromLatin1(key).toLower())) || value.typeId() == QMetaType::QStringList) {
            login.problem = QStringLiteral("程序文件夹中 %1 的 [Server] 段的 %2 含有逗号、分号、#、反斜杠或双引号，"
                                           "请把它写在双引号中（其中的 \\ 写作 \\\\，\" 写作 \\\"）。")
                                .arg(kProfile, QString::fromLatin1(key));
            return login;
        }
    }
    login.login = loginValue.toString();
    login.password = passwordValue.toString();
    if (login.login.isEmpty() || login.password.isEmpty())
        login.problem =
            QStringLiteral("程序文件夹中 %1 的 [Server] 段没有业务数据库服务器的登录名(Login)或密码(Password)，"
                           "请填写后重新启动本软件。")
                .arg(kProfile);
    return login;
}

QString KvServerConnectString(const QString& appDir, const QString& serverName)
{
    const KvServerLogin login = KvReadServerLogin(appDir);
    if (!login.problem.isEmpty())
        throw CKvException(login.problem);
    // A password may hold ';' and any other character.
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;Database=%2;uid=%3;pwd=%4")
        .arg(serverName, KvServerDatabaseName(), connectValue(login.login), connectValue(login.password));
}

QString KvServerNameRefusal(const QString& serverName)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9._-]+(,([0-9]{1,5}))?$"));
    const QRegularExpressionMatch match = form.match(serverName.trimmed());
    const QString port = match.captured(2);
    if (match.hasMatch() && (port.isEmpty() || (port.toInt() >= 1 && port.toInt() <= 65535)))
        return QString();
    return QStringLiteral("服务器名称应为主机名或“主机名,端口”，端口为1到65535的数字！");
}
