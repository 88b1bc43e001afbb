#include "KvSaleFees.h"

#include "CDynamicLibrary.h"
#include "CSubRead.h"
#include "KvGbk.h"

#include <QByteArray>

namespace {

bool IsOneOf(int state, std::initializer_list<int> states)
{
    for (int s : states)
        if (s == state)
            return true;
    return false;
}

} // namespace

FeeWriteNumber FeeWriteNumberOf(int state, int c)
{
    FeeWriteNumber result;
    result.showsQuota = true;
    if (IsOneOf(state, {2, 4, 13, 102, 104, 106})) {
        result.wrtNum = c + 1;
        result.gathers = true;
    } else if (state == 6) {
        result.wrtNum = c;
        result.gathers = true;
    } else if (state == 156) {
        result.wrtNum = c + 1;
    } else if (IsOneOf(state, {3, 103, 56})) {
        result.wrtNum = c;
    } else {
        result.wrtNum = c;
        result.showsQuota = false;
    }
    return result;
}

SubReadingPlan SubReadingPlanOf(int state, int c)
{
    SubReadingPlan plan;
    if (IsOneOf(state, {3, 103, 56})) {
        plan.mode = SubReadingPlan::Stored;
        plan.wrtNum = c;
    } else if (state == 156) {
        // The IC transfer stores its purchase under c + 1, and so its readings.
        plan.mode = SubReadingPlan::Stored;
        plan.wrtNum = c + 1;
    } else if (state == 6 || state == 106) {
        plan.mode = SubReadingPlan::Take;
        plan.wrtNum = state == 6 ? c : c + 1;
        plan.cardKind = QStringLiteral("已用补卡");
    } else if (IsOneOf(state, {2, 4, 13, 102, 104})) {
        plan.mode = SubReadingPlan::Take;
        plan.wrtNum = c + 1;
        plan.cardKind = QStringLiteral("已用充值卡");
    }
    return plan;
}

bool ReadingFromPulses(double lastRead, int lastPulses, int thisPulses, int subConst, double& thisRead)
{
    if (subConst == 0)
        return false;
    thisRead = lastRead + static_cast<double>(thisPulses - lastPulses) / subConst;
    return true;
}

SubsidyProposal ProposeSubsidy(const QDateTime& lastDate, const QDateTime& thisDate, const QString& personsText,
                               double rate)
{
    SubsidyProposal proposal;
    // Calendar days, the part of a day dropped: a day across a change of
    // summer time has 23 or 25 hours and still counts as one.
    qint64 days = lastDate.date().daysTo(thisDate.date());
    if (days > 0 && thisDate.time() < lastDate.time())
        --days;
    proposal.days = days > 0 ? static_cast<int>(days) : 0;
    proposal.persons = personsText.trimmed().toInt();
    proposal.rate = rate;
    proposal.subsidy = proposal.persons * proposal.days * rate;
    return proposal;
}

void ChargeReading(CSubRead& reading, double realUse, double freeValue, int priceIndex, double price)
{
    const double buy = realUse - freeValue;
    reading.SetRealUse(realUse);
    reading.SetFreeValue(freeValue);
    reading.SetBuyValue(buy > 0 ? buy : 0);
    reading.SetPriceIndex(priceIndex);
    reading.SetPrice(price);
    reading.SetFee(reading.GetBuyValue() * reading.GetPrice());
}

QString FeeLibraryName()
{
    return QStringLiteral("Mirabond.dll");
}

void CallFeeLibrary(const char* exportName, const QString& clientNo, int wrtNum)
{
    // Refused before the library is asked: a code GBK cannot hold would load
    // another user's fees under this sale's write number.
    const QByteArray code = GbkEncodeExact(clientNo, QStringLiteral("用户代码"));
    CDynamicLibrary library(FeeLibraryName());
    using LoadFee = int (*)(const char*, int);
    const auto load = library.GetProc<LoadFee>(exportName);
    if (!load)
        return;
    load(code.constData(), wrtNum);
}
