#include "Scanner.h"

#include <algorithm>
#include <cstring>

#include "CharClass.h"
#include "Errors.h"
#include "Router.h"
#include "worksheet/Edit.h"

TScanner ScannerObj;

namespace {

// Typed brackets pair by character, tall ones by their middle codes.
bool Matches(const TCell &opener, const TCell &closer)
{
    switch (opener.Code()) {
    case scParenOpenMiddle:
        return closer.Code() == scParenCloseMiddle;
    case scBrackOpenMiddle:
        return closer.Code() == scBrackCloseMiddle;
    case scBraceOpenMiddle:
        return closer.Code() == scBraceCloseMiddle;
    }
    switch (opener.Ch) {
    case '(':
        return closer.Ch == ')';
    case '[':
        return closer.Ch == ']';
    case '{':
        return closer.Ch == '}';
    }
    return false;
}

// A root, function or integral sign: its code and the sign's own cell, so
// that errors at its node show the user where it stands.
TCell SignToken(uint16_t code, const TCell &sign)
{
    TCell t;
    t.SetCode(code);
    t.SrcCol = sign.SrcCol;
    t.SrcRow = sign.SrcRow;
    return t;
}

}  // namespace

void TScanner::Fault(int32_t code, int32_t col, int32_t row, bool beep)
{
    Failed = true;
    SetError(code, col, row);
    if (beep)
        Beep();
}

void TScanner::Error(int32_t code)
{
    Fault(code, CurCol, CurRow, false);
}

bool TScanner::PutToken(const TCell &token)
{
    if (Count >= MaxTokens) {
        // Reported once: the levels that unwind still try their closing ';'.
        if (!(Failed && ErrorCode == errStreamFull))
            Fault(errStreamFull, CurCol, CurRow, true);
        return false;
    }
    Tokens[Count++] = token;
    return true;
}

bool TScanner::PutCode(uint8_t ch)
{
    TCell t;
    t.Ch = ch;
    return PutToken(t);
}

bool TScanner::PutCodes(const char *chs)
{
    for (; *chs; ++chs)
        if (!PutCode(uint8_t(*chs)))
            return false;
    return true;
}

void TScanner::MakeToken(TCell &token, uint8_t ch)
{
    token.Zero();
    token.Ch = ch;
    token.SetFlags(cfNestingToken);
    token.SrcCol = Current.SrcCol;
    token.SrcRow = Current.SrcRow;
}

bool TScanner::PutGenerated(uint8_t ch)
{
    TCell t;
    MakeToken(t, ch);
    return PutToken(t);
}

// Result, green and bracket top/bottom cells are not part of the formula;
// only the route's start (0, 0) can show one.
bool TScanner::IsBlank()
{
    if (Current.Has(cfSkipMask))
        Current.Zero();
    return Current.Empty();
}

bool TScanner::Scan()
{
    OperandPending = NumLimitOn = InExponent = AtEnd = false;
    MoreCells = true;
    NumLimitRow = NextCol = NextRow = 0;
    CurCol = CurRow = 0;
    // A cell at (0, 0) is linked first but is where the chain starts.
    OrderAt = RouterObj.Linked > 0 && RouterObj.Order[0] == 0 ? 1 : 0;
    // An earlier scan that failed inside a limit must not leave its boundary.
    LimitMode = LimitRow = 0;
    // The stream left from before is overwritten from the start; what lies
    // past this scan's end is cleared once the scan is done.
    const int32_t stale = std::clamp(std::max(TokensUsed, Count), 0, MaxTokens);
    Count = 0;
    Nesting = 0;
    NewLineDone = false;
    Current.Zero();
    FinalCellRead = false;
    Failed = false;

    // The first step reads (0, 0), the start of the route.
    while (NextCell(Current) && IsBlank()) {
    }
    bool result = true;
    if (EditText.EqualMode && Current.Ch != ':')
        result = PutCode(':');
    if (result) {
        result = ScanExpression();
        if (result && !Failed && RejectStrayCloser())
            result = false;
    }
    if (Nesting != 0)
        EmitNesting(true);
    if (Count < stale)
        std::fill(Tokens + Count, Tokens + stale, TCell{});
    TokensUsed = Count;
    return result && !Failed;
}

