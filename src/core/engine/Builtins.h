// The built-in constants and functions that every sheet knows.
//
// Angles follow EditText.RadMode at each call (0 degrees, else radians).
// Arithmetic runs in the x87 extended format (long double) and each result is
// rounded to a double on return.
//
// How the routines report faults (they run inside the evaluator's walk):
// - arcsin and arccos out of [-1, 1] (or NaN) record error 113 at column 1,
//   row 1 and return -1.0; the calculation goes on with that value.
// - Every other fault (log of 0 or of a negative number, cot of 0, a result
//   that overflows the double range) records error 200 with the runtime's
//   text (MsgInvalidOp, MsgDivByZero, MsgOverflow) through SetErrorText at
//   the grid cursor's cell, as the evaluator reports its own arithmetic
//   faults, and returns a quiet NaN. A NaN result therefore means "failed":
//   the caller leaves the function node unreduced (BuiltinFailed tests it).
#pragma once

#include <cmath>

// pi and e as the doubles nearest to them.
constexpr double BuiltinPi = 3.141592653589793;
constexpr double BuiltinE = 2.718281828459045;

// pi/180 and 180/pi rounded to the extended format.
constexpr long double DegToRad = 0x8.EFA351294E9C8AEp-9L;
constexpr long double RadToDeg = 0xE.52EE0D31E0FBDC3p+2L;
// Base of ln and exp: the extended value nearest to 2.7182818284590452, not
// the one nearest to e; results are kept as they have always been.
constexpr long double LnBase = 2.7182818284590452L;

double FnSin(double x);
double FnCos(double x);
double FnTan(double x);
double FnCot(double x);
double FnArcSin(double x);
double FnArcCos(double x);
double FnArcTan(double x);
double FnRad(double x);
double FnDeg(double x);
double FnLog(double x);
double FnLog2(double x);
double FnLog8(double x);
double FnLog10(double x);
double FnLog16(double x);
double FnLn(double x);
double FnExp(double x);

// b raised to y: integral exponents up to the 32-bit range by repeated
// squaring, any other through the base-2 logarithm and exponential.
long double ExtPower(long double b, long double y);

inline bool BuiltinFailed(double result)
{
    return std::isnan(result);
}
