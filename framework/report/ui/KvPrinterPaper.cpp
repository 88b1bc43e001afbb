#include "KvPrinterPaper.h"

#include "KvUtil.h"

#include <QPageSize>
#include <QPrinter>
#include <cstdlib>
#include <optional>

namespace {

std::optional<QPageLayout>& chosenPaper()
{
    static std::optional<QPageLayout> paper;
    return paper;
}

QPageLayout defaultPaper()
{
    QPrinter printer; // the default printer, or the PDF writer
    return printer.pageLayout();
}

} // namespace

bool SetPrinterPaper(int mode, short length, short width)
{
    if (!IsPrinterInstalled())
        return false;
    QPageLayout layout = defaultPaper();
    switch (mode) {
    case 1:
        layout.setPageSize(QPageSize(QPageSize::A4));
        break;
    case 2:
        layout.setPageSize(QPageSize(QPageSize::A3));
        break;
    case 3:
        // The driver's paper width across, its paper length down the sheet. A
        // receipt layout stores its length downward (negative); the sheet is
        // as long either way.
        layout.setPageSize(QPageSize(QSizeF(std::abs(width) / 10.0, std::abs(length) / 10.0), QPageSize::Millimeter,
                                     QString(), QPageSize::ExactMatch));
        break;
    case 4:
        layout.setPageSize(QPageSize(QPageSize::A4));
        layout.setOrientation(QPageLayout::Landscape);
        break;
    case 5:
        layout.setPageSize(QPageSize(QPageSize::A3));
        layout.setOrientation(QPageLayout::Landscape);
        break;
    default:
        break;
    }
    chosenPaper() = layout;
    return true;
}

QPageLayout GetPrinterPaper()
{
    return chosenPaper() ? *chosenPaper() : defaultPaper();
}

void ApplyPrinterPaper(QPrinter& printer)
{
    if (chosenPaper())
        printer.setPageLayout(*chosenPaper());
}
