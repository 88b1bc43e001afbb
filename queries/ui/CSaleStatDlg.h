#pragma once

#include "CSaleConditionDlg.h"

class QButtonGroup;

// The sale statistics dialog (184): the sale conditions within "统计范围" and
// the sixteen groupings; its format button edits the chosen grouping's layout.
class CSaleStatDlg : public CSaleConditionDlg
{
    Q_OBJECT

public:
    CSaleStatDlg(QWidget* parent, const QString& caption);

    void SetStatCondition(const CSaleStatCondition& condition);
    CSaleStatCondition GetStatCondition() const;

    // Does nothing for a grouping outside 0 to 15.
    void OnReportFormat() override;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int m_grouping = -1;
    QButtonGroup* m_groupings;
};
