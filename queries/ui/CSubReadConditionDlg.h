#pragma once

#include "CBlock.h"
#include "CBuilding.h"
#include "CConditionDlg.h"
#include "CDepartment.h"
#include "COperatorList.h"
#include "CPriceType.h"
#include "CPriceVer.h"
#include "CSubReadCondition.h"

#include <QHash>
#include <QList>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;

// The sub-meter reading conditions as a dialog: sixteen boxes, each with its
// value control, shared by the reading query (170) and the reading statistics
// (172). A box enables its control; building, floor, room and unit also tick
// the boxes they lie within, and the fee nature ticks the category (clearing a
// box never clears another). The fee natures offered are the price versions
// valid today of the chosen category. No combo sorts or takes typed text. A
// dialog shown again restores every box, date, text and choice.
class CSubReadConditionDlg : public CConditionDlg
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
        SubNo,
        FeeNature,
        Operator,
        Category,
        Block,
        Building,
        Floor,
        Room,
        Department,
        Unit,
        Level,
        SuperNo,
        ConditionCount
    };

    // Before DoModal: the conditions to show. After OK: the conditions chosen.
    void SetCondition(const CSubReadCondition& condition) { m_cond = condition; }
    const CSubReadCondition& GetCondition() const { return m_cond; }

    // The check-box id of a condition.
    static int CheckBoxId(ECondition condition);
    QCheckBox* CheckBox(ECondition condition) const { return ConditionBox(condition); }

    bool OnInitDialog() override;

    // The handlers of the controls.
    void OnCheck(ECondition condition);
    void OnSelchangeBlock() override;
    void OnSelchangeCategory();

protected:
    CSubReadConditionDlg(int templateId, QWidget* parent, const QString& caption, const QString& okText);

    bool DoDataExchange(bool saveAndValidate) override;
    void OnCheckClicked(int condition) override;

private:
    void fillFeeNatures(const QString& category);

    CSubReadCondition m_cond;

    CPriceVerList m_priceList;
    COperatorList m_operatorList;
    CBlockList m_blockList;
    CDepartmentList m_departmentList;
    CPriceTypeList m_priceTypeList;

    QDateEdit* m_fromDate;      // 1206
    QDateEdit* m_toDate;        // 1207
    QLineEdit* m_clientNoEdit;  // 1002
    QLineEdit* m_nameEdit;      // 1009
    QLineEdit* m_meterEdit;     // 1105
    QComboBox* m_categoryCombo; // 1083
    QComboBox* m_priceCombo;    // 1182
    QLineEdit* m_subNoEdit;     // 1185
    QComboBox* m_operatorCombo; // 1257
    QComboBox* m_blockCombo;    // 1042
    QComboBox* m_buildingCombo; // 1043
    QComboBox* m_floorCombo;    // 1044
    QComboBox* m_roomFromCombo; // 1045
    QComboBox* m_roomToCombo;   // 1046
    QComboBox* m_unitCombo;     // 1008
    QComboBox* m_deptCombo;     // 1007
    QComboBox* m_levelCombo;    // 1010
    QLineEdit* m_superEdit;     // 1011
};
