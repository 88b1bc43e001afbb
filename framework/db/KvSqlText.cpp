#include "KvSqlText.h"

QVector<int> KvSqlNesting(const QString& sql)
{
    QVector<int> depth(sql.size());
    bool literal = false;
    int level = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql[i];
        if (ch == u'\'') {
            literal = !literal; // a doubled quote closes and opens again
            depth[i] = -1;
            continue;
        }
        if (literal) {
            depth[i] = -1;
            continue;
        }
        if (ch == u'(')
            ++level;
        depth[i] = level;
        if (ch == u')')
            --level;
    }
    return depth;
}

QRegularExpressionMatch KvTopLevelMatch(const QString& sql, const QVector<int>& depth, const QRegularExpression& re,
                                        qsizetype from)
{
    for (auto it = re.globalMatch(sql, from); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (depth[m.capturedStart()] == 0)
            return m;
    }
    return {};
}

QStringList KvSplitTopLevel(const QString& text, const QRegularExpression& separator)
{
    const QVector<int> depth = KvSqlNesting(text);
    QStringList pieces;
    qsizetype start = 0;
    for (auto it = separator.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (depth[m.capturedStart()] != 0)
            continue;
        pieces << text.mid(start, m.capturedStart() - start).trimmed();
        start = m.capturedEnd();
    }
    pieces << text.mid(start).trimmed();
    return pieces;
}

QVector<KvColumnRef> KvColumnRefs(const QString& text, const QStringList& aliases)
{
    static const QRegularExpression ref(QStringLiteral(R"(\b([A-Za-z_]\w*)\.([A-Za-z_]\w*)\b)"));
    const QVector<int> depth = KvSqlNesting(text);
    QVector<KvColumnRef> refs;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString alias = m.captured(1).toLower();
        if (depth[m.capturedStart()] < 0 || !aliases.contains(alias))
            continue;
        refs.push_back(KvColumnRef{m.capturedStart(), m.capturedLength(), alias, m.captured(2)});
    }
    return refs;
}
