#pragma once

#include "CSubReadConditionDlg.h"

// The sub-meter reading query dialog (170). Its format button edits the
// stored layout of "附表抄收明细表" and keeps the name "水量水费明细表".
class CSubReadQueryDlg : public CSubReadConditionDlg
{
    Q_OBJECT

public:
    CSubReadQueryDlg(QWidget* parent, const QString& caption);
    void OnReportFormat() override;
};
