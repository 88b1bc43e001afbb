#pragma once

#include "CKvDialog.h"
#include "CKvShownNumber.h"

class CKvComboBox;
class CKvEdit;
class CNumEdit;
class QCheckBox;
class QPushButton;

// The operating parameters of the counter: every value of the main parameter
// object the administrator may set, and two switches of the application
// profile. OK saves everything in one transaction; there is no cancel button
// (Escape and the close box keep everything as it was).
class CSysParaDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CSysParaDlg(QWidget* parent = nullptr, const QString& caption = QStringLiteral("设置系统参数"));

    bool OnInitDialog() override;

    // "远程设置(&S)": reads the remote machine's address through the outside
    // library, lets the operator change it and stores what the dialog holds.
    void OnRemoteSetting();

protected:
    void OnOK() override;

private:
    void applyLineLossRule();
    void applyRemoteRule();
    QCheckBox* makeCheck(int id, const QString& text);

    CKvEdit* m_clientName;       // 1202
    CNumEdit* m_compRateWater;   // 1037
    CNumEdit* m_memNum;          // 1198
    CKvComboBox* m_buyUnit;      // 1063
    CKvComboBox* m_invoiceMode;  // 1064
    CKvEdit* m_invoiceNum;       // 1065
    QCheckBox* m_payModeFlag;    // 1299
    CKvComboBox* m_payMode;      // 1300
    QCheckBox* m_change;         // 1068
    QCheckBox* m_print;          // 1069
    QCheckBox* m_prog;           // 1036
    QCheckBox* m_tell;           // 1150
    QCheckBox* m_compWrt;        // 1078
    QCheckBox* m_lineLoss;       // 1025
    CNumEdit* m_lWaste;          // 1097
    QCheckBox* m_transLoss;      // 1026
    QCheckBox* m_autoSetFix;     // 1105
    QCheckBox* m_remote;         // 1129
    QPushButton* m_remoteButton; // 1130
    // The stored values behind the two real-number texts.
    CKvShownNumber m_compRateWaterShown;
    CKvShownNumber m_lWasteShown;
};
