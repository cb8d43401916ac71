#include "CalcThread.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "Builtins.h"
#include "Errors.h"
#include "Rebuilder.h"
#include "worksheet/Edit.h"

TCalculator Calculator;
TProgressBar *CalcProgressBar = nullptr;
bool IntegralRunning = false;

namespace {
// ---------------------------------------------------------------------------
// Node helpers

bool HasFlag(const TCodeList *n, TNodeFlag flag)
{
    return n->NodeFlags.Has(flag);
}
void SetFlag(TCodeList *n, TNodeFlag flag)
{
    n->NodeFlags.Include(flag);
}
void ClearFlag(TCodeList *n, TNodeFlag flag)
{
    n->NodeFlags.Exclude(flag);
}

// A plain number: a term that reduced but still carries unreduced terms at
// Right (7 + y) is a number node, yet not a value.
bool Reduced(const TCodeList *n)
{
    return n && n->Kind == nkNumber && !n->Left && !n->Right;
}

bool HoldsValue(const TCodeList *n)
{
    return Reduced(n) || HasFlag(n, nfValueKnown);
}

// Inside an integral every tree being reduced is a scratch copy whose
// nodes are reused at the next step and freed together at the end, so a
// reduction only detaches them there.
void Delete(TCodeList *&ref)
{
    if (!ref || IntegralRunning)
        ref = nullptr;
    else
        TCodeList::DeleteNode(ref);
}

// Unlinks a node from the definition chain it stands in, if any.
void UnlinkDef(TCodeList *n)
{
    if (!n->PrevDef)
        return;
    n->PrevDef->NextDef = n->NextDef;
    if (n->NextDef)
        n->NextDef->PrevDef = n->PrevDef;
    n->PrevDef = nullptr;
    n->NextDef = nullptr;
}

// The error state as it stands, to tell whether a step recorded an error.
struct ErrorMark {
    int32_t code = ErrorCode, col = ErrorCol, row = ErrorRow;
    std::string text = ErrorTexts[200 - ErrorTextFirst];
    bool Unchanged() const
    {
        return code == ErrorCode && col == ErrorCol && row == ErrorRow && text == ErrorTexts[200 - ErrorTextFirst];
    }
};

// Sets an error unless the step that failed has recorded one of its own.
void SetErrorUnlessRecorded(const ErrorMark &mark, int32_t code, const TCodeList *at)
{
    if (mark.Unchanged())
        SetError(code, at->Col, at->Row);
}

// ---------------------------------------------------------------------------
// Guarded arithmetic: doubles do not trap, so each step checks for the
// faults the runtime would raise and names them. Null means no fault.

const char *FaultOf(double r, double a, double b)
{
    if (std::isnan(r) && !std::isnan(a) && !std::isnan(b))
        return MsgInvalidOp;
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
        return MsgOverflow;
    return nullptr;
}

const char *Divide(double a, double b, double &r)
{
    if (b == 0)
        return (a == 0 || std::isnan(a)) ? MsgInvalidOp : MsgDivByZero;
    r = a / b;
    return FaultOf(r, a, b);
}

bool TruncToInt64(double v, int64_t &out)
{
    // The range test is false for NaN as well.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0))
        return false;
    out = int64_t(v);
    return true;
}

const char *IntegerDivide(double a, double b, bool remainder, double &r)
{
    int64_t x, y;
    if (!TruncToInt64(a, x) || !TruncToInt64(b, y))
        return MsgInvalidOp;
    if (y == 0)
        return MsgIntDivByZero;
    if (y == -1) {
        // INT64_MIN / -1 does not fit in 64 bits, but its double does.
        r = remainder ? 0.0 : (x == INT64_MIN ? 9223372036854775808.0 : double(-x));
        return nullptr;
    }
    r = remainder ? double(x % y) : double(x / y);
    return nullptr;
}

// The library's power: an integral exponent multiplied out in extended
// precision, any other through logarithm and exponential.
const char *Power(double base, double exponent, double &r)
{
    if (base == 0 && exponent < 0)
        return MsgDivByZero;
    r = double(ExtPower(base, exponent));
    return FaultOf(r, base, exponent);
}

// True when the step went through; else the fault is reported.
bool Guarded(const char *fault)
{
    if (!fault)
        return true;
    ReportMathError(fault);
    return false;
}

// ---------------------------------------------------------------------------
// Integration

// The progress bar follows the travel of the outermost integral only.
struct Progress {
    bool active;
    double step, next = 0;
    explicit Progress(bool outermost, double span)
        : active(outermost && CalcProgressBar), step(span / ProgressDivisions)
    {
        if (active)
            CalcProgressBar->SetPosition(0);
    }
    void Advance(double travelled)
    {
        if (active && travelled > next) {
            next += step;
            CalcProgressBar->SetPosition(CalcProgressBar->Position() + 1);
        }
    }
};
}  // namespace

