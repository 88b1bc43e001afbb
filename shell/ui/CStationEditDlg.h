#pragma once

#include "CKvDialog.h"

class CKvEdit;

// The editor of one workstation; the caption "增加工作站" or "修改工作站" picks
// the mode (a modified workstation keeps its number).
class CStationEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    CStationEditDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    QString m_stationNo;
    QString m_stationName;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CKvEdit* m_noEdit;   // 1335
    CKvEdit* m_nameEdit; // 1334
};
