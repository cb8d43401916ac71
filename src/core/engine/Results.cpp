// The result writer. Every cell it writes carries cfResult, so the reading
// order skips it and the reset command removes it.
#include "Results.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Errors.h"
#include "Lists.h"
#include "NumFormat.h"
#include "worksheet/Edit.h"

bool SuspendDraw = false;
int32_t FracRight = 0;

namespace {

// Symbol-font characters of the writer.
constexpr uint8_t symRootSign = 214;
constexpr uint8_t symIntegral = 242;
constexpr uint8_t symArrow = 174;
constexpr uint8_t symFunctionSign = 166;

// Flags of the name cells that only tokens carry; they mean nothing on the sheet.
constexpr uint32_t tokenOnlyFlags = cfLineEnd | cfExponentEnd | cfNestingToken;

// Once a write would leave the grid, the rest of the equation is dropped and
// errPageFull is reported once, at the cell the current equation names.
bool pageFull = false;
int32_t fullCol = 0;
int32_t fullRow = 0;
// The cursor stands on the sheet's last cell, already written: the next
// write would overwrite it.
bool atSheetEnd = false;
// The equation needs rows above or below its main row (a fraction, a tall
// bracket), and the cursor went on into the next row or back to the row's
// start: the next write would land among the rows the result uses itself.
bool spansRows = false;
bool wrapped = false;

void ReportFull()
{
    if (!pageFull)
        SetError(errPageFull, fullCol, fullRow);
    pageFull = true;
}

// Cursor to (col, row) when that cell lies in the grid; otherwise page full.
bool MoveTo(int col, int row)
{
    if (col < 0 || col > EditText.ColMax || row < 0 || row > EditText.RowMax) {
        ReportFull();
        return false;
    }
    EditText.SetCursorCol(col);
    EditText.SetCursorRow(row);
    atSheetEnd = false;
    wrapped = false;
    return true;
}

// After the cursor went on from (col, row).
void NoteAdvance(int col, int row)
{
    if (spansRows && (EditText.CursorRow() != row || EditText.CursorCol() <= col))
        wrapped = true;
}

// Whether the next cell may be written at the cursor.
bool CanWrite()
{
    if (atSheetEnd || wrapped)
        ReportFull();
    return !pageFull;
}

// A numerator, denominator or radicand that wrapped at the grid's right edge
// cannot get its line or bar: the page is full.
bool StayedOnRow(int row)
{
    if (!pageFull && EditText.CursorRow() != row)
        ReportFull();
    return !pageFull;
}

// What the results of one calculation changed, so that a result that does
// not fit, or that would change a cell the user wrote (wrapping onto the
// next row, a line mark above it, a column opened for it), is taken back
// whole. The writer keeps each cell just before it may change it; before a
// change whose cells cannot be told beforehand (a column opened, an area
// renumbered) the whole grid is kept once instead.
class TResultLog {
public:
    bool IsOpen() const { return open_; }

    void Open()
    {
        open_ = true;
        whole_ = false;
        kept_.clear();
        touched_.clear();
        NextStamp(run_, &TStamp::run);
        usedCol_ = EditText.UsedColExt;
        usedRow_ = EditText.UsedRowExt;
    }

    void Close()
    {
        open_ = false;
        kept_.clear();
        touched_.clear();
    }

    // The cells the equation about to be written may change are checked
    // after it; the cells earlier ones changed were checked after them.
    void StartEquation()
    {
        touched_.clear();
        NextStamp(equation_, &TStamp::equation);
    }

    void Keep(int col, int row)
    {
        if (whole_ || col < 0 || col > EditText.ColMax || row < 0 || row > EditText.RowMax)
            return;
        TStamp &s = stamps_[col][row];
        if (s.run != run_) {
            s.run = run_;
            s.index = uint32_t(kept_.size());
            kept_.push_back({int16_t(col), int16_t(row), EditText.Cells[col][row], EditText.Attrs[col][row]});
        }
        if (s.equation != equation_) {
            s.equation = equation_;
            touched_.push_back(s.index);
        }
    }