void ReportMathError(const char *Message)
{
    SetErrorText(Message, EditText.CursorCol(), EditText.CursorRow());
}

// ---------------------------------------------------------------------------

void TCalculator::Calculate(TProgressBar *bar)
{
    ProgressBar = bar;
    Execute();
}

void TCalculator::Execute()
{
    CalcProgressBar = ProgressBar;
    if (CalcProgressBar) {
        CalcProgressBar->SetPosition(0);
        CalcProgressBar->SetVisible(true);
    }
    TCodeList *root = ExpressionTree;
    if (!EditText.EqualMode) {
        if (root) {
            Rebuild(root);
            if (!RearrangeOnly) {
                Eval(root);
                NegateRightSide(root);
            }
        }
    } else {
        for (TCodeList *d = UserDefs->NextDef; d; d = d->NextDef) {
            TCodeList *e = d->Parent;
            if (e && e->Kind == nkEquals && e->Col != 0)
                Eval(e);
        }
    }
    RearrangeOnly = false;
    if (CalcProgressBar)
        CalcProgressBar->SetVisible(false);
}

void TCalculator::Eval(TCodeList *&N)
{
    if (!N)
        return;
    switch (N->Kind) {
    case nkStart:
    case nkNumber:
    case nkEquals:
        if (N->Left)
            Eval(N->Left);
        if (N->Right)
            Eval(N->Right);
        break;
    case nkName:
        EvalName(N);
        break;
    case nkPlus:
    case nkMinus:
        EvalSum(N);
        break;
    case nkTimes:
    case nkDivide:
    case nkMod:
    case nkDiv:
        EvalProduct(N);
        break;
    case nkPower:
    case nkRoot:
        EvalPower(N);
        break;
    case nkFunction:
        EvalFunction(N);
        break;
    case nkBracket:
        EvalBracket(N);
        break;
    case nkIntegral:
        EvalIntegral(N);
        break;
    case nkIntegrand:
        EvalIntegrand(N);
        break;
    default:
        break;
    }
}

// Drops a reduced term after T from the chain: its value is in T now.
static void SpliceReducedNext(TCodeList *T)
{
    if (!T->Right)
        return;
    if (T->Right->Left) {
        T->Right->Value = 0;
        return;
    }
    TCodeList *rest = T->Right->Right;
    Delete(T->Right);
    if (rest) {
        rest->Parent = T;
        T->Right = rest;
    }
}

void TCalculator::EvalSum(TCodeList *T)
{
    if (T->Left)
        Eval(T->Left);
    if (T->Right)
        Eval(T->Right);
    bool plus = T->Kind == nkPlus;
    if (Reduced(T->Left)) {
        double f = T->Left->Value;
        double base = T->Right ? T->Right->Value : T->Value;
        double r = plus ? base + f : base - f;
        if (!Guarded(FaultOf(r, base, f)))
            return;
        T->Value = r;
        if (T->Right)
            T->Right->Value = 0;
        Delete(T->Left);
        T->Kind = nkNumber;
        SpliceReducedNext(T);
    } else if (T->Right) {
        T->Value = T->Right->Value;
        T->Right->Value = 0;
        SpliceReducedNext(T);
    }
}

