#include "Router.h"

#include <algorithm>

#include "Errors.h"

TRouter RouterObj;

namespace {
const TCell noCell{};
}

// Cells outside the grid in use read as empty: the neighbour tests of lines
// and integrals at the sheet's edges, and stale cells left beyond a smaller
// grid, never count.
const TCell &TRouter::SheetCell(int col, int row) const
{
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    const int rowMax = std::min<int>(EditText.RowMax, SheetLast);
    if (col < 0 || row < 0 || col > colMax || row > rowMax)
        return noCell;
    return EditText.Cells[col][row];
}

void TRouter::Clear()
{
    PrevCol = 0;
    PrevRow = 0;
    WalkCol = 0;
    WalkRow = 0;
    for (auto &column : Links)
        for (TLink &l : column)
            l = TLink{};
    std::fill(std::begin(RowUsed), std::end(RowUsed), uint8_t(0));
}

void TRouter::MarkUsedRows()
{
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    const int rowMax = std::min<int>(EditText.RowMax, SheetLast);
    for (int r = 0; r <= rowMax; ++r)
        for (int c = 0; c <= colMax; ++c)
            if (!EditText.Cells[c][r].AllZero()) {
                RowUsed[r] = 1;
                break;
            }
}

bool TRouter::BuildRoute()
{
    Clear();
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    const int rowMax = std::min<int>(EditText.RowMax, SheetLast);
    // Line ends are found afresh; a mark left from an earlier layout would
    // hide a line's start from the walk.
    for (int c = 0; c <= colMax; ++c)
        for (int r = 0; r <= rowMax; ++r)
            if (EditText.Cells[c][r].Has(cfLineEnd))
                EditText.Cells[c][r].Remove(cfLineEnd);
    MarkUsedRows();
    if (rowMax < 1)
        return false;
    int blockStart = 0;
    for (int r = 1; r <= rowMax; ++r) {
        if ((!RowUsed[r] && RowUsed[r - 1]) || r == rowMax) {
            WalkCol = 0;
            WalkRow = blockStart;
            if (!RouteBlock(colMax, blockStart, r))
                return false;
            blockStart = r;
        }
    }
    return true;
}

bool TRouter::NextCell(TCell &cell, int &col, int &row, int lastRow, int firstRow, int colBound)
{
    Current = SheetCell(WalkCol, WalkRow);
    cell = Current;
    col = WalkCol;
    row = WalkRow;
    if (WalkRow < lastRow)
        ++WalkRow;
    else if (WalkCol < colBound) {
        ++WalkCol;
        WalkRow = firstRow;
    } else
        return false;
    return true;
}

void TRouter::SetPosition(const TCell &cell, int col, int row)
{
    WalkCol = col;
    WalkRow = row;
    Current = cell;
}

int TRouter::FractionLineEnd(int col, int row)
{
    if (!SheetCell(col, row).Has(cfFractionLine))
        return 0;
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    int e = col;
    while (e + 1 <= colMax && EditText.Cells[e + 1][row].Has(cfFractionLine))
        ++e;
    EditText.Cells[e][row].Add(cfLineEnd);
    return e;
}

void TRouter::Link(int col, int row)
{
    Links[PrevCol][PrevRow].NextCol = uint8_t(col);
    Links[PrevCol][PrevRow].NextRow = uint8_t(row);
    PrevCol = uint8_t(col);
    PrevRow = uint8_t(row);
    EditText.Cells[col][row].SrcCol = uint8_t(col);
    EditText.Cells[col][row].SrcRow = uint8_t(row);
}

