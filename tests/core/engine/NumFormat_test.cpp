#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/NumFormat.h"

namespace {

struct NumFormat : ::testing::Test {
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore() { SetFixPlaces(2), SetFltPlaces(6), SetFltMode(true), SetExpMode(false); }
};

}  // namespace

// A value, then mode=result items, up to a ';' or the line's end: 'e' for exponent mode, 'g' (Flt) or 'f' (Fix),
// the places; the result is the mantissa, then 'E' and the exponent if any.
// The integer part is never shortened in Flt mode; Fix pads.
TEST_F(NumFormat, Results)
{
    std::string text = R"(
123.456 g6=123.456 f2=123.46 eg6=123.456 ef2=123.46 f0=123
0.6666666666666666 g6=0.666667 f2=0.67 eg6=666.667E-3 ef2=666.67E-3 f0=1
1234567.891 g6=1234568 f2=1234567.89 eg6=1.23457E6 ef2=1.23E6 f0=1234568
1e20 g6=100000000000000E6 f2=100000000000000.00E6 eg6=100E18 ef2=100.00E18 f0=100000000000000.E6
0.000123 g6=0.000123 f2=0.00 eg6=123E-6 ef2=123.00E-6 f0=0
1.5e-20 g6=1.5E-20 f2=1.50E-20 eg6=15E-21 ef2=15.00E-21 f0=2E-20 f15=1.500000000000000E-20
12345 g6=12345 f2=12345.00 eg6=12.345E3 ef2=12.35E3 f0=12345.
0.5 g6=0.5 f2=0.50 eg6=500E-3 ef2=500.00E-3 f0=1 f15=0.500000000000000
-9.999 g6=-9.999 f2=-10.00 eg6=-9.999 ef2=-10.00 f0=-10 ; 0.999 g6=0.999 f2=1.00 eg6=999E-3 ef2=999.00E-3 f0=1
1e15 g6=100000000000000E1 eg6=1E15 ; 0.9999999999999999 g6=1 eg6=1000E-3 ; 0 g6=0 g0=0 f2=0.00 f0=0. eg6=0 ef2=0.00
-0 g6=0 f2=0.00 eg6=0 ef3=0.000 ; 1e-300 g6=1E-300 f2=1.00E-300 eg6=1E-300 ef2=1.00E-300
-2.5e-300 g6=-2.5E-300 eg6=-2.5E-300 ; 1e300 g6=100000000000000E286 f2=100000000000000.00E286 eg6=1E300 ef2=1.00E300
-1e300 g6=-100000000000000E286 ef1=-1.0E300 ; 1.7976931348623157e308 g6=179769313486232E294 eg6=179.769E306
5e-324 g6=4.94066E-324 eg6=4.94066E-324 ; 1e-14 g6=0.00000000000001 ; 1e-15 g6=1E-15 eg6=1E-15 ; 1e-16 eg6=100E-18
1.23456789e-10 g6=0.000000000123457 eg6=123.457E-12 ; -0.000123 g6=-0.000123 eg6=-123E-6 f5=-0.00012
123456789012345 g6=123456789012345 ; 1234567890123456 g6=123456789012346E1
1234567890123.45 g6=1234567890123 f2=1234567890123.45 ; -1234.5 g6=-1234.5 eg6=-1.2345E3 ef2=-1.23E3 ; 1000 eg6=1E3
100 eg6=100 ; 1 eg6=1 ; -1 eg6=-1 ; 0.01 eg6=10E-3 ; 0.001 eg6=1E-3 ; 0.0001 eg6=100E-6
9.9999995 g6=10 g7=10 g8=9.9999995 f2=10.00 f0=10 f6=10.000000 eg6=10 ef2=10.00
0.99999999 g6=1 f2=1.00 f0=1 eg6=1000E-3 ef2=1000.00E-3 ; -0.99999999 f2=-1.00 ; 0.0999999 g2=0.1 ; 0.0995 f2=0.10
999999.5 g6=1000000 f2=999999.50 f0=1000000 eg6=1000E3 ef2=1000.00E3 ef0=1000E3 ; -999999.5 g6=-1000000
9999999.5 g6=10000000 ; 99.5 g1=100 ; 129.4 g2=129 ; 999.5 eg2=1000 ; 9.5e-20 g1=10E-20 ; 9.995e-20 f2=10.00E-20
99999.95 g6=100000 ; 999999999999999 g6=999999999999999 ; 999999999999999.5 g6=100000000000000E1 ; 9.99 f1=10.0
1.45 f1=1.5 ; 2.5 f0=3 ; -2.5 f0=-3 ; 0.4 f0=0 ; 123456 g2=123456 ; 123456.7 g3=123457 ; 0.000123456 g2=0.00012
42 f5=42.00000 ; 3.141592653589793 g0=3 g1=3 g2=3.1 g6=3.14159 g13=3.14159265359 g14=3.1415926535898 f0=3 f1=3.1
3.141592653589793 g15=3.14159265358979 f12=3.141592653590 f14=3.14159265358979 f15=3.141592653589790
inf g6=INF f6=INF eg6=INF ef6=INF ; -inf g6=-INF f6=-INF eg6=-INF ef6=-INF ; nan g6=NAN f6=NAN eg6=NAN ef6=NAN
-nan g6=NAN ef6=NAN
)";
    std::replace(text.begin(), text.end(), '\n', ';');
    std::istringstream rows(text);
    for (std::string line, item; std::getline(rows, line, ';');) {
        std::istringstream in(line);
        if (!(in >> item))
            continue;
        const double x = std::strtod(item.c_str(), nullptr);
        while (in >> item) {
            const bool exp = item[0] == 'e', flt = item[exp] == 'g';
            const int places = std::stoi(item.substr(exp + 1));
            SetExpMode(exp), SetFltMode(flt);
            flt ? SetFltPlaces(places) : SetFixPlaces(places);
            std::string m = "junk", e = "junk";
            FloatToMantExp(x, m, e);
            EXPECT_EQ(item.substr(0, item.find('=') + 1) + m + (e.empty() ? "" : "E" + e), item) << line;
        }
    }
}

TEST_F(NumFormat, PlacesStayInStepAndInRange)
{
    SetFixPlaces(4);
    EXPECT_EQ(Places, 6);  // Flt mode: the Fix count waits
    SetFltMode(false), SetFltPlaces(9);
    EXPECT_EQ(Places, 4);
    SetFltMode(true);
    EXPECT_EQ(Places, 9);
    SetFltPlaces(1000000000);  // out-of-range counts (a damaged preference or global) are held to 0..15
    EXPECT_EQ(FltPlaces * 100 + Places, 1515);
    SetFixPlaces(-5), SetFltMode(false);
    EXPECT_EQ(FixPlaces, 0);
    for (auto [places, mantissa] : {std::pair{-3, "3"}, {1 << 30, "2.500000000000000"}}) {
        std::string m, e;
        Places = places, FloatToMantExp(2.5, m, e);
        EXPECT_EQ(m, mantissa);
    }
}
