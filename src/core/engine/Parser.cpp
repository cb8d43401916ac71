#include "Parser.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "CharClass.h"
#include "Errors.h"
#include "Scanner.h"
#include "worksheet/Edit.h"

TParser ParserObj;

namespace {

// NextItem results besides a cell count.
constexpr int ItemEnd = -1;      // the stream ended: no item followed by ';'
constexpr int ItemTooLong = -2;  // errStreamFull recorded, the rest of the stream dropped

bool IsTerm(const TCodeList *n)
{
    return n->Kind == nkPlus || n->Kind == nkMinus;
}

// Hangs x at n's Left (replacing what hung there).
void Hang(TCodeList *n, TCodeList *x)
{
    n->Left = x;
    if (x)
        x->Parent = n;
}

void SetRight(TCodeList *n, TCodeList *x)
{
    n->Right = x;
    if (x)
        x->Parent = n;
}

void MoveLeftToRight(TCodeList *n)
{
    n->Right = n->Left;
    n->Left = nullptr;
}

TCodeList *Climb(TCodeList *from, TNodeKind kind)
{
    while (from && from->Kind != kind)
        from = from->Parent;
    return from;
}

void ErrorAt(int32_t code, const TCell &cell)
{
    SetError(code, cell.SrcCol, cell.SrcRow);
}

bool IsOperator(const TCodeList *n)
{
    return n->Kind == nkTimes || n->Kind == nkDivide || n->Kind == nkMod || n->Kind == nkDiv;
}

// Nothing to operate on: no node, or a bracket with nothing inside (a
// fraction with an empty half).
bool NoOperand(const TCodeList *n)
{
    if (!n)
        return true;
    const TCodeList *t = n->Right;
    return n->Kind == nkBracket && (!t || (IsTerm(t) && !t->Left && !t->Right));
}

}  // namespace

TParser::TParser() : Nodes(new TCodeList)
{
}

TParser::~TParser()
{
    // At exit the definition chains may be gone already: free the nodes
    // without touching them.
    Nodes->FreeMembers();
    delete Nodes;
}

bool TParser::Parse(TCodeList *&tree)
{
    Pos = 0;
    Level = 1;
    BracketCount = 1;
    Nodes->Clear();
    EqualsNode = Nodes;
    NewStart();
    if (EditText.EqualMode) {
        TCell equalsCell;
        equalsCell.Ch = '=';
        TItem equals;
        equals.Cells = &equalsCell;
        equals.Count = 1;
        AddEquals(equals);
        AddEquals(equals);
    }
    bool ok = ParseSequence();
    if (ok && !ErrorPending())
        RefuseLoneOperators();
    tree = ok ? Nodes : nullptr;
    return ok;
}

int TParser::NextItem(TItem &item)
{
    const TCell *tokens = ScannerObj.Tokens;
    const int count = std::clamp(ScannerObj.Count, 0, MaxTokens);
    while (Pos < count && tokens[Pos].Ch == ';')
        ++Pos;
    const int first = Pos;
    while (Pos < count && tokens[Pos].Ch != ';' && !tokens[Pos].Empty()) {
        if (Pos - first == ItemCells) {
            // Longer than any item the sheet can hold: stop with an error
            // rather than end the parse as if it had succeeded.
            ErrorAt(errStreamFull, tokens[first]);
            Pos = count;
            item = TItem{};
            return ItemTooLong;
        }
        ++Pos;
    }
    const int n = Pos - first;
    item.Cells = tokens + first;
    item.Count = n;
    if (Pos >= count || tokens[Pos].Empty())
        return ItemEnd;
    return n;
}

