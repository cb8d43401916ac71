// State of the on-screen grid that the sheet model drives: the current cell
// (the editing cursor), the grid size, the selection and repaint requests.
// Plain C++ so the model and the engine run headless; the Qt widget in
// src/platform shows this object and feeds it events.
#pragma once

#include <cstdint>

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

    void Repaint();
    void InvalidateCell(int c, int r);

    // While painting is suspended (the result writer), requests are only counted.
    bool PaintSuspended = false;

    // Counters that headless code and tests read.
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
