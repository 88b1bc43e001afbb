#pragma once

#include "CKvDialog.h"
#include "CListPrintSettings.h"

#include <QString>
#include <QStringList>
#include <memory>

class CKvExtList2;
class CListPrintJob;
class CReportFieldList;
class QLabel;

// The result list (dialog 180): a table of cell texts lent by the caller, with
// its record count, sorted by a click on a column heading and printed through
// the preview. The report output also gives it the report's field catalogue,
// which tells numeric columns from text ones.
class CQueryResultDlg : public CKvDialog
{
    Q_OBJECT

public:
    CQueryResultDlg(QWidget* parent, const QString& caption);
    ~CQueryResultDlg() override;

    // Keeps the cells (row-major, rows x columns) and the titles by pointer: the
    // caller frees them after the dialog has closed. The settings are copied.
    void SetData(QStringList* cells, int rows, QStringList* titles, int columns, const CListPrintSettings& settings);
    void SetCatalogue(CReportFieldList* catalogue) { m_catalogue = catalogue; }
    // Whether the last row is a summary row that sorting leaves last. Without a
    // call, a last row that begins with "汇    总" is taken for one.
    void SetSummaryRow(bool summaryRow) { m_summaryRow = summaryRow ? 1 : 0; }
    void SetRecordCountText(const QString& text) { m_recordCountText = text; }

    const QString& GetRecordCountText() const { return m_recordCountText; }
    const CListPrintSettings& GetPrintSettings() const { return m_settings; }
    const QStringList& GetTitles() const;
    int GetColumnCount() const { return m_columns; }
    CKvExtList2* GetList() const { return m_list; }
    CListPrintJob* GetPrintJob() const { return m_printJob.get(); }

    bool OnInitDialog() override;

    // Sorts the rows by a column (the header-click callback) and shows them again.
    void SortByColumn(int column);
    // Sets the printer's paper from the settings and opens the print preview.
    void OnPrint();

private:
    void fillRows();
    bool hasSummaryRow() const;

    std::unique_ptr<CListPrintJob> m_printJob;
    QStringList* m_cells = nullptr;
    int m_rows = 0;
    QStringList* m_titles = nullptr;
    int m_columns = 0;
    CListPrintSettings m_settings;
    CReportFieldList* m_catalogue = nullptr;
    int m_summaryRow = -1; // -1: by the first cell of the last row
    QString m_recordCountText;

    CKvExtList2* m_list;  // 1200
    QLabel* m_countLabel; // 1262
};
