#pragma once

#include "CKvDialog.h"
#include "CListPrintSettings.h"
#include "CReportStore.h"

#include <QString>
#include <QStringList>
#include <memory>

class CResultList;
class CListPrintJob;
class CReportFieldList;
class QLabel;

// The result list (dialog 180): the rows of a result store lent by the caller
// (or a table of cell texts, kept as a store of its own), with its record
// count, sorted by a click on a column heading and printed through the
// preview. The report output also gives it the report's field catalogue,
// which tells numeric columns from text ones.
class CQueryResultDlg : public CKvDialog
{
    Q_OBJECT

public:
    CQueryResultDlg(QWidget* parent, const QString& caption);
    ~CQueryResultDlg() override;

    // Keeps the store by pointer: the caller frees it after the dialog has
    // closed; sorting reorders its rows. The settings are copied.
    void SetData(CReportStore* store, const CListPrintSettings& settings);
    // Copies the cells (row-major, rows x columns) and the titles.
    void SetData(const QStringList* cells, int rows, const QStringList* titles, int columns,
                 const CListPrintSettings& settings);
    void SetCatalogue(CReportFieldList* catalogue) { m_catalogue = catalogue; }
    // Whether the last row is a summary row that sorting leaves last. Without a
    // call, a last row that begins with "汇    总" is taken for one.
    void SetSummaryRow(bool summaryRow) { m_summaryRow = summaryRow ? 1 : 0; }
    void SetRecordCountText(const QString& text) { m_recordCountText = text; }

    const QString& GetRecordCountText() const { return m_recordCountText; }
    const CListPrintSettings& GetPrintSettings() const { return m_settings; }
    const QStringList& GetTitles() const;
    int GetColumnCount() const { return m_columns; }
    CResultList* GetList() const { return m_list; }
    const CReportStore* GetStore() const { return m_store; }
    CListPrintJob* GetPrintJob() const { return m_printJob.get(); }

    bool OnInitDialog() override;

    // Sorts the rows by a column (the header-click callback) and shows them again.
    void SortByColumn(int column);
    // Sets the printer's paper from the settings and opens the print preview.
    void OnPrint();

private:
    bool hasSummaryRow() const;

    std::unique_ptr<CListPrintJob> m_printJob;
    CReportStore* m_store = nullptr;
    CReportStore m_ownStore; // the store of cells given as texts
    int m_columns = 0;
    CListPrintSettings m_settings;
    CReportFieldList* m_catalogue = nullptr;
    int m_summaryRow = -1; // -1: by the first cell of the last row
    QString m_recordCountText;

    CResultList* m_list;  // 1200
    QLabel* m_countLabel; // 1262
};
