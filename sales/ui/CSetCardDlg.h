#pragma once

#include "CKvDialog.h"

#include <QString>

class QComboBox;
class QLineEdit;
class QRadioButton;

// "输入设置值" (dialog 230): the values of a setting card, for a prepaid meter
// (limit, alarm and cut-off thresholds) or a prepaid controller (thresholds,
// pulse constant and output state). Every edit takes digits only.
class CSetCardDlg : public CKvDialog
{
    Q_OBJECT

public:
    enum DevType
    {
        PrepaidMeter = 0,      // 预付费电表
        PrepaidController = 1, // 预付费控制器
    };

    CSetCardDlg(QWidget* parent, const QString& caption = QStringLiteral("输入设置值"));

    bool OnInitDialog() override;
    void OnMeterType();
    void OnControllerType();

    QString m_strAlarm;   // 1341
    QString m_strCutOff;  // 1342
    QString m_strLimit;   // 1202
    QString m_strPulses;  // 1078
    int m_nOutState = -1; // 1080: 0 常闭, 1 常开
    int m_nDevType = -1;  // 1089 / 1091

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    bool Refuse(const QString& text, QWidget* focus);

    QComboBox* m_outState;          // 1080
    QLineEdit* m_pulses;            // 1078
    QLineEdit* m_limit;             // 1202
    QLineEdit* m_cutOff;            // 1342
    QLineEdit* m_alarm;             // 1341
    QRadioButton* m_meterType;      // 1089
    QRadioButton* m_controllerType; // 1091
};
