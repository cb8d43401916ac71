// Structural editing: fractions, tall brackets, the integral template, rows
// and columns opened and removed, and the cursor advance after a written
// character. Root areas are in EditRoot.cpp.
#include <algorithm>
#include <cstring>

#include "Edit.h"

namespace {

// Root-area data (everything but the unlock mark).
bool HasAreaData(const TAttrCell &a)
{
    return a.RootLevel || a.RootTop || a.RootBottom || a.RootRow || a.Nesting || a.Overline;
}

}  // namespace

void TEditText::NoteCell(int col, int row)
{
    if (InSheet(col, row) && (!Cells[col][row].AllZero() || !Attrs[col][row].AllZero()))
        NoteUsed(col, row);
}

// ---------------------------------------------------------------------------
// Cursor advance and erasing

bool TEditText::AdvanceWrap()
{
    if (CursorCol() < ColMax) {
        SetCursorCol(CursorCol() + 1);
        return true;
    }
    if (CursorRow() < RowMax) {
        SetCursorRow(CursorRow() + 1);
        SetCursorCol(0);
        return true;
    }
    return false;
}

bool TEditText::Advance()
{
    if (CursorCol() < ColMax) {
        SetCursorCol(CursorCol() + 1);
        return true;
    }
    if (EditState == esEditing) {
        Beep();
        RefreshCursor();
        return false;
    }
    // The result writer goes on at column 1 of the next row.
    if (!AdvanceWrap())
        return false;
    if (CursorCol() < ColMax)
        SetCursorCol(CursorCol() + 1);
    return true;
}

bool TEditText::Next()
{
    return Advance();
}

bool TEditText::DeleteAt(int col, int row)
{
    int written = col;
    if (!PutChar(0, col, row, written))
        return false;
    Cells[written][row].SetCode(0);
    RefreshCursor();
    return true;
}

void TEditText::DeleteAtCursor()
{
    DeleteAt(CursorCol(), CursorRow());
}

void TEditText::Backspace()
{
    CursorLeft();
    DeleteAtCursor();
}

// ---------------------------------------------------------------------------
// Rows of a column operation

// A row that only carries part of a root area (no characters) still belongs
// to its block: a column operation must move the whole area.
bool TEditText::RowIsEmpty(int row) const
{
    for (int c = 0; c <= ColMax; ++c)
        if (!Cells[c][row].AllZero() || HasAreaData(Attrs[c][row]))
            return false;
    return true;
}

void TEditText::BlockRows(int row, int &first, int &last) const
{
    first = row;
    while (first > 0) {
        --first;
        if (RowIsEmpty(first))
            break;
    }
    last = row;
    while (last < RowMax) {
        ++last;
        if (RowIsEmpty(last))
            break;
    }
}

void TEditText::FindBlockRows(int &first, int &last)
{
    BlockRows(CursorRow(), first, last);
}

void TEditText::ColumnRowRange(int row, int &first, int &last) const
{
    BlockRows(row, first, last);
    // The empty row below ends the block and stays; a block that reaches the
    // sheet's last row keeps that row, or a column step would tear it apart.
    if (last > row && RowIsEmpty(last))
        --last;
    last = std::min({last, int(UsedRowExt), int(RowMax)});
}

// ---------------------------------------------------------------------------
// Columns

bool TEditText::InsertColumn()
{
    return InsertColumnAt(CursorCol(), CursorRow());
}

bool TEditText::InsertColumnAt(int c, int row)
{
    if (PageLock) {
        Beep();
        return false;
    }
    for (int r = 0; r <= RowMax; ++r)
        if (Cells[ColMax][r].Code() != 0) {
            Beep();
            return false;
        }
    if (c < 0 || c > ColMax)
        return false;
    int lastCol, lastRow;
    CoveredExtent(lastCol, lastRow);
    const int start = std::min(lastCol + 1, int(ColMax));
    int first, last;
    ColumnRowRange(row, first, last);

    for (int x = start; x >= c; --x)
        for (int r = first; r <= last; ++r) {
            if (x > c) {
                Cells[x][r] = Cells[x - 1][r];
                Attrs[x][r] = Attrs[x - 1][r];
                NoteCell(x, r);
                continue;
            }
            TCell &cell = Cells[c][r];
            if (cell.Has(cfFunctionName)) {
                // Open the gap in front of the whole name, never inside it.
                int k = c;
                while (k > 0 && Cells[k - 1][r].Has(cfFunctionName)) {
                    Cells[k][r] = Cells[k - 1][r];
                    --k;
                }
                Cells[k][r].Zero();
            } else if (cell.Has(cfFractionLine)) {
                if (r > 0) {
                    Cells[c][r - 1].Add(cfAboveLine);
                    NoteCell(c, r - 1);
                }
            } else if (cell.Has(cfBelowLine)) {
                cell.Zero();
                cell.SetFlags(cfBelowLine);
            } else {
                cell.Zero();
            }
            // The root sign and its range marks moved right with the column;
            // the area's levels stay, so the new column belongs to the area.
            TAttrCell &a = Attrs[c][r];
            a.RootLevel = 0;
            a.RootTop = 0;
            a.RootBottom = 0;
            a.RootRow = 0;
            a.Overline = uint8_t(a.Overline & ~1u);
        }
    RepaintChanged();
    return true;
}

