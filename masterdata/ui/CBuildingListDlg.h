#pragma once

#include "CBuilding.h"
#include "CMasterListDlg.h"

// The buildings (command 楼幢管理): every real building with the name of its
// district, its code and its name. A building that users name is not deleted.
class CBuildingListDlg : public CMasterListDlg
{
    Q_OBJECT

public:
    CBuildingListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    bool ModifyRecord(CKvObject* record) override;
    QString DeleteRefusal(CKvObject* record) override;
    void DeleteRecord(CKvObject* record) override;

private:
    // Runs the edit dialog on the record's values; after OK the record holds
    // the district chosen and what was typed.
    bool EditBuilding(CBuilding& building, const QString& caption);

    CBuildingList m_buildingList;
};
