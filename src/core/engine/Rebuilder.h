// The equation rearranger: in single-result mode a left side that is one
// power, one root or one bracketed group is peeled off and its inverse is
// applied to the whole right side, before the tree is evaluated.
#pragma once

#include "Lists.h"

// The calculation that starts shall rearrange but not evaluate (plain F9).
extern bool RearrangeOnly;
// Set by every rewrite of a pass; Rebuild repeats while a pass set it.
extern bool TreeChanged;

// Rearranges the equation under Root (the root of ExpressionTree) in place.
void Rebuild(TCodeList *Root);
// One pass over the left side.
void RebuildStep(TCodeList *Root);
// Moves the power or root P (kind K) of the left side across as its inverse.
void InvertAcross(TCodeList *Root, TCodeList *P, TNodeKind K);
// The right side becomes the single term + C(old right side) with C of NewKind.
void WrapOtherSide(TCodeList *Root, TCodeList *C, TNodeKind NewKind);
// A copy of P and everything under it, in ExpressionTree's list.
TCodeList *CloneBranch(TCodeList *P);
// Opens the bracket that is the factor of the lone left term S.
void DropBracket(TCodeList *S);
// A lone minus term on the left becomes plus and the right side is negated.
void NegateSide(TCodeList *Root);
// The same sign fix, also used by the evaluator after evaluation: the lone
// left term's running value and every term of the right side change sign,
// so the equation stays equivalent to the one written.
void NegateRightSide(TCodeList *Root);
