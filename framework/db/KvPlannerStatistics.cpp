#include "KvPlannerStatistics.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace KvPlannerStatistics {

namespace {

// A prepared statement, finalized when it goes; invalid when it did not prepare.
class CStatement
{
public:
    CStatement(sqlite3* db, const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), text.size(), &m_stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    ~CStatement() { sqlite3_finalize(m_stmt); }
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    bool IsValid() const { return m_stmt != nullptr; }
    sqlite3_stmt* Get() const { return m_stmt; }
    bool Step() const { return m_stmt && sqlite3_step(m_stmt) == SQLITE_ROW; }
    void BindText(int at, const QString& text) const
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, at, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    }
    QString Text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)));
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

bool exec(sqlite3* db, const QString& sql)
{
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

long long rowsOf(sqlite3* db, const QString& table)
{
    CStatement count(db, QStringLiteral("select count(*) from main.") + quoted(table));
    return count.Step() ? sqlite3_column_int64(count.Get(), 0) : -1;
}

// An index's key columns, each with its collation, in index order; empty for
// an index on an expression or in descending order, which is left unsampled.
struct IndexColumns
{
    QString name;
    QStringList columns; // "Col" collate X
};

QVector<IndexColumns> indexesOf(sqlite3* db, const QString& table)
{
    QVector<IndexColumns> indexes;
    CStatement list(db, QStringLiteral("select name from pragma_index_list(?1)"));
    list.BindText(1, table);
    while (list.Step()) {
        IndexColumns index{list.Text(0), {}};
        CStatement info(db, QStringLiteral("select name, coll, desc from pragma_index_xinfo(?1) where key = 1 "
                                           "order by seqno"));
        info.BindText(1, index.name);
        bool usable = true;
        while (info.Step()) {
            if (sqlite3_column_type(info.Get(), 0) == SQLITE_NULL || sqlite3_column_int(info.Get(), 2) != 0)
                usable = false;
            else
                index.columns << quoted(info.Text(0)) + QStringLiteral(" collate ") + info.Text(1);
        }
        if (usable && !index.columns.isEmpty())
            indexes.push_back(index);
    }
    return indexes;
}

using CValue = std::unique_ptr<sqlite3_value, void (*)(sqlite3_value*)>;

// The rows per key of a prefix of an index's columns: the index is walked
// from key to key (each step one search), and the rows up to the last key
// reached are counted.
double rowsPerKey(sqlite3* db, const QString& table, const QStringList& columns, long long rows)
{
    const QString list = columns.join(QStringLiteral(", "));
    QStringList marks;
    for (int i = 1; i <= columns.size(); ++i)
        marks << QStringLiteral("?%1").arg(i);
    const QString tuple = columns.size() == 1 ? list : u'(' + list + u')';
    const QString params = columns.size() == 1 ? marks.first() : u'(' + marks.join(QStringLiteral(", ")) + u')';
    const QString from = QStringLiteral(" from main.") + quoted(table);
    CStatement first(db, QStringLiteral("select ") + list + from + QStringLiteral(" where ") + columns.first() +
                             QStringLiteral(" is not null order by ") + list + QStringLiteral(" limit 1"));
    CStatement next(db, QStringLiteral("select ") + list + from + QStringLiteral(" where ") + tuple +
                            QStringLiteral(" > ") + params + QStringLiteral(" order by ") + list +
                            QStringLiteral(" limit 1"));
    CStatement covered(db, QStringLiteral("select count(*)") + from + QStringLiteral(" where ") + tuple +
                               QStringLiteral(" <= ") + params);
    if (!first.IsValid() || !next.IsValid() || !covered.IsValid())
        return 1;

    std::vector<CValue> last;
    const auto keep = [&](const CStatement& from) {
        last.clear();
        for (int i = 0; i < columns.size(); ++i)
            last.emplace_back(sqlite3_value_dup(sqlite3_column_value(from.Get(), i)), sqlite3_value_free);
    };
    int keys = 0;
    if (first.Step()) {
        keep(first);
        keys = 1;
    }
    while (keys > 0 && keys < kSampledKeys) {
        sqlite3_reset(next.Get());
        for (int i = 0; i < columns.size(); ++i)
            sqlite3_bind_value(next.Get(), i + 1, last[static_cast<size_t>(i)].get());
        if (!next.Step())
            return static_cast<double>(rows) / keys; // every key seen
        keep(next);
        ++keys;
    }
    if (keys == 0)
        return static_cast<double>(rows);
    for (int i = 0; i < columns.size(); ++i)
        sqlite3_bind_value(covered.Get(), i + 1, last[static_cast<size_t>(i)].get());
    return covered.Step() ? static_cast<double>(sqlite3_column_int64(covered.Get(), 0)) / keys : 1;
}

// A table's statistics as sqlite_stat1 holds them: per index (empty for
// the table itself, when it has none) the rows, then the rows per key of each
// prefix of its columns.
using CTableStatistics = QMap<QString, QString>;

CTableStatistics storedOf(sqlite3* db, const QString& table)
{
    CTableStatistics stored;
    CStatement rows(db, QStringLiteral("select idx, stat from main.sqlite_stat1 where tbl = ?1"));
    if (!rows.IsValid())
        return stored;
    rows.BindText(1, table);
    while (rows.Step())
        stored.insert(rows.Text(0), rows.Text(1));
    return stored;
}

// The statistics of a table from its counted rows and, per index, the rows
// per key among its first keys.
CTableStatistics sampledOf(sqlite3* db, const QString& table, long long rows)
{
    CTableStatistics sampled;
    const QVector<IndexColumns> indexes = indexesOf(db, table);
    if (indexes.isEmpty())
        sampled.insert(QString(), QString::number(rows));
    for (const IndexColumns& index : indexes) {
        QStringList stat{QString::number(rows)};
        double previous = static_cast<double>(rows);
        for (int n = 1; n <= index.columns.size(); ++n) {
            // A longer prefix never has more rows per key than a shorter one.
            previous = std::min(previous, rowsPerKey(db, table, index.columns.mid(0, n), rows));
            stat << QString::number(std::max<long long>(1, std::llround(std::ceil(previous))));
        }
        sampled.insert(index.name, stat.join(u' '));
    }
    return sampled;
}

// Whether stored statistics still describe a table: the same indexes, the
// rows within a quarter, the rows per key within a factor of two.
bool describes(const CTableStatistics& stored, const CTableStatistics& sampled)
{
    if (stored.keys() != sampled.keys())
        return false;
    for (auto it = sampled.cbegin(); it != sampled.cend(); ++it) {
        const QStringList now = it.value().split(u' ');
        const QStringList then = stored.value(it.key()).split(u' ');
        if (then.size() < now.size())
            return false;
        for (int i = 0; i < now.size(); ++i) {
            const double a = now[i].toDouble();
            const double b = then[i].toDouble();
            const double slack = i == 0 ? 1.25 : 2.0;
            if (b <= 0 || a > b * slack || b > a * slack)
                return false;
        }
    }
    return true;
}

bool write(sqlite3* db, const QString& table, const CTableStatistics& statistics)
{
    CStatement remove(db, QStringLiteral("delete from main.sqlite_stat1 where tbl = ?1"));
    CStatement insert(db, QStringLiteral("insert into main.sqlite_stat1 (tbl, idx, stat) values (?1, ?2, ?3)"));
    if (!remove.IsValid() || !insert.IsValid())
        return false;
    remove.BindText(1, table);
    if (sqlite3_step(remove.Get()) != SQLITE_DONE)
        return false;
    for (auto it = statistics.cbegin(); it != statistics.cend(); ++it) {
        sqlite3_reset(insert.Get());
        insert.BindText(1, table);
        if (it.key().isEmpty())
            sqlite3_bind_null(insert.Get(), 2);
        else
            insert.BindText(2, it.key());
        insert.BindText(3, it.value());
        if (sqlite3_step(insert.Get()) != SQLITE_DONE)
            return false;
    }
    return true;
}

} // namespace

void Gather(sqlite3* db)
{
    if (!db || !sqlite3_get_autocommit(db))
        return;
    if (!exec(db, QStringLiteral("PRAGMA analysis_limit=0")) || !exec(db, QStringLiteral("BEGIN IMMEDIATE")))
        return;
    QStringList tables;
    {
        CStatement list(db, QStringLiteral("select name from main.sqlite_schema where type = 'table' and name not "
                                           "like 'sqlite\\_%' escape '\\'"));
        while (list.Step())
            tables << list.Text(0);
    }
    bool ok = true;
    for (const QString& table : tables) {
        const long long rows = rowsOf(db, table);
        if (rows <= 0)
            continue; // no rows to describe
        const CTableStatistics sampled = sampledOf(db, table, rows);
        if (describes(storedOf(db, table), sampled))
            continue;
        if (rows <= kSmallTableRows) {
            ok = exec(db, QStringLiteral("ANALYZE main.") + quoted(table));
        } else {
            // The statistics table exists once anything was analysed.
            ok = exec(db, QStringLiteral("ANALYZE main.sqlite_schema")) && write(db, table, sampled);
        }
        if (!ok)
            break;
    }
    exec(db, ok ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
}

} // namespace KvPlannerStatistics