    void KeepAll()
    {
        if (whole_)
            return;
        EachGridColumn([](int c, size_t cells, size_t attrs) {
            std::memcpy(static_cast<void *>(sheet_.cells[c]), EditText.Cells[c], cells);
            std::memcpy(static_cast<void *>(sheet_.attrs[c]), EditText.Attrs[c], attrs);
        });
        // The copy holds what the run changed so far: as it was before.
        for (const TKept &k : kept_) {
            sheet_.cells[k.col][k.row] = k.cell;
            sheet_.attrs[k.col][k.row] = k.attr;
        }
        whole_ = true;
    }

    // No cell that the user wrote (not empty, not a result) differs from
    // what it was before the run.
    bool UserCellsKept() const
    {
        auto kept = [](const TCell &was, const TAttrCell &wasAttr, int c, int r) {
            return was.Code() == 0 || was.Has(cfResult) ||
                   (was == EditText.Cells[c][r] && wasAttr == EditText.Attrs[c][r]);
        };
        if (!whole_)
            return std::all_of(touched_.begin(), touched_.end(), [&](uint32_t i) {
                const TKept &k = kept_[i];
                return kept(k.cell, k.attr, k.col, k.row);
            });
        bool all = true;
        EachGridColumn([&](int c, size_t cells, size_t attrs) {
            // Most columns are untouched: compare them whole first.
            if (!all || (std::memcmp(sheet_.cells[c], EditText.Cells[c], cells) == 0 &&
                         std::memcmp(sheet_.attrs[c], EditText.Attrs[c], attrs) == 0))
                return;
            for (int r = 0; r <= EditText.RowMax && all; ++r)
                all = kept(sheet_.cells[c][r], sheet_.attrs[c][r], c, r);
        });
        return all;
    }

    // Every cell and the used extent as before the run.
    void Undo()
    {
        if (whole_) {
            EachGridColumn([](int c, size_t cells, size_t attrs) {
                std::memcpy(static_cast<void *>(EditText.Cells[c]), sheet_.cells[c], cells);
                std::memcpy(static_cast<void *>(EditText.Attrs[c]), sheet_.attrs[c], attrs);
            });
        } else {
            for (const TKept &k : kept_) {
                EditText.Cells[k.col][k.row] = k.cell;
                EditText.Attrs[k.col][k.row] = k.attr;
            }
        }
        EditText.UsedColExt = usedCol_;
        EditText.UsedRowExt = usedRow_;
    }

private:
    struct TKept {
        int16_t col, row;
        TCell cell;
        TAttrCell attr;
    };
    // Which run and which equation kept a cell last, and where.
    struct TStamp {
        uint32_t run = 0, equation = 0, index = 0;
    };

    // The writer stays inside the grid: only its columns and rows are kept.
    template <class F>
    static void EachGridColumn(F f)
    {
        const size_t rows = size_t(EditText.RowMax) + 1;
        for (int c = 0; c <= EditText.ColMax; ++c)
            f(c, sizeof(TCell) * rows, sizeof(TAttrCell) * rows);
    }

    // A stamp that wraps round starts afresh in every cell.
    template <class Field>
    void NextStamp(uint32_t &counter, Field field)
    {
        if (++counter != 0)
            return;
        for (auto &column : stamps_)
            for (TStamp &stamp : column)
                stamp.*field = 0;
        counter = 1;
    }

