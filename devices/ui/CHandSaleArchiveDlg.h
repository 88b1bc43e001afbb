#pragma once

#include "CKvDialog.h"

class CHandRawList;
class CHandSaleArchive;
class CKvExtList2;

// The archive of uploaded sales (dialog 196): shows the staged sales of the
// list its caller lends it and turns each into a paid sale, or deletes it.
class CHandSaleArchiveDlg : public CKvDialog
{
    Q_OBJECT

public:
    CHandSaleArchiveDlg(QWidget* parent, const QString& caption, CHandRawList* staged);
    ~CHandSaleArchiveDlg() override;

    bool OnInitDialog() override;
    void FillList();

    void OnArchive();
    void OnArchiveAll();
    void OnDelete();
    void OnDeleteAll();
    // The archive of one row; false when the row stays staged and an archive
    // of all must stop with it.
    bool ArchiveRow(int row);

    CKvExtList2* GetRowList() const { return m_list; }

private:
    CHandRawList* m_staged;
    CKvExtList2* m_list;
    CHandSaleArchive* m_archive = nullptr;
};
