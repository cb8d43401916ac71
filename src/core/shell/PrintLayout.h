// Page layout of the printed sheet: the page inside the margins, the largest
// font at which the sheet (or the selection) fits, where each cell lands, and
// the geometry of the page preview. Plain arithmetic on device pixels; the
// printer and the preview feed in their measures and draw with the result.
#pragma once

#include <cstdint>
#include <functional>

#include "worksheet/DrawGrid.h"

// Margins in thousandths of an inch.
struct TPrintMargins {
    int32_t Left = 750;
    int32_t Top = 750;
    int32_t Right = 750;
    int32_t Bottom = 750;
    bool operator==(const TPrintMargins &) const = default;
};

// The print device's measures, in its pixels.
struct TPageGeometry {
    int32_t PageWidth = 0;  // the whole sheet of paper
    int32_t PageHeight = 0;
    int32_t OffsetX = 0;  // unprintable edge
    int32_t OffsetY = 0;
    int32_t Dpi = 0;  // horizontal resolution
};

// What the layout reads from the sheet's grid on screen.
struct TSheetView {
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    int32_t DefaultColWidth = 0;
    int32_t DefaultRowHeight = 0;
    bool VertLines = false;  // the grid shows its lines
    TGridRect Selection;
};

// Pixel height of a font size on the print device.
using TFontHeightFunc = std::function<int32_t(int32_t size)>;

// Margin in device pixels; every margin uses the horizontal resolution.
int32_t MarginPixels(int32_t dpi, int32_t thousandths);
// Device pixels as thousandths of an inch.
int32_t PixelsToThousandths(int32_t pixels, int32_t dpi);

class TPrintLayout {
public:
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    int32_t DefaultColWidth = 0;
    int32_t DefaultRowHeight = 0;
    int32_t SheetWidth = 0;
    int32_t SheetHeight = 0;
    double SheetAspect = 1.0;
    int32_t SavedFontSize = 0;
    int32_t PageWidth = 0;
    int32_t PageHeight = 0;
    double AreaAspect = 1.0;
    TGridRect PageRect;
    double Scale = 1.0;
    TGridRect AreaRect;
    int32_t AreaWidth = 0;
    int32_t AreaHeight = 0;
    TGridRect OutRect;
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;
    int32_t CellHeight = 0;
    int32_t CellWidth = 0;
    int32_t GridLine = 0;
    bool CenterHoriz = false;
    bool CenterVert = false;
    int32_t OffsetX = 0;
    int32_t OffsetY = 0;
    int32_t Dpi = 0;
    bool HasSelection = false;
    bool PrintSelection = false;
    TGridRect Selection;
    int32_t FontSize = 0;
    int32_t FontHeight = 0;
    // The columns and rows the font is fitted to: the sheet's, or the selection's.
    int32_t FitCols = 0;
    int32_t FitRows = 0;

    // Takes the grid's size, lines and selection.
    void PrepareSheet(const TSheetView &view);
    // Page, margins, font fitting, output rectangle and scale. False when the
    // sheet does not fit inside the margins even at the smallest font size.
    // With fitSelection, a printed selection gets the largest font that fits it.
    bool CalcPageLayout(const TPageGeometry &page, const TPrintMargins &margins, const TFontHeightFunc &fontHeight,
                        bool fitSelection = false);
    // Largest font at which the sheet fits the target; sets the painter's
    // CellFontSize and LineUnit to it and keeps the screen's size in
    // SavedFontSize. False when even size 1 does not fit.
    bool FitFont(const TFontHeightFunc &fontHeight);
    // Cell size for FontHeight (the printer rule: width from the font's pixel
    // height, height five quarters of that).
    void CellSizeFromHeight(int32_t fontHeight);

    TGridRect CellRect(int col, int row) const;
    void CenterHorizontally();
    void CenterVertically();

    // The printed columns and rows (inclusive) and the frame around them.
    TGridRect Range() const;
    TGridRect Frame() const;
    // What the print inks, edges included: the frame with its lines, or the
    // cells alone when the grid hides its lines. Centring places this.
    TGridRect Printed() const;

    // Where a box's picture lands: anchored at (col, row), moved back by its
    // screen offsets (dx, dy), scaled from screen pixels.
    TGridRect PictureRect(int col, int row, int dx, int dy, int width, int height) const;

private:
    void CalcCellSize(const TFontHeightFunc &fontHeight);
    int64_t PrintedWidth() const;
    int64_t PrintedHeight() const;
};

// The page preview's picture of the page inside the room of the window.
struct TPreviewGeometry {
    TGridRect ImageRect;  // 0, 0, right, bottom of the page image
    int32_t ImageLeft = 0;
    int32_t ImageTop = 30;
};
TPreviewGeometry PreviewPageGeometry(int32_t availWidth, int32_t availHeight, double areaAspect);

// Where the rendered sheet lands in the page image: at the printing area's
// top-left corner, as large as the area allows without losing its proportions.
TGridRect PreviewDestRect(const TGridRect &areaImg, const TGridRect &bitmap);
