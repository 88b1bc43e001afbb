// The database part of one sale, repeated 1,000 times on a counter of 100,000
// users and 1,000,000 sales (generated once and cached beside the program):
// the pending row with its price shares, the confirmation with the card image
// and two fee links, the payment with the balance and the final state, and
// the receipt number. WAL with synchronous=FULL, as the program runs. Each
// sale is timed through the record classes and, on a second connection, as
// the same statements stepped raw through SQLite; p50 and p99 of both.
#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CClientPay.h"
#include "CFixFee.h"
#include "COperator.h"
#include "CPreLastWrt.h"
#include "CSysPara.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "CurrentOperator.h"
#include "KvSaleGenerator.h"
#include "KvSchema.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kUsers = 100000;
constexpr int kSales = 1000000;
constexpr int kRuns = 1000;

QString cachePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sales_write_1m.db");
}

QString meterOf(int user)
{
    return QStringLiteral("M%1").arg(user, 8, 10, QLatin1Char('0'));
}
QString clientOf(int user)
{
    return QStringLiteral("%1").arg(user, 8, 10, QLatin1Char('0'));
}

// Two unpaid quota fees per sale, as the fee loading would list them.
void addFees(sqlite3* db)
{
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    for (int i = 0; i < 4 * kRuns; ++i) {
        const QByteArray sql = QStringLiteral("insert into FixFee values(%1, 1, 202601, -1, -1, 1, 5, 1, "
                                              "'2026-01-01', '2026-01-31', 31, 5, 5, '2026-02-01', '正常')")
                                   .arg(i + 1)
                                   .toUtf8();
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
}

// One sale through the record classes, as the write sequence runs it.
void saleThroughRecords(int run, CFixFee& fee1, CFixFee& fee2)
{
    const int user = 1 + (run * 7919) % kUsers;
    CPreLastWrt image;
    image.SetMeterNo(meterOf(user));
    CCliBalance balance;
    balance.SetClientNo(clientOf(user));

    CWrtRecord row;
    row.SetMeterNo(meterOf(user));
    row.SetCliPreIndex(user);
    row.SetWrtValue(100);
    row.SetLimitValue(QStringLiteral("800"));
    row.SetWrtNum(2);
    row.SetAccuBuy(250);
    row.SetAccuRemain(150);
    row.SetBuyValue(100);
    row.SetPrice(0.52);
    row.SetFee(52);
    row.SetFixFee(10);
    row.SetOpMode(QStringLiteral("正常充值"));
    CWrtPrice shares[2];
    shares[0].SetPriceIndex(1);
    shares[0].SetPricePercent(80);
    shares[1].SetPriceIndex(3);
    shares[1].SetPricePercent(20);
    row.SetWrtPrices(shares, 2);
    row.Save();

    CAdoConnection& db = *GetMainDatabase();
    {
        CAdoTransaction t1(db);
        row.ConfirmWritten();
        image.UpdateFromWrtRecord(row);
        fee1.SetWrtIndex(row.GetWrtIndex());
        fee2.SetWrtIndex(row.GetWrtIndex());
        t1.Commit();
    }
    CClientPay pay;
    pay.SetPayMode(QStringLiteral("现金"));
    pay.SetWrtIndex(row.GetWrtIndex());
    pay.SetWrtNum(2);
    pay.SetTotFee(62);
    pay.SetRealPay(62);
    {
        CAdoTransaction t2(db);
        pay.Save();
        balance.SetFromClientPay(pay);
        row.ConfirmPaid();
        t2.Commit();
    }
    {
        CAdoTransaction receipt(db);
        const int number = GetMainSysPara()->GetIntPara(QStringLiteral("InvoiceNo"), 1);
        pay.SetInvoiceNo(QString::asprintf("%08d", number));
        pay.SetState(CKvPersistance::StateChanged);
        pay.Save();
        balance.SetFromClientPay(pay);
        receipt.Commit();
    }
}

int counter(sqlite3* db, const char* column)
{
    const QByteArray select = QByteArray("select ") + column + " from SysPara";
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, select.constData(), -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const int value = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    const QByteArray update = QByteArray("update SysPara set ") + column + " = " + QByteArray::number(value + 1);
    sqlite3_exec(db, update.constData(), nullptr, nullptr, nullptr);
    return value;
}

void exec(sqlite3* db, const QString& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", error, qPrintable(sql));
        sqlite3_free(error);
    }
}

