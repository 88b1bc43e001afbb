#pragma once

#include "CKvDialog.h"
#include "COperator.h"
#include "CStation.h"

#include <QString>

class CCheckTreeCtrl;
class CKvComboBox;
class CKvEdit;
class QTreeWidgetItem;

// The editor of one operator: code, name, workstation and the rights tree.
// The caption picks the mode: "增加操作员", "修改操作员" or "查看操作员权限"
// (nothing can be changed or saved).
class COperatorEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    COperatorEditDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    // Preset before DoModal, read back after OK.
    void SetRights(const int* ids, int count);
    void GetRights(int* ids, int& count) const;
    QString m_stationNo;
    QString m_operatorNo;
    QString m_operatorName;

    CCheckTreeCtrl* GetTree() const { return m_tree; }
    // The entry of a right in the tree, or null (headers and hidden rights).
    QTreeWidgetItem* FindRightItem(int id) const;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CKvComboBox* m_stationBox; // 1040
    CKvEdit* m_nameEdit;       // 1032
    CKvEdit* m_codeEdit;       // 1031
    CCheckTreeCtrl* m_tree;    // 1033
    CStationList m_stations;
    int m_rightCount = 0;
    int m_rights[COperator::MaxRights] = {};
};
