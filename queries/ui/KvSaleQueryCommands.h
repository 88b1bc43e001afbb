#pragma once

class CMainFrame;

// 售电查询: the sale condition dialog, the paid sales as the report
// "售电记录明细表", and the dialog again with the same conditions, until the
// operator cancels or a query finds nothing.
void QuerySales(CMainFrame& frame);

// 售电统计: the same loop with the statistics dialog, one row per group of the
// chosen grouping, each grouping through its own stored layout.
void StatSales(CMainFrame& frame);
