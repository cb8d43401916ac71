// The cell painter, rendered into images: pixels where the drawing matters.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <tuple>

#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"

namespace {

// A piece of sheet drawn as the grid draws it: cells in rows from the top,
// each row left to right, at 96 dpi like the screen, with a margin so that
// lines above the first row and left of the first column land in the image.
struct Render : QImage {
    static constexpr int margin = 40;
    int w, h, gap, c0, r0;  // cell size, grid line width, the sheet cell drawn top left
    Render(int cols, int rows, int w, int h, int gap, int c0, int r0)
        : QImage(2 * margin + cols * (w + gap), 2 * margin + rows * (h + gap), QImage::Format_RGB32), w(w), h(h),
          gap(gap), c0(c0), r0(r0)
    {
    }

    QRect Cell(int c, int r) const { return {margin + (c - c0) * (w + gap), margin + (r - r0) * (h + gap), w, h}; }
    int L(int c) const { return Cell(c, r0).left(); }
    int R(int c) const { return L(c) + w; }  // just outside, as the grid counts
    int T(int r) const { return Cell(c0, r).top(); }
    int B(int r) const { return T(r) + h; }
    QColor At(int x, int y) const { return pixelColor(x, y); }
};

struct RenderOptions {
    int cols = 3, rows = 3, gap = 0;  // gap: grid lines between the cells
    int curCol = -1, curRow = -1;
    QBrush brush{Qt::white};
    bool print = false;
    int onlyCol = -1, onlyRow = -1;  // draw only this cell, in the middle of 3 x 3
    int hidden = -1;                 // on screen this row is out of view: the grid gives it no rectangle
};

Render Paint(int size, const RenderOptions &o = {})
{
    const TSheetCellSize s = ApplySheetFontSize(size);
    const bool one = o.onlyCol >= 0;
    Render out(o.cols, o.rows, s.ColWidth, s.RowHeight, o.gap, one ? o.onlyCol - 1 : 0, one ? o.onlyRow - 1 : 0);
    out.setDotsPerMeterX(3780);  // 96 dpi
    out.setDotsPerMeterY(3780);
    out.fill(Qt::white);
    QPainter p(&out);
    const TCellCanvas cv{.Canvas = &p,
                         .PrintPath = o.print,
                         .CellRect = [&](int c, int r) { return r == o.hidden && !o.print ? QRect() : out.Cell(c, r); },
                         .CurCol = o.curCol,
                         .CurRow = o.curRow,
                         .CurrentBrush = o.brush,
                         .DefaultRowHeight = out.h};
    for (int r = out.r0; r < out.r0 + o.rows; ++r)
        for (int c = out.c0; c < out.c0 + o.cols; ++c)
            if (!one || (c == o.onlyCol && r == o.onlyRow))
                DrawSheetCell(cv, c, r, out.Cell(c, r));
    return out;
}

// Pixel row y from x1 up to x2 (not included).
Ink Span(const Render &img, int x1, int x2, int y)
{
    return InkIn(img, QRect(x1, y, x2 - x1, 1));
}

// Whether the one cell (c, r) drawn at size 14 puts down any ink.
bool Drawn(int c, int r, bool print = false, int hidden = -1)
{
    const Render img = Paint(14, {.print = print, .onlyCol = c, .onlyRow = r, .hidden = hidden});
    return InkIn(img, img.rect()).count > 0;
}

// Some column of the image is dark without a gap from y1 to y2, both included.
bool JoinedBetween(const Render &img, int y1, int y2)
{
    for (int x = img.L(0) - 1; x <= img.R(0); ++x) {
        int y = y1;
        while (y <= y2 && Dark(img.At(x, y)))
            ++y;
        if (y > y2)
            return true;
    }
    return false;
}

class CellPainterTest : public ::testing::Test {
protected:
    SheetSetup setup{20, 20};
    bool suspend = false, marks = false;
    int painted = 0, armed = 0;  // cells reported to the window, and those asking for the delayed repaint
    void SetUp() override
    {
        PaintHost = {.SuspendDraw = &suspend, .ShowNestingMarks = &marks, .CellPainted = [this](bool arm) {
                         ++painted, armed += arm;
                     }};
        FontSize = CellFontSize = LineUnit = 14;
    }
    void TearDown() override { PaintHost = {}; }
    TAttrCell &AttrAt(int c, int r) { return EditText.Attrs[c][r]; }
    void Put(int c, int r, uint8_t ch, uint32_t flags = 0)
    {
        EditText.Cells[c][r].Ch = ch, EditText.Cells[c][r].SetFlags(flags);
    }
    // A root sign at (c, r) whose level-1 area covers columns c+1..c+n, rows top..bottom.
    void Root(int c, int r, int n, int top, int bottom, uint32_t flags = 0)
    {
        Put(c, r, 214, cfSymbolFont | flags);
        TAttrCell &a = AttrAt(c, r);
        a.RootLevel = 1, a.RootTop = uint8_t(top), a.RootBottom = uint8_t(bottom), a.Overline |= 1;
        AttrAt(c, top).RootRow = AttrAt(c, bottom).RootRow = uint8_t(r);
        for (int x = c + 1; x <= c + n; ++x) {
            AttrAt(x, top).Overline |= 2;
            for (int y = top; y <= bottom; ++y)
                AttrAt(x, y).Nesting |= 2;
        }
    }
};

TEST_F(CellPainterTest, FractionBarRunsThroughTheMiddleOfTheCell)
{
    const uint32_t line = cfSymbolFont | cfFractionLine;
    // Code 190 draws the bar also without the flag; a result bar is blue.
    const std::tuple<int, uint32_t, bool> cases[] = {
        {8, 0, false}, {14, line | cfResult, true}, {60, line, false}, {200, cfResult, true}};
    for (auto [size, flags, blue] : cases) {
        SCOPED_TRACE(testing::Message() << "size " << size << " flags " << flags);
        EditText.Reset();
        Put(1, 1, 190, flags);
        Put(2, 1, 190, flags);
        const Render img = Paint(size, {.cols = 4});
        const int W = size / 25 + 1, m = img.T(1) + img.h / 2, x1 = img.L(1) - 1, x2 = img.R(2);
        const Ink bar = Span(img, x1, x2, m);
        EXPECT_EQ(blue ? bar.blue : bar.dark, x2 - x1);
        EXPECT_TRUE(White(img.At(x2, m)));
        // Only the bar: nothing above or below it.
        const Ink ink = InkIn(img, QRect(x1, img.T(1), x2 - x1 + 1, img.h));
        EXPECT_EQ(std::pair(ink.top, ink.bottom), std::pair(m - W / 2, m - W / 2 + W - 1));
    }
}

TEST_F(CellPainterTest, ColoursFollowResultAndGreenFlags)
{
    const std::tuple<uint32_t, bool, bool> cases[] = {{0, false, false},
                                                      {cfResult | cfGreen, true, false},
                                                      {cfSymbolFont | cfResult, true, false},
                                                      {cfBold | cfGreen, false, true}};
    for (auto [flags, blue, green] : cases) {
        SCOPED_TRACE(flags);
        EditText.Reset();
        Put(1, 1, 'W', flags);
        const Render img = Paint(28);
        const Ink ink = InkIn(img, img.Cell(1, 1));
        ASSERT_GT(ink.count, 20);
        // Edges of glyphs are blended with the white; their cores carry the colour.
        EXPECT_EQ(std::tuple(ink.blue > ink.count / 3, ink.green > ink.count / 3, ink.dark > ink.count / 3),
                  std::tuple(blue, green, !blue && !green));
    }
}

TEST_F(CellPainterTest, RaisedCellsAreSmallerAndHigherLoweredCellsLower)
{
    Put(0, 1, 'H'), Put(1, 1, 'H', cfRaised), Put(2, 1, 'H', cfLowered);
    const Render img = Paint(28, {.rows = 4});
    auto column = [&](int c) { return InkIn(img, QRect(img.L(c), 0, img.w, img.height())); };
    const Ink base = column(0), up = column(1), down = column(2);
    const int high = base.bottom - base.top;
    ASSERT_GT(base.count, 0);
    EXPECT_TRUE(up.bottom - up.top < high && up.bottom < base.bottom) << up.top << " " << up.bottom;
    EXPECT_TRUE(down.bottom - down.top < high && down.top > base.top && down.bottom > base.bottom) << down.top;
}

TEST_F(CellPainterTest, TallBracketsAndIntegralsJoinAcrossTheirCells)
{
    // The top pieces; braces (236, 252) are the ones not drawn as one straight stroke through all three.
    const uint8_t signs[] = {230, 233, 236, 243, 246, 249, 252};
    // Small sizes, where rounding bites, then a spread up to the largest.
    for (auto [gap, size] :
         {std::pair{0, 8}, {1, 9}, {0, 11}, {1, 13}, {0, 14}, {1, 17}, {0, 23}, {1, 40}, {0, 100}, {1, 512}})
        for (const uint8_t top : signs) {
            SCOPED_TRACE(testing::Message() << "size " << size << " piece " << int(top) << " gap " << gap);
            for (int r = 0; r < 3; ++r)
                Put(0, r, uint8_t(top + r), cfSymbolFont | (r == 1 ? cfTallBracket : cfBracketPart));
            const Render img = Paint(size, {.cols = 1, .gap = gap});
            // Across each border between two pieces (grid line included), and for the
            // straight ones from the lower part of the top piece to the upper part of the bottom one.
            const int q = img.h / 4;
            EXPECT_TRUE(JoinedBetween(img, img.B(0) - q, img.T(1) + q));
            EXPECT_TRUE(JoinedBetween(img, img.B(1) - q, img.T(2) + q));
            EXPECT_TRUE(top == 236 || top == 252 || JoinedBetween(img, img.T(0) + img.h * 3 / 4, img.T(2) + q));
            // The sign stays inside its own column.
            EXPECT_EQ(InkIn(img, QRect(img.R(0) + 1, 0, 10, img.height())).count, 0);
        }
}

TEST_F(CellPainterTest, RootWithAreaDrawsRadicalAndOverline)
{
    for (auto [size, result] : {std::pair{14, false}, {24, true}, {40, false}, {100, true}}) {
        SCOPED_TRACE(testing::Message() << "size " << size << " result " << result);
        EditText.Reset();
        Root(1, 2, 3, 2, 2, result ? uint32_t(cfResult) : 0u);
        for (int x = 2; x <= 4; ++x)
            Put(x, 2, uint8_t('a' + x - 2));
        const Render img = Paint(size, {.cols = 6, .rows = 4});
        const int U = size, W = U / 25 + 1;
        const int yRow = img.T(2) - U / 5 - W - W / 2;  // first pixel row of the level 1 overline
        EXPECT_EQ(Span(img, img.L(2), img.R(4), yRow).dark, img.R(4) - img.L(2));
        EXPECT_TRUE(White(img.At(img.R(4), yRow)));
        // The radical climbs to the overline's height at the sign's right edge, where the overline begins.
        EXPECT_FALSE(White(img.At(img.R(1) - 1, yRow)));
        const Ink sign = InkIn(img, QRect(img.L(1), img.T(1), img.w - 1, 2 * img.h));
        EXPECT_GT(result ? sign.blue : sign.dark, sign.count / 3);
        // The entry stroke on the left, one unit above the cell's bottom.
        const QColor entry = img.At(img.L(1) + 1, img.B(2) - U - W / 2);
        EXPECT_TRUE(result ? Blue(entry) : Dark(entry));
        // The foot near the bottom of the area's last row.
        EXPECT_GT(InkIn(img, QRect(img.L(1), img.B(2) - U / 6 - W - 1, U / 3 + W + 1, 2 * W + 2)).count, 0);
        // No glyph: the upper left of the sign cell below the stroke stays white.
        EXPECT_EQ(InkIn(img, QRect(img.L(1), img.B(2) - U + W + 1, U / 8, U / 4)).count, 0);
    }
    // Without an area the sign is a glyph without overline.
    EditText.Reset();
    Put(1, 1, 214, cfSymbolFont);
    const Render img = Paint(28);
    EXPECT_GT(InkIn(img, img.Cell(1, 1)).count, 10);
    EXPECT_EQ(InkIn(img, QRect(img.L(2) - 1, img.T(0), img.w, img.h)).count, 0);
}

TEST_F(CellPainterTest, OverlineLevelsStackThreeLineWidthsApart)
{
    // Line unit 24: width 1, level 1 at T - 5, level 2 at T - 8, level 7 at T - 23.
    for (auto [level, above] : {std::pair{1, 5}, {2, 8}, {3, 11}, {7, 23}}) {
        SCOPED_TRACE(level);
        EditText.Reset();
        AttrAt(1, 2).Overline = uint8_t(1 << level);
        const Render img = Paint(24, {.rows = 4});
        ASSERT_EQ(LineWidth, 1);
        EXPECT_EQ(Span(img, img.L(1) - 1, img.R(1), img.T(2) - above).dark, img.w + 1);
        EXPECT_EQ(InkIn(img, img.rect()).count, img.w + 1);
    }
}

TEST_F(CellPainterTest, DamagedRootRowsAreIgnoredAndRowsOutOfViewOnlyPrinted)
{
    Root(1, 2, 2, 1, 3);
    for (bool print : {false, true})
        EXPECT_EQ(Drawn(1, 2, print, 3), print);
    EditText.Reset();
    // A root row beyond the sheet must not be used as an index. The memory just
    // past column 3's rows is column 4's, primed so that a stray read would
    // find an area ending right above row 5 and arm the repaint.
    AttrAt(3, 4).RootRow = 200;
    AttrAt(4, 200 - SheetCells).RootBottom = 4;
    EXPECT_EQ(std::tuple(Drawn(3, 5), Drawn(3, 3), armed), std::tuple(false, false, 0));
    // A root whose stored area rows lie beyond the sheet draws neither radical nor glyph.
    Root(1, 5, 1, 5, 5);
    AttrAt(1, 5).RootTop = 250, AttrAt(1, 5).RootBottom = 251;
    EXPECT_FALSE(Drawn(1, 5));
}

TEST_F(CellPainterTest, DelayedRepaintIsArmedNearTheEndsOfRootAreas)
{
    // Without roots only row 1 arms: the zero root row of row 0 names row 0,
    // whose area bottom reads 0. Around a root area over rows 4..6 the rows
    // just outside arm it.
    const std::tuple<bool, int, bool> cases[] = {{false, 0, false},   {false, 1, true}, {false, 2, false},
                                                 {false, 144, false}, {true, 3, true},  {true, 7, true},
                                                 {true, 5, false},    {true, 9, false}};
    for (auto [root, row, arm] : cases) {
        SCOPED_TRACE(testing::Message() << "root " << root << " row " << row);
        EditText.Reset();
        if (root)
            Root(2, 5, 3, 4, 6);
        painted = armed = 0;
        Drawn(root ? 2 : 7, row);
        EXPECT_EQ(std::pair(painted, armed), std::pair(1, int(arm)));
    }
}

TEST_F(CellPainterTest, UnlockedCellsOfALockedPageShowASilverBar)
{
    for (auto [lock, protection, bar] : {std::tuple{1, 2, true}, {1, 0, false}, {0, 2, false}, {1, 1, false}}) {
        EditText.PageLock = uint8_t(lock), AttrAt(1, 1).Protection = uint8_t(protection);
        const Render img = Paint(16);
        EXPECT_EQ(img.At(img.L(1) + 2, img.B(1) - 1) == QColor(0xC0, 0xC0, 0xC0), bar) << lock << protection;
    }
    EditText.PageLock = 0;
}

TEST_F(CellPainterTest, EmptyCurrentCellIsFilledWithTheGridsBrushButNotInPrint)
{
    const QColor brush(255, 0, 255);
    const Render img = Paint(14, {.curCol = 1, .curRow = 1, .brush = brush});
    const QRect cur = img.Cell(1, 1);
    EXPECT_EQ(std::pair(img.At(cur.left(), cur.top()), img.At(cur.right(), cur.bottom())), std::pair(brush, brush));
    EXPECT_TRUE(White(img.At(img.Cell(2, 1).center().x(), img.Cell(2, 1).center().y())));
    const Render printed = Paint(14, {.curCol = 1, .curRow = 1, .brush = brush, .print = true});
    EXPECT_TRUE(White(printed.At(cur.left(), cur.top())));
}

TEST_F(CellPainterTest, SuspendedDrawingChangesNothing)
{
    Put(5, 4, 'x');
    EditText.UsedColExt = EditText.UsedRowExt = 0;
    suspend = true;
    const Render blank = Paint(14, {.cols = 6, .rows = 5});
    EXPECT_EQ(InkIn(blank, blank.rect()).count, 0);
    EXPECT_EQ(std::pair(EditText.UsedColExt, painted), std::pair(0, 0));
    suspend = false;
    Paint(14, {.cols = 6, .rows = 5, .print = true});
    EXPECT_EQ(QPoint(EditText.UsedColExt, EditText.UsedRowExt), QPoint(5, 4));
}

TEST_F(CellPainterTest, NestingMarksOverlayShowsTheStructureBits)
{
    marks = true;
    AttrAt(1, 1).Overline = 0x02;  // bit 1
    AttrAt(1, 1).Nesting = 0x01;   // bit 0
    const Render img = Paint(40, {.rows = 2});
    const int L = img.L(1), T = img.T(1), B = img.B(1);
    auto red = [&](int x, int y) { return img.At(x, y).red() > 200 && img.At(x, y).green() < 60; };
    // Overline bit 1 set: a long red tick, bit 2 clear: a short one; nesting bit 0 blue.
    EXPECT_EQ(std::tuple(red(L + 4, T + 10), red(L + 8, T + 10), red(L + 8, T + 1)), std::tuple(true, false, true));
    EXPECT_EQ(std::pair(Blue(img.At(L, B - 10)), Blue(img.At(L + 4, B - 10))), std::pair(true, false));
}

TEST(SymbolFont, LettersAndSignsMapToTheirGlyphs)
{
    const std::pair<unsigned char, char16_t> cases[] = {
        {'p', u'π'}, {'j', u'φ'}, {'f', u'ϕ'}, {'J', u'ϑ'}, {'V', u'ς'}, {'W', u'Ω'}, {214, u'√'}, {166, u'ƒ'},
        {174, u'→'}, {242, u'∫'}, {243, u'⌠'}, {254, u'⎭'}, {'1', u'1'}, {'-', u'−'}, {0x80, 0},   {0xF0, 0}};
    for (auto [ch, u] : cases)
        EXPECT_EQ(SymbolFontChar(ch), u) << int(ch);
    EXPECT_EQ(std::tuple(TextFontChar(0x80), TextFontChar(0xE4), TextFontChar(0x81)), std::tuple(u'€', u'ä', 0));
}

TEST(SheetFontSize, ClampsAndSizesTheCells)
{
    // asked, size, column width (the font's pixel height divided by 1.33333), row height
    const std::array<int, 4> cases[] = {
        {14, 14, 14, 17}, {10, 10, 9, 12}, {7, 8, 8, 10}, {600, 512, 512, 640}, {13, 13, 12, 16}};
    for (auto [asked, size, colWidth, rowHeight] : cases) {
        SCOPED_TRACE(asked);
        const TSheetCellSize s = ApplySheetFontSize(asked);
        EXPECT_EQ(std::tuple(s.Size, s.ColWidth, s.RowHeight), std::tuple(size, colWidth, rowHeight));
        EXPECT_TRUE(FontSize == size && CellFontSize == size && LineUnit == size);
    }
}

}  // namespace
