#include "DrawGrid.h"

#include <algorithm>

TDrawGrid::TDrawGrid(int colCount, int rowCount)
    : colCount_(std::clamp(colCount, 1, MaxCells)), rowCount_(std::clamp(rowCount, 1, MaxCells))
{
}

void TDrawGrid::SetCol(int c)
{
    MoveCursor(std::clamp(c, 0, colCount_ - 1), row_);
}

void TDrawGrid::SetRow(int r)
{
    MoveCursor(col_, std::clamp(r, 0, rowCount_ - 1));
}

void TDrawGrid::MoveCursor(int c, int r)
{
    InvalidateCell(col_, row_);
    col_ = c;
    row_ = r;
    selection_ = {col_, row_, col_, row_};
    InvalidateCell(col_, row_);
    if (Observer)
        Observer->GridCursorMoved();
}

void TDrawGrid::SetSize(int colCount, int rowCount)
{
    colCount_ = std::clamp(colCount, 1, MaxCells);
    rowCount_ = std::clamp(rowCount, 1, MaxCells);
    col_ = std::min(col_, colCount_ - 1);
    row_ = std::min(row_, rowCount_ - 1);
    selection_ = {col_, row_, col_, row_};
    LeftCol = std::min(LeftCol, colCount_ - 1);
    TopRow = std::min(TopRow, rowCount_ - 1);
    if (Observer)
        Observer->GridSizeChanged();
    Repaint();
}

void TDrawGrid::SetSelection(const TGridRect &r)
{
    selection_.Left = std::clamp(std::min(r.Left, r.Right), 0, colCount_ - 1);
    selection_.Right = std::clamp(std::max(r.Left, r.Right), 0, colCount_ - 1);
    selection_.Top = std::clamp(std::min(r.Top, r.Bottom), 0, rowCount_ - 1);
    selection_.Bottom = std::clamp(std::max(r.Top, r.Bottom), 0, rowCount_ - 1);
    Repaint();
}

void TDrawGrid::Repaint()
{
    ++RepaintCount;
    if (Observer && !PaintSuspended)
        Observer->GridRepaint();
}

void TDrawGrid::InvalidateCell(int c, int r)
{
    ++CellInvalidations;
    if (Observer && !PaintSuspended)
        Observer->GridCellChanged(c, r);
}
