#pragma once

#include <QPageLayout>

class QPrinter;

// The paper of the next print job, kept for the whole process. Print code sets
// it right before a job; the job takes it over when it sets up its printer.
// Every call starts again from the default printer's own settings (the PDF
// writer's when no printer is set up, which counts as an installed printer).
//
// Modes: 1 A4, 2 A3, 3 a custom sheet of `length` x `width` tenths of a
// millimetre, 4 A4 landscape, 5 A3 landscape; any other mode keeps the default
// printer's paper. Modes 1-3 keep the default printer's orientation.
bool SetPrinterPaper(int mode, short length, short width);

// The paper set last (the default printer's until the first call).
QPageLayout GetPrinterPaper();

// Gives a printer the paper set last; nothing when no paper was set.
void ApplyPrinterPaper(QPrinter& printer);
