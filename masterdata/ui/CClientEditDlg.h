#pragma once

#include "CBlock.h"
#include "CBuilding.h"
#include "CDepartment.h"
#include "CKvDialog.h"

#include <QString>

class CKvComboBox;
class CKvEdit;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The user dialog "用户档案": one user's code, where the household lives
// (district, building, floor, room, unit), department, name, identity number,
// address, offer number, residents and remark. It edits texts only: the caller
// copies a user record's fields in, runs it and after OK copies them out and
// writes the record. "修改用户" is the modify mode, in which the code cannot
// change; any other caption adds.
//
// The choices are chained: a district offers its buildings (and no building);
// floor and unit are offered only for a real building, the room only for a floor.
class CClientEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    CClientEditDlg(QWidget* parent, const QString& caption);

    bool IsModifyMode() const { return m_modify; }

    // The fields the caller sets and reads. "空" matches no item, so a caller
    // that leaves floor, room or unit unset gets empty choices.
    QString m_BlockNo = QStringLiteral("00");
    QString m_BuildingNo = QStringLiteral("00");
    QString m_DepartmentNo = QStringLiteral("00");
    QString m_LayerNo = QStringLiteral("空");
    QString m_RoomNo = QStringLiteral("空");
    QString m_Cell = QStringLiteral("空");
    QString m_ClientNo;
    QString m_ClientName;
    QString m_ClientId;
    QString m_Addr;
    QString m_Tel; // the offer number (要约号)
    QString m_Descrip;
    QString m_MemberNum; // decimal digits

    bool OnInitDialog() override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    // The checks in order, on the texts as typed (no trimming).
    void OnOK() override;

private:
    void OnBlockChange();
    void OnBuildingChange();
    void OnLayerChange();
    void OnRoomChange();
    void OnCellChange();
    void OnDepartmentChange();
    // Shows a refusal and puts the focus on the control; always false.
    bool Refuse(const QString& text, QWidget* focus);
    // Selects the first item whose text begins with `text`, or nothing.
    static void SelectByPrefix(QComboBox* combo, const QString& text);

    bool m_modify;
    // The records the district, building and department items stand for, in
    // item order; they live as long as the dialog.
    CBlockList m_blockList;
    CBuildingList m_buildingList;
    CDepartmentList m_departmentList;

    CKvEdit* m_clientNoEdit;        // 1002
    CKvComboBox* m_blockCombo;      // 1003
    CKvComboBox* m_buildingCombo;   // 1004
    CKvComboBox* m_layerCombo;      // 1005
    CKvComboBox* m_roomCombo;       // 1006
    CKvComboBox* m_departmentCombo; // 1007
    CKvComboBox* m_cellCombo;       // 1008
    CKvEdit* m_nameEdit;            // 1009
    CKvEdit* m_idEdit;              // 1010
    CKvEdit* m_addrEdit;            // 1011
    CKvEdit* m_telEdit;             // 1012
    QPlainTextEdit* m_descripEdit;  // 1014
    CKvEdit* m_memberNumEdit;       // 1085
    QPushButton* m_save;            // 1000
    QPushButton* m_cancel;          // 1001
};