bool TParser::ParseSequence()
{
    TItem item;
    bool ok = true;
    while (ok) {
        const int n = NextItem(item);
        if (n == ItemTooLong)
            return false;
        if (n == ItemEnd)
            break;
        const uint16_t code = item.Code();
        if (IsDigit(code))
            AddNumber(item);
        else if (IsLetter(code))
            ReadName(item);
        else if (IsOpener(code))
            ok = OpenBracket(item);
        else if (IsCloser(code)) {
            EndCell = item.First();
            return ok;
        } else {
            switch (code) {
            case ' ':
                break;
            case '+':
            case '&':
                ok = AddSign(item, nkPlus);
                break;
            case '-':
                ok = AddSign(item, nkMinus);
                break;
            case '*':
                AddProduct(item, nkTimes);
                break;
            case '/':
            case scFractionLine:
                AddProduct(item, nkDivide);
                break;
            case '^':
                if (item.First().Has(cfExponentEnd))
                    CloseGroup(nkPower);
                else
                    OpenExponent(item);
                break;
            case '=':
                AddEquals(item);
                break;
            case ':':
                ok = AddDefinition(item);
                break;
            case scRootSign:
                ok = AddSquareRoot(item);
                break;
            case scIntegralMiddle:
                ok = AddIntegral(item);
                break;
            case scFunctionSign:
                // Only an integral's integrand may start with the function
                // sign; the integral reads it itself.
                ErrorAt(errIntegralFunction, item.First());
                ok = false;
                break;
            default:
                SetError(errUnknownSymbol, 1, 1);
                ok = false;
            }
        }
    }
    return ok;
}

TCodeList *TParser::Make(TNodeKind kind, const TCell &at)
{
    TCodeList *n = Nodes->NewNode();
    n->Kind = kind;
    n->Level = Level;
    n->Col = at.SrcCol;
    n->Row = at.SrcRow;
    return n;
}

void TParser::NewStart()
{
    Nodes->Kind = nkStart;
    TCodeList *t = Make(nkPlus, ScannerObj.Tokens[std::clamp(Pos, 0, MaxTokens)]);
    t->Level = 1;
    TCell plus;
    plus.Ch = '+';
    t->AddCell(plus);
    SetRight(Nodes, t);
    Current = t;
}

TCodeList *TParser::NewNameNode(const TItem &item)
{
    TCodeList *n = Make(nkName, item.First());
    for (int i = 0; i < item.Count; ++i)
        n->AddCell(item.Cells[i]);
    n->Order = OpCount;
    n->ComputeHash();
    if (item.First().Has(cfFunctionName)) {
        // Only the trailing run of lowered digits counts.
        double v = 0;
        for (int i = 0; i < item.Count; ++i) {
            const TCell &c = item.Cells[i];
            v = c.Has(cfLowered) && IsDigit(c.Ch) ? v * 10 + (c.Ch - '0') : 0;
        }
        if (v != 0) {
            n->Value = v;
            n->NodeFlags.Include(nfNumericIndex);
        }
    }
    return n;
}

void TParser::AddNumber(const TItem &item)
{
    // A whole number of up to 15 digits is exact in a double: summed here,
    // it is the value the full reader would give.
    bool whole = item.Count <= 15;
    uint64_t digits = 0;
    for (int i = 0; i < item.Count && whole; ++i) {
        whole = IsDigit(item.Cells[i].Ch);
        digits = digits * 10 + uint64_t(item.Cells[i].Ch - '0');
    }
    double value = double(digits);
    if (!whole) {
        char text[ItemCells + 1];
        for (int i = 0; i < item.Count; ++i)
            text[i] = char(item.Cells[i].Ch);
        value = 0;
        std::from_chars(text, text + item.Count, value);  // '.' whatever the locale
    }
    TCodeList *n = Make(nkNumber, item.First());
    n->Value = value;
    n->NodeFlags.Include(nfValueKnown);
    Hang(Current, n);
}

void TParser::ReadName(const TItem &item)
{
    std::string name;
    for (int i = 0; i < item.Count; ++i)
        name += char(item.Cells[i].Ch);
    if (name == "MOD" || name == "mod")
        AddModDiv(item, nkMod);
    else if (name == "DIV" || name == "div")
        AddModDiv(item, nkDiv);
    else
        AddName(item);
}

void TParser::AddName(const TItem &item)
{
    Hang(Current, NewNameNode(item));
}

