// The sheet model: binding, the protection test, the one write path for
// characters, cursor moves and the refusal beep.
#include "Edit.h"

#include <algorithm>

TEditText EditText;
uint8_t EditState = 0;
uint8_t FontSet = 0;
int32_t ScriptLevel = 0;
std::string FontName;
int32_t FontSize = 0;
int32_t CellFontSize = 0;
int32_t LineUnit = 0;
bool NewLineFlag = false;

TProcedure SaveUndoProc = nullptr;
TProcedure UndoProc = nullptr;
TProcedure RedoProc = nullptr;
TProcedure BeepHook = nullptr;

namespace {
// The unit's start values: implicit multiplication on, mixed fractions off.
struct EditInit {
    EditInit()
    {
        EditText.ImplicitMult = 1;
        EditText.MixedFraction = 0;
    }
} editInit;

const TCell emptyCell{};
const TAttrCell emptyAttr{};
}  // namespace

void Beep()
{
    if (BeepHook)
        BeepHook();
}

void CopyCell(const TCell &src, TCell &dst)
{
    dst = src;
}

const TCell &TEditText::CellAt(int col, int row) const
{
    return InSheet(col, row) ? Cells[col][row] : emptyCell;
}

const TAttrCell &TEditText::AttrAt(int col, int row) const
{
    return InSheet(col, row) ? Attrs[col][row] : emptyAttr;
}

void TEditText::NoteUsed(int col, int row)
{
    if (!InSheet(col, row))
        return;
    UsedColExt = std::max(UsedColExt, int32_t(col));
    UsedRowExt = std::max(UsedRowExt, int32_t(row));
}

void TEditText::FindUsedExtent(int32_t &lastCol, int32_t &lastRow) const
{
    auto used = [this](int c, int r) { return !Cells[c][r].AllZero() || !Attrs[c][r].AllZero(); };
    // From the far end: on a full sheet the first cell looked at answers.
    lastCol = -1;
    lastRow = -1;
    for (int c = SheetLast; c >= 0 && lastCol < 0; --c)
        for (int r = 0; r < SheetCells; ++r)
            if (used(c, r)) {
                lastCol = c;
                break;
            }
    for (int r = SheetLast; r >= 0 && lastRow < 0; --r)
        for (int c = 0; c <= lastCol; ++c)
            if (used(c, r)) {
                lastRow = r;
                break;
            }
}

void TEditText::CoveredExtent(int &lastCol, int &lastRow) const
{
    int32_t c, r;
    FindUsedExtent(c, r);
    lastCol = std::min(std::max(c, UsedColExt), ColMax);
    lastRow = std::min(std::max(r, UsedRowExt), RowMax);
}

void TEditText::SetCursorCol(int c)
{
    if (Grid)
        Grid->SetCol(c);
}

void TEditText::SetCursorRow(int r)
{
    if (Grid)
        Grid->SetRow(r);
}

void TEditText::RepaintGrid()
{
    if (Grid)
        Grid->Repaint();
}

void TEditText::RepaintChanged()
{
    if (Grid)
        Grid->RepaintChanged();
}

void TEditText::Clear(TDrawGrid &grid)
{
    ColMax = std::min(grid.ColCount() - 1, SheetLast);
    RowMax = std::min(grid.RowCount() - 1, SheetLast);
    for (int c = 0; c <= ColMax; ++c)
        for (int r = 0; r <= RowMax; ++r) {
            Cells[c][r].Zero();
            Attrs[c][r].Zero();
        }
    Grid = &grid;
    Grid->SetCol(0);
    Grid->SetRow(0);
    ShowTextBoxes = 0;
}

void TEditText::Reset()
{
    if (Grid)
        Clear(*Grid);
    // Beyond the grid too: a larger sheet later on must not find the cells of
    // an earlier one.
    for (auto &column : Cells)
        for (TCell &cell : column)
            cell.Zero();
    for (auto &column : Attrs)
        for (TAttrCell &attr : column)
            attr.Zero();
    UsedColExt = 0;
    UsedRowExt = 0;
}

bool TEditText::CellLocked(int col, int row) const
{
    if (EditState == esWritingResults)
        return false;
    if (!PageLock)
        return false;
    return (AttrAt(col, row).Protection & 2) == 0;
}

