#pragma once

#include "CSubRawListDlg.h"
#include "CSubSettingArchive.h"

class CCliSubEditDlg;

// The archive of sub-meter settings (dialog 175): turns staged programmer
// records into sub-meters through the sub-meter dialog, one at a time or all
// in a run, in which one set of settings may serve every following row.
class CSubRawArchiveDlg : public CSubRawListDlg
{
    Q_OBJECT

public:
    CSubRawArchiveDlg(QWidget* parent, const QString& caption, CSubRawList* staged);

    // An archived row leaves the list; the others stay as they are.
    void OnArchive() override;
    // A run starts with no settings remembered.
    void OnArchiveAll() override;
    // One row of a run: false when the operator cancels the sub-meter dialog
    // and then stops the run.
    bool ArchiveRow(int row) override;

protected:
    QString FillRow(int row, CSubRaw* raw) override;

private:
    // The settings of a row as shown, with the user of its meter's current
    // account; false after the message when the meter has none.
    bool rowSetting(int row, KvSubSetting& setting);
    void prepare(CCliSubEditDlg& dialog, const KvSubSetting& setting) const;
    static void takeBack(const CCliSubEditDlg& dialog, KvSubSetting& setting);

    // Within a run: the first settings the operator gave (level, superior
    // meter, price, constant, reading mode) and whether they serve the rest.
    KvSubSetting m_remembered;
    bool m_same = false;
};
