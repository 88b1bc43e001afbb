#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class CHandRaw;
class CHandRawList;
class CPriceVerList;
class QObject;

// Turns one sale staged from the handheld sale machine into a paid sale of
// the system: the sale with its price shares, the meter's card image, a cash
// payment and the user's balance, and the staged row's deletion, in one
// transaction. The machine has already written the card.
class CHandSaleArchive
{
public:
    // The figures of a staged sale as the archive list shows them.
    struct Values
    {
        int wrtNum = 0;
        int wrtValue = 0;
        int accuBuy = 0;
        double accuUse = 0;
        QDateTime wrtTime;
    };

    enum Result
    {
        Archived,
        Kept,    // the operator left the row staged, or it could not be archived; go on
        NoPrice, // "电价不存在！": an archive of all stops here
    };

    // Opens the new-account wizard with a meter number as its hint; the
    // program hands it the main frame's wizard.
    using NewAccountOpener = std::function<void(const QString& meterNo)>;
    static void SetNewAccountOpener(NewAccountOpener opener);

    // Loads the price versions valid today.
    CHandSaleArchive();
    ~CHandSaleArchive();

    // Archives a staged record of `staged` with the figures shown for it. A
    // failure of the writes is shown and leaves the row staged.
    Result ArchiveRow(CHandRawList& staged, CHandRaw* raw, const Values& values, QObject* parent);

private:
    std::unique_ptr<CPriceVerList> m_prices;
};
