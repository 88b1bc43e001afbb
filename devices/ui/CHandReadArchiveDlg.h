#pragma once

#include "CStagedArchiveDlg.h"

class CHandReadRawList;

// The archive of uploaded readings (dialog 201): shows the staged readings of
// the list its caller lends it and archives each into the meter's readings,
// or deletes it.
class CHandReadArchiveDlg : public CStagedArchiveDlg
{
    Q_OBJECT

public:
    CHandReadArchiveDlg(QWidget* parent, const QString& caption, CHandReadRawList* staged);

    void FillList() override;
    // A failed check leaves the row staged and the archive of all goes on.
    bool ArchiveRow(int row) override;

private:
    CHandReadRawList* m_staged;
};
