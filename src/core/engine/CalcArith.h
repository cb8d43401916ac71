// Guarded arithmetic of the evaluator: doubles do not trap, so each step
// checks for the faults the runtime would raise and names them. A null
// message means no fault.
#pragma once

namespace calc {

const char *FaultOf(double r, double a, double b);
const char *Divide(double a, double b, double &r);
// Trunc(a) mod Trunc(b), or div, in 64-bit integers.
const char *IntegerDivide(double a, double b, bool remainder, double &r);
const char *Power(double base, double exponent, double &r);
// True when the step went through; else the fault is reported.
bool Guarded(const char *fault);

}  // namespace calc
