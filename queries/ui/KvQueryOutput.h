#pragma once

#include <QString>

class CMainFrame;

// Runs one query statement on a pooled recordset of the main connection and
// hands its rows to the report output with the first stored layout of the
// report type. False when nothing was found ("找不到相关数据！"): the query
// command ends. A missing layout is told ("报表格式类型错误！"), the recordset
// is given back and no report is shown; the command goes on.
bool OutputQueryReport(CMainFrame& frame, const QString& sql, const QString& reportType, const QString& title,
                       const QString& caption);
