#include "KvArchiveMaintenance.h"

#include "CCliPre.h"
#include "CClient.h"
#include "CClientListDlg.h"
#include "CFindClientDlg.h"
#include "CWaitCursor.h"
#include "KvMessage.h"
#include "SysGlobals.h"

void RunArchiveMaintenance()
{
    QString clientNo, clientName, meterNo;
    int mode = CFindClientDlg::ByClientNo;
    for (;;) {
        CClientList users;
        CCliPreList meters;
        CFindClientDlg find(nullptr, QStringLiteral("查找用户"));
        find.m_ClientNo = clientNo;
        find.m_ClientName = clientName;
        find.m_MeterNo = meterNo;
        find.m_SearchMode = mode;
        if (find.DoModal() != IDOK)
            return;
        clientNo = find.m_ClientNo;
        clientName = find.m_ClientName;
        meterNo = find.m_MeterNo;
        mode = find.m_SearchMode;

        // Until the archive's list of users is shown.
        CWaitCursor wait(GetMainDatabase());
        bool meterFound = true;
        if (mode == CFindClientDlg::ByClientNo) {
            users.LoadByNoPrefix(clientNo);
        } else if (mode == CFindClientDlg::ByMeterNo) {
            const CCliPre* meter = meters.FindCurrentByMeterNo(meterNo);
            if (meter)
                users.LoadByNoPrefix(meter->GetClientNo());
            else
                meterFound = false;
        } else {
            users.LoadByNamePrefix(clientName);
        }
        if (!meterFound || users.GetCount() == 0) {
            wait.End();
            PromptBox(meterFound ? QStringLiteral("找不到指定的用户！") : QStringLiteral("找不到指定的表号！"));
        }

        CClientListDlg archive(nullptr, QStringLiteral("维护档案"));
        archive.m_pClientList = &users;
        archive.DoModal();
    }
}
