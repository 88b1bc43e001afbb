#include "KvSaleQueryCommands.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvReportForm.h"
#include "CMainFrame.h"
#include "CSaleConditionDlg.h"
#include "CSaleStatDlg.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvRecordsetHold.h"
#include "KvSaleQuerySql.h"
#include "SysGlobals.h"

namespace {

// Runs one statement and hands its rows to the report output with the first
// stored layout of the type. False when nothing was found: the command ends.
// A missing layout is told and no report is shown; the command goes on.
bool OutputSales(CMainFrame& frame, const QString& sql, const QString& reportType, const QString& title,
                 const QString& caption)
{
    CRecordsetHold rs(GetMainDatabase()->AcquireRecordset());
    rs.Get()->Open(sql);
    if (rs.Get()->GetRecordCount() < 1) {
        PromptBox(QStringLiteral("找不到相关数据！"), &frame);
        return false;
    }
    CKvReportFormList layouts;
    CKvReportForm* layout = layouts.LoadLayout(reportType);
    if (!layout)
        return true;
    frame.OutputReport(rs.HandOver(), layout, title, caption);
    return true;
}

} // namespace

void QuerySales(CMainFrame& frame)
{
    CSaleCondition condition;
    for (;;) {
        CSaleQueryDlg dialog(nullptr, QStringLiteral("售电记录查询"));
        dialog.SetCondition(condition);
        if (RunOperatorDialog(dialog) != IDOK)
            return;
        condition = dialog.GetCondition();
        const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::RecordQuery);
        const QString type = SaleRecordReportType();
        if (!OutputSales(frame, SaleRecordQuerySql(condition), type, type, where.caption))
            return;
    }
}

void StatSales(CMainFrame& frame)
{
    CSaleStatCondition condition;
    for (;;) {
        CSaleStatDlg dialog(nullptr, QStringLiteral("售电记录统计"));
        dialog.SetStatCondition(condition);
        if (RunOperatorDialog(dialog) != IDOK)
            return;
        condition = dialog.GetStatCondition();
        const CSaleStatGrouping* grouping = SaleStatGrouping(condition.m_grouping);
        if (!grouping)
            continue;
        const CSaleWhere where = BuildSaleWhere(condition, ESaleCaptionStyle::Statistics);
        if (!OutputSales(frame, SaleStatSql(condition), QString::fromUtf8(grouping->reportType),
                         QString::fromUtf8(grouping->title), where.caption))
            return;
    }
}
