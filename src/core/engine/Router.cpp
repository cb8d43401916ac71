#include "Router.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "Errors.h"
#include "worksheet/Edit.h"

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
    Linked = 0;
    PrevCol = 0;
    PrevRow = 0;
    WalkCol = 0;
    WalkRow = 0;
    std::fill(&Links[0][0], &Links[0][0] + SheetCells * SheetCells, TLink{});
    std::fill(std::begin(RowUsed), std::end(RowUsed), uint8_t(0));
}

namespace {

uint64_t CellBits(const TCell &cell)
{
    uint64_t v;
    std::memcpy(&v, &cell, sizeof v);
    return v;
}

TCell FlagCell(uint8_t ch, uint32_t flags)
{
    TCell t;
    t.Ch = ch;
    t.SetFlags(flags);
    return t;
}

}  // namespace

void TRouter::MarkUsedRows()
{
    NoteUsedRows(false);
}

// For the route also clears the line ends, as the walk finds them afresh (a
// mark left from an earlier layout would hide a line's start), and notes the
// cells the walk stops at. Column by column: a column's cells lie side by side.
void TRouter::NoteUsedRows(bool forRoute)
{
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    const int rowMax = std::min<int>(EditText.RowMax, SheetLast);
    static const uint64_t lineEnd = CellBits(FlagCell(0, cfLineEnd));
    static const uint64_t code = CellBits(FlagCell(0xFF, 0xFF));
    static const uint64_t skip = CellBits(FlagCell(0, cfSkipMask));
    if (forRoute)
        std::fill(&Stops[0][0], &Stops[0][0] + SheetCells * StopWords, uint64_t(0));
    // Bits built in registers, a word of rows at a time.
    uint64_t used[StopWords] = {};
    for (int c = 0; c <= colMax; ++c) {
        TCell *column = EditText.Cells[c];
        for (int w = 0; w * 64 <= rowMax; ++w) {
            uint64_t stops = 0, nonZero = 0, any = 0;
            const int first = w * 64;
            const int end = std::min(rowMax, first + 63);
            const uint64_t kept = forRoute ? ~lineEnd : ~uint64_t(0);
            uint64_t bit = 1;
            for (int r = first; r <= end; ++r, bit <<= 1) {
                const uint64_t v = CellBits(column[r]);
                any |= v;
                nonZero |= bit & (0 - uint64_t((v & kept) != 0));
                stops |= bit & (0 - uint64_t((v & code) != 0 && (v & skip) == 0));
            }
            used[w] |= nonZero;
            if (forRoute) {
                Stops[c][w] = stops;
                if (any & lineEnd)
                    for (int r = first; r <= end; ++r)
                        column[r].Remove(cfLineEnd);
            }
        }
    }
    for (int r = 0; r <= rowMax; ++r)
        RowUsed[r] |= uint8_t((used[r >> 6] >> (r & 63)) & 1);
}