bool TRouter::RouteBlock(int colBound, int firstRow, int lastRow)
{
    bool result = true;
    TCell cell;
    int c = 0, r = 0;
    while (result && NextCell(cell, c, r, lastRow, firstRow, colBound)) {
        if (IntegralMode && cell.Empty())
            return result;
        if (cell.Empty() || cell.Has(cfSkipMask))
            continue;
        if (cell.Ch == ':') {
            if (c != 0) {
                SetError(108, c, r);
                return false;
            }
            // What stands above the line start is read before it.
            SetPosition(cell, 1, firstRow);
            result = RouteBlock(colBound, firstRow, r - 1);
            Link(c, r);
            firstRow = r;
            SetPosition(cell, 0, r + 1);
        } else {
            Link(c, r);
        }
        if (cell.Has(cfFractionLine) && !cell.Has(cfLineEnd)) {
            bool walkDone = false;
            if (!RouteFraction(c, r, colBound, firstRow, lastRow, walkDone))
                return false;
            if (walkDone)
                return result;
        } else if (cell.Code() == scIntegralMiddle) {
            // Tested by code: a text-font 244 is no integral sign.
            if (!RouteIntegral(c, r, colBound, firstRow, lastRow))
                return false;
        }
        if (!result)
            return false;
    }
    return result;
}

// The line starts at (c, r) and has just been linked; the walk stands at the
// cell after it. walkDone: the line end was the walk's last cell.
bool TRouter::RouteFraction(int c, int r, int colBound, int firstRow, int lastRow, bool &walkDone)
{
    const int e = FractionLineEnd(c, r);
    if (!SheetCell(c, r + 1).Empty() || !SheetCell(c, r - 1).Empty()) {
        SetError(111, c, r);
        return false;
    }
    if (!SheetCell(e, r + 1).Empty() || !SheetCell(e, r - 1).Empty()) {
        SetError(111, e, r);
        return false;
    }
    // A one-cell line is its own end: it has no room for a numerator and
    // would close the denominator before it is read.
    if (e == c) {
        SetError(111, c, r);
        return false;
    }
    // With no rows above (or below) the line inside this walk there is
    // nothing to read there; a walk over such an empty range would read the
    // line's own row and take its cells for new lines.
    const bool numerator = r - 1 < firstRow || RouteBlock(e, firstRow, r - 1);
    bool denominator = true;
    if (r + 1 <= lastRow) {
        WalkCol = c;
        WalkRow = r + 1;
        denominator = RouteBlock(e, r + 1, lastRow);
    }
    // The line end closes the denominator. The walk goes on after it; column e
    // below the line was read by the denominator walk up to its last cell, and
    // reading those cells twice would cut them out of the chain.
    Link(e, r);
    if (r < lastRow) {
        WalkCol = e;
        WalkRow = lastRow;
    } else if (e < colBound) {
        WalkCol = e + 1;
        WalkRow = firstRow;
    } else {
        walkDone = true;
    }
    return numerator && denominator;
}

bool TRouter::RouteIntegral(int c, int r, int colBound, int firstRow, int lastRow)
{
    if (SheetCell(c + 1, r + 1).Empty()) {
        SetError(126, c, r);
        return false;
    }
    if (SheetCell(c + 1, r - 1).Empty()) {
        SetError(127, c, r);
        return false;
    }
    bool result = true;
    IntegralMode = true;
    WalkCol = c + 1;
    WalkRow = r - 1;
    result = RouteBlock(colBound, r - 1, r - 1);
    int m = WalkCol;
    WalkCol = c + 1;
    WalkRow = r + 1;
    if (result)
        result = RouteBlock(colBound, r + 1, r + 1);
    IntegralMode = false;
    m = std::max<int>(m, WalkCol);
    WalkCol = c + 1;
    WalkRow = r;
    if (result)
        result = RouteBlock(m, r, r);
    WalkCol = m;
    WalkRow = r;
    if (result)
        result = RouteBlock(colBound, firstRow, lastRow);
    return result;
}

void TRouter::ShowRoute()
{
    ShownRoute.clear();
    int c = 0, r = 0;
    ShownRoute.push_back({c, r});
    // A chain is never longer than the sheet; the bound keeps a damaged
    // table from looping.
    while (!Links[c][r].IsEnd() && ShownRoute.size() < size_t(SheetCells) * SheetCells) {
        const TLink &l = Links[c][r];
        c = l.NextCol;
        r = l.NextRow;
        ShownRoute.push_back({c, r});
    }
    if (EditText.Grid)
        EditText.Grid->Repaint();
}
