#pragma once

#include "CKvDialog.h"

#include <QString>

class CKvComboBox;
class CKvEdit;
class CPreModel;
class QCheckBox;
class QWidget;

// One meter type's values. The caption "增加表型" lets the code be typed; any
// other caption shows it read-only. The values are taken as typed.
class CPreModelEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPreModelEditDlg(QWidget* parent, const QString& caption);

    // Moves the values between a type and the dialog's texts.
    void SetFrom(const CPreModel& model);
    void CopyTo(CPreModel& model) const;

    bool OnInitDialog() override;

    QString m_strModelId;
    QString m_strModel;
    QString m_strSpec;
    QString m_strInnerMul;
    QString m_strDevType;
    QString m_strCardType;
    QString m_strPhase;
    QString m_strBaseValue;
    QString m_strMaxLimit;
    QString m_strMinLimit;
    QString m_bCt;
    QString m_bPt;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    bool refuse(const QString& text, QWidget* focus);

    CKvEdit* m_idEdit;         // 1138
    CKvEdit* m_modelEdit;      // 1024
    CKvEdit* m_specEdit;       // 1026
    CKvComboBox* m_devCombo;   // 1238
    CKvComboBox* m_cardCombo;  // 1153
    CKvEdit* m_innerMulEdit;   // 1025
    CKvComboBox* m_phaseCombo; // 1241
    CKvEdit* m_baseEdit;       // 1031
    CKvEdit* m_maxEdit;        // 1027
    CKvEdit* m_minEdit;        // 1028
    QCheckBox* m_ctCheck;      // 1070
    QCheckBox* m_ptCheck;      // 1071
};
