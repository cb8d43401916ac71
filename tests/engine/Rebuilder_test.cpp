#include <gtest/gtest.h>

#include "CalcThread.h"
#include "Lists.h"
#include "Rebuilder.h"
#include "TreeText.h"

namespace {

struct RebuildTest : EngineTest {};

TEST_F(RebuildTest, LeftSideIsPeeledAndTheRightSideWrapped)
{
    const struct {
        const char *stream, *tree;
    } cases[] = {
        {"x ^ 2 ^! = 9 + y", "+x=+root(+2,(+9+y))"},
        {"( x + 1 ) ^ 2 ^! = 9", "+x+1=+root(+2,(+9))"},
        // several passes: power, bracket, power
        {"( x ^ 2 ^! ) ^ 3 ^! = 64", "+x=+root(+2,(+root(+3,(+64))))"},
        {"#470 ( x ) ) = 3", "+x=+((+3)^+2)"},  // the root's area closed twice
        {"- x = 5 - y", "+x=-5+y"},
        {"- ( x + 3 ) = 5", "-x-3=+5"},
        {"- ( - x ) = 5", "+x=+5"},
        {"+ ( - x + 3 ) = 5", "-x+3=+5"},
        // the sign crosses before the power: -x^2 = 9 is x^2 = -9
        {"- x ^ 2 ^! = 9", "+x=+root(+2,(-9))"},
        // left sides that are not one power, root or bracket stay
        {"2 * x = 8", "+(2*x)=+8"},
        {"x + 1 = 8", "+x+1=+8"},
        {"- x + 3 = 5", "-x+3=+5"},
        {"sin ( x ) = 1", "+sin((+x))=+1"},
        {"x + 1", "S:+x+1"},
        // an empty side is not touched
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

TEST_F(RebuildTest, NegateRightSideKeepsTheEquationEquivalent)
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
