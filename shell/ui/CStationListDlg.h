#pragma once

#include "CKvDialog.h"
#include "CStation.h"

class CKvExtList2;

// The workstations of the network edition: add, modify, delete.
class CStationListDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CStationListDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("工作站管理"));

    bool OnInitDialog() override;
    CKvExtList2* GetList() const { return m_list; }

    void OnAdd();
    void OnModify();
    void OnDelete();

private:
    void fill();
    // The record of the selected row, or null after "请选择工作站！".
    CStation* selectedStation();

    CKvExtList2* m_list; // 1333
    CStationList m_stations;
};
