// Page layout of the printed sheet, worked by hand: A4 at 600 dpi is 4958 x 7017
// printer pixels; the screen's 14-point cells are 14 x 17 pixels.
#include <gtest/gtest.h>

#include "shell/PrintLayout.h"
#include "worksheet/Edit.h"

namespace {

const TFontHeightFunc Height600 = [](int32_t size) { return (size * 600 + 36) / 72; };
const auto Sheet = [](int cells, bool lines, TGridRect sel = {}) {
    return TSheetView{cells, cells, 14, 17, lines, sel};
};
const auto Edges = [](const TGridRect &r) { return std::tuple(r.Left, r.Top, r.Right, r.Bottom); };

TEST(PrintLayout, FitsTheLargestFontInsideTheMargins)
{
    const TPageGeometry a4{4958, 7017, 0, 0, 600}, a4Wide{7017, 4958, 0, 0, 600};
    // What, page, margins, sheet, fits, then font size, cell width and height, target width and height.
    const std::tuple<const char *, TPageGeometry, TPrintMargins, TSheetView, bool, int, int, int, int, int> cases[] = {
        // Area 4058 x 6117: size 9 gives 57 x 72 + 1 = 4105 > 4058. Landscape: size 8 is 3673 > 3382.
        {"portrait", a4, {}, Sheet(72, true), true, 8, 50, 62, 3671, 4535},
        {"landscape", a4Wide, {}, Sheet(72, true), true, 7, 43, 53, 3167, 3887},
        {"largest sheet", a4, {}, Sheet(144, true), true, 4, 24, 30, 3599, 4463},
        {"no lines", a4, {}, Sheet(72, false), true, 8, 50, 62, 3599, 4463},
        // Size 8 is 3673 x 4537, size 7 3889 high: growing stops at an exact fit and steps back one size.
        {"exact height", {4958, 4537, 0, 0, 600}, {0, 0, 0, 0}, Sheet(72, true), true, 7, 43, 53, 3167, 3887},
        {"exact height, shrunk", {4958, 3889, 0, 0, 600}, {0, 0, 0, 0}, Sheet(72, true), true, 7, 43, 53, 3167, 3887},
        {"exact width", {3673, 7017, 0, 0, 600}, {0, 0, 0, 0}, {72, 72, 14, 20, true, {}}, true, 8, 50, 62, 3671, 4535},
        {"tiny area", {1000, 1000, 0, 0, 600}, {750, 750, 750, 750}, Sheet(72, true), false, 1, 6, 7, 503, 575},
        // Areas of 0 x 4058, 4058 x 0, one pixel wide, and crossed margins; the screen's font stays.
        {"no width", a4, {4000, 750, 4264, 750}, Sheet(72, true), false, 0, 0, 0, 0, 0},
        {"no height", a4, {750, 5000, 750, 6695}, Sheet(72, true), false, 0, 0, 0, 0, 0},
        {"one pixel", a4, {4000, 750, 4263, 750}, Sheet(72, true), false, 1, 6, 7, 503, 575},
        {"crossed across", a4, {5000, 750, 5000, 750}, Sheet(72, true), false, 0, 0, 0, 0, 0},
        {"crossed down", a4, {750, 8000, 750, 8000}, Sheet(72, true), false, 0, 0, 0, 0, 0},
        {"too narrow", {490, 7017, 0, 0, 600}, {0, 0, 0, 0}, Sheet(72, true), false, 1, 6, 7, 503, 575},
    };
    for (const auto &[what, page, margins, sheet, fits, fontSize, cellWidth, cellHeight, width, height] : cases) {
        TPrintLayout l;
        FontSize = 14;
        l.PrepareSheet(sheet);
        EXPECT_EQ(l.CalcPageLayout(page, margins, Height600), fits) << what;
        EXPECT_EQ(std::tuple(l.FontSize, l.CellWidth, l.CellHeight, l.TargetWidth, l.TargetHeight,
                             fontSize ? CellFontSize : 0, fontSize ? LineUnit : 0, l.SavedFontSize),
                  std::tuple(fontSize, cellWidth, cellHeight, width, height, fontSize, cellWidth, 14))
            << what;
    }
}

TEST(PrintLayout, EveryMarginUsesTheHorizontalResolution)
{
    TPrintLayout l;
    l.PrepareSheet(Sheet(72, true));
    ASSERT_TRUE(l.CalcPageLayout({4958, 7017, 0, 0, 600}, {}, Height600));
    EXPECT_EQ(Edges(l.AreaRect), std::tuple(450, 450, 4507, 6566));
    EXPECT_EQ(std::tuple(l.AreaWidth, l.AreaHeight), std::tuple(4058, 6117));
    EXPECT_EQ(Edges(l.OutRect), std::tuple(450, 450, 4122, 4986));
    EXPECT_DOUBLE_EQ(l.Scale, 4535.0 / 1297);
    // Centred is what is printed, 3673 x 4537 with the closing lines: (4058 - 3673) / 2 = 192 across and
    // (6117 - 4537) / 2 = 790 down, 642 and 643 pixels from the paper's left and right edges, 1240 from both others.
    l.CenterHoriz = l.CenterVert = true;
    l.CenterHorizontally();
    l.CenterVertically();
    EXPECT_EQ(Edges(l.OutRect), std::tuple(642, 1240, 4314, 5776));
    // The left edge carries one extra pixel, the top does not.
    EXPECT_EQ(Edges(l.CellRect(0, 0)), std::tuple(643, 1240, 692, 1301));
    EXPECT_EQ(Edges(l.CellRect(2, 1)), std::tuple(745, 1303, 794, 1364));
    EXPECT_EQ(Edges(l.Frame()), Edges(l.OutRect));
    EXPECT_EQ(Edges(l.Range()), std::tuple(0, 0, 71, 71));
    // Pictures: offsets 5 and 7 become 17 and 24, the width 51 x 30 / 15 = 102, the height (20 - 1) x 3.4965 = 66.
    EXPECT_EQ(Edges(l.PictureRect(2, 1, 5, 7, 30, 20)),
              std::tuple(745 - 17, 1303 - 24, 745 - 17 + 102, 1303 - 24 + 66));
}

TEST(PrintLayout, SelectionIsPlacedAtTheTopLeftOfTheSheet)
{
    TPrintLayout l;
    l.PrepareSheet(Sheet(72, true, {10, 20, 12, 21}));
    ASSERT_TRUE(l.CalcPageLayout({4958, 7017, 0, 0, 600}, {}, Height600));
    l.PrintSelection = l.HasSelection;
    // Framed as a sheet of these cells would be: the lines left of the first cell, right of and below the last.
    EXPECT_EQ(std::tuple(Edges(l.CellRect(10, 20)), Edges(l.Range()), Edges(l.Frame())),
              std::tuple(std::tuple(451, 450, 500, 511), std::tuple(10, 20, 12, 21), std::tuple(450, 450, 603, 576)));
    EXPECT_LT(l.CellRect(8, 18).Left, l.Frame().Left);  // a box anchored left of the selection lands outside

    // A single cell selected prints the whole sheet, whatever was asked before.
    l.PrepareSheet(Sheet(72, true, {4, 4, 4, 4}));
    EXPECT_EQ(std::tuple(l.HasSelection, l.PrintSelection, Edges(l.Range())),
              std::tuple(false, false, Edges({0, 0, 71, 71})));
}

TEST(PrintLayout, CentringLeavesTheSameRoomOnBothSidesOfWhatIsPrinted)
{
    const TPageGeometry a4{4958, 7017, 0, 0, 600}, a4Wide{7017, 4958, 0, 0, 600};
    // Without lines only the cells are printed: they are what is centred, and they are all of it.
    const std::tuple<const char *, TPageGeometry, TSheetView> cases[] = {
        {"sheet, lines", a4, Sheet(72, true)},
        {"sheet, no lines", a4, Sheet(72, false)},
        {"sheet, no lines, landscape", a4Wide, Sheet(72, false)},
        {"selection, no lines", a4, Sheet(72, false, {3, 4, 11, 40})},
        {"selection, lines, landscape", a4Wide, Sheet(72, true, {3, 4, 12, 41})},
    };
    for (const auto &[what, page, sheet] : cases) {
        TPrintLayout l;
        l.PrepareSheet(sheet);
        l.PrintSelection = l.HasSelection;
        ASSERT_TRUE(l.CalcPageLayout(page, {}, Height600, true)) << what;
        l.CenterHoriz = l.CenterVert = true;
        l.CenterHorizontally();
        l.CenterVertically();
        const TGridRect p = l.Printed(), range = l.Range();
        const TGridRect first = l.CellRect(range.Left, range.Top), last = l.CellRect(range.Right, range.Bottom);
        const int left = p.Left, top = p.Top, right = page.PageWidth - 1 - p.Right,
                  bottom = page.PageHeight - 1 - p.Bottom;
        EXPECT_TRUE(std::abs(left - right) <= 1 && std::abs(top - bottom) <= 1)
            << what << ": " << left << " " << right << " " << top << " " << bottom;
        EXPECT_GE(std::min({left, top, right, bottom}), 450) << what;
        if (sheet.VertLines)  // the frame's lines close around the cells
            EXPECT_TRUE(p.Left < first.Left && p.Top <= first.Top && last.Right < p.Right && last.Bottom < p.Bottom)
                << what;
        else
            EXPECT_EQ(Edges(p), Edges({first.Left, first.Top, last.Right, last.Bottom})) << what;
    }
}

TEST(PrintLayout, Conversions)
{
    // The last margin saturates instead of overflowing; no resolution gives no inches.
    EXPECT_EQ(std::tuple(MarginPixels(600, 750), MarginPixels(96, 750), MarginPixels(1200, 2000000000)),
              std::tuple(450, 72, 2147483647));
    EXPECT_EQ(std::tuple(PixelsToThousandths(450, 600), PixelsToThousandths(100, 300), PixelsToThousandths(100, 0)),
              std::tuple(750, 333, 0));
}

TEST(PreviewLayout, PageImageAndDestination)
{
    // Taller than the view: AvailHeight - 27 pixels high, centred across.
    TPreviewGeometry g = PreviewPageGeometry(800, 600, 1.5);
    EXPECT_EQ(std::tuple(g.ImageRect.Right, g.ImageRect.Bottom, g.ImageLeft, g.ImageTop),
              std::tuple(381, 572, 213, 30));
    g = PreviewPageGeometry(800, 600, 0.5);
    EXPECT_EQ(std::tuple(g.ImageRect.Right, g.ImageRect.Bottom, g.ImageLeft), std::tuple(796, 398, 6));
    g = PreviewPageGeometry(3, 3, 1.5);  // no room at all
    EXPECT_EQ(std::tuple(g.ImageRect.Right, g.ImageRect.Bottom), std::tuple(1, 1));

    // The sheet keeps its proportions inside the area, from its top-left corner; nothing of no size.
    // clang-format off
    const std::pair<TGridRect, std::tuple<int, int, int, int>> dests[] = {
        {{0, 0, 50, 60}, {10, 20, 110, 140}}, {{0, 0, 50, 500}, {10, 20, 30, 220}}, {{0, 0, 0, 0}, {10, 20, 10, 20}},
        {{0, 0, 0, 60}, {10, 20, 10, 20}}, {{0, 0, 50, 0}, {10, 20, 10, 20}}, {{0, 0, 1, 60}, {10, 20, 13, 220}}};
    // clang-format on
    for (const auto &[bitmap, want] : dests)
        EXPECT_EQ(Edges(PreviewDestRect({10, 20, 110, 220}, bitmap)), want) << bitmap.Right << "," << bitmap.Bottom;
    EXPECT_EQ(Edges(PreviewDestRect({10, 20, 11, 220}, {0, 0, 50, 60})), std::tuple(10, 20, 11, 21));
}

}  // namespace
