#include "CSubReadQueryDlg.h"

#include "CReportSetupDlg.h"
#include "KvSubReadQuerySql.h"

CSubReadQueryDlg::CSubReadQueryDlg(QWidget* parent, const QString& caption)
    : CSubReadConditionDlg(170, parent, caption, QStringLiteral("查询(&Q)"))
{
}

void CSubReadQueryDlg::OnReportFormat()
{
    EditReportFormat(SubReadReportType(), SubReadReportName(), SubReadReportName());
}
