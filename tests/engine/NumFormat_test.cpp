#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "NumFormat.h"

namespace {

enum Mode { Flt, Fix };

struct Case {
    double x;
    bool exp;
    Mode mode;
    int places;
    const char *mant;
    const char *expo;
};

class NumFormat : public ::testing::Test {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore()
    {
        SetFixPlaces(2);
        SetFltPlaces(6);
        SetFltMode(true);
        SetExpMode(false);
    }
    static void Check(const Case *cases, size_t n)
    {
        for (size_t i = 0; i < n; ++i) {
            const Case &c = cases[i];
            SetExpMode(c.exp);
            SetFltMode(c.mode == Flt);
            if (c.mode == Flt)
                SetFltPlaces(c.places);
            else
                SetFixPlaces(c.places);
            std::string m = "junk", e = "junk";
            FloatToMantExp(c.x, m, e);
            EXPECT_EQ(m, c.mant) << "x=" << c.x << " exp=" << c.exp << (c.mode == Flt ? " Flt " : " Fix ")
                                 << c.places;
            EXPECT_EQ(e, c.expo) << "x=" << c.x << " exp=" << c.exp << (c.mode == Flt ? " Flt " : " Fix ")
                                 << c.places;
        }
    }
};

#define CHECK_TABLE(t) Check(t, sizeof(t) / sizeof(t[0]))

}  // namespace

TEST_F(NumFormat, StartValues)
{
    EXPECT_FALSE(ExpMode);
    EXPECT_TRUE(FltMode);
    EXPECT_EQ(Places, 6);
    EXPECT_EQ(FixPlaces, 2);
    EXPECT_EQ(FltPlaces, 6);
}

TEST_F(NumFormat, ReferenceValuesInEveryMode)
{
    const Case t[] = {
        {123.456, false, Flt, 6, "123.456", ""},
        {123.456, false, Fix, 2, "123.46", ""},
        {123.456, true, Flt, 6, "123.456", ""},
        {123.456, true, Fix, 2, "123.46", ""},
        {123.456, false, Fix, 0, "123", ""},
        {2.0 / 3, false, Flt, 6, "0.666667", ""},
        {2.0 / 3, false, Fix, 2, "0.67", ""},
        {2.0 / 3, true, Flt, 6, "666.667", "-3"},
        {2.0 / 3, true, Fix, 2, "666.67", "-3"},
        {2.0 / 3, false, Fix, 0, "1", ""},
        {1234567.891, false, Flt, 6, "1234568", ""},
        {1234567.891, false, Fix, 2, "1234567.89", ""},
        {1234567.891, true, Flt, 6, "1.23457", "6"},
        {1234567.891, true, Fix, 2, "1.23", "6"},
        {1234567.891, false, Fix, 0, "1234568", ""},
        {1e20, false, Flt, 6, "100000000000000", "6"},
        {1e20, false, Fix, 2, "100000000000000.00", "6"},
        {1e20, true, Flt, 6, "100", "18"},
        {1e20, true, Fix, 2, "100.00", "18"},
        {1e20, false, Fix, 0, "100000000000000.", "6"},
        {0.000123, false, Flt, 6, "0.000123", ""},
        {0.000123, false, Fix, 2, "0.00", ""},
        {0.000123, true, Flt, 6, "123", "-6"},
        {0.000123, true, Fix, 2, "123.00", "-6"},
        {0.000123, false, Fix, 0, "0", ""},
        {1.5e-20, false, Flt, 6, "1.5", "-20"},
        {1.5e-20, false, Fix, 2, "1.50", "-20"},
        {1.5e-20, true, Flt, 6, "15", "-21"},
        {1.5e-20, true, Fix, 2, "15.00", "-21"},
        {1.5e-20, false, Fix, 0, "2", "-20"},
        {12345, false, Flt, 6, "12345", ""},
        {12345, false, Fix, 2, "12345.00", ""},
        {12345, true, Flt, 6, "12.345", "3"},
        {12345, true, Fix, 2, "12.35", "3"},
        {12345, false, Fix, 0, "12345.", ""},
        {0.5, false, Flt, 6, "0.5", ""},
        {0.5, false, Fix, 2, "0.50", ""},
        {0.5, true, Flt, 6, "500", "-3"},
        {0.5, true, Fix, 2, "500.00", "-3"},
        {0.5, false, Fix, 0, "1", ""},
        {-9.999, false, Flt, 6, "-9.999", ""},
        {-9.999, false, Fix, 2, "-10.00", ""},
        {-9.999, true, Flt, 6, "-9.999", ""},
        {-9.999, true, Fix, 2, "-10.00", ""},
        {-9.999, false, Fix, 0, "-10", ""},
        {0.999, false, Flt, 6, "0.999", ""},
        {0.999, false, Fix, 2, "1.00", ""},
        {0.999, true, Flt, 6, "999", "-3"},
        {0.999, true, Fix, 2, "999.00", "-3"},
        {0.999, false, Fix, 0, "1", ""},
        {25.5, false, Flt, 1, "26", ""},
        {1e15, false, Flt, 6, "100000000000000", "1"},
        {1e15, true, Flt, 6, "1", "15"},
        {1e14, false, Flt, 6, "100000000000000", ""},
        {999.999, true, Fix, 2, "1000.00", ""},
        // 15-digit form 1.00000000000000E+0000 of a value just below 1.
        {0.9999999999999999, false, Flt, 6, "1", ""},
        {0.9999999999999999, true, Flt, 6, "1000", "-3"},
    };
    CHECK_TABLE(t);
}

