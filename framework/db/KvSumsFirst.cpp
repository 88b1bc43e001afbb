#include "KvSumsFirst.h"

#include "KvSqlText.h"

#include <QSet>

namespace {

struct Parts
{
    QString withList;      // "kvonce1 as not materialized (…), …"
    QStringList onceNames; // lower case
    QStringList selectItems;
    QStringList fromItems;
    QStringList terms;
    QStringList grouping;
};

// The statement KvDimensionTablesOnce writes, cut at its top-level words;
// false for any other shape.
bool cut(const QString& sql, Parts& parts)
{
    static const QRegularExpression withWord(QStringLiteral(R"(^\s*with\s+)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch with = withWord.match(sql);
    if (!with.hasMatch())
        return false;
    const QVector<int> depth = KvSqlNesting(sql);
    // The main select's words, each after the one before.
    static const char* const words[] = {R"(\sselect\s)", R"(\sfrom\s)", R"(\swhere\s)", R"(\sgroup\s+by\s)"};
    QRegularExpressionMatch at[4];
    qsizetype after = with.capturedEnd();
    for (int i = 0; i < 4; ++i) {
        const QRegularExpression word(QString::fromLatin1(words[i]), QRegularExpression::CaseInsensitiveOption);
        at[i] = KvTopLevelMatch(sql, depth, word, after);
        if (!at[i].hasMatch())
            return false;
        after = at[i].capturedEnd();
    }
    const auto& [select, from, where, group] = at;
    const QString grouping = sql.mid(group.capturedEnd());
    static const QRegularExpression columnList(QStringLiteral(R"(^\s*\w+\.\w+(\s*,\s*\w+\.\w+)*\s*$)"));
    if (!columnList.match(grouping).hasMatch())
        return false; // a having, an order, a limit, an expression

    static const QRegularExpression comma(QStringLiteral(R"(\s*,\s*)"));
    static const QRegularExpression crossJoin(QStringLiteral(R"(\s+cross\s+join\s+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression andWord(QStringLiteral(R"(\s+and\s+)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression onceHead(QStringLiteral(R"(^(\w+)\s+as\s+(not\s+)?materialized\s*\()"),
                                             QRegularExpression::CaseInsensitiveOption);
    parts.withList = sql.mid(with.capturedEnd(), select.capturedStart() - with.capturedEnd()).trimmed();
    for (const QString& once : KvSplitTopLevel(parts.withList, comma)) {
        const QRegularExpressionMatch m = onceHead.match(once);
        if (!m.hasMatch())
            return false;
        parts.onceNames << m.captured(1).toLower();
    }
    parts.selectItems =
        KvSplitTopLevel(sql.mid(select.capturedEnd(), from.capturedStart() - select.capturedEnd()), comma);
    parts.fromItems =
        sql.mid(from.capturedEnd(), where.capturedStart() - from.capturedEnd()).trimmed().split(crossJoin);
    const QString conditions = sql.mid(where.capturedEnd(), group.capturedStart() - where.capturedEnd());
    static const QRegularExpression orWord(QStringLiteral(R"(\bor\b)"), QRegularExpression::CaseInsensitiveOption);
    if (KvTopLevelMatch(conditions, KvSqlNesting(conditions), orWord, 0).hasMatch())
        return false;
    parts.terms = KvSplitTopLevel(conditions, andWord);
    parts.grouping = grouping.trimmed().split(comma);
    return true;
}

} // namespace

QString KvSumsFirst(const QString& sql,
                    const std::function<bool(const QString& table, const QString& column)>& isUniqueKey,
                    const std::function<bool(const QString& table, const QString& column)>& sumsToBigint)
{
    Parts parts;
    if (!cut(sql, parts))
        return sql;

    // The rows per sale: the from list's tables; the tables read once: its
    // expressions.
    static const QRegularExpression tableItem(QStringLiteral(R"(^(\w+)\s+(\w+)$)"));
    QStringList saleItems;
    QStringList saleTables;
    QStringList saleAliases; // lower case
    QStringList onceRead;
    for (const QString& item : parts.fromItems) {
        const QRegularExpressionMatch m = tableItem.match(item.trimmed());
        if (m.hasMatch()) {
            saleItems << item.trimmed();
            saleTables << m.captured(1);
            saleAliases << m.captured(2).toLower();
        } else if (parts.onceNames.contains(item.trimmed().toLower())) {
            onceRead << item.trimmed();
        } else {
            return sql;
        }
    }
    const QString sums = QStringLiteral("kvsums");
    if (saleAliases.isEmpty() || onceRead.isEmpty() || saleAliases.contains(sums) || parts.onceNames.contains(sums))
        return sql;
    const QStringList all = saleAliases + parts.onceNames;

    // Every grouping column is one of the tables read once.
    QSet<QString> grouping;
    for (const QString& column : parts.grouping) {
        const QVector<KvColumnRef> refs = KvColumnRefs(column, all);
        if (refs.size() != 1 || !parts.onceNames.contains(refs[0].alias))
            return sql;
        grouping.insert(column.toLower());
    }

    // The select list: grouping columns as they are, totals summed twice.
    static const QRegularExpression namedItem(QStringLiteral(R"(^(.*?)\s+as\s+(\w+|"(?:[^"]|"")*")$)"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression countAll(QStringLiteral(R"(^count\s*\(\s*\*\s*\)$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sumOf(QStringLiteral(R"(^sum\s*\(\s*(\w+)\.(\w+)\s*\)$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList innerTotals;
    QStringList outerItems;
    QSet<QString> summed; // the aliases the totals read
    for (const QString& item : parts.selectItems) {
        const QRegularExpressionMatch named = namedItem.match(item);
        const QString expression = named.hasMatch() ? named.captured(1).trimmed() : item;
        if (grouping.contains(expression.toLower())) {
            outerItems << item;
            continue;
        }
        if (!named.hasMatch())
            return sql; // the server would name the total after the outer sum
        const QString total = QStringLiteral("kvsum%1").arg(innerTotals.size() + 1);
        bool toBigint = false;
        if (countAll.match(expression).hasMatch()) {
            toBigint = true;
        } else if (const QRegularExpressionMatch sum = sumOf.match(expression); sum.hasMatch()) {
            const qsizetype at = saleAliases.indexOf(sum.captured(1).toLower());
            if (at < 0)
                return sql;
            toBigint = sumsToBigint(saleTables[at], sum.captured(2));
            summed.insert(saleAliases[at]);
        } else {
            return sql;
        }
        innerTotals << expression + QStringLiteral(" as ") + total;
        const QString again = QStringLiteral("sum(%1.%2)").arg(sums, total);
        outerItems << (toBigint ? QStringLiteral("cast(%1 as bigint)").arg(again) : again) + QStringLiteral(" as ") +
                          named.captured(2);
    }
    if (innerTotals.isEmpty())
        return sql;

    // The aliases each term names.
    QVector<QSet<QString>> termAliases;
    for (const QString& term : parts.terms) {
        QSet<QString> names;
        for (const KvColumnRef& ref : KvColumnRefs(term, all))
            names.insert(ref.alias);
        termAliases.push_back(names);
    }

    // A table of the sales' side that only leads from them to the tables read
    // once, reached by its own key (the price version of a sale's price),
    // moves out with those tables: the sales are then summed per the number
    // that reaches it, not per the text it joins by.
    static const QRegularExpression equality(QStringLiteral(R"(^(\w+)\.(\w+)\s*=\s*(\w+)\.(\w+)$)"));
    QStringList outside = parts.onceNames;
    QStringList bridges;
    for (int t = 1; t < saleAliases.size(); ++t) {
        const QString& alias = saleAliases[t];
        if (summed.contains(alias))
            continue;
        bool reachesOnce = false;
        bool byItsKey = true;
        for (int i = 0; i < parts.terms.size() && byItsKey; ++i) {
            const QSet<QString>& names = termAliases[i];
            if (!names.contains(alias))
                continue;
            bool withOnce = false;
            bool withSale = false;
            for (const QString& name : names) {
                if (name != alias)
                    (parts.onceNames.contains(name) ? withOnce : withSale) = true;
            }
            reachesOnce = reachesOnce || withOnce;
            if (withSale) {
                const QRegularExpressionMatch m = equality.match(parts.terms[i]);
                byItsKey = !withOnce && m.hasMatch() && names.size() == 2 &&
                           isUniqueKey(saleTables[t], m.captured(m.captured(1).toLower() == alias ? 2 : 4));
            }
        }
        if (reachesOnce && byItsKey) {
            bridges << saleItems[t];
            outside << alias;
        }
    }

    // Terms of the rows per sale stay with them; a term that joins them to a
    // table outside becomes a key; terms of the tables outside stay out.
    QStringList innerTerms;
    QStringList outerTerms;
    QStringList keys; // as the rows per sale name them
    QStringList keyTerms;
    for (int i = 0; i < parts.terms.size(); ++i) {
        bool in = false;
        bool out = false;
        for (const QString& name : termAliases[i])
            (outside.contains(name) ? out : in) = true;
        if (!out) {
            innerTerms << parts.terms[i];
            continue;
        }
        if (!in) {
            outerTerms << parts.terms[i];
            continue;
        }
        const QRegularExpressionMatch m = equality.match(parts.terms[i]);
        if (!m.hasMatch() || termAliases[i].size() != 2)
            return sql;
        const bool insideFirst = !outside.contains(m.captured(1).toLower());
        const QString inside =
            insideFirst ? m.captured(1) + u'.' + m.captured(2) : m.captured(3) + u'.' + m.captured(4);
        const QString outsideColumn =
            insideFirst ? m.captured(3) + u'.' + m.captured(4) : m.captured(1) + u'.' + m.captured(2);
        qsizetype key = keys.indexOf(inside);
        if (key < 0) {
            keys << inside;
            key = keys.size() - 1;
        }
        keyTerms << QStringLiteral("%1.kvkey%2 = %3").arg(sums).arg(key + 1).arg(outsideColumn);
    }
    if (keys.isEmpty())
        return sql;

    QStringList innerItems;
    for (int k = 0; k < keys.size(); ++k)
        innerItems << QStringLiteral("%1 as kvkey%2").arg(keys[k]).arg(k + 1);
    QStringList innerFrom;
    for (const QString& item : saleItems)
        if (!bridges.contains(item))
            innerFrom << item;
    QString inner =
        QStringLiteral("select ") + (innerItems + innerTotals).join(QStringLiteral(", ")) + QStringLiteral(" from ");
    inner += innerFrom.join(QStringLiteral(" cross join "));
    if (!innerTerms.isEmpty())
        inner += QStringLiteral(" where ") + innerTerms.join(QStringLiteral(" and "));
    inner += QStringLiteral(" group by ") + keys.join(QStringLiteral(", "));

    return QStringLiteral("with ") + parts.withList + QStringLiteral(", ") + sums + QStringLiteral(" as (") + inner +
           QStringLiteral(") select ") + outerItems.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
           (QStringList{sums} + bridges + onceRead).join(QStringLiteral(" cross join ")) + QStringLiteral(" where ") +
           (keyTerms + outerTerms).join(QStringLiteral(" and ")) + QStringLiteral(" group by ") +
           parts.grouping.join(QStringLiteral(", "));
}
