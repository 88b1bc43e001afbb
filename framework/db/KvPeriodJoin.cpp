#include "KvPeriodJoin.h"

#include "KvSqlText.h"

#include <QRegularExpression>
#include <QSet>
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

// Tables that hold a row (or a few versions of one) per household, meter or
// sub-meter: a literal that narrows one of them through an index reaches the
// sales of a few households, not of a district or a price.
bool isHouseholdTable(const QString& table)
{
    for (const char* name : {"Client", "CliPre", "CliSub", "CliFix", "CliBalance", "PreLastWrt"})
        if (table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A user's name: the users are few beside their sales, so a name finds its
// users by reading them, index or not.
bool isUserNameColumn(const QString& table, const QString& column)
{
    return table.compare(QLatin1String("Client"), Qt::CaseInsensitive) == 0 &&
           column.compare(QLatin1String("ClientName"), Qt::CaseInsensitive) == 0;
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
    bool equality;
    QString text;
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
        terms.push_back(LiteralTerm{m.captured(1), m.captured(2), m.captured(3) == u'=', m.captured(0)});
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

// The from-list position of the table that leads, or -1 for none; what
// narrows it, when something does, in `narrowing`.
int leadingItem(const QString& sql, qsizetype whereEnd, const QVector<FromItem>& items,
                const std::function<bool(const QString&, const QString&)>& leadsIndex, QString* narrowing)
{
    const QVector<LiteralTerm> terms = literalTerms(sql, whereEnd);
    const auto indexed = [&](const LiteralTerm& t, int* item) {
        *item = itemOfAlias(items, t.alias);
        return *item >= 0 && leadsIndex(items[*item].table, t.column);
    };
    for (const LiteralTerm& t : terms) {
        int item = -1;
        if (indexed(t, &item) && (isHouseholdColumn(t.column) || isHouseholdTable(items[item].table))) {
            *narrowing = t.text;
            return item;
        }
    }
    for (const LiteralTerm& t : terms) {
        const int item = itemOfAlias(items, t.alias);
        if (item >= 0 && t.equality && isUserNameColumn(items[item].table, t.column)) {
            *narrowing = t.text;
            return item;
        }
    }

    static const QRegularExpression period(
        QStringLiteral(R"(\b(\w+)\.(\w+)\s*>=\s*CDate\('[^']*'\)\s+and\s+\1\.\2\s*<=?\s*CDate\('[^']*'\))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch range = period.match(sql, whereEnd);
    if (range.hasMatch()) {
        const int item = itemOfAlias(items, range.captured(1));
        if (item >= 0 && leadsIndex(items[item].table, range.captured(2))) {
            *narrowing = range.captured(0);
            return item;
        }
    }

    // A table that grows with the years leads, read through a literal
    // condition on one of its indexes where there is one. A condition on a
    // code table (a price, a district, an operator) still reaches the sales
    // of many households: led from that table, SQLite would search the sales
    // again for each of its rows.
    for (const LiteralTerm& t : terms) {
        int item = -1;
        if (indexed(t, &item) && growingRank(items[item].table) >= 0) {
            *narrowing = t.text;
            return item;
        }
    }
    // Without an index, a literal condition on the payments (or fees,
    // readings) keeps them in front: each reaches its sale by the sale's own
    // key, where a sale would search them through an index of theirs. The
    // table is read whole all the same.
    int narrowedLast = -1;
    for (const LiteralTerm& t : terms) {
        const int item = itemOfAlias(items, t.alias);
        if (item >= 0 && growingRank(items[item].table) >= 0 &&
            (narrowedLast < 0 || growingRank(items[item].table) > growingRank(items[narrowedLast].table)))
            narrowedLast = item;
    }
    if (narrowedLast >= 0)
        return narrowedLast;
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
                            const std::function<bool(const QString& table, const QString& column)>& leadsIndex,
                            KvLead* lead, const QString& leadAlias)
{
    if (lead)
        *lead = KvLead();
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
    // The literal equalities on the first household table that has any.
    QString householdAlias;
    QStringList householdTerms;
    for (const LiteralTerm& t : literalTerms(sql, where.capturedEnd())) {
        const int item = itemOfAlias(items, t.alias);
        if (item < 0 || !t.equality || !isHouseholdTable(items[item].table) ||
            (!householdAlias.isEmpty() && householdAlias.compare(t.alias, Qt::CaseInsensitive) != 0))
            continue;
        householdAlias = items[item].alias;
        householdTerms << t.text;
    }
    QString narrowing;
    int first = -1;
    if (leadAlias.isEmpty()) {
        first = leadingItem(sql, where.capturedEnd(), items, leadsIndex, &narrowing);
    } else if (leadAlias.compare(householdAlias, Qt::CaseInsensitive) == 0) {
        first = itemOfAlias(items, leadAlias);
        narrowing = householdTerms.join(QStringLiteral(" and "));
    }
    if (first < 0)
        return sql;
    if (lead) {
        *lead = KvLead{items[first].table, items[first].alias, narrowing, growingRank(items[first].table) >= 0};
        if (lead->growing && narrowing.isEmpty() && !householdAlias.isEmpty()) {
            lead->householdTable = items[itemOfAlias(items, householdAlias)].table;
            lead->householdAlias = householdAlias;
            lead->householdTerms = householdTerms.join(QStringLiteral(" and "));
        }
    }
    const bool narrowed = !narrowing.isEmpty();

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

namespace {

QSet<QString> aliasesOf(const QVector<KvColumnRef>& refs)
{
    QSet<QString> set;
    for (const KvColumnRef& r : refs)
        set.insert(r.alias);
    return set;
}

// One group of tables read once: its aliases (lower case), the name of its
// expression and the columns it hands on, by "alias.column" in lower case.
struct TableGroup
{
    QSet<QString> aliases;
    QString name;
    QStringList exported;
    QStringList exportedAs;

    QString columnName(const KvColumnRef& r)
    {
        const QString key = r.alias + u'.' + r.column.toLower();
        qsizetype at = exported.indexOf(key);
        if (at < 0) {
            exported << key;
            exportedAs << r.alias + u'.' + r.column;
            at = exported.size() - 1;
        }
        return QStringLiteral("%1_%2").arg(r.alias, exported[at].section(u'.', 1));
    }
};

// `text` with every reference to a group's column read from the group.
QString readFromGroup(const QString& text, const QStringList& aliases, TableGroup& group)
{
    QString out = text;
    const QVector<KvColumnRef> refs = KvColumnRefs(text, aliases);
    for (auto r = refs.crbegin(); r != refs.crend(); ++r)
        if (group.aliases.contains(r->alias))
            out.replace(r->start, r->length, group.name + u'.' + group.columnName(*r));
    return out;
}

} // namespace

QString KvDimensionTablesOnce(const QString& sql,
                              const std::function<bool(const QString& table, const QString& column)>& isUniqueKey,
                              KvOnceForm form, QStringList* onceTables)
{
    static const QRegularExpression selectFrom(QStringLiteral(R"(^\s*select\s+(.*?)\s+from\s+(.*?)\s+where\s+)"),
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression selectWord(QStringLiteral(R"(\bselect\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (sql.count(selectWord) != 1)
        return sql;
    const QRegularExpressionMatch head = selectFrom.match(sql);
    if (!head.hasMatch())
        return sql;
    static const QRegularExpression crossJoin(QStringLiteral(R"(\s+cross\s+join\s+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression itemRe(QStringLiteral(R"(^(\w+)\s+(\w+)$)"));
    QVector<FromItem> items;
    QStringList aliases;
    for (const QString& piece : head.captured(2).split(crossJoin)) {
        const QRegularExpressionMatch m = itemRe.match(piece.trimmed());
        if (!m.hasMatch())
            return sql;
        items.push_back(FromItem{m.captured(1), m.captured(2)});
        aliases << m.captured(2).toLower();
    }
    if (items.size() < 3 || growingRank(items.first().table) < 0)
        return sql;

    // The where's terms, up to the grouping or order.
    const QVector<int> depth = KvSqlNesting(sql);
    static const QRegularExpression after(QStringLiteral(R"(\s(group\s+by|order\s+by|having|limit)\s)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch end = KvTopLevelMatch(sql, depth, after, head.capturedEnd());
    const qsizetype whereEnd = end.hasMatch() ? end.capturedStart() : sql.size();
    const QString conditions = sql.mid(head.capturedEnd(), whereEnd - head.capturedEnd());
    static const QRegularExpression unsafe(QStringLiteral(R"(\b(between|or|select)\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (KvTopLevelMatch(conditions, KvSqlNesting(conditions), unsafe, 0).hasMatch())
        return sql;
    static const QRegularExpression andWord(QStringLiteral(R"(\s+and\s+)"), QRegularExpression::CaseInsensitiveOption);
    const QStringList terms = KvSplitTopLevel(conditions, andWord);
    QVector<QSet<QString>> termAliases;
    for (const QString& term : terms)
        termAliases.push_back(aliasesOf(KvColumnRefs(term, aliases)));

    // Which tables hold rows per sale: the lead, a table reached through
    // the unique key of one of them (the price shares through the sale's
    // number) and a growing table reached through its own unique key (the
    // sale from its payment). A table reached from them through its own
    // unique key starts a group.
    const QString lead = aliases.first();
    static const QRegularExpression equality(QStringLiteral(R"(^(\w+)\.(\w+)\s*=\s*(\w+)\.(\w+)$)"));
    const auto tableOf = [&](const QString& alias) { return items[aliases.indexOf(alias)].table; };
    struct Join
    {
        QString from, fromColumn, to, toColumn;
    };
    QVector<Join> joins; // each equality between two tables, both ways
    for (const QString& term : terms) {
        const QRegularExpressionMatch m = equality.match(term);
        if (!m.hasMatch())
            continue;
        const QString a = m.captured(1).toLower();
        const QString b = m.captured(3).toLower();
        if (a == b || !aliases.contains(a) || !aliases.contains(b))
            continue;
        joins.push_back(Join{a, m.captured(2), b, m.captured(4)});
        joins.push_back(Join{b, m.captured(4), a, m.captured(2)});
    }
    QSet<QString> perSale{lead};
    for (bool grew = true; grew;) {
        grew = false;
        for (const Join& j : joins) {
            if (!perSale.contains(j.from) || perSale.contains(j.to))
                continue;
            if (isUniqueKey(tableOf(j.from), j.fromColumn) ||
                (growingRank(tableOf(j.to)) >= 0 && isUniqueKey(tableOf(j.to), j.toColumn))) {
                perSale.insert(j.to);
                grew = true;
            }
        }
    }
    QStringList starts;
    for (const Join& j : joins)
        if (perSale.contains(j.from) && !perSale.contains(j.to) && isUniqueKey(tableOf(j.to), j.toColumn) &&
            !starts.contains(j.to))
            starts << j.to;
    // Tables a term joins to the sales or the rows per sale.
    QSet<QString> nearSales;
    for (const QSet<QString>& set : termAliases)
        if (set.intersects(perSale))
            nearSales.unite(set);

    QVector<TableGroup> groups;
    QSet<QString> grouped;
    for (const QString& start : starts) {
        if (perSale.contains(start) || grouped.contains(start))
            continue;
        TableGroup group;
        group.aliases.insert(start);
        for (bool grew = true; grew;) {
            grew = false;
            for (const QSet<QString>& set : termAliases) {
                if (set.size() < 2 || !set.intersects(group.aliases) || set.intersects(perSale))
                    continue;
                for (const QString& alias : set) {
                    if (group.aliases.contains(alias) || nearSales.contains(alias) || grouped.contains(alias))
                        continue;
                    group.aliases.insert(alias);
                    grew = true;
                }
            }
        }
        bool growing = false;
        for (const QString& alias : group.aliases)
            growing = growing || growingRank(tableOf(alias)) >= 0;
        if (group.aliases.size() < 2 || growing)
            continue;
        grouped.unite(group.aliases);
        for (int n = 1;; ++n) {
            group.name = QStringLiteral("kvonce%1").arg(groups.size() + n);
            if (!aliases.contains(group.name))
                break;
        }
        groups.push_back(group);
    }
    if (groups.isEmpty())
        return sql;

    // The statement with each group read from its expression.
    QStringList outerTerms;
    QVector<QStringList> groupTerms(groups.size());
    for (int t = 0; t < terms.size(); ++t) {
        int inGroup = -1;
        for (int g = 0; g < groups.size(); ++g)
            if (!termAliases[t].isEmpty() && groups[g].aliases.contains(termAliases[t]))
                inGroup = g;
        if (inGroup >= 0)
            groupTerms[inGroup] << terms[t];
        else
            outerTerms << terms[t];
    }
    const auto fromGroups = [&](QString text) {
        for (TableGroup& group : groups)
            text = readFromGroup(text, aliases, group);
        return text;
    };
    // Every select item keeps the name it had: a bare reference its column's,
    // an expression without a name its text. A "*" would read the
    // expression's columns in place of the tables': such a statement stays.
    static const QRegularExpression bareRef(QStringLiteral(R"(^(\w+)\.(\w+)$)"));
    static const QRegularExpression comma(QStringLiteral(R"(\s*,\s*)"));
    static const QRegularExpression named(QStringLiteral(R"(\sas\s+\w+$)"), QRegularExpression::CaseInsensitiveOption);
    // A leading "distinct" belongs to the whole list, not to its first item.
    static const QRegularExpression quantifier(QStringLiteral(R"(^(distinct|all)\s+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString selectList = head.captured(1);
    const QRegularExpressionMatch quantified = quantifier.match(selectList);
    const QString selectPrefix = quantified.hasMatch() ? quantified.captured(0) : QString();
    selectList.remove(0, selectPrefix.size());
    QStringList selectItems = KvSplitTopLevel(selectList, comma);
    for (QString& item : selectItems) {
        if (item.contains(u'*') && !item.contains(u'('))
            return sql;
        const QString written = item;
        item = fromGroups(item);
        if (item == written || named.match(written).hasMatch())
            continue;
        const QRegularExpressionMatch m = bareRef.match(written);
        item += QStringLiteral(" as ") +
                (m.hasMatch() ? m.captured(2) : u'"' + QString(written).replace(u'"', QStringLiteral("\"\"")) + u'"');
    }
    for (QString& term : outerTerms)
        term = fromGroups(term);
    const QString rest = fromGroups(sql.mid(whereEnd));

    QStringList with;
    QStringList outerFrom;
    for (int g = 0; g < groups.size(); ++g) {
        TableGroup& group = groups[g];
        QStringList from;
        for (const FromItem& item : items)
            if (group.aliases.contains(item.alias.toLower()))
                from << item.table + u' ' + item.alias;
        QStringList columns;
        for (int i = 0; i < group.exported.size(); ++i)
            columns << group.exportedAs[i] + QStringLiteral(" as ") + group.exported[i].section(u'.', 0, 0) + u'_' +
                           group.exported[i].section(u'.', 1);
        QString body = QStringLiteral("select ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
                       from.join(QStringLiteral(" cross join "));
        if (!groupTerms[g].isEmpty())
            body += QStringLiteral(" where ") + groupTerms[g].join(QStringLiteral(" and "));
        with << group.name +
                    (form == KvOnceForm::Materialized ? QStringLiteral(" as materialized (")
                                                      : QStringLiteral(" as not materialized (")) +
                    body + u')';
    }
    for (const FromItem& item : items) {
        const QString alias = item.alias.toLower();
        int inGroup = -1;
        for (int g = 0; g < groups.size(); ++g)
            if (groups[g].aliases.contains(alias))
                inGroup = g;
        if (inGroup < 0)
            outerFrom << item.table + u' ' + item.alias;
        else if (!outerFrom.contains(groups[inGroup].name))
            outerFrom << groups[inGroup].name;
    }
    if (onceTables) {
        onceTables->clear();
        for (const FromItem& item : items)
            for (const TableGroup& group : groups)
                if (group.aliases.contains(item.alias.toLower()))
                    *onceTables << item.table;
    }
    QString out = QStringLiteral("with ") + with.join(QStringLiteral(", ")) + QStringLiteral(" select ") +
                  selectPrefix + selectItems.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
                  outerFrom.join(QStringLiteral(" cross join "));
    if (!outerTerms.isEmpty())
        out += QStringLiteral(" where ") + outerTerms.join(QStringLiteral(" and "));
    return out + rest;
}
