// The database part of the ordinary sale, run through the write engine as a
// counter without its windows runs it (pending row with its share,
// confirmation with the card image, payment with the balance, receipt number;
// no card command), N times on the embedded file and N times on the server,
// each on a fresh installation with the same N users. Prints both times and
// their ratio. The server part needs the network edition's build (its main
// connection is the server) and QUILLMER_TEST_PG; without them it prints why
// and times the file alone.
#include "CAdoConnection.h"
#include "KvCounterSale.h"
#include "KvEdition.h"
#include "KvLogin.h"
#include "KvPgTestServer.h"
#include "KvSchema.h"
#include "KvTestSupport.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSales = 500;

struct Timing
{
    double seconds = 0;
    double p50 = 0;
    double p99 = 0;
};

// Sells to users 1 .. kSales of workstation 1 on the main connection as it is
// open now, after the archive is laid in.
Timing sellAll()
{
    CAdoConnection& main = *GetMainDatabase();
    AddCounterSaleCodes(main);
    AddCounterOperator(main, QStringLiteral("s1"), 1);
    AddCounterUsers(main, 1, kSales);
    if (!LoginOperator(QStringLiteral("s1"), QString()))
        throw CKvException(QStringLiteral("login failed"));
    CCounterSaleHost host;
    std::vector<double> ms;
    QElapsedTimer total;
    total.start();
    for (int user = 1; user <= kSales; ++user) {
        QElapsedTimer one;
        one.start();
        const CounterSaleResult sale =
            SellCounterTopUp(host, CounterClientNo(1, user), CounterMeterNo(1, user), false);
        ms.push_back(one.nsecsElapsed() / 1e6);
        if (!sale.failure.isEmpty())
            throw CKvException(sale.failure);
    }
    Timing t;
    t.seconds = total.nsecsElapsed() / 1e9;
    std::sort(ms.begin(), ms.end());
    t.p50 = ms[ms.size() / 2];
    t.p99 = ms[ms.size() * 99 / 100];
    return t;
}

void print(const char* what, const Timing& t)
{
    std::printf("%-28s %d sales in %7.3f s   %6.2f ms a sale   p50 %6.2f ms   p99 %6.2f ms\n", what, kSales,
                t.seconds, t.seconds * 1000 / kSales, t.p50, t.p99);
}

// The counter's program folder with its local file; on the file the main
// connection is the same file.
void openFile(const QString& folder)
{
    SetAppDirectory(folder);
    QDir().mkpath(folder + QStringLiteral("/work"));
    CreateFreshDatabase(GetLocalDatabasePath(), QDateTime::currentDateTime());
    GetLocalDatabase()->Open(0, GetLocalConnectString());
    if (!GetMainDatabase()->IsOpen())
        GetMainDatabase()->Open(0, GetLocalConnectString());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    CRecordingMessageSink sink;
    QTemporaryDir folders;
    try {
        openFile(folders.filePath(QStringLiteral("file")));
        const Timing file = sellAll();
        ReleaseProcessObjects();
        print("embedded file (WAL)", file);

        if (!KvIsNetworkEdition()) {
            std::printf("server: skipped (the stand-alone build's main connection is its file; build the network "
                        "edition)\n");
            return 0;
        }
        if (!KvPgTestServer::Available()) {
            std::printf("server: skipped (QUILLMER_TEST_PG is not set)\n");
            return 0;
        }
        KvPgTestServer server(QStringLiteral("kvbench"));
        SetAppDirectory(folders.filePath(QStringLiteral("server")));
        QDir().mkpath(folders.filePath(QStringLiteral("server/work")));
        CreateLocalNetworkDatabase(GetLocalDatabasePath(), QDateTime::currentDateTime(), server.ServerName());
        GetLocalDatabase()->Open(0, GetLocalConnectString());
        GetMainDatabase()->Open(1, server.ConnectString());
        InstallServerDatabase(*GetMainDatabase(), QDateTime::currentDateTime());
        const Timing onServer = sellAll();
        ReleaseProcessObjects();
        print("server (PostgreSQL, libpq)", onServer);
        std::printf("server / file: %.2f\n", onServer.seconds / file.seconds);
    } catch (const CKvException& e) {
        std::printf("failed: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