bool TRouter::BuildRoute()
{
    Clear();
    const int colMax = std::min<int>(EditText.ColMax, SheetLast);
    const int rowMax = std::min<int>(EditText.RowMax, SheetLast);
    NoteUsedRows(true);
    if (rowMax < 1)
        return false;
    StopsValid = true;
    bool result = true;
    int blockStart = 0;
    for (int r = 1; r <= rowMax && result; ++r) {
        if ((!RowUsed[r] && RowUsed[r - 1]) || r == rowMax) {
            WalkCol = 0;
            WalkRow = blockStart;
            result = RouteBlock(colMax, blockStart, r);
            blockStart = r;
        }
    }
    StopsValid = false;
    return result;
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

// The first row in from..to where the walk stops in column col, or -1.
inline int TRouter::FirstStop(int col, int from, int to) const
{
    to = std::min(to, SheetLast);
    if (from > to)
        return -1;
    int w = from >> 6;
    uint64_t bits = Stops[col][w] & (~uint64_t(0) << (from & 63));
    for (;;) {
        if (bits) {
            const int r = w * 64 + std::countr_zero(bits);
            return r <= to ? r : -1;
        }
        if (++w > to >> 6)
            return -1;
        bits = Stops[col][w];
    }
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
    LinkFrom(PrevCol, PrevRow, Linked, col, row);
}

inline void TRouter::LinkFrom(uint8_t &prevCol, uint8_t &prevRow, int32_t &linked, int col, int row)
{
    if (linked < OrderSize)
        Order[linked++] = uint16_t(col << 8 | row);
    Links[prevCol][prevRow].NextCol = uint8_t(col);
    Links[prevCol][prevRow].NextRow = uint8_t(row);
    prevCol = uint8_t(col);
    prevRow = uint8_t(row);
    EditText.Cells[col][row].SrcCol = uint8_t(col);
    EditText.Cells[col][row].SrcRow = uint8_t(row);
}

namespace {
// Cells that do more than join the chain.
bool LeadsOn(const TCell &cell)
{
    return cell.Ch == ':' || (cell.Has(cfFractionLine) && !cell.Has(cfLineEnd)) || cell.Code() == scIntegralMiddle;
}
}  // namespace

// NextCell for BuildRoute's walk outside integral limits, with the plain
// cells linked on the way: only the cells that stop the walk are read, and the
// walk's state stays in registers until a cell that leads on is met. Then (or
// at the walk's end) the members stand as after NextCell on that cell.
inline bool TRouter::WalkPlainRun(TCell &cell, int &col, int &row, int lastRow, int firstRow, int colBound)
{
    int c = WalkCol;
    int from = WalkRow;
    uint8_t prevCol = PrevCol, prevRow = PrevRow;
    int32_t linked = Linked;
    for (;;) {
        const int last = std::max(from, lastRow);  // the column's last row read
        const int r = c >= 0 && c <= SheetLast ? FirstStop(c, std::max(from, 0), last) : -1;
        if (r < 0) {
            if (c < colBound) {
                ++c;
                from = firstRow;
                continue;
            }
            // The walk's last cell was read and passed over.
            PrevCol = prevCol;
            PrevRow = prevRow;
            Linked = linked;
            WalkCol = c;
            WalkRow = last;
            Current = SheetCell(c, last);
            cell = Current;
            col = c;
            row = last;
            return false;
        }
        const TCell found = EditText.Cells[c][r];
        int nextCol = c, nextRow = r;
        bool more = true;
        if (r < lastRow) {
            nextRow = r + 1;
        } else if (c < colBound) {
            nextCol = c + 1;
            nextRow = firstRow;
        } else {
            more = false;  // the walk's last cell is read but not taken
        }
        if (!more || LeadsOn(found)) {
            PrevCol = prevCol;
            PrevRow = prevRow;
            Linked = linked;
            WalkCol = nextCol;
            WalkRow = nextRow;
            Current = found;
            cell = found;
            col = c;
            row = r;
            return more;
        }
        LinkFrom(prevCol, prevRow, linked, c, r);
        c = nextCol;
        from = nextRow;
    }
}

bool TRouter::RouteBlock(int colBound, int firstRow, int lastRow)
{
    bool result = true;
    TCell cell;
    int c = 0, r = 0;
    while (result) {
        if (IntegralMode || !StopsValid) {
            if (!NextCell(cell, c, r, lastRow, firstRow, colBound)) {
                // A limit can run up to the bound, and no later walk comes
                // back for its last cell: it is taken here, and the walk
                // stands past it.
                if (IntegralMode && c == colBound && !cell.Empty() && !cell.Has(cfSkipMask) && !LeadsOn(cell)) {
                    Link(c, r);
                    WalkCol = colBound + 1;
                }
                return result;
            }
        } else if (!WalkPlainRun(cell, c, r, lastRow, firstRow, colBound)) {
            return result;
        }
        if (IntegralMode && cell.Empty())
            return result;
        if (cell.Empty() || cell.Has(cfSkipMask))
            continue;
        if (cell.Ch == ':') {
            if (c != 0) {
                SetError(errColonColumn, c, r);
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
        SetError(errFractionShort, c, r);
        return false;
    }
    if (!SheetCell(e, r + 1).Empty() || !SheetCell(e, r - 1).Empty()) {
        SetError(errFractionShort, e, r);
        return false;
    }
    // A one-cell line is its own end: it has no room for a numerator and
    // would close the denominator before it is read.
    if (e == c) {
        SetError(errFractionShort, c, r);
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
        SetError(errMissingLower, c, r);
        return false;
    }
    if (SheetCell(c + 1, r - 1).Empty()) {
        SetError(errMissingUpper, c, r);
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
    if (m > colBound && c < colBound) {
        // A limit that ran up to the bound leaves nothing after the
        // integrand: the walk goes to its last cell.
        WalkCol = colBound;
        WalkRow = lastRow;
        return result;
    }
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
