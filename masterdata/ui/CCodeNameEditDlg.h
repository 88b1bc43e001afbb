#pragma once

#include "CKvDialog.h"
#include "KvCodeNameRules.h"

#include <QString>

class CKvEdit;
class QFormLayout;
class QLabel;
class QPushButton;

// The edit dialog of one row of a simple master-data table (a district, a
// building, a department): a typed code and a name, saved (1020) or cancelled
// (1021). The caption chooses the mode: the family's modify caption edits an
// existing row, whose code then cannot change; any other caption adds one.
//
// The caller sets the fields before running the dialog and reads them after OK.
class CCodeNameEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    QString m_strCode;
    QString m_strName;

    bool IsModifyMode() const { return m_modify; }

protected:
    // Where the code and the name are and what they are called; a label id of
    // -1 gives a label without a number, whose text is that of the template.
    struct Controls
    {
        int codeId;
        int nameId;
        int codeLabelId;
        int nameLabelId;
        QString codeLabel;
        QString nameLabel;
    };
    // What save refuses.
    struct Rules
    {
        KvCodeRule code;
        QString nameEmptyText;
        QString nameTooLongText;
    };

    CCodeNameEditDlg(int templateId, QWidget* parent, const QString& caption, const QString& modifyCaption,
                     const Controls& controls, const Rules& rules);

    bool OnInitDialog() override;
    bool DoDataExchange(bool saveAndValidate) override;
    // Checks in order: the family's own (CheckBeforeCode), the trimmed code,
    // the trimmed name; a refusal is shown without an owner window, puts the
    // focus on its control and keeps the dialog open.
    void OnOK() override;
    // A family's checks that come before the code's; false refuses the save.
    virtual bool CheckBeforeCode() { return true; }
    // Shows a refusal and puts the focus on the control; always false.
    bool Refuse(const QString& text, QWidget* focus);

    QFormLayout* Form() const { return m_form; }
    CKvEdit* CodeEdit() const { return m_codeEdit; }
    CKvEdit* NameEdit() const { return m_nameEdit; }

private:
    bool m_modify;
    Controls m_controls;
    Rules m_rules;
    CKvEdit* m_codeEdit;
    CKvEdit* m_nameEdit;
    QLabel* m_codeLabel;
    QLabel* m_nameLabel;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QFormLayout* m_form;
};
