#pragma once

#include "CKvDialog.h"

#include <QStringList>

class CKvExtList2;
class CKvObjectList;

// What the archive dialogs of uploaded records share: the row list of the
// staged records that the caller lends, the buttons 归档, 全部归档, 删除,
// 全部删除 and 返回, and what each button does with the selected row. A
// derived dialog fills the rows and archives one of them.
class CStagedArchiveDlg : public CKvDialog
{
    Q_OBJECT

public:
    bool OnInitDialog() override;
    // Empties the row list and adds one row per staged record, in list order.
    virtual void FillList() = 0;

    void OnArchive();
    void OnArchiveAll();
    void OnDelete();
    void OnDeleteAll();
    // The archive of one row; false when an archive of all must stop there.
    // A failed write throws, which ends the command as well.
    virtual bool ArchiveRow(int row) = 0;

    CKvExtList2* GetRowList() const { return m_list; }

protected:
    // `noSelection` is the text shown when no row is selected.
    CStagedArchiveDlg(int resource, QWidget* parent, const QString& caption, CKvObjectList* staged, QStringList headers,
                      QString noSelection);

    CKvExtList2* m_list;

private:
    // The selected row, or -1 after the message.
    int selectedRow();

    CKvObjectList* m_staged;
    QStringList m_headers;
    QString m_noSelection;
};
