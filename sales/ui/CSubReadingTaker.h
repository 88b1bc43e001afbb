#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CCliSub;
class CCliSubList;
class CProgRead;
class CProgReadList;
class CSubRead;
class CSubReadList;
class CSubReadingBatch;
class QWidget;

// Takes the sub-meter readings of a sale for the coming write number: from a
// meter-reading card uploaded through the transfer tool or typed in (dialog
// 187), or from the readings a programmer uploaded; each with its subsidy
// (dialog 178). The readings are gathered in memory and written in one
// transaction after the last dialog; an abandoned batch writes nothing.
class CSubReadingTaker
{
public:
    struct Context
    {
        QWidget* owner = nullptr; // the sales dialog
        CCliSubList* subMeters = nullptr;
        QString meterNo;
        int memberNum = 0; // persons of the user
        int wrtNum = -1;
        bool refundMode = false; // the dialog's mode is 返卡退费
        int port = 1;
    };

    explicit CSubReadingTaker(const Context& context);
    ~CSubReadingTaker();

    // Card upload or hand entry. True when the batch was written; its rows
    // are then appended to `readings`.
    bool TakeReadings(CSubReadList& readings);
    // From the programmer's readings, which the written batch consumes.
    bool TakeProgrammerReadings(CSubReadList& readings);

private:
    enum Outcome
    {
        Stored,  // the reading is in the batch
        Skipped, // the operator passed the sub-meter over
        Deferred,
        Again, // the subsidy was declined and is to be entered anew
        Abandon,
    };
    struct CardPosition
    {
        QString presence;
        QString date;
        QString pulses;
        QString steal;
    };
    struct Price
    {
        int index = -1;
        double price = 0;
    };

    bool UploadCards();
    bool PositionData(const CCliSub& sub, CardPosition& position) const;
    // One pass over the sub-meters not yet done.
    bool Pass(bool upload, std::vector<bool>& done, bool& deferred);
    Outcome TypeReading(CCliSub& sub);
    Outcome ReadFromCard(CCliSub& sub);
    // Dialog 178 for the reading, then the reading is priced and kept.
    Outcome AskSubsidy(CCliSub& sub, std::unique_ptr<CSubRead> reading, const QString& caption, const Price& price,
                       CProgRead* consumed = nullptr, CProgReadList* from = nullptr);
    // The price of the sub-meter valid today; false (told) when it has none.
    bool PriceOf(const CCliSub& sub, Price& price) const;
    // The pulse formula; false (told) for a sub-meter without pulse constant.
    bool SetReadingFromPulses(const CCliSub& sub, CSubRead& reading) const;
    // Operators with the right to top up without reading may pass a sub-meter
    // over, except in the return-card refund.
    bool MayPassOver() const;

    Context m_context;
    std::unique_ptr<CSubReadingBatch> m_batch;
    QStringList m_mainCard;
    QStringList m_attachedCard;
    bool m_haveAttached = false;
};
