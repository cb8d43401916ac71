#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/Builtins.h"
#include "engine/Errors.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct BuiltinsTest : EngineTest {};

enum Angle { D, R, B };  // degrees, radians, both

TEST_F(BuiltinsTest, Values)
{
    const double pi = BuiltinPi;
    // near: within four steps, the rest bit for bit; right angles and their halves are exact in degrees at any number
    // of turns, other angles keep their bits, radians are not touched, and a large angle is its angle below one turn
    struct Row {
        TBuiltinFunc f;
        Angle mode;
        double x, expected;
    };
    std::vector<Row> near = {
        {FnSin, D, 30, 0.5},    {FnSin, R, pi / 6, 0.5},    {FnCos, D, 60, 0.5},      {FnTan, D, 45, 1},
        {FnCot, D, 45, 1},      {FnCot, R, pi / 4, 1},      {FnArcSin, D, 0.5, 30},   {FnArcSin, R, 0.5, pi / 6},
        {FnArcSin, D, 1, 90},   {FnArcSin, R, -1, -pi / 2}, {FnArcCos, D, 0.5, 60},   {FnArcCos, R, 0, pi / 2},
        {FnArcCos, D, -1, 180}, {FnArcTan, D, 1, 45},       {FnArcTan, R, 1, pi / 4}, {FnLog10, B, 1000, 3},
        {FnLog10, B, 0.01, -2}, {FnLn, B, BuiltinE, 1},
    };
    near.insert(near.end(), {{FnExp, B, 0.5, 1.6487212707001282},
                             {FnExp, B, -2, 0.1353352832366127},
                             {FnExp, B, 709.7, 1.6549840276802491e+308}});
    const std::vector<Row> exact = {
        {FnCos, R, pi, -1},    {FnRad, B, 180, pi}, {FnDeg, B, pi, 180},  {FnLog, B, 1000, 3},  {FnLog2, B, 8, 3},
        {FnLog2, B, 1024, 10}, {FnLog8, B, 64, 2},  {FnLog16, B, 256, 2}, {FnLn, B, 1, 0},      {FnExp, B, 1, BuiltinE},
        {FnExp, B, 0, 1},      {FnExp, B, -1e6, 0}, {FnSin, D, 180, 0},   {FnSin, D, -450, -1}, {FnCos, D, 90, 0},
        {FnCos, D, 540, -1},   {FnTan, D, 45, 1},   {FnTan, D, -45, -1},  {FnTan, D, 1080, 0},  {FnCot, D, 135, -1},
        {FnCot, D, -90, 0},    {FnCot, D, 405, 1},
    };
    const std::vector<Row> bits = {
        {FnSin, D, 45, 0x1.6a09e667f3bccp-1},   {FnCos, D, 359.5, 0x1.fffb02599c9cdp-1},
        {FnTan, D, -100, 0x1.6af648056a138p+2}, {FnCot, D, 123.456, -0x1.5251fc2c271d5p-1},
        {FnSin, R, pi, 0x1.1a62633145c07p-53},  {FnSin, D, 1e6, -0x1.f838b8c811c18p-1},
    };
    for (const std::vector<Row> *rows : {&std::as_const(near), &exact, &bits})
        for (const Row &t : *rows)
            for (int rad : {0, 1}) {
                if (t.mode != B && t.mode != rad)
                    continue;
                EditText.RadMode = uint8_t(rad);
                const double r = t.f(t.x);
                const std::string what = std::to_string(&t - rows->data()) + (rad ? " rad" : " deg");
                if (rows != &near)
                    EXPECT_EQ(r, t.expected) << what;
                else
                    EXPECT_DOUBLE_EQ(r, t.expected) << what;
                EXPECT_FALSE(ErrorPending()) << what;
            }
    EXPECT_EQ(std::tuple(BuiltinPi, BuiltinE, FnExp(2), double(LnBase)),
              std::tuple(0x1.921fb54442d18p+1, 0x1.5bf0a8b145769p+1, double(LnBase * LnBase), BuiltinE));
    EXPECT_EQ(std::pair(DegToRad, RadToDeg), std::pair(0.01745329251994329576914L, 57.29577951308232087665L));
    // the base of ln and exp is the decimal 2.7182818284590452, one extended step away from e
    EXPECT_NE(LnBase, 2.718281828459045235360287L);
    EXPECT_LT(std::fabs(LnBase - 2.71828182845904520008L), 1e-19L);
}

// arcsin and arccos out of range go on with -1; every other fault fails at the cursor.
TEST_F(BuiltinsTest, Faults)
{
    const struct {
        TBuiltinFunc f;
        double x;
        const char *message;  // none: error 113 at (1, 1)
    } table[] = {
        {FnArcSin, 1.0000001, nullptr}, {FnArcSin, -1.0000001, nullptr}, {FnArcCos, 2, nullptr},
        {FnArcCos, -1.5, nullptr},      {FnArcSin, NAN, nullptr},        {FnLog, 0, MsgDivByZero},
        {FnLog, -1, MsgInvalidOp},      {FnLog2, 0, MsgDivByZero},       {FnLog2, -8, MsgInvalidOp},
        {FnLog8, 0, MsgDivByZero},      {FnLog8, -1, MsgInvalidOp},      {FnLog10, 0, MsgDivByZero},
        {FnLog10, -1, MsgInvalidOp},    {FnLog16, -0.0, MsgDivByZero},   {FnLog16, -1, MsgInvalidOp},
        {FnLn, 0, MsgDivByZero},        {FnLn, -1, MsgInvalidOp},        {FnCot, 0, MsgDivByZero},
        {FnExp, 1000, MsgOverflow},     {FnExp, 1e10, MsgOverflow},      {FnExp, 709.9, MsgOverflow},
        {FnDeg, 1e308, MsgOverflow},
    };
    for (const auto &t : table)
        for (int rad : {0, 1}) {
            EditText.RadMode = uint8_t(rad), ClearError(), setup.grid.SetCol(4), setup.grid.SetRow(6);
            const double r = t.f(t.x);
            EXPECT_TRUE(t.message ? BuiltinFailed(r) : r == -1.0) << &t - table;
            EXPECT_EQ(ErrorAt() + " " + Error(),
                      t.message ? std::string("200@4,6 ") + t.message : std::string("113@1,1 value out of range"))
                << &t - table;
        }
}

}  // namespace