void TCalculator::EvalProduct(TCodeList *P)
{
    if (!P->Left || !P->Right)
        return;
    Eval(P->Left);
    Eval(P->Right);
    if (!HoldsValue(P->Left) || !HoldsValue(P->Right))
        return;
    double a = P->Right->Value, b = P->Left->Value, r = 0;
    const char *fault = nullptr;
    switch (P->Kind) {
    case nkTimes:
        r = a * b;
        fault = FaultOf(r, a, b);
        break;
    case nkDivide:
        fault = Divide(a, b, r);
        break;
    default:
        fault = IntegerDivide(a, b, P->Kind == nkMod, r);
        break;
    }
    if (Guarded(fault))
        BecomeNumber(P, r);
}

void TCalculator::BecomeNumber(TCodeList *P, double r)
{
    P->Value = r;
    P->Kind = nkNumber;
    Delete(P->Left);
    Delete(P->Right);
}

// Powers and roots: base (radicand) at Right, exponent (degree) at Left.
void TCalculator::EvalPower(TCodeList *P)
{
    if (P->Left)
        Eval(P->Left);
    if (P->Right)
        Eval(P->Right);
    if (!Reduced(P->Left) || !Reduced(P->Right))
        return;
    bool root = P->Kind == nkRoot;
    double base = P->Right->Value, exponent = P->Left->Value, r = 0;
    // Refused for a root of any degree, odd ones included.
    if (base < 0 && (root || exponent < 1)) {
        SetError(114, 1, 1);
        return;
    }
    if (root && !Guarded(Divide(1, exponent, exponent)))
        return;
    if (Guarded(::Power(base, exponent, r)))
        BecomeNumber(P, r);
}

void TCalculator::EvalFunction(TCodeList *F)
{
    if (!F->Left)
        return;
    Eval(F->Left);
    if (!Reduced(F->Left) || !F->Func)
        return;
    // The routines record their own faults and then give NaN.
    double r = F->Func(F->Left->Value);
    if (BuiltinFailed(r))
        return;
    F->Value = r;
    F->Kind = nkNumber;
    F->Func = nullptr;
    Delete(F->Left);
}

void TCalculator::EvalBracket(TCodeList *B)
{
    if (B->Right)
        Eval(B->Right);
    if (!Reduced(B->Right))
        return;
    B->Value = B->Right->Value;
    B->Kind = nkNumber;
    Delete(B->Right);
}

void TCalculator::EvalName(TCodeList *&N)
{
    if (HasFlag(N, nfEvaluating)) {
        const TCodeList *at = N;
        for (const TCodeList *p = N; p; p = p->Parent)
            if (p->Kind == nkEquals) {
                at = p;
                break;
            }
        SetError(118, at->Col, at->Row);
        return;
    }
    SetFlag(N, nfEvaluating);

    TCodeList *d = FindDef(BuiltinDefs, N);
    while (d && (d == N || !(d->Level == 0 || (d->Level == N->Level && d->Order == N->Order))))
        d = FindDef(d, N);

    if (!d) {
        // an unknown: stays a name
    } else if (HasFlag(d, nfEvaluating)) {
        SetError(118, d->Col, d->Row);
    } else if (d->Kind == nkNumber) {
        N->Value = d->Value;
        N->Kind = nkNumber;
    } else if (d->Kind == nkFunction) {
        N->Kind = nkFunction;
        N->Func = d->Func;
        EvalFunction(N);
    } else if (d->Parent && d->Parent->Kind == nkEquals) {
        TCodeList *def = d->Parent;
        if (IntegralRunning) {
            // Inside an integral the definition may depend on the variable:
            // its whole right side is computed afresh at every step, on a
            // copy, and never cached.
            TCodeList *r = def->Right;
            if (!r || !r->Left || r->Left->Kind != nkBracket) {
                const TCodeList *at = r ? r : d;
                SetError(133, at->Col, at->Row);
            } else {
                SetFlag(d, nfEvaluating);
                double v = 0;
                bool ok = EvalCopy(def->Right, v);
                ClearFlag(d, nfEvaluating);
                if (ok) {
                    N->Value = v;
                    N->Kind = nkNumber;
                }
            }
        } else {
            Eval(def->Right);
            if (Reduced(def->Right)) {
                N->Value = d->Value = def->Right->Value;
                N->Kind = nkNumber;
                d->Kind = nkNumber;
            }
        }
    }
    ClearFlag(N, nfEvaluating);
}

