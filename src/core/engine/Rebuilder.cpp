#include "Rebuilder.h"

bool RearrangeOnly = false;
bool TreeChanged = false;

namespace {
bool IsTerm(const TCodeList *n)
{
    return n && (n->Kind == nkPlus || n->Kind == nkMinus);
}

void SwapSign(TCodeList *t)
{
    if (t->Kind == nkPlus)
        t->Kind = nkMinus;
    else if (t->Kind == nkMinus)
        t->Kind = nkPlus;
}

// A side that is only the empty first term the parser starts it with.
bool EmptySide(const TCodeList *side)
{
    return IsTerm(side) && !side->Left && !side->Right;
}

bool LoneMinusOnLeft(const TCodeList *Root)
{
    const TCodeList *s = Root->Left;
    return s && s->Kind == nkMinus && !s->Right;
}
}  // namespace

void Rebuild(TCodeList *Root)
{
    if (!Root || !Root->Left || !Root->Right || EmptySide(Root->Left) || EmptySide(Root->Right))
        return;
    TreeChanged = true;
    while (TreeChanged) {
        TreeChanged = false;
        RebuildStep(Root);
    }
}

void RebuildStep(TCodeList *Root)
{
    TCodeList *s = Root->Left;
    if (!s)
        return;
    if (s->Left && !s->Right) {
        TCodeList *factor = s->Left;
        switch (factor->Kind) {
        case nkPower:
        case nkRoot:
            // The sign belongs to the whole term: -x^2 = 9 is x^2 = -9, so
            // it must cross before the power does.
            NegateSide(Root);
            InvertAcross(Root, factor, factor->Kind);
            break;
        case nkBracket:
            DropBracket(s);
            break;
        default:
            break;
        }
    }
    NegateSide(Root);
}

void InvertAcross(TCodeList *Root, TCodeList *P, TNodeKind K)
{
    TCodeList *t = P->Parent;
    if (!t || !P->Right)
        return;
    t->Left = P->Right;
    t->Left->Parent = t;
    P->Parent = nullptr;
    P->Right = nullptr;
    TCodeList *c = CloneBranch(P);
    WrapOtherSide(Root, c, K == nkPower ? nkRoot : nkPower);
}

void WrapOtherSide(TCodeList *Root, TCodeList *C, TNodeKind NewKind)
{
    TCodeList *t = ExpressionTree->NewNode();
    TCodeList *b = ExpressionTree->NewNode();
    t->Kind = nkPlus;
    t->Level = Root->Level;
    b->Kind = nkBracket;
    b->Level = Root->Level + 1;
    TCell open;
    open.Ch = '(';
    b->AddCell(open);

    b->Right = Root->Right;
    if (b->Right)
        b->Right->Parent = b;
    t->Left = C;
    C->Parent = t;
    t->Parent = Root;
    Root->Right = t;
    C->Kind = NewKind;
    C->Right = b;
    b->Parent = C;
    TreeChanged = true;
}

TCodeList *CloneBranch(TCodeList *P)
{
    return TCodeList::CopyTree(P);
}

void DropBracket(TCodeList *S)
{
    TCodeList *br = S->Left;
    TCodeList *in = br ? br->Right : nullptr;
    // An empty bracket would leave the left side without a factor.
    if (!IsTerm(S) || !IsTerm(in) || !in->Left)
        return;
    bool wasMinus = S->Kind == nkMinus;
    bool sameSign = S->Kind == in->Kind;
    S->Left = in->Left;
    S->Left->Parent = S;
    S->Right = in->Right;
    for (TCodeList *t = S->Right; t; t = t->Right) {
        if (t == S->Right)
            t->Parent = S;
        if (wasMinus)
            SwapSign(t);
    }
    S->Kind = sameSign ? nkPlus : nkMinus;
    TreeChanged = true;
}

void NegateSide(TCodeList *Root)
{
    NegateRightSide(Root);
}

void NegateRightSide(TCodeList *Root)
{
    // Nothing on the right can take the sign: -x= stays as written, not x=-.
    if (!Root || !LoneMinusOnLeft(Root) || EmptySide(Root->Right))
        return;
    TCodeList *s = Root->Left;
    s->Kind = nkPlus;
    // A term carries the running sum of the terms reduced after it: 3 - x
    // is the minus term x with value 3, and its negation is -3 + x.
    if (s->Value != 0)
        s->Value = -s->Value;
    for (TCodeList *t = Root->Right; t; t = t->Right) {
        if (t->Value != 0)
            t->Value = -t->Value;
        SwapSign(t);
    }
}