    bool open_ = false;
    bool whole_ = false;
    std::vector<TKept> kept_;
    std::vector<uint32_t> touched_;
    uint32_t run_ = 0, equation_ = 0;
    int32_t usedCol_ = 0, usedRow_ = 0;
    TStamp stamps_[SheetCells][SheetCells];
    static struct TSheetCopy {
        TCell cells[SheetCells][SheetCells];
        TAttrCell attrs[SheetCells][SheetCells];
    } sheet_;
};

TResultLog::TSheetCopy TResultLog::sheet_;
TResultLog resultLog;

// Before TEditText::PutChar writes at (col, row): the cells it changes. A
// numerator or denominator cell opens a column, a root sign drops its area
// and a tall bracket takes its pieces: those keep the whole grid.
void KeepForPut(int col, int row)
{
    if (col < 0 || col > EditText.ColMax || row < 0 || row > EditText.RowMax)
        return;
    const TCell &cell = EditText.Cells[col][row];
    if ((col < EditText.ColMax && cell.Has(cfAboveLine | cfBelowLine)) || cell.Has(cfTallBracket) ||
        EditText.Attrs[col][row].RootLevel != 0) {
        resultLog.KeepAll();
        return;
    }
    resultLog.Keep(col, row);
    // A line cell overwritten takes the marks off its neighbours.
    if (cell.Has(cfFractionLine)) {
        resultLog.Keep(col, row - 1);
        resultLog.Keep(col, row + 1);
    }
}

// Before a line cell or a tall bracket at (col, row): the cell written and
// the ones above and below it, which get their marks or pieces.
void KeepColumnOfThree(int col, int row)
{
    for (int r = row - 1; r <= row + 1; ++r)
        KeepForPut(col, r);
}

// Before the root sign at (col, row) gets the selection as its area. A root
// inside another area renumbers the enclosing ones: the whole grid is kept.
void KeepForRootRange(int col, int row)
{
    const TGridRect &s = EditText.Selection;
    if (col < 0 || col > EditText.ColMax || row < 0 || row > EditText.RowMax || s.Top < 0 ||
        s.Bottom > EditText.RowMax || s.Right > EditText.ColMax)
        return;
    if (EditText.Attrs[col][row].RootLevel != 0 || (EditText.Attrs[col][s.Top].Overline & 0xFE) != 0) {
        resultLog.KeepAll();
        return;
    }
    for (int r : {row, int(s.Top), int(s.Bottom)})
        resultLog.Keep(col, r);
    for (int c = col + 1; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r)
            resultLog.Keep(c, r);
}

bool IsKind(const TCodeList *n, TNodeKind kind)
{
    return n && n->Kind == kind;
}

bool IsStructureFraction(const TCodeList *n)
{
    return IsKind(n, nkDivide) && n->NodeFlags.Has(nfStructure);
}

bool IsTallBracket(const TCodeList *n)
{
    return IsKind(n, nkBracket) && n->CellCount > 0 && n->Cells[0].Has(cfTallBracket);
}

bool ContainsFraction(const TCodeList *n)
{
    if (!n)
        return false;
    return IsStructureFraction(n) || ContainsFraction(n->Right) || ContainsFraction(n->Left);
}

// The terms written without a leading '+': the first inside a bracket, a
// root or an exponent.
bool OpensGroup(const TCodeList *n)
{
    const TCodeList *p = n->Parent;
    return p && (p->Kind == nkBracket || p->Kind == nkRoot || p->Kind == nkPower);
}

void WriteSymbol(uint8_t ch)
{
    const uint8_t kept = FontSet;
    FontSet = 2;
    WriteText(std::string(1, char(ch)));
    FontSet = kept;
}

// Writes a subtree with the script level raised, keeping whatever level was
// in force so that an inner exponent does not lower the rest of an outer one.
void WriteRaised(const TCodeList *n)
{
    const int32_t kept = ScriptLevel;
    ScriptLevel = -1;
    WriteNode(n, false);
    ScriptLevel = kept;
}

// Stores a name or exponent cell at the cursor; False when the sheet ends.
bool StoreCell(TCell cell)
{
    if (!CanWrite())
        return false;
    const int col = EditText.CursorCol(), row = EditText.CursorRow();
    resultLog.Keep(col, row);
    TCell &dst = EditText.Cells[col][row];
    // A bracket's top or bottom piece cannot be overwritten; the cell is skipped.
    if (!dst.Has(cfBracketPart)) {
        CopyCell(cell, dst);
        dst.Add(cfResult);
        EditText.NoteUsed(col, row);
    }
    if (!EditText.AdvanceWrap()) {
        atSheetEnd = true;
        return false;
    }
    NoteAdvance(col, row);
    return true;
}

struct TBracketGlyphs {
    uint8_t middle;   // middle piece of the opening bracket, as typed
    uint8_t open[3];  // top, middle, bottom
    uint8_t close[3];
    char plainOpen, plainClose;
};

const TBracketGlyphs bracketGlyphs[] = {
    {231, {230, 231, 232}, {246, 247, 248}, '(', ')'},
    {234, {233, 234, 235}, {249, 250, 251}, '[', ']'},
    {237, {236, 237, 238}, {252, 253, 254}, '{', '}'},
};

}  // namespace

