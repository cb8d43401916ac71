// The cell painter, rendered into images: pixels where the drawing matters.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <ranges>
#include <tuple>

#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"

namespace {

// Cells drawn as the grid draws them at 96 dpi, sheet cell (c0, r0) top left, with a
// margin so that lines above the first row and left of the first column land in the image.
struct Render : QImage {
    using QImage::QImage;
    int w = 0, h = 0, gap = 0, c0 = 0, r0 = 0;  // cell size, grid line width
    QRect Cell(int c, int r) const { return {40 + (c - c0) * (w + gap), 40 + (r - r0) * (h + gap), w, h}; }
    int L(int c) const { return Cell(c, r0).left(); }
    int R(int c) const { return L(c) + w; }  // just outside, as the grid counts
    int T(int r) const { return Cell(c0, r).top(); }
    int B(int r) const { return T(r) + h; }
    QColor At(int x, int y) const { return pixelColor(x, y); }
    Ink In(const QRect &r) const { return InkIn(*this, r); }
    Ink Span(int x1, int x2, int y) const { return In(QRect(x1, y, x2 - x1, 1)); }  // x2 not included
};

struct Opts {
    int cols = 3, rows = 3, gap = 0;  // gap: grid lines between the cells
    QColor cur{};                     // when valid, cell (1, 1) is current and the grid's brush this colour
    bool print = false;
    int onlyCol = -1, onlyRow = -1, hidden = -1;  // draw only this cell; on screen this row is out of view
};

Render Paint(int size, const Opts &o = {})
{
    const TSheetCellSize s = ApplySheetFontSize(size);
    const int c0 = std::max(o.onlyCol - 1, 0), r0 = std::max(o.onlyRow - 1, 0);
    Render out(80 + o.cols * (s.ColWidth + o.gap), 80 + o.rows * (s.RowHeight + o.gap), QImage::Format_RGB32);
    out.w = s.ColWidth, out.h = s.RowHeight, out.gap = o.gap, out.c0 = c0, out.r0 = r0;
    out.setDotsPerMeterX(3780), out.setDotsPerMeterY(3780), out.fill(Qt::white);
    QPainter p(&out);
    auto rect = [&](int c, int r) { return r == o.hidden && !o.print ? QRect() : out.Cell(c, r); };
    const TCellCanvas cv{&p, o.print, rect, o.cur.isValid() ? 1 : -1, 1, o.cur, out.h};
    for (int r = r0; r < r0 + o.rows; ++r)
        for (int c = c0; c < c0 + o.cols; ++c)
            if (o.onlyCol < 0 || (c == o.onlyCol && r == o.onlyRow))
                DrawSheetCell(cv, c, r, out.Cell(c, r));
    return out;
}

bool Drawn(int c, int r, bool print = false, int hidden = -1)
{
    const Render img = Paint(14, {.print = print, .onlyCol = c, .onlyRow = r, .hidden = hidden});
    return img.In(img.rect()).count > 0;
}

class CellPainterTest : public ::testing::Test {
protected:
    SheetSetup setup{20, 20};
    bool suspend = false;
    int painted = 0, armed = 0;  // cells reported to the window, and those asking for the delayed repaint
    std::function<void(bool)> count = [this](bool arm) { ++painted, armed += arm; };
    decltype(EditText.Attrs) &A = EditText.Attrs;
    decltype(EditText.Cells) &C = EditText.Cells;
    CellPainterTest() { PaintHost = {&suspend, nullptr, count}; }
    ~CellPainterTest() override { PaintHost = {}; }
    void Put(int c, int r, uint8_t ch, uint32_t f = 0) { C[c][r].Ch = ch, C[c][r].SetFlags(f); }
    // A root sign at (c, r) whose level-1 area covers columns c+1..c+n, rows top..bottom.
    void Root(int c, int r, int n, int top, int bottom, uint32_t flags = 0)
    {
        Put(c, r, 214, cfSymbolFont | flags);
        A[c][r].RootLevel = 1, A[c][r].RootTop = uint8_t(top), A[c][r].RootBottom = uint8_t(bottom);
        A[c][r].Overline |= 1, A[c][top].RootRow = A[c][bottom].RootRow = uint8_t(r);
        for (int x = c + 1; x <= c + n; ++x) {
            A[x][top].Overline |= 2;
            for (int y = top; y <= bottom; ++y)
                A[x][y].Nesting |= 2;
        }
    }
};

TEST_F(CellPainterTest, GlyphsAndBarsInTheirColoursAndLevelsAndNothingWhileSuspended)
{
    // Row 1: plain, raised, lowered, result over green, a result in the symbol font, green bold, a root
    // sign without an area (a glyph). Row 3: fraction bars, also without the flag; a result bar is blue.
    const uint32_t flags[] = {
        0, cfRaised, cfLowered, cfResult | cfGreen, cfSymbolFont | cfResult, cfBold | cfGreen, cfSymbolFont};
    for (int c = 0; c < 7; ++c)
        Put(c, 1, c == 6 ? 214 : c < 3 ? 'H' : 'W', flags[c]);
    Put(0, 3, 190), Put(1, 3, 190), Put(4, 3, 190, cfSymbolFont | cfFractionLine | cfResult);
    const Render img = Paint(28, {.cols = 7, .rows = 4});
    std::string tones;
    Ink k[7];
    for (int c = 0; c < 7; ++c) {
        k[c] = img.In(QRect(img.L(c), 0, img.w, img.T(3)));
        const int third = k[c].count / 3;  // glyph edges blend with the white; their cores carry the colour
        tones += k[c].blue > third ? 'b' : k[c].green > third ? 'g' : k[c].dark > third ? 'k' : '?';
    }
    const int high = k[0].bottom - k[0].top, up = k[1].bottom - k[1].top, down = k[2].bottom - k[2].top;
    EXPECT_EQ(tones, "kkkbbgk");
    EXPECT_TRUE(up < high && k[1].bottom < k[0].bottom && down < high && k[2].bottom > k[0].bottom) << k[2].top;
    // Bars of width 2 through the middle, from one pixel left of the cell to its right edge.
    const int m = img.T(3) + img.h / 2, w = img.w;
    const Ink bars = img.In(QRect(0, img.T(3), img.width(), img.h));
    EXPECT_EQ(std::tuple(bars.count, bars.top, img.Span(img.L(0) - 1, img.R(1), m).dark,
                         img.Span(img.L(4) - 1, img.R(4), m).blue),
              std::tuple(2 * (3 * w + 2), m - 1, 2 * w + 1, w + 1));
    EditText.UsedColExt = EditText.UsedRowExt = painted = 0, suspend = true;
    const Render blank = Paint(28, {.cols = 7});
    EXPECT_EQ(std::tuple(blank.In(blank.rect()).count, EditText.UsedColExt, painted), std::tuple(0, 0, 0));
}

TEST_F(CellPainterTest, TallBracketsAndIntegralsJoinAcrossTheirCells)
{
    // Small sizes, where rounding bites, then a spread up to the largest.
    for (auto [gap, size] : {std::pair{0, 8}, {1, 9}, {1, 13}, {0, 14}, {1, 40}, {0, 100}, {1, 512}})
        for (const uint8_t top : {230, 233, 236, 243, 246, 249, 252}) {
            for (int r = 0; r < 3; ++r)
                Put(0, r, uint8_t(top + r), cfSymbolFont | (r == 1 ? cfTallBracket : cfBracketPart));
            const Render img = Paint(size, {.cols = 1, .gap = gap});
            // Across both borders (grid line included); all but the braces also from the
            // top piece's lower part to the bottom one's upper part; inside its own column.
            const int q = img.h / 4;
            auto joined = [&](int y1, int y2) {  // some column dark without a gap from y1 to y2, both included
                auto full = [&](int x) { return img.In(QRect(x, y1, 1, y2 - y1 + 1)).dark > y2 - y1; };
                return std::ranges::any_of(std::views::iota(img.L(0) - 1, img.R(0) + 1), full);
            };
            EXPECT_TRUE(joined(img.B(0) - q, img.T(1) + q) && joined(img.B(1) - q, img.T(2) + q) &&
                        (top % 16 == 12 || joined(img.T(0) + img.h * 3 / 4, img.T(2) + q)) &&
                        img.In(QRect(img.R(0) + 1, 0, 10, img.height())).count == 0)
                << "size " << size << " piece " << int(top);
        }
}

TEST_F(CellPainterTest, RootWithAreaDrawsRadicalAndOverlines)
{
    for (auto [size, result] : {std::pair{14, false}, {40, true}, {100, true}}) {
        EditText.Reset();
        Root(1, 2, 3, 2, 2, result ? uint32_t(cfResult) : 0u);
        Put(2, 2, 'a'), Put(3, 2, 'b'), Put(4, 2, 'c'), A[5][2].Overline = 0x80;  // level 7: 18 widths higher
        const Render img = Paint(size, {.cols = 6, .rows = 4});
        const int U = size, W = U / 25 + 1, y = img.T(2) - U / 5 - W - W / 2, L = img.L(1), B = img.B(2);
        // The level 1 overline over the area; the radical climbs to it at the sign's right edge,
        // enters one unit above the cell's bottom and has its foot near the area's bottom; no glyph.
        const Ink sign = img.In(QRect(L, img.T(1), img.w - 1, 2 * img.h));
        const QColor entry = img.At(L + 1, B - U - W / 2);
        EXPECT_EQ(std::tuple(img.Span(img.L(2), img.R(4), y).dark, White(img.At(img.R(4), y)),
                             img.Span(img.L(5) - 1, img.R(5), y - 18 * W).dark, White(img.At(img.R(1) - 1, y)),
                             (result ? sign.blue : sign.dark) > sign.count / 3, result ? Blue(entry) : Dark(entry),
                             img.In(QRect(L, B - U / 6 - W - 1, U / 3 + W + 1, 2 * W + 2)).count > 0,
                             img.In(QRect(L, B - U + W + 1, U / 8, U / 4)).count),
                  std::tuple(img.R(4) - img.L(2), true, img.w + 1, false, true, true, true, 0))
            << size;
    }
}

TEST_F(CellPainterTest, RootRowsArmTheDelayedRepaintAndDamagedOnesAreIgnored)
{
    // Without roots only row 1 arms (row 0's zero root row names row 0, whose area bottom reads 0);
    // around a root area over rows 4..6 the rows just outside arm it.
    const std::tuple<bool, int, int> cases[] = {{0, 0, 0}, {0, 1, 1}, {0, 144, 0}, {1, 3, 1}, {1, 7, 1}, {1, 5, 0}};
    for (auto [root, row, arm] : cases) {
        EditText.Reset(), painted = armed = 0;
        if (root)
            Root(2, 5, 3, 4, 6);
        Drawn(root ? 2 : 7, row);
        EXPECT_EQ(std::pair(painted, armed), std::pair(1, arm)) << root << " row " << row;
    }
    // Root rows beyond the sheet are no index (a stray read past column 3 would find an area ending above
    // row 5); area rows beyond it draw neither radical nor glyph; rows out of view are only printed.
    EditText.Reset(), armed = 0;
    A[3][4].RootRow = 200, A[4][200 - SheetCells].RootBottom = 4;
    Root(1, 5, 1, 5, 5), A[1][5].RootTop = 250, A[1][5].RootBottom = 251;
    Root(1, 12, 2, 11, 13);
    EXPECT_EQ((std::tuple{Drawn(3, 5), Drawn(3, 3), armed, Drawn(1, 5), Drawn(1, 12, 0, 13), Drawn(1, 12, 1, 13)}),
              std::tuple(false, false, 0, false, false, true));
}

TEST_F(CellPainterTest, BackgroundsOfUnlockedAndCurrentCells)
{
    // A silver bar under unlocked cells of a locked page; the grid's brush in the empty current cell, not in print.
    const QColor silver(0xC0, 0xC0, 0xC0), pink(255, 0, 255), w(Qt::white), no;
    const std::tuple<int, int, QColor, bool, QColor> cases[] = {{1, 2, no, 0, silver}, {1, 0, no, 0, w},
                                                                {0, 2, no, 0, w},      {1, 1, no, 0, w},
                                                                {0, 0, pink, 0, pink}, {0, 0, pink, 1, w}};
    for (auto [lock, protection, cur, print, want] : cases) {
        EditText.PageLock = uint8_t(lock), A[1][1].Protection = uint8_t(protection);
        const Render img = Paint(16, {.cur = cur, .print = print});
        EXPECT_EQ(img.At(img.L(1) + 2, img.B(1) - 1), want) << lock << protection << print;
    }
}

TEST(CellPainter, SymbolFontGlyphsAndSheetCellSizes)
{
    const std::pair<unsigned char, char16_t> cases[] = {
        {'p', u'π'}, {'j', u'φ'}, {'f', u'ϕ'}, {'J', u'ϑ'}, {'V', u'ς'}, {'W', u'Ω'}, {214, u'√'}, {166, u'ƒ'},
        {174, u'→'}, {242, u'∫'}, {243, u'⌠'}, {254, u'⎭'}, {'1', u'1'}, {'-', u'−'}, {0x80, 0},   {0xF0, 0}};
    for (auto [ch, u] : cases)
        EXPECT_EQ(SymbolFontChar(ch), u) << int(ch);
    EXPECT_EQ(std::tuple(TextFontChar(0x80), TextFontChar(0xE4), TextFontChar(0x81)), std::tuple(u'€', u'ä', 0));
    // asked, then size, column width (the font's pixel height divided by 1.33333), row height
    const int sizes[][4] = {{14, 14, 14, 17}, {13, 13, 12, 16}, {10, 10, 9, 12}, {600, 512, 512, 640}};
    for (auto [asked, size, colWidth, rowHeight] : sizes) {
        const TSheetCellSize s = ApplySheetFontSize(asked);
        EXPECT_EQ(std::tuple(s.Size, s.ColWidth, s.RowHeight, FontSize, CellFontSize, LineUnit),
                  std::tuple(size, colWidth, rowHeight, size, size, size));
    }
}

}  // namespace
