// The report output of the main frame: query rows laid out by a stored layout.
#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvReportCol.h"
#include "CKvReportForm.h"
#include "CListPrintSettings.h"
#include "CMainFrame.h"
#include "CQueryResultDlg.h"
#include "CReportTable.h"
#include "CWaitCursor.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvReportCatalogues.h"

void CMainFrame::OutputReport(CAdoRecordset* rs, CKvReportForm* layout, const QString& title, const QString& condition)
{
    // The recordset goes back to its pool whichever way this ends.
    CAdoLease<CAdoRecordset> lease(rs);
    const int recordCount = rs ? rs->GetRecordCount() : 0;
    if (recordCount <= 0) {
        PromptBox(QStringLiteral("找不到相关数据！"), this);
        return;
    }
    if (!layout) {
        PromptBox(QStringLiteral("报表格式类型错误！"), this);
        return;
    }
    CKvReportColList columns;
    layout->LoadColumns(columns);
    if (columns.GetCount() == 0) {
        PromptBox(QStringLiteral("报表格式中没有选中列！"), this);
        return;
    }
    QStringList headings;
    CListPrintSettings settings;
    for (int i = 0; i < columns.GetCount(); ++i) {
        headings << columns.At(i)->GetColHeader();
        settings.m_colWidths << columns.At(i)->GetColWidth();
    }
    CReportFieldList* catalogue = GetReportCatalogue(layout->GetReportType());
    if (!catalogue) {
        PromptBox(QStringLiteral("报表格式类型错误！"), this);
        return;
    }
    // The rows are laid out under the wait cursor, which the list's dialog ends as it shows.
    CWaitCursor wait;
    CReportStore store = BuildReportStore(*rs, recordCount, headings, *catalogue);

    settings.m_title = title;
    settings.m_subTitle = condition;
    settings.m_paperIndex = layout->GetPaperSize();
    settings.m_continuousPaper = layout->GetHPaper() == QStringLiteral("是") ? 1 : 0;
    settings.m_paperWidth = layout->GetPaperWidth();
    settings.m_paperLength = layout->GetPaperLength();
    settings.m_topMargin = layout->GetTopOffset();
    settings.m_bottomMargin = layout->GetBottomOffset();
    settings.m_leftMargin = layout->GetLeftOffset();
    settings.m_rightMargin = layout->GetRightOffset();
    settings.m_reserved = 2;

    const QString caption = QStringLiteral("%1(%2)").arg(title, condition);
    if (HasDialogRunner())
        CaptureListTable(caption, store.Titles(), store.Cells(), store.ColumnCount());
    CQueryResultDlg dialog(this, caption);
    dialog.SetData(&store, settings);
    dialog.SetCatalogue(catalogue);
    dialog.SetSummaryRow(true);
    dialog.SetRecordCountText(QStringLiteral("记录总数：%1").arg(recordCount));
    RunOperatorDialog(dialog);
}
