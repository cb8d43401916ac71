#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "engine/NumFormat.h"

namespace {

enum Mode { Flt, Fix };

struct Case {
    double x;
    bool exp;
    Mode mode;
    int places;
    const char *want;  // mantissa, then 'E' and the exponent when there is one
};

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
    static std::string Format(double x, bool exp, Mode mode, int places)
    {
        SetExpMode(exp);
        SetFltMode(mode == Flt);
        mode == Flt ? SetFltPlaces(places) : SetFixPlaces(places);
        std::string m = "junk", e = "junk";
        FloatToMantExp(x, m, e);
        return e.empty() ? m : m + "E" + e;
    }
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
    const Case modes[] = {{0, false, Flt, 6, ""},
                          {0, false, Fix, 2, ""},
                          {0, true, Flt, 6, ""},
                          {0, true, Fix, 2, ""},
                          {0, false, Fix, 0, ""}};
    for (const auto &r : rows)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Format(r.x, modes[i].exp, modes[i].mode, modes[i].places), r.want[i]) << r.x << " mode " << i;
}

TEST_F(NumFormat, EdgeValues)
{
    const double dmax = std::numeric_limits<double>::max();
    const double dmin = std::numeric_limits<double>::denorm_min();
    const Case t[] = {
        {1e15, false, Flt, 6, "100000000000000E1"},
        {1e15, true, Flt, 6, "1E15"},
        {1e14, false, Flt, 6, "100000000000000"},
        {0.9999999999999999, false, Flt, 6, "1"},
        {0.9999999999999999, true, Flt, 6, "1000E-3"},
        // zero and negative zero
        {0.0, false, Flt, 6, "0"},
        {0.0, false, Fix, 2, "0.00"},
        {0.0, false, Fix, 0, "0."},
        {0.0, true, Flt, 6, "0"},
        {0.0, true, Fix, 2, "0.00"},
        {-0.0, false, Flt, 6, "0"},
        {-0.0, false, Fix, 2, "0.00"},
        {-0.0, true, Flt, 6, "0"},
        {-0.0, true, Fix, 3, "0.000"},
        {0.0, false, Flt, 0, "0"},
        // magnitudes
        {1e-300, false, Flt, 6, "1E-300"},
        {1e-300, false, Fix, 2, "1.00E-300"},
        {1e-300, true, Flt, 6, "1E-300"},
        {1e-300, true, Fix, 2, "1.00E-300"},
        {-2.5e-300, false, Flt, 6, "-2.5E-300"},
        {-2.5e-300, true, Flt, 6, "-2.5E-300"},
        {1e300, false, Flt, 6, "100000000000000E286"},
        {1e300, false, Fix, 2, "100000000000000.00E286"},
        {1e300, true, Flt, 6, "1E300"},
        {1e300, true, Fix, 2, "1.00E300"},
        {-1e300, false, Flt, 6, "-100000000000000E286"},
        {-1e300, true, Fix, 1, "-1.0E300"},
        {dmax, false, Flt, 6, "179769313486232E294"},
        {dmax, true, Flt, 6, "179.769E306"},
        {dmin, false, Flt, 6, "4.94066E-324"},
        {dmin, true, Flt, 6, "4.94066E-324"},
        {1e-14, false, Flt, 6, "0.00000000000001"},
        {1e-15, false, Flt, 6, "1E-15"},
        {1e-15, true, Flt, 6, "1E-15"},
        {1e-16, true, Flt, 6, "100E-18"},
        {1.23456789e-10, false, Flt, 6, "0.000000000123457"},
        {1.23456789e-10, true, Flt, 6, "123.457E-12"},
        {-0.000123, false, Flt, 6, "-0.000123"},
        {-0.000123, true, Flt, 6, "-123E-6"},
        {-0.000123, false, Fix, 5, "-0.00012"},
        {123456789012345.0, false, Flt, 6, "123456789012345"},
        {1234567890123456.0, false, Flt, 6, "123456789012346E1"},
        {-1234.5, false, Flt, 6, "-1234.5"},
        {-1234.5, true, Flt, 6, "-1.2345E3"},
        {-1234.5, true, Fix, 2, "-1.23E3"},
        {1000, true, Flt, 6, "1E3"},
        {100, true, Flt, 6, "100"},
        {0.01, true, Flt, 6, "10E-3"},
        {0.001, true, Flt, 6, "1E-3"},
        {0.0001, true, Flt, 6, "100E-6"},
        // rounding carries
        {9.9999995, false, Flt, 6, "10"},
        {9.9999995, false, Flt, 7, "10"},
        {9.9999995, false, Flt, 8, "9.9999995"},
        {9.9999995, false, Fix, 2, "10.00"},
        {9.9999995, false, Fix, 0, "10"},
        {9.9999995, false, Fix, 6, "10.000000"},
        {9.9999995, true, Flt, 6, "10"},
        {9.9999995, true, Fix, 2, "10.00"},
        {0.99999999, false, Flt, 6, "1"},
        {0.99999999, false, Fix, 2, "1.00"},
        {0.99999999, false, Fix, 0, "1"},
        {0.99999999, true, Flt, 6, "1000E-3"},
        {0.99999999, true, Fix, 2, "1000.00E-3"},
        {-0.99999999, false, Fix, 2, "-1.00"},
        {0.0999999, false, Flt, 2, "0.1"},
        {0.0995, false, Fix, 2, "0.10"},
        {999999.5, false, Flt, 6, "1000000"},
        {999999.5, false, Fix, 2, "999999.50"},
        {999999.5, false, Fix, 0, "1000000"},
        {999999.5, true, Flt, 6, "1000E3"},
        {999999.5, true, Fix, 2, "1000.00E3"},
        {999999.5, true, Fix, 0, "1000E3"},
        {-999999.5, false, Flt, 6, "-1000000"},
        {9999999.5, false, Flt, 6, "10000000"},
        {99.5, false, Flt, 1, "100"},
        {999.5, true, Flt, 2, "1000"},
        {9.5e-20, false, Flt, 1, "10E-20"},
        {9.995e-20, false, Fix, 2, "10.00E-20"},
        {99999.95, false, Flt, 6, "100000"},
        {999999999999999.0, false, Flt, 6, "999999999999999"},
        {999999999999999.5, false, Flt, 6, "100000000000000E1"},
        {9.99, false, Fix, 1, "10.0"},
        {1.45, false, Fix, 1, "1.5"},
        {2.5, false, Fix, 0, "3"},
        {-2.5, false, Fix, 0, "-3"},
        {0.4, false, Fix, 0, "0"},
        // the integer part is never shortened in Flt mode; Fix pads
        {123456.0, false, Flt, 2, "123456"},
        {123456.7, false, Flt, 3, "123457"},
        {0.000123456, false, Flt, 2, "0.00012"},
        {0.5, false, Fix, 15, "0.500000000000000"},
        {1.5e-20, false, Fix, 15, "1.500000000000000E-20"},
        {42, false, Fix, 5, "42.00000"},
    };
    for (const Case &c : t)
        EXPECT_EQ(Format(c.x, c.exp, c.mode, c.places), c.want)
            << c.x << (c.exp ? " exp " : " ") << (c.mode == Flt ? "Flt " : "Fix ") << c.places;
}

