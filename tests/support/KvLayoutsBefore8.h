#pragma once

#include "CAdoConnection.h"
#include "KvSql.h"

#include <QList>
#include <QPair>
#include <QString>

// The layouts whose widths version 8 changed, with their widths as shipped
// before it.
inline const QList<QPair<QString, QList<int>>> kLayoutsBefore8{
    {"售电记录明细表", {200, 200, 200, 200, 170, 140, 170, 170, 170, 170, 170, 170, 150, 340, 150}},
    {"售电记录统计表_按用户电表", {200, 200, 200, 150, 170, 170, 200, 200, 200, 200, 200}},
    {"附表抄收明细表", {200, 200, 250, 200, 200, 170, 170, 170, 150, 170, 200, 150}},
    {"附表抄收统计表_按小区", {250, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按单元", {250, 250, 150, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按楼幢", {250, 250, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按部门", {250, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按楼层", {250, 250, 150, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按安装级别", {200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按房号", {250, 250, 150, 150, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按上级表号", {200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按用户", {200, 200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按用户电表", {200, 200, 200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按附表", {200, 200, 250, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按操作员", {200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按计量类别", {200, 150, 170, 170, 170, 200}},
    {"附表抄收统计表_按收费性质", {200, 250, 150, 170, 170, 170, 200}},
};

// Puts back a layout's widths as shipped before version 8.
inline void SetLayoutWidths(CAdoConnection& db, const QString& reportType, const QList<int>& widths)
{
    for (int x = 0; x < widths.size(); ++x)
        db.Execute(KvFormatSql("update KvReportCol set ColWidth = %d where ColX = %d and ReportId = "
                               "(select ReportId from KvReportForm where ReportType = '%s')",
                               widths.at(x), x, reportType),
                   QString());
}
