// Definite integrals by the trapezoid rule, the body evaluated at every step
// from a flat list of its operations or, where that list cannot follow it,
// on a scratch copy.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Builtins.h"
#include "CalcArith.h"
#include "CalcInternal.h"
#include "CalcThread.h"
#include "Errors.h"

using namespace calc;

bool IntegralFlatBodies = true;
long IntegralFlatSteps = 0;

namespace {
// The body of an integral as the operations the tree evaluator would carry
// out on a copy of it that reduces all the way, in the same order, with the
// same routines and guards, and with its names resolved once. It covers
// numbers, names of numbers and built-in functions, sums, products, powers,
// roots, functions and brackets; a body with anything else (an unknown, a
// sheet definition, an integral) has no list. A step that faults is left
// to the tree evaluator, which records the fault as it always has: a
// built-in routine that failed has recorded it already, and the evaluator
// records the same thing again at the same cell.
class TFlatBody {
public:
    explicit TFlatBody(const TCodeList *body)
    {
        if (!IntegralFlatBodies)
            return;
        // Two slots at most for each node (a last term's own value and its
        // result), so the pointers into them stay valid.
        Slots.reserve(2 * size_t(Count(body)));
        Result = Emit(body);
    }

    // False when there is no list or the step faulted.
    bool Run(double &value) const
    {
        if (!Result)
            return false;
        for (const Op &op : Ops) {
            if (op.kind == nkFunction) {
                const double r = op.func(*op.a);
                if (BuiltinFailed(r))
                    return false;
                *op.r = r;
            } else if (Arith(op.kind, *op.a, *op.b, *op.r)) {
                return false;
            }
        }
        value = *Result;
        ++IntegralFlatSteps;
        return true;
    }

private:
    // The operation of a node of this kind on a (Right) and b (Left) into r;
    // nkFunction applies func to a.
    struct Op {
        TNodeKind kind;
        TBuiltinFunc func;
        const double *a, *b;
        double *r;
    };
    std::vector<Op> Ops;
    // Constants and the operations' results.
    std::vector<double> Slots;
    const double *Result = nullptr;

    static int Count(const TCodeList *n) { return n ? 1 + Count(n->Left) + Count(n->Right) : 0; }

    double *Slot(double v)
    {
        Slots.push_back(v);
        return &Slots.back();
    }
    const double *Apply(TNodeKind kind, TBuiltinFunc func, const double *a, const double *b)
    {
        if (!a || !b || (kind == nkFunction && !func))
            return nullptr;
        Ops.push_back({kind, func, a, b, Slot(0)});
        return Ops.back().r;
    }
    // Where the node's value will be, or null when the list cannot follow it.
    // Second operand (Left) first: the evaluator's own order, so that built-in
    // routines run, and record, in the same sequence.
    const double *Emit(const TCodeList *n)
    {
        switch (n->Kind) {
        case nkNumber:
            return n->Left || n->Right ? nullptr : Slot(n->Value);
        case nkName:
            return EmitName(n);
        case nkPlus:
        case nkMinus: {
            // A term without a next one adds its factor to its own value.
            const double *b = n->Left ? Emit(n->Left) : nullptr;
            const double *a = !b ? nullptr : n->Right ? Emit(n->Right) : Slot(n->Value);
            return Apply(n->Kind, nullptr, a, b);
        }
        case nkTimes:
        case nkDivide:
        case nkMod:
        case nkDiv:
        case nkPower:
        case nkRoot: {
            const double *b = n->Left && n->Right ? Emit(n->Left) : nullptr;
            const double *a = b ? Emit(n->Right) : nullptr;
            return Apply(n->Kind, nullptr, a, b);
        }
        case nkFunction:
            return n->Left && !n->Right ? Call(n->Func, n->Left) : nullptr;
        case nkBracket:
            return n->Right && !n->Left ? Emit(n->Right) : nullptr;
        default:
            return nullptr;
        }
    }
    const double *Call(TBuiltinFunc f, const TCodeList *argument)
    {
        const double *a = Emit(argument);
        return Apply(nkFunction, f, a, a);
    }
    // Numbers (constants, variables, evaluated definitions) are read where
    // they live, at each step; a built-in function takes the name's argument.
    const double *EmitName(const TCodeList *n)
    {
        if (n->NodeFlags.Has(nfEvaluating))
            return nullptr;
        const TCodeList *d = NameDef(n);
        if (!d || d->NodeFlags.Has(nfEvaluating))
            return nullptr;
        if (d->Kind == nkNumber)
            return n->Left || n->Right ? nullptr : &d->Value;
        if (d->Kind == nkFunction && n->Left && !n->Right)
            return Call(d->Func, n->Left);
        return nullptr;
    }
};

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
    TCodeList *root = Slots[0].copy;
    {
        TScopedValue running(IntegralRunning, true);
        calc.Eval(root);
    }
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
        SetError(errIntegralSyntax, at->Col, at->Row);
        return false;
    }
    if (!StepName || StepName->Kind != nkName) {
        const TCodeList *at = StepName ? StepName : I->Left;
        SetError(errIntegralSyntax, at->Col, at->Row);
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
    I->NodeFlags.Exclude(nfValueKnown);
    double v = 0;
    if (I->Right && EvalCopy(I->Right, v)) {
        I->Value = v;
        I->NodeFlags.Include(nfValueKnown);
    }
}

