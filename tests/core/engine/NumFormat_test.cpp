#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "engine/NumFormat.h"

namespace {

struct NumFormat : ::testing::Test {
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore()
    {
        SetFixPlaces(2);
        SetFltPlaces(6);
        SetFltMode(true);
        SetExpMode(false);
    }
    // mode: 'e' for exponent mode, then 'g' (Flt) or 'f' (Fix), then the places.
    // The result: the mantissa, then 'E' and the exponent when there is one.
    static std::string Format(double x, const std::string &mode)
    {
        const bool exp = mode[0] == 'e', flt = mode[exp] == 'g';
        const int places = std::stoi(mode.substr(exp + 1));
        SetExpMode(exp);
        SetFltMode(flt);
        flt ? SetFltPlaces(places) : SetFixPlaces(places);
        std::string m = "junk", e = "junk";
        FloatToMantExp(x, m, e);
        return e.empty() ? m : m + "E" + e;
    }
};
// A value and its results as "mode=result mode=result ...".
struct Row {
    double x;
    const char *results;
};

}  // namespace

// Flt 6, Fix 2, exponent mode Flt 6 and Fix 2, Fix 0.
TEST_F(NumFormat, ReferenceValuesInEveryMode)
{
    const struct {
        double x;
        const char *want[5];
    } rows[] = {
        {123.456, {"123.456", "123.46", "123.456", "123.46", "123"}},
        {2.0 / 3, {"0.666667", "0.67", "666.667E-3", "666.67E-3", "1"}},
        {1234567.891, {"1234568", "1234567.89", "1.23457E6", "1.23E6", "1234568"}},
        {1e20, {"100000000000000E6", "100000000000000.00E6", "100E18", "100.00E18", "100000000000000.E6"}},
        {0.000123, {"0.000123", "0.00", "123E-6", "123.00E-6", "0"}},
        {1.5e-20, {"1.5E-20", "1.50E-20", "15E-21", "15.00E-21", "2E-20"}},
        {12345, {"12345", "12345.00", "12.345E3", "12.35E3", "12345."}},
        {0.5, {"0.5", "0.50", "500E-3", "500.00E-3", "1"}},
        {-9.999, {"-9.999", "-10.00", "-9.999", "-10.00", "-10"}},
        {0.999, {"0.999", "1.00", "999E-3", "999.00E-3", "1"}},
    };
    const char *modes[] = {"g6", "f2", "eg6", "ef2", "f0"};
    for (const auto &r : rows)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Format(r.x, modes[i]), r.want[i]) << r.x << " " << modes[i];
}

