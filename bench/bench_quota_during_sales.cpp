// Sales at one counter while another counter generates a month's quota fees
// for 20,000 users, on the server (the network edition's build and
// QUILLMER_TEST_PG): the database part of kSales top-ups alone, then kSales
// more while the generation runs in a second process (this program with
// --generate), with their p50 and p99. The generation is one transaction
// that draws the month's keys: the sales must not wait for it.
#include "CAdoConnection.h"
#include "CKvException.h"
#include "KvCounterSale.h"
#include "KvEdition.h"
#include "KvFixFeeGeneration.h"
#include "KvLogin.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvTestQrdb.h"
#include "KvTestSupport.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSales = 200;
constexpr int kQuotaUsers = 20000;

struct Timing
{
    int sales = 0;
    double p50 = 0;
    double p99 = 0;
    double worst = 0;
};

Timing timingOf(std::vector<double> ms)
{
    Timing t;
    t.sales = static_cast<int>(ms.size());
    if (ms.empty())
        return t;
    std::sort(ms.begin(), ms.end());
    t.p50 = ms[ms.size() / 2];
    t.p99 = ms[ms.size() * 99 / 100];
    t.worst = ms.back();
    return t;
}

void print(const char* what, const Timing& t)
{
    std::printf("%-40s %4d sales   p50 %7.2f ms   p99 %7.2f ms   worst %7.2f ms\n", what, t.sales, t.p50, t.p99,
                t.worst);
}

// A counter's program folder naming the test server, with its login.
void makeCounterFolder(const QString& folder, const CTestQrdb& server, int station)
{
    QDir().mkpath(folder + QStringLiteral("/work"));
    const QString path = folder + QStringLiteral("/work/Qrdb.db");
    CreateLocalNetworkDatabase(path, QDateTime::currentDateTime(), server.ServerName());
    CAdoConnection local;
    local.Open(0, QStringLiteral("Data Source=%1").arg(path));
    local.Execute(QStringLiteral("update SysPara set StationNo = %1").arg(station), QString());
    QSettings profile(folder + QStringLiteral("/Quillmer.ini"), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Server/Login"), server.Login());
    profile.setValue(QStringLiteral("Server/Password"), server.Password());
}

void openCounter(const QString& folder)
{
    SetAppDirectory(folder);
    QString failure;
    if (!OpenCounterConnections(failure))
        throw CKvException(failure);
}

// The generating counter: the month's quota fees in one transaction.
int generate(const QString& folder)
{
    openCounter(folder);
    std::printf("GENERATING\n");
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    GenerateMonthFixFees(GetServerYearMonth());
    std::printf("GENERATED %.3f s\n", timer.nsecsElapsed() / 1e9);
    return 0;
}

// The quota price and one fixed-fee item a user, laid in at once.
void addQuotaItems(CAdoConnection& main)
{
    main.ExecuteScript(
        QStringLiteral(
            "insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, "
            "BalDay, State) values ('Q1', '物业费', '定额收费价', '', '', '平方米', '', '', '');\n"
            "insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values "
            "(900001, 'Q1', 2.5, '2000-01-01', '2050-12-31', 'qz', '2000-01-01');\n"
            "insert into CliFix (CliFixIndex, ClientNo, PriceNo, Units, BeginDate, EndDate, "
            "LastTermEndDate, OperatorNo, ModiTime, State) select g, 'F' || g, 'Q1', 80, '2000-01-01', "
            "'2050-12-31', '1999-12-31', 'qz', '2000-01-01', '' from generate_series(1, %1) as g;\n"
            "update SysPara set CliFixIndex = %1 + 1;\n")
            .arg(kQuotaUsers),
        QString());
}

std::vector<double> sell(CCounterSaleHost& host, int first, int count, QProcess* whileRunning = nullptr)
{
    std::vector<double> ms;
    for (int user = first; user < first + count; ++user) {
        if (whileRunning && whileRunning->state() != QProcess::Running)
            break;
        QElapsedTimer one;
        one.start();
        const CounterSaleResult sale = SellCounterTopUp(host, CounterClientNo(1, user), CounterMeterNo(1, user), false);
        ms.push_back(one.nsecsElapsed() / 1e6);
        if (!sale.failure.isEmpty())
            throw CKvException(sale.failure);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    CRecordingMessageSink sink;
    try {
        if (app.arguments().size() == 3 && app.arguments().at(1) == QStringLiteral("--generate"))
            return generate(app.arguments().at(2));
        if (!KvIsNetworkEdition() || !KvPgTestServer::Available()) {
            std::printf("skipped: needs the network edition's build and QUILLMER_TEST_PG\n");
            return 0;
        }
        QTemporaryDir folders;
        // The server database every counter names, new (qrdb: run no server
        // tests at the same time).
        CTestQrdb server;
        const QString seller = folders.filePath(QStringLiteral("seller"));
        const QString generator = folders.filePath(QStringLiteral("generator"));
        makeCounterFolder(seller, server, 1);
        makeCounterFolder(generator, server, 2);
        openCounter(seller);
        CAdoConnection& main = *GetMainDatabase();
        InstallServerDatabase(main);
        AddCounterSaleCodes(main);
        AddCounterOperator(main, QStringLiteral("s1"), 1);
        AddCounterUsers(main, 1, 2 * kSales);
        addQuotaItems(main);
        if (!LoginOperator(QStringLiteral("s1"), QString()))
            throw CKvException(QStringLiteral("login failed"));
        CCounterSaleHost host;

        print("alone", timingOf(sell(host, 1, kSales)));

        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), generator});
        other.waitForStarted();
        while (other.state() == QProcess::Running && !other.canReadLine())
            other.waitForReadyRead(1000);
        const QByteArray started = other.readLine().trimmed();
        if (started != "GENERATING")
            throw CKvException(QStringLiteral("the generating counter did not start: %1%2")
                                   .arg(QString::fromUtf8(started), QString::fromUtf8(other.readAllStandardError())));
        const Timing during = timingOf(sell(host, kSales + 1, kSales, &other));
        other.waitForFinished(600000);
        print("while another counter generates", during);
        std::printf("%s", other.readAllStandardOutput().constData());
        if (other.exitCode() != 0)
            std::printf("the generating counter failed: %s\n", other.readAllStandardError().constData());
    } catch (const CKvException& e) {
        std::printf("failed: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
