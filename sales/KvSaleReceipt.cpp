#include "KvSaleReceipt.h"

#include "CAdoConnection.h"
#include "CCliBalance.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CClientPay.h"
#include "CReceiptFeeSummary.h"
#include "CReceiptValues.h"
#include "CSysPara.h"
#include "CWrtRecord.h"
#include "KvSaleArithmetic.h"
#include "KvUtil.h"
#include "SysGlobals.h"

namespace {

QString Money(double value)
{
    return QString::asprintf("%0.2f", value);
}
QString Day(const QDateTime& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// The fee columns of a receipt (their names are the layout's).
enum FeeColumn
{
    FeeName = 0,
    FeeAmount = 3,
    FeeFirst = 6,
    FeeLast = 7,
    FeeDays = 8,
};

} // namespace

std::vector<SaleFeeEntry> BuildFeeSummary(const std::vector<SaleFeeLine>& lines)
{
    // The receipt's merging rule is the reprint's: quota items first, then
    // every other fee, within the receipt's fee rows.
    CReceiptFeeSummary summary(CReceiptValues::FeeRows);
    for (const SaleFeeLine& line : lines)
        if (line.quota)
            summary.AddQuota({line.name, line.first, line.last, line.days, line.amount});
    for (const SaleFeeLine& line : lines)
        if (!line.quota)
            summary.AddOther({line.name, line.first, line.last, line.days, line.amount});
    std::vector<SaleFeeEntry> entries;
    for (const CReceiptFeeItem& item : summary.Items())
        if (static_cast<int>(entries.size()) < CReceiptValues::FeeRows)
            entries.push_back({item.name, item.begin, item.end, item.days, item.fee});
    return entries;
}

QStringList SaleReceiptCommon(const SaleReceiptHeader& h)
{
    QStringList v(CReceiptValues::CommonCount);
    const CWrtRecord& sale = *h.sale;
    const CCliBalance& balance = *h.balance;
    v[0] = h.client->GetClientName();
    v[1] = h.client->GetClientNo();
    v[2] = h.client->GetAddr();
    v[3] = h.client->GetTel();
    v[4] = h.meter->GetMeterNo();
    v[5] = h.meter->GetModelId();
    v[6] = h.ct;
    v[7] = h.pt;
    v[8] = h.innerMul;
    v[9] = QString::number(h.innerMul.toInt() * h.ct.toInt() * h.pt.toInt());
    v[10] = h.operatorName;
    v[11] = sale.GetOpMode();
    v[12] = QString::number(sale.GetWrtValue());
    v[13] = QString::number(sale.GetBuyValue());
    v[14] = QString::number(sale.GetFreeValue());
    v[15] = QString::number(sale.GetBuyValue() + sale.GetFreeValue());
    v[16] = QString::asprintf("%0.1f", sale.GetLWaste());
    v[17] = QString::asprintf("%0.1f", sale.GetTWaste());
    v[18] = h.priceName;
    v[19] = QString::asprintf("%0.4f", sale.GetPrice());
    v[20] = Money(sale.GetBuyValue() * sale.GetPrice());
    v[21] = Money(sale.GetPrePay());
    v[22] = Money(sale.GetPrice() * sale.GetLWaste());
    v[23] = Money(sale.GetPrice() * sale.GetTWaste());
    v[24] = Money(sale.GetFee());
    v[25] = Day(sale.GetWrtTime());
    v[26] = Money(h.manualFees);
    v[27] = Money(balance.GetTotFee());
    v[28] = AmountToCapitals(balance.GetTotFee(), 0);
    v[29] = BalanceText(balance.GetThisBalance());
    v[30] = BalanceText(balance.GetLastBalance());
    v[31] = Money(balance.GetRealPay());
    v[32] = h.operatorName;
    v[33] = h.printTime.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    v[34] = balance.GetPayMode();
    v[35] = balance.GetInvoiceNo();
    // 36 to 41 (the dates apart) stay empty.
    return v;
}

void FillSaleReceipt(CReceiptValues& values, const QStringList& common, const QList<QStringList>& prices,
                     const QList<QStringList>& subs, const std::vector<SaleFeeEntry>& fees)
{
    for (int k = 0; k < values.GetReceiptCount(); ++k) {
        for (int j = 0; j < common.size(); ++j)
            values.SetCommon(k, j, common.at(j));
        values.SetCommon(k, 35, common.value(35) + QString::asprintf("_%d", k + 1));
        for (int r = 0; r < prices.size() && r < CReceiptValues::PriceRows; ++r)
            for (int c = 0; c < prices.at(r).size(); ++c)
                values.SetPrice(k, r, c, prices.at(r).at(c));
        for (int r = 0; r < subs.size() && r < CReceiptValues::SubRows; ++r)
            for (int c = 0; c < subs.at(r).size(); ++c)
                values.SetSub(k, r, c, subs.at(r).at(c));
        for (int r = 0; r < static_cast<int>(fees.size()) && r < CReceiptValues::FeeRows; ++r) {
            const SaleFeeEntry& fee = fees.at(r);
            values.SetFee(k, r, FeeName, fee.name);
            values.SetFee(k, r, FeeAmount, Money(fee.amount));
            values.SetFee(k, r, FeeFirst, Day(fee.first));
            values.SetFee(k, r, FeeLast, Day(fee.last));
            values.SetFee(k, r, FeeDays, QString::number(fee.days));
        }
    }
}

void StoreSaleReceiptNo(CClientPay& pay, CCliBalance& balance, const QString& number)
{
    pay.SetInvoiceNo(number);
    pay.SetState(CKvPersistance::StateChanged);
    pay.Save();
    balance.SetInvoiceNoOf(pay);
}

QString NumberSaleReceipt(CClientPay& pay, CCliBalance& balance)
{
    // The number drawn and the rows that carry it stand or fall together.
    CAdoTransaction transaction(*GetMainDatabase());
    // The household's balance row is held before the receipt counter is: a
    // payment holds that row while it draws its key from the counters' row,
    // so taking them the other way round would let two counters wait for
    // each other.
    CCliBalance held;
    CCliBalanceList::LoadHeld(balance.GetClientNo(), held);
    const QString number = QString::asprintf("%08d", GetMainSysPara()->GetIntPara(QStringLiteral("InvoiceNo"), 1));
    StoreSaleReceiptNo(pay, balance, number);
    transaction.Commit();
    return number;
}
