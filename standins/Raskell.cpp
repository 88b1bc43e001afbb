// Stand-in of the outside remote-charging library: it keeps the address and
// port of the remote charging machine in Raskell.ini beside itself. The
// caller's buffers hold 20 (address) and 24 (port) bytes with the end mark, so
// nothing longer is ever written or kept.

#include "KvGbk.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <cstring>
#include <dlfcn.h>

namespace {

constexpr int kAddressBuffer = 20;
constexpr int kPortBuffer = 24;

QString settingsPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&settingsPath), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() + QStringLiteral("/Raskell.ini");
    return QStringLiteral("Raskell.ini");
}

// Copies at most size - 1 bytes, cut before a partial character, and the end mark.
void copyInto(char* buffer, int size, const QByteArray& text)
{
    int length = qMin<int>(text.size(), size - 1);
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(buffer, text.constData(), static_cast<size_t>(length));
    buffer[length] = '\0';
}

QByteArray fitted(const char* text, int size)
{
    char buffer[64] = {};
    copyInto(buffer, size, QByteArray(text ? text : ""));
    return QByteArray(buffer);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int GetRemoteServer(char* address, char* port)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    if (address)
        copyInto(address, kAddressBuffer, settings.value(QStringLiteral("Remote/Address")).toString().toUtf8());
    if (port)
        copyInto(port, kPortBuffer, settings.value(QStringLiteral("Remote/Port")).toString().toUtf8());
    return 1;
}

__attribute__((visibility("default"))) int SaveRemoteServer(const char* address, const char* port)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Remote/Address"), QString::fromUtf8(fitted(address, kAddressBuffer)));
    settings.setValue(QStringLiteral("Remote/Port"), QString::fromUtf8(fitted(port, kPortBuffer)));
    settings.sync();
    return settings.status() == QSettings::NoError ? 1 : 0;
}
}

// Remote payments: RaskellPay.txt beside the library holds one payment a line,
// GBK, "<user code>;<pay index>;<amount>;<0 open | 1 confirmed>". GetPay hands
// out the user's first open payment; Confirm marks it confirmed, so no payment
// serves two sales. Both calls are logged to Raskell.log.

namespace {

QString besideLibrary(const QString& name)
{
    return QFileInfo(settingsPath()).absolutePath() + u'/' + name;
}

QList<QStringList> readPayments()
{
    QList<QStringList> rows;
    QFile file(besideLibrary(QStringLiteral("RaskellPay.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QString text = GbkDecode(file.readAll());
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.trimmed().split(u';');
        if (fields.size() < 3)
            continue;
        while (fields.size() < 4)
            fields << QStringLiteral("0");
        rows << fields;
    }
    return rows;
}

void writePayments(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows)
        text += row.join(u';') + QStringLiteral("\r\n");
    QFile file(besideLibrary(QStringLiteral("RaskellPay.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(GbkEncode(text));
}

void logCall(const QString& line)
{
    QFile file(besideLibrary(QStringLiteral("Raskell.log")));
    if (file.open(QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int GetPay(const char* clientNo, int* payIndex, float* amount)
{
    const QString client = GbkDecode(QByteArray(clientNo ? clientNo : ""));
    for (const QStringList& row : readPayments()) {
        if (row.at(0) != client || row.at(3) != QLatin1String("0"))
            continue;
        if (payIndex)
            *payIndex = row.at(1).toInt();
        if (amount)
            *amount = row.at(2).toFloat();
        logCall(QStringLiteral("GetPay %1 => 0 %2 %3").arg(client, row.at(1), row.at(2)));
        return 0;
    }
    logCall(QStringLiteral("GetPay %1 => 1").arg(client));
    return 1;
}

__attribute__((visibility("default"))) int Confirm(int payIndex)
{
    QList<QStringList> rows = readPayments();
    for (QStringList& row : rows) {
        if (row.at(1).toInt() != payIndex || row.at(3) != QLatin1String("0"))
            continue;
        row[3] = QStringLiteral("1");
        writePayments(rows);
        logCall(QStringLiteral("Confirm %1 => 0").arg(payIndex));
        return 0;
    }
    logCall(QStringLiteral("Confirm %1 => 1").arg(payIndex));
    return 1;
}
}
