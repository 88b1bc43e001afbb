#pragma once

#include "CKvDialog.h"

#include <QString>

class QLineEdit;

// "输入应急电量" (dialog 229): the emergency energy of an emergency card,
// digits only and below 50.
class CEmergencyPowerDlg : public CKvDialog
{
    Q_OBJECT

public:
    CEmergencyPowerDlg(QWidget* parent, const QString& caption = QStringLiteral("输入应急电量"));

    QString m_strPower;
    int GetPower() const { return m_strPower.toInt(); }

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    QLineEdit* m_powerEdit; // 1202
};
