#include "KvQueryCommands.h"

#include "CMainFrame.h"
#include "KvMainCommands.h"
#include "KvMeterQuotaCommands.h"
#include "KvReceiptQueryCommands.h"
#include "KvSaleQueryCommands.h"

void InstallQueryCommands(CMainFrame& frame)
{
    frame.SetCommandHandler(ID_QUERY_RECEIPTS, [&frame] { QueryReceipts(frame); });
    frame.SetCommandHandler(ID_QUERY_SALES, [&frame] { QuerySales(frame); });
    frame.SetCommandHandler(ID_STAT_SALES, [&frame] { StatSales(frame); });
    frame.SetCommandHandler(ID_QUERY_METERS, [&frame] { QueryMeters(frame); });
    frame.SetCommandHandler(ID_QUERY_QUOTAFEES, [&frame] { QueryQuotaFees(frame); });
    frame.SetCommandHandler(ID_STAT_QUOTAFEES, [&frame] { StatQuotaFees(frame); });
}
