#include "Builtins.h"

#include <cstdint>
#include <limits>

#include "Errors.h"
#include "worksheet/Edit.h"

namespace {

constexpr double Failed = std::numeric_limits<double>::quiet_NaN();

double Fault(const char *message)
{
    SetErrorText(message, EditText.CursorCol(), EditText.CursorRow());
    return Failed;
}

bool Degrees()
{
    return EditText.RadMode == 0;
}

// The product is rounded to a double before it is used further.
double Scaled(double x, long double factor)
{
    return double(x * factor);
}

// Rounds to a double; a value beyond the double range is an overflow and a
// NaN made from a number is an invalid operation.
double Deliver(long double r)
{
    if (std::isnan(r))
        return Fault(MsgInvalidOp);
    double d = double(r);
    if (std::isinf(d))
        return Fault(MsgOverflow);
    return d;
}

double OutOfRange()
{
    SetError(errOutOfRange, 1, 1);
    return -1.0;
}

// The logarithm of 0 is a division by zero, of a negative number an invalid
// operation.
template <class Log>
double Logarithm(double x, Log log)
{
    if (std::isnan(x) || x < 0)
        return Fault(MsgInvalidOp);
    if (x == 0)
        return Fault(MsgDivByZero);
    return Deliver(log(static_cast<long double>(x)));
}

// Logarithm to base b as log2(x) / log2(b).
double LogBase(double x, long double b)
{
    return Logarithm(x, [b](long double v) { return std::log2(v) / std::log2(b); });
}

// arcsin (sine side) or arccos through the two-argument arctangent.
double ArcSinCos(double x, bool sine)
{
    if (!(x >= -1 && x <= 1))
        return OutOfRange();
    long double lx = x;
    long double root = std::sqrt((1 + lx) * (1 - lx));
    double r = double(sine ? std::atan2(lx, root) : std::atan2(root, lx));
    return Degrees() ? Scaled(r, RadToDeg) : r;
}

// An angle function f (taking radians) at x in the current angle mode. In
// degrees the whole turns go first, exactly, so an angle below one turn
// keeps its bits; a multiple of 45 degrees takes its value from exact, one
// mark for each of 0, 45, ..., 315: '0', '1', '-' (minus one), 'p' (a pole)
// or '.' (no exact double: computed).
template <class F>
double Angle(double x, const char (&exact)[9], F f)
{
    if (!Degrees())
        return f(x);
    const double turn = std::fmod(x, 360);
    if (std::fmod(turn, 45) == 0) {
        switch (exact[(int(turn / 45) + 8) % 8]) {
        case '0':
            return std::copysign(0.0, turn);
        case '1':
            return 1;
        case '-':
            return -1;
        case 'p':
            return Fault(MsgDivByZero);  // as 1/tan 0
        }
    }
    return f(Scaled(turn, DegToRad));
}

double Cotangent(double x)
{
    long double t = std::tan(static_cast<long double>(x));
    if (t == 0)
        return Fault(MsgDivByZero);
    return Deliver(1 / t);
}

}  // namespace

long double ExtPower(long double b, long double y)
{
    if (y == std::trunc(y) && std::fabs(y) <= INT32_MAX) {
        int64_t n = int64_t(y);
        uint64_t k = n < 0 ? uint64_t(-n) : uint64_t(n);
        long double result = 1, f = b;
        while (k) {
            if (k & 1)
                result *= f;
            f *= f;
            k >>= 1;
        }
        return n < 0 ? 1 / result : result;
    }
    return std::exp2(y * std::log2(b));
}

double FnSin(double x)
{
    return Angle(x, "0.1.0.-.", [](double a) { return Deliver(std::sin(static_cast<long double>(a))); });
}

double FnCos(double x)
{
    return Angle(x, "1.0.-.0.", [](double a) { return Deliver(std::cos(static_cast<long double>(a))); });
}

double FnTan(double x)
{
    return Angle(x, "01p-01p-", [](double a) { return Deliver(std::tan(static_cast<long double>(a))); });
}

double FnCot(double x)
{
    return Angle(x, "p10-p10-", Cotangent);
}

double FnArcSin(double x)
{
    return ArcSinCos(x, true);
}

double FnArcCos(double x)
{
    return ArcSinCos(x, false);
}

double FnArcTan(double x)
{
    double r = double(std::atan2(static_cast<long double>(x), 1.0L));
    return Degrees() ? Scaled(r, RadToDeg) : r;
}

double FnRad(double x)
{
    return Deliver(x * DegToRad);
}

double FnDeg(double x)
{
    return Deliver(x * RadToDeg);
}

double FnLog(double x)
{
    return Logarithm(x, [](long double v) { return std::log10(v); });
}

double FnLog2(double x)
{
    return LogBase(x, 2);
}

double FnLog8(double x)
{
    return LogBase(x, 8);
}

double FnLog10(double x)
{
    return LogBase(x, 10);
}

double FnLog16(double x)
{
    return LogBase(x, 16);
}

double FnLn(double x)
{
    return LogBase(x, LnBase);
}

double FnExp(double x)
{
    return Deliver(ExtPower(LnBase, x));
}