bool TParser::AddSign(const TItem &item, TNodeKind kind)
{
    TCodeList *term = Current;
    while (term && !IsTerm(term))
        term = term->Parent;
    if (!term) {
        // Every node the parser stands on lies under a term; never climb
        // past the root.
        ErrorAt(errSyntax, item.First());
        return false;
    }
    if (term->Left)
        term = InsertTerm(term, item);
    term->AddCell(item.First());
    term->Kind = kind;
    term->Col = item.First().SrcCol;
    term->Row = item.First().SrcRow;
    OpCount = 1;
    Current = term;
    return true;
}

TCodeList *TParser::InsertTerm(TCodeList *term, const TItem &item)
{
    TCodeList *u = Make(nkPlus, item.First());
    if (term->Right)
        SetRight(u, term->Right);
    SetRight(term, u);
    Current = u;
    return u;
}

// The node an operator after the operand read last starts from. After a
// function call the current node is still its name: the call is one operand,
// so the operator starts from the node that holds it, and a/f(x)*c reads as
// (a/f(x))*c, f(x)^2 as (f(x))^2.
TCodeList *TParser::OperandHolder() const
{
    const TCodeList *c = Current;
    return c->Kind == nkName && c->Left && c->Parent ? c->Parent : Current;
}

// Hangs the operator op behind the operand read last; false (errSyntax) when
// the term has no operand yet.
bool TParser::PlaceOperator(TCodeList *op)
{
    TCodeList *c = OperandHolder();
    if (IsTerm(c)) {
        if (!c->Left) {
            SetError(errSyntax, 1, 1);
            return false;
        }
        SetRight(op, c->Left);
        Hang(c, op);
        ++OpCount;
        op->Right->Order = OpCount;
        op->Order = OpCount;
    } else {
        // The operator takes c's place and c becomes its first operand.
        TCodeList *p = c->Parent;
        if (!p) {
            SetError(errSyntax, 1, 1);
            return false;
        }
        if (p->Right == c)
            p->Right = op;
        else
            p->Left = op;
        op->Parent = p;
        SetRight(op, c);
        op->Order = OpCount;
    }
    Current = op;
    return true;
}

void TParser::AddProduct(const TItem &item, TNodeKind kind)
{
    TCodeList *n = Make(kind, item.First());
    if (!PlaceOperator(n))
        return;
    n->AddCell(item.First());
    if (item.Code() == scFractionLine)
        n->NodeFlags.Include(nfStructure);
}

void TParser::AddModDiv(const TItem &item, TNodeKind kind)
{
    TCodeList *n = NewNameNode(item);
    if (PlaceOperator(n))
        n->Kind = kind;
}

bool TParser::OpenBracket(const TItem &item)
{
    TCodeList *b = Make(nkBracket, item.First());
    TCodeList *c = Current;
    if (c->Left) {
        if (c->Left->Kind == nkName)
            c = c->Left;  // a name's argument
        else if (c->Kind == nkIntegral)
            c = c->Left;  // the lower bound hangs at the upper one
        else {
            ErrorAt(errSyntax, item.First());
            return false;
        }
    }
    Hang(c, b);
    if (item.First().Has(cfNestingToken))
        b->NodeFlags.Include(nfStructure);
    b->AddCell(item.First());
    Level = ++BracketCount;
    TCodeList *t = Make(nkPlus, TCell{});
    SetRight(b, t);
    Current = t;
    bool ok;
    if (item.First().Has(cfNestingToken) && IntegralFollows()) {
        // The group made for an integral holds the integral alone: it ends
        // after the index variable, not at whatever ')' comes next.
        ok = ReadIntegralGroup();
    } else {
        ok = ParseSequence();
        if (ok && EndCell.Ch != ')') {
            ErrorAt(errCloseBracket, item.First());
            ok = false;
        }
    }
    if (ok)
        CloseGroup(nkBracket);
    return ok;
}

