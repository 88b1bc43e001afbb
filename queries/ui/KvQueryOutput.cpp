#include "KvQueryOutput.h"

#include "CAdoConnection.h"
#include "CAdoRecordset.h"
#include "CKvReportForm.h"
#include "CMainFrame.h"
#include "KvMessage.h"
#include "SysGlobals.h"

#include <utility>

namespace {

// Gives a pooled recordset back on every way out unless it was handed over.
class CRecordsetHold
{
public:
    explicit CRecordsetHold(CAdoRecordset* rs) : m_rs(rs) {}
    ~CRecordsetHold()
    {
        if (m_rs)
            m_rs->Release();
    }
    CAdoRecordset* Get() const { return m_rs; }
    CAdoRecordset* HandOver() { return std::exchange(m_rs, nullptr); }

private:
    CAdoRecordset* m_rs;
};

} // namespace

bool OutputQueryReport(CMainFrame& frame, const QString& sql, const QString& reportType, const QString& title,
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
