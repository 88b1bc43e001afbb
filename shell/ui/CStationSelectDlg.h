#pragma once

#include "CKvDialog.h"
#include "CStation.h"

class CKvComboBox;

// The choice of this machine's workstation, kept in the local parameters as
// the integer StationNo (0: none chosen). The list shows names; the numbers
// match through their two-digit form.
class CStationSelectDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CStationSelectDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("设置工作站"));

    bool OnInitDialog() override;
    // The number written at the last OK ("00" when none was selected).
    const QString& GetStationNo() const { return m_stationNo; }

protected:
    void OnOK() override;

private:
    CKvComboBox* m_stationBox; // 1336
    QString m_stationNo;
    CStationList m_stations;
};
