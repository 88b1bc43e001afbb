#pragma once

#include "CKvDialog.h"
#include "CPriceType.h"

class CKvExtList2;

// Maintenance of the price types beyond the four built-in ones: the types are
// edited in place in the list and written by Save; a type that prices use
// cannot be deleted.
class CPriceTypeDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPriceTypeDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnAdd();
    void OnSave();
    void OnDelete();

    CKvExtList2* GetList() const { return m_list; }

private:
    void refill();

    CPriceTypeList m_types;
    CKvExtList2* m_list; // 1103
};
