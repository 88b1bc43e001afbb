// Stand-in of the programmer's tool. D: answers. U: replaces the reading-data
// file in its own folder (the program folder) with the programmer's records,
// which the reading-data library then hands to the program, and answers.
//
// Its own scenario key (Fennick.scenario):
//   reading=METER|SUBX|DATE|PULSES|BASE
//        one record a line, in order. The texts go into their fields of 9, 2
//        and 9 bytes as they stand, cut to the field: a text that fills its
//        field has no terminator, and a date text is not checked. PULSES and
//        BASE (hundredths) are whole numbers.
#include "CDeviceToolStandin.h"
#include "CKvException.h"
#include "KvReadDataRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstddef>
#include <cstring>

namespace {

void putText(char* field, size_t size, const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    std::memset(field, 0, size);
    std::memcpy(field, bytes.constData(), std::min(size, static_cast<size_t>(bytes.size())));
}

void writeReadings(CDeviceToolStandin& tool)
{
    QByteArray data;
    for (const QString& line : tool.Values(QStringLiteral("reading"))) {
        const QStringList texts = line.split(u'|');
        ReadDataRecord record;
        putText(record.meterNo, sizeof record.meterNo, texts.value(0));
        putText(record.subX, sizeof record.subX, texts.value(1));
        putText(record.readDate, sizeof record.readDate, texts.value(2));
        auto* bytes = reinterpret_cast<uchar*>(&record);
        qToLittleEndian<qint32>(texts.value(3).toInt(), bytes + offsetof(ReadDataRecord, pulses));
        qToLittleEndian<qint32>(texts.value(4).toInt(), bytes + offsetof(ReadDataRecord, baseRead));
        data.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    QFile file(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(KV_READ_DATA_FILE)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        throw CKvException(QStringLiteral("无法写入读数文件"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDeviceToolStandin tool(QStringLiteral("Fennick"), QStringLiteral("Drossel.dat"));
    return tool.Run(argc, argv, [](CDeviceToolStandin& self) {
        if (self.Command() == QStringLiteral("U"))
            writeReadings(self);
    });
}