bool TEditText::PutChar(uint8_t ch, int col, int row, int &newCol)
{
    // Cells outside the grid are never written.
    if (col < 0 || row < 0 || col > ColMax || row > RowMax) {
        Beep();
        return false;
    }
    // Refuse before anything changes: a refused write leaves the sheet as it was.
    if (Cells[col][row].Has(cfBracketPart) || CellLocked(col, row)) {
        Beep();
        return false;
    }
    // A bracket middle takes its pieces with it; a locked piece would stay
    // behind without its bracket.
    if (Cells[col][row].Has(cfTallBracket))
        for (int r : {row - 1, row + 1})
            if (CellAt(col, r).Has(cfBracketPart) && CellLocked(col, r)) {
                Beep();
                return false;
            }

    // Numerator and denominator keep their line one cell wider than their
    // text. The column opens at the cell written, which need not be the cursor
    // (block paste). At the last column there is nothing to widen into.
    if (ch != 0) {
        auto keepLineWide = [&](uint32_t marker, int lineRow) {
            if (col < ColMax && Cells[col][row].Has(marker) && !CellAt(col + 1, lineRow).Has(cfFractionLine))
                InsertColumnAt(col, row);
            if (col < ColMax && Cells[col][row].Has(marker) &&
                (col == 0 || !CellAt(col - 1, lineRow).Has(cfFractionLine))) {
                if (InsertColumnAt(col, row)) {
                    ++col;
                    SetCursorCol(col);
                }
            }
        };
        keepLineWide(cfAboveLine, row + 1);
        keepLineWide(cfBelowLine, row - 1);
    }

    TCell &cell = Cells[col][row];
    const uint32_t old = cell.Flags();
    cell.Zero();
    cell.Ch = ch;
    uint32_t flags = old & (cfAboveLine | cfBelowLine);
    if (FontSet == 2)
        flags |= cfSymbolFont;
    if (ScriptLevel < 0)
        flags |= cfRaised;
    if (ScriptLevel > 0)
        flags |= cfLowered;
    cell.SetFlags(flags);
    if (ch != 0)
        NoteUsed(col, row);

    if ((old & cfFractionLine) && ch != 190) {
        if (InSheet(col, row - 1))
            Cells[col][row - 1].Remove(cfAboveLine);
        if (InSheet(col, row + 1))
            Cells[col][row + 1].Remove(cfBelowLine);
    }

    if (Attrs[col][row].RootLevel != 0)
        ClearNesting(Attrs[col][row].RootLevel, col, row);

    newCol = col;
    if (old & cfTallBracket) {
        // The pieces go with their middle; a piece outside the grid is absent.
        for (int r : {row - 1, row + 1})
            if (r >= 0 && r <= RowMax)
                Cells[col][r].Remove(cfBracketPart);
        for (int r : {row - 1, row + 1})
            if (r >= 0 && r <= RowMax && !DeleteAt(col, r))
                return true;
        SetCursorRow(row - 1);
        SetCursorRow(row + 1);
        SetCursorRow(row);
    }
    return true;
}

void TEditText::Home()
{
    SetCursorCol(0);
    SetCursorRow(0);
}

void TEditText::CursorRight()
{
    if (CursorCol() >= ColMax)
        Beep();
    else
        SetCursorCol(CursorCol() + 1);
}

void TEditText::CursorLeft()
{
    if (CursorCol() <= 0)
        Beep();
    else
        SetCursorCol(CursorCol() - 1);
}

void TEditText::CursorDown()
{
    if (CursorRow() >= RowMax)
        Beep();
    else
        SetCursorRow(CursorRow() + 1);
}

void TEditText::SaveCursor()
{
    SavedCol = CursorCol();
    SavedRow = CursorRow();
}

void TEditText::RestoreCursor()
{
    SetCursorCol(SavedCol);
    SetCursorRow(SavedRow);
}

void TEditText::FindLineStart()
{
    LineStartCol = -1;
    const int r = std::min(CursorRow(), int(RowMax));
    for (int c = 0; c <= ColMax && LineStartCol < 0; ++c)
        for (int y = 0; y <= r; ++y) {
            const TCell &cell = Cells[c][y];
            if (cell.Code() != 0 && cell.Ch != ':') {
                LineStartCol = c;
                break;
            }
        }
    if (LineStartCol < 0)
        LineStartCol = 0;
    SetCursorCol(LineStartCol);
}

void TEditText::RefreshCursor()
{
    if (ColMax == 0) {
        // A one-column grid has no neighbour to step to.
        if (Grid)
            Grid->InvalidateCell(CursorCol(), CursorRow());
        return;
    }
    if (CursorCol() >= ColMax) {
        CursorLeft();
        CursorRight();
    } else {
        CursorRight();
        CursorLeft();
    }
}
