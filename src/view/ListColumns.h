#pragma once

#include <string>

#include "view/ListRow.h"
#include "view/PackListView.h"

// The columns each mode of the list shows: the editable tree the first five,
// the packs a sixth with each pack's estimated image.
bool ColumnShown(ListMode mode, int column);
// The rightmost column the mode shows, where the row's frame and the column
// separators end.
int LastShownColumn(ListMode mode);
// The mode a row of this kind belongs to.
ListMode ModeOfRow(RowKind kind);
// The header's title of a column ("Path" ... "Rate", "イメージ").
std::u16string ColumnTitle(int column);
