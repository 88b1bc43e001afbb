#pragma once

#include <QDateTime>
#include <QString>

class QObject;

// Copies the sales that the sale machine's tool left in the dBASE table
// ReadTempA of the program folder into the staging table HandRaw, one row a
// sale: every row or, when one cannot be staged, none.
class CHandSaleImport
{
public:
    static QString TableName() { return QStringLiteral("ReadTempA"); }
    // The exchange table in the program folder.
    static QString TablePath();
    // Removes the exchange table before an upload: a tool that wrote none
    // must not leave the sales of an earlier upload to be imported again.
    static void RemoveExchangeTable();

    // False after "无法读取售电数据！" when the tables cannot be opened, and
    // false without a message when the table has no row. A missing or
    // unreadable table throws. A figure out of range (named by row and column)
    // or a failing insert throws with nothing staged and names the copy of the
    // table that is kept (StageExchangeUpload). Rows of meter "0" are skipped;
    // rows whose write time is no valid date-time are staged with the time of
    // the upload and named in one message.
    static bool ImportSales(QObject* parent);

    // The conversions of the exchange table's texts: the leading integer or
    // decimal number (0 when there is none), and the write time from its
    // fourteen digits yyyymmddhhmmss (invalid for anything else). A number
    // beyond the range of its type clears `inRange` (an integer is clamped, a
    // decimal number gives 0).
    static int LeadingInteger(const QString& text, bool* inRange = nullptr);
    static double LeadingNumber(const QString& text, bool* inRange = nullptr);
    static QDateTime ParseOperDate(const QString& text);
};