void TEditText::DeleteColumn()
{
    if (PageLock) {
        Beep();
        return;
    }
    int first, last;
    ColumnRowRange(CursorRow(), first, last);
    const int c = CursorCol();
    for (int r = first; r <= last; ++r)
        if (Cells[c][r].Has(cfFunctionName)) {
            Beep();
            return;
        }
    // Remove the areas of root signs in this column before anything moves, so
    // their levels are taken out of cells that are still where they were.
    for (int r = first; r <= last; ++r)
        if (Cells[c][r].Code() == scRootSign && Attrs[c][r].RootLevel != 0)
            ClearNesting(Attrs[c][r].RootLevel, c, r);
    for (int x = c; x <= ColMax; ++x)
        for (int r = first; r <= last; ++r) {
            if (x < ColMax) {
                Cells[x][r] = Cells[x + 1][r];
                Attrs[x][r] = Attrs[x + 1][r];
            } else {
                // Freed in both layers: a stale structure cell would still
                // name a root or carry its marks.
                Cells[x][r].Zero();
                Attrs[x][r].Zero();
            }
        }
    RepaintChanged();
}

// ---------------------------------------------------------------------------
// Rows

// A stored row number that would be pushed past the last row.
bool TEditText::RootRowAtLimit() const
{
    for (int x = 0; x <= ColMax; ++x)
        for (int y = 0; y <= RowMax; ++y) {
            const TAttrCell &a = Attrs[x][y];
            for (int v : {a.RootTop, a.RootBottom, a.RootRow})
                if (v != 0 && v >= RowMax)
                    return true;
        }
    return false;
}

// Stored row numbers follow the rows they name: after a row opened at `row`
// (delta +1) every number from `row` on grows; after the row was removed
// (delta -1) every number below it shrinks.
void TEditText::ShiftRootRows(int row, int delta)
{
    auto shift = [&](uint8_t &v) {
        if (v == 0)
            return;
        if (delta > 0 ? v >= row : v > row)
            v = uint8_t(v + delta);
    };
    int lastCol, lastRow;
    CoveredExtent(lastCol, lastRow);
    for (int x = 0; x <= lastCol; ++x)
        for (int y = 0; y <= RowMax; ++y) {
            TAttrCell &a = Attrs[x][y];
            shift(a.RootTop);
            shift(a.RootBottom);
            shift(a.RootRow);
        }
}

void TEditText::InsertRow()
{
    if (PageLock) {
        Beep();
        return;
    }
    for (int x = 0; x <= ColMax; ++x)
        if (Cells[x][RowMax].Code() != 0 || HasAreaData(Attrs[x][RowMax])) {
            Beep();
            return;
        }
    if (RootRowAtLimit()) {
        Beep();
        return;
    }
    const int r = CursorRow();
    for (int x = 0; x <= ColMax; ++x) {
        const TCell &cell = Cells[x][r];
        const bool bottomPiece = cell.Has(cfBracketPart) && !CellAt(x, r + 1).Has(cfTallBracket);
        if (cell.Has(cfFractionLine | cfTallBracket | cfBelowLine) || bottomPiece || !Attrs[x][r].AllZero()) {
            Beep();
            return;
        }
    }
    int lastCol, lastRow;
    CoveredExtent(lastCol, lastRow);
    const int start = std::min(lastRow + 1, int(RowMax));
    if (start < r) {
        RepaintChanged();
        return;
    }
    for (int y = start; y >= r; --y)
        for (int x = 0; x <= lastCol; ++x) {
            if (y > r) {
                Cells[x][y] = Cells[x][y - 1];
                Attrs[x][y] = Attrs[x][y - 1];
                NoteCell(x, y);
            } else {
                Cells[x][y].Zero();
            }
        }
    ShiftRootRows(r, +1);
    RepaintChanged();
}

