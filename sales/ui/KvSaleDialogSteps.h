#pragma once

#include "KvSaleArithmetic.h"

#include <QString>
#include <vector>

class CKvExtList2;
class CPreLastWrt;
class CWrtPrice;
class QWidget;

// The operator steps that the sales dialog and the card dialog share.

// The purchase dialog 224 with its defaults: the transformer loss since the
// meter's last card write (`monthly` kWh a month); false when cancelled.
bool KvRunPurchaseInput(QWidget* parent, const CPreLastWrt& image, double monthly, const QString& caption,
                        const QString& unit, double& amount, double& transLoss, int& subsidy);
// 1 for a filled purchase, else the refusal told and 0.
int KvPurchaseOutcome(QWidget* parent, PurchaseResult result, const QString& tooLittle);
// Tells the change of a payment, or keeps it on the balance (bChange).
void KvHandChange(QWidget* parent, double& change);
// Payment dialog 173 of a kWh write until an acceptable amount is confirmed.
void KvTakePaymentByEnergy(QWidget* parent, double due, double& change, double& paid, const QString& mode);
// Payment dialog 173 of a money write: confirms the money already entered.
void KvTakePaymentByMoney(QWidget* parent, double due, double& change, double money);
// The price shares of a price-mix list (row objects CPriceVer, column 3 the
// percent); throws "没有电价！" when it is empty.
void KvBuildWrtPrices(const CKvExtList2* list, std::vector<CWrtPrice>& shares);
