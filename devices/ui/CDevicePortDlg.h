#pragma once

#include "CKvDialog.h"

class CKvComboBox;

// What the handheld devices' dialogs share: the port list "com1" to "com20"
// (control 1136), whose index is kept in BravikCom of the local parameters
// for all three devices. Only the window's close box stores it; 返回 and
// Escape do not.
class CDevicePortDlg : public CKvDialog
{
    Q_OBJECT

public:
    bool OnInitDialog() override;
    // The close box: stores the port; the window then closes as by Cancel.
    void OnClose();

protected:
    CDevicePortDlg(int resource, QWidget* parent, const QString& caption);

    bool DoDataExchange(bool saveAndValidate) override;
    void closeEvent(QCloseEvent* event) override;

    // The port number a tool is given: the index plus 1.
    int PortNumber() const { return m_port + 1; }

    int m_port = -1;
    CKvComboBox* m_portList;
};
