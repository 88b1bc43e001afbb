#pragma once

#include <QDialog>

class QLabel;

// The modeless window shown while a job prints: the document, the printer and
// the page being printed. Its caption is the program's name. Printing runs
// page by page on the one thread, so it offers no way to stop a page.
class CPrintStatusDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CPrintStatusDlg(QWidget* parent);

    void SetDocumentName(const QString& name);
    void SetPrinterName(const QString& name);
    void SetPage(int page);

    // The page text: "第 n 页".
    static QString PageText(int page);

private:
    QLabel* m_documentName;
    QLabel* m_printerName;
    QLabel* m_page;
};