TEST_F(NumFormat, ZeroAndNegativeZero)
{
    const Case t[] = {
        {0.0, false, Flt, 6, "0", ""},   {0.0, false, Fix, 2, "0.00", ""}, {0.0, false, Fix, 0, "0.", ""},
        {0.0, true, Flt, 6, "0", ""},    {0.0, true, Fix, 2, "0.00", ""},  {-0.0, false, Flt, 6, "0", ""},
        {-0.0, false, Fix, 2, "0.00", ""}, {-0.0, true, Flt, 6, "0", ""},  {-0.0, true, Fix, 3, "0.000", ""},
        {0.0, false, Flt, 0, "0", ""},
    };
    CHECK_TABLE(t);
}

TEST_F(NumFormat, Magnitudes)
{
    const double dmax = std::numeric_limits<double>::max();
    const double dmin = std::numeric_limits<double>::denorm_min();
    const Case t[] = {
        {1e-300, false, Flt, 6, "1", "-300"},
        {1e-300, false, Fix, 2, "1.00", "-300"},
        {1e-300, true, Flt, 6, "1", "-300"},
        {1e-300, true, Fix, 2, "1.00", "-300"},
        {-2.5e-300, false, Flt, 6, "-2.5", "-300"},
        {-2.5e-300, true, Flt, 6, "-2.5", "-300"},
        {1e300, false, Flt, 6, "100000000000000", "286"},
        {1e300, false, Fix, 2, "100000000000000.00", "286"},
        {1e300, true, Flt, 6, "1", "300"},
        {1e300, true, Fix, 2, "1.00", "300"},
        {-1e300, false, Flt, 6, "-100000000000000", "286"},
        {-1e300, true, Fix, 1, "-1.0", "300"},
        {dmax, false, Flt, 6, "179769313486232", "294"},
        {dmax, true, Flt, 6, "179.769", "306"},
        {dmin, false, Flt, 6, "4.94066", "-324"},
        {dmin, true, Flt, 6, "4.94066", "-324"},
        {1e-14, false, Flt, 6, "0.00000000000001", ""},
        {1e-15, false, Flt, 6, "1", "-15"},
        {1e-15, true, Flt, 6, "1", "-15"},
        {1e-16, true, Flt, 6, "100", "-18"},
        {1.23456789e-10, false, Flt, 6, "0.000000000123457", ""},
        {1.23456789e-10, true, Flt, 6, "123.457", "-12"},
        {-0.000123, false, Flt, 6, "-0.000123", ""},
        {-0.000123, true, Flt, 6, "-123", "-6"},
        {-0.000123, false, Fix, 5, "-0.00012", ""},
        {123456789012345.0, false, Flt, 6, "123456789012345", ""},
        {1234567890123456.0, false, Flt, 6, "123456789012346", "1"},
        {-1234.5, false, Flt, 6, "-1234.5", ""},
        {-1234.5, true, Flt, 6, "-1.2345", "3"},
        {-1234.5, true, Fix, 2, "-1.23", "3"},
        {1000, true, Flt, 6, "1", "3"},
        {100, true, Flt, 6, "100", ""},
        {0.01, true, Flt, 6, "10", "-3"},
        {0.001, true, Flt, 6, "1", "-3"},
        {0.0001, true, Flt, 6, "100", "-6"},
    };
    CHECK_TABLE(t);
}

