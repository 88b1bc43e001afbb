#include "KvMeterQuotaCommands.h"

#include "CAdoConnection.h"
#include "CMainFrame.h"
#include "CMeterQueryDlg.h"
#include "CQueryResultDlg.h"
#include "CQuotaQueryDlg.h"
#include "CQuotaStatDlg.h"
#include "CWaitCursor.h"
#include "KvMessage.h"
#include "KvMeterQuerySql.h"
#include "KvQuotaQuerySql.h"
#include "KvRecordsetHold.h"
#include "SysGlobals.h"

namespace {

const QString kNothingFound = QStringLiteral("找不到相关数据！");

// Opens a statement on the main connection; its number of rows.
int openCounted(CRecordsetHold& rs, const QString& sql)
{
    rs->Open(sql);
    return rs->GetRecordCount();
}

// A query command's wait ends before it says that nothing was found.
void nothingFound(CWaitCursor& wait, CMainFrame& frame)
{
    wait.End();
    PromptBox(kNothingFound, &frame);
}

} // namespace

void ShowResultTable(CReportTable& table, const CListPrintSettings& settings, const QString& title,
                     const QString& caption, int recordCount)
{
    CQueryResultDlg result(nullptr, QStringLiteral("%1(%2)").arg(title, caption));
    result.SetData(&table.cells, table.rows, &table.titles, table.columns, settings);
    result.SetRecordCountText(QStringLiteral("记录总数：%1").arg(recordCount));
    result.DoModal();
}

void QueryMeters(CMainFrame& frame)
{
    CMeterCondition condition;
    for (;;) {
        CMeterQueryDlg dialog(nullptr, QStringLiteral("用户电表查询"));
        dialog.SetMeterCondition(condition);
        if (dialog.DoModal() != IDOK)
            return;
        condition = dialog.GetMeterCondition();
        const QDateTime today = GetServerDate();
        const QString caption = BuildMeterWhere(condition, today).caption;
        CWaitCursor wait(GetMainDatabase());
        CRecordsetHold rs(GetMainDatabase()->AcquireRecordset());
        const int count = openCounted(rs, MeterQuerySql(condition, today));
        if (count < 1) {
            nothingFound(wait, frame);
            return;
        }
        CReportTable table = BuildMeterTable(*rs.Get(), count);
        ShowResultTable(table, MeterPrintSettings(caption), MeterQueryTitle(), caption, table.rows);
    }
}

void QueryQuotaFees(CMainFrame& frame)
{
    CQuotaCondition condition;
    QList<int> selection;
    for (;;) {
        CQuotaQueryDlg dialog(nullptr, QStringLiteral("请选择收费项"));
        dialog.SetQuotaCondition(condition);
        dialog.SetFeeSelection(selection);
        if (dialog.DoModal() != IDOK)
            return;
        condition = dialog.GetQuotaCondition();
        selection = dialog.GetFeeSelection();
        const QStringList feeNames = dialog.GetFeeNames();
        CWaitCursor wait(GetMainDatabase());
        {
            CRecordsetHold userMonths(GetMainDatabase()->AcquireRecordset());
            if (openCounted(userMonths, QuotaCountSql(condition)) < 1) {
                nothingFound(wait, frame);
                return;
            }
        }
        CRecordsetHold detail(GetMainDatabase()->AcquireRecordset());
        const int count = openCounted(detail, QuotaDetailSql(condition));
        if (count < 1) {
            nothingFound(wait, frame);
            return;
        }
        CReportTable table = BuildQuotaQueryTable(ReadQuotaDetailRows(*detail.Get()), feeNames);
        const QString caption = BuildQuotaQueryWhere(condition).caption;
        ShowResultTable(table, QuotaQueryPrintSettings(caption, condition.m_paper, int(feeNames.size())),
                        QuotaQueryTitle(), caption, count);
    }
}

void ShowQuotaStat(const CQuotaStatGrouping& grouping, const QStringList& feeNames, CAdoRecordset& grouped,
                   const QString& title, const QString& caption, int paper)
{
    CWaitCursor wait(GetMainDatabase());
    {
        CRecordsetHold enumerated(GetMainDatabase()->AcquireRecordset());
        if (openCounted(enumerated, grouping.enumerating) < 1)
            return;
    }
    const int count = grouped.GetRecordCount();
    CReportTable table = BuildQuotaStatTable(grouping, ReadQuotaStatRows(grouped, grouping), feeNames);
    ShowResultTable(table, QuotaStatPrintSettings(grouping, caption, paper, int(feeNames.size())), title, caption,
                    count);
}

void StatQuotaFees(CMainFrame& frame)
{
    CQuotaStatCondition condition;
    for (;;) {
        CQuotaStatDlg dialog(nullptr, QStringLiteral("定额收费统计"));
        dialog.SetStatCondition(condition);
        if (dialog.DoModal() != IDOK)
            return;
        condition = dialog.GetStatCondition();
        const CQuotaStatGrouping* grouping = QuotaStatGrouping(condition.m_grouping);
        if (!grouping)
            continue;
        CWaitCursor wait(GetMainDatabase());
        CRecordsetHold grouped(GetMainDatabase()->AcquireRecordset());
        if (openCounted(grouped, QuotaStatSql(condition)) < 1) {
            nothingFound(wait, frame);
            return;
        }
        ShowQuotaStat(*grouping, dialog.GetFeeNames(), *grouped.Get(), grouping->title,
                      BuildQuotaStatWhere(condition).caption, condition.m_paper);
    }
}
