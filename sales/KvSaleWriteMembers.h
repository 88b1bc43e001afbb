#pragma once

#include "CSaleWriteEngine.h"

#include <QString>

// The writes of the sales dialog beyond the ordinary top-up, each as a
// descriptor of the one sale write sequence (CSaleWriteEngine): what it
// checks first, how its row and card command differ, and whether it is paid.
// The sales dialog's write operations pick one and run it.

// 修改充值: a top-up card not yet put into the meter is written again. The
// meter's last sale is voided in the confirmation, the new row keeps its write
// number, and what was paid for the earlier sale is netted in the breakdown.
// By kWh or by money; there is no remote variant.
SaleWriteDescriptor ModifyTopUpWrite(SalePayment payment);
// The IC twin: op 04, the meter's thresholds, the unused amount taken off the
// cumulative figures.
SaleWriteDescriptor IcModifyTopUpWrite(SalePayment payment);

// 补卡充值: an ordinary paid top-up onto a used replacement card; the row keeps
// the card's count.
SaleWriteDescriptor ReissueTopUpWrite(SalePayment payment);
// The IC twin: op 04, the meter's thresholds, the card's count + 1.
SaleWriteDescriptor IcReissueTopUpWrite(SalePayment payment);

// 补卡补值: the last purchase, which never reached the meter, written again
// onto the replacement card: a copy of the last write, no purchase, no
// payment, no receipt.
SaleWriteDescriptor ReissueRestoreWrite();
SaleWriteDescriptor IcReissueRestoreWrite();

// 续用充值: the top-up after a 校园退费 refund, op 13, the cumulative figures
// starting anew; an ordinary top-up when the last write is no such refund.
SaleWriteDescriptor ContinuedUseWrite(SalePayment payment);

// The IC top-up: 正常充值 (op 03) when the meter's limit text equals the last
// card image's, else 增容充值 (op 07 with the meter's limit).
SaleWriteDescriptor IcTopUpWrite(SalePayment payment);

// 返卡退费 / 校园退费: the energy left on a returned card is bought back at the
// price of the meter's last sale. No card command; the row, with negative
// figures, is confirmed at once and the money collected or paid out.
SaleWriteDescriptor ReturnCardRefundWrite(const QString& refundMode, const QString& refundMeterNo, int cardState);
