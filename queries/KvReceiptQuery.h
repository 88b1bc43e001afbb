#pragma once

#include "CReportTable.h"
#include "CSaleCondition.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CAdoRecordset;

// The receipt and invoice query: the paid sales of current users that match
// the sale conditions (the bought-kWh range left out), one row a sale and price
// share of its meter's main price, with everything a receipt shows.

// The columns of the receipt table. The last two are hidden: the payment's
// total fee (which the receipt prints as its total) and the sale's key.
enum EReceiptColumn
{
    RcInvoiceNo,
    RcMeterNo,
    RcModelId,
    RcCt,
    RcPt,
    RcInnerMul,
    RcWrtValue,
    RcBuyValue,
    RcFreeValue,
    RcLWaste,
    RcTWaste,
    RcPrice,
    RcFee,
    RcPrePay,
    RcPriceName,
    RcPayMode,
    RcLastBalance,
    RcRealPay,
    RcThisBalance,
    RcClientNo,
    RcClientName,
    RcAddr,
    RcTel,
    RcWrtTime,
    RcOperatorName,
    RcOpMode,
    RcTotFee,
    RcWrtIndex,
    ReceiptColumnCount
};

// The statement of the query for the conditions 1 to 19, ordered by the sale's key.
QString ReceiptQuerySql(const CSaleCondition& condition);
// "售电记录明细表(<caption>)", the window caption of the receipt list.
QString ReceiptListCaption(const CSaleCondition& condition);

// The 28 titles; the two hidden columns have none.
QStringList ReceiptColumnTitles();
// Whether a column sorts by its leading number (3 to 13, 16 to 18) or as GBK text.
bool IsReceiptNumericColumn(int column);

// One row of the statement as read. A NULL column stays empty in the table.
struct CReceiptSaleRow
{
    QString invoiceNo, meterNo, modelId, priceName, payMode, clientNo, clientName, addr, tel, operatorName, opMode;
    std::optional<int> ct, pt, innerMul, wrtValue, buyValue, freeValue, wrtIndex;
    std::optional<double> lWaste, tWaste, price, fee, prePay, lastBalance, realPay, thisBalance, totFee;
    QString wrtDay; // the day of the write time as shown, yyyy-MM-dd
};

// The current row of an open recordset of ReceiptQuerySql.
CReceiptSaleRow ReadReceiptSaleRow(const CAdoRecordset& rs);
// Every row of an open recordset from its current row on.
std::vector<CReceiptSaleRow> ReadReceiptSaleRows(CAdoRecordset& rs);

// The rows of the receipt list: a row per sale row and the total row "汇    总"
// with the sums of the bought and free kWh, both losses and the six amounts.
// Amounts add in double and are shown rounded to cents.
class CReceiptStoreBuilder
{
public:
    CReceiptStoreBuilder();
    void Add(const CReceiptSaleRow& row);
    // The rows added and the total row; the builder is spent.
    CReportStore Finish();

private:
    CReportStore m_store;
    long long m_buy = 0, m_free = 0;
    double m_lWaste = 0, m_tWaste = 0, m_fee = 0, m_prePay = 0, m_last = 0, m_real = 0, m_balance = 0;
};

// The rows of a receipt query read forward into the store, which is built on
// a second thread while the next rows are read (CAdoRecordset::ReadEach);
// `sales` is the number of rows.
CReportStore ReadReceiptStore(CAdoRecordset& rs, const QString& sql, int* sales);
CReportStore BuildReceiptStore(const std::vector<CReceiptSaleRow>& rows);
// The same rows as a text table.
CReportTable BuildReceiptTable(const std::vector<CReceiptSaleRow>& rows);
