#pragma once

#include <cstdint>
#include <vector>

struct RowDrawInfo;

// The drawn geometry of the list's Path cell, shared by the drawing and the
// click test so that a click hits the box where it is drawn. Coordinates are
// relative to the left edge of the Path cell and the top of the row; right and
// bottom edges are exclusive.
constexpr int kLevelIndent = 16;  // px per tree level
constexpr int kExpandBoxSize = 11;
constexpr int kIconSize = 16;

struct ListRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const ListRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A line from (x1, y1) up to, not including, (x2, y2).
struct ListLine {
    enum Pen : uint8_t { TreeLine, Glyph };  // grey connector, black plus/minus stroke
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Pen pen = TreeLine;
    bool operator==(const ListLine& o) const {
        return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 && pen == o.pen;
    }
};

// The vertical middle of a row's connector line.
int RowMiddle(int rowHeight);
// Where the Path text starts.
int TextIndent(const RowDrawInfo& info);
// Where the 16 x 16 icon is drawn.
ListRect IconRect(const RowDrawInfo& info, int rowHeight);
// The 11 x 11 expand box of a folder or pack header row; empty for others.
ListRect ExpandBoxRect(const RowDrawInfo& info, int rowHeight);

// Tree lines and the box's plus/minus strokes of one row, and the box outline
// (grey, white inside; empty when the row has none). pathWidth, the width of
// the Path column, cuts the short branches.
struct RowLines {
    std::vector<ListLine> lines;
    ListRect boxOutline;
};
RowLines TreeLines(const RowDrawInfo& info, int rowHeight, int pathWidth);
