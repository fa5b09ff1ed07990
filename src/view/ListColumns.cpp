#include "view/ListColumns.h"

bool ColumnShown(ListMode mode, int column) {
    if (column < 0 || column >= ColumnCount) return false;
    return column != ColumnImage || mode == ListMode::Packed;
}

int LastShownColumn(ListMode mode) {
    return mode == ListMode::Packed ? ColumnImage : ColumnRate;
}

ListMode ModeOfRow(RowKind kind) {
    return kind == RowKind::PackHeader || kind == RowKind::PackItem ? ListMode::Packed
                                                                    : ListMode::Editable;
}

const char16_t* ColumnTitle(int column) {
    static const char16_t* const kTitles[ColumnCount] = {u"Path",    u"Size", u"Group",
                                                         u"Pack No", u"Rate", u"イメージ"};
    return column >= 0 && column < ColumnCount ? kTitles[column] : u"";
}
