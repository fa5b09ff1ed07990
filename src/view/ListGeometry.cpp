#include "view/ListGeometry.h"

#include <algorithm>

#include "view/ListRows.h"

namespace {

// The pack trunk and the pack header's box sit in this column.
constexpr int kPackTrunkX = 8;
// Pack items hang off their own connector column.
constexpr int kPackItemX = 24;
constexpr int kTextGap = 36;

// Where an editable row's own indentation starts: its box sits 3 px in.
int TreeLeft(const RowDrawInfo& info) {
    return (static_cast<int>(info.level) - 1) * kLevelIndent;
}

ListRect BoxAt(int left, int middle) {
    return ListRect{left, middle - 5, left + kExpandBoxSize, middle + 6};
}

void Add(std::vector<ListLine>& lines, int x1, int y1, int x2, int y2,
         ListLine::Pen pen = ListLine::TreeLine) {
    lines.push_back(ListLine{x1, y1, x2, y2, pen});
}

// A connector: a corner for the last entry, else a tee that runs on down. The
// first row of the list has nothing above to connect to: its line starts at
// its middle (a tall row would otherwise show a line hanging from nowhere).
void Connector(std::vector<ListLine>& lines, int x, bool last, bool first, int middle, int height,
               int pathWidth) {
    const int branchEnd = std::min(x + 8, pathWidth);
    const int top = first ? middle : 0;
    if (last) {
        if (top < middle) Add(lines, x, top, x, middle);
        Add(lines, x, middle, branchEnd, middle);
    } else {
        Add(lines, x, middle, branchEnd, middle);
        Add(lines, x, top, x, height);
    }
}

void BoxStrokes(std::vector<ListLine>& lines, const ListRect& box, bool expanded, int middle) {
    Add(lines, box.left + 3, middle, box.left + 8, middle, ListLine::Glyph);
    if (!expanded) Add(lines, box.left + 5, middle - 2, box.left + 5, middle + 3, ListLine::Glyph);
}

}  // namespace

int RowMiddle(int rowHeight) {
    // Rounds down for odd (and, with a tiny row, negative) differences alike.
    return 8 + ((rowHeight - 16) >> 1);
}

int TextIndent(const RowDrawInfo& info) {
    switch (info.kind) {
        case RowKind::PackHeader:
            return kTextGap;
        case RowKind::PackItem:
            return kTextGap + kLevelIndent;
        default:
            return kTextGap + TreeLeft(info);
    }
}

ListRect IconRect(const RowDrawInfo& info, int rowHeight) {
    const int left = TextIndent(info) - 18;
    const int top = (rowHeight - kIconSize) / 2;
    return ListRect{left, top, left + kIconSize, top + kIconSize};
}

ListRect ExpandBoxRect(const RowDrawInfo& info, int rowHeight) {
    const int middle = RowMiddle(rowHeight);
    switch (info.kind) {
        case RowKind::Folder:
            return BoxAt(TreeLeft(info) + 3, middle);
        case RowKind::PackHeader:
            return BoxAt(kPackTrunkX - 5, middle);
        default:
            return {};
    }
}

RowLines TreeLines(const RowDrawInfo& info, int rowHeight, int pathWidth) {
    RowLines out;
    const int middle = RowMiddle(rowHeight);
    switch (info.kind) {
        case RowKind::File:
        case RowKind::Folder: {
            const int level = static_cast<int>(info.level);
            Connector(out.lines, -8 + level * kLevelIndent, info.lastSibling, info.firstRow, middle,
                      rowHeight, pathWidth);
            // Ancestors that have later siblings carry their line through this row.
            for (int k = 1; k < level; ++k) {
                const bool last = static_cast<size_t>(k - 1) < info.ancestorsLast.size() &&
                                  info.ancestorsLast[static_cast<size_t>(k - 1)];
                if (!last)
                    Add(out.lines, -8 + k * kLevelIndent, 0, -8 + k * kLevelIndent, rowHeight);
            }
            break;
        }
        case RowKind::PackItem:
            Connector(out.lines, kPackItemX, info.lastSibling, false, middle, rowHeight, pathWidth);
            if (info.morePacks) Add(out.lines, kPackTrunkX, 0, kPackTrunkX, rowHeight);
            break;
        case RowKind::PackHeader:
            if (info.morePacks || !info.firstRow)
                Add(out.lines, kPackTrunkX, info.firstRow ? middle : 0, kPackTrunkX,
                    info.morePacks ? rowHeight : middle);
            Add(out.lines, kPackTrunkX, middle, std::min(kPackTrunkX + 8, pathWidth), middle);
            break;
    }
    if (info.branch) {
        out.boxOutline = ExpandBoxRect(info, rowHeight);
        BoxStrokes(out.lines, out.boxOutline, info.expanded, middle);
    }
    return out;
}
