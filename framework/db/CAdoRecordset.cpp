#include "CAdoRecordset.h"

#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvSql.h"

#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Rows of a forward read the reading thread has handed on and the thread
// using them has not taken yet. A few blocks wait at most, so a long read
// holds little more than those, however fast either side is.
class CBlockQueue
{
public:
    // Waits for room; false once the using side has given up.
    bool Push(CDbResult&& block)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_abandoned || m_blocks.size() < kBlocksAhead; });
        if (m_abandoned)
            return false;
        m_blocks.push_back(std::move(block));
        m_changed.notify_all();
        return true;
    }
    // The next block; nothing once the rows are over or either side gave up.
    std::optional<CDbResult> Pop()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_abandoned || m_ended || !m_blocks.empty(); });
        if (m_abandoned || m_blocks.empty())
            return std::nullopt;
        CDbResult block = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_changed.notify_all();
        return block;
    }
    // No more rows will come.
    void End()
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    }
    // A block whose rows are used, whose memory the reading fills again.
    void GiveBack(CDbResult&& spent)
    {
        std::lock_guard lock(m_mutex);
        if (m_spent.size() < kBlocksAhead)
            m_spent.push_back(std::move(spent));
    }
    // A used block, or an empty result when there is none.
    CDbResult Spent()
    {
        std::lock_guard lock(m_mutex);
        if (m_spent.empty())
            return CDbResult();
        CDbResult spent = std::move(m_spent.back());
        m_spent.pop_back();
        return spent;
    }
    // One side failed: the other stops at its next step.
    void Abandon()
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
        m_changed.notify_all();
    }

private:
    static constexpr std::size_t kBlocksAhead = 4;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<CDbResult> m_blocks;
    std::vector<CDbResult> m_spent;
    bool m_ended = false;
    bool m_abandoned = false;
};

// Thrown into the reading when the using side has failed.
struct CUsingSideFailed
{
};

// Rows a block of a forward read: enough that handing one on costs nothing
// beside its rows, few enough that the waiting blocks stay small.
constexpr int kRowsPerBlock = 2048;

} // namespace

CAdoRecordset::CAdoRecordset(CAdoConnection* owner) : m_owner(owner) {}

void CAdoRecordset::Open(QString& sql)
{
    m_owner->ConvertSql(sql);
    if (m_open)
        Close();
    m_literalCount = 0;
    m_lastLiteral = -1;
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
    // Reading the next rows and using the last ones overlap: a long result
    // takes about the longer of the two, not their sum.
    CBlockQueue queue;
    std::exception_ptr usingFailed;
    std::thread user([&] {
        CAdoRecordset reader(m_owner);
        try {
            while (std::optional<CDbResult> block = queue.Pop()) {
                reader.m_result = std::move(*block);
                reader.m_open = true;
                for (reader.m_row = 0; reader.m_row < reader.m_result.rowCount; ++reader.m_row)
                    eachRow(reader);
                queue.GiveBack(std::move(reader.m_result));
            }
        } catch (...) {
            usingFailed = std::current_exception();
            queue.Abandon();
        }
    });
    int rows = 0;
    std::exception_ptr readingFailed;
    try {
        m_owner->RunQueryBlocks(converted, kRowsPerBlock, [&](CDbResult& block) {
            rows += block.rowCount;
            CDbResult full = queue.Spent();
            std::swap(full, block);
            if (!queue.Push(std::move(full)))
                throw CUsingSideFailed();
        });
        queue.End();
    } catch (...) {
        readingFailed = std::current_exception();
        queue.Abandon();
    }
    user.join();
    // The using side's failure is the one to report: it ended the reading.
    if (usingFailed)
        std::rethrow_exception(usingFailed);
    if (readingFailed)
        std::rethrow_exception(readingFailed);
    return rows;
}

int CAdoRecordset::GetRecordCount()
{
    // The rows from the current one to the end, as stepping through them would
    // count; the cursor goes back to the first row.
    if (IsBOF() || IsEOF())
        return 0;
    const int count = m_result.rowCount - m_row;
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
    // A row's fields are mostly read in the same order as the last row's:
    // the entry after the last one found is tried first.
    for (int tried = 0, i = m_lastLiteral + 1; tried < m_literalCount; ++tried, ++i) {
        if (i >= m_literalCount)
            i = 0;
        const LiteralIndex& e = m_literalIndexes[i];
        if (e.text == name.constData() && e.size == name.size()) {
            m_lastLiteral = i;
            return e.index;
        }
    }
    const int index = FindField(name);
    if (index >= 0 && m_literalCount < static_cast<int>(std::size(m_literalIndexes))) {
        m_literalIndexes[m_literalCount] = {name.constData(), name.size(), index};
        m_lastLiteral = m_literalCount++;
    }
    return index;
}

const CDbResult::Cell& CAdoRecordset::current(const QString& name) const
{
    if (!m_open || static_cast<unsigned>(m_row) >= static_cast<unsigned>(m_result.rowCount))
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
