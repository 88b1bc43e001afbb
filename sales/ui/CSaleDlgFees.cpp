// The fee loading of the sales dialog: after a card is classified, the
// sub-meter readings, quota fees, manual items, other fees and manual fees of
// the coming sale are gathered and shown in the sub-meter list (1170) and the
// fee list (1106), each row carrying its record.

#include "CSaleDlg.h"

#include "CCardClassifier.h"
#include "CFixFeeDlg.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "CSubReadingTaker.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvSaleFees.h"
#include "SysGlobals.h"

#include <QPushButton>

namespace {

constexpr int kRightTopUpUnread = 112; // 未抄表充值

QString Fixed(double value, int decimals)
{
    return QString::asprintf("%0.*f", decimals, value);
}

QString DayText(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd"));
}

// Appends a row carrying the record, its cells from column 0 on.
void AppendRow(CKvExtList2* list, CKvObject* record, const QStringList& cells)
{
    const int row = list->InsertRow(list->GetItemCount(), cells.value(0), record);
    for (int column = 1; column < cells.size(); ++column)
        list->SetItemText(row, column, cells.at(column));
}

// The sub-meter list's columns 2 to 9 of a reading: last and this reading,
// use, subsidy, quantity paid, price, amount and reading day.
QStringList ReadingCells(double lastRead, double thisRead, double realUse, double freeValue, double buyValue,
                         double price, double fee, const QDateTime& readTime)
{
    return {Fixed(lastRead, 2), Fixed(thisRead, 2), Fixed(realUse, 2), Fixed(freeValue, 2),
            Fixed(buyValue, 2), Fixed(price, 4),    Fixed(fee, 2),     DayText(readTime)};
}

} // namespace

CCliPre& CSaleDlg::RequireMeter() const
{
    if (!m_pMeter)
        throw CKvException(QStringLiteral("无效的预付费表指针！"));
    return *m_pMeter;
}

int CSaleDlg::CardWriteCount() const
{
    return CCardClassifier::CellInt(m_cardList->GetItemText(2, 1));
}

QString CSaleDlg::UserNoOfList() const
{
    return m_userList->GetItemText(0, 1);
}

// ---------------------------------------------------------------- sub-meters

void CSaleDlg::LoadSubReadings()
{
    const CCliPre& meter = RequireMeter();
    const int c = CardWriteCount();
    m_subMeters.LoadCurrentByMeterNo(meter.GetMeterNo());
    if (m_subMeters.GetCount() == 0)
        return;
    const SubReadingPlan plan = SubReadingPlanOf(m_nCardState, c);
    if (plan.mode == SubReadingPlan::None)
        return;
    if (plan.mode == SubReadingPlan::Take && m_subMeters.At(0)->GetWrtNum() != plan.wrtNum) {
        const bool taken = GetMainSysPara()->GetProgFlag() == QStringLiteral("是")
                               ? TakeProgrammerReadings(plan.cardKind)
                               : TakeSubReadings(plan.cardKind);
        // An abandoned batch has stopped the sale and told why; there is
        // nothing of it to show.
        if (!taken)
            return;
    } else {
        m_subReads.LoadByWrtNum(meter.GetMeterNo(), plan.wrtNum);
    }
    ShowSubReadings();
}

bool CSaleDlg::TakeSubReadings(const QString& cardKind)
{
    return FinishSubReadings(&CSubReadingTaker::TakeReadings, cardKind);
}

bool CSaleDlg::TakeProgrammerReadings(const QString& cardKind)
{
    return FinishSubReadings(&CSubReadingTaker::TakeProgrammerReadings, cardKind);
}

bool CSaleDlg::FinishSubReadings(bool (CSubReadingTaker::*take)(CSubReadList&), const QString& cardKind)
{
    const CCliPre& meter = RequireMeter();
    CSubReadingTaker::Context context;
    context.owner = this;
    context.subMeters = &m_subMeters;
    context.meterNo = meter.GetMeterNo();
    context.memberNum = m_pClient ? m_pClient->GetMemberNum() : 0;
    // The used replacement card keeps its own count; an IC card's count does
    // not advance with a replacement, so its readings go with c + 1 as its
    // top-up does.
    const int c = CardWriteCount();
    context.wrtNum = cardKind == QStringLiteral("已用补卡") && m_nCardState < 100 ? c : c + 1;
    context.refundMode = !IsSaleMode();
    context.port = m_nPortIndex + 1;
    bool taken = false;
    try {
        CSubReadingTaker taker(context);
        taken = (taker.*take)(m_subReads);
    } catch (...) {
        EnableWrite(false);
        m_subMeters.LoadCurrentByMeterNo(meter.GetMeterNo());
        throw;
    }
    if (!taken) {
        // The sub-meters' records took the readings of the batch in memory.
        EnableWrite(false);
        m_subMeters.LoadCurrentByMeterNo(meter.GetMeterNo());
    }
    return taken;
}

