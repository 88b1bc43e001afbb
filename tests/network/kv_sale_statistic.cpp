// Runs a whole-file sale statistic as a counter's statistics dialog does, for
// the test of two counters asking at once:
//   kv_sale_statistic <connect string> <grouping>
// Writes each row a line, its cells separated by tabs (a real to six places,
// NULL as "<null>"); exits 1 on a failure.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvSaleQuerySql.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kv_sale_statistic connect-string grouping\n");
        return 2;
    }
    try {
        CAdoConnection db;
        db.Open(1, args[1]);
        CSaleStatCondition condition;
        condition.m_grouping = args[2].toInt();
        CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
        rs->Open(SaleStatSql(condition));
        QTextStream out(stdout);
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList cells;
            for (int c = 0; c < rs->GetFieldCount(); ++c) {
                const QVariant value = rs->GetFieldValue(c);
                cells << (value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'f', 6)
                          : value.isNull()                    ? QStringLiteral("<null>")
                                                              : value.toString());
            }
            out << cells.join(u'\t') << '\n';
        }
    } catch (const CKvException& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
