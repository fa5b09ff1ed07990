#include "view/ListColumns.h"

#include "support/UiText.h"

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

std::u16string ColumnTitle(int column) {
    static const char16_t* const kTitles[ColumnCount - 1] = {u"Path", u"Size", u"Group", u"Pack No",
                                                             u"Rate"};
    if (column == ColumnCount - 1) return Tr16("イメージ");
    return column >= 0 && column < ColumnCount ? kTitles[column] : u"";
}
