#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

// Records what the evaluator does to the bar; limited to 0..100 as a bar is.
struct FakeBar : TProgressBar {
    int position = -1, advances = 0;
    std::vector<bool> shown;
    void SetVisible(bool v) override { shown.push_back(v); }
    int Position() const override { return position; }
    void SetPosition(int p) override { advances += p > position && position >= 0, position = std::clamp(p, 0, 100); }
};

// y = the integral from a to b of body dx, then the definitions; the sign is at column 3.
std::string Integral(const std::string &a, const std::string &b, const std::string &body, const std::string &defs = "")
{
    return "y = #500 ( " + b + " ) ( " + a + " ) #422 ( " + body + " ) d x " + defs;
}

// x^2 on [0, 1] in n steps
double SquareSum(double n)
{
    return 1.0 / 3 + 1 / (6 * n * n);
}

std::string Bits(const TCodeList *n)
{
    uint64_t b = 0;
    return n ? " " + std::to_string((std::memcpy(&b, &n->Value, sizeof b), b)) + Bits(n->Left) + Bits(n->Right) : "";
}

struct IntegralTest : EngineTest {
    // Everything a calculation leaves: the tree, the bits of its values, the error, the cursor and the node list.
    std::string Outcome()
    {
        return TreeText(ExpressionTree) + " |" + Bits(ExpressionTree) + " | " + ErrorAt() + " " + Error() + " cursor " +
               std::to_string(EditText.CursorCol()) + "," + std::to_string(EditText.CursorRow()) + " | " +
               std::to_string(ListLength());
    }
};

TEST_F(IntegralTest, TrapezoidSumsAndTheirErrors)
{
    const struct {
        const char *a, *b, *body, *defs;
        double expected, tolerance;
        const char *error = "";  // code@col,row and text, or the tree when no error is left
    } rows[] = {
        // the step count defaults to 360
        {"0", "1", "x * x", "", SquareSum(360), 1e-13},
        {"0", "1", "x * x", ": d = 1000", SquareSum(1000), 1e-13},
        // a negative count walks from b down to a: the integral's negative
        {"0", "1", "x * x", ": d = - 360", -SquareSum(360), 1e-13},
        {"0", "1", "x", ": d = - 2.5", -0.5, 1e-15},
        // sheet definitions in the body are computed at every step, whole
        {"0", "1", "f + g", ": f = ( x ) : g = ( 2 * f )", 1.5, 1e-14},
        // limits are expressions; a definition that does not use x is fine
        {"k - 1", "2 * k", "k", ": k = 1", 2, 1e-14},
        // an error inside the body stands as it is, at the cursor, and ends the stepping
        {"0", "1", "1 / ( x - 0.5 )", ": d = 4", 0, 0, "200@4,7 Floating point division by zero"},
        // the variable has no value outside its integral; a reduced integral keeps no children
        {"0", "1", "x", "+ x * z : d = 4", 0, 0, "+y=0.5+(x*z)"},
        {"0", "1", "x", "* z : d = 4", 0, 0, "+y=+(0.5*z)"},
    };
    for (const auto &r : rows) {
        const std::string items = Integral(r.a, r.b, r.body, r.defs);
        ClearError(), setup.grid.SetCol(4), setup.grid.SetRow(7);
        ASSERT_TRUE(CalcStream(items)) << items;
        if (*r.error) {
            const bool failed = ErrorPending();
            EXPECT_EQ(failed ? ErrorAt() + " " + Error() : TreeText(ExpressionTree), r.error) << items;
            EXPECT_TRUE(!failed || TreeText(ExpressionTree).rfind("+y=+int(", 0) == 0) << items;  // no number written
            continue;
        }
        EXPECT_FALSE(ErrorPending()) << items << ": " << Error();
        const TCodeList *v = ExpressionTree->Right;
        ASSERT_TRUE(v && v->Kind == nkNumber && !v->Left && !v->Right) << TreeText(ExpressionTree);
        EXPECT_NEAR(v->Value, r.expected, r.tolerance) << items;
    }
    // e is no variable
    ASSERT_TRUE(CalcStream("y = #500 ( 1 ) ( 0 ) #422 ( e ) d e"));
    EXPECT_EQ(ErrorCode, 124);
}

TEST_F(IntegralTest, MemoryStaysFlatWithTheStepCount)
{
    for (auto [body, defs] : {std::pair{"sin ( x ) ^ 2 ^! + 3 * x", ""}, {"f", ": f = ( sin ( x ) ) "}}) {
        int length[2];
        for (int big : {0, 1}) {
            ASSERT_TRUE(CalcStream(Integral("0", "1", body, defs + std::string(big ? ": d = 30000" : ": d = 10"))));
            length[big] = ListLength();
        }
        EXPECT_EQ(length[0], length[1]) << body;
    }
}