TEST_F(NumFormat, EdgeValues)
{
    const double dmax = std::numeric_limits<double>::max();
    const double dmin = std::numeric_limits<double>::denorm_min();
    const Row t[] = {
        {1e15, "g6=100000000000000E1 eg6=1E15"},
        {1e14, "g6=100000000000000"},
        {0.9999999999999999, "g6=1 eg6=1000E-3"},
        {0.0, "g6=0 g0=0 f2=0.00 f0=0. eg6=0 ef2=0.00"},
        {-0.0, "g6=0 f2=0.00 eg6=0 ef3=0.000"},
        {1e-300, "g6=1E-300 f2=1.00E-300 eg6=1E-300 ef2=1.00E-300"},
        {-2.5e-300, "g6=-2.5E-300 eg6=-2.5E-300"},
        {1e300, "g6=100000000000000E286 f2=100000000000000.00E286 eg6=1E300 ef2=1.00E300"},
        {-1e300, "g6=-100000000000000E286 ef1=-1.0E300"},
        {dmax, "g6=179769313486232E294 eg6=179.769E306"},
        {dmin, "g6=4.94066E-324 eg6=4.94066E-324"},
        {1e-14, "g6=0.00000000000001"},
        {1e-15, "g6=1E-15 eg6=1E-15"},
        {1e-16, "eg6=100E-18"},
        {1.23456789e-10, "g6=0.000000000123457 eg6=123.457E-12"},
        {-0.000123, "g6=-0.000123 eg6=-123E-6 f5=-0.00012"},
        {123456789012345.0, "g6=123456789012345"},
        {1234567890123456.0, "g6=123456789012346E1"},
        {-1234.5, "g6=-1234.5 eg6=-1.2345E3 ef2=-1.23E3"},
        {1000, "eg6=1E3"},
        {100, "eg6=100"},
        {0.01, "eg6=10E-3"},
        {0.001, "eg6=1E-3"},
        {0.0001, "eg6=100E-6"},
        {9.9999995, "g6=10 g7=10 g8=9.9999995 f2=10.00 f0=10 f6=10.000000 eg6=10 ef2=10.00"},
        {0.99999999, "g6=1 f2=1.00 f0=1 eg6=1000E-3 ef2=1000.00E-3"},
        {-0.99999999, "f2=-1.00"},
        {0.0999999, "g2=0.1"},
        {0.0995, "f2=0.10"},
        {999999.5, "g6=1000000 f2=999999.50 f0=1000000 eg6=1000E3 ef2=1000.00E3 ef0=1000E3"},
        {-999999.5, "g6=-1000000"},
        {9999999.5, "g6=10000000"},
        {99.5, "g1=100"},
        {999.5, "eg2=1000"},
        {9.5e-20, "g1=10E-20"},
        {9.995e-20, "f2=10.00E-20"},
        {99999.95, "g6=100000"},
        {999999999999999.0, "g6=999999999999999"},
        {999999999999999.5, "g6=100000000000000E1"},
        {9.99, "f1=10.0"},
        {1.45, "f1=1.5"},
        {2.5, "f0=3"},
        {-2.5, "f0=-3"},
        {0.4, "f0=0"},
        {123456.0, "g2=123456"},
        {123456.7, "g3=123457"},
        {0.000123456, "g2=0.00012"},
        {0.5, "f15=0.500000000000000"},
        {1.5e-20, "f15=1.500000000000000E-20"},
        {42, "f5=42.00000"},
    };
    // The integer part is never shortened in Flt mode; Fix pads.
    for (const Row &c : t) {
        std::istringstream in(c.results);
        for (std::string r; in >> r;) {
            const std::string mode = r.substr(0, r.find('='));
            EXPECT_EQ(mode + "=" + Format(c.x, mode), r) << c.x;
        }
    }
}

TEST_F(NumFormat, PlaceCounts)
{
    const double pi = 3.14159265358979323846;
    // Flt and Fix with 0..15 places.
    std::istringstream flt("3 3 3.1 3.14 3.142 3.1416 3.14159 3.141593 3.1415927 3.14159265 3.141592654 3.1415926536 "
                           "3.14159265359 3.14159265359 3.1415926535898 3.14159265358979"),
        fix("3 3.1 3.14 3.142 3.1416 3.14159 3.141593 3.1415927 3.14159265 3.141592654 3.1415926536 3.14159265359 "
            "3.141592653590 3.1415926535898 3.14159265358979 3.141592653589790");
    for (int n = 0; n <= 15; ++n) {
        std::string g, f;
        flt >> g, fix >> f;
        EXPECT_EQ(Format(pi, "g" + std::to_string(n)), g) << n;
        EXPECT_EQ(Format(pi, "f" + std::to_string(n)), f) << n;
    }
}

TEST_F(NumFormat, PlacesStayInStepAndInRange)
{
    EXPECT_TRUE(FltMode && !ExpMode);
    EXPECT_EQ(Places * 100 + FixPlaces * 10 + FltPlaces, 626);
    SetFixPlaces(4);
    EXPECT_EQ(Places, 6);  // Flt mode: the Fix count waits
    SetFltMode(false);
    EXPECT_EQ(Places, 4);
    SetFltPlaces(9);
    EXPECT_EQ(Places, 4);
    SetFltMode(true);
    EXPECT_EQ(Places, 9);
    // Out-of-range counts (a damaged preference or global) are held to 0..15.
    SetFltPlaces(1000000000);
    EXPECT_EQ(FltPlaces * 100 + Places, 1515);
    SetFixPlaces(-5);
    EXPECT_EQ(FixPlaces, 0);
    SetFltMode(false);
    std::string m, e;
    Places = -3;
    FloatToMantExp(2.5, m, e);
    EXPECT_EQ(m, "3");
    Places = 1 << 30;
    FloatToMantExp(2.5, m, e);
    EXPECT_EQ(m, "2.500000000000000");
}

TEST_F(NumFormat, NonFiniteValuesGiveWords)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, const char *> t[] = {{inf, "INF"}, {-inf, "-INF"}, {nan, "NAN"}, {-nan, "NAN"}};
    for (const char *mode : {"g6", "f6", "eg6", "ef6"})
        for (const auto &[x, word] : t)
            EXPECT_EQ(Format(x, mode), word);  // no exponent either
}
