#pragma once

#include "CKvDialog.h"

#include <QString>

class QComboBox;
class QPushButton;

// "写特殊卡" (dialog 221): reads an infrared card and turns a blank one into a
// setting, emergency, refund or clear-meter card; it also clears cards. The
// four write buttons are enabled only by reading a blank card, and disabled
// again as soon as one of them writes. Nothing here touches the database but
// the station's port.
class CSpecialCardDlg : public CKvDialog
{
    Q_OBJECT

public:
    CSpecialCardDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;
    void EnableWriteButtons(bool enable);

    void OnSettingCard();
    void OnEmergencyCard();
    void OnClearMeterCard();
    void OnRefundCard();
    void OnSuperCard();
    void OnReadCard();
    void OnClearCard();
    void OnPortChanged();

    int m_nPortIndex = -1;

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    int Port() const { return m_nPortIndex + 1; }

    QPushButton* m_superCard;      // 1029
    QPushButton* m_refundCard;     // 1118
    QPushButton* m_settingCard;    // 1127
    QPushButton* m_emergencyCard;  // 1315
    QPushButton* m_clearMeterCard; // 1316
    QComboBox* m_port;             // 1136
};