bool TScanner::NextCell(TCell &cell)
{
    if (AtEnd)
        return false;
    if (NextRow > CurRow) {
        if (NewLineDone) {
            NewLineDone = false;
        } else if (CurCol >= 1 && EditText.CellAt(NextCol, NextRow).Ch != ':') {
            bool allUsed = true;
            for (int r = CurRow; r <= NextRow && allUsed; ++r)
                allUsed = RouterObj.RowUsed[r] != 0;
            if (!allUsed) {
                // The next cell starts another block: a new line.
                EmitNesting(true);
                Nesting = 0;
                NewLineDone = true;
                cell.Zero();
                cell.Ch = ':';
                return true;
            }
        }
    }
    // Read into locals first: a write through cell could be to any member.
    const int32_t col = NextCol, row = NextRow;
    CurCol = col;
    CurRow = row;
    // Route positions are always on the sheet; the test stays for a damaged table.
    const bool onSheet = InSheet(col, row);
    const TCell here = onSheet ? EditText.Cells[col][row] : TCell{};
    const uint8_t nesting = onSheet ? EditText.Attrs[col][row].Nesting : 0;
    const TLink link = RouterObj.Links[col][row];
    int32_t nextCol = link.NextCol, nextRow = link.NextRow;
    // Where the link order agrees, the next position comes from it: the next
    // step need not wait for this link to load.
    int32_t at = OrderAt;
    if (at >= 0 && at < RouterObj.Linked) {
        const uint16_t next = RouterObj.Order[at];
        if (next == (nextCol << 8 | nextRow)) {
            nextCol = next >> 8;
            nextRow = next & 0xFF;
            ++at;
        } else {
            at = -1;
        }
    }
    OrderAt = at;
    NextCol = nextCol;
    NextRow = nextRow;
    if (link.IsEnd())
        AtEnd = true;
    cell = here;
    if (nesting != Nesting)
        EmitNesting(false);
    return true;
}

bool TScanner::EmitNesting(bool all)
{
    bool result = true;
    const uint8_t here = EditText.AttrAt(CurCol, CurRow).Nesting;
    for (int level = 1; level <= 7; ++level) {
        const uint8_t bit = uint8_t(1u << level);
        if ((Nesting & bit) && (all || !(here & bit)))
            result = PutCode(';') && PutGenerated(')') && PutCode(';') && PutGenerated(')');
    }
    Nesting = here;
    return result;
}

// A closer that ends a level which no bracket opened. The closer of the
// route's last cell is met again by every enclosing level after its bracket
// consumed it; that one is not stray.
bool TScanner::RejectStrayCloser()
{
    if (!MoreCells || !IsCloser(Current.Code()) || (AtEnd && FinalCellRead))
        return false;
    Fault(errCloseBracket, Current.SrcCol, Current.SrcRow, false);
    return true;
}

bool TScanner::AtLimitEnd() const
{
    return (LimitMode == -1 && CurRow <= LimitRow) || (LimitMode == 1 && CurRow >= LimitRow);
}

