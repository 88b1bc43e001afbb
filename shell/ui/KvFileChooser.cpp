#include "KvFileChooser.h"

#include <QFileDialog>

namespace {

QString chooseWithDialog(QWidget* parent, const KvFileRequest& request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("fileChooser"));
    const bool save = request.mode == KvFileRequest::SaveFile;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The dialog confirms before an existing file is replaced (its default).
    dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

KvFileChooser& chooser()
{
    static KvFileChooser c = chooseWithDialog;
    return c;
}

} // namespace

QString ChooseFile(QWidget* parent, const KvFileRequest& request)
{
    return chooser()(parent, request);
}

KvFileChooser SetFileChooser(KvFileChooser next)
{
    KvFileChooser previous = chooser();
    chooser() = next ? std::move(next) : KvFileChooser(chooseWithDialog);
    return previous;
}