void TEditText::DeleteRow()
{
    if (PageLock) {
        Beep();
        return;
    }
    const int r = CursorRow();
    for (int x = 0; x <= ColMax; ++x)
        if (Cells[x][r].Has(cfFractionLine | cfBelowLine | cfTallBracket | cfBracketPart) || !Attrs[x][r].AllZero()) {
            Beep();
            return;
        }
    // With the page unlocked and no structure in the row nothing can refuse
    // the erase, and erasing such a cell has no side effects: just zero it.
    for (int x = 0; x <= ColMax; ++x)
        Cells[x][r].Zero();
    int lastCol, lastRow;
    CoveredExtent(lastCol, lastRow);
    for (int y = r; y <= RowMax; ++y)
        for (int x = 0; x <= lastCol; ++x) {
            if (y < RowMax) {
                Cells[x][y] = Cells[x][y + 1];
                Attrs[x][y] = Attrs[x][y + 1];
            } else {
                // Freed in both layers: the renumbering below would point a
                // stale copy at the root that moved up.
                Cells[x][y].Zero();
                Attrs[x][y].Zero();
            }
        }
    ShiftRootRows(r, -1);
    RepaintChanged();
}

// ---------------------------------------------------------------------------
// Fractions

bool TEditText::PutLineCell(int &col, int row, int &shift, bool isResult)
{
    // While typing, a line cell in the last column could not move the cursor
    // on: refuse it before writing rather than leave a half-made line cell.
    if (EditState == esEditing && std::max(col, 0) >= ColMax) {
        Beep();
        return false;
    }
    if (col < 0) {
        col = 0;
        SetCursorCol(0);
        if (!InsertColumn())
            return false;
        ++shift;
    }
    int written = col;
    if (!PutChar(190, col, row, written))
        return false;
    col = written;
    const uint32_t result = isResult ? uint32_t(cfResult) : 0u;
    TCell &cell = Cells[col][row];
    cell.Add(cfSymbolFont | result);
    SetCursorCol(col);
    const bool advanced = Next();
    // The cell is finished as a line cell even when the cursor could not
    // follow, so no stray glyph is left behind.
    cell.Add(cfFractionLine | result);
    if (row > 0) {
        Cells[col][row - 1].Add(cfAboveLine | result);
        NoteCell(col, row - 1);
    }
    if (row < RowMax) {
        Cells[col][row + 1].Add(cfBelowLine | result);
        NoteCell(col, row + 1);
    }
    NoteUsed(col, row);
    return advanced;
}

bool TEditText::PutFractionLine(int col, int row, int &shift, bool isResult)
{
    return PutLineCell(col, row, shift, isResult);
}

bool TEditText::LineCells(int from, int &to, int row, bool isResult)
{
    for (int x = from; x <= to; ++x) {
        int written = x, shift = 0;
        if (!PutLineCell(written, row, shift, isResult))
            return false;
        to += written - x;
        x = written;
    }
    return true;
}

void TEditText::InsertFraction(bool isResult)
{
    if (PageLock) {
        Beep();
        return;
    }
    int c = CursorCol();
    const int r = CursorRow();
    auto occupied = [&](int x, int y) { return CellAt(x, y).Code() != 0; };

    if ((c > 0 && CellAt(c - 1, r).Code() == scFractionLine) || isResult) {
        int shift = 0;
        PutFractionLine(c, r, shift, isResult);
        return;
    }
    if (c == 0) {
        if (occupied(0, r - 1) && !InsertColumn())
            return;
        c = 1;
    }

    if ((!occupied(c - 1, r - 1) && !occupied(c + 1, r - 1)) || CellAt(c - 1, r - 1).Has(cfBracketPart)) {
        // Fresh line centred on the cursor.
        if (occupied(c - 1, r)) {
            if (!InsertColumn())
                return;
            ++c;
        }
        int to = c + 1;
        if (!LineCells(c - 1, to, r, isResult))
            return;
        c = to - 1;
    } else {
        // Line under an existing numerator: from the free column left of it.
        int k = c - 1;
        while (occupied(k, r - 1) || occupied(k, r + 1)) {
            if (k == 0) {
                SetCursorCol(0);
                if (!InsertColumn())
                    return;
                ++c;
                break;
            }
            --k;
        }
        if (occupied(k, r)) {
            SetCursorCol(k + 1);
            if (!InsertColumn())
                return;
            ++k;
            ++c;
        }
        if (!LineCells(k, c, r, isResult))
            return;
    }

    // Right end: on past the numerator and denominator.
    if (occupied(c, r - 1) || occupied(c + 1, r - 1)) {
        int j = c + 1;
        while (j < ColMax && (occupied(j, r - 1) || occupied(j, r + 1)))
            ++j;
        LineCells(c, j, r, isResult);
    }
}

