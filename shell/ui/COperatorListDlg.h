#pragma once

#include "CKvDialog.h"
#include "COperatorList.h"

class CKvExtList2;
class COperatorEditDlg;

// All operators: add, modify, delete and view their rights.
class COperatorListDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit COperatorListDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("操作员管理"));

    bool OnInitDialog() override;
    CKvExtList2* GetList() const { return m_list; }

    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnView();

private:
    void refill();
    // The operator of the selected row, or null after `missing` was shown.
    COperator* selectedOperator(const QString& missing);
    static void preset(COperatorEditDlg& editor, const COperator& op);

    CKvExtList2* m_list; // 1035
    COperatorList m_operators;
};
