#pragma once

class CMainFrame;

// 附表抄收查询: the reading condition dialog, the paid sub-meter readings as the
// report "附表抄收明细表", and the dialog again with the same conditions, until
// the operator cancels or a query finds nothing.
void QuerySubReadings(CMainFrame& frame);

// 附表抄收统计: the same loop with the statistics dialog, one row per group of
// the chosen grouping, each grouping through its own stored layout.
void StatSubReadings(CMainFrame& frame);

// 余额查询统计: the total of all balances in a message, or the balance of each
// current user as the report "余额明细表"; one pass, no loop.
void QueryBalances(CMainFrame& frame);
