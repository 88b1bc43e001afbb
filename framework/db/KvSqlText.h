#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

// Reading the program's own SQL texts for the rewrites of KvPeriodJoin.h and
// KvSumsFirst.h: where parentheses and string literals begin and end, and
// which "alias.Column" references a text makes.

// For each character of a statement: -1 inside a string literal (quotes
// included), else the depth of parentheses there.
QVector<int> KvSqlNesting(const QString& sql);

// The first match of `re` at `from` or later that starts at the top level.
QRegularExpressionMatch KvTopLevelMatch(const QString& sql, const QVector<int>& depth, const QRegularExpression& re,
                                        qsizetype from);

// Splits a text at the top-level occurrences of `separator`, each piece trimmed.
QStringList KvSplitTopLevel(const QString& text, const QRegularExpression& separator);

struct KvColumnRef
{
    qsizetype start;
    qsizetype length;
    QString alias; // lower case
    QString column;
};

// The "alias.Column" references outside string literals of the given aliases
// (lower case).
QVector<KvColumnRef> KvColumnRefs(const QString& text, const QStringList& aliases);
