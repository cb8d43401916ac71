// The reductions of the evaluator: each node whose operands became numbers
// turns into a number itself and its operands are freed.
#include <cmath>

#include "Builtins.h"
#include "CalcArith.h"
#include "CalcInternal.h"
#include "CalcThread.h"
#include "Errors.h"

using namespace calc;

namespace {
// Drops a reduced term after T from the chain: its value is in T now.
void SpliceReducedNext(TCodeList *T)
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
}  // namespace

void TCalculator::EvalSum(TCodeList *T)
{
    if (T->Left)
        Eval(T->Left);
    if (T->Right)
        Eval(T->Right);
    if (Reduced(T->Left)) {
        double f = T->Left->Value;
        double base = T->Right ? T->Right->Value : T->Value;
        double r = 0;
        if (!Guarded(Arith(T->Kind, base, f, r)))
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
    double r = 0;
    if (Guarded(Arith(P->Kind, P->Right->Value, P->Left->Value, r)))
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
    double r = 0;
    const char *fault = Arith(P->Kind, P->Right->Value, P->Left->Value, r);
    if (fault == NegativeRoot)
        SetError(errNegativeRoot, 1, 1);
    else if (Guarded(fault))
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

TCodeList *calc::NameDef(const TCodeList *N)
{
    TCodeList *d = FindDef(BuiltinDefs, N);
    while (d && (d == N || !(d->Level == 0 || (d->Level == N->Level && d->Order == N->Order))))
        d = FindDef(d, N);
    return d;
}

void TCalculator::EvalName(TCodeList *&N)
{
    if (N->NodeFlags.Has(nfEvaluating)) {
        const TCodeList *at = N;
        for (const TCodeList *p = N; p; p = p->Parent)
            if (p->Kind == nkEquals) {
                at = p;
                break;
            }
        SetError(errCircular, at->Col, at->Row);
        return;
    }
    N->NodeFlags.Include(nfEvaluating);

    TCodeList *d = NameDef(N);
    if (!d) {
        // an unknown: stays a name
    } else if (d->NodeFlags.Has(nfEvaluating)) {
        SetError(errCircular, d->Col, d->Row);
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
                SetError(errMissingOpenBracket, at->Col, at->Row);
            } else {
                d->NodeFlags.Include(nfEvaluating);
                double v = 0;
                bool ok = EvalCopy(def->Right, v);
                d->NodeFlags.Exclude(nfEvaluating);
                if (ok) {
                    N->Value = v;
                    N->Kind = nkNumber;
                }
            }
        } else {
            EvalDefinition(d);
            if (Reduced(def->Right)) {
                N->Value = d->Value = def->Right->Value;
                N->Kind = nkNumber;
                d->Kind = nkNumber;
            }
        }
    }
    N->NodeFlags.Exclude(nfEvaluating);
}

void TCalculator::EvalDefinition(TCodeList *d)
{
    d->NodeFlags.Include(nfEvaluating);
    Eval(d->Parent->Right);
    d->NodeFlags.Exclude(nfEvaluating);
}
