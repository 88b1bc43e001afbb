#pragma once

#include "CKvDialog.h"
#include "CPriceVer.h"

#include <QString>

class CKvComboBox;
class CKvEdit;
class CNumEdit;
class QCheckBox;
class QWidget;

// The settings of one sub-meter. "增加附表" lets the sequence and the base
// reading be typed; any other caption shows them read-only. The caller presets
// the texts and reads them back after OK.
class CCliSubEditDlg : public CKvDialog
{
    Q_OBJECT

public:
    CCliSubEditDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;
    // The sub-meter number follows the sequence as it is typed.
    void OnSequenceChange();

    QString m_strLevel;
    QString m_strPriceNo;
    QString m_strSubConst;
    QString m_strReadMode;
    int m_bCheckEnabled = 1;
    QString m_strBaseRead;
    QString m_strClientNo;
    QString m_strInitPulses;
    QString m_strMeterNo;
    QString m_strSubNo;
    QString m_strSuperNo;
    QString m_strSubX;
    int m_bCheck = 0;

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    bool refuse(const QString& text, QWidget* focus = nullptr);

    CPriceVerList m_prices;
    CNumEdit* m_baseReadEdit;     // 1180
    CKvEdit* m_subXEdit;          // 1178
    CKvComboBox* m_readModeCombo; // 1028
    QCheckBox* m_sameCheck;       // 1015
    CKvEdit* m_superNoEdit;       // 1011
    CKvComboBox* m_levelCombo;    // 1010
    CKvEdit* m_subNoEdit;         // 1185
    CKvEdit* m_meterNoEdit;       // 1105
    CKvEdit* m_initPulsesEdit;    // 1179
    CKvEdit* m_clientNoEdit;      // 1002
    CKvComboBox* m_priceCombo;    // 1182
    CKvComboBox* m_subConstCombo; // 1181
};