// The first cell of the next item; an empty cell at the end of the stream.
const TCell &TParser::NextItemCell() const
{
    const int count = std::clamp(ScannerObj.Count, 0, MaxTokens);
    int p = Pos;
    while (p < count && ScannerObj.Tokens[p].Ch == ';')
        ++p;
    return p < count ? ScannerObj.Tokens[p] : ScannerObj.Tokens[MaxTokens];
}

// The next item starts with the integral sign.
bool TParser::IntegralFollows() const
{
    return NextItemCell().Code() == scIntegralMiddle;
}

bool TParser::ReadIntegralGroup()
{
    TItem sign;
    const int n = NextItem(sign);
    if (n == ItemTooLong)
        return false;
    return n == ItemEnd || AddIntegral(sign);
}

// Ends a bracket or an exponent: back to the level and the node it was
// opened from. Nothing happens when no such group is open.
void TParser::CloseGroup(TNodeKind kind)
{
    TCodeList *g = Climb(Current, kind);
    if (!g)
        return;
    Level = g->Level;
    Current = g->Parent;
}

void TParser::OpenExponent(const TItem &item)
{
    TCodeList *p = Make(nkPower, item.First());
    p->AddCell(item.First());
    p->Order = OpCount;
    TCodeList *c = OperandHolder();
    TCodeList *base = c->Left;
    if (NoOperand(base))
        ErrorAt(errOperatorHere, NextItemCell());  // the exponent's first cell
    Hang(c, p);
    SetRight(p, base);
    TCodeList *e = Make(nkPlus, TCell{});
    Hang(p, e);
    Current = e;
}

// A run never ends with an operator that lacks an operand: a '*', '/', MOD
// or DIV with nothing after it, a fraction with an empty half, a sign with
// nothing after it. The first such operator is the error. A call or a
// bracket with nothing inside has no value either: a syntax error.
void TParser::RefuseLoneOperators()
{
    for (const TCodeList *n = Nodes->Next; n; n = n->Next) {
        // A first term made by NewStart holds a '+' of its own; any other
        // text of a term is a sign that was read.
        const bool signedTerm = IsTerm(n) && n->CellCount > (n->Parent == Nodes ? 1 : 0);
        if ((signedTerm && NoOperand(n->Left)) || (IsOperator(n) && (NoOperand(n->Left) || NoOperand(n->Right)))) {
            SetError(errOperatorHere, n->Col, n->Row);
            return;
        }
        if ((n->Kind == nkName || IsTerm(n)) && n->Left && NoOperand(n->Left)) {
            const TCodeList *at = n->Kind == nkName ? n : n->Left;
            SetError(errSyntax, at->Col, at->Row);
            return;
        }
    }
}

void TParser::AddEquals(const TItem &item)
{
    TCodeList *root = Nodes;
    // In single-result mode the '=' of a definition is its line's only one.
    const bool inDefinition = !EditText.EqualMode && EqualsNode != root;
    if (root->Kind != nkEquals && !inDefinition) {
        root->Left = root->Right;
        root->Right = nullptr;
        NewStart();
        root->AddCell(item.First());
        root->Kind = nkEquals;
        root->Col = 0;
        root->Row = 0;
        EqualsNode = root;
    } else if (EditText.EqualMode && EqualsNode->Col == 0) {
        // The '=' behind a definition: where its result goes.
        EqualsNode->Col = item.First().SrcCol;
        EqualsNode->Row = item.First().SrcRow;
    } else
        ErrorAt(errIllegalAssignment, item.First());
}

