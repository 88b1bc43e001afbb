#pragma once

#include "CDevicePortDlg.h"

class CKvComboBox;

// The handheld sale machine (dialog 194): downloads to the machine and
// uploads its sales through the sale machine's tool, stages them and opens
// the archive of uploaded sales.
class CHandheldSaleDlg : public CDevicePortDlg
{
    Q_OBJECT

public:
    CHandheldSaleDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnDownload();
    void OnUpload();
    bool ImportSales();

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    QString m_handType;
    CKvComboBox* m_typeList;
};
