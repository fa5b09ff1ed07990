#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/ListGeometry.h"

using namespace view_test;
using Lines = std::vector<ListLine>;

namespace {

constexpr auto G = ListLine::Glyph;
constexpr auto T = ListLine::TreeLine;

// /r (expanded): /r/s (expanded, last child) holding /r/s/f (last); /r2 after /r.
struct GeometryList : ListFixture {
    CPackFolder* r = AddFolder(doc.root, "/r", true);
    CPackFolder* s = AddFolder(*r, "/r/s", true);
    CPackItem* f = AddFile(*s, "/r/s/f", 1);
    CPackItem* r2 = AddFile(doc.root, "/r2", 1);
    GeometryList() { view.OnUpdate(kHintEditable); }  // rows: r s f r2
};

TEST(ListGeometry, TreeLinesOfTheEditableRows) {
    GeometryList t;
    // Row height 20: middle 10. Level k's connector sits at x = 16k - 8.
    struct Case {
        size_t row;
        Lines lines;
        ListRect box;
    } cases[] = {
        // /r: a tee (a later sibling follows) from its middle, since nothing is
        // above the first row; an open box at x 3..13.
        {0, {{8, 10, 16, 10, T}, {8, 10, 8, 20, T}, {6, 10, 11, 10, G}}, {3, 5, 14, 16}},
        // /r/s: last child, a corner; /r's column carries on for /r2.
        {1,
         {{24, 0, 24, 10, T}, {24, 10, 32, 10, T}, {8, 0, 8, 20, T}, {22, 10, 27, 10, G}},
         {19, 5, 30, 16}},
        // /r/s/f: a corner; /r/s was the last child, so its column stays blank.
        {2, {{40, 0, 40, 10, T}, {40, 10, 48, 10, T}, {8, 0, 8, 20, T}}, {}},
    };
    for (const Case& c : cases) {
        const RowLines lines = TreeLines(t.rows.DrawInfo(c.row), 20, 1000);
        EXPECT_EQ(lines.lines, c.lines) << c.row;
        EXPECT_EQ(lines.boxOutline, c.box) << c.row;
    }
    // A click hits the box with its right and bottom edges outside.
    const ListRect box = ExpandBoxRect(t.rows.DrawInfo(0), 20);
    EXPECT_TRUE(box.Contains(3, 5) && box.Contains(13, 15));
    EXPECT_FALSE(box.Contains(14, 10) || box.Contains(8, 16));
    EXPECT_EQ(TextIndent(t.rows.DrawInfo(2)), 68);
    EXPECT_EQ(IconRect(t.rows.DrawInfo(2), 21), (ListRect{50, 2, 66, 18}));
    // Short branches stop at the Path column's edge; a collapsed box gets the plus.
    t.view.ToggleTreeExpand(0);
    const RowLines lines = TreeLines(t.rows.DrawInfo(0), 20, 12);
    EXPECT_EQ(lines.lines,
              (Lines{{8, 10, 12, 10, T}, {8, 10, 8, 20, T}, {6, 10, 11, 10, G}, {8, 8, 8, 13, G}}));
}

TEST(ListGeometry, PackTrunkEndsAtTheLastPack) {
    ListFixture t;
    AddFile(t.doc.root, "/a", 60);
    AddFile(t.doc.root, "/b", 50);
    t.doc.Pack(100);
    t.view.OnUpdate(kHintPacked);
    t.view.TogglePackExpand(1);  // rows: Pack 1, Pack 2, /b
    const auto lines = [&](size_t row) { return TreeLines(t.rows.DrawInfo(row), 20, 1000).lines; };
    EXPECT_EQ(lines(0)[0], (ListLine{8, 10, 8, 20, T}));  // the first starts at its middle
    // The last pack's trunk stops in the middle; expanded, its box shows a minus only.
    EXPECT_EQ(lines(1), (Lines{{8, 0, 8, 10, T}, {8, 10, 16, 10, T}, {6, 10, 11, 10, G}}));
    EXPECT_EQ(lines(2), (Lines{{24, 0, 24, 10, T}, {24, 10, 32, 10, T}}));
    EXPECT_EQ(TextIndent(t.rows.DrawInfo(2)), 52);
}

}  // namespace
