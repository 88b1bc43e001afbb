#pragma once

// Driving the master-data dialogs as an operator does: controls found by
// their numbers, texts retyped, buttons and cells clicked.

#include "../../framework/ui/KvUiTestUtil.h"
#include "CKvExtList2.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

template <class T> T* Control(QWidget* dialog, int id)
{
    T* control = dialog->findChild<T*>(QStringLiteral("c%1").arg(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

// Replaces an edit's text as the operator does: select all, then type.
inline void Retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    PressKey(edit, Qt::Key_Backspace);
    TypeText(edit, text);
}

inline void Enter(QWidget* dialog, int id, const QString& text)
{
    Retype(Control<QLineEdit>(dialog, id), text);
}

inline void Click(QWidget* dialog, int id)
{
    MouseClick(Control<QAbstractButton>(dialog, id));
}

// Chooses an item by its text; an empty text clears the choice.
inline void ChooseItem(QWidget* dialog, int id, const QString& text)
{
    auto* combo = Control<QComboBox>(dialog, id);
    const int index = text.isEmpty() ? -1 : combo->findText(text);
    ASSERT_TRUE(text.isEmpty() || index >= 0) << text.toStdString();
    combo->setCurrentIndex(index);
}

// Clicks a cell of a list, which selects its row and opens its editor.
inline QWidget* ClickCell(CKvExtList2* list, int row, int column)
{
    list->SelectRow(row);
    MouseClick(list->viewport(), list->visualItemRect(list->item(row, column)).center());
    return list->VisibleEditor();
}

// Clicks a cell and types into the text editor that opens there.
inline void TypeInCell(CKvExtList2* list, int row, int column, const QString& text)
{
    QWidget* editor = ClickCell(list, row, column);
    ASSERT_NE(qobject_cast<QLineEdit*>(editor), nullptr) << row << "," << column;
    Retype(static_cast<QLineEdit*>(editor), text);
}

// The texts of one column, top to bottom.
inline QStringList ColumnTexts(CKvExtList2* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->GetItemCount(); ++row)
        texts << list->GetItemText(row, column);
    return texts;
}
