// Stand-in of the manual sub-meter entry program, started by the user archive
// as "Velcrist <user code> <operator code>". It gives the user one manual
// meter (a CliMan row) priced by a sub-meter price, so that the archive and
// the price list see the user as having manual meters.
//
//   Velcrist <user> <operator> [<price code>]   adds a manual meter; without a
//                                               price code, the first price
//                                               valid today that is neither an
//                                               electricity nor a quota price
//   Velcrist <user> <operator> --remove         removes the user's manual meters
//
// The database is the main database of the program's own folder, as the
// program opens it (KvMainDatabase.h): work/Qrdb.db, or in the network edition
// the server it names. Each run appends one line to Velcrist.log there.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvException.h"
#include "KvMainDatabase.h"
#include "KvSql.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {

QString firstSubMeterPrice(CAdoConnection& db)
{
    const QString today = KvDateText(QDate::currentDate());
    CAdoLease<CAdoRecordset> rs(db.AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select a.PriceNo from Price a, PriceVer b where a.PriceNo = b.PriceNo and "
                                        "b.BeginDate <= CDate('%s') and b.EndDate >= CDate('%s') and a.PriceType <> "
                                        "'预付费电价' and a.PriceType <> '定额收费价' order by a.PriceNo"),
                         today, today));
    return rs->IsEOF() ? QString() : rs->GetFieldString(QStringLiteral("PriceNo"));
}

QString addManualMeter(CAdoConnection& db, const QString& clientNo, const QString& priceNo)
{
    CAdoTransaction transaction(db);
    // Drawn as the program draws its keys: a read and a separate write would
    // give two counters the same key.
    const int key = db.DrawCounter(QStringLiteral("CliManIndex")) - 1;
    db.Execute(KvFormatSql(QStringLiteral("insert into CliMan(CliManIndex, ClientNo, PriceNo) values(%d, '%s', '%s')"),
                           key, clientNo, priceNo),
               QString());
    transaction.Commit();
    return QStringLiteral("added %1 %2").arg(key).arg(priceNo);
}

void writeLog(const QString& folder, const QString& line)
{
    QFile log(QDir(folder).filePath(QStringLiteral("Velcrist.log")));
    if (log.open(QIODevice::Append | QIODevice::Text))
        QTextStream(&log) << line << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString folder = QCoreApplication::applicationDirPath();
    if (args.size() < 2) {
        std::fputs("usage: Velcrist <user code> <operator code> [<price code> | --remove]\n", stderr);
        return 2;
    }
    const QString clientNo = args.at(0);
    const QString operatorNo = args.at(1);
    const QString option = args.value(2);
    QString result;
    int code = 0;
    try {
        CAdoConnection db;
        KvOpenMainDatabase(db, folder);
        if (option == QStringLiteral("--remove")) {
            const int removed = db.Execute(
                KvFormatSql(QStringLiteral("delete from CliMan where ClientNo = '%s'"), clientNo), QString());
            result = QStringLiteral("removed %1").arg(removed);
        } else {
            result = addManualMeter(db, clientNo, option.isEmpty() ? firstSubMeterPrice(db) : option);
        }
    } catch (const CKvException& e) {
        result = QStringLiteral("ERROR:") + e.text();
        code = 1;
    }
    writeLog(folder, QStringLiteral("Velcrist %1 %2 => %3").arg(clientNo, operatorNo, result));
    std::puts(result.toLocal8Bit().constData());
    return code;
}
