#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class CCliBalance;
class CCliPre;
class CClient;
class CClientPay;
class CReceiptValues;
class CWrtRecord;

// One fee of the fee list as the receipt sees it: a quota fee (by the name of
// its price item) or an other-fee item.
struct SaleFeeLine
{
    bool quota = false;
    QString name;
    QDateTime first;
    QDateTime last;
    int days = 0;
    double amount = 0;
};

// One fee row of a receipt.
struct SaleFeeEntry
{
    QString name;
    QDateTime first;
    QDateTime last;
    int days = 0;
    double amount = 0;
};

// The fee rows of a receipt: the quota fees of one price item merged into one
// row (first and last date spanning them, days and amounts summed), then each
// other-fee item; at most the receipt's 50 rows, the rest left out.
std::vector<SaleFeeEntry> BuildFeeSummary(const std::vector<SaleFeeLine>& lines);

// What a sale receipt shows besides the rows.
struct SaleReceiptHeader
{
    const CClient* client = nullptr;
    const CCliPre* meter = nullptr;
    QString ct;         // the meter-type list's texts
    QString pt;
    QString innerMul;
    QString operatorName;
    const CWrtRecord* sale = nullptr;
    double manualFees = 0;
    const CCliBalance* balance = nullptr;
    QDateTime printTime;
    QString priceName; // the first row of the price list
};

// The 42 common values; 票据编号 (35) holds the receipt number without the copy.
QStringList SaleReceiptCommon(const SaleReceiptHeader& header);

// Fills every copy of the receipt: common values (35 gets "_<copy>"), at most
// 5 price rows of 4, 50 sub-meter rows of 10 (receipt column order) and the
// fee rows by name, amount (under 调整金额), dates and days.
void FillSaleReceipt(CReceiptValues& values, const QStringList& common, const QList<QStringList>& prices,
                     const QList<QStringList>& subs, const std::vector<SaleFeeEntry>& fees);

// Puts a receipt number on a sale's payment and takes it over into the user's
// balance, the record and the row while the row still repeats that payment
// (the caller holds the transaction).
void StoreSaleReceiptNo(CClientPay& pay, CCliBalance& balance, const QString& number);
// The automatic numbering: draws the next number of the main parameters and
// stores it as StoreSaleReceiptNo does, in one transaction, so that a number
// drawn is never lost nor given twice. Returns the number as stored.
QString NumberSaleReceipt(CClientPay& pay, CCliBalance& balance);
