#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/Builtins.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct BuiltinsTest : EngineTest {};

enum Angle { Deg, Rad, Either };

TEST_F(BuiltinsTest, Values)
{
    const double pi = BuiltinPi;
    const struct {
        const char *what;
        TBuiltinFunc f;
        Angle mode;
        double x;
        double expected;
        bool exact;
    } table[] = {{"sin 30", FnSin, Deg, 30, 0.5, false},
                 {"sin pi/6", FnSin, Rad, pi / 6, 0.5, false},
                 {"cos 60", FnCos, Deg, 60, 0.5, false},
                 {"cos pi", FnCos, Rad, pi, -1, true},
                 {"tan 45", FnTan, Deg, 45, 1, false},
                 {"cot 45", FnCot, Deg, 45, 1, false},
                 {"cot pi/4", FnCot, Rad, pi / 4, 1, false},
                 {"arcsin 0.5", FnArcSin, Deg, 0.5, 30, false},
                 {"arcsin 0.5", FnArcSin, Rad, 0.5, pi / 6, false},
                 {"arcsin 1", FnArcSin, Deg, 1, 90, false},
                 {"arcsin -1", FnArcSin, Rad, -1, -pi / 2, false},
                 {"arccos 0.5", FnArcCos, Deg, 0.5, 60, false},
                 {"arccos 0", FnArcCos, Rad, 0, pi / 2, false},
                 {"arccos -1", FnArcCos, Deg, -1, 180, false},
                 {"arctan 1", FnArcTan, Deg, 1, 45, false},
                 {"arctan 1", FnArcTan, Rad, 1, pi / 4, false},
                 {"rad 180", FnRad, Either, 180, pi, true},
                 {"deg pi", FnDeg, Either, pi, 180, true},
                 {"log 1000", FnLog, Either, 1000, 3, true},
                 {"ld 8", FnLog2, Either, 8, 3, true},
                 {"log2 1024", FnLog2, Either, 1024, 10, true},
                 {"log8 64", FnLog8, Either, 64, 2, true},
                 {"log16 256", FnLog16, Either, 256, 2, true},
                 {"lg 1000", FnLog10, Either, 1000, 3, false},
                 {"log10 0.01", FnLog10, Either, 0.01, -2, false},
                 {"ln 1", FnLn, Either, 1, 0, true},
                 {"ln e", FnLn, Either, BuiltinE, 1, false},
                 {"exp 1", FnExp, Either, 1, BuiltinE, true},
                 {"exp 0", FnExp, Either, 0, 1, true},
                 {"exp 0.5", FnExp, Either, 0.5, 1.6487212707001282, false},
                 {"exp -2", FnExp, Either, -2, 0.1353352832366127, false},
                 // right angles and their halves are exact in degrees, at any number of turns
                 {"sin 180", FnSin, Deg, 180, 0, true},
                 {"sin -450", FnSin, Deg, -450, -1, true},
                 {"cos 90", FnCos, Deg, 90, 0, true},
                 {"cos 540", FnCos, Deg, 540, -1, true},
                 {"tan 45", FnTan, Deg, 45, 1, true},
                 {"tan -45", FnTan, Deg, -45, -1, true},
                 {"tan 1080", FnTan, Deg, 1080, 0, true},
                 {"cot 135", FnCot, Deg, 135, -1, true},
                 {"cot -90", FnCot, Deg, -90, 0, true},
                 {"cot 405", FnCot, Deg, 405, 1, true},
                 // other angles below one turn keep their bits; radians are not touched
                 {"sin 45", FnSin, Deg, 45, 0x1.6a09e667f3bccp-1, true},
                 {"cos 359.5", FnCos, Deg, 359.5, 0x1.fffb02599c9cdp-1, true},
                 {"tan -100", FnTan, Deg, -100, 0x1.6af648056a138p+2, true},
                 {"cot 123.456", FnCot, Deg, 123.456, -0x1.5251fc2c271d5p-1, true},
                 {"sin pi", FnSin, Rad, pi, 0x1.1a62633145c07p-53, true},
                 // a large angle is its angle below one turn: sin 1000000 = sin 280
                 {"sin 1000000", FnSin, Deg, 1e6, -0x1.f838b8c811c18p-1, true}};
    for (const auto &t : table) {
        for (int rad : {0, 1}) {
            if ((t.mode == Deg && rad) || (t.mode == Rad && !rad))
                continue;
            EditText.RadMode = uint8_t(rad);
            double r = t.f(t.x);
            std::string what = std::string(t.what) + (rad ? " rad" : " deg");
            if (t.exact)
                EXPECT_EQ(r, t.expected) << what;
            else
                EXPECT_DOUBLE_EQ(r, t.expected) << what;
            EXPECT_FALSE(ErrorPending()) << what;
        }
    }
}

