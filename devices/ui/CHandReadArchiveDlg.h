#pragma once

#include "CKvDialog.h"

class CHandReadRawList;
class CKvExtList2;

// The archive of uploaded readings (dialog 201): shows the staged readings of
// the list its caller lends it and archives each into the meter's readings,
// or deletes it.
class CHandReadArchiveDlg : public CKvDialog
{
    Q_OBJECT

public:
    CHandReadArchiveDlg(QWidget* parent, const QString& caption, CHandReadRawList* staged);

    bool OnInitDialog() override;
    void FillList();

    void OnArchive();
    void OnArchiveAll();
    void OnDelete();
    void OnDeleteAll();
    // The archive of one row; a failed check leaves it staged, a failed
    // write throws.
    void ArchiveRow(int row);

    CKvExtList2* GetRowList() const { return m_list; }

private:
    CHandReadRawList* m_staged;
    CKvExtList2* m_list;
};
