#pragma once

#include "CSubReadConditionDlg.h"

class QButtonGroup;

// The sub-meter reading statistics dialog (172): the reading conditions and
// the fourteen groupings; its format button edits the chosen grouping's layout.
class CSubReadStatDlg : public CSubReadConditionDlg
{
    Q_OBJECT

public:
    CSubReadStatDlg(QWidget* parent, const QString& caption);

    void SetStatCondition(const CSubReadStatCondition& condition);
    CSubReadStatCondition GetStatCondition() const;

    // Does nothing while no grouping is chosen.
    void OnReportFormat() override;
    // The layout of a grouping's report type, saved under that same name.
    void EditReportFormat(const QString& reportType);

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int m_mode = -1;
    QButtonGroup* m_modes;
};