TEST_F(BuiltinsTest, ConstantsToFullPrecision)
{
    EXPECT_EQ(BuiltinPi, 0x1.921fb54442d18p+1);
    EXPECT_EQ(BuiltinE, 0x1.5bf0a8b145769p+1);
    EXPECT_EQ(FnExp(1), BuiltinE);
    EXPECT_EQ(FnExp(2), double(LnBase * LnBase));  // from the extended base, not the double e
    EXPECT_EQ(DegToRad, 0.01745329251994329576914L);
    EXPECT_EQ(RadToDeg, 57.29577951308232087665L);
    // The base of ln and exp is the decimal 2.7182818284590452, one step of
    // the extended format away from e itself.
    EXPECT_EQ(double(LnBase), BuiltinE);
    EXPECT_NE(LnBase, 2.718281828459045235360287L);
    EXPECT_LT(std::fabs(LnBase - 2.71828182845904520008L), 1e-19L);
}

TEST_F(BuiltinsTest, ArcSinAndArcCosOutOfRange)
{
    const struct {
        TBuiltinFunc f;
        double x;
    } table[] = {{FnArcSin, 1.0000001}, {FnArcSin, -1.0000001}, {FnArcCos, 2}, {FnArcCos, -1.5}, {FnArcSin, NAN}};
    for (const auto &t : table)
        for (int rad : {0, 1}) {
            EditText.RadMode = uint8_t(rad);
            ClearError();
            setup.grid.SetCol(9), setup.grid.SetRow(9);
            EXPECT_EQ(t.f(t.x), -1.0) << t.x;
            EXPECT_EQ(ErrorCode * 10000 + ErrorCol * 100 + ErrorRow, 1130101) << t.x;
        }
}

TEST_F(BuiltinsTest, FaultsBecomeError200AtTheCursor)
{
    const struct {
        const char *what;
        TBuiltinFunc f;
        double x;
        const char *message;
    } table[] = {
        {"log 0", FnLog, 0, MsgDivByZero},         {"log -1", FnLog, -1, MsgInvalidOp},
        {"ld 0", FnLog2, 0, MsgDivByZero},         {"ld -8", FnLog2, -8, MsgInvalidOp},
        {"log8 0", FnLog8, 0, MsgDivByZero},       {"log8 -1", FnLog8, -1, MsgInvalidOp},
        {"lg 0", FnLog10, 0, MsgDivByZero},        {"lg -1", FnLog10, -1, MsgInvalidOp},
        {"log16 -0", FnLog16, -0.0, MsgDivByZero}, {"log16 -1", FnLog16, -1, MsgInvalidOp},
        {"ln 0", FnLn, 0, MsgDivByZero},           {"ln -1", FnLn, -1, MsgInvalidOp},
        {"cot 0", FnCot, 0, MsgDivByZero},         {"exp 1000", FnExp, 1000, MsgOverflow},
        {"exp 1e10", FnExp, 1e10, MsgOverflow},    {"exp 709.9", FnExp, 709.9, MsgOverflow},
        {"deg 1e308", FnDeg, 1e308, MsgOverflow},
    };
    for (const auto &t : table) {
        ClearError();
        setup.grid.SetCol(4), setup.grid.SetRow(6);
        double r = t.f(t.x);
        EXPECT_TRUE(BuiltinFailed(r)) << t.what;
        EXPECT_EQ(ErrorCode * 10000 + ErrorCol * 100 + ErrorRow, 2000406) << t.what;
        EXPECT_EQ(Error(), t.message) << t.what;
    }
    // Just inside the range: no fault.
    ClearError();
    EXPECT_FALSE(BuiltinFailed(FnExp(709.7)));
    EXPECT_EQ(FnExp(-1e6), 0);
    EXPECT_FALSE(ErrorPending());
}

}  // namespace
