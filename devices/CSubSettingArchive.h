#pragma once

#include <QDateTime>
#include <QString>

class CCliSubList;
class CSubRaw;
class CSubRawList;
class QObject;

// The settings of one staged sub-meter as the archive writes them: the texts
// of the sub-meter dialog (or the remembered ones) and the row's date.
struct KvSubSetting
{
    QString clientNo;
    QString meterNo;
    QString subX;
    QString subNo;
    QString level;
    QString superNo;
    QString priceNo;
    QString subConst;
    QString readMode;
    QString initPulses;
    QString baseRead;
    QDateTime readDate;
};

// Turns a staged programmer record into a sub-meter: writes the new sub-meter
// (or, when the operator agrees, a new version of the current one with the
// same index) and deletes the staged row, in one transaction.
class CSubSettingArchive
{
public:
    // The meter a staged number stands for: a card number (first character
    // 9) is looked up among the cards written; empty when no card carries it.
    static QString MeterNoOf(const QString& stagedMeterNo);
    // The index shown and archived: a card number's index plus 4.
    static QString SubXOf(const QString& stagedMeterNo, const QString& stagedSubX);

    // False when the operator keeps the existing sub-meter: nothing is written
    // and the row stays staged. `current` holds the meter's current sub-meters
    // and receives the new one. A failure rolls everything back and is passed on.
    static bool WriteRow(CSubRawList& staged, CSubRaw* raw, CCliSubList& current, const KvSubSetting& setting,
                         QObject* parent);
};
