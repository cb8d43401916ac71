#include <gtest/gtest.h>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Rebuilder.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct CalcTest : EngineTest {
    std::string Calc(const std::string &items)
    {
        ClearError();
        EXPECT_TRUE(CalcStream(items)) << items;
        return TreeText(ExpressionTree);
    }
};

TEST_F(CalcTest, SingleResultEquationsReduceInPlace)
{
    const struct {
        const char *stream, *tree;
        int code = 0;  // the error left, if any
    } cases[] = {
        {"x = 6 / 4 * 2", "+x=3"},
        {"< < 6 > | < 4 > > = x", "1.5=+x"},
        // unknowns stay; the running sum is carried by the term after them
        {"x = y * 2", "+x=+(y*2)"},
        {"x = ( y + 2 ) * 3", "+x=+((+{2}y)*3)"},
        // powers, roots and brackets peeled off a lone left term
        {"( x ^ 2 ^! ) ^ 2 ^! = 81", "+x=3"},
        {"x ^ 3 ^! = 8", "+x=2"},
        // lone minus terms: each result is equivalent to the input
        {"- ( - x ) = 5", "+x=5"},
        {"- x = 5 - y", "+x=-5+y"},
        {"- x ^ 2 ^! = - 9", "+x=3"},
        // integer operations truncate their operands first; -2^63 fits and
        // -2^63 div -1 is exact as a double
        {"x = ( - 7.9 ) div 2", "+x=-3"},
        {"x = ( - 9223372036854775808 ) div ( - 1 )", "+x=9223372036854775808"},
        {"x = ( - 9223372036854775808 ) mod ( - 1 )", "+x=0"},
        {"x = ( - 9223372036854775808 ) div 2", "+x=-4611686018427387904"},
        {"x = 2 ^ 0.5 ^!", "+x=1.4142135623730951"},
        {"x = ( - 2 ) ^ 2 ^!", "+x=4"},
        {"x = ( - 2 ) ^ 3 ^!", "+x=-8"},
        {"x = 2 ^ ( - 1 ) ^!", "+x=0.5"},
        {"x = 0 ^ 0 ^!", "+x=1"},
        // an exponent that does not reduce keeps the power whole
        {"x = 3 ^ 2 + y ^!", "+x=+(3^2+y)"},
        {"x = 2 * $p", "+x=6.283185307179586"},
        {"x = sin ( 0 )", "+x=0"},
        {"x = sin ( y )", "+x=+sin((+y))"},
        // arcsin out of range records 113 but goes on with -1
        {"x = arcsin ( 2 ) + 1", "+x=0", 113},
        // a failed step leaves its node unreduced
        {"x = 1 / 0", "+x=+(1/0)", 200},
        {"x = 2 + 7 mod 0", "+x=2+(7 mod 0)", 200},
        {"x = 7 mod 0 + 2", "+x=+{2}(7 mod 0)", 200},
        {"x = ( - 2 ) ^ 0.5 ^!", "+x=+(-2^0.5)", 114},
        {"x = 2 * ( 1 / 0 )", "+x=+(2*(+(1/0)))", 200},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Calc(c.stream), c.tree) << c.stream;
        EXPECT_EQ(ErrorCode, c.code) << c.stream << ": " << Error();
    }
    EditText.RadMode = 0;
    EXPECT_EQ(Calc("x = cos ( 0 ) + rad ( 180 )"), "+x=4.141592653589793");
}

TEST_F(CalcTest, DefinitionsAreEvaluatedOnceAndCached)
{
    EXPECT_EQ(Calc("x = a + a : a = 2 * 3"), "+x=12");
    EXPECT_EQ(SheetDef("a")->Kind, nkNumber);
    EXPECT_EQ(TreeText(SheetDef("a")->Parent), "6=6");
    // one that does not reduce leaves the name as an unknown
    EXPECT_EQ(Calc("x = a * 2 : a = y + 1"), "+x=+(a*2)");
    EXPECT_EQ(SheetDef("a")->Kind, nkName);

    // Multi-result mode evaluates the lines that end in '=' and what they use.
    EditText.EqualMode = 1;
    ASSERT_TRUE(CalcStream(": a = 5 + 3 = : b = a * 2 = : c = 4 + 1"));
    EXPECT_FALSE(ErrorPending()) << Error();
    EXPECT_EQ(TreeText(SheetDef("a")->Parent->Right) + TreeText(SheetDef("b")->Parent->Right), "816");
    EXPECT_EQ(TreeText(SheetDef("c")->Parent->Right), "+4+1");
    EXPECT_FALSE(RearrangeOnly);
}

