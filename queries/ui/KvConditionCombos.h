#pragma once

#include <QList>
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

class QCheckBox;
class QWidget;

// The value controls of a condition follow its box: while it is off, edits
// are read-only and other controls disabled.
void EnableConditionValues(const QList<QWidget*>& values, bool on);
// Ticks the box of a condition that another lies within, enabling its values.
void TickCondition(QCheckBox* box, const QList<QWidget*>& values);
// The rule of a box: on, its values are enabled and the first takes the focus;
// off, they are disabled and emptied, unless `keepValues` (the period's dates).
void ApplyConditionBox(bool on, const QList<QWidget*>& values, bool keepValues);
