#include "KvReceiptQueryCommands.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CMainFrame.h"
#include "CReceiptListDlg.h"
#include "CSaleConditionDlg.h"
#include "CWaitCursor.h"
#include "KvMessage.h"
#include "KvReceiptQuery.h"
#include "SysGlobals.h"

namespace {

// The receipt query has no bought-kWh condition: the dialog shows that box as
// a new block has it, and what the operator sets there is not kept.
void keepKwh(CSaleCondition& target, const CSaleCondition& source)
{
    target.m_bBuyValue = source.m_bBuyValue;
    target.m_buyFrom = source.m_buyFrom;
    target.m_buyTo = source.m_buyTo;
}

} // namespace

void QueryReceipts(CMainFrame& frame)
{
    const CSaleCondition defaults;
    CSaleCondition condition;
    for (;;) {
        CSaleQueryDlg dialog(nullptr, QStringLiteral("售电记录查询"));
        CSaleCondition shown = condition;
        keepKwh(shown, defaults);
        dialog.SetCondition(shown);
        if (dialog.DoModal() != IDOK)
            return;
        const CSaleCondition previous = condition;
        condition = dialog.GetCondition();
        keepKwh(condition, previous);

        // Until the list of receipts is shown.
        CWaitCursor wait(GetMainDatabase());
        CReportStore store;
        int sales = 0;
        {
            CAdoLease<CAdoRecordset> rs(GetMainDatabase()->AcquireRecordset());
            store = ReadReceiptStore(*rs, ReceiptQuerySql(condition), &sales);
        }
        if (sales <= 0) {
            wait.End();
            PromptBox(QStringLiteral("找不到相关数据！"), &frame);
            return;
        }
        CReceiptListDlg list(nullptr, ReceiptListCaption(condition));
        list.SetData(&store);
        list.SetRecordCountText(QStringLiteral("记录总数：%1").arg(sales));
        list.DoModal();
    }
}