// ---------------------------------------------------------------------------
// Tall brackets and the integral template

bool TEditText::InsertBrackets(uint8_t top, uint8_t middle, uint8_t bottom, int col, int row)
{
    // Every test comes first, so a refusal changes nothing.
    if (row <= 0 || row >= RowMax || col < 0 || col > ColMax) {
        Beep();
        return false;
    }
    const TCell &above = Cells[col][row - 1];
    const TCell &below = Cells[col][row + 1];
    const bool onMiddle = Cells[col][row].Has(cfTallBracket);
    if (!onMiddle && (above.Has(cfTallBracket | cfBracketPart) || below.Has(cfTallBracket | cfBracketPart))) {
        Beep();
        return false;
    }
    // A fraction's line and its empty zone cells are taken too: a piece there
    // would overwrite the line or make it grow under the bracket.
    const uint32_t fraction = cfFractionLine | cfAboveLine | cfBelowLine;
    if (above.Code() != 0 || below.Code() != 0 || above.Has(fraction) || below.Has(fraction) ||
        Cells[col][row].Has(fraction)) {
        Beep();
        return false;
    }
    if (CellLocked(col, row - 1) || CellLocked(col, row) || CellLocked(col, row + 1)) {
        Beep();
        return false;
    }
    if (onMiddle) {
        // A middle whose pieces are gone: free its empty piece cells, and
        // let the new middle replace it without erasing the new pieces.
        Cells[col][row - 1].Remove(cfBracketPart);
        Cells[col][row + 1].Remove(cfBracketPart);
        Cells[col][row].Remove(cfTallBracket);
    }

    int written = col;
    if (!PutChar(bottom, col, row + 1, written))
        return false;
    const int bottomCol = written;
    Cells[bottomCol][row + 1].Add(cfBracketPart | cfSymbolFont);
    SetCursorRow(row + 1);

    written = col;
    if (!PutChar(top, col, row - 1, written)) {
        Cells[bottomCol][row + 1].Zero();
        SetCursorRow(row);
        return false;
    }
    const int topCol = written;
    Cells[topCol][row - 1].Add(cfBracketPart | cfSymbolFont);
    SetCursorRow(row - 1);

    written = col;
    if (!PutChar(middle, col, row, written)) {
        Cells[bottomCol][row + 1].Zero();
        Cells[topCol][row - 1].Zero();
        SetCursorRow(row);
        return false;
    }
    Cells[written][row].SetFlags(cfTallBracket | cfSymbolFont);
    SetCursorRow(row);
    // A failed advance has beeped already while typing; the result writer's
    // silent failure at the end of the sheet gets its one beep here.
    if (!Advance() && EditState != esEditing)
        Beep();
    SetCursorRow(row);
    return true;
}

bool TEditText::InsertIntegral(int col, int row)
{
    if (!InsertBrackets(243, 244, 245, col, row))
        return false;
    int x = col;
    if (!PutChar('a', col + 1, row + 1, x))
        return false;
    SetCursorRow(row + 1);
    if (!PutChar('b', x, row - 1, x))
        return false;
    SetCursorRow(row - 1);
    // The rest of row R, each character followed by the cursor.
    auto put = [&](uint8_t ch, uint32_t extra) {
        if (!PutChar(ch, x + 1, row, x))
            return false;
        Cells[x][row].Add(extra);
        SetCursorRow(row);
        SetCursorCol(x);
        return Next();
    };
    if (!put(166, cfSymbolFont))
        return false;
    for (uint8_t ch : {'(', 'x', ')'})
        if (!put(ch, 0))
            return false;
    if (!PutChar('d', x + 1, row, x) || !PutChar('x', x + 1, row, x))
        return false;
    SetCursorCol(x);
    if (!Next())
        return false;
    SetCursorCol(x);
    if (x + 1 <= ColMax)
        SetCursorCol(x + 1);
    return true;
}