// ---------------------------------------------------------------------------
// Integration

TScratchCopy::TScratchCopy(TCodeList *Sub) : Mark(ExpressionTree->Tail)
{
    Add(Sub, -1);
}

int TScratchCopy::Add(const TCodeList *src, int parent)
{
    TCodeList *c = ExpressionTree->NewNode();
    TDataNode::AssignData(*src, *c);
    int self = int(Slots.size());
    Slots.push_back({src, c, parent, -1, -1});
    if (src->Left) {
        int l = Add(src->Left, self);
        Slots[self].left = l;
    }
    if (src->Right) {
        int r = Add(src->Right, self);
        Slots[self].right = r;
    }
    return self;
}

bool TScratchCopy::Evaluate(TCalculator &calc, double &value)
{
    // Reset every node to the original's data and shape: the last
    // evaluation reduced the copy in place.
    for (const Slot &s : Slots) {
        TCodeList *n = s.copy;
        n->Kind = s.orig->Kind;
        n->Value = s.orig->Value;
        n->NodeFlags = s.orig->NodeFlags;
        n->Func = s.orig->Func;
        n->Level = s.orig->Level;
        n->Parent = s.parent >= 0 ? Slots[s.parent].copy : nullptr;
        n->Left = s.left >= 0 ? Slots[s.left].copy : nullptr;
        n->Right = s.right >= 0 ? Slots[s.right].copy : nullptr;
    }
    bool outer = IntegralRunning;
    IntegralRunning = true;
    TCodeList *root = Slots[0].copy;
    calc.Eval(root);
    IntegralRunning = outer;
    value = root->Value;
    return Reduced(root);
}

TScratchCopy::~TScratchCopy()
{
    // Everything appended after the mark belongs to this copy, reduced or
    // not, including definitions an integral inside it put in the chain.
    while (ExpressionTree->Tail != Mark) {
        TCodeList *n = ExpressionTree->Tail;
        UnlinkDef(n);
        TCodeList::DeleteNode(n);
    }
}

bool CheckIntegralForm(TCodeList *I, TCodeList *&Integrand, TCodeList *&StepName, TCodeList *&Variable)
{
    if (!I || I->Kind != nkIntegrand || !I->Left || I->Left->Kind != nkTimes)
        return false;
    Integrand = I;
    Variable = I->Left->Left;
    StepName = I->Left->Right;
    if (!Variable || Variable->Kind != nkName) {
        const TCodeList *at = Variable ? Variable : I->Left;
        SetError(122, at->Col, at->Row);
        return false;
    }
    if (!StepName || StepName->Kind != nkName) {
        const TCodeList *at = StepName ? StepName : I->Left;
        SetError(122, at->Col, at->Row);
        return false;
    }
    return true;
}

bool TCalculator::EvalCopy(TCodeList *Sub, double &value)
{
    TScratchCopy copy(Sub);
    return copy.Evaluate(*this, value);
}

void TCalculator::EvalIntegrand(TCodeList *I)
{
    ClearFlag(I, nfValueKnown);
    double v = 0;
    if (I->Right && EvalCopy(I->Right, v)) {
        I->Value = v;
        SetFlag(I, nfValueKnown);
    }
}

