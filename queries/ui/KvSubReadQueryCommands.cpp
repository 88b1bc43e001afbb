#include "KvSubReadQueryCommands.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CBalanceQueryDlg.h"
#include "CMainFrame.h"
#include "CSubReadQueryDlg.h"
#include "CSubReadStatDlg.h"
#include "CWaitCursor.h"
#include "KvMessage.h"
#include "KvQueryOutput.h"
#include "KvSubReadQuerySql.h"
#include "SysGlobals.h"

void QuerySubReadings(CMainFrame& frame)
{
    CSubReadCondition condition;
    for (;;) {
        CSubReadQueryDlg dialog(nullptr, QStringLiteral("附表抄收查询"));
        dialog.SetCondition(condition);
        if (dialog.DoModal() != IDOK)
            return;
        condition = dialog.GetCondition();
        const CSubReadWhere where = BuildSubReadWhere(condition, ESubReadCaptionStyle::Query);
        const QString type = SubReadReportType();
        if (!OutputQueryReport(frame, SubReadQuerySql(condition), type, type, where.caption))
            return;
    }
}

void StatSubReadings(CMainFrame& frame)
{
    CSubReadStatCondition condition;
    for (;;) {
        CSubReadStatDlg dialog(nullptr, QStringLiteral("附表抄收统计"));
        dialog.SetStatCondition(condition);
        if (dialog.DoModal() != IDOK)
            return;
        condition = dialog.GetStatCondition();
        const CSubReadStatMode* mode = SubReadStatMode(condition.m_mode);
        if (!mode)
            continue;
        const CSubReadWhere where = BuildSubReadWhere(condition, ESubReadCaptionStyle::Statistics);
        if (!OutputQueryReport(frame, SubReadStatSql(condition), QString::fromUtf8(mode->reportType),
                               QString::fromUtf8(mode->title), where.caption))
            return;
    }
}

namespace {

// The sum of every balance; no balance at all gives no value, shown as 0.
double BalanceTotal()
{
    CWaitCursor wait(GetMainDatabase());
    CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
    rs->Open(BalanceSumSql());
    const QString column = QStringLiteral("ThisBalance");
    return rs->IsEOF() || rs->IsFieldNull(column) ? 0.0 : rs->GetFieldDouble(column);
}

} // namespace

void QueryBalances(CMainFrame& frame)
{
    CBalanceQueryDlg dialog(nullptr, QStringLiteral("余额查询统计"));
    if (dialog.DoModal() != IDOK)
        return;
    switch (dialog.GetChoice()) {
    case 0:
        PromptBoxStr(BalanceTotalMessage(BalanceTotal()));
        break;
    case 1: {
        const QString type = BalanceReportType();
        OutputQueryReport(frame, BalanceDetailSql(), type, type, QString());
        break;
    }
    default:
        break;
    }
}
