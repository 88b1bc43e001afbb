#pragma once

#include <QDateTime>
#include <QString>

class CSubRead;

// The fees a sale gathers besides the electricity, and the write number they
// carry. The coming sale's write number follows from the card state and the
// write count c read from the card: a new purchase writes c + 1; a card whose
// purchase is still to be written or redone (an unused top-up, a transfer of
// the last purchase) carries the rows of its own write. IC cards keep their
// count through a replacement card, so their replacement top-up and transfer
// store c + 1.

// What the fee steps do for a card state.
struct FeeWriteNumber
{
    int wrtNum = -1;
    // New charges are gathered (dialog 217, the fee library, the rebind of
    // manual fees) before the rows bound to wrtNum are shown.
    bool gathers = false;
    // The quota fees bound to wrtNum are shown (every state the sale knows).
    bool showsQuota = false;
};
FeeWriteNumber FeeWriteNumberOf(int cardState, int cardWriteCount);

// How the sub-meter readings of the coming sale are had.
struct SubReadingPlan
{
    enum Mode
    {
        None,   // the state charges no sub-meter readings
        Stored, // the readings of wrtNum are on file already
        Take,   // readings are taken unless the first sub-meter already carries wrtNum
    };
    Mode mode = None;
    int wrtNum = -1;
    QString cardKind; // "已用充值卡" or "已用补卡" when readings are taken
};
SubReadingPlan SubReadingPlanOf(int cardState, int cardWriteCount);

// The reading a pulse count gives: last reading + pulse difference / pulses
// per unit. False when the sub-meter has no pulse constant (0).
bool ReadingFromPulses(double lastRead, int lastPulses, int thisPulses, int subConst, double& thisRead);

// The subsidy proposed for a reading: persons x days x rate per person and
// day, the days counted whole from the last to this reading date (a negative
// count is 0).
struct SubsidyProposal
{
    int days = 0;
    int persons = 0;
    double rate = 0;
    double subsidy = 0;
};
SubsidyProposal ProposeSubsidy(const QDateTime& lastDate, const QDateTime& thisDate, const QString& personsText,
                               double rate);

// Prices an accepted reading: the use and the subsidy as confirmed, the
// quantity paid for (never below 0), the price version and the amount.
void ChargeReading(CSubRead& reading, double realUse, double freeValue, int priceIndex, double price);

// Calls the fee-loading library (Mirabond) for the user and write number:
// "LoadManFee" or "LoadOtherFee". Afterwards the user's rows of that write
// number are the sale's. A missing library or export is passed over: the rows
// already on file are shown. A code GBK cannot hold throws CKvException.
void CallFeeLibrary(const char* exportName, const QString& clientNo, int wrtNum);
QString FeeLibraryName();
