#pragma once

// A counter without its windows: the archive its sales need, its connections
// opened as the program opens them, and the ordinary top-up by kWh run through
// the write engine exactly as the sales dialog runs it after a card read. The
// counter seller program and the tests and benchmarks of several counters on
// one main database share it.

#include "../SaleWriteTestHost.h"

#include <QString>
#include <functional>

class CAdoConnection;

// The codes every counter's sales join in the sale query: a meter type, the
// price "S1" with its version 1 (the share the counter writes) and the
// operators' workstations.
void AddCounterSaleCodes(CAdoConnection& db);

// An operator of a workstation with an empty password.
void AddCounterOperator(CAdoConnection& db, const QString& operatorNo, int station);

// The users of one workstation: `users` households, each with one meter on the
// price S1, a card image of an earlier top-up and an empty balance.
void AddCounterUsers(CAdoConnection& db, int station, int users);
// User `user` (1 on) of workstation `station`.
QString CounterClientNo(int station, int user);
QString CounterMeterNo(int station, int user);

// Opens the local connection, then the main one unless it is the same (the
// stand-alone edition), as the start-up does; false, with the reason, when
// either cannot be opened.
bool OpenCounterConnections(QString& failure);

// The sales dialog's part in a top-up: the archive as the card read loads it,
// the card carrying the meter's last write, the receipt numbered as the dialog
// numbers it (its printing left out).
class CCounterSaleHost : public SaleWriteTestHost
{
public:
    bool LoadSale(const QString& clientNo, const QString& meterNo);
    void TakePaymentByEnergy(double due, double& change, double& paid, const QString& mode) override;
    void PrintReceipt(CWrtRecord& sale, CClientPay& pay) override;
    void LinkFeesToSale(const CWrtRecord& sale) override;

    // The sale the receipt was asked for, as it stood then (the history the
    // write refills afterwards owns the row).
    int soldIndex = 0;
    QString soldState;
    QString receiptNo;
    // Called inside the confirmation's transaction, after the row and the card
    // image are updated: where a test cuts the connection.
    std::function<void()> insideConfirmation;
    // Called when the payment is asked for (the card written and confirmed,
    // no transaction open) and before the receipt is numbered (the payment
    // stored): where another counter's sale to the same household lands.
    std::function<void()> beforePayment;
    std::function<void()> beforeReceipt;
};

// What one top-up left: empty `failure` when the sale was written, paid and
// numbered.
struct CounterSaleResult
{
    QString failure;
    int wrtIndex = 0;
    QString receiptNo;
};

// One top-up of the host's units by kWh to a user. With `writeCard` off no
// card command runs (the database part of the sale alone).
CounterSaleResult SellCounterTopUp(CCounterSaleHost& host, const QString& clientNo, const QString& meterNo,
                                   bool writeCard = true);
