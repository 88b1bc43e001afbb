#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// Small helpers shared by the condition dialogs' combos. Master-data items
// carry their record's code as item data; fixed lists are plain texts.

// An empty item, then "01" up to `last` (floors and rooms).
QStringList NumberedItems(int last);
// "一单元" to "十单元".
QStringList UnitItems();
// "一级" to "五级".
QStringList LevelItems();
// A fixed list is restored by exact text; nothing matching leaves no selection.
void SelectComboText(QComboBox* combo, const QString& text);
// A master-data choice is restored by its code; nothing matching leaves no selection.
void SelectComboCode(QComboBox* combo, const QString& code);
// The code of the chosen item; a text typed without choosing an item has none.
QString ChosenComboCode(const QComboBox* combo);
