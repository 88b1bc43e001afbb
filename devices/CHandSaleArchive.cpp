#include "CHandSaleArchive.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CCliBalance.h"
#include "CCliPre.h"
#include "CClient.h"
#include "CClientPay.h"
#include "CHandRaw.h"
#include "CPreLastWrt.h"
#include "CPrePrice.h"
#include "CPriceVer.h"
#include "CWrtPrice.h"
#include "CWrtRecord.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <optional>
#include <vector>

namespace {

CHandSaleArchive::NewAccountOpener& opener()
{
    static CHandSaleArchive::NewAccountOpener o;
    return o;
}

// The inner multiplier of a meter type, or none when the type is missing.
// Only the multiplier is read: archived sales need nothing else of the type.
std::optional<int> innerMulOf(const QString& modelId)
{
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(KvFormatSql(QStringLiteral("select InnerMul from PreModel where ModelId = '%s'"), modelId));
    if (rs->IsEOF())
        return std::nullopt;
    return rs->GetFieldInt(QStringLiteral("InnerMul"));
}

} // namespace

void CHandSaleArchive::SetNewAccountOpener(NewAccountOpener next)
{
    opener() = std::move(next);
}

CHandSaleArchive::CHandSaleArchive() : m_prices(std::make_unique<CPriceVerList>())
{
    m_prices->LoadValidToday();
}

CHandSaleArchive::~CHandSaleArchive() = default;

CHandSaleArchive::Result CHandSaleArchive::ArchiveRow(CHandRawList& staged, CHandRaw* raw, const Values& values,
                                                      QObject* parent)
{
    const QString meterNo = raw->GetMeterNo();
    while (!CCliPreList::ExistsCurrentMeterNo(meterNo)) {
        if (AskBox(QStringLiteral("系统没有该电表档案！是否建档？"), parent) == IDNO || !opener())
            return Kept;
        opener()(meterNo);
    }
    const double accuRemain = values.accuBuy - values.accuUse;

    CCliPreList meters;
    CCliPre* meter = meters.FindCurrentByMeterNo(meterNo);
    CClientList clients;
    CClient* client = meter ? clients.FindByClientNo(meter->GetClientNo()) : nullptr;
    const std::optional<int> innerMul = meter ? innerMulOf(meter->GetModelId()) : std::nullopt;
    if (!meter || !client || !innerMul) {
        PromptBox(QStringLiteral("电表%1的用户或表型档案不存在，不能归档！").arg(meterNo), parent);
        return Kept;
    }
    CPreLastWrt lastWrt;
    meter->GetPreLastWrt(lastWrt);

    const int totalMul = *innerMul * meter->GetCt() * meter->GetPt();
    double price = 0;
    std::vector<CWrtPrice> shares; // a mix may hold more than ten
    for (CKvObject* object : meter->GetPrePriceList().GetObList()) {
        const auto* share = static_cast<CPrePrice*>(object);
        const CPriceVer* version = m_prices->FindLoadedByPriceNo(share->GetPriceNo());
        if (!version) {
            PromptBox(QStringLiteral("电价不存在！"), parent);
            return NoPrice;
        }
        price += version->GetPrice() * share->GetPricePercent() * 0.01;
        CWrtPrice& entry = shares.emplace_back();
        entry.SetPriceIndex(version->GetPriceIndex());
        entry.SetPricePercent(share->GetPricePercent());
    }
    const double fee = totalMul * values.wrtValue * price;

    CWrtRecord sale;
    sale.SetMeterNo(meter->GetMeterNo());
    sale.SetCliPreIndex(meter->GetCliPreIndex());
    sale.SetWrtValue(values.wrtValue);
    sale.SetBuyValue(values.wrtValue);
    sale.SetFreeValue(0);
    sale.SetLimitValue(meter->GetLimitValue());
    sale.SetAlarmShold(meter->GetAlarmShold());
    sale.SetCloseShold(meter->GetCloseShold());
    sale.SetWrtNum(values.wrtNum);
    sale.SetTotalMul(totalMul);
    sale.SetAccuBuy(values.accuBuy);
    sale.SetAccuUse(values.accuUse);
    sale.SetAccuRemain(accuRemain);
    sale.SetLWaste(0);
    sale.SetTWaste(0);
    sale.SetPrice(price);
    sale.SetFee(fee);
    sale.SetSubFee(0);
    sale.SetFixFee(0);
    sale.SetOpMode(QStringLiteral("手持机"));
    sale.SetState(QStringLiteral("收讫"));
    sale.SetWrtTime(values.wrtTime);
    sale.SetWrtPrices(shares.data(), static_cast<int>(shares.size()));

    // A meter without a card image gets one: the record knows whose row it
    // is before it is written.
    if (lastWrt.GetMeterNo().isEmpty())
        lastWrt.SetMeterNo(meter->GetMeterNo());

    const bool written = KvGuard(
        [&] {
            CAdoTransaction transaction(*GetMainDatabase());
            sale.Save();
            lastWrt.UpdateFromWrtRecord(sale);
            // The sale is paid in full at the machine: the balance stays as
            // the user's row holds it now, whatever another counter stored
            // there since this archive began. A user without a balance row
            // gets one.
            CCliBalance balance;
            if (!CCliBalanceList::LoadHeld(meter->GetClientNo(), balance))
                balance.SetClientNo(meter->GetClientNo());
            CClientPay pay;
            pay.SetPayMode(QStringLiteral("现金"));
            pay.SetWrtIndex(sale.GetWrtIndex());
            pay.SetWrtNum(sale.GetWrtNum());
            pay.SetTotFee(fee);
            pay.SetRealPay(fee);
            pay.SetThisBalance(balance.GetThisBalance());
            pay.SetLastBalance(balance.GetLastBalance());
            pay.Save();
            balance.SetFromClientPay(pay);
            // The staged row goes with the sale: never archived twice.
            raw->Delete();
            transaction.Commit();
        },
        parent);
    if (!written)
        return Kept;
    staged.Remove(raw);
    return Archived;
}