void ClearLayout(TLayout &layout)
{
    layout = TLayout{};
}

void MeasureFraction(const TCodeList *n, TLayout &l)
{
    if (!n)
        return;
    // A tall bracket around flat text needs a row above and below for its
    // pieces, just as a fraction does.
    const bool tallFlat = IsTallBracket(n) && !ContainsFraction(n->Right);
    if (IsStructureFraction(n) || tallFlat) {
        if (!tallFlat && (!n->Right || !n->Left))
            return;
        if (l.Level == 0) {
            l.Level = 1;
            l.First = true;
            if (!tallFlat)
                MeasureFraction(n->Right, l);
            l.Up = std::max(l.Up, 2 * l.Level - 1);
            l.First = true;
            l.Level = -1;
            if (!tallFlat)
                MeasureFraction(n->Left, l);
            l.Down = std::max(l.Down, -2 * l.Level - 1);
            l.Level = 0;
            return;
        }
        if (l.Level >= 1 && l.First)
            ++l.Level;
        if (l.Level <= -1 && l.First)
            --l.Level;
        if (!tallFlat) {
            l.First = true;
            MeasureFraction(n->Right, l);
            l.First = true;
            MeasureFraction(n->Left, l);
        }
        l.First = false;
        return;
    }
    MeasureFraction(n->Right, l);
    MeasureFraction(n->Left, l);
}

void DisplayResults()
{
    SuspendDraw = true;
    TDrawGrid *grid = EditText.Grid;
    const bool keptSuspend = grid && grid->PaintSuspended;
    if (grid)
        grid->PaintSuspended = true;

    resultLog.Open();
    pageFull = false;
    if (EditText.EqualMode) {
        int count = 0;
        // A result that does not fit takes back the ones before it: the
        // first that fails is the one to mend.
        for (const TCodeList *d = UserDefs ? UserDefs->NextDef : nullptr; d && !pageFull; d = d->NextDef) {
            const TCodeList *e = d->Parent;
            if (IsKind(e, nkEquals) && e->Col != 0) {
                WriteResult(e);
                ++count;
            }
        }
        if (count == 0)
            SetError(errNoResult, EditText.SavedCol, EditText.SavedRow);
    } else if (ExpressionTree) {
        WriteResult(ExpressionTree);
    }
    resultLog.Close();

    SuspendDraw = false;
    if (grid) {
        grid->PaintSuspended = keptSuspend;
        grid->Repaint();
    }
}

void WriteResult(const TCodeList *e)
{
    if (!e)
        return;
    const uint8_t keptState = EditState;
    EditState = esWritingResults;
    pageFull = false;
    atSheetEnd = false;
    wrapped = false;
    // Written alone, the equation is a run of its own.
    const bool alone = !resultLog.IsOpen();
    if (alone)
        resultLog.Open();
    resultLog.StartEquation();

    TLayout l;
    ClearLayout(l);
    MeasureFraction(e->Left, l);
    l.Level = 0;
    MeasureFraction(e->Right, l);
    spansRows = l.Up > 0 || l.Down > 0;

    if (e->Col != 0) {
        // Multi-result mode: right of the '=' that asked, when the whole
        // result fits on the grid there.
        fullCol = e->Col;
        fullRow = e->Row;
        if (e->Row - l.Up >= 0 && e->Row + l.Down <= EditText.RowMax && MoveTo(e->Col + 1, e->Row)) {
            if (e->Right)
                WriteNode(e->Right, true);
        } else {
            ReportFull();
        }
    } else {
        // Single-result mode: a free row below the input, one empty row between.
        fullCol = 0;
        fullRow = EditText.RowMax;
        const int rowCount = EditText.RowMax + 1;
        if (rowCount - l.Up - l.Down <= EditText.UsedRowExt + 2) {
            ReportFull();
        } else {
            MoveTo(EditText.CursorCol(), EditText.UsedRowExt + l.Up + 2);
            EditText.FindLineStart();
            if (e->Left) {
                WriteNode(e->Left, true);
                WriteText("=");
            }
            if (e->Right)
                WriteNode(e->Right, true);
        }
    }
    // Nothing of a result that does not fit stays behind, nor of the
    // results written before it in the same run.
    if (!resultLog.UserCellsKept())
        ReportFull();
    if (pageFull)
        resultLog.Undo();
    if (alone)
        resultLog.Close();
    EditState = keptState;
}

