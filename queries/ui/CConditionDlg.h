#pragma once

#include "CBuilding.h"
#include "CKvDialog.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;

// What a condition dialog moves between its controls and its condition block.
struct CConditionBindings
{
    QList<int*> flags; // by condition, in the order of the boxes' conditions
    QDateEdit* fromDate = nullptr;
    QDateEdit* toDate = nullptr;
    QDateTime* periodFrom = nullptr;
    QDateTime* periodTo = nullptr;
    QList<QPair<QLineEdit*, QString*>> edits;
    // Master-data combos: the code of the chosen item and the text shown.
    QList<QPair<QComboBox*, QPair<QString*, QString*>>> chosen;
    // Fixed lists: the text shown.
    QList<QPair<QComboBox*, QString*>> shown;
};

// The base of the query condition dialogs: a column of condition boxes, each
// with its value controls beside it, the buttons 1000 (query or statistics),
// 1112 报表格式(&F) and 1001 返回(&R), and the district and building combos,
// whose building list follows the chosen district. A box enables its values;
// switching one on also ticks the boxes it lies within, and clearing one never
// clears another.
class CConditionDlg : public CKvDialog
{
    Q_OBJECT

public:
    QCheckBox* ConditionBox(int condition) const { return m_boxes.value(condition); }

    virtual void OnReportFormat() = 0;
    virtual void OnSelchangeBlock() = 0;

protected:
    CConditionDlg(int templateId, QWidget* parent, const QString& caption);

    // The grid the derived dialog may add its own controls beside.
    QGridLayout* Grid() const { return m_grid; }
    // A row: the box (id and text) and its values beside it.
    void AddConditionRow(int condition, int checkId, const QString& text, const QList<QWidget*>& values);
    // The period's row: an untitled box, then "从" from "到" to over `span` columns.
    void AddPeriodRow(int condition, int checkId, QDateEdit* from, QDateEdit* to, int span);
    // The buttons under the grid; the confirm button reads `okText`.
    void AddButtons(const QString& okText);
    // The district and building combos; a district chosen after the opening
    // runs OnSelchangeBlock.
    void SetPlaceCombos(QComboBox* block, QComboBox* building);

    // Leaves out a condition that a derived dialog does not offer: its box and
    // value controls are hidden and stay unticked.
    void HideCondition(int condition);

    // A box was clicked; the derived dialog applies its rule.
    virtual void OnCheckClicked(int condition) = 0;
    // The rule of a box: `within` are ticked when it is on; off, its values are
    // emptied unless `keepValues`.
    void ApplyCheck(int condition, const QList<int>& within, bool keepValues);

    // Moves the boxes, dates and edit texts into the controls (load), or every
    // control into the block (save); the dates keep their time of day.
    void ExchangeConditions(bool save, const CConditionBindings& b);

    // The buildings of a district and the reserved 00/00 row, none chosen.
    void FillBuildings(const QString& blockNo);
    // The building list behind the building combo.
    CBuildingList& Buildings() { return m_placeBuildings; }
    // With a district chosen: its code into `blockNo` and its buildings offered.
    void RefillBuildingsOfChosenBlock(QString& blockNo);

private:
    void addBox(int condition, int checkId, const QString& text, const QList<QWidget*>& values);

    QHash<int, QCheckBox*> m_boxes;
    QHash<int, QList<QWidget*>> m_values;
    QGridLayout* m_grid;
    int m_row = 0;
    QComboBox* m_placeBlock = nullptr;
    QComboBox* m_placeBuilding = nullptr;
    CBuildingList m_placeBuildings;
};
