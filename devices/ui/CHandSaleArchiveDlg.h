#pragma once

#include "CStagedArchiveDlg.h"

class CHandRawList;
class CHandSaleArchive;

// The archive of uploaded sales (dialog 196): shows the staged sales of the
// list its caller lends it and turns each into a paid sale, or deletes it.
class CHandSaleArchiveDlg : public CStagedArchiveDlg
{
    Q_OBJECT

public:
    CHandSaleArchiveDlg(QWidget* parent, const QString& caption, CHandRawList* staged);
    ~CHandSaleArchiveDlg() override;

    bool OnInitDialog() override;
    void FillList() override;
    // The archive of one row; false when the row stays staged and an archive
    // of all must stop with it.
    bool ArchiveRow(int row) override;

private:
    CHandRawList* m_staged;
    CHandSaleArchive* m_archive = nullptr;
};
