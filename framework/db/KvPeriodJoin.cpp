#include "KvPeriodJoin.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVector>

namespace {

struct FromItem
{
    QString table;
    QString alias;
};

// The tables of a counter's file that grow with the years, in the order one
// of them is preferred to lead.
const QStringList& growingTables()
{
    static const QStringList tables{QStringLiteral("WrtRecord"), QStringLiteral("ClientPay"), QStringLiteral("FixFee"),
                                    QStringLiteral("SubRead"), QStringLiteral("HandRead")};
    return tables;
}

// Columns that name one household, one meter or one sub-meter.
bool isHouseholdColumn(const QString& column)
{
    for (const char* name : {"ClientNo", "MeterNo", "SubNo"})
        if (column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int growingRank(const QString& table)
{
    const QStringList& tables = growingTables();
    for (int i = 0; i < tables.size(); ++i)
        if (tables[i].compare(table, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Whether the text at `at` starts a term of the where's "and" chain.
bool startsAndTerm(const QString& sql, qsizetype at)
{
    static const QRegularExpression before(QStringLiteral(R"(\b(where|and)\s*$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const qsizetype from = qMax<qsizetype>(0, at - 12);
    return before.match(sql.mid(from, at - from)).hasMatch();
}

// A literal condition "x.Col = 'text'", "x.Col = 12" or "x.Col like 'prefix%'".
struct LiteralTerm
{
    QString alias;
    QString column;
};

QVector<LiteralTerm> literalTerms(const QString& sql, qsizetype whereEnd)
{
    static const QRegularExpression literal(
        QStringLiteral(R"(\b(\w+)\.(\w+)\s*(=|\blike\b)\s*('(?:[^']|'')*'|-?\d+(?:\.\d+)?(?![\w.])))"),
        QRegularExpression::CaseInsensitiveOption);
    QVector<LiteralTerm> terms;
    for (auto it = literal.globalMatch(sql, whereEnd); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!startsAndTerm(sql, m.capturedStart()))
            continue;
        const QString value = m.captured(4);
        // A like narrows only by a prefix that starts with no wildcard.
        if (m.captured(3).compare(QLatin1String("like"), Qt::CaseInsensitive) == 0 &&
            (!value.startsWith(u'\'') || value.size() < 3 || value[1] == u'%' || value[1] == u'_'))
            continue;
        terms.push_back(LiteralTerm{m.captured(1), m.captured(2)});
    }
    return terms;
}

int itemOfAlias(const QVector<FromItem>& items, const QString& alias)
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].alias.compare(alias, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The from-list position of the table that leads, or -1 for none.
int leadingItem(const QString& sql, qsizetype whereEnd, const QVector<FromItem>& items,
                const std::function<bool(const QString&, const QString&)>& leadsIndex, bool* narrowed)
{
    *narrowed = true;
    const QVector<LiteralTerm> terms = literalTerms(sql, whereEnd);
    const auto indexed = [&](const LiteralTerm& t, int* item) {
        *item = itemOfAlias(items, t.alias);
        return *item >= 0 && leadsIndex(items[*item].table, t.column);
    };
    for (const LiteralTerm& t : terms) {
        int item = -1;
        if (isHouseholdColumn(t.column) && indexed(t, &item))
            return item;
    }

    static const QRegularExpression period(
        QStringLiteral(R"(\b(\w+)\.(\w+)\s*>=\s*CDate\('[^']*'\)\s+and\s+\1\.\2\s*<=?\s*CDate\('[^']*'\))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch range = period.match(sql, whereEnd);
    if (range.hasMatch()) {
        const int item = itemOfAlias(items, range.captured(1));
        if (item >= 0 && leadsIndex(items[item].table, range.captured(2)))
            return item;
    }

    *narrowed = false;
    int narrowedGrowing = -1;
    for (const LiteralTerm& t : terms) {
        int item = -1;
        if (!indexed(t, &item))
            continue;
        if (growingRank(items[item].table) < 0)
            return -1; // another table is narrowed: the planner sees that as well as we do
        if (narrowedGrowing < 0)
            narrowedGrowing = item;
    }
    if (narrowedGrowing >= 0)
        return narrowedGrowing;
    int best = -1;
    for (int i = 0; i < items.size(); ++i) {
        const int rank = growingRank(items[i].table);
        if (rank >= 0 && (best < 0 || rank < growingRank(items[best].table)))
            best = i;
    }
    return best;
}

} // namespace

QString KvLeadingTableFirst(const QString& sql,
                            const std::function<bool(const QString& table, const QString& column)>& leadsIndex)
{
    static const QRegularExpression fromWord(QStringLiteral(R"(\sfrom\s)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression whereWord(QStringLiteral(R"(\swhere\s)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression selectWord(QStringLiteral(R"(\bselect\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    // One select only: a sub-select may hold a from list of its own.
    if (sql.count(selectWord) != 1)
        return sql;
    const QRegularExpressionMatch from = fromWord.match(sql);
    if (!from.hasMatch())
        return sql;
    const QRegularExpressionMatch where = whereWord.match(sql, from.capturedEnd());
    if (!where.hasMatch())
        return sql;

    static const QRegularExpression item(QStringLiteral(R"(^\s*(\w+)\s+(\w+)\s*$)"));
    static const QRegularExpression joinWord(QStringLiteral(R"(\b(join|on|as)\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
    QVector<FromItem> items;
    const QString list = sql.mid(from.capturedEnd(), where.capturedStart() - from.capturedEnd());
    for (const QString& piece : list.split(u',')) {
        const QRegularExpressionMatch m = item.match(piece);
        if (!m.hasMatch() || joinWord.match(piece).hasMatch())
            return sql;
        items.push_back(FromItem{m.captured(1), m.captured(2)});
    }
    if (items.size() < 2)
        return sql;
    bool narrowed = false;
    const int first = leadingItem(sql, where.capturedEnd(), items, leadsIndex, &narrowed);
    if (first < 0)
        return sql;

    // Which aliases a predicate "x.A = y.B" joins.
    static const QRegularExpression equality(QStringLiteral(R"(\b(\w+)\.\w+\s*=\s*(\w+)\.\w+\b)"));
    QVector<QPair<QString, QString>> joins;
    for (auto it = equality.globalMatch(sql, where.capturedEnd()); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        joins.push_back({m.captured(1).toLower(), m.captured(2).toLower()});
    }
    const auto joined = [&](const QString& a, const QStringList& placed) {
        for (const auto& j : joins)
            if ((j.first == a && placed.contains(j.second)) || (j.second == a && placed.contains(j.first)))
                return true;
        return false;
    };

    QVector<FromItem> order{items[first]};
    QStringList placed{items[first].alias.toLower()};
    items.removeAt(first);
    while (!items.isEmpty()) {
        int next = 0;
        for (int i = 0; i < items.size(); ++i)
            if (joined(items[i].alias.toLower(), placed)) {
                next = i;
                break;
            }
        order.push_back(items[next]);
        placed << items[next].alias.toLower();
        items.removeAt(next);
    }
    QStringList written;
    for (const FromItem& f : order)
        written << f.table + u' ' + f.alias;
    QString tail = sql.mid(where.capturedStart());
    if (narrowed) {
        // The few rows of a household or a period are sorted once read; an
        // index that gives the order would walk the whole table instead.
        static const QRegularExpression orderBy(
            QStringLiteral(
                R"(\sorder\s+by\s+((?:\w+\.\w+(?:\s+(?:asc|desc))?\s*,\s*)*\w+\.\w+(?:\s+(?:asc|desc))?)\s*$)"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = orderBy.match(tail);
        if (m.hasMatch()) {
            static const QRegularExpression term(QStringLiteral(R"(\b(\w+\.\w+))"));
            QString terms = m.captured(1);
            terms.replace(term, QStringLiteral("+\\1"));
            tail = tail.left(m.capturedStart(1)) + terms + tail.mid(m.capturedEnd(1));
        }
    }
    return sql.left(from.capturedEnd()) + written.join(QStringLiteral(" cross join ")) + tail;
}
