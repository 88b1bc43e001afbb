// counter_seller: one counter selling without its windows, for the tests of
// several counters on one main database. It opens the connections of the
// program folder it is given (its own local file; the main database that file
// names), logs an operator in and sells one ordinary top-up by kWh to each of
// its users in turn through the sales dialog's write engine, the card written
// by the card tool stand-in of its folder.
//
//   counter_seller --folder DIR --operator NO [--password PW] --station N
//                  --first U --count N [--client NO] [--no-card]
//                  [--hold-in-confirmation | --hold-before-payment |
//                   --hold-before-receipt]
//
// Prints "SOLD <client> <WrtIndex> <receipt>" per sale, after a line
// "TOLD <text>" for each message the sale showed, then "DONE <n>", and ends
// with 0; the first failure prints "FAILED <what>: <text>" and ends with 1.
// --client sells every meter to that user (a household with meters of
// several workstations' numbers). --hold-in-confirmation prints "HOLD" inside
// the first sale's confirmation transaction and waits there for a line on its
// input (a test cuts the connection meanwhile); --hold-before-payment and
// --hold-before-receipt do so when the first sale's payment is asked for and
// before its receipt is numbered (another counter sells meanwhile).
#include "KvCounterSale.h"
#include "KvLogin.h"
#include "KvTestSupport.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

int fail(const QString& what, const QString& text, const CRecordingMessageSink& sink)
{
    QString told = text;
    if (!sink.Texts().isEmpty())
        told += QStringLiteral(" [") + sink.Texts().join(QStringLiteral(" | ")) + QStringLiteral("]");
    std::printf("FAILED %s: %s\n", qPrintable(what), qPrintable(told.simplified()));
    std::fflush(stdout);
    ReleaseProcessObjects();
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("program folder"), QStringLiteral("dir"));
    const QCommandLineOption operatorNo(QStringLiteral("operator"), QStringLiteral("operator code"), QStringLiteral("no"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("password"), QStringLiteral("pw"));
    const QCommandLineOption station(QStringLiteral("station"), QStringLiteral("workstation"), QStringLiteral("n"));
    const QCommandLineOption first(QStringLiteral("first"), QStringLiteral("first user"), QStringLiteral("u"), "1");
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("sales"), QStringLiteral("n"), "1");
    const QCommandLineOption noCard(QStringLiteral("no-card"), QStringLiteral("write no card"));
    const QCommandLineOption household(QStringLiteral("client"), QStringLiteral("the user of every meter"),
                                       QStringLiteral("no"));
    const QCommandLineOption hold(QStringLiteral("hold-in-confirmation"), QStringLiteral("wait inside the first confirmation"));
    const QCommandLineOption holdPayment(QStringLiteral("hold-before-payment"),
                                         QStringLiteral("wait at the first payment"));
    const QCommandLineOption holdReceipt(QStringLiteral("hold-before-receipt"),
                                         QStringLiteral("wait before the first receipt"));
    parser.addOptions(
        {folder, operatorNo, password, station, first, count, household, noCard, hold, holdPayment, holdReceipt});
    parser.process(app);
    setvbuf(stdout, nullptr, _IOLBF, 0);

    // Every box is answered with its default button: Yes to the breakdown.
    CRecordingMessageSink sink;
    SetAppDirectory(parser.value(folder));
    QString failure;
    if (!OpenCounterConnections(failure))
        return fail(QStringLiteral("connect"), failure, sink);
    if (!LoginOperator(parser.value(operatorNo), parser.value(password)))
        return fail(QStringLiteral("login"), KvLoginFailedText(), sink);

    CCounterSaleHost host;
    // Each hold waits once, in the first sale.
    const auto holdOnce = [](bool holding) {
        return [holding]() mutable {
            if (!holding)
                return;
            holding = false;
            std::printf("HOLD\n");
            std::fflush(stdout);
            std::string line;
            std::getline(std::cin, line);
        };
    };
    host.insideConfirmation = holdOnce(parser.isSet(hold));
    host.beforePayment = holdOnce(parser.isSet(holdPayment));
    host.beforeReceipt = holdOnce(parser.isSet(holdReceipt));
    const int stationNo = parser.value(station).toInt();
    const int from = parser.value(first).toInt();
    const int sales = parser.value(count).toInt();
    for (int user = from; user < from + sales; ++user) {
        const QString clientNo = parser.isSet(household) ? parser.value(household) : CounterClientNo(stationNo, user);
        sink.Clear();
        const CounterSaleResult sale =
            SellCounterTopUp(host, clientNo, CounterMeterNo(stationNo, user), !parser.isSet(noCard));
        if (!sale.failure.isEmpty())
            return fail(clientNo, sale.failure, sink);
        for (const QString& text : sink.Texts())
            std::printf("TOLD %s\n", qPrintable(text.simplified()));
        std::printf("SOLD %s %d %s\n", qPrintable(clientNo), sale.wrtIndex, qPrintable(sale.receiptNo));
    }
    std::printf("DONE %d\n", sales);
    ReleaseProcessObjects();
    return 0;
}
