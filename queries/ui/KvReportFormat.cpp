#include "KvReportFormat.h"

#include "CReportSetupDlg.h"

bool SetupReportFormat(const QString& reportType)
{
    return EditReportFormat(reportType, reportType, reportType);
}
