#include "CDbfTable.h"

#include "CKvException.h"
#include "KvGbk.h"
#include "KvSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <shapefil.h>

namespace {

DBFHandle dbf(void* handle)
{
    return static_cast<DBFHandle>(handle);
}

QByteArray fileName(const QString& path)
{
    return QFile::encodeName(QDir::toNativeSeparators(path));
}

} // namespace

CDbfTable::CDbfTable(void* handle, QString path) : m_handle(handle), m_path(std::move(path)) {}

CDbfTable::~CDbfTable()
{
    DBFClose(dbf(m_handle));
}

QString CDbfTable::PathOf(const QString& folder, const QString& table)
{
    return QDir(folder).filePath(table + QStringLiteral(".dbf"));
}

std::unique_ptr<CDbfTable> CDbfTable::Open(const QString& path)
{
    // The file comes from an outside tool: say what is wrong with it, not
    // only that it could not be read.
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo file(path);
    if (!file.exists())
        throw CKvException(QStringLiteral("找不到数据表: %1").arg(shown));
    if (file.size() == 0)
        throw CKvException(QStringLiteral("数据表文件是空的: %1").arg(shown));
    DBFHandle handle = DBFOpen(fileName(path).constData(), "rb");
    if (!handle)
        throw CKvException(QStringLiteral("数据表文件已损坏或不是dBASE表: %1").arg(shown));
    std::unique_ptr<CDbfTable> table(new CDbfTable(handle, path));
    // A header that promises more records than the file holds: a file cut
    // short, or one that is no table at all.
    const qint64 needed = qint64(handle->nHeaderLength) + qint64(handle->nRecords) * handle->nRecordLength;
    if (handle->nRecords < 0 || file.size() < needed)
        throw CKvException(
            QStringLiteral("数据表文件不完整（应有%1条记录）: %2").arg(qMax(handle->nRecords, 0)).arg(shown));
    return table;
}

std::unique_ptr<CDbfTable> CDbfTable::Create(const QString& path, const QList<Field>& fields)
{
    QFile::remove(path);
    // Language driver 0x4D: GBK.
    DBFHandle handle = DBFCreateEx(fileName(path).constData(), "LDID/77");
    if (!handle)
        throw CKvException(QStringLiteral("无法建立数据表: %1").arg(QDir::toNativeSeparators(path)));
    std::unique_ptr<CDbfTable> table(new CDbfTable(handle, path));
    for (const Field& field : fields) {
        const char type = field.type == 'N' ? 'N' : 'C';
        if (DBFAddNativeFieldType(handle, field.name.toLatin1().constData(), type, field.width, field.decimals) < 0)
            throw CKvException(QStringLiteral("无法建立数据表: %1").arg(QDir::toNativeSeparators(path)));
    }
    return table;
}

QStringList CDbfTable::FieldNames() const
{
    QStringList names;
    for (int i = 0; i < FieldCount(); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DBFGetFieldInfo(dbf(m_handle), i, name, nullptr, nullptr);
        names << QString::fromLatin1(name);
    }
    return names;
}

int CDbfTable::FieldCount() const
{
    return DBFGetFieldCount(dbf(m_handle));
}

int CDbfTable::RecordCount() const
{
    return DBFGetRecordCount(dbf(m_handle));
}

bool CDbfTable::IsDeleted(int record) const
{
    return DBFIsRecordDeleted(dbf(m_handle), record) != 0;
}

QString CDbfTable::ReadText(int record, int field) const
{
    const char* bytes = DBFReadStringAttribute(dbf(m_handle), record, field);
    if (!bytes)
        throw CKvException(
            QStringLiteral("读取数据表第%1条记录时发生错误: %2").arg(record + 1).arg(QDir::toNativeSeparators(m_path)));
    return GbkDecode(QByteArray(bytes)).trimmed();
}

QList<QStringList> CDbfTable::ReadRows() const
{
    QList<QStringList> rows;
    const int fields = FieldCount();
    for (int r = 0; r < RecordCount(); ++r) {
        if (IsDeleted(r))
            continue;
        QStringList row;
        for (int f = 0; f < fields; ++f)
            row << ReadText(r, f);
        rows << row;
    }
    return rows;
}

int CDbfTable::AppendRecord(const QStringList& texts)
{
    const int record = RecordCount();
    for (int f = 0; f < FieldCount(); ++f)
        writeText(record, f, texts.value(f));
    return record;
}

void CDbfTable::writeText(int record, int field, const QString& text)
{
    int width = 0;
    int decimals = 0;
    const DBFFieldType type = DBFGetFieldInfo(dbf(m_handle), field, nullptr, &width, &decimals);
    bool number = false;
    const double value = KvParseNumber(text.trimmed(), &number);
    bool written = false;
    if (type == FTString)
        written = DBFWriteStringAttribute(dbf(m_handle), record, field, GbkEncode(text).constData()) != 0;
    else if (number)
        written = DBFWriteDoubleAttribute(dbf(m_handle), record, field, value) != 0;
    else
        return WriteRaw(record, field, GbkEncode(text));
    if (!written)
        throw CKvException(QStringLiteral("写数据表时发生错误: %1").arg(QDir::toNativeSeparators(m_path)));
}

void CDbfTable::WriteRaw(int record, int field, const QByteArray& bytes)
{
    QByteArray text = bytes; // the call takes a writable pointer
    if (!DBFWriteAttributeDirectly(dbf(m_handle), record, field, text.data()))
        throw CKvException(QStringLiteral("写数据表时发生错误: %1").arg(QDir::toNativeSeparators(m_path)));
}

void CDbfTable::MarkDeleted(int record, bool deleted)
{
    if (!DBFMarkRecordDeleted(dbf(m_handle), record, deleted ? 1 : 0))
        throw CKvException(QStringLiteral("写数据表时发生错误: %1").arg(QDir::toNativeSeparators(m_path)));
}
