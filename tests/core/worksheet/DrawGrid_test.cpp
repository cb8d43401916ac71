#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/SheetPicture.h"
#include "worksheet/DrawGrid.h"
#include "worksheet/Edit.h"

namespace {

// Marked rows as ranges: "9-11 20-22".
std::string Ranges(const TSheetRows &rows)
{
    std::string s;
    for (int r = 0; r < SheetCells; ++r)
        if (rows.test(size_t(r)) && (r == 0 || !rows.test(size_t(r - 1))))
            s += (s.empty() ? "" : " ") + std::to_string(r) + "-";
        else if (!rows.test(size_t(r)) && r > 0 && rows.test(size_t(r - 1)))
            s += std::to_string(r - 1);
    return s;
}

TEST(ShownSheet, ChangesMarkTheRowsTheyReachAsShownAndAsNow)
{
    SheetSetup setup(72, 72);
    TShownSheet shown;
    auto root = [](int top, int bottom) {
        return TAttrCell{.RootLevel = 1, .RootTop = uint8_t(top), .RootBottom = uint8_t(bottom), .Overline = 1};
    };
    const std::pair<std::function<void()>, const char *> cases[] = {
        {[] {}, ""},
        {[] { EditText.Cells[3][10].Ch = 'x'; }, "9-11"},
        {[] { EditText.Cells[0][0].Ch = 'x'; }, "0-1"},
        {[] { EditText.Attrs[4][20].Overline = 2; }, "17-21"},     // overlines stack upwards
        {[&] { EditText.Attrs[2][30] = root(30, 33); }, "27-34"},  // the radical spans the area
        {[] { EditText.Attrs[2][30] = TAttrCell{}; }, "27-34"},    // gone, it is redrawn away
        {[] { EditText.Cells[3][10].Ch = 'y', EditText.Cells[5][40].Ch = 'z'; }, "9-11 39-41"},
        {[] { EditText.Cells[80][10].Ch = 'x', EditText.Cells[10][80].Ch = 'x'; }, ""},  // outside the grid
    };
    for (const auto &[change, want] : cases) {
        SCOPED_TRACE(want);
        change();
        TSheetRows rows;
        EXPECT_EQ(shown.Changes(EditText.Cells, EditText.Attrs, 72, 72, rows), *want != 0);
        EXPECT_EQ(Ranges(rows), want);
        rows.reset();
        EXPECT_FALSE(shown.Changes(EditText.Cells, EditText.Attrs, 72, 72, rows));  // now shown
    }
    TSheetRows rows;
    EditText.Attrs[6][50] = root(48, 52);
    shown.Reach(EditText.Attrs, 6, 50, rows);  // the cursor's cell: its reach before any paint
    EXPECT_EQ(Ranges(rows), "45-53");
}

TEST(DrawGrid, ResizingKeepsTheCursorAndTheViewInside)
{
    // Size asked, size got, cursor and first visible cell after the cursor (70, 60) and view (50, 40).
    const int cases[][6] = {{10, 300, 10, 145, 9, 60}, {0, -5, 1, 1, 0, 0}, {71, 61, 71, 61, 70, 60}};
    for (const auto &c : cases) {
        TDrawGrid g;
        g.SetCol(70), g.SetRow(60), g.LeftCol = 50, g.TopRow = 40, g.SetSize(c[0], c[1]);
        const TGridRect &s = g.Selection();
        EXPECT_EQ(std::vector({g.ColCount(), g.RowCount(), g.Col(), g.Row(), s.Left, s.Top, s.Right, s.Bottom,
                               g.LeftCol, g.TopRow}),
                  std::vector({c[2], c[3], c[4], c[5], c[4], c[5], c[4], c[5], std::min(50, c[4]), std::min(40, c[5])}))
            << c[0] << " x " << c[1];
    }
}

}  // namespace
