#pragma once

#include "CReceiptValues.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class CClientPay;

// The receipts reprinted from the receipt list: which texts of a listed sale go
// into which receipt fields. Every piece fills all the copies of one sale.

// The receipts one sale fills: `count` copies from receipt `first` on.
struct CReceiptCopies
{
    int first = 0;
    int count = 0;

    // Print one: receipts 0 to n - 1. Print all: row r takes r * n to r * n + n - 1.
    static CReceiptCopies Single(int copies) { return {0, copies}; }
    static CReceiptCopies Batch(int row, int copies) { return {row * copies, copies}; }
};

// The head fields from the sale's row of the receipt table (28 cells, its bill
// number already given). Single mode shows "￥" before the total in figures and
// fills the year, month and day of the write and print dates, which batch mode
// leaves empty.
void ComposeReceiptHead(CReceiptValues& values, const QStringList& row, CReceiptCopies copies, bool single,
                        double manualFees, const QString& printer, const QDateTime& printTime);

// The price shares of the sale (at most 5 rows); false when it has none, so
// its receipt cannot be composed.
bool ComposeReceiptPriceRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies);

// The sub-meter readings, then the manual readings (50 rows at most). The unit
// price shows 2 decimals in single mode, 4 in batch mode.
void ComposeReceiptReadingRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies, bool single);

// The quota fees merged by fee item (20 items at most), then the other fees.
void ComposeReceiptFeeRows(CReceiptValues& values, int wrtIndex, CReceiptCopies copies);

// Bill numbers of sales.

// The text told when the sale of a listed row or its payment is gone.
QString MissingSaleText();
// The payment row of a sale; false when the sale or its payment no longer exists.
bool LoadSalePayment(int wrtIndex, CClientPay& pay);
// Writes `number` as the payment's bill number; a write that changes no row throws.
void StoreBillNumber(CClientPay& pay, const QString& number);
// Draws the next number of the counter InvoiceNo ("%08d") and stores it, both in
// one transaction: a failed write leaves the counter where it was.
QString DrawBillNumber(CClientPay& pay);