bool TScanner::ScanExpression()
{
    bool ok = true;
    while (ok && MoreCells) {
        IsBlank();
        if (NumLimitOn && CurRow > NumLimitRow)
            return ok;
        if (AtLimitEnd())
            return ok;
        if (InExponent && !Current.Has(cfRaised))
            return PutExponentEnd();
        if (Current.Has(cfRaised) && !InExponent) {
            ok = ReadExponent();
            if (!ok)
                break;
            // An exponent that ends a numerator or a limit ends it too: the
            // next cell belongs to the denominator or the other limit.
            if ((NumLimitOn && CurRow > NumLimitRow) || AtLimitEnd() || !MoreCells)
                return ok;
        }
        const uint16_t code = Current.Code();
        if (code == 0) {
            MoreCells = NextCell(Current);
        } else if (IsOpener(code)) {
            MoreCells = ReadBracket(Current);
        } else if (IsCloser(code)) {
            break;  // left to the bracket reader
        } else if (code == '*' || code == '+' || code == '-' || code == '/' || code == '=') {
            ok = ReadOperator();
        } else if (code == '.' || IsDigit(code)) {
            ok = ReadNumber();
        } else if (code == ':') {
            ok = ReadColon();
        } else if (IsLetter(code)) {
            ok = ReadName();
        } else if (code == scFunctionSign) {
            ok = ReadFunction();
        } else if (code == scRootSign) {
            ok = ReadRoot();
        } else if (code == scIntegralMiddle) {
            ok = ReadIntegral();
        } else if (code == scFractionLine) {
            if (Current.Has(cfLineEnd))
                return ok;  // the denominator is done
            MoreCells = ReadFraction();
        } else {
            Error(errUnknownSymbol);
            ok = false;
        }
    }
    if (ok)
        ok = PutCode(';');
    return ok;
}

// Two operands side by side: '*', or '&' before a fraction in mixed-fraction
// mode. starAt receives the index of a '*' written.
bool TScanner::PutImplicit(bool beforeFraction, int *starAt)
{
    if (!OperandPending)
        return true;
    if (EditText.ImplicitMult) {
        if (starAt)
            *starAt = Count;
        return PutCode('*') && PutCode(';');
    }
    if (beforeFraction && EditText.MixedFraction)
        return PutCode('&') && PutCode(';');
    Fault(errAwaitOperator, CurCol, CurRow, true);
    return false;
}

// The ';' before a name or number; neither may begin with a lowered cell.
bool TScanner::StartOperand(int *starAt)
{
    if (!PutCode(';'))
        return false;
    if (Current.Has(cfLowered)) {
        Error(errSubscriptHere);
        return false;
    }
    return PutImplicit(false, starAt);
}

bool TScanner::ReadName()
{
    int starAt = -1;
    if (!StartOperand(&starAt))
        return false;
    OperandPending = false;
    const TCell first = Current;
    if (!PutToken(first))
        return false;
    char text[3];
    int length = 0;
    text[length++] = char(first.Ch);
    bool loweredWritten = false;
    TCell written = first;
    for (;;) {
        const bool wasFunction = written.Has(cfFunctionName);
        const int col = written.SrcCol;
        MoreCells = NextCell(Current);
        const TCell &next = Current;
        const uint16_t code = next.Code();
        bool end = false;
        if (wasFunction && next.SrcCol != col + 1) {
            end = true;  // a gap breaks a function name
        } else if (!MoreCells || next.Has(cfRaised) != first.Has(cfRaised)) {
            end = true;
        } else if (!IsLetter(code) && !IsDigit(code)) {
            // Only a function name runs straight into its bracket.
            if (!(IsOpener(code) && wasFunction))
                OperandPending = true;
            break;
        } else if (loweredWritten && !next.Has(cfLowered)) {
            end = true;  // the index is over
        } else if (!next.Has(cfLowered) && !(next.Has(cfFunctionName) && wasFunction)) {
            end = true;
        }
        if (end) {
            OperandPending = true;
            break;
        }
        if (!PutToken(next))
            return false;
        if (length < 3)
            text[length] = char(next.Ch);
        ++length;
        loweredWritten = loweredWritten || next.Has(cfLowered);
        written = next;
    }
    // MOD and DIV are operators written as names: no implicit '*' before them.
    const bool modDiv = length == 3 && (std::memcmp(text, "MOD", 3) == 0 || std::memcmp(text, "mod", 3) == 0 ||
                                        std::memcmp(text, "DIV", 3) == 0 || std::memcmp(text, "div", 3) == 0);
    if (starAt >= 0 && modDiv) {
        Tokens[starAt] = TCell{};
        Tokens[starAt].Ch = ' ';
        OperandPending = false;
    }
    return true;
}

