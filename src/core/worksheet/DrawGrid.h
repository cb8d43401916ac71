// State of the on-screen grid that the sheet model drives: the current cell
// (the editing cursor), the grid size, the selection and repaint requests.
// Plain C++ so the model and the engine run headless; the Qt widget in
// src/platform shows this object and feeds it events.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>

#include "Cell.h"

struct TGridRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// The widget implements this to learn what to redraw.
class TGridObserver {
public:
    virtual ~TGridObserver() = default;
    virtual void GridCellChanged(int col, int row) = 0;  // one cell needs a redraw
    virtual void GridRepaint() = 0;                      // the whole grid needs a redraw
    // Cells of the sheet changed somewhere; the observer finds which.
    virtual void GridSheetChanged() { GridRepaint(); }
    virtual void GridSizeChanged() {}
    virtual void GridCursorMoved() {}
};

class TDrawGrid {
public:
    static constexpr int MaxCells = 145;

    TDrawGrid(int colCount = 72, int rowCount = 72);

    int Col() const { return col_; }
    int Row() const { return row_; }
    // Moving the cursor repaints the old and the new cell and collapses the
    // selection onto the new cell, as a grid control does.
    void SetCol(int c);
    void SetRow(int r);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // Sizes are clamped to 1..145; the cursor is kept inside.
    void SetSize(int colCount, int rowCount);

    const TGridRect &Selection() const { return selection_; }
    void SetSelection(const TGridRect &r);

    // First visible column and row (scrolling).
    int LeftCol = 0;
    int TopRow = 0;

    // The whole view: scrolling, font size, Clear, results written.
    void Repaint();
    // Only what changed in the sheet since the view last showed it.
    void RepaintChanged();
    void InvalidateCell(int c, int r);

    // While painting is suspended (the result writer), requests are only counted.
    bool PaintSuspended = false;

    // Counters that headless code and tests read; RepaintCount counts both kinds.
    uint32_t RepaintCount = 0;
    uint32_t CellInvalidations = 0;

    TGridObserver *Observer = nullptr;

private:
    void MoveCursor(int c, int r);
    int colCount_;
    int rowCount_;
    int col_ = 0;
    int row_ = 0;
    TGridRect selection_;
};

// Rows of the sheet, one bit each.
using TSheetRows = std::bitset<SheetCells>;

// First and last row reached by the radical of a root sign in `row` and by
// the overlines over its area: up to three rows above the area for the
// overlines of seven levels, and the row below it.
struct TRowSpan {
    int First = 0;
    int Last = 0;
};
TRowSpan RootReach(const TAttrCell &root, int row);

// The sheet as the view last showed it. A cell's pixels reach the rows next
// to it (glyphs, the current cell's box), up to three rows above for
// overlines, and over a root's whole area for its radical; what it reaches
// is taken both as shown and as it is now, so a removed root is redrawn too.
class TShownSheet {
public:
    TShownSheet();

    // Marks the rows that a change of cell (col, row) may have altered.
    void Reach(const TAttrCell (&attrs)[SheetCells][SheetCells], int col, int row, TSheetRows &rows) const;
    // Marks the rows of every cell of the first cols x rows that differs from
    // what was shown, and takes those cells as shown; false when none differ.
    bool Changes(const TCell (&cells)[SheetCells][SheetCells], const TAttrCell (&attrs)[SheetCells][SheetCells],
                 int cols, int rows, TSheetRows &marked);

private:
    struct Layers {
        TCell Cells[SheetCells][SheetCells];
        TAttrCell Attrs[SheetCells][SheetCells];
    };
    std::unique_ptr<Layers> shown_;
};
