// Definite integrals by the trapezoid rule, the body evaluated on a scratch
// copy at every step.
#include <algorithm>
#include <cmath>

#include "CalcInternal.h"
#include "CalcThread.h"
#include "Errors.h"

using namespace calc;

namespace {
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
    ErrorMark bodyMark;
    double x = h > 0 ? a : b;
    double sum = 0, f0 = 0, f1 = 0;
    var->Value = x;
    bool ok = body.Evaluate(*this, f0);
    bool done = false;
    // A step count below 1 passes the far limit at once: one step from limit
    // to limit, not a shortened step that cancels to nothing.
    const bool single = std::fabs(h) > b - a;
    if (single)
        h = h > 0 ? b - a : a - b;
    while (ok && !done) {
        const double next = single ? (h > 0 ? b : a) : x + h;
        // x moves by what its size can represent. A move other than the
        // planned width would sum wrong widths; no move at all never ends.
        if (!single && std::fabs((next - x) - h) > std::fabs(h) * MaxStepDrift) {
            SetError(errIntegralStep, N->Col, N->Row);
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

    bool ready = false;
    if (a == b)
        SetError(errLimitsEqual, var->Col, var->Row);
    else if (a > b)
        SetError(errLimitsReversed, var->Col, var->Row);
    // Nested, the body of the innermost integral is evaluated for every step
    // of every integral around it.
    else if (NestedSteps * std::max(std::fabs(n), 1.0) > MaxSteps)
        SetError(errTooManySteps, var->Col, var->Row);
    else if (!std::isfinite(b - a))
        ReportMathError(MsgOverflow);
    else {
        double h = (b - a) / n;
        if (h == 0)
            SetError(errIntegralStep, N->Col, N->Row);
        else
            ready = true;
        if (ready && !I->Right) {
            SetError(errIntegralFunction, I->Col, I->Row);
            ready = false;
        }
        if (ready) {
            TScopedValue nested(NestedSteps, NestedSteps * std::max(std::fabs(n), 1.0));
            Sum(N, I, var, a, b, h);
        }
    }
    // The variable has a value only inside its integral; it stays in the
    // chain so that a second integral over the same name is refused.
    var->Kind = nkName;
}
