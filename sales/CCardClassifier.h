#pragma once

#include <QString>
#include <QStringList>

class QObject;

// What the classification of a read card sees: the card code, the figures of
// the card list as its cells read back (integers by their leading digits,
// floating point as written), and the card fields that some messages quote.
struct CardFigures
{
    QString code;
    int cardWriteCount = 0;
    int cardAmount = 0;
    double cardUse = 0;
    int cardPurchase = 0;
    double cardRemaining = 0;
    int archiveWriteCount = 0;
    int archiveAmount = 0;
    int archivePurchase = 0;
    // The ten reply fields of the read ([1] the code, [2] to [8] the figures).
    QStringList fields;
};

// Where the card is read: the family, the dialog's mode, the operator's right
// to rewrite an unused top-up card (111), and the rows of the history list
// (the totals row counts: n sales give n + 1).
struct CardContext
{
    bool ic = false;
    bool refundMode = false;
    bool hasModifyRight = false;
    int historyCount = 0;
};

// The part of the sales dialog that the classification acts on.
class ICardClassifyHost
{
public:
    virtual ~ICardClassifyHost() = default;
    // Empties the archive side of the display (unknown and emergency cards).
    virtual void ClearArchiveDisplay() = 0;
    // Rewrites the archive from the card with the operation word; false when
    // the operator abandoned it (nothing written). A failure throws.
    virtual bool RepairArchive(const QString& opWord) = 0;
};

struct CardClassification
{
    int state = -1; // -1: not classified
    bool enableWrite = false;
};

// Decides from the card code, and from the card against the archive, what a
// read card is (the card state, infrared 0 to 17 and 56, IC 100 + that) and
// whether the sale may write it. Messages and questions go to the operator
// through the message boxes in the order the counter expects; an accepted
// mismatch asks the host to repair the archive. The rules of the two
// families differ only where a card carries its new purchase: an infrared
// card adds it when it goes into the meter, an IC card at once.
class CCardClassifier
{
public:
    static CardClassification Classify(const CardFigures& card, const CardContext& context, ICardClassifyHost& host,
                                       QObject* parent = nullptr);

    // The two conversions by which the figures are read back from list cells:
    // atoi and atof on the text, independent of the locale.
    static int CellInt(const QString& text);
    static double CellFloat(const QString& text);

private:
    // Codes 02 and 04: false when a check ended the classification.
    static bool UsedCardChecks(const CardFigures& card, const CardContext& context, ICardClassifyHost& host,
                               const QString& opWord, QObject* parent);
    // Code 03 outside refund mode with the right: false on a failed check.
    static bool UnusedCardChecks(const CardFigures& card, const CardContext& context, QObject* parent);
    // Code 06.
    static CardClassification ReplacementCard(const CardFigures& card, const CardContext& context,
                                              ICardClassifyHost& host, QObject* parent);
};
