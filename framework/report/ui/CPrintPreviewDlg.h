#pragma once

#include "CKvDialog.h"

class CKvPreviewView;
class QPushButton;

// The print preview: almost the whole screen, a row of buttons above the page
// view. The caller sets the print job (not owned) and runs it modally; the
// operator pages, zooms and prints from it.
class CPrintPreviewDlg : public CKvDialog
{
    Q_OBJECT

public:
    explicit CPrintPreviewDlg(QWidget* parent = nullptr);

    void SetPrintJob(CPrintJob* job) { m_pPrintJob = job; }
    CPrintJob* GetPrintJob() const { return m_pPrintJob; }
    CKvPreviewView* GetView() const { return m_view; }

    bool OnInitDialog() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnPrint();
    void PlaceView();

    CKvPreviewView* m_view = nullptr;
    QWidget* m_buttonRow;
    QPushButton* m_print; // 1078
};