TEST_F(IntegralTest, ProgressBarFollowsTheTravel)
{
    FakeBar bar;
    ASSERT_TRUE(CalcStream(Integral("0", "1", "x"), &bar));
    EXPECT_EQ(bar.shown, (std::vector<bool>{true, false}));
    EXPECT_EQ(bar.position, 100);
    // an interval away from 0 and a downward walk advance alike
    for (const std::string &items : {Integral("- 2", "- 1", "x"), Integral("0", "1", "x", ": d = - 360")}) {
        FakeBar b;
        ASSERT_TRUE(CalcStream(items, &b));
        EXPECT_EQ(b.position, 100) << items;
        EXPECT_GE(b.advances, 99) << items;
    }
}

TEST_F(IntegralTest, FlatBodiesLeaveWhatTheTreeEvaluatorLeaves)
{
    // clang-format off
    const struct {
        const char *a, *b, *body, *defs;
        long flat;  // steps the flat list took
    } rows[] = {
        {"0", "3", "sin ( x ) * x ^ 2 ^! + 3 * x - 1 / ( x + 2 )", ": d = 8", 9}, {"0", "1", "x", ": d = 4", 5},
        {"0", "1", "5", ": d = 4", 5},
        {"0", "1", "- ( x ) + $p * e - ( 10 * x ) mod 3 + 7 div ( x + 1 )", ": d = 4", 5},
        {"0", "1", "#470 < x + 1 > > + cos ( x ) ^ 3 ^! + ln ( x + 1 )", ": d = 4", 5}, {"0", "1", "x", ": d = - 4", 5},
        // a count below 1 takes one step from limit to limit
        {"0", "1", "x * x", ": d = 0.5", 2},
        // a definition evaluated for a limit is a number in the body
        {"0", "k", "k * x", ": k = 2 : d = 4", 5},
        // arcsin out of range records its error and goes on with -1
        {"0", "1", "arcsin ( x + 1 ) + x", ": d = 4", 5}, {"0", "1", "arcsin ( 2 ) + 1 / ( x - 0.5 )", ": d = 4", 2},
        {"0", "1", "arcsin ( 2 ) + ln ( 0.6 - x )", ": d = 4", 3},
        // faults: the step goes through the tree evaluator and the walk ends
        {"0", "1", "1 / ( x - 0.5 )", ": d = 4", 2}, {"0", "1", "ln ( x - 0.5 ) + arcsin ( 2 )", ": d = 4", 0},
        {"0", "1", "x / 0 + ln ( 0 )", ": d = 4", 0}, {"0", "1", "( x - 0.5 ) mod 0", ": d = 4", 0},
        {"0", "1", "x ^ ( - 1 ) ^!", ": d = 4", 0}, {"0", "1", "( x - 0.5 ) ^ 0.5 ^!", ": d = 4", 0},
        {"0", "1", "#470 < x - 0.5 > >", ": d = 4", 0}, {"0", "1", "10 ^ ( 400 * x ) ^!", ": d = 4", 4},
        {"0", "1", "x * 1e308 * 10", ": d = 4", 1},
        // what the list does not cover: every step through the tree evaluator
        {"0", "1", "x * z", ": d = 4", 0}, {"0", "1", "f", ": f = ( x * x ) : d = 4", 0},
        {"0", "1", "f", ": f = x * x : d = 4", 0}, {"0", "1", "sin", ": d = 4", 0}, {"0", "1", "e ( x )", ": d = 4", 0},
        // nested: the inner bodies are flat
        {"0", "1", "#500 ( 1 ) ( 0 ) #422 ( x * t ) d t", ": d = 4", 25},
        {"0", "1", "#500 ( 1 ) ( 0 ) #422 ( x * t ) d t", ": d = 2000", 0},
        {"1", "2", "#500 ( x ) ( 0 ) #422 ( 1 / ( t - 0.5 ) ) d t", ": d = 2", 1},
        // x cannot take the step
        {"100000000000000000000", "100000000000000100000", "x", "", 1},
    };
    // clang-format on
    for (const auto &r : rows) {
        const std::string items = Integral(r.a, r.b, r.body, r.defs);
        std::string outcome[2];
        for (bool flat : {true, false}) {
            SetUp(), EditText.SetCursorCol(7), EditText.SetCursorRow(9), IntegralFlatBodies = flat;
            const long before = IntegralFlatSteps;
            ASSERT_TRUE(CalcStream(items)) << items;
            outcome[flat] = Outcome();
            EXPECT_EQ(IntegralFlatSteps - before, flat ? r.flat : 0) << items;
        }
        IntegralFlatBodies = true;
        EXPECT_EQ(outcome[true], outcome[false]) << items;
    }
}

}  // namespace