// The same statements, raw.
void saleRaw(sqlite3* db, int run, int feeIndex)
{
    const int user = 1 + (run * 7919) % kUsers;
    const QString meter = meterOf(user);
    const QString client = clientOf(user);
    exec(db, QStringLiteral("begin"));
    const int wrtIndex = counter(db, "WrtIndex") + 100000000;
    exec(db, QStringLiteral("insert into WrtRecord(WrtIndex, MeterNo, CliPreIndex, WrtValue, LimitValue, AlarmShold, "
                            "CloseShold, WrtNum, TotalMul, BuyValue, FreeValue, AccuBuy, AccuUse, AccuRemain, LWaste, "
                            "TWaste, Price, Fee, PrePay, SubFee, FixFee, OpMode, State, OperatorNo, WrtTime) "
                            "values(%1, '%2', %3, 100, '800', 30, 20, 2, 1, 100, 0, 250, 0, 150, 0, 0, 0.52, 52, 0, "
                            "0, 10, '正常充值', '待写', 'g1', '2026-12-10 09:30:00')")
                 .arg(wrtIndex)
                 .arg(meter)
                 .arg(user));
    for (int share = 0; share < 2; ++share)
        exec(db, QStringLiteral("insert into WrtPrice(WrtPriceIndex, WrtIndex, PriceIndex, PricePercent) "
                                "values(%1, %2, %3, %4)")
                     .arg(counter(db, "WrtPriceIndex") + 100000000)
                     .arg(wrtIndex)
                     .arg(share ? 3 : 1)
                     .arg(share ? 20 : 80));
    exec(db, QStringLiteral("commit"));

    exec(db, QStringLiteral("begin"));
    exec(db, QStringLiteral("update WrtRecord set State = '写卡成功' where WrtIndex = %1").arg(wrtIndex));
    exec(db, QStringLiteral("update PreLastWrt set WrtIndex = %1, WrtNum = 2, WrtValue = 100, LimitValue = '800', "
                            "AlarmShold = 30, CloseShold = 20, AccuBuy = 250, AccuUse = 0, AccuRemain = 150, "
                            "OpMode = '正常充值', WrtTime = '2026-12-10 09:30:00' where MeterNo = '%2'")
                 .arg(wrtIndex)
                 .arg(meter));
    for (int f = 0; f < 2; ++f)
        exec(db,
             QStringLiteral("update FixFee set WrtIndex = %1 where FeeIndex = %2").arg(wrtIndex).arg(feeIndex + f));
    exec(db, QStringLiteral("commit"));

    exec(db, QStringLiteral("begin"));
    const int payIndex = counter(db, "PayIndex") + 100000000;
    exec(db, QStringLiteral("insert into ClientPay(PayIndex, WrtIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, "
                            "LastBalance, InvoiceNo, State) values(%1, %2, 2, 62, 62, '现金', 0, 0, '', '正常')")
                 .arg(payIndex)
                 .arg(wrtIndex));
    exec(db, QStringLiteral("update CliBalance set PayIndex = %1, WrtNum = 2, TotFee = 62, RealPay = 62, "
                            "PayMode = '现金', ThisBalance = 0, LastBalance = 0, InvoiceNo = '' where ClientNo = '%2'")
                 .arg(payIndex)
                 .arg(client));
    exec(db, QStringLiteral("update WrtRecord set State = '收讫' where WrtIndex = %1").arg(wrtIndex));
    exec(db, QStringLiteral("commit"));

    exec(db, QStringLiteral("begin"));
    const QString number = QString::asprintf("%08d", counter(db, "InvoiceNo"));
    exec(db, QStringLiteral("update ClientPay set InvoiceNo = '%1' where PayIndex = %2").arg(number).arg(payIndex));
    exec(db, QStringLiteral("update CliBalance set InvoiceNo = '%1' where ClientNo = '%2'").arg(number, client));
    exec(db, QStringLiteral("commit"));
}

void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1))]; };
    std::printf("%-22s p50 %6.2f ms   p99 %6.2f ms   max %6.2f ms\n", what, at(0.5), at(0.99), ms.back());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!QFile::exists(cachePath()))
        BuildGeneratedSalesFile(cachePath(), MillionSalesSpec(kUsers));

    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/sale_write_run");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/work"));
    SetAppDirectory(folder);
    QFile::copy(cachePath(), GetLocalDatabasePath());
    {
        sqlite3* db = nullptr;
        sqlite3_open(GetLocalDatabasePath().toUtf8().constData(), &db);
        addFees(db);
        sqlite3_close(db);
    }
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    GetCurrentOperator()->SetOperatorNo(QStringLiteral("g1"));

    CFixFeeList fees;
    fees.Load(QStringLiteral("select * from FixFee order by FeeIndex"));
    sqlite3* raw = nullptr;
    sqlite3_open(GetLocalDatabasePath().toUtf8().constData(), &raw);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);

    // The two ways take turns, so that both meet the same file and the same
    // load of the machine.
    std::vector<double> records;
    std::vector<double> raws;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        saleThroughRecords(run, *fees.At(2 * run), *fees.At(2 * run + 1));
        records.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        saleRaw(raw, run, 2 * kRuns + 2 * run + 1);
        raws.push_back(timer.nsecsElapsed() / 1e6);
    }
    sqlite3_close(raw);

    std::printf("%d sales on %d users and %d sales, WAL, synchronous=FULL\n", kRuns, kUsers, kSales);
    report("record classes", records);
    report("raw SQLite", raws);
    ReleaseProcessObjects();
    QDir(folder).removeRecursively();
    return 0;
}
