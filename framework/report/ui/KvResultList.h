#pragma once

#include <QStringList>

class CKvExtList2;

// What the list dialogs of query results share: the list's look and columns,
// and its rows filled from a lent cell table.

// Rows 20 pixels high on the button-face colour; one column a title (the
// title's width plus 20 pixels), or one untitled column of 100 pixels when
// there are none.
void PrepareResultList(CKvExtList2& list, const QStringList* titles, int shownColumns);

// Replaces the rows by `rows` rows of the first `shownColumns` of the
// row-major cells (`columns` a row), made in one pass: a large result at once.
// The columns widen to the texts of the first 500 rows and of the last one.
void FillResultList(CKvExtList2& list, const QStringList* cells, int rows, int columns, int shownColumns);
