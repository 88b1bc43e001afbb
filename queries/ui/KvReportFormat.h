#pragma once

#include <QString>

// The report-format button of the query dialogs: the first stored layout of
// the report type is edited in the report setup dialog (caption "设置报表格式")
// and, on OK, saved with the type as its name, its columns replaced, in one
// transaction. With no stored layout of the type: "报表格式类型错误！" and
// nothing stored. A failure of the save is passed on unchanged. True when saved.
bool SetupReportFormat(const QString& reportType);
