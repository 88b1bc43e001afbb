#pragma once

class CMainFrame;

// 收据发票: the sale condition dialog, the paid sales in the receipt list, and
// the dialog again with the same conditions, until the operator cancels or a
// query finds nothing.
void QueryReceipts(CMainFrame& frame);
