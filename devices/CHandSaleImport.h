#pragma once

#include <QDateTime>
#include <QString>

class QObject;

// Copies the sales that the sale machine's tool left in the dBASE table
// ReadTempA of the program folder into the staging table HandRaw, one row a
// sale; rows already copied stay staged when a later one fails.
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
    // false without a message when the table has no row. A missing table or a
    // failing row throws. Rows of meter "0" are skipped; rows whose write time
    // is no valid date-time are not staged and are named in one message.
    static bool ImportSales(QObject* parent);

    // The conversions of the exchange table's texts: the leading integer or
    // decimal number (0 when there is none), and the write time from its
    // fourteen digits yyyymmddhhmmss (invalid for anything else).
    static int LeadingInteger(const QString& text);
    static double LeadingNumber(const QString& text);
    static QDateTime ParseOperDate(const QString& text);
};
