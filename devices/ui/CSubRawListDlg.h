#pragma once

#include "CKvDialog.h"

#include <QStringList>

class CKvExtList2;
class CSubRaw;
class CSubRawList;

// What the two archives of programmer records share: the list of the staged
// records their caller lends them (one row per record, the record as the
// row's data), the buttons 归档, 全部归档, 删除, 全部删除 and 返回, and the
// two deletes. A derived dialog fills a row and archives.
class CSubRawListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CKvExtList2* GetRowList() const { return m_list; }

    bool OnInitDialog() override;
    // All rows anew from the staged list, in its order.
    void FillList();

    virtual void OnArchive() = 0;
    virtual void OnArchiveAll() = 0;
    void OnDelete();
    void OnDeleteAll();

protected:
    struct Ids
    {
        int dialog;
        int list;
        int back;
    };
    CSubRawListDlg(const Ids& ids, QWidget* parent, const QString& caption, CSubRawList* staged, QStringList headers,
                   QString noSelectionText);

    // The texts of a row's columns after the first; the first is returned.
    virtual QString FillRow(int row, CSubRaw* raw) = 0;
    // The selected row, or -1 after the no-selection message.
    int SelectedRow();
    CSubRaw* RowRecord(int row) const;

    CSubRawList* m_staged;
    CKvExtList2* m_list;

private:
    QStringList m_headers;
    QString m_noSelectionText;
};
