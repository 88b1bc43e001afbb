#pragma once

#include <QString>

// The records an upload staged, as the device dialogs see them: a list of
// their own, loaded afresh each time.

// True while any record of an earlier upload is still staged.
template <class List> bool AnyStaged()
{
    List staged;
    staged.LoadAll();
    return staged.GetCount() > 0;
}

// Runs an archive dialog on the staged records.
template <class List, class ArchiveDlg> void RunArchive(const QString& caption)
{
    List staged;
    staged.LoadAll();
    ArchiveDlg archive(nullptr, caption, &staged);
    archive.DoModal();
}
