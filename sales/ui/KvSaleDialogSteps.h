#pragma once

#include "KvSaleArithmetic.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CCliBalance;
class CClientPay;
class CKvExtList2;
class CReceiptDocument;
class CPreLastWrt;
class CWrtPrice;
class QWidget;

// The operator steps that the sales dialog and the card dialog share.

// The purchase dialog 224 with its defaults: the transformer loss since the
// meter's last card write (`monthly` kWh a month); false when cancelled.
bool KvRunPurchaseInput(QWidget* parent, const CPreLastWrt& image, double monthly, const QString& caption,
                        const QString& unit, double& amount, double& transLoss, int& subsidy);
// 1 for a filled purchase, else the refusal told and 0. Money that falls short
// of the subsidy is told `subsidyShort`, or `tooLittle` when that is empty.
int KvPurchaseOutcome(QWidget* parent, PurchaseResult result, const QString& tooLittle,
                      const QString& subsidyShort = QString());
// Tells the change of a payment, or keeps it on the balance (bChange).
void KvHandChange(QWidget* parent, double& change);
// Payment dialog 173 of a kWh write until an acceptable amount is confirmed;
// `rule` says how a refund is checked.
void KvTakePaymentByEnergy(QWidget* parent, double due, double& change, double& paid, const QString& mode,
                           RefundRule rule);
// Payment dialog 173 of a money write: confirms the money already entered.
void KvTakePaymentByMoney(QWidget* parent, double due, double& change, double money);
// The price shares of a price-mix list (row objects CPriceVer, column 3 the
// percent); throws "没有电价！" when it is empty.
void KvBuildWrtPrices(const CKvExtList2* list, std::vector<CWrtPrice>& shares);

// The receipt of a paid write: numbers it (InvoiceNoMode "自动" draws the
// counter, otherwise the receipt-number dialog asks when printing) and, when
// bPrint is "是", lets `fill` set the receipt's values and shows the preview
// of `receipt` with InvoiceNum copies.
void KvPrintReceipt(QWidget* parent, CClientPay& pay, CCliBalance& balance, CReceiptDocument& receipt,
                    const std::function<void()>& fill);
// The receipt's price rows (PriceNo, name, price, percent) from a price-mix
// list whose columns are name, PriceNo, price and percent.
QList<QStringList> KvReceiptPriceRows(const CKvExtList2* list);
