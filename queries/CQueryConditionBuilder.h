#pragma once

#include "KvSql.h"

#include <QDateTime>
#include <QString>

// Turns the ticked conditions of a condition dialog into the " and " clauses
// that follow a query's fixed where-text, and into the caption that tells the
// reader of the list or report which conditions were applied. Every query's
// condition dialog uses it the same way:
//
//   CQueryConditionBuilder b(QStringLiteral("时期：全期；"));  // the dialog's start text
//   b.AddPeriod(flag, "c.WrtTime", from, to);                  // replaces the start text
//   b.AddText(flag, " and a.ClientNo like '%s%%'", code, "用户代码：", code);
//   b.AddRoom(flag, "a.RoomNo", from, to, "房间：");
//   b.AddIntRange(flag, " and c.BuyValue >= %d and c.BuyValue <= %d", lo, hi, "购电量大于等于%1，且小于等于%2");
//   QString sql = KvFormatSql("select ... where ...%s order by ...", b.Clauses());
//
// Rules shared by the family:
// - a condition counts only when its flag is non-zero; a ticked condition with
//   an empty value still adds its clause (it then compares with '');
// - every clause goes through KvFormatSql, so a value with a quote is compared
//   as typed and never changes the statement;
// - a period is half-open: from the start day at midnight to before the day
//   after the end day, both "CDate('yyyy-MM-dd')"; its caption shows the end
//   day as chosen and replaces the start text;
// - the caption pieces follow in the order of the calls; each piece ends with
//   the separator given (by default "；", an empty text for none), as each
//   dialog's own table of conditions says.
class CQueryConditionBuilder
{
public:
    explicit CQueryConditionBuilder(const QString& startCaption);

    static QString Separator() { return QStringLiteral("；"); }

    // Clause " and <column> >= CDate('from') and <column> < CDate('to + 1')";
    // caption "时期：from 至 to；" in place of the start text.
    void AddPeriod(int on, const QString& column, const QDateTime& from, const QDateTime& to);
    // A clause format with one '%s' for the value; caption label + shown.
    void AddText(int on, const QString& clauseFormat, const QString& value, const QString& label, const QString& shown,
                 const QString& separator = Separator());
    // One room when `to` is empty (" and col = 'from'"), else the inclusive text
    // range; caption label + from, or label + from + " - " + to.
    void AddRoom(int on, const QString& column, const QString& from, const QString& to, const QString& label,
                 const QString& separator = Separator());
    // Two integers from digit edits (text that does not begin with a number is
    // 0); the clause format has two %d, the caption format %1 and %2.
    void AddIntRange(int on, const QString& clauseFormat, const QString& from, const QString& to,
                     const QString& captionFormat, const QString& separator = QString());
    // A clause that takes no value (a choice between fixed clauses) and its piece.
    void AddFixed(int on, const KvSqlFragment& clause, const QString& piece);

    KvSqlFragment Clauses() const { return KvSqlFragment{m_clauses}; }
    QString Caption() const { return (m_periodPiece.isEmpty() ? m_startCaption : m_periodPiece) + m_pieces; }

    // "yyyy-MM-dd", the form of period dates in clauses and captions.
    static QString DayText(const QDateTime& date);
    // The leading integer of a text (0 when it does not begin with one).
    static int LeadingInt(const QString& text);

private:
    QString m_startCaption;
    QString m_periodPiece;
    QString m_clauses;
    QString m_pieces;
};
