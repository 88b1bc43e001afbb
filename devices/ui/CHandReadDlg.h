#pragma once

#include "CKvDialog.h"

class CKvComboBox;

// The meter reader (dialog 199): downloads to the reader and uploads its
// readings through the meter reader's tool, stages them and opens the archive
// of uploaded readings. The port, shared by all handheld devices, is kept in
// BravikCom of the local parameters; only the close box stores it.
class CHandReadDlg : public CKvDialog
{
    Q_OBJECT

public:
    CHandReadDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnDownload();
    void OnUpload();
    // The close box: stores the port; the window then closes as by Cancel.
    void OnClose();
    bool ImportReadings();

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The archive dialog on the staged readings, with a caption.
    void openArchive(const QString& caption);

    int m_port = -1;
    CKvComboBox* m_portList;
};
