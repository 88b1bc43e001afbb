#pragma once

#include "CKvDialog.h"

class CKvComboBox;

// The handheld sale machine (dialog 194): downloads to the machine and
// uploads its sales through the sale machine's tool, stages them and opens
// the archive of uploaded sales. The port, shared by all handheld devices,
// is kept in BravikCom of the local parameters; only the close box stores it.
class CHandheldSaleDlg : public CKvDialog
{
    Q_OBJECT

public:
    CHandheldSaleDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnDownload();
    void OnUpload();
    // The close box: stores the port; the window then closes as by Cancel.
    void OnClose();
    bool ImportSales();

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The archive dialog on the staged sales, with a caption.
    void openArchive(const QString& caption);

    int m_port = -1;
    QString m_handType;
    CKvComboBox* m_portList;
    CKvComboBox* m_typeList;
};
