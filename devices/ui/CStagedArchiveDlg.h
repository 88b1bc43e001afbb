#pragma once

#include "CKvDialog.h"

#include <QStringList>

class CKvExtList2;
class CKvObjectList;
class CKvPersistance;

// What the archive dialogs of uploaded records share: the row list of the
// staged records that the caller lends (one row per record, the record as the
// row's data), the buttons 归档, 全部归档, 删除, 全部删除 and 返回, and what
// each button does with the rows. A derived dialog fills the rows and archives
// one of them.
class CStagedArchiveDlg : public CKvDialog
{
    Q_OBJECT

public:
    bool OnInitDialog() override;
    // Empties the row list and adds one row per staged record, in list order.
    virtual void FillList() = 0;

    // The selected row's archive, then the list refilled.
    virtual void OnArchive();
    // Every row the list holds when the command starts, first to last, until
    // one says stop; then the list refilled.
    virtual void OnArchiveAll();
    void OnDelete();
    void OnDeleteAll();
    // The archive of one row; false when an archive of all must stop there.
    // A failed write throws, which ends the command as well.
    virtual bool ArchiveRow(int row) = 0;

    CKvExtList2* GetRowList() const { return m_list; }

protected:
    // The dialog's resource and the controls of its row list and of 返回.
    struct Ids
    {
        int dialog;
        int list;
        int back;
    };
    // `noSelection` is the text shown when no row is selected.
    CStagedArchiveDlg(const Ids& ids, QWidget* parent, const QString& caption, CKvObjectList* staged,
                      QStringList headers, QString noSelection);

    // The selected row, or -1 after the message.
    int SelectedRow();
    // Deletes a staged record's row and takes it out of the staged list.
    virtual void DeleteRecord(CKvPersistance* record);

    CKvExtList2* m_list;

private:
    // Runs a command on the rows; the list then shows what is still staged,
    // whether the command ended or failed.
    template <class Command> void refillAfter(Command command);

    CKvObjectList* m_staged;
    QStringList m_headers;
    QString m_noSelection;
};
