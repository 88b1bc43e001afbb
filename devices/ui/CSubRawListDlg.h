#pragma once

#include "CStagedArchiveDlg.h"

class CSubRaw;
class CSubRawList;

// What the two archives of programmer records add to the archive of staged
// records: the rows of the staged programmer records, and their own delete.
// A derived dialog fills a row's columns and archives.
class CSubRawListDlg : public CStagedArchiveDlg
{
    Q_OBJECT

public:
    void FillList() override;

protected:
    CSubRawListDlg(const Ids& ids, QWidget* parent, const QString& caption, CSubRawList* staged, QStringList headers,
                   QString noSelectionText);

    // The texts of a row's columns after the first; the first is returned.
    virtual QString FillRow(int row, CSubRaw* raw) = 0;
    CSubRaw* RowRecord(int row) const;
    void DeleteRecord(CKvPersistance* record) override;

    CSubRawList* m_staged;
};
