#pragma once

#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "KvModalScript.h"

#include <QPushButton>
#include <QString>
#include <QTest>

// What the upload of a device dialog met: the archive dialog's caption and
// its rows (-1 when the window was another).
struct ArchiveSeen
{
    QString caption;
    int rows = 0;
};

// Clicks the dialog's 上传(&U) (1017) with the archive dialog met by a script.
template <class ArchiveDlg> ArchiveSeen UploadToArchive(QWidget* dialog)
{
    ArchiveSeen seen;
    CModalScript script;
    script.Then([&seen](QWidget* w) {
        seen.caption = w->windowTitle();
        auto* archive = qobject_cast<ArchiveDlg*>(w);
        seen.rows = archive ? archive->GetRowList()->GetItemCount() : -1;
        w->close();
    });
    QTest::mouseClick(dialog->findChild<QPushButton*>(CKvDialog::ControlName(1017)), Qt::LeftButton);
    return seen;
}
