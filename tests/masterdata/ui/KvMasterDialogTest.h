#pragma once

// What the master-data dialog tests share: a fresh database with a few rows,
// and a user's ways of reaching the numbered controls of a dialog.

#include "../../framework/ui/KvUiTestUtil.h"
#include "CAdoConnection.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "KvFreshDatabase.h"
#include "KvModalScript.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

template <class T> T* Control(QWidget* dialog, int id)
{
    T* control = dialog->findChild<T*>(CKvDialog::ControlName(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

inline void ClickButton(QWidget* dialog, int id)
{
    MouseClick(Control<QAbstractButton>(dialog, id));
}

inline void ClickRow(CKvExtList2* list, int row)
{
    MouseClick(list->viewport(), list->visualItemRect(list->item(row, 0)).center());
}

// Chooses an item of a drop-down list with the keyboard, as an operator does.
inline void ChooseItem(QComboBox* combo, int index)
{
    PressKey(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        PressKey(combo, Qt::Key_Down);
}

inline QStringList ComboItems(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The texts of a list control's rows, columns joined by "|".
inline QStringList ListRows(CKvExtList2* list)
{
    QStringList rows;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            cells << list->GetItemText(row, column);
        rows << cells.join('|');
    }
    return rows;
}

// An edit dialog answered with a code and a name and saved; when it refuses
// and stays open it is cancelled, so no test waits on it.
inline CModalScript::Action SaveCodeAndName(int codeId, const QString& code, int nameId, const QString& name)
{
    return [=](QWidget* dialog) {
        CModalScript::Type(dialog, codeId, code);
        CModalScript::Type(dialog, nameId, name);
        ClickButton(dialog, 1020);
        if (dialog->isVisible())
            ClickButton(dialog, 1021);
    };
}

class MasterDialogTest : public FreshDatabaseTest
{
protected:
    void exec(const QString& sql) { db().Execute(sql, QString()); }
    int count(const QString& sql) { return fresh.Count(sql); }
};
