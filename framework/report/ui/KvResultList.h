#pragma once

class CResultList;
class CReportStore;

// What the list dialogs of query results share: the list's look and columns
// over a lent result store.

// Rows 20 pixels high on the button-face colour; the first `shownColumns`
// columns of the store, each as wide as its title plus 20 pixels.
void PrepareResultList(CResultList& list, const CReportStore* store, int shownColumns);
