#pragma once

#include "CMeterCondition.h"
#include "CSaleConditionDlg.h"

class QCheckBox;
class QLineEdit;

// The meter query's condition dialog (158): the sale conditions without pay
// mode, operation mode and kWh, the install date as a single lower bound
// (1204 "起始日期：", picker 1206), and the days without a purchase (box
// 1072, digit edit 1197, "天没来买电"), which must hold a number when ticked.
class CMeterQueryDlg : public CSaleConditionDlg
{
    Q_OBJECT

public:
    // The longest "天没来买电" period the query takes: a hundred years.
    static constexpr int MaxDaysWithoutPurchase = 36500;

    CMeterQueryDlg(QWidget* parent, const QString& caption);

    void SetMeterCondition(const CMeterCondition& condition);
    const CMeterCondition& GetMeterCondition();

    bool OnInitDialog() override;
    void OnReportFormat() override {}
    // The days box: the edit is editable and focused, or read-only and emptied.
    void OnCheckDays();

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    CMeterCondition m_meter;
    QCheckBox* m_daysBox;  // 1072
    QLineEdit* m_daysEdit; // 1197
};
