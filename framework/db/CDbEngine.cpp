#include "CDbEngine.h"

#include "CKvException.h"
#include "KvSql.h"

#include <QRegularExpression>

namespace {

// The longest statement text the rows are written into, in UTF-8 bytes: the
// smallest limit SQLite has had as its default (SQLITE_MAX_SQL_LENGTH), far
// below the server's.
constexpr qsizetype kMaxStatementBytes = 1000000;

// A cell written as a literal of the statement's text.
QByteArray literalOf(const CDbResult& rows, const CDbResult::Cell& cell)
{
    switch (cell.type()) {
    case CDbResult::Integer:
        return QByteArray::number(cell.integer);
    case CDbResult::Real: {
        // Copied first: a cell's double sits 4-aligned, and the formatter takes a reference.
        const double real = cell.real;
        return KvFormatSql(QStringLiteral("%f"), real).toUtf8();
    }
    case CDbResult::Text:
        return KvFormatSql(QStringLiteral("'%s'"), rows.text(cell)).toUtf8();
    default:
        return QByteArrayLiteral("null");
    }
}

} // namespace

int CDbEngine::executeForRows(const QString& sql, const CDbResult& rows)
{
    static const QRegularExpression valuesRow(QStringLiteral(R"(\bvalues\s*\(([^()']*)\)\s*;?\s*$)"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = valuesRow.match(sql);
    const int columns = static_cast<int>(rows.columns.size());
    if (!m.hasMatch() || m.captured(1).count(u'?') != columns)
        throw CKvException(QStringLiteral("Sql语句错误！"));
    const QByteArray head = (sql.left(m.capturedStart()) + QStringLiteral("values ")).toUtf8();
    int changed = 0;
    QByteArray statement = head;
    int inStatement = 0;
    for (int row = 0; row < rows.rowCount; ++row) {
        QByteArray text = "(";
        for (int i = 0; i < columns; ++i) {
            if (i > 0)
                text += ", ";
            text += literalOf(rows, rows.cell(row, i));
        }
        text += ')';
        if (inStatement > 0 && statement.size() + 2 + text.size() > kMaxStatementBytes) {
            changed += execute(QString::fromUtf8(statement));
            statement = head;
            inStatement = 0;
        }
        if (inStatement++ > 0)
            statement += ", ";
        statement += text;
    }
    if (inStatement > 0)
        changed += execute(QString::fromUtf8(statement));
    return changed;
}
