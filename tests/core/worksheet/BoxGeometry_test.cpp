// Boxes on the sheet without widgets: the list, the anchoring to a cell, the
// snapping after a drag and the mouse arithmetic of moving and resizing.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "worksheet/BoxGeometry.h"

namespace {

// Cells of 14 x 17 with one-pixel lines, scrolled to column 2, row 5.
const TGridMetrics Grid{.ColWidth = 14, .RowHeight = 17, .LineWidth = 1, .VertLines = true, .LeftCol = 2, .TopRow = 5};

using R4 = std::array<int, 4>;
const auto Rect = [](const TGridRect &r) { return R4{r.Left, r.Top, r.Right, r.Bottom}; };

std::vector<TBoxNode *> Order(TBoxNode &head)
{
    std::vector<TBoxNode *> v;
    for (TBoxNode *b = head.Next; b; b = b->Next) {
        EXPECT_EQ(b->Prev->Next, b);
        v.push_back(b);
    }
    return v;
}

TEST(BoxList, NewestFirstAndUnlinking)
{
    TBoxNode head, a, b, c, stranger;
    for (TBoxNode *n : {&a, &b, &c})
        LinkAfterHead(head, *n);
    EXPECT_EQ(Order(head), (std::vector<TBoxNode *>{&c, &b, &a}));
    EXPECT_TRUE(head.IsHead() && !a.IsHead() && a.Prev == &b && head.Prev == nullptr);
    Unlink(b), Unlink(b), Unlink(stranger);  // the second time and a stranger: nothing happens
    EXPECT_EQ(Order(head), (std::vector<TBoxNode *>{&c, &a}));
    EXPECT_FALSE(ListHolds(head, &b));
    Unlink(a);  // the last one
    EXPECT_EQ(Order(head), (std::vector<TBoxNode *>{&c}));
    Unlink(c);
    EXPECT_TRUE(head.Next == nullptr && c.Next == nullptr && !ListHolds(head, nullptr));
}

TEST(BoxGeometry, CellsUnderPixelsAndTheirOrigins)
{
    const TGridMetrics g = Grid;
    // Pixel x, y, then the cell under it (-1: none).
    // clang-format off
    const std::array<int, 4> cases[] = {{14, 17, 2, 5}, {15, 18, 3, 6}, {-1, 10, -1, -1}, {0, 67 * 18, -1, -1},
        {0, 0, 2, 5},          // pixel 0 lies in the first column and row shown
        {50, 50, 5, 7},
        {10, -1, -1, -1},      // above the grid
        {70 * 15, 0, -1, -1},  // right of the last column
    };
    // clang-format on
    for (const auto &[x, y, wantCol, wantRow] : cases) {
        int col = 99, row = 99;
        EXPECT_EQ(std::tuple(CellUnder(g, x, y, col, row), col, row), std::tuple(wantCol >= 0, wantCol, wantRow)) << x;
    }
    EXPECT_EQ(std::tuple(Rect(CellOrigin(g, 5, 7)), Rect(CellOrigin(g, 0, 0)), Rect(CellOrigin(g, -1, -1))),
              std::tuple(R4({45, 36, 59, 53}), R4({-30, -90, -16, -73}), R4({-45, -108, -31, -91})));
}

// Without vertical grid lines the cells lie side by side: boxes are placed
// and hit without the line width.
TEST(BoxGeometry, LineWidthCountsOnlyWithVerticalLines)
{
    TGridMetrics g = Grid;
    g.VertLines = false;
    int col = 99, row = 99;
    const bool hit = CellUnder(g, 42, 34, col, row);
    EXPECT_EQ(std::tuple(BoxLineWidth(g), Rect(CellOrigin(g, 5, 7)), hit, col, row),
              std::tuple(0, R4({42, 34, 56, 51}), true, 5, 7));
    g.VertLines = true, g.LineWidth = 3;
    EXPECT_EQ(BoxLineWidth(g), 3);
}

// A press on a box: ignored while a calculation runs; with Clear armed it deletes the box, unless the page is
// locked; otherwise it drags, unless the page is locked.
TEST(BoxGeometry, PressActions)
{
    // Busy, Clear armed, page locked, then the action.
    // clang-format off
    const std::tuple<bool, bool, bool, TBoxPress> cases[] = {
        {true, true, false, TBoxPress::Ignore},
        {true, false, false, TBoxPress::Ignore},
        {false, true, false, TBoxPress::Delete},
        {false, true, true, TBoxPress::Refuse},
        {false, false, true, TBoxPress::Ignore},
        {false, false, false, TBoxPress::Drag},
    };
    // clang-format on
    for (const auto &[busy, clearArmed, pageLocked, action] : cases)
        EXPECT_EQ(BoxPressAction(busy, clearArmed, pageLocked), action) << busy << clearArmed << pageLocked;
}

// A box snapped onto the sheet is anchored to the cell of its corner (-1 left of or above
// the sheet) and follows scrolling and a larger font.
TEST(BoxGeometry, SnapKeepsTheBoxOnTheSheetAndTheAnchorFollowsIt)
{
    const struct {
        int left, top, wantLeft, wantTop, col, row, dx, dy;
    } cases[] = {
        {5000, 5000, 71 * 15 - 30 + 14 - 50, 71 * 18 - 90 + 17 - 50, 68, 69, -9, -3},  // far right and down
        {-900, -900, -30 - 200 + 30, -90 - 120 + 30, -1, -1, 155, 72},                 // far left and up
        {50, 50, 50, 50, 5, 7, -5, -14},                                               // inside: unchanged
    };
    for (const auto &c : cases) {
        TGridMetrics g = Grid;
        TBoxGeometry b{.Left = c.left, .Top = c.top, .Width = 200, .Height = 120};
        SnapBox(b, g, 71, 71, 200, 120);
        EXPECT_EQ(std::tuple(b.Left, b.Top, b.Col, b.Row, b.DX, b.DY),
                  std::tuple(c.wantLeft, c.wantTop, c.col, c.row, c.dx, c.dy))
            << c.left;
        g.LeftCol += 3, PlaceBox(b, g);  // three columns scrolled
        EXPECT_EQ(std::tuple(b.Left, b.Top, b.Col, b.Row), std::tuple(c.wantLeft - 45, c.wantTop, c.col, c.row));
        g.ColWidth = 20, g.RowHeight = 30, PlaceBox(b, g);  // a larger font
        EXPECT_EQ(std::tuple(b.Left, b.Top), std::tuple((c.col - 5) * 21 - c.dx, (c.row - 5) * 31 - c.dy)) << c.left;
    }
}

TEST(BoxGeometry, DragMovesPicturesAndResizesEditedTextBoxes)
{
    TBoxNode pic;
    pic.Kind = bkPicture, pic.Left = 10, pic.Top = 20, pic.Width = 100, pic.Height = 80, pic.DragX = 500,
    pic.DragY = 400;
    EXPECT_EQ(BoxDragStep(pic, true, 5, 5, 530, 390, 40, 24), dsNone);  // no button went down
    pic.MouseIsDown = 1;
    EXPECT_EQ(BoxDragStep(pic, true, 95, 75, 530, 390, 40, 24), unsigned(dsMoved));
    EXPECT_EQ(std::tuple(pic.Left, pic.Top, pic.DragX, pic.DragY, pic.Width, pic.Moving),
              std::tuple(40, 10, 530, 390, 100, 1));

    TBoxNode text;
    text.Kind = bkTextEdit, text.MouseIsDown = 1, text.Width = 200, text.Height = 120;
    const struct {
        bool left;
        int x, y;
        unsigned done;
        int w, h;
    } steps[] = {
        {true, 170, 150, dsNone, 200, 120},   // 30 pixels from the edge: outside the zone
        {true, 171, 90, dsNone, 200, 120},    // the same from the bottom edge
        {false, 190, 110, dsNone, 200, 120},  // no left button
        {true, 171, 91, dsResized, 171, 91},  // in the zone: resizing starts
        {false, 10, 10, dsResized, 171, 91},  // resizing goes on; below the minimum nothing
        {true, 41, 25, dsResized, 41, 25},    // just above the minimum
        {true, 40, 24, dsResized, 41, 25},   {true, 300, 200, dsResized, 300, 200},
    };
    for (const auto &s : steps) {
        EXPECT_EQ(BoxDragStep(text, s.left, s.x, s.y, 0, 0, 40, 24), s.done) << s.x;
        EXPECT_EQ(std::tuple(text.Width, text.Height), std::tuple(s.w, s.h)) << s.x;
    }
    EXPECT_EQ(std::tuple(text.Left, text.Top, text.Moving), std::tuple(0, 0, 0));
}

}  // namespace
