#pragma once

#include "CSubRawListDlg.h"

class CCliSubEditDlg;
struct KvSubSetting;

// The archive of sub-meter settings (dialog 175): turns staged programmer
// records into sub-meters through the sub-meter dialog, one at a time or all
// in a run, in which one set of settings may serve every following row.
class CSubRawArchiveDlg : public CSubRawListDlg
{
    Q_OBJECT

public:
    CSubRawArchiveDlg(QWidget* parent, const QString& caption, CSubRawList* staged);

    void OnArchive() override;
    void OnArchiveAll() override;

protected:
    QString FillRow(int row, CSubRaw* raw) override;

private:
    // The settings of a row as shown, with the user of its meter's current
    // account; false after the message when the meter has none.
    bool rowSetting(int row, KvSubSetting& setting);
    void prepare(CCliSubEditDlg& dialog, const KvSubSetting& setting) const;
    static void takeBack(const CCliSubEditDlg& dialog, KvSubSetting& setting);
};