bool TScanner::ReadNumber()
{
    if (!StartOperand(nullptr))
        return false;
    bool point = Current.Ch == '.';
    if (point && !PutCode('0'))
        return false;
    if (!PutToken(Current))
        return false;
    int lastCol = Current.SrcCol;
    for (;;) {
        MoreCells = NextCell(Current);
        const uint16_t code = Current.Code();
        if (!MoreCells || Current.SrcCol != lastCol + 1) {
            OperandPending = true;
            return true;
        }
        if (NumLimitOn && CurRow > NumLimitRow)
            return true;
        if (!IsDigit(code) && code != '.') {
            OperandPending = true;
            return true;
        }
        if (Current.Has(cfLowered)) {
            Error(errSubscriptHere);
            return false;
        }
        if (Current.Has(cfRaised) != InExponent)
            return true;  // the exponent or the base follows
        if (code == '.') {
            if (point) {
                Error(errDotPosition);
                return false;
            }
            point = true;
        }
        if (!PutToken(Current))
            return false;
        lastCol = Current.SrcCol;
    }
}

bool TScanner::ReadOperator()
{
    const TCell op = Current;
    if (!OperandPending) {
        // Without a left operand only a sign may stand, and only where a sign
        // can begin an operand: first, after '=' or an opener, or first in an
        // exponent. After another operator it would leave that one without
        // its operand, exponent or not.
        bool accepted = false;
        if (op.Code() == '+' || op.Code() == '-') {
            accepted = Count == 0;
            if (!accepted) {
                const TCell &last = Tokens[Count - 1];
                accepted = last.Ch == ' ' || last.Ch == '=' || last.Ch == '(' || last.Ch == '[' || last.Ch == '{' ||
                           last.Code() == scParenOpenMiddle || last.Code() == scBrackOpenMiddle ||
                           last.Code() == scBraceOpenMiddle || (last.Ch == '^' && !last.Has(cfExponentEnd));
            }
        }
        if (!accepted) {
            Error(errOperatorHere);
            return false;
        }
    }
    if (!PutCode(';') || !PutToken(op))
        return false;
    OperandPending = false;
    MoreCells = NextCell(Current);
    return true;
}

bool TScanner::ReadBracket(const TCell &opening)
{
    const TCell opener = opening;
    if (!PutCode(';') || !PutImplicit(false))
        return false;
    OperandPending = false;
    if (!PutToken(opener))
        return false;
    if (!NextCell(Current)) {
        Fault(errSyntax, CurCol, CurRow, true);
        return false;
    }
    if (!ScanExpression() || Failed)
        return false;
    // A closer already consumed by an inner bracket leaves this one unclosed.
    if (FinalCellRead || !IsCloser(Current.Code()) || !Matches(opener, Current)) {
        Fault(errCloseBracket, Current.SrcCol, Current.SrcRow, false);
        return false;
    }
    if (!PutCode(')'))
        return false;
    if (!(MoreCells = NextCell(Current)))
        FinalCellRead = true;
    return true;
}

bool TScanner::ReadExponent()
{
    if (!PutCodes(";^"))
        return false;
    InExponent = true;
    OperandPending = false;
    const bool ok = ScanExpression();
    InExponent = false;
    OperandPending = true;
    return ok;
}

bool TScanner::PutExponentEnd()
{
    TCell end;
    end.Ch = '^';
    end.SetFlags(cfExponentEnd);
    return PutCode(';') && PutToken(end);
}

