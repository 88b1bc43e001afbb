#pragma once

#include <QString>
#include <QStringList>

class CKvDialog;

// One seam for the operator dialogs that a sale opens on its way (the last
// readings of a repair, the purchase input, the payment, the receipt number,
// the print preview, ...) and that a query command opens in its loop (the
// condition dialog, the result list): each is built by its caller with its
// values set and then run through RunOperatorDialog, which answers IDOK or IDCANCEL and leaves
// what the operator entered in the dialog's members, exactly as DoModal does.
//
// The program runs the dialog modally. A test installs a runner, as it installs
// a message sink: the dialog is initialised without being shown, the runner's
// script types values into its numbered controls ("c1187") and presses its
// confirm or close button, and the dialog's own handlers check and take the
// values. So whole sales run offscreen and synchronously, with the dialog's
// checks and messages exactly as the operator would meet them.
class IKvDialogRunner
{
public:
    virtual ~IKvDialogRunner() = default;
    // Runs the dialog; IDOK or IDCANCEL (or the code the dialog ended with).
    virtual int Run(CKvDialog& dialog) = 0;
    // The cell table a report output hands to its result list, just before
    // the list runs: the list's window caption, the column titles and the
    // cells row after row (the summary row last).
    virtual void ListTable(const QString& /*caption*/, const QStringList& /*titles*/, const QStringList& /*cells*/,
                           int /*columns*/)
    {
    }
};

// Installs a runner (null restores the modal one) and returns the one replaced.
IKvDialogRunner* SetDialogRunner(IKvDialogRunner* runner);

// Whether a runner is installed: only then is a table for CaptureListTable
// worth making.
bool HasDialogRunner();

// Runs an operator dialog of a sale through the installed runner.
int RunOperatorDialog(CKvDialog& dialog);

// Tells the installed runner (if any) the table handed to a result list.
void CaptureListTable(const QString& caption, const QStringList& titles, const QStringList& cells, int columns);
