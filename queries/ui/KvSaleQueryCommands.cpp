#include "KvSaleQueryCommands.h"

#include "CMainFrame.h"
#include "CSaleConditionDlg.h"
#include "CSaleStatDlg.h"
#include "KvDialogRunner.h"
#include "KvMessage.h"
#include "KvQueryOutput.h"
#include "KvSaleQuerySql.h"

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
        if (!OutputQueryReport(frame, SaleRecordQuerySql(condition), type, type, where.caption))
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
        if (!OutputQueryReport(frame, SaleStatSql(condition), QString::fromUtf8(grouping->reportType),
                               QString::fromUtf8(grouping->title), where.caption))
            return;
    }
}
