// Results are rounded on their decimal text, digit by digit (half up, with
// carry), starting from the correctly rounded 15-digit form of the double.
#include "NumFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

bool ExpMode = false;
bool FltMode = true;
int32_t Places = 6;
int32_t FixPlaces = 2;
int32_t FltPlaces = 6;

namespace {

constexpr int Digits = 15;

int32_t ClampPlaces(int32_t count)
{
    // A count from a damaged preference would otherwise pad billions of zeros.
    return std::clamp(count, int32_t(0), MaxPlaces);
}

std::string IntText(int value)
{
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Drops a fraction's trailing zeros, and the point with them when nothing is
// left after it. A mantissa without a point is an integer whose zeros count:
// only its sign blank (or a lone leading zero) goes.
void StripZeros(std::string &mant)
{
    if (mant.find('.') != std::string::npos) {
        while (mant.back() == '0')
            mant.pop_back();
        if (mant.back() == '.')
            mant.pop_back();
        return;
    }
    while (mant.size() >= 2 && (mant[0] == ' ' || mant[0] == '0'))
        mant.erase(0, 1);
}

// Where the rounding cuts the mantissa: the index deletion starts at and
// whether the first dropped digit rounds up. npos when nothing is cut.
struct Cut {
    size_t at = std::string::npos;
    bool up = false;
};

Cut FixCut(const std::string &mant, int places)
{
    const size_t point = mant.find('.');
    if (point == std::string::npos || mant.size() - point - 1 <= size_t(places))
        return {};
    const size_t k = point + 1 + size_t(places);
    return {places == 0 ? point : k, mant[k] >= '5'};
}

Cut FltCut(const std::string &mant, int places)
{
    int count = 0;
    bool passedPoint = false;
    for (size_t i = 1; i < mant.size(); ++i) {
        const char c = mant[i];
        if (c == '.') {
            // The integer part is never shortened; if it alone is too long, cut here.
            if (count > places)
                return {i, i + 1 < mant.size() && mant[i + 1] >= '5'};
            passedPoint = true;
            continue;
        }
        if (!IsDigit(c))
            continue;
        if (count > 0 || c != '0')
            ++count;
        if (passedPoint && count > places)
            return {mant[i - 1] == '.' ? i - 1 : i, c >= '5'};
    }
    return {};
}

void CarryUp(std::string &mant)
{
    int i = int(mant.size()) - 1;
    for (; i >= 0; --i) {
        char &c = mant[size_t(i)];
        if (c == '.')
            continue;
        if (c == '9') {
            c = '0';
            continue;
        }
        if (!IsDigit(c))
            break;  // the sign position
        ++c;
        return;
    }
    // Passed the first digit: a new leading 1 after the sign position.
    mant.insert(size_t(i + 1), 1, '1');
}

}  // namespace

void SetFltMode(bool flt)
{
    FltMode = flt;
    Places = flt ? FltPlaces : FixPlaces;
}

void SetFixPlaces(int32_t count)
{
    FixPlaces = ClampPlaces(count);
    if (!FltMode)
        Places = FixPlaces;
}

void SetFltPlaces(int32_t count)
{
    FltPlaces = ClampPlaces(count);
    if (FltMode)
        Places = FltPlaces;
}

void SetExpMode(bool on)
{
    ExpMode = on;
}

void FloatToMantExp(double x, std::string &mantissa, std::string &exponent)
{
    mantissa.clear();
    exponent.clear();
    if (!std::isfinite(x)) {
        mantissa = std::isnan(x) ? "NAN" : (x < 0 ? "-INF" : "INF");
        return;
    }

    // d.dddddddddddddde[+-]x..., correctly rounded, never locale-dependent.
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, Digits - 1);
    const std::string sci(buf, res.ptr);
    const size_t ePos = sci.find('e');
    int e = 0;
    std::from_chars(sci.data() + ePos + 2, sci.data() + sci.size(), e);
    if (sci[ePos + 1] == '-')
        e = -e;

    const char sign = x < 0 ? '-' : ' ';
    const std::string m0 = sign + sci.substr(0, ePos);                  // sign, digit, point, 14 digits
    std::string d = sign + sci.substr(0, 1) + sci.substr(2, ePos - 2);  // sign and 15 digits
    int p = 3;

    std::string mant;
    if (!ExpMode && e < 0) {
        // Small numbers in plain notation.
        while (d.size() > 2 && d.back() == '0')
            d.pop_back();
        if (-e >= Digits) {
            mant = m0;
            exponent = IntText(e);
        } else {
            if (x < 0)
                mant = "-";
            mant += "0.";
            mant.append(size_t(-e - 1), '0');
            mant += d.substr(1);
        }
    } else {
        if (ExpMode) {
            if (-1 < x && x < 1) {
                const int r = (e + 1) % 3;  // 0, -1 or -2
                p = 5 + r;
                e = e - 2 - r;
            } else {
                const int r = e % 3;
                p = 3 + r;
                e -= r;
            }
        } else {
            p = 3 + e;
        }
        mant = d;
        if (p <= Digits + 1)
            mant.insert(size_t(p - 1), 1, '.');
        StripZeros(mant);
        if (ExpMode) {
            if (e != 0)
                exponent = IntText(e);
        } else if (e > Digits - 1) {
            exponent = IntText(e - (Digits - 1));
        }
    }

    if (x == 0) {
        mant = " 0";
        exponent.clear();
    }

    const int places = ClampPlaces(Places);
    const Cut cut = FltMode ? FltCut(mant, places) : FixCut(mant, places);
    if (cut.at != std::string::npos) {
        mant.erase(cut.at);
        if (cut.up)
            CarryUp(mant);
    } else if (!FltMode) {
        size_t point = mant.find('.');
        if (point == std::string::npos) {
            point = mant.size();
            mant += '.';
        }
        mant.append(size_t(places) - (mant.size() - point - 1), '0');
    }

    if (FltMode)
        StripZeros(mant);
    if (!mant.empty() && mant[0] == ' ')
        mant.erase(0, 1);
    mantissa = mant;
}
