#pragma once

#include <QDateTime>
#include <QString>

class CCliPre;
class CPreLastWrt;
struct CardFigures;

// The last reading of one sub-meter as the operator gives it when the archive
// is rewritten from a card.
struct SubMeterLastReading
{
    QString subNo;
    int lastPulses = 0;
    double lastRead = 0;
    QDateTime readDate;
};

// Rewrites the meter's last card image from the card that the operator
// accepted against the archive: the card's figures, the meter's limits, the
// time now and the operation word; WrtIndex keeps its value. The image is
// saved at once: an update of the meter's row, or a new row when the meter
// has none yet (an update alone would change nothing and be lost).
void RepairImageFromCard(CPreLastWrt& image, const CCliPre& meter, const CardFigures& card, const QString& opWord);
