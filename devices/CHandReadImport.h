#pragma once

#include <QDateTime>
#include <QString>

class QObject;

// Copies the readings that the meter reader's tool left in the dBASE table
// ReadCB of the program folder into the staging table HandReadRaw, one row a
// reading: every row with a reading time or, when one cannot be staged, none.
class CHandReadImport
{
public:
    static QString TableName() { return QStringLiteral("ReadCB"); }
    // Removes the exchange table before an upload (see RemoveExchangeTable).
    static void RemoveExchangeTable();

    // False after "无法读取抄表数据！" when the tables cannot be opened, and
    // false without a message when the table has no row. A missing table
    // throws. A figure that is no number or a failing insert throws with
    // nothing staged and names the copy of the table that is kept
    // (StageExchangeUpload). Rows of meter "0" are skipped; rows whose reading
    // time cannot be built are not staged and are named in one message.
    static bool ImportReadings(QObject* parent);

    // The reading time of a DATETIM text "yy-mm-dd hh:mm" (any separators at
    // characters 3, 6 and 9): "20yy-mm-dd hh:mm:00". Invalid when the text
    // is shorter than fourteen characters or the built time does not parse.
    static QDateTime ParseReadTime(const QString& text);
    // Strict conversions of the numeric fields: a blank or non-numeric text
    // throws a text naming the column and the (1-based) row.
    static int ToInteger(const QString& text, const QString& column, int row);
    static double ToNumber(const QString& text, const QString& column, int row);
};
