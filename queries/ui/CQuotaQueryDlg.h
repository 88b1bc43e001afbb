#pragma once

#include "CPriceVer.h"
#include "CQuotaCondition.h"
#include "CSaleConditionDlg.h"

class CKvExtList;
class QButtonGroup;

// The quota fee query's condition dialog (165, caption "请选择收费项"): the
// place and person conditions of the sale dialog (period, user code and name,
// district, building, floor, room, unit, department), the paid choice, the
// paper and the check list of the fee items ("定额收费价" valid today, by code).
// The ticks are positional: one flag per list row, as many as there are rows.
class CQuotaQueryDlg : public CSaleConditionDlg
{
    Q_OBJECT

public:
    CQuotaQueryDlg(QWidget* parent, const QString& caption);

    void SetQuotaCondition(const CQuotaCondition& condition);
    CQuotaCondition GetQuotaCondition() const;
    // The flags of the fee-item rows in list order (1 ticked); a row beyond
    // the flags given starts unticked.
    void SetFeeSelection(const QList<int>& selection) { m_selection = selection; }
    const QList<int>& GetFeeSelection() const { return m_selection; }
    // After OK: the names of the ticked fee items in list order.
    const QStringList& GetFeeNames() const { return m_feeNames; }

    CKvExtList* FeeList() const { return m_feeItems; }

    bool OnInitDialog() override;
    void OnReportFormat() override {}

protected:
    // The statistics dialog's own template, buttons, units and paper texts.
    CQuotaQueryDlg(int templateId, QWidget* parent, const QString& caption, const QString& okText, int unitCount,
                   const QStringList& papers);

    bool DoDataExchange(bool saveAndValidate) override;

private:
    CQuotaCondition m_quota;
    QList<int> m_selection;
    QStringList m_feeNames;
    CPriceVerList m_feeItemList;
    QButtonGroup* m_paid;
    QComboBox* m_paperCombo; // 1308
    CKvExtList* m_feeItems;  // 1106
};
