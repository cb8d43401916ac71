// Guarded arithmetic of the evaluator: doubles do not trap, so each step
// checks for the faults the runtime would raise and names them. A null
// message means no fault.
#pragma once

#include <cmath>

#include "Errors.h"
#include "Lists.h"

namespace calc {

inline const char *FaultOf(double r, double a, double b)
{
    if (std::isnan(r) && !std::isnan(a) && !std::isnan(b))
        return MsgInvalidOp;
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
        return MsgOverflow;
    return nullptr;
}

inline const char *Divide(double a, double b, double &r)
{
    if (b == 0)
        return (a == 0 || std::isnan(a)) ? MsgInvalidOp : MsgDivByZero;
    r = a / b;
    return FaultOf(r, a, b);
}

// Trunc(a) mod Trunc(b), or div, in 64-bit integers.
const char *IntegerDivide(double a, double b, bool remainder, double &r);
const char *Power(double base, double exponent, double &r);
// True when the step went through; else the fault is reported.
bool Guarded(const char *fault);

// Not a runtime fault: a base the power or root refuses, which has an
// error of its own.
extern const char NegativeRoot[];

// The one operation of a reducing node of kind k: a is its first operand
// (Right: the running sum after a term, the base of a power, the radicand of
// a root), b its second (Left: the term's factor, the exponent, the degree).
// The tree evaluator and an integral's flat body both step through here.
inline const char *Arith(TNodeKind k, double a, double b, double &r)
{
    switch (k) {
    case nkPlus:
        r = a + b;
        return FaultOf(r, a, b);
    case nkMinus:
        r = a - b;
        return FaultOf(r, a, b);
    case nkTimes:
        r = a * b;
        return FaultOf(r, a, b);
    case nkDivide:
        return Divide(a, b, r);
    case nkMod:
    case nkDiv:
        return IntegerDivide(a, b, k == nkMod, r);
    default: {
        const bool root = k == nkRoot;
        // Refused for a root of any degree, odd ones included.
        if (a < 0 && (root || b < 1))
            return NegativeRoot;
        if (root) {
            if (const char *fault = Divide(1, b, b))
                return fault;
        }
        return Power(a, b, r);
    }
    }
}

}  // namespace calc
