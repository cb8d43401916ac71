#include "PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "worksheet/Edit.h"

namespace {

int32_t ToInt32(double v)
{
    // Truncated toward zero; out-of-range values (a damaged margin) saturate.
    if (!(v == v))
        return 0;
    v = std::trunc(v);
    if (v >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

// A printer font size beyond this fits no paper; the bound keeps the search finite.
constexpr int32_t largestFontSize = 100000;

}  // namespace

int32_t MarginPixels(int32_t dpi, int32_t thousandths)
{
    return ToInt32(double(int64_t(dpi) * thousandths) / 1000.0);
}

int32_t PixelsToThousandths(int32_t pixels, int32_t dpi)
{
    return dpi > 0 ? ToInt32(double(int64_t(pixels) * 1000) / dpi) : 0;
}

void TPrintLayout::PrepareSheet(const TSheetView &view)
{
    const TGridRect &s = view.Selection;
    if (s.Left == s.Right && s.Top == s.Bottom) {
        HasSelection = false;
        PrintSelection = false;
    } else {
        HasSelection = true;
        Selection = s;
    }
    ColCount = std::max(view.ColCount, 1);
    RowCount = std::max(view.RowCount, 1);
    DefaultColWidth = view.DefaultColWidth;
    DefaultRowHeight = view.DefaultRowHeight;
    GridLine = view.VertLines ? 1 : 0;
    SheetWidth = ColCount * (view.DefaultColWidth + GridLine) + GridLine;
    SheetHeight = RowCount * (view.DefaultRowHeight + GridLine) + GridLine;
    SheetAspect = SheetWidth > 0 ? double(SheetHeight) / SheetWidth : 1.0;
    FitCols = ColCount;
    FitRows = RowCount;
}

bool TPrintLayout::CalcPageLayout(const TPageGeometry &page, const TPrintMargins &margins,
                                  const TFontHeightFunc &fontHeight, bool fitSelection)
{
    FitCols = ColCount;
    FitRows = RowCount;
    if (fitSelection && PrintSelection) {
        FitCols = std::max(Selection.Right - Selection.Left + 1, 1);
        FitRows = std::max(Selection.Bottom - Selection.Top + 1, 1);
    }
    // What is printed, in screen pixels.
    const int32_t fitWidth = FitCols * (DefaultColWidth + GridLine) + GridLine;
    const int32_t fitHeight = FitRows * (DefaultRowHeight + GridLine) + GridLine;

    PageWidth = page.PageWidth;
    PageHeight = page.PageHeight;
    OffsetX = page.OffsetX;
    OffsetY = page.OffsetY;
    PageRect = {0, 0, PageWidth - 1, PageHeight - 1};
    Dpi = page.Dpi;

    AreaRect.Left = MarginPixels(Dpi, margins.Left);
    AreaRect.Right = PageRect.Right - MarginPixels(Dpi, margins.Right);
    AreaRect.Top = MarginPixels(Dpi, margins.Top);
    AreaRect.Bottom = PageRect.Bottom - MarginPixels(Dpi, margins.Bottom);
    AreaHeight = AreaRect.Bottom - AreaRect.Top + 1;
    AreaWidth = AreaRect.Right - AreaRect.Left + 1;
    SavedFontSize = ::FontSize;
    // Margins that meet or cross leave no area: nothing can fit.
    if (AreaWidth <= 0 || AreaHeight <= 0 || fitWidth <= 0 || fitHeight <= 0) {
        AreaAspect = 1.0;
        TargetWidth = TargetHeight = 0;
        return false;
    }
    AreaAspect = double(AreaHeight) / AreaWidth;

    const double fitAspect = double(fitHeight) / fitWidth;
    if (AreaAspect / fitAspect <= 1.0) {
        TargetHeight = AreaHeight;
        TargetWidth = ToInt32(AreaHeight / fitAspect);
    } else {
        TargetWidth = AreaWidth;
        TargetHeight = ToInt32(AreaWidth * fitAspect);
    }

    const bool fits = FitFont(fontHeight);

    OutRect.Left = AreaRect.Left;
    OutRect.Top = AreaRect.Top;
    OutRect.Right = (CellWidth + GridLine) * FitCols + AreaRect.Left;
    OutRect.Bottom = (CellHeight + GridLine) * FitRows + AreaRect.Top;

    TargetWidth = OutRect.Right - OutRect.Left - 1;
    TargetHeight = OutRect.Bottom - OutRect.Top - 1;
    Scale = double(TargetHeight) / fitHeight;
    return fits;
}

void TPrintLayout::CellSizeFromHeight(int32_t fontHeight)
{
    FontHeight = fontHeight;
    // The divisor is 1.33333 on purpose, not 4/3, as on the screen.
    CellWidth = ToInt32(FontHeight / 1.33333);
    CellHeight = CellWidth * 5 / 4;
}

void TPrintLayout::CalcCellSize(const TFontHeightFunc &fontHeight)
{
    CellSizeFromHeight(fontHeight(FontSize));
}

int64_t TPrintLayout::PrintedWidth() const
{
    return int64_t(CellWidth + GridLine) * FitCols + GridLine;
}

int64_t TPrintLayout::PrintedHeight() const
{
    return int64_t(CellHeight + GridLine) * FitRows + GridLine;
}

bool TPrintLayout::FitFont(const TFontHeightFunc &fontHeight)
{
    SavedFontSize = ::FontSize;
    FontSize = 8;
    CalcCellSize(fontHeight);
    if (PrintedWidth() < TargetWidth) {
        while (PrintedWidth() < TargetWidth && PrintedHeight() < TargetHeight && FontSize < largestFontSize) {
            ++FontSize;
            CalcCellSize(fontHeight);
        }
        --FontSize;
        CalcCellSize(fontHeight);
    }
    // Size 1 is the floor: below it nothing is drawn at all.
    while ((PrintedWidth() > TargetWidth || PrintedHeight() > TargetHeight) && FontSize > 1) {
        --FontSize;
        CalcCellSize(fontHeight);
    }
    CellFontSize = FontSize;
    LineUnit = CellWidth;
    return PrintedWidth() <= TargetWidth && PrintedHeight() <= TargetHeight;
}

TGridRect TPrintLayout::CellRect(int col, int row) const
{
    if (PrintSelection) {
        col -= Selection.Left;
        row -= Selection.Top;
    }
    TGridRect r;
    r.Left = (CellWidth + GridLine) * col + 1 + OutRect.Left;
    r.Right = r.Left + CellWidth - 1;
    r.Top = (CellHeight + GridLine) * row + OutRect.Top;
    r.Bottom = r.Top + CellHeight - 1;
    return r;
}

namespace {

// Moves both edges so that what is printed, first pixel to last, lies in the
// middle of the room.
void Center(bool on, int32_t roomFirst, int32_t room, int32_t printedFirst, int32_t printedLast, int32_t &first,
            int32_t &last)
{
    if (!on)
        return;
    const int32_t d = roomFirst + ToInt32((room - (printedLast - printedFirst + 1)) / 2.0) - printedFirst;
    first += d;
    last += d;
}

}  // namespace

void TPrintLayout::CenterHorizontally()
{
    const TGridRect p = Printed();
    Center(CenterHoriz, AreaRect.Left, AreaWidth, p.Left, p.Right, OutRect.Left, OutRect.Right);
}

void TPrintLayout::CenterVertically()
{
    const TGridRect p = Printed();
    Center(CenterVert, AreaRect.Top, AreaHeight, p.Top, p.Bottom, OutRect.Top, OutRect.Bottom);
}

TGridRect TPrintLayout::Range() const
{
    if (PrintSelection)
        return Selection;
    return {0, 0, ColCount - 1, RowCount - 1};
}

TGridRect TPrintLayout::Frame() const
{
    if (!PrintSelection)
        return OutRect;
    // Framed as the whole sheet is: the lines lie between the cells and close
    // at the corners.
    const TGridRect first = CellRect(Selection.Left, Selection.Top);
    const TGridRect last = CellRect(Selection.Right, Selection.Bottom);
    return {first.Left - 1, first.Top, last.Right + GridLine, last.Bottom + GridLine + 1};
}

TGridRect TPrintLayout::Printed() const
{
    const TGridRect f = Frame();
    if (GridLine)
        return f;
    // The cells alone: each starts one pixel right of the frame's edge.
    return {f.Left + 1, f.Top, f.Right, f.Bottom - 1};
}

TGridRect TPrintLayout::PictureRect(int col, int row, int dx, int dy, int width, int height) const
{
    const double ratio = double(width) / std::max(DefaultColWidth + GridLine, 1);
    const TGridRect r = CellRect(col, row);
    TGridRect d;
    d.Left = r.Left - ToInt32(dx * Scale);
    d.Top = r.Top - ToInt32(dy * Scale);
    d.Right = ToInt32((CellWidth + GridLine) * ratio) + d.Left;
    d.Bottom = ToInt32((height - 1) * Scale + d.Top);
    return d;
}

TPreviewGeometry PreviewPageGeometry(int32_t availWidth, int32_t availHeight, double areaAspect)
{
    // A window too small for any page still gets a page of one pixel.
    const int32_t roomW = std::max(availWidth - 4, 1), roomH = std::max(availHeight - 28, 1);
    const double viewAspect = double(roomH) / roomW;
    TPreviewGeometry g;
    if (areaAspect > viewAspect) {
        g.ImageRect.Bottom = roomH;
        g.ImageRect.Right = ToInt32(roomH / areaAspect);
    } else {
        g.ImageRect.Right = roomW;
        g.ImageRect.Bottom = ToInt32(roomW * areaAspect);
    }
    g.ImageRect.Right = std::max(g.ImageRect.Right, 1);
    g.ImageRect.Bottom = std::max(g.ImageRect.Bottom, 1);
    g.ImageLeft = ToInt32((availWidth - g.ImageRect.Right) / 2.0 + 4.0);
    return g;
}

TGridRect PreviewDestRect(const TGridRect &areaImg, const TGridRect &bitmap)
{
    const int64_t W = areaImg.Right - areaImg.Left, H = areaImg.Bottom - areaImg.Top;
    const int64_t w = bitmap.Right - bitmap.Left, h = bitmap.Bottom - bitmap.Top;
    TGridRect d{areaImg.Left, areaImg.Top, areaImg.Left, areaImg.Top};
    if (W <= 0 || H <= 0 || w <= 0 || h <= 0)
        return d;
    if (h * W <= H * w) {
        d.Right += int32_t(W);
        d.Bottom += int32_t(W * h / w);
    } else {
        d.Bottom += int32_t(H);
        d.Right += int32_t(H * w / h);
    }
    return d;
}
