#pragma once

#include "CKvDialog.h"
#include "CReadDataImport.h"

class CKvComboBox;

// The programmer (dialog 174): downloads to the programmer, uploads sub-meter
// initial values or pulse readings through its tool and the reading-data
// library into the staging table, and opens the two archives of what is
// staged. The port, shared by all handheld devices, is kept in BravikCom of
// the local parameters and stored at every change.
class CSubProgrammerDlg : public CKvDialog
{
    Q_OBJECT

public:
    CSubProgrammerDlg(QWidget* parent, const QString& caption);

    bool OnInitDialog() override;

    void OnPortChange();
    void OnDownload();
    void OnUploadInitialValues() { upload(CReadDataImport::InitialValues); }
    void OnUploadReadings() { upload(CReadDataImport::Readings); }
    void OnArchiveInitialValues();
    void OnArchiveReadings();

protected:
    bool DoDataExchange(bool saveAndValidate) override;

private:
    void upload(CReadDataImport::Kind kind);

    int m_port = -1;
    bool m_shown = false;
    CKvComboBox* m_portList;
};
