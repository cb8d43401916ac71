#include "DrawGrid.h"

#include <algorithm>
#include <cstring>

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

void TDrawGrid::RepaintChanged()
{
    ++RepaintCount;
    if (Observer && !PaintSuspended)
        Observer->GridSheetChanged();
}

void TDrawGrid::InvalidateCell(int c, int r)
{
    ++CellInvalidations;
    if (Observer && !PaintSuspended)
        Observer->GridCellChanged(c, r);
}

// ---------------------------------------------------------------------------
// What the view shows

namespace {

void MarkRows(TSheetRows &rows, int first, int last)
{
    for (int r = std::max(first, 0); r <= std::min(last, SheetLast); ++r)
        rows.set(size_t(r));
}

void MarkReach(const TAttrCell &a, int row, TSheetRows &rows)
{
    MarkRows(rows, row - 1, row + 1);
    if (a.Overline != 0)
        MarkRows(rows, row - 3, row);
    if (a.RootLevel != 0 || a.RootTop != 0 || a.RootBottom != 0) {
        const TRowSpan span = RootReach(a, row);
        MarkRows(rows, span.First, span.Last);
    }
}

}  // namespace

TRowSpan RootReach(const TAttrCell &root, int row)
{
    return {std::min(row, int(root.RootTop)) - 3, std::max(row, int(root.RootBottom)) + 1};
}

TShownSheet::TShownSheet() : shown_(std::make_unique<Layers>())
{
}

void TShownSheet::Reach(const TAttrCell (&attrs)[SheetCells][SheetCells], int col, int row, TSheetRows &rows) const
{
    if (!InSheet(col, row))
        return;
    MarkReach(shown_->Attrs[col][row], row, rows);
    MarkReach(attrs[col][row], row, rows);
}

bool TShownSheet::Changes(const TCell (&cells)[SheetCells][SheetCells],
                          const TAttrCell (&attrs)[SheetCells][SheetCells], int cols, int rows, TSheetRows &marked)
{
    cols = std::clamp(cols, 0, SheetCells);
    rows = std::clamp(rows, 0, SheetCells);
    bool any = false;
    for (int c = 0; c < cols; ++c) {
        TCell *shownCells = shown_->Cells[c];
        TAttrCell *shownAttrs = shown_->Attrs[c];
        if (std::memcmp(shownCells, cells[c], rows * sizeof(TCell)) == 0 &&
            std::memcmp(shownAttrs, attrs[c], rows * sizeof(TAttrCell)) == 0)
            continue;
        for (int r = 0; r < rows; ++r)
            if (shownCells[r] != cells[c][r] || shownAttrs[r] != attrs[c][r]) {
                Reach(attrs, c, r, marked);
                shownCells[r] = cells[c][r];
                shownAttrs[r] = attrs[c][r];
                any = true;
            }
    }
    return any;
}
