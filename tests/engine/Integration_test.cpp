#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CalcThread.h"
#include "Errors.h"
#include "Lists.h"
#include "Rebuilder.h"
#include "SheetPicture.h"
#include "TreeText.h"

namespace {

// Records what the evaluator does to the bar; limited to 0..100 as a bar is.
struct FakeBar : TProgressBar {
    int position = -1;
    std::vector<bool> shown;
    int advances = 0;
    void SetVisible(bool v) override { shown.push_back(v); }
    int Position() const override { return position; }
    void SetPosition(int p) override
    {
        if (p > position && position >= 0)
            ++advances;
        position = std::clamp(p, 0, 100);
    }
};

struct IntegralTest : EngineTest {
    // y = the integral from a to b of body dx, followed by the definitions.
    std::string Integral(const std::string &a, const std::string &b, const std::string &body,
                         const std::string &defs = "")
    {
        return "y = #500 ( " + b + " ) ( " + a + " ) #422 ( " + body + " ) d x " + defs;
    }
    double Value(const std::string &items)
    {
        EXPECT_TRUE(CalcStream(items)) << items;
        EXPECT_FALSE(ErrorPending()) << items << ": " << Error();
        const TCodeList *r = ExpressionTree->Right;
        EXPECT_TRUE(r && r->Kind == nkNumber && !r->Left && !r->Right) << TreeText(ExpressionTree);
        return r ? r->Value : 0;
    }
};

// Trapezoid error of x^2 on [0, 1] with n steps: h^2 / 6.
double SquareSum(double n)
{
    return 1.0 / 3 + 1 / (6 * n * n);
}

TEST_F(IntegralTest, TrapezoidSums)
{
    struct Row {
        const char *a, *b, *body, *defs;
        double expected, tolerance;
    };
    const Row rows[] = {
        // exact for a straight line; the step count defaults to 360
        {"0", "1", "x", "", 0.5, 1e-14},
        {"0", "1", "x", ": d = 4", 0.5, 0},
        {"0", "1", "x * x", "", SquareSum(360), 1e-13},
        {"0", "1", "x * x", ": d = 1000", SquareSum(1000), 1e-13},
        {"1", "3", "2 * x + 1", ": d = 7", 10, 1e-13},
        // a negative count walks from b down to a: the integral's negative
        {"0", "1", "x * x", ": d = - 360", -SquareSum(360), 1e-13},
        // 2.5 steps on [0, 1]: 0.4, 0.8 and a last one shortened to end on 1
        {"0", "1", "x * x", ": d = 2.5", 0.032 + 0.16 + 0.164, 1e-15},
        {"0", "1", "x", ": d = 2.5", 0.5, 1e-15},
        {"0", "1", "x", ": d = - 2.5", -0.5, 1e-15},
        // sheet definitions in the body are computed at every step, whole
        {"0", "1", "f", ": f = ( x * x ) + 1", SquareSum(360) + 1, 1e-13},
        {"0", "1", "f", ": f = - ( x ) : d = 4", -0.5, 0},
        {"0", "1", "f + g", ": f = ( x ) : g = ( 2 * f )", 1.5, 1e-14},
        // limits are expressions; a definition that does not use x is fine
        {"k - 1", "2 * k", "k", ": k = 1", 2, 1e-14},
        // nested: the inner integral runs afresh at every outer step
        {"0", "1", "#500 ( 1 ) ( 0 ) #422 ( x * t ) d t", ": d = 10", 0.25, 1e-14},
    };
    for (const Row &r : rows) {
        ClearError();
        std::string items = Integral(r.a, r.b, r.body, r.defs);
        EXPECT_NEAR(Value(items), r.expected, r.tolerance) << items;
    }
}

TEST_F(IntegralTest, ErrorsEndTheIntegralBeforeAnyStep)
{
    // "y = #500 ( b ) ( a ) #422 ( body ) d x": the sign is at column 5, row 5.
    struct Row {
        const char *a, *b, *body, *defs;
        int code;
        const char *text;
    };
    const Row rows[] = {
        {"2", "2", "x", "", 135, "a = b in integral not allowed"},
        {"3", "2", "x", "", 134, "a > b in integral not allowed"},
        {"0", "1", "x", ": d = 2000000", 136, "d > 1000000 in integral not allowed"},
        {"0", "1", "x", ": d = - 2000000", 136, "d > 1000000 in integral not allowed"},
        {"0", "1", "x", ": x = 2", 124, "variable name double defined"},
        {"0", "1", "f", ": f = x * x", 133, "missing open bracket"},
        // a step too small to move x: 1e5 / 360 against 1e20
        {"100000000000000000000", "100000000000000100000", "x", "", 123, "a=b in integral not allowed"},
        // no number to sum: an unknown in the body or in a limit
        {"0", "1", "x * z", "", 130, "error in integral function"},
        {"z", "1", "x", "", 126, "missing integral parameter <a>"},
        {"0", "z", "x", "", 127, "missing integral parameter <b>"},
        // an error inside the body stands as it is and ends the stepping
        {"0", "1", "1 / ( x - 0.5 )", ": d = 4", 200, "Floating point division by zero"},
    };
    for (const Row &r : rows) {
        ClearError();
        std::string items = Integral(r.a, r.b, r.body, r.defs);
        ASSERT_TRUE(CalcStream(items)) << items;
        EXPECT_EQ(ErrorCode, r.code) << items;
        EXPECT_EQ(Error(), r.text) << items;
        // never written as a number
        EXPECT_EQ(TreeText(ExpressionTree).rfind("+y=+int(", 0), 0u) << items << " " << TreeText(ExpressionTree);
    }
}

TEST_F(IntegralTest, ErrorCells)
{
    // Items: y = #500 ( 1 ) ( 0 ) #422 ( x ) d x, one cell each from column 1.
    ASSERT_TRUE(CalcStream(Integral("2", "2", "x")));
    EXPECT_EQ(ErrorCode, 135);
    EXPECT_EQ(ErrorCol, 15);  // the variable
    EXPECT_EQ(ErrorRow, 5);

    ClearError();
    ASSERT_TRUE(CalcStream(Integral("100000000000000000000", "100000000000000100000", "x")));
    EXPECT_EQ(ErrorCode, 123);
    EXPECT_EQ(ErrorCol, 3);  // the integral sign

    ClearError();
    ASSERT_TRUE(CalcStream(Integral("0", "1", "x * z")));
    EXPECT_EQ(ErrorCode, 130);
    EXPECT_EQ(ErrorCol, 10);  // the function sign
}

TEST_F(IntegralTest, SecondIntegralOverTheSameVariableIsRefused)
{
    ASSERT_TRUE(CalcStream("y = #500 ( 1 ) ( 0 ) #422 ( x ) d x + #500 ( 1 ) ( 0 ) #422 ( x ) d x"));
    EXPECT_EQ(ErrorCode, 124);
    EXPECT_EQ(ErrorCol, 29);
    // the built-in constant e is no integration variable
    ClearError();
    ASSERT_TRUE(CalcStream("y = #500 ( 1 ) ( 0 ) #422 ( e ) d e"));
    EXPECT_EQ(ErrorCode, 124);
}

TEST_F(IntegralTest, VariableHasNoValueOutsideItsIntegral)
{
    ASSERT_TRUE(CalcStream(Integral("0", "1", "x", "+ x : d = 4")));
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(TreeText(ExpressionTree), "+y=0.5+x");
}

TEST_F(IntegralTest, ReducedIntegralKeepsNoChildren)
{
    ASSERT_TRUE(CalcStream(Integral("0", "1", "x", "* z : d = 4")));
    EXPECT_EQ(TreeText(ExpressionTree), "+y=+(0.5*z)");
}

TEST_F(IntegralTest, MemoryStaysFlatWithTheStepCount)
{
    ASSERT_TRUE(CalcStream(Integral("0", "1", "sin ( x ) ^ 2 ^! + 3 * x", ": d = 1000")));
    int small = ListLength();
    ASSERT_TRUE(CalcStream(Integral("0", "1", "sin ( x ) ^ 2 ^! + 3 * x", ": d = 30000")));
    EXPECT_EQ(ListLength(), small);
    ASSERT_TRUE(CalcStream(Integral("0", "1", "f", ": f = ( sin ( x ) ) : d = 30000")));
    int withDef = ListLength();
    ASSERT_TRUE(CalcStream(Integral("0", "1", "f", ": f = ( sin ( x ) ) : d = 10")));
    EXPECT_EQ(ListLength(), withDef);
}

TEST_F(IntegralTest, ProgressBarFollowsTheTravel)
{
    FakeBar bar;
    ASSERT_TRUE(CalcStream(Integral("0", "1", "x"), &bar));
    EXPECT_EQ(bar.shown, (std::vector<bool>{true, false}));
    EXPECT_EQ(bar.position, 100);
    // an interval away from 0 and a downward walk advance alike
    for (const char *items : {"y = #500 ( - 1 ) ( - 2 ) #422 ( x ) d x", "y = #500 ( 1 ) ( 0 ) #422 ( x ) d x : d = - 360"}) {
        FakeBar b;
        ASSERT_TRUE(CalcStream(items, &b));
        EXPECT_EQ(b.position, 100) << items;
        EXPECT_GE(b.advances, 99) << items;
    }
}

}  // namespace
