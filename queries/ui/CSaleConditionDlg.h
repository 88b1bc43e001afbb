#pragma once

#include "CBlock.h"
#include "CBuilding.h"
#include "CDepartment.h"
#include "CKvDialog.h"
#include "COperatorList.h"
#include "CPriceVer.h"
#include "CSaleCondition.h"

#include <QHash>
#include <QList>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;

// The sale conditions as a dialog: twenty boxes, each with its value control,
// shared by the sale record query (183) and the sale statistics (184). A box
// enables its control; building, floor, room and unit also tick the boxes they
// lie within (clearing a box never clears another). Master-data choices are
// offered by name and kept by code; a dialog shown again restores every box,
// date, text and choice from the condition block it is given.
class CSaleConditionDlg : public CKvDialog
{
    Q_OBJECT

public:
    // The conditions, in the order their boxes' rules run when the dialog opens.
    enum ECondition
    {
        Period,
        ClientNo,
        ClientName,
        MeterNo,
        UseNature,
        PayMode,
        Operator,
        DevType,
        CardType,
        Phase,
        OpMode,
        Block,
        Building,
        Floor,
        Room,
        Department,
        Unit,
        Level,
        SuperNo,
        BuyValue,
        ConditionCount
    };

    // Before DoModal: the conditions to show. After OK: the conditions chosen.
    void SetCondition(const CSaleCondition& condition) { m_cond = condition; }
    const CSaleCondition& GetCondition() const { return m_cond; }

    // The check-box ids of dialog 183, by condition.
    static QHash<int, int> QueryCheckIds();

    QCheckBox* CheckBox(ECondition condition) const { return m_boxes.value(condition); }
    int CheckBoxId(ECondition condition) const { return m_checkIds.value(condition); }

    bool OnInitDialog() override;

    // The handlers of the controls.
    void OnCheck(ECondition condition);
    void OnSelchangeBlock();
    virtual void OnReportFormat() = 0;

protected:
    // The check-box ids of the template; the value controls share their ids.
    CSaleConditionDlg(int templateId, QWidget* parent, const QString& caption, const QHash<int, int>& checkIds,
                      const QString& okText, const QStringList& opModes, bool opModeTyped);

    bool DoDataExchange(bool saveAndValidate) override;
    // Leaves out a condition that a derived dialog does not offer: its box and
    // value controls are hidden and stay unticked.
    void HideCondition(ECondition condition);
    // The grid the derived dialog may add its own controls beside.
    QGridLayout* Grid() const { return m_grid; }

private:
    void addRow(ECondition condition, const QString& text, QList<QWidget*> values);
    void fillBuildings(const QString& blockNo);
    void tick(ECondition condition);
    void setValueEnabled(ECondition condition, bool on);

    CSaleCondition m_cond;
    QHash<int, int> m_checkIds;
    QHash<int, QCheckBox*> m_boxes;
    QHash<int, QList<QWidget*>> m_values;
    QGridLayout* m_grid;
    int m_row = 0;

    CPriceVerList m_priceList;
    COperatorList m_operatorList;
    CBlockList m_blockList;
    CBuildingList m_buildingList;
    CDepartmentList m_departmentList;

    QDateEdit* m_fromDate;      // 1206
    QDateEdit* m_toDate;        // 1207
    QLineEdit* m_clientNoEdit;  // 1002
    QLineEdit* m_nameEdit;      // 1009
    QLineEdit* m_meterEdit;     // 1105
    QComboBox* m_priceCombo;    // 1182
    QComboBox* m_payCombo;      // 1300
    QComboBox* m_operatorCombo; // 1257
    QComboBox* m_devCombo;      // 1238
    QComboBox* m_cardCombo;     // 1153
    QComboBox* m_phaseCombo;    // 1241
    QComboBox* m_opModeCombo;   // 1058
    QComboBox* m_blockCombo;    // 1042
    QComboBox* m_buildingCombo; // 1043
    QComboBox* m_floorCombo;    // 1044
    QComboBox* m_roomFromCombo; // 1045
    QComboBox* m_roomToCombo;   // 1046
    QComboBox* m_unitCombo;     // 1008
    QComboBox* m_deptCombo;     // 1007
    QComboBox* m_levelCombo;    // 1010
    QLineEdit* m_superEdit;     // 1011
    QLineEdit* m_buyFromEdit;   // 1155
    QLineEdit* m_buyToEdit;     // 1156
};

// The sale condition dialog (183) of the sale record query.
class CSaleQueryDlg : public CSaleConditionDlg
{
    Q_OBJECT

public:
    CSaleQueryDlg(QWidget* parent, const QString& caption);
    // Edits the layout of "售电记录明细表".
    void OnReportFormat() override;
};
