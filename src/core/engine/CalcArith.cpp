#include "CalcArith.h"

#include <cmath>
#include <cstdint>

#include "Builtins.h"
#include "CalcThread.h"
#include "Errors.h"

namespace calc {

const char NegativeRoot[] = "root of negative value";

namespace {
bool TruncToInt64(double v, int64_t &out)
{
    // The range test is false for NaN as well.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0))
        return false;
    out = int64_t(v);
    return true;
}
}  // namespace

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

bool Guarded(const char *fault)
{
    if (!fault)
        return true;
    ReportMathError(fault);
    return false;
}

}  // namespace calc