void CSaleDlg::ShowSubReadings()
{
    m_subList->DeleteAllItems();
    const bool passOver = GetCurrentOperator() && GetCurrentOperator()->HasRight(kRightTopUpUnread);
    CPriceVerList prices;
    for (int i = 0; i < m_subMeters.GetCount(); ++i) {
        const CCliSub* sub = m_subMeters.At(i);
        CSubRead* reading = m_subReads.FindBySubNo(sub->GetSubNo());
        if (!reading) {
            if (passOver)
                continue;
            PromptBox(QStringLiteral("找不到附表抄表记录！"), this);
            EnableWrite(false);
            return;
        }
        // A price code without a version valid today shows no name.
        const CPriceVer* price = prices.FindValidTodayByPriceNo(sub->GetPriceNo());
        const QString priceName = price ? price->GetPriceName() : QString();
        for (; reading; reading = m_subReads.FindBySubNo(sub->GetSubNo(), reading))
            AppendRow(m_subList, reading,
                      QStringList{reading->GetSubNo(), priceName} +
                          ReadingCells(reading->GetLastRead(), reading->GetThisRead(), reading->GetRealUse(),
                                       reading->GetFreeValue(), reading->GetBuyValue(), reading->GetPrice(),
                                       reading->GetFee(), reading->GetReadTime()));
    }
}

// ---------------------------------------------------------------- quota fees

void CSaleDlg::LoadFixFees()
{
    RequireMeter();
    const FeeWriteNumber n = FeeWriteNumberOf(m_nCardState, CardWriteCount());
    CFixFeeList unpaid;
    unpaid.LoadUnpaid(UserNoOfList());
    if (unpaid.GetCount() > 0 && n.gathers) {
        CFixFeeDlg dialog(nullptr, QStringLiteral("定额收费项目"));
        dialog.m_pFixFeeList = &unpaid;
        dialog.m_WrtNum = n.wrtNum;
        // A decline leaves these fees unpaid; the fees an earlier read of this
        // card bound to the write number are still the sale's and shown below.
        RunOperatorDialog(dialog);
    }
    if (n.showsQuota)
        ShowFixFees(n.wrtNum);
}

void CSaleDlg::ShowFixFees(int wrtNum)
{
    m_feeList->DeleteAllItems();
    m_fixFees.LoadByWrtNum(UserNoOfList(), wrtNum);
    CPriceVerList prices;
    for (int i = 0; i < m_fixFees.GetCount(); ++i) {
        CFixFee* fee = m_fixFees.At(i);
        // A fee whose price version is gone shows no name.
        const CPriceVer* price = prices.FindByPriceIndex(fee->GetPriceIndex());
        AppendRow(m_feeList, fee,
                  {price ? price->GetPriceName() : QString(), DayText(fee->GetBeginDate()), DayText(fee->GetEndDate()),
                   QString::asprintf("%d", fee->GetDays()), Fixed(fee->GetFinalFee(), 2)});
    }
}

// ------------------------------------------------ manual items, other fees

void CSaleDlg::LoadManItemFees()
{
    RequireMeter();
    const FeeWriteNumber n = FeeWriteNumberOf(m_nCardState, CardWriteCount());
    if (n.gathers)
        CallFeeLibrary("LoadManFee", UserNoOfList(), n.wrtNum);
    ShowManItems(n.wrtNum);
}

void CSaleDlg::ShowManItems(int wrtNum)
{
    m_manItems.LoadByClientAndWrtNum(m_pClient ? m_pClient->GetClientNo() : QString(), wrtNum);
    for (int i = 0; i < m_manItems.GetCount(); ++i) {
        CManItem* item = m_manItems.At(i);
        AppendRow(m_subList, item,
                  QStringList{item->GetManNo(), item->GetPriceName()} +
                      ReadingCells(item->GetLastRead(), item->GetThisRead(), item->GetRealUse(), item->GetFreeValue(),
                                   item->GetBuyValue(), item->GetPrice(), item->GetFee(), item->GetReadTime()));
    }
}

void CSaleDlg::LoadOtherItemFees()
{
    RequireMeter();
    const FeeWriteNumber n = FeeWriteNumberOf(m_nCardState, CardWriteCount());
    if (n.gathers)
        CallFeeLibrary("LoadOtherFee", UserNoOfList(), n.wrtNum);
    ShowOtherItems(n.wrtNum);
}

void CSaleDlg::ShowOtherItems(int wrtNum)
{
    m_otherItems.LoadByClientAndWrtNum(m_pClient ? m_pClient->GetClientNo() : QString(), wrtNum);
    for (int i = 0; i < m_otherItems.GetCount(); ++i) {
        COtherItem* item = m_otherItems.At(i);
        AppendRow(m_feeList, item,
                  {item->GetPriceName(), DayText(item->GetBeginDate()), DayText(item->GetEndDate()),
                   QString::asprintf("%d", item->GetDays()), Fixed(item->GetFinalFee(), 2)});
    }
}

// ---------------------------------------------------------------- manual fees

void CSaleDlg::LoadManualFees()
{
    RequireMeter();
    const FeeWriteNumber n = FeeWriteNumberOf(m_nCardState, CardWriteCount());
    if (n.gathers)
        CManualFeeList::RebindUnpaid(UserNoOfList(), m_cardList->GetItemText(1, 1), n.wrtNum);
    ShowManualFees(n.wrtNum);
}

void CSaleDlg::ShowManualFees(int wrtNum)
{
    const CCliPre& meter = RequireMeter();
    m_manualFees.LoadByClientMeterWrtNum(m_pClient ? m_pClient->GetClientNo() : QString(), meter.GetMeterNo(), wrtNum);
    for (int i = 0; i < m_manualFees.GetCount(); ++i) {
        CManualFee* fee = m_manualFees.At(i);
        AppendRow(m_feeList, fee, {fee->GetYearMonth(), QString(), QString(), QString(), Fixed(fee->GetTotalFee(), 2)});
    }
}
