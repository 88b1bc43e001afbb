#include "KvDialogRunner.h"

#include "CKvDialog.h"

namespace {

IKvDialogRunner* g_runner = nullptr;

} // namespace

IKvDialogRunner* SetDialogRunner(IKvDialogRunner* runner)
{
    IKvDialogRunner* previous = g_runner;
    g_runner = runner;
    return previous;
}

bool HasDialogRunner()
{
    return g_runner != nullptr;
}

int RunOperatorDialog(CKvDialog& dialog)
{
    return g_runner ? g_runner->Run(dialog) : dialog.DoModal();
}

void CaptureListTable(const QString& caption, const QStringList& titles, const QStringList& cells, int columns)
{
    if (g_runner)
        g_runner->ListTable(caption, titles, cells, columns);
}
