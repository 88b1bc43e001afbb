#pragma once

#include "CQuotaQueryDlg.h"

class QButtonGroup;

// The quota fee statistics' condition dialog (168, caption "定额收费统计"): the
// quota query's dialog with ten units, its own paper texts, "统计(&T)" and the
// seven grouping radios.
class CQuotaStatDlg : public CQuotaQueryDlg
{
    Q_OBJECT

public:
    CQuotaStatDlg(QWidget* parent, const QString& caption);

    void SetStatCondition(const CQuotaStatCondition& condition);
    CQuotaStatCondition GetStatCondition() const;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int m_grouping = 0;
    QButtonGroup* m_groupings;
};