TEST_F(CalcTest, ErrorsCarryCodeCellAndText)
{
    // Arithmetic faults are placed at the grid cursor's cell.
    const struct {
        const char *stream, *at, *text;
    } cases[] = {
        {"x = ( - 8 ) ^ ( 1 / 3 ) ^!", "114@1,1", "root of negative value not possible"},
        {"x = 0 / 0", "200@4,7", "Invalid floating point operation"},
        {"x = 7 mod 0", "200@4,7", "Division by zero"},
        {"x = 7 div 0.5", "200@4,7", "Division by zero"},
        {"x = 10000000000000000000 mod 3", "200@4,7", "Invalid floating point operation"},
        {"x = 9223372036854775807 mod 10", "200@4,7", "Invalid floating point operation"},  // 2^63
        {"x ^ 0 ^! = 5", "200@4,7", "Floating point division by zero"},
        // the walk goes on after an error; the last one stands
        {"x = 1 / 0 + 7 mod 0", "200@4,7", "Division by zero"},
        // a name in its own definition
        {"x = a : a = b : b = a", "118@4,5", "circular reference to variable"},
    };
    for (const auto &c : cases) {
        ClearError();
        setup.grid.SetCol(4);
        setup.grid.SetRow(7);
        ASSERT_TRUE(CalcStream(c.stream)) << c.stream;
        EXPECT_EQ(ErrorAt() + " " + Error(), std::string(c.at) + " " + c.text) << c.stream;
    }
}

// F9: the rebuilder alone, no evaluation.
TEST_F(CalcTest, LeftSideIsPeeledAndTheRightSideWrapped)
{
    const struct {
        const char *stream, *tree;
    } cases[] = {
        {"x ^ 2 ^! = 9 + y", "+x=+root(+2,(+9+y))"},
        // several passes: power, bracket, power
        {"( x ^ 2 ^! ) ^ 3 ^! = 64", "+x=+root(+2,(+root(+3,(+64))))"},
        {"- x = 5 - y", "+x=-5+y"},
        {"- ( - x ) = 5", "+x=+5"},
        {"+ ( - x + 3 ) = 5", "-x+3=+5"},
        // the sign crosses before the power: -x^2 = 9 is x^2 = -9
        {"- x ^ 2 ^! = 9", "+x=+root(+2,(-9))"},
        // left sides that are not one power, root or bracket stay; so does an empty side
        {"x + 1 = 8", "+x+1=+8"},
        {"- x + 3 = 5", "-x+3=+5"},
        {"sin ( x ) = 1", "+sin((+x))=+1"},
        {"x + 1", "S:+x+1"},
        {"x ^ 2 ^! =", "+(x^+2)=+"},
        {"= 9", "+=+9"},
    };
    for (const auto &c : cases) {
        RearrangeOnly = true;
        EXPECT_TRUE(CalcStream(c.stream)) << c.stream;
        EXPECT_FALSE(RearrangeOnly);
        EXPECT_EQ(TreeText(ExpressionTree), c.tree) << c.stream;
    }
}

TEST_F(CalcTest, NegateRightSideKeepsTheEquationEquivalent)
{
    // 3 - x = 5 + y as the evaluator leaves the left side: a lone minus
    // term carrying the running sum 3.
    RearrangeOnly = true;
    ASSERT_TRUE(CalcStream("- x + 3 = 5 + y"));
    TCodeList *root = ExpressionTree;
    root->Left->Value = 3;
    root->Left->Right = nullptr;
    NegateRightSide(root);
    EXPECT_EQ(TreeText(root), "+{-3}x=-5-y");
    NegateRightSide(root);  // no longer a lone minus term: nothing changes
    EXPECT_EQ(TreeText(root), "+{-3}x=-5-y");
}

}  // namespace
