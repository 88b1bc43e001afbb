#include "CQueryConditionBuilder.h"

#include "KvUtil.h"

#include <algorithm>
#include <climits>

CQueryConditionBuilder::CQueryConditionBuilder(const QString& startCaption) : m_startCaption(startCaption) {}

QString CQueryConditionBuilder::DayText(const QDateTime& date)
{
    return date.date().toString(QStringLiteral("yyyy-MM-dd"));
}

int CQueryConditionBuilder::LeadingInt(const QString& text)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    const int digitsStart = i;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
        ++i;
    if (i == digitsStart)
        return 0;
    bool ok = false;
    const long long v = t.left(i).toLongLong(&ok);
    if (!ok)
        return 0;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

void CQueryConditionBuilder::AddPeriod(int on, const QString& column, const QDateTime& from, const QDateTime& to)
{
    if (!on)
        return;
    m_clauses += KvFormatSql(QStringLiteral(" and %s >= CDate('%s') and %s < CDate('%s')"), KvSqlFragment{column},
                             DayText(from), KvSqlFragment{column}, DayText(AddDays(to, 1)));
    m_periodPiece = QStringLiteral("时期：") + DayText(from) + QStringLiteral(" 至 ") + DayText(to) + Separator();
}

void CQueryConditionBuilder::AddText(int on, const QString& clauseFormat, const QString& value, const QString& label,
                                     const QString& shown, const QString& separator)
{
    if (!on)
        return;
    m_clauses += KvFormatSql(clauseFormat, value);
    m_pieces += label + shown + separator;
}

void CQueryConditionBuilder::AddRoom(int on, const QString& column, const QString& from, const QString& to,
                                     const QString& label, const QString& separator)
{
    if (!on)
        return;
    const KvSqlFragment col{column};
    if (to.isEmpty()) {
        m_clauses += KvFormatSql(QStringLiteral(" and %s = '%s'"), col, from);
        m_pieces += label + from + separator;
    } else {
        m_clauses += KvFormatSql(QStringLiteral(" and %s >= '%s' and %s <= '%s'"), col, from, col, to);
        m_pieces += label + from + QStringLiteral(" - ") + to + separator;
    }
}

void CQueryConditionBuilder::AddIntRange(int on, const QString& clauseFormat, const QString& from, const QString& to,
                                         const QString& captionFormat, const QString& separator)
{
    if (!on)
        return;
    const int lo = LeadingInt(from);
    const int hi = LeadingInt(to);
    m_clauses += KvFormatSql(clauseFormat, lo, hi);
    m_pieces += captionFormat.arg(lo).arg(hi) + separator;
}

void CQueryConditionBuilder::AddFixed(int on, const KvSqlFragment& clause, const QString& piece)
{
    if (!on)
        return;
    m_clauses += clause.text;
    m_pieces += piece;
}