bool TParser::AddDefinition(const TItem &colon)
{
    TItem item;
    int n = NextItem(item);
    if (n == ItemTooLong)
        return false;
    const TCell at = n == ItemEnd ? colon.First() : item.First();
    // Only a name can be defined, not a number or a bracket.
    if (n == ItemEnd || !IsLetter(item.Code())) {
        ErrorAt(errAwaitVariable, at);
        return false;
    }
    TCodeList *name = NewNameNode(item);
    name->Level = 0;
    name->Order = 0;
    const TCodeList *known = FindDef(BuiltinDefs, name);
    if (known && known->Level == 0 && known->Order == 0) {
        SetError(errIllegalAssignment, 0, 0);
        return false;
    }
    AddUserDef(name);
    n = NextItem(item);
    if (n == ItemTooLong)
        return false;
    if (n == ItemEnd || item.First().Ch != '=') {
        ErrorAt(errAwaitVariable, at);
        return false;
    }
    TCodeList *e = Make(nkEquals, TCell{});
    e->Level = 0;
    TCell equals;
    equals.Ch = '=';
    e->AddCell(equals);
    EqualsNode = e;
    Hang(e, name);
    TCodeList *t = Make(nkPlus, item.First());
    SetRight(e, t);
    Current = t;
    return ParseSequence();
}

bool TParser::AddSquareRoot(const TItem &item)
{
    TCodeList *r = Make(nkSquareRoot, item.First());
    r->Order = OpCount;
    Hang(Current, r);
    Current = r;
    const bool ok = ParseSequence();
    // An operator in the radicand may have taken the root as its operand.
    Current = r->Parent;
    TCodeList *t = Make(nkPlus, item.First());
    t->Order = OpCount;
    TCodeList *degree = Make(nkNumber, item.First());
    degree->Order = OpCount;
    degree->Value = 2.0;
    MoveLeftToRight(r);
    Hang(r, t);
    Hang(t, degree);
    r->Kind = nkRoot;
    return ok;
}

bool TParser::AddIntegral(const TItem &sign)
{
    TCodeList *integral = Make(nkIntegral, sign.First());
    integral->Order = OpCount;
    Hang(Current, integral);
    Current = integral;
    TItem item;

    // The bounds: upper, then lower. Missing ones are recorded and the
    // integral read on; a fault inside a bound ends the parse.
    for (int missing : {errMissingUpper, errMissingLower}) {
        const int n = NextItem(item);
        if (n == ItemTooLong)
            return false;
        if (n == ItemEnd)
            ErrorAt(errStreamFull, sign.First());
        else if (item.First().Ch != '(')
            ErrorAt(missing, sign.First());
        else if (!OpenBracket(item))
            return false;
    }

    // The integrand; without it the delta and variable have no place.
    int n = NextItem(item);
    if (n == ItemTooLong)
        return false;
    bool ok = true;
    if (n == ItemEnd) {
        ErrorAt(errStreamFull, sign.First());
        ok = false;
    } else if (item.Code() != scFunctionSign) {
        ErrorAt(errAwaitFunction, sign.First());
        ok = false;
    } else
        ok = AddIntegrand(item, integral);
    if (!ok) {
        Current = integral->Parent;
        return false;
    }

    TCodeList *m = Make(nkTimes, sign.First());
    m->Order = OpCount;
    Hang(Current, m);
    Current = m;
    // The delta name, then the index variable; both steps always run.
    for (int missing : {errMissingDelta, errMissingIndex}) {
        n = NextItem(item);
        if (n == ItemTooLong)
            return false;
        if (n == ItemEnd) {
            ErrorAt(errStreamFull, sign.First());
            ok = false;
        } else if (!IsPlainLetter(item.Code())) {
            ErrorAt(missing, sign.First());
            ok = false;
        } else {
            AddName(item);
            if (missing == errMissingDelta)
                MoveLeftToRight(m);
        }
    }
    Current = integral->Parent;
    return ok;
}

bool TParser::AddIntegrand(const TItem &sign, TCodeList *integral)
{
    TCodeList *f = Make(nkIntegrand, sign.First());
    f->Order = OpCount;
    SetRight(integral, f);
    Current = f;
    TItem item;
    const int n = NextItem(item);
    if (n == ItemTooLong)
        return false;
    if (n == ItemEnd) {
        ErrorAt(errStreamFull, sign.First());
        return false;
    }
    if (item.First().Ch != '(') {
        ErrorAt(errIntegralFunction, sign.First());
        return false;
    }
    const bool ok = OpenBracket(item);
    if (ok) {
        Current = f;
        MoveLeftToRight(f);
    }
    return ok;
}
