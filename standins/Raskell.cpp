// Stand-in of the outside remote-charging library: it keeps the address and
// port of the remote charging machine in Raskell.ini beside itself. The
// caller's buffers hold 20 (address) and 24 (port) bytes with the end mark, so
// nothing longer is ever written or kept.

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