void WriteText(const std::string &s)
{
    for (const char c : s) {
        if (!CanWrite())
            return;
        const int col = EditText.CursorCol(), row = EditText.CursorRow();
        int written = col;
        KeepForPut(col, row);
        // A refused cell (a bracket piece) is skipped.
        if (EditText.PutChar(uint8_t(c), col, row, written))
            EditText.Cells[written][EditText.CursorRow()].Add(cfResult);
        if (EditText.Next())
            NoteAdvance(col, row);
        else
            atSheetEnd = true;
    }
}

void WriteName(const TCodeList *n)
{
    // A cell left over at the end of the sheet is page full: a cut name
    // would read as another one.
    for (int i = 0; i < n->CellCount && !pageFull; ++i) {
        TCell cell = n->Cells[i];
        cell.Remove(tokenOnlyFlags);
        StoreCell(cell);
    }
}

bool WriteCell(const TCell &cell)
{
    return StoreCell(cell);
}

void WriteNumber(double x)
{
    std::string mant, exp;
    FloatToMantExp(x, mant, exp);
    WriteText(mant);
    if (exp.empty())
        return;
    WriteText(" 10");
    // A digit left over at the end of the sheet is page full: a cut
    // exponent would read as another number.
    for (size_t i = 0; i < exp.size() && !pageFull; ++i) {
        TCell digit;
        digit.Ch = uint8_t(exp[i]);
        digit.SetFlags(cfRaised | cfResult);
        WriteCell(digit);
    }
}

void WriteNode(const TCodeList *n, bool first)
{
    if (!n || pageFull)
        return;
    switch (n->Kind) {
    case nkNumber:
        WriteNumber(n->Value);
        // A summed integral keeps its limits and integrand attached: its
        // number is the whole result.
        if (IsKind(n->Right, nkIntegrand))
            return;
        WriteNode(n->Left, false);
        WriteNode(n->Right, false);
        break;
    case nkName:
        WriteName(n);
        WriteNode(n->Left, false);
        WriteNode(n->Right, false);
        break;
    case nkPlus:
        if (!first && !OpensGroup(n)) {
            WriteText("+");
        } else if (n->Value != 0) {
            WriteNumber(n->Value);
            WriteText("+");
        }
        WriteNode(n->Left, false);
        WriteNode(n->Right, false);
        break;
    case nkMinus:
        if (n->Value != 0) {
            if (n->Value > 0 && !first && !OpensGroup(n))
                WriteText("+");
            WriteNumber(n->Value);
        }
        WriteText("-");
        WriteNode(n->Left, false);
        WriteNode(n->Right, false);
        break;
    case nkTimes:
        WriteNode(n->Right, false);
        if (n->Right && n->Left)
            WriteText("*");
        WriteNode(n->Left, false);
        break;
    case nkDivide:
        if (n->NodeFlags.Has(nfStructure)) {
            WriteFraction(n);
        } else {
            WriteNode(n->Right, false);
            if (n->Left) {
                WriteText("/");
                WriteNode(n->Left, false);
            }
        }
        break;
    case nkMod:
    case nkDiv:
        WriteNode(n->Right, false);
        if (n->Right && n->Left) {
            WriteText(" ");
            WriteName(n);
            WriteText(" ");
        }
        WriteNode(n->Left, false);
        break;
    case nkPower:
        WriteNode(n->Right, false);
        WriteRaised(n->Left);
        break;
    case nkRoot: {
        if (n->Left) {
            WriteText(" ");
            WriteRaised(n->Left);
        }
        const int c = EditText.CursorCol(), r = EditText.CursorRow();
        WriteSymbol(symRootSign);
        if (n->Right) {
            WriteNode(n->Right, false);
            WriteRootBar(n->Right, c, r);
        }
        break;
    }
    case nkFunction:
        WriteName(n);
        WriteNode(n->Left, false);
        break;
    case nkIntegral:
        WriteSymbol(symIntegral);
        if (n->Left)
            WriteNode(n->Left->Left, false);
        WriteSymbol(symArrow);
        WriteNode(n->Left, false);
        WriteNode(n->Right, false);
        break;
    case nkIntegrand:
        WriteSymbol(symFunctionSign);
        WriteNode(n->Right, false);
        WriteNode(n->Left, false);
        break;
    case nkBracket: {
        const bool madeByScanner = n->CellCount > 0 && n->Cells[0].Has(cfNestingToken);
        if (!madeByScanner)
            WriteBracket(n, true);
        WriteNode(n->Right, false);
        if (!madeByScanner)
            WriteBracket(n, false);
        break;
    }
    default:
        break;
    }
}

