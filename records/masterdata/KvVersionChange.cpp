#include "KvVersionChange.h"

#include "KvRowWrite.h"
#include "KvSql.h"

void KvCloseVersionRow(const QString& table, const QString& keyColumn, int key, const QDateTime& endDate,
                       const QString& operatorNo, const QDateTime& modiTime, const QString& errorText,
                       const QString& noRowText)
{
    KvExecuteRowChange(KvFormatSql(QStringLiteral("update %s set EndDate = CDate('%s'), OperatorNo = '%s', "
                                                  "\t\t\tModiTime = CDate('%s') where %s = %d"),
                                   table, KvDateText(endDate.date()), operatorNo, KvDateText(modiTime), keyColumn, key),
                       errorText, noRowText);
}
