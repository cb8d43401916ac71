#include <gtest/gtest.h>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Rebuilder.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct CalcTest : EngineTest {};

TEST_F(CalcTest, SingleResultEquationsReduceInPlace)
{
    // clang-format off
    const struct {
        const char *stream, *tree;
        const char *error = "";  // the error left, as code@col,row and text; arithmetic faults at the cursor
    } cases[] = {
        {"< < 6 > | < 4 > > = x", "1.5=+x"},
        // unknowns stay; the running sum is carried by the term after them
        {"x = ( y + 2 ) * 3", "+x=+((+{2}y)*3)"},
        // powers, roots and brackets peeled off a lone left term
        {"( x ^ 2 ^! ) ^ 2 ^! = 81", "+x=3"}, {"x ^ 3 ^! = 8", "+x=2"},
        // lone minus terms: each result is equivalent to the input
        {"- ( - x ) = 5", "+x=5"}, {"- x = 5 - y", "+x=-5+y"}, {"- x ^ 2 ^! = - 9", "+x=3"},
        // integer operations truncate their operands first; -2^63 fits and
        // -2^63 div -1 is exact as a double
        {"x = ( - 7.9 ) div 2", "+x=-3"}, {"x = ( - 9223372036854775808 ) div ( - 1 )", "+x=9223372036854775808"},
        {"x = ( - 9223372036854775808 ) mod ( - 1 )", "+x=0"},
        {"x = ( - 9223372036854775808 ) div 2", "+x=-4611686018427387904"}, {"x = 2 ^ 0.5 ^!", "+x=1.4142135623730951"},
        {"x = ( - 2 ) ^ 2 ^!", "+x=4"}, {"x = ( - 2 ) ^ 3 ^!", "+x=-8"}, {"x = 2 ^ ( - 1 ) ^!", "+x=0.5"},
        {"x = 0 ^ 0 ^!", "+x=1"},
        // an exponent that does not reduce keeps the power whole
        {"x = 3 ^ 2 + y ^!", "+x=+(3^2+y)"}, {"x = sin ( y )", "+x=+sin((+y))"},
        // arcsin out of range records 113 at (1, 1) but goes on with -1
        {"x = arcsin ( 2 ) + 1", "+x=0", "113@1,1 value out of range"},
        // a failed step leaves its node unreduced; the walk goes on, the last error stands
        {"x = 1 / 0 + 7 mod 0", "+x=+(1/0)+(7 mod 0)", "200@4,7 Division by zero"},
        {"x = 7 mod 0 + 2", "+x=+{2}(7 mod 0)", "200@4,7 Division by zero"},
        {"x = 2 * ( 1 / 0 )", "+x=+(2*(+(1/0)))", "200@4,7 Floating point division by zero"},
        {"x = 7 div 0.5", "+x=+(7 div 0.5)", "200@4,7 Division by zero"},
        {"x = 10000000000000000000 mod 3", "+x=+(1e+19 mod 3)", "200@4,7 Invalid floating point operation"},
        // 2^63
        {"x = 9223372036854775807 mod 10",
         "+x=+(9223372036854775808 mod 10)", "200@4,7 Invalid floating point operation"},
        {"x = ( - 2 ) ^ 0.5 ^!", "+x=+(-2^0.5)", "114@1,1 root of negative value not possible"},
        {"x ^ 0 ^! = 5", "+x=+root(0,5)", "200@4,7 Floating point division by zero"},
        // a name in its own definition: the error stands at the definition met again, not at the cursor
        {"x = a : a = b : b = a", "+x=+a", "118@4,5 circular reference to variable"},
    };
    // clang-format on
    for (const auto &c : cases) {
        ClearError(), setup.grid.SetCol(4), setup.grid.SetRow(7);
        ASSERT_TRUE(CalcStream(c.stream)) << c.stream;
        EXPECT_EQ(TreeText(ExpressionTree), c.tree) << c.stream;
        EXPECT_EQ(ErrorPending() ? ErrorAt() + " " + Error() : "", c.error) << c.stream;
    }
}

// F9: the rebuilder alone, no evaluation.
TEST_F(CalcTest, LeftSideIsPeeledAndTheRightSideWrapped)
{
    // clang-format off
    const struct { const char *stream, *tree; } cases[] = {
        {"x ^ 2 ^! = 9 + y", "+x=+root(+2,(+9+y))"},
        // several passes: power, bracket, power
        {"( x ^ 2 ^! ) ^ 3 ^! = 64", "+x=+root(+2,(+root(+3,(+64))))"}, {"- x = 5 - y", "+x=-5+y"},
        {"- ( - x ) = 5", "+x=+5"}, {"+ ( - x + 3 ) = 5", "-x+3=+5"},
        // the sign crosses before the power: -x^2 = 9 is x^2 = -9
        {"- x ^ 2 ^! = 9", "+x=+root(+2,(-9))"},
        // left sides that are not one power, root or bracket stay; so does an empty side
        {"x + 1 = 8", "+x+1=+8"}, {"- x + 3 = 5", "-x+3=+5"}, {"sin ( x ) = 1", "+sin((+x))=+1"}, {"x + 1", "S:+x+1"},
        {"x ^ 2 ^! =", "+(x^+2)=+"}, {"= 9", "+=+9"},
    };
    // clang-format on
    for (const auto &c : cases) {
        RearrangeOnly = true;
        EXPECT_TRUE(CalcStream(c.stream)) << c.stream;
        EXPECT_FALSE(RearrangeOnly);
        EXPECT_EQ(TreeText(ExpressionTree), c.tree) << c.stream;
    }
}

}  // namespace