void TCalculator::Sum(TCodeList *N, TCodeList *I, TCodeList *var, double a, double b, double h)
{
    TScopedValue running(IntegralRunning, true);
    Progress progress(!running.Old(), b - a);
    TScratchCopy body(I->Right);
    // Names resolve alike at every step: nothing the list covers changes a
    // definition or the chains.
    TFlatBody flat(I->Right);
    auto evaluate = [&](double &f) { return flat.Run(f) || body.Evaluate(*this, f); };
    ErrorMark bodyMark;
    const double from = h > 0 ? a : b, to = h > 0 ? b : a;
    double x = from;
    double sum = 0, f0 = 0, f1 = 0;
    var->Value = x;
    bool ok = evaluate(f0);
    // A step count below 1 passes the far limit at once: one step from limit
    // to limit, not a shortened step that cancels to nothing.
    const bool single = std::fabs(h) > b - a;
    bool last = false;
    while (ok && !last) {
        // x moves by what its size can represent, and each trapezoid is as
        // wide as that move; the last one ends on the far limit.
        double next = single ? to : x + h;
        progress.Advance(std::fabs(next - from));
        last = h > 0 ? next >= to : next <= to;
        if (last)
            next = to;
        else if (next == x) {
            SetError(errIntegralNoMove, N->Col, N->Row);
            return;
        }
        const double width = next - x;
        x = next;
        var->Value = x;
        ok = evaluate(f1);
        if (ok) {
            sum += (f0 + f1) * width / 2;
            f0 = f1;
        }
    }
    // The body has no number at some step: nothing to write.
    if (!ok) {
        SetErrorUnlessRecorded(bodyMark, errIntegralFunction, I);
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
        SetError(errIntegralSyntax, N->Col, N->Row);
        return;
    }
    // A limit without a value cannot be summed over.
    if (!haveA || !haveB) {
        SetErrorUnlessRecorded(before, haveA ? errMissingUpper : errMissingLower, N);
        return;
    }
    // Built-in names count: an integral over e would read the constant.
    // The variable itself is in the chain when this integral runs again
    // (a scratch copy at the next step of an outer integral).
    TCodeList *other = FindDef(BuiltinDefs, var);
    while (other == var)
        other = FindDef(other, var);
    if (other) {
        SetError(errVariableTwice, var->Col, var->Row);
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

    if (a > b)
        SetError(errLimitsReversed, var->Col, var->Row);
    else if (a == b)
        SetError(errLimitsEqual, var->Col, var->Row);
    // Nested, the body of the innermost integral is evaluated for every step
    // of every integral around it.
    else if (NestedSteps * std::max(std::fabs(n), 1.0) > MaxSteps)
        SetError(errTooManySteps, var->Col, var->Row);
    else if (!std::isfinite(b - a))
        ReportMathError(MsgOverflow);
    else if (!I->Right)
        SetError(errIntegralFunction, I->Col, I->Row);
    else {
        TScopedValue nested(NestedSteps, NestedSteps * std::max(std::fabs(n), 1.0));
        Sum(N, I, var, a, b, (b - a) / n);
    }
    // The variable has a value only inside its integral; it stays in the
    // chain so that a second integral over the same name is refused.
    var->Kind = nkName;
}
