#include "CReadDataImport.h"

#include "CDynamicLibrary.h"
#include "CSubRaw.h"
#include "KvGbk.h"
#include "KvUtil.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstddef>
#include <cstring>

namespace {

// A text field: up to its first zero byte, or the whole field.
QString FieldText(const char* field, size_t size)
{
    const void* end = std::memchr(field, 0, size);
    const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
    return GbkDecode(QByteArray(field, static_cast<qsizetype>(length)));
}

// Hands the array back to the library when the import ends, however it ends.
class CReadDataRelease
{
public:
    CReadDataRelease(KvFreeReadDataFn freeReadData, ReadDataRecord** records) : m_free(freeReadData), m_records(records)
    {
    }
    ~CReadDataRelease()
    {
        if (m_free)
            m_free(m_records);
    }
    CReadDataRelease(const CReadDataRelease&) = delete;
    CReadDataRelease& operator=(const CReadDataRelease&) = delete;

private:
    KvFreeReadDataFn m_free;
    ReadDataRecord** m_records;
};

} // namespace

QString CReadDataImport::FailureText(Result result)
{
    switch (result) {
    case NoLibrary:
        return QStringLiteral("装载DLL失败！");
    case NoGetFunction:
        return QStringLiteral("装载函数1失败");
    case NoFreeFunction:
        return QStringLiteral("装载函数2失败");
    case Imported:
        break;
    }
    return QString();
}

void CReadDataImport::RemoveDataFile()
{
    QFile::remove(QDir(GetAppDirectory()).filePath(QStringLiteral(KV_READ_DATA_FILE)));
}

KvReadData CReadDataImport::Decode(const ReadDataRecord& record)
{
    KvReadData data;
    data.meterNo = FieldText(record.meterNo, sizeof record.meterNo);
    if (data.meterNo.size() < 8)
        data.meterNo = QString(8 - data.meterNo.size(), u'0') + data.meterNo;
    data.subX = FieldText(record.subX, sizeof record.subX);
    const QString date = FieldText(record.readDate, sizeof record.readDate);
    data.dateText = QStringLiteral("20") + date.left(2) + u'-' + date.mid(3, 2) + u'-' + date.right(2);
    data.readDate = ParseDate(data.dateText);
    const auto* bytes = reinterpret_cast<const uchar*>(&record);
    data.pulses = qFromLittleEndian<qint32>(bytes + offsetof(ReadDataRecord, pulses));
    data.baseRead = qFromLittleEndian<qint32>(bytes + offsetof(ReadDataRecord, baseRead)) * 0.01;
    return data;
}

CReadDataImport::Result CReadDataImport::Import(Kind kind, QStringList* dropped)
{
    CDynamicLibrary library(LibraryName());
    if (!library.IsLoaded())
        return NoLibrary;
    return ImportWith(library.GetProc<KvGetReadDataFn>("GetReadData"),
                      library.GetProc<KvFreeReadDataFn>("FreeReadData"), kind, dropped);
}

CReadDataImport::Result CReadDataImport::ImportWith(KvGetReadDataFn getReadData, KvFreeReadDataFn freeReadData,
                                                    Kind kind, QStringList* dropped)
{
    if (!getReadData)
        return NoGetFunction;
    ReadDataRecord* records = nullptr;
    int32_t count = 0;
    getReadData(&records, &count);
    {
        const CReadDataRelease release(freeReadData, &records);
        // The array comes from outside: a negative count or a missing array
        // means there is nothing to take.
        const int total = records && count > 0 ? count : 0;
        for (int i = 0; i < total; ++i) {
            const KvReadData data = Decode(records[i]);
            if (!data.readDate.isValid()) {
                if (kind == Readings && dropped)
                    dropped->append(data.meterNo + u'_' + data.subX);
                continue;
            }
            CSubRaw raw;
            raw.SetMeterNo(data.meterNo);
            raw.SetSubX(data.subX);
            raw.SetReadPulses(data.pulses);
            raw.SetBaseRead(data.baseRead);
            raw.SetReadDate(data.readDate);
            raw.Save();
        }
    }
    return freeReadData ? Imported : NoFreeFunction;
}