void WriteBracket(const TCodeList *n, bool open)
{
    if (n->CellCount <= 0 || !CanWrite())
        return;
    const TCell &typed = n->Cells[0];
    const uint8_t c = typed.Ch;
    if (typed.Has(cfTallBracket)) {
        for (const TBracketGlyphs &g : bracketGlyphs) {
            if (g.middle != c)
                continue;
            const uint8_t *p = open ? g.open : g.close;
            const int col = EditText.CursorCol(), row = EditText.CursorRow();
            KeepColumnOfThree(col, row);
            if (EditText.InsertBrackets(p[0], p[1], p[2], col, row)) {
                for (int r = row - 1; r <= row + 1; ++r)
                    EditText.Cells[col][r].Add(cfResult);
                NoteAdvance(col, row);
            } else {
                // No room for the pieces: the plain bracket keeps the meaning.
                WriteText(std::string(1, open ? g.plainOpen : g.plainClose));
            }
            return;
        }
        return;
    }
    switch (c) {
    case '(':
        WriteText(open ? "(" : ")");
        break;
    case '[':
        WriteText(open ? "[" : "]");
        break;
    case '{':
        WriteText(open ? "{" : "}");
        break;
    default:
        break;
    }
}

void WriteFraction(const TCodeList *n)
{
    const int c0 = EditText.CursorCol(), r0 = EditText.CursorRow();
    int cMax = c0;
    int widest = 0;
    FracRight = 0;
    TLayout l;
    if (n->Right) {
        ClearLayout(l);
        MeasureFraction(n->Right, l);
        const int row = r0 - l.Down - 1;
        if (!MoveTo(c0 + 1, row))
            return;
        WriteNode(n->Right, false);
        if (!StayedOnRow(row))
            return;
        widest = std::max<int>(FracRight, EditText.CursorCol());
    }
    if (n->Left) {
        ClearLayout(l);
        MeasureFraction(n->Left, l);
        const int row = r0 + l.Up + 1;
        if (!MoveTo(c0 + 1, row))
            return;
        WriteNode(n->Left, false);
        if (!StayedOnRow(row))
            return;
        widest = std::max({widest, int(FracRight), EditText.CursorCol()});
    }
    if (pageFull)
        return;
    cMax = std::max({c0, EditText.CursorCol(), widest});
    if (!MoveTo(c0, r0))
        return;
    // One line cell per call. A refused cell (a bracket piece) is stepped
    // over; the grid's edge ends the line and the equation.
    while (EditText.CursorCol() <= cMax) {
        const int before = EditText.CursorCol();
        KeepColumnOfThree(before, EditText.CursorRow());
        EditText.InsertFraction(true);
        if (EditText.CursorRow() == r0 && EditText.CursorCol() == before && before < EditText.ColMax)
            EditText.SetCursorCol(before + 1);
        else if (EditText.CursorRow() != r0 || EditText.CursorCol() <= before) {
            ReportFull();
            return;
        }
    }
    FracRight = cMax;
    EditText.SetCursorRow(r0);
}

void WriteRootBar(const TCodeList *radicand, int32_t col, int32_t row)
{
    if (pageFull || !StayedOnRow(row))
        return;
    TLayout l;
    ClearLayout(l);
    MeasureFraction(radicand, l);
    EditText.SelCol = col;
    EditText.SelRow = row;
    EditText.Selection = {col, row - l.Up, EditText.CursorCol() - 1, row + l.Down};
    KeepForRootRange(col, row);
    EditText.SetRootRange();
}