TEST_F(NumFormat, RoundingCarries)
{
    const Case t[] = {
        {9.9999995, false, Flt, 6, "10", ""},
        {9.9999995, false, Flt, 7, "10", ""},
        {9.9999995, false, Flt, 8, "9.9999995", ""},
        {9.9999995, false, Fix, 2, "10.00", ""},
        {9.9999995, false, Fix, 0, "10", ""},
        {9.9999995, false, Fix, 6, "10.000000", ""},
        {9.9999995, true, Flt, 6, "10", ""},
        {9.9999995, true, Fix, 2, "10.00", ""},
        {0.99999999, false, Flt, 6, "1", ""},
        {0.99999999, false, Fix, 2, "1.00", ""},
        {0.99999999, false, Fix, 0, "1", ""},
        {0.99999999, true, Flt, 6, "1000", "-3"},
        {0.99999999, true, Fix, 2, "1000.00", "-3"},
        {-0.99999999, false, Fix, 2, "-1.00", ""},
        {0.0999999, false, Flt, 2, "0.1", ""},
        {0.0995, false, Fix, 2, "0.10", ""},
        // The carry adds a digit to an integer: its zeros stay.
        {999999.5, false, Flt, 6, "1000000", ""},
        {999999.5, false, Fix, 2, "999999.50", ""},
        {999999.5, false, Fix, 0, "1000000", ""},
        {999999.5, true, Flt, 6, "1000", "3"},
        {999999.5, true, Fix, 2, "1000.00", "3"},
        {999999.5, true, Fix, 0, "1000", "3"},
        {-999999.5, false, Flt, 6, "-1000000", ""},
        {9999999.5, false, Flt, 6, "10000000", ""},
        {99.5, false, Flt, 1, "100", ""},
        {999.5, true, Flt, 2, "1000", ""},
        {9.5e-20, false, Flt, 1, "10", "-20"},
        {9.995e-20, false, Fix, 2, "10.00", "-20"},
        {99999.95, false, Flt, 6, "100000", ""},
        {999999999999999.0, false, Flt, 6, "999999999999999", ""},
        {999999999999999.5, false, Flt, 6, "100000000000000", "1"},
        {9.99, false, Fix, 1, "10.0", ""},
        {1.45, false, Fix, 1, "1.5", ""},  // 15-digit form 1.45000000000000: half up
        {2.5, false, Fix, 0, "3", ""},
        {-2.5, false, Fix, 0, "-3", ""},
        {0.4, false, Fix, 0, "0", ""},
    };
    CHECK_TABLE(t);
}

TEST_F(NumFormat, PlaceCounts)
{
    const double pi = 3.14159265358979323846;
    const char *flt[] = {"3", "3", "3.1", "3.14", "3.142", "3.1416", "3.14159", "3.141593", "3.1415927",
                         "3.14159265", "3.141592654", "3.1415926536", "3.14159265359", "3.14159265359",
                         "3.1415926535898", "3.14159265358979"};
    const char *fix[] = {"3", "3.1", "3.14", "3.142", "3.1416", "3.14159", "3.141593", "3.1415927",
                         "3.14159265", "3.141592654", "3.1415926536", "3.14159265359", "3.141592653590",
                         "3.1415926535898", "3.14159265358979", "3.141592653589790"};
    for (int n = 0; n <= 15; ++n) {
        const Case cf[] = {{pi, false, Flt, n, flt[n], ""}, {pi, false, Fix, n, fix[n], ""}};
        CHECK_TABLE(cf);
    }
    // The integer part is never shortened in Flt mode; Fix pads.
    const Case t[] = {
        {123456.0, false, Flt, 2, "123456", ""},
        {123456.7, false, Flt, 3, "123457", ""},
        {0.000123456, false, Flt, 2, "0.00012", ""},
        {0.5, false, Fix, 15, "0.500000000000000", ""},
        {1.5e-20, false, Fix, 15, "1.500000000000000", "-20"},
        {42, false, Fix, 5, "42.00000", ""},
    };
    CHECK_TABLE(t);
}

TEST_F(NumFormat, SettersKeepPlacesInStep)
{
    SetFixPlaces(4);
    EXPECT_EQ(Places, 6);  // Flt mode: the Fix count waits
    SetFltMode(false);
    EXPECT_EQ(Places, 4);
    SetFltPlaces(9);
    EXPECT_EQ(Places, 4);
    SetFltMode(true);
    EXPECT_EQ(Places, 9);
    // Out-of-range counts (a damaged preference) are held to 0..15.
    SetFltPlaces(1000000000);
    EXPECT_EQ(FltPlaces, 15);
    EXPECT_EQ(Places, 15);
    SetFixPlaces(-5);
    EXPECT_EQ(FixPlaces, 0);
}

TEST_F(NumFormat, OutOfRangePlacesGlobalIsHeld)
{
    SetFltMode(false);
    Places = -3;
    std::string m, e;
    FloatToMantExp(2.5, m, e);
    EXPECT_EQ(m, "3");
    Places = 1 << 30;
    FloatToMantExp(2.5, m, e);
    EXPECT_EQ(m, "2.500000000000000");
}

TEST_F(NumFormat, NonFiniteValuesGiveWords)
{
    struct {
        double x;
        const char *mant;
    } t[] = {
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {-std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (bool exp : {false, true})
        for (bool flt : {false, true})
            for (const auto &c : t) {
                SetExpMode(exp);
                SetFltMode(flt);
                std::string m = "x", e = "x";
                FloatToMantExp(c.x, m, e);
                EXPECT_EQ(m, c.mant);
                EXPECT_EQ(e, "");
            }
}
