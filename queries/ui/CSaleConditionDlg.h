#pragma once

#include "CBlock.h"
#include "CBuilding.h"
#include "CConditionDlg.h"
#include "CDepartment.h"
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
class CSaleConditionDlg : public CConditionDlg
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

    QCheckBox* CheckBox(ECondition condition) const { return ConditionBox(condition); }
    int CheckBoxId(ECondition condition) const { return m_checkIds.value(condition); }

    bool OnInitDialog() override;

    // The handlers of the controls.
    void OnCheck(ECondition condition);
    void OnSelchangeBlock() override;

protected:
    // The check-box ids of the template; the value controls share their ids.
    CSaleConditionDlg(int templateId, QWidget* parent, const QString& caption, const QHash<int, int>& checkIds,
                      const QString& okText, const QStringList& opModes, bool opModeTyped);

    bool DoDataExchange(bool saveAndValidate) override;
    void OnCheckClicked(int condition) override;

private:
    CSaleCondition m_cond;
    QHash<int, int> m_checkIds;

    CPriceVerList m_priceList;
    COperatorList m_operatorList;
    CBlockList m_blockList;
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