void TCalculator::Sum(TCodeList *N, TCodeList *I, TCodeList *var, double a, double b, double h)
{
    bool outer = IntegralRunning;
    IntegralRunning = true;
    Progress progress(!outer, b - a);
    TScratchCopy body(I->Right);
    ErrorMark bodyMark;
    double x = h > 0 ? a : b;
    double sum = 0, f0 = 0, f1 = 0;
    var->Value = x;
    bool ok = body.Evaluate(*this, f0);
    bool done = false;
    while (ok && !done) {
        double next = x + h;
        // A step too small to move x would never reach the limit.
        if (next == x) {
            SetError(123, N->Col, N->Row);
            IntegralRunning = outer;
            return;
        }
        x = next;
        progress.Advance(h > 0 ? x - a : b - x);
        bool last = false;
        if (x > b) {
            h -= x - b;
            x = b;
            last = true;
        }
        if (x < a) {
            h -= x - a;
            x = a;
            last = true;
        }
        var->Value = x;
        ok = body.Evaluate(*this, f1);
        if (ok) {
            sum += (f0 + f1) * h / 2;
            f0 = f1;
            done = last || x == a || x == b || x < a || x > b;
        }
    }
    IntegralRunning = outer;
    // The body has no number at some step: nothing to write.
    if (!ok) {
        SetErrorUnlessRecorded(bodyMark, 130, I);
        return;
    }
    if (!std::isfinite(sum)) {
        ReportMathError(MsgOverflow);
        return;
    }
    N->Value = sum;
    N->Kind = nkNumber;
    // Only the number remains: limits and body would otherwise be written
    // after it.
    for (TCodeList *child : {N->Left, N->Right})
        if (child)
            child->Parent = nullptr;
    N->Left = nullptr;
    N->Right = nullptr;
}

void TCalculator::EvalIntegral(TCodeList *&N)
{
    TCodeList *L = N->Left;
    if (!L)
        return;

    ErrorMark before;
    double a = 0, b = 0;
    bool haveA = false, haveB = false;
    if (L->Right) {
        Eval(L->Right);
        haveB = Reduced(L->Right);
        b = L->Right->Value;
    }
    if (L->Left) {
        Eval(L->Left);
        haveA = Reduced(L->Left);
        a = L->Left->Value;
    }

    TCodeList *I = nullptr, *stepName = nullptr, *var = nullptr;
    if (!CheckIntegralForm(N->Right, I, stepName, var)) {
        SetError(122, N->Col, N->Row);
        return;
    }
    // A limit without a value cannot be summed over.
    if (!haveA || !haveB) {
        SetErrorUnlessRecorded(before, haveA ? 127 : 126, N);
        return;
    }
    // Built-in names count: an integral over e would read the constant.
    // The variable itself is in the chain when this integral runs again
    // (a scratch copy at the next step of an outer integral).
    TCodeList *other = FindDef(BuiltinDefs, var);
    while (other == var)
        other = FindDef(other, var);
    if (other) {
        SetError(124, var->Col, var->Row);
        return;
    }
    if (!var->PrevDef)
        AddUserDef(var);
    var->Level = 0;
    var->Kind = nkNumber;

    Eval(I->Left->Right);
    stepName = I->Left->Right;
    double n = Reduced(stepName) ? stepName->Value : 0;
    if (n == 0)
        n = DefaultSteps;

    bool ready = false;
    if (a == b)
        SetError(135, var->Col, var->Row);
    else if (a > b)
        SetError(134, var->Col, var->Row);
    else if (std::fabs(n) > MaxSteps)
        SetError(136, var->Col, var->Row);
    else if (!std::isfinite(b - a))
        ReportMathError(MsgOverflow);
    else {
        double h = (b - a) / n;
        if (h == 0)
            SetError(123, N->Col, N->Row);
        else
            ready = true;
        if (ready && !I->Right) {
            SetError(130, I->Col, I->Row);
            ready = false;
        }
        if (ready)
            Sum(N, I, var, a, b, h);
    }
    // The variable has a value only inside its integral; it stays in the
    // chain so that a second integral over the same name is refused.
    var->Kind = nkName;
}
