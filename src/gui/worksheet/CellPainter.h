// The cell painter: draws one cell of EditText on any QPainter (the grid on
// screen, an off-screen page, the printer), so all three look alike. Also the
// display settings and the sheet's cell size for a font size.
#pragma once

#include <functional>

#include <QBrush>
#include <QRect>

class QPainter;

// ---------------------------------------------------------------------------
// Display settings

extern int MinFontSize;     // 8
extern int MaxFontSize;     // 512
extern int LineWidth;       // pen of bars, overlines and radicals; follows LineUnit
extern bool DisplayBuffer;  // the grid is double-buffered

int ClampFontSize(int size);

// Pixel height of a font of `size` points on a device of `dpi`, rounded as
// the system rounds it.
int FontPixelHeight(int size, int dpi);

struct TSheetCellSize {
    int Size = 0;       // the clamped font size
    int ColWidth = 0;   // DefaultColWidth of the grid
    int RowHeight = 0;  // DefaultRowHeight of the grid
};

// The sheet's part of the window's font-size change: clamps the size, sets
// FontSize, CellFontSize and LineUnit, and returns the grid's cell size.
TSheetCellSize ApplySheetFontSize(int size, int dpi = 96);

// ---------------------------------------------------------------------------
// Where the painter draws

using TCellRectFunc = std::function<QRect(int col, int row)>;

struct TCellCanvas {
    QPainter *Canvas = nullptr;
    // Printer or page preview: other cells' rectangles come from the print
    // layout and are never scrolled out of view.
    bool PrintPath = false;
    TCellRectFunc CellRect;  // rectangle of any cell on this canvas
    int CurCol = -1;         // the grid's current cell; -1 on the print path
    int CurRow = -1;
    QBrush CurrentBrush{Qt::white};  // what the grid laid under its current cell
    int DefaultRowHeight = 0;        // screen: a row of another height is out of view
};

// State of the main window that the painter reads. The window points the two
// flags at its own globals; CellPainted tells it of every painted cell and
// whether the cell asks for the delayed repaint (the window runs that countdown).
struct TPaintHost {
    const bool *SuspendDraw = nullptr;       // results are being written: draw nothing
    const bool *ShowNestingMarks = nullptr;  // diagnostic overlay of the structure bits
    std::function<void(bool arm)> CellPainted;
};
extern TPaintHost PaintHost;

// Draws cell (col, row) of EditText into rect (the cell's pixels: right and
// bottom are rect.left() + width() and rect.top() + height()).
void DrawSheetCell(const TCellCanvas &canvas, int col, int row, const QRect &rect);

// The row of the root whose radical drawing cell (col, row) draws, or -1. A
// radical spans the rows of its area: a partial repaint there draws the cell.
int CellRadicalRow(int col, int row);

// ---------------------------------------------------------------------------
// The print object's two callbacks

// Draws one cell on the print target; cellRect gives the other cells there.
void PrintDrawCell(QPainter &canvas, int col, int row, const QRect &rect, const TCellRectFunc &cellRect);

// Sets the sheet's font size through the window (SetFontSizeProc), or, without
// a window, only the sheet's part of it.
void PrintSetFontSize(int size);
extern void (*SetFontSizeProc)(int size);

// ---------------------------------------------------------------------------
// Glyphs

// The Unicode character that stands for a character byte of the text font
// (Windows-1252) or of the symbol font.
char16_t TextFontChar(unsigned char ch);
char16_t SymbolFontChar(unsigned char ch);
