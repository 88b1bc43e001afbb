// Stand-in of the carrier reading program's meter-information library. It
// keeps the meters it was told about in PondrakeMeters.txt beside itself (one
// "<meter> <status>" line each), takes forced answers from
// PondrakeScenario.txt ("<export> <answer>" lines, the first line of the
// called export is used up) and logs every call, the record decoded, to
// Pondrake.log. Texts arrive in GBK and are kept in UTF-8. Built with
// PONDRAKE_WITHOUT_EDIT it lacks EditMeterInfoFromCarrier.

#include "CarrierMeterInfo.h"
#include "KvGbk.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <dlfcn.h>

namespace {

QString folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&folder), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QStringLiteral(".");
}

QString path(const char* name)
{
    return folder() + u'/' + QLatin1String(name);
}

QStringList readLines(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines;
}

void writeLines(const QString& file, const QStringList& lines)
{
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        out.write((lines.join(u'\n') + (lines.isEmpty() ? QString() : QStringLiteral("\n"))).toUtf8());
}

// A text field of the record, up to its terminator or its end.
QString field(const char* text, int size)
{
    int length = 0;
    while (length < size && text[length])
        ++length;
    return GbkDecode(QByteArray(text, length));
}

QString text(const char* value)
{
    return value ? GbkDecode(QByteArray(value)) : QStringLiteral("(null)");
}

QString describe(const CarrierMeterInfo* record)
{
    if (!record)
        return QStringLiteral("(null)");
    return QStringLiteral("meter=%1 client=%2 name=%3 address=%4 kind=%5 ctpt=%6 level=%7 super=%8")
        .arg(field(record->meterNo, sizeof record->meterNo), field(record->clientNo, sizeof record->clientNo),
             field(record->clientName, sizeof record->clientName), field(record->address, sizeof record->address),
             field(record->meterKind, sizeof record->meterKind))
        .arg(record->ctPt)
        .arg(record->level)
        .arg(field(record->superNo, sizeof record->superNo));
}

// The forced answer of the export, if the scenario has one.
bool forced(const char* exportName, int& answer)
{
    const QString file = path("PondrakeScenario.txt");
    QStringList lines = readLines(file);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList parts = lines.at(i).split(u' ', Qt::SkipEmptyParts);
        if (parts.size() == 2 && parts.at(0) == QLatin1String(exportName)) {
            answer = parts.at(1).toInt();
            lines.removeAt(i);
            writeLines(file, lines);
            return true;
        }
    }
    return false;
}

int finish(const char* exportName, const QString& arguments, int answer)
{
    QFile log(path("Pondrake.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        log.write(QStringLiteral("%1 %2 => %3\n").arg(QLatin1String(exportName), arguments).arg(answer).toUtf8());
    return answer;
}

// The registry: meter number -> status, in the order they came.
QList<QPair<QString, QString>> registry()
{
    QList<QPair<QString, QString>> meters;
    for (const QString& line : readLines(path("PondrakeMeters.txt"))) {
        const int blank = line.indexOf(u' ');
        meters.append(blank < 0 ? qMakePair(line, QString()) : qMakePair(line.left(blank), line.mid(blank + 1)));
    }
    return meters;
}

void saveRegistry(const QList<QPair<QString, QString>>& meters)
{
    QStringList lines;
    for (const auto& meter : meters)
        lines << meter.first + u' ' + meter.second;
    writeLines(path("PondrakeMeters.txt"), lines);
}

int find(const QList<QPair<QString, QString>>& meters, const QString& meterNo)
{
    for (int i = 0; i < meters.size(); ++i)
        if (meters.at(i).first == meterNo)
            return i;
    return -1;
}

// Sets the status of a known meter (adding it when `add`); false when unknown.
bool setStatus(const QString& meterNo, const QString& status, bool add)
{
    auto meters = registry();
    const int at = find(meters, meterNo);
    if (at < 0 && !add)
        return false;
    if (at < 0)
        meters.append(qMakePair(meterNo, status));
    else
        meters[at].second = status;
    saveRegistry(meters);
    return true;
}

bool removeMeter(const QString& meterNo)
{
    auto meters = registry();
    const int at = find(meters, meterNo);
    if (at < 0)
        return false;
    meters.removeAt(at);
    saveRegistry(meters);
    return true;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int PondrakeToTmp(CarrierMeterInfo* record)
{
    const QString arguments = describe(record);
    int answer = 0;
    if (forced("PondrakeToTmp", answer))
        return finish("PondrakeToTmp", arguments, answer);
    if (!record)
        return finish("PondrakeToTmp", arguments, 0);
    const QString meterNo = field(record->meterNo, sizeof record->meterNo);
    if (find(registry(), meterNo) >= 0)
        return finish("PondrakeToTmp", arguments, -5);
    setStatus(meterNo, QStringLiteral("在用"), true);
    return finish("PondrakeToTmp", arguments, 1);
}

#ifndef PONDRAKE_WITHOUT_EDIT
__attribute__((visibility("default"))) int EditMeterInfoFromCarrier(CarrierMeterInfo* record, const char* status)
{
    const QString arguments = describe(record) + QStringLiteral(" status=") + text(status);
    int answer = 0;
    if (forced("EditMeterInfoFromCarrier", answer))
        return finish("EditMeterInfoFromCarrier", arguments, answer);
    if (!record)
        return finish("EditMeterInfoFromCarrier", arguments, 0);
    const QString meterNo = field(record->meterNo, sizeof record->meterNo);
    const QString word = text(status);
    setStatus(meterNo, word == QLatin1String("0") ? QStringLiteral("在用") : word, true);
    return finish("EditMeterInfoFromCarrier", arguments, 1);
}
#endif

__attribute__((visibility("default"))) int DeleteMeterInfoFromTmp(const char* meterNo)
{
    int answer = 0;
    if (forced("DeleteMeterInfoFromTmp", answer))
        return finish("DeleteMeterInfoFromTmp", text(meterNo), answer);
    return finish("DeleteMeterInfoFromTmp", text(meterNo), removeMeter(text(meterNo)) ? 1 : 0);
}

__attribute__((visibility("default"))) int DeleteMeterFromCarrier(const char* meterNo)
{
    int answer = 0;
    if (forced("DeleteMeterFromCarrier", answer))
        return finish("DeleteMeterFromCarrier", text(meterNo), answer);
    return finish("DeleteMeterFromCarrier", text(meterNo), removeMeter(text(meterNo)) ? 1 : 0);
}

__attribute__((visibility("default"))) int PauseMeterFromCarrier(const char* meterNo, const char* status)
{
    const QString arguments = text(meterNo) + u' ' + text(status);
    int answer = 0;
    if (forced("PauseMeterFromCarrier", answer))
        return finish("PauseMeterFromCarrier", arguments, answer);
    return finish("PauseMeterFromCarrier", arguments, setStatus(text(meterNo), text(status), false) ? 1 : 0);
}

__attribute__((visibility("default"))) int ReOpenAccountInCarrier(const char* meterNo, double used, int32_t a,
                                                                  int32_t b)
{
    const QString arguments = QStringLiteral("%1 %2 %3 %4").arg(text(meterNo)).arg(used, 0, 'f', 2).arg(a).arg(b);
    int answer = 0;
    if (forced("ReOpenAccountInCarrier", answer))
        return finish("ReOpenAccountInCarrier", arguments, answer);
    setStatus(text(meterNo), QStringLiteral("在用"), true);
    return finish("ReOpenAccountInCarrier", arguments, 1);
}
}
