#pragma once

#include "CBuilding.h"
#include "CMasterListDlg.h"

// The buildings (command 楼幢管理): every real building with the name of its
// district, its code and its name. A building that users name is not deleted.
class CBuildingListDlg : public CRecordListDlg<CBuilding, CBuildingList>
{
    Q_OBJECT

public:
    CBuildingListDlg(QWidget* parent, const QString& caption);

protected:
    void FillRows(CKvExtList2& list) override;
    void OnAdd() override;
    QString DeleteRefusal(CKvObject* record) override;
    // After OK the building holds the district chosen and what was typed.
    bool Edit(CBuilding& building, const QString& caption) override;
};
