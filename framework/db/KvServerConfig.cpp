#include "KvServerConfig.h"

#include "CKvException.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <arpa/inet.h>

namespace {

const QString kProfile = QStringLiteral("Quillmer.ini");

// The entries of [Server] as they stand in the file: key in lower case → the
// text after '=', without the blanks around it. They are read here rather than
// through QSettings, which takes a value beginning with '@' for one of its own
// encodings ("@@x" reads "@x").
QMap<QString, QString> rawServerEntries(const QString& path)
{
    QMap<QString, QString> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    bool inServer = false;
    for (const QByteArray& bytes : content.split('\n')) {
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
    if (raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"'))
        return false;
    return raw.contains(u',') || raw.contains(u'\\') || raw.contains(u'"') || raw.contains(u';') || raw.contains(u'#');
}

// A value as written: in double quotes, what stands between them with \\ for
// a backslash and \" for a double quote; else the text itself.
QString profileValue(const QString& raw)
{
    if (raw.size() < 2 || !raw.startsWith(u'"') || !raw.endsWith(u'"'))
        return raw;
    QString value;
    const QString inner = raw.mid(1, raw.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size() && (inner[i + 1] == u'\\' || inner[i + 1] == u'"'))
            ++i;
        value += inner[i];
    }
    return value;
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
    const QMap<QString, QString> raw = rawServerEntries(QDir(appDir).filePath(kProfile));
    KvServerLogin login;
    for (const char* key : {"Login", "Password"}) {
        if (readsOtherwise(raw.value(QString::fromLatin1(key).toLower()))) {
            login.problem = QStringLiteral("程序文件夹中 %1 的 [Server] 段的 %2 含有逗号、分号、#、反斜杠或双引号，"
                                           "请把它写在双引号中（其中的 \\ 写作 \\\\，\" 写作 \\\"）。")
                                .arg(kProfile, QString::fromLatin1(key));
            return login;
        }
    }
    login.login = profileValue(raw.value(QStringLiteral("login")));
    login.password = profileValue(raw.value(QStringLiteral("password")));
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

namespace {

// An IPv6 address as the server's own resolver reads it, a zone ("%eth0")
// allowed after it.
bool isIpv6Address(const QString& host)
{
    const QString address = host.section(u'%', 0, 0);
    if (!address.contains(u':') || (host.contains(u'%') && host.section(u'%', 1).isEmpty()))
        return false;
    in6_addr parsed{};
    return inet_pton(AF_INET6, address.toLatin1().constData(), &parsed) == 1 &&
           QString::fromLatin1(address.toLatin1()) == address;
}

} // namespace

KvServerAddress KvSplitServerName(const QString& serverName)
{
    const QString name = serverName.trimmed();
    KvServerAddress address;
    if (name.startsWith(u'[')) { // "[fe80::1]" or "[fe80::1],5432"
        const int close = name.indexOf(u']');
        if (close < 0)
            return {name, QString()};
        address.host = name.mid(1, close - 1);
        const QString rest = name.mid(close + 1);
        if (rest.startsWith(u','))
            address.port = rest.mid(1).trimmed();
        else if (!rest.isEmpty())
            address.host = name; // nothing but a port may follow the brackets
        return address;
    }
    const int comma = name.indexOf(u',');
    address.host = (comma < 0 ? name : name.left(comma)).trimmed();
    if (comma >= 0)
        address.port = name.mid(comma + 1).trimmed();
    return address;
}

QString KvServerNameRefusal(const QString& serverName)
{
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9._-]+$"));
    static const QRegularExpression portForm(QStringLiteral("^[0-9]{1,5}$"));
    const QString name = serverName.trimmed();
    const KvServerAddress address = KvSplitServerName(name);
    const bool hostFits = hostName.match(address.host).hasMatch() || isIpv6Address(address.host);
    const bool hasPort = name.endsWith(u',') || !address.port.isEmpty();
    const bool portFits = !hasPort || (portForm.match(address.port).hasMatch() && address.port.toInt() >= 1 &&
                                       address.port.toInt() <= 65535);
    if (hostFits && portFits && !name.contains(u' ')) // no blank inside ("db ,5432")
        return QString();
    return QStringLiteral("服务器名称应为主机名或“主机名,端口”，端口为1到65535的数字！");
}
