#include "CAdoRecordset.h"

#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvSql.h"

#include <cmath>
#include <limits>

CAdoRecordset::CAdoRecordset(CAdoConnection* owner) : m_owner(owner) {}

void CAdoRecordset::Open(QString& sql)
{
    m_owner->ConvertSql(sql);
    if (m_open)
        Close();
    m_literalCount = 0;
    m_owner->RunQuery(sql, m_result);
    m_open = true;
    m_row = 0;
}

void CAdoRecordset::Open(const QString& sql)
{
    QString copy = sql;
    Open(copy);
}

int CAdoRecordset::ReadEach(const QString& sql, const std::function<void(CAdoRecordset& rs)>& eachRow)
{
    QString converted = sql;
    m_owner->ConvertSql(converted);
    if (m_open)
        Close();
    m_literalCount = 0;
    int rows = 0;
    try {
        m_owner->RunQueryRows(converted, m_result, [&](int row) {
            m_open = true;
            m_row = row;
            ++rows;
            eachRow(*this);
        });
    } catch (...) {
        Close();
        throw;
    }
    Close();
    return rows;
}

int CAdoRecordset::GetRecordCount()
{
    if (!m_open)
        return 0;
    int count = 0;
    while (!IsBOF() && !IsEOF()) {
        ++count;
        MoveNext();
    }
    if (!IsBOF())
        MoveFirst();
    return count;
}

void CAdoRecordset::MoveFirst()
{
    if (m_open)
        m_row = 0;
}

void CAdoRecordset::MoveNext()
{
    if (m_open && m_row < m_result.rowCount)
        ++m_row;
}

void CAdoRecordset::Close()
{
    if (!m_open)
        return;
    m_open = false;
    m_result.clear();
    m_row = 0;
}

void CAdoRecordset::Release()
{
    Close();
    m_inUse = false;
}

int CAdoRecordset::FindField(const QString& name) const
{
    const int n = static_cast<int>(m_result.columns.size());
    // Callers nearly always spell a column as the table does: try that first.
    for (int i = 0; i < n; ++i) {
        if (m_result.columns[i] == name)
            return i;
    }
    for (int i = 0; i < n; ++i) {
        if (m_result.columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int CAdoRecordset::indexOf(const QString& name) const
{
    const bool literal = !name.data_ptr().isMutable(); // QStringLiteral data is never freed
    if (!literal)
        return FindField(name);
    for (int i = 0; i < m_literalCount; ++i) {
        const LiteralIndex& e = m_literalIndexes[i];
        if (e.text == name.constData() && e.size == name.size())
            return e.index;
    }
    const int index = FindField(name);
    if (index >= 0 && m_literalCount < 16)
        m_literalIndexes[m_literalCount++] = {name.constData(), name.size(), index};
    return index;
}

const CDbResult::Cell& CAdoRecordset::current(const QString& name) const
{
    if (IsBOF() || IsEOF())
        throw CKvException(QStringLiteral("当前记录不存在: %1").arg(name));
    const int index = indexOf(name);
    if (index < 0)
        throw CKvException(QStringLiteral("找不到字段: %1").arg(name));
    return m_result.cell(m_row, index);
}

const CDbResult::Cell& CAdoRecordset::currentNotNull(const QString& name) const
{
    const CDbResult::Cell& value = current(name);
    if (value.type() == CDbResult::Null)
        throw CKvException(QStringLiteral("无效使用 Null: %1").arg(name));
    return value;
}

QVariant CAdoRecordset::GetFieldValue(const QString& name) const
{
    return m_result.variant(current(name));
}

QVariant CAdoRecordset::GetFieldValue(int index) const
{
    if (IsBOF() || IsEOF() || index < 0 || index >= GetFieldCount())
        throw CKvException(QStringLiteral("找不到字段: %1").arg(index));
    return m_result.variant(m_result.cell(m_row, index));
}

bool CAdoRecordset::IsFieldNull(const QString& name) const
{
    return current(name).type() == CDbResult::Null;
}

QString CAdoRecordset::ValueToText(const CDbResult::Cell& value) const
{
    switch (value.type()) {
    case CDbResult::Integer:
        return QString::number(value.integer);
    case CDbResult::Real:
        // The shortest text that reads back as the same number, with a '.'.
        return QString::number(value.real, 'g', 15);
    case CDbResult::Text:
        return m_result.text(value);
    default:
        return QString();
    }
}

namespace {
double textToNumber(const QString& text)
{
    bool ok = false;
    const double v = KvParseNumber(text, &ok);
    if (!ok)
        throw CKvException(QStringLiteral("类型不匹配: %1").arg(text));
    return v;
}
} // namespace

namespace {
// A whole number that fits an int; anything else is an overflow, not a wrapped value.
int toInt(double rounded, const QString& shown)
{
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        throw CKvException(QStringLiteral("溢出: %1").arg(shown));
    return static_cast<int>(rounded);
}
} // namespace

int CAdoRecordset::ValueToInt(const CDbResult::Cell& value) const
{
    switch (value.type()) {
    case CDbResult::Integer:
        if (value.integer < std::numeric_limits<int>::min() || value.integer > std::numeric_limits<int>::max())
            throw CKvException(QStringLiteral("溢出: %1").arg(value.integer));
        return static_cast<int>(value.integer);
    case CDbResult::Real:
        return toInt(std::round(value.real), ValueToText(value));
    case CDbResult::Text: {
        const QString text = m_result.text(value);
        return toInt(std::round(textToNumber(text)), text);
    }
    default:
        return 0;
    }
}

double CAdoRecordset::ValueToDouble(const CDbResult::Cell& value) const
{
    switch (value.type()) {
    case CDbResult::Integer:
        return static_cast<double>(value.integer);
    case CDbResult::Real:
        return value.real;
    case CDbResult::Text:
        return textToNumber(m_result.text(value));
    default:
        return 0;
    }
}

QDateTime CAdoRecordset::ValueToDateTime(const CDbResult::Cell& value) const
{
    const QString text = ValueToText(value);
    const QDateTime dt = KvParseDateText(text);
    if (!dt.isValid())
        throw CKvException(QStringLiteral("类型不匹配: %1").arg(text));
    return dt;
}

QString CAdoRecordset::GetFieldString(const QString& name) const
{
    return ValueToText(currentNotNull(name));
}

int CAdoRecordset::GetFieldInt(const QString& name) const
{
    return ValueToInt(currentNotNull(name));
}

double CAdoRecordset::GetFieldDouble(const QString& name) const
{
    return ValueToDouble(currentNotNull(name));
}

QDateTime CAdoRecordset::GetFieldDateTime(const QString& name) const
{
    return ValueToDateTime(currentNotNull(name));
}

QString CAdoRecordset::GetFieldText(const QString& name) const
{
    return ValueToText(current(name));
}
