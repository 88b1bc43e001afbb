#pragma once

#include "CKvDialog.h"
#include "KvMessage.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CKvExtList2;
class CKvObject;
class CKvObjectList;
class QPushButton;

// The management dialog of a simple master-data table: the rows in a list and
// the buttons add (1024), modify (1025), delete (1026) and close (1001). The
// family says how its rows are shown, edited, refused and written; the dialog
// keeps the order of each operation. Every fill reads the table again.
//
// A failure of a write is shown with its text and the list is filled again
// from the table, so the dialog stays usable and shows what is stored.
class CMasterListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CKvExtList2* GetListCtrl() const { return m_list; }

protected:
    struct Layout
    {
        int listId;
        QStringList columns;
        int extraWidth;             // added to each header's text width
        QStringList buttonCaptions; // add, modify, delete, close
        bool captionsAtInit;        // set by the initialisation, else the template's
        int closeId = 1001;
    };
    struct Texts
    {
        QString selectPrompt;            // modify or delete without a selected row
        QString deleteQuestion;          // asked before a delete
        bool refuseBeforeAsking = false; // the refusal test comes before the question
    };

    CMasterListDlg(int templateId, QWidget* parent, const QString& caption, const Layout& layout, const Texts& texts);

    bool OnInitDialog() override;
    // Empties the control and has the family reload its list and add the rows.
    void FillList();

    // The family's parts of the operations.
    virtual void FillRows(CKvExtList2& list) = 0;
    virtual void OnAdd() = 0;
    // Edits and writes a row; false when the edit was cancelled.
    virtual bool ModifyRecord(CKvObject* record) = 0;
    // The refusal text of a delete (users or buildings name the row), or empty.
    virtual QString DeleteRefusal(CKvObject* record) = 0;
    virtual void DeleteRecord(CKvObject* record) = 0;

    // The add path shared by the families: a new record is edited (`edit` is
    // false on Cancel, which drops it), refused with `duplicateText` while
    // `exists` finds its key (the edit dialog reopens with what was typed),
    // then saved, appended to `list` and shown.
    template <class Record>
    void RunAdd(CKvObjectList& list, const std::function<bool(Record&)>& edit,
                const std::function<bool(const Record&)>& exists, const QString& duplicateText)
    {
        auto record = std::make_unique<Record>();
        for (;;) {
            if (!edit(*record))
                return;
            if (!exists(*record))
                break;
            PromptBox(duplicateText, this);
        }
        record->Save();
        AppendAndFill(list, record.release());
    }

private:
    void AppendAndFill(CKvObjectList& list, CKvObject* record);
    // Runs a button's operation; a failure is shown and the list filled again.
    void RunGuarded(const std::function<void()>& operation);
    void OnModifyClicked();
    void OnDeleteClicked();
    // The record of the selected row, or null after telling the operator to choose.
    CKvObject* SelectedRecord();

    Layout m_layout;
    Texts m_texts;
    CKvExtList2* m_list;
    QPushButton* m_buttons[4];
};

// A family whose list class keeps its records (districts, buildings,
// departments): a modify edits the record and updates it through the list, a
// delete deletes it there. The family gives its edit dialog.
template <class Record, class List> class CRecordListDlg : public CMasterListDlg
{
protected:
    CRecordListDlg(int templateId, QWidget* parent, const QString& caption, const Layout& layout, const Texts& texts,
                   const QString& modifyCaption)
        : CMasterListDlg(templateId, parent, caption, layout, texts), m_modifyCaption(modifyCaption)
    {
    }

    // Runs the family's edit dialog on the record's values; after OK the
    // record holds what was typed.
    virtual bool Edit(Record& record, const QString& caption) = 0;

    bool ModifyRecord(CKvObject* record) override
    {
        auto* typed = static_cast<Record*>(record);
        if (!Edit(*typed, m_modifyCaption))
            return false;
        m_records.UpdateRecord(typed);
        return true;
    }
    void DeleteRecord(CKvObject* record) override { m_records.DeleteRecord(static_cast<Record*>(record)); }

    List m_records;

private:
    QString m_modifyCaption;
};
