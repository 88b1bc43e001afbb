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

} // namespace

QString KvPeriodTableFirst(const QString& sql,
                           const std::function<bool(const QString& table, const QString& column)>& leadsIndex)
{
    static const QRegularExpression period(
        QStringLiteral(R"(\b(\w+)\.(\w+)\s*>=\s*CDate\('[^']*'\)\s+and\s+\1\.\2\s*<=?\s*CDate\('[^']*'\))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch range = period.match(sql);
    if (!range.hasMatch())
        return sql;

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
    if (!where.hasMatch() || range.capturedStart() < where.capturedEnd())
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
    const QString alias = range.captured(1);
    int first = -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i].alias.compare(alias, Qt::CaseInsensitive) == 0)
            first = i;
    if (first < 0 || items.size() < 2 || !leadsIndex(items[first].table, range.captured(2)))
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
    return sql.left(from.capturedEnd()) + written.join(QStringLiteral(" cross join ")) +
           sql.mid(where.capturedStart());
}
