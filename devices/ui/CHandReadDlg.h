#pragma once

#include "CDevicePortDlg.h"

// The meter reader (dialog 199): downloads to the reader and uploads its
// readings through the meter reader's tool, stages them and opens the archive
// of uploaded readings.
class CHandReadDlg : public CDevicePortDlg
{
    Q_OBJECT

public:
    CHandReadDlg(QWidget* parent, const QString& caption);

    void OnDownload();
    void OnUpload();
    bool ImportReadings();
};