TEST_F(NumFormat, PlaceCounts)
{
    const double pi = 3.14159265358979323846;
    const char *flt[] = {"3",
                         "3",
                         "3.1",
                         "3.14",
                         "3.142",
                         "3.1416",
                         "3.14159",
                         "3.141593",
                         "3.1415927",
                         "3.14159265",
                         "3.141592654",
                         "3.1415926536",
                         "3.14159265359",
                         "3.14159265359",
                         "3.1415926535898",
                         "3.14159265358979"};
    const char *fix[] = {"3",
                         "3.1",
                         "3.14",
                         "3.142",
                         "3.1416",
                         "3.14159",
                         "3.141593",
                         "3.1415927",
                         "3.14159265",
                         "3.141592654",
                         "3.1415926536",
                         "3.14159265359",
                         "3.141592653590",
                         "3.1415926535898",
                         "3.14159265358979",
                         "3.141592653589790"};
    for (int n = 0; n <= 15; ++n) {
        EXPECT_EQ(Format(pi, false, Flt, n), flt[n]) << n;
        EXPECT_EQ(Format(pi, false, Fix, n), fix[n]) << n;
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
    for (bool exp : {false, true})
        for (Mode mode : {Flt, Fix})
            for (const auto &[x, word] : t)
                EXPECT_EQ(Format(x, exp, mode, 6), word);  // no exponent either
}
