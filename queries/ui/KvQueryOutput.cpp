#include "KvQueryOutput.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvReportForm.h"
#include "CMainFrame.h"
#include "CWaitCursor.h"
#include "KvMessage.h"
#include "KvRecordsetHold.h"
#include "SysGlobals.h"

bool OutputQueryReport(CMainFrame& frame, const QString& sql, const QString& reportType, const QString& title,
                       const QString& caption)
{
    // Until the list of rows is shown.
    CWaitCursor wait(GetMainDatabase());
    CRecordsetHold rs(GetMainDatabase()->AcquireRecordset());
    rs.Get()->Open(sql);
    if (rs.Get()->GetRecordCount() < 1) {
        wait.End();
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
