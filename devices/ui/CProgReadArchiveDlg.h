#pragma once

#include "CSubRawListDlg.h"

// The archive of pulse readings (dialog 163): turns staged programmer records
// into pulse readings of their sub-meters, one at a time or all in a run that
// stops at the first row found wrong or kept back.
class CProgReadArchiveDlg : public CSubRawListDlg
{
    Q_OBJECT

public:
    CProgReadArchiveDlg(QWidget* parent, const QString& caption, CSubRawList* staged);

    // An archived row leaves the list; the others stay as they are.
    void OnArchive() override;
    bool ArchiveRow(int row) override;

protected:
    QString FillRow(int row, CSubRaw* raw) override;
};