bool TScanner::ReadRoot()
{
    if (!PutCode(';') || !PutImplicit(false))
        return false;
    OperandPending = false;
    if (!PutToken(SignToken(scRootSign, Current)))
        return false;
    // A root with a radicand area opens its bracket here; leaving the area
    // closes it.
    if ((EditText.AttrAt(CurCol, CurRow).Overline & 1) && !(PutCode(';') && PutGenerated('(')))
        return false;
    MoreCells = NextCell(Current);
    return true;
}

bool TScanner::ReadFunction()
{
    if (!PutCode(';') || !PutImplicit(false))
        return false;
    OperandPending = false;
    if (!PutToken(SignToken(scFunctionSign, Current)))
        return false;
    MoreCells = NextCell(Current);
    if (Current.Ch != '(') {
        Fault(errAwaitBracket, CurCol, CurRow, true);
        return false;
    }
    if (!ReadBracket(Current))
        return false;
    OperandPending = false;
    if (!MoreCells || !IsPlainLetter(Current.Code())) {
        Fault(errMissingDelta, CurCol, CurRow, true);
        return false;
    }
    if (!ReadName())
        return false;
    OperandPending = false;
    // At the route's end the delta is still current: it is no variable.
    if (!MoreCells || !IsPlainLetter(Current.Code())) {
        Fault(errMissingIndex, CurCol, CurRow, true);
        return false;
    }
    return ReadName();
}

bool TScanner::ReadIntegral()
{
    if (!PutCode(';') || !PutImplicit(false))
        return false;
    OperandPending = false;
    if (!PutGenerated('(') || !PutCode(';'))
        return false;
    LimitRow = CurRow;
    if (!PutToken(SignToken(scIntegralMiddle, Current)) || !PutCodes(";("))
        return false;
    MoreCells = NextCell(Current);

    for (const int mode : {1, -1}) {
        LimitMode = mode;
        if (mode == -1 && !PutCodes(";("))
            return false;
        const bool ok = ScanExpression();
        OperandPending = false;
        if (!ok || Failed || RejectStrayCloser() || !PutCodes(";)")) {
            LimitMode = 0;
            return false;
        }
    }
    LimitMode = 0;
    OperandPending = false;
    if (Current.Code() != scFunctionSign) {
        Fault(errAwaitFunction, CurCol, CurRow, true);
        return false;
    }
    return ReadFunction();
}

bool TScanner::ReadColon()
{
    if (!PutCodes(";:"))
        return false;
    OperandPending = false;
    MoreCells = NextCell(Current);
    bool ok = ScanExpression();
    if (ok && !Failed && RejectStrayCloser())
        ok = false;
    MoreCells = NextCell(Current);
    return ok && !Failed;
}

bool TScanner::ReadFraction()
{
    TCell open, close;
    MakeToken(open, '(');
    MakeToken(close, ')');
    const int32_t savedRow = NumLimitRow;
    const bool savedOn = NumLimitOn;
    NumLimitRow = CurRow;
    const TCell bar = Current;
    auto restore = [&](bool result) {
        NumLimitRow = savedRow;
        NumLimitOn = savedOn;
        return result;
    };

    if (!PutCode(';') || !PutImplicit(true) || !PutToken(open) || !PutCode(';') || !PutToken(open))
        return restore(false);
    OperandPending = false;
    NumLimitOn = true;
    MoreCells = NextCell(Current);
    bool ok = ScanExpression();  // the numerator, up to the first cell below the line
    NumLimitOn = false;
    if (!ok || Failed || RejectStrayCloser())
        return restore(false);

    if (!PutCode(';') || !PutToken(close) || !PutCode(';') || !PutToken(bar) || !PutCode(';') || !PutToken(open))
        return restore(false);
    OperandPending = false;
    ok = ScanExpression();  // the denominator, up to the line's end
    if (!ok || Failed || RejectStrayCloser())
        return restore(false);

    if (!PutCode(';') || !PutToken(close) || !PutCode(';') || !PutToken(close))
        return restore(false);
    if (!(MoreCells = NextCell(Current)))
        FinalCellRead = true;
    restore(true);
    OperandPending = true;
    return ok;
}
