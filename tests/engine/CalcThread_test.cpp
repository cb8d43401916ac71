#include <gtest/gtest.h>

#include "CalcThread.h"
#include "EngineSheets.h"
#include "Errors.h"
#include "Lists.h"
#include "Rebuilder.h"
#include "Parser.h"
#include "Router.h"
#include "Scanner.h"
#include "SheetPicture.h"
#include "TreeText.h"

namespace {

struct CalcTest : EngineTest {
    std::string Calc(const std::string &items)
    {
        EXPECT_TRUE(CalcStream(items)) << items;
        return TreeText(ExpressionTree);
    }
};

struct Case {
    const char *stream;
    const char *tree;
};

TEST_F(CalcTest, SingleResultEquationsReduceInPlace)
{
    const Case cases[] = {
        {"3 + 4", "S:7"},
        {"x = 2 * 3 - 1", "+x=5"},
        {"x = 6 / 4 * 2", "+x=3"},
        {"x = 2 * ( 3 + 4 )", "+x=14"},
        // unknowns stay; the running sum is carried by the term after them
        {"3 + y + 4", "S:7+y"},
        {"y + 3 + 4", "S:+{7}y"},
        {"x = 5 - y", "+x=5-y"},
        {"x = y * 2", "+x=+(y*2)"},
        {"x = ( y + 2 ) * 3", "+x=+((+{2}y)*3)"},
        // the left side keeps its unknown
        {"2 * x = 8", "+(2*x)=8"},
        // powers, roots and brackets peeled off a lone left term
        {"x ^ 2 ^! = 9", "+x=3"},
        {"( x + 1 ) ^ 2 ^! = 9", "+{1}x=3"},
        {"( x ^ 2 ^! ) ^ 2 ^! = 81", "+x=3"},
        {"x ^ 3 ^! = 8", "+x=2"},
        // lone minus terms: each result is equivalent to the input
        {"- x = 5", "+x=-5"},
        {"- x + 3 = 5", "+{-3}x=-5"},
        {"- ( x + 3 ) = 5", "+{3}x=-5"},
        {"- ( - x ) = 5", "+x=5"},
        {"- x = 5 - y", "+x=-5+y"},
        {"- x ^ 2 ^! = - 9", "+x=3"},
        // integer operations truncate their operands first
        {"x = 7 mod 3", "+x=1"},
        {"x = ( - 7 ) mod 3", "+x=-1"},
        {"x = 7.9 div 2", "+x=3"},
        {"x = ( - 7.9 ) div 2", "+x=-3"},
        {"x = 2 ^ 0.5 ^!", "+x=1.4142135623730951"},
        {"x = ( - 2 ) ^ 2 ^!", "+x=4"},
        {"x = ( - 2 ) ^ 3 ^!", "+x=-8"},
        {"x = 2 ^ ( - 1 ) ^!", "+x=0.5"},
        // an exponent that does not reduce keeps the power whole
        {"x = 3 ^ 2 + y ^!", "+x=+(3^2+y)"},
        {"x = 0 ^ 0 ^!", "+x=1"},
    };
    for (const Case &c : cases) {
        ClearError();
        EXPECT_EQ(Calc(c.stream), c.tree) << c.stream;
        EXPECT_FALSE(ErrorPending()) << c.stream << ": " << Error();
    }
}

TEST_F(CalcTest, RearrangeOnlyLeavesTheRearrangedTreeUnevaluatedOnce)
{
    RearrangeOnly = true;
    EXPECT_EQ(Calc("x ^ 2 ^! = 9"), "+x=+root(+2,(+9))");
    EXPECT_FALSE(RearrangeOnly);
    EXPECT_EQ(Calc("x ^ 2 ^! = 9"), "+x=3");
}

TEST_F(CalcTest, DefinitionsAreEvaluatedOnceAndCached)
{
    EXPECT_EQ(Calc("x = a + a : a = 2 * 3"), "+x=12");
    TCodeList *a = SheetDef("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Kind, nkNumber);
    EXPECT_EQ(a->Value, 6);
    EXPECT_EQ(TreeText(a->Parent->Right), "6");

    // A definition on another definition, used before its own line.
    EXPECT_EQ(Calc("x = b : a = 4 : b = a * a"), "+x=16");
    // A definition that does not reduce leaves the name as an unknown.
    EXPECT_EQ(Calc("x = a * 2 : a = y + 1"), "+x=+(a*2)");
    EXPECT_EQ(SheetDef("a")->Kind, nkName);
    // pi is a built-in constant.
    EXPECT_EQ(Calc("x = 2 * $p"), "+x=6.283185307179586");
}

TEST_F(CalcTest, MultiResultModeEvaluatesLinesThatEndInEquals)
{
    EditText.EqualMode = 1;
    ASSERT_TRUE(CalcStream(": a = 5 + 3 = : b = a * 2 = : c = 4 + 1"));
    EXPECT_FALSE(ErrorPending()) << Error();
    EXPECT_EQ(TreeText(SheetDef("a")->Parent->Right), "8");
    EXPECT_EQ(TreeText(SheetDef("b")->Parent->Right), "16");
    // no trailing '=' and no use: not evaluated
    EXPECT_EQ(TreeText(SheetDef("c")->Parent->Right), "+4+1");
    EXPECT_FALSE(RearrangeOnly);
}

struct ErrorCase {
    const char *stream;
    int code;
    int col, row;
    const char *text;
};

TEST_F(CalcTest, ErrorsCarryCodeCellAndText)
{
    // Arithmetic faults are placed at the grid cursor's cell.
    const ErrorCase cases[] = {
        {"x = ( - 2 ) ^ 0 ^!", 114, 1, 1, "root of negative value not possible"},
        {"x = ( - 8 ) ^ ( 1 / 3 ) ^!", 114, 1, 1, "root of negative value not possible"},
        {"x ^ 2 ^! = - 9", 114, 1, 1, "root of negative value not possible"},
        {"x = 1 / 0", 200, 4, 7, "Floating point division by zero"},
        {"x = 0 / 0", 200, 4, 7, "Invalid floating point operation"},
        {"x = 10 ^ 400 ^!", 200, 4, 7, "Floating point overflow"},
        {"x = 7 mod 0", 200, 4, 7, "Division by zero"},
        {"x = 7 div 0.5", 200, 4, 7, "Division by zero"},
        {"x = 10000000000000000000 mod 3", 200, 4, 7, "Invalid floating point operation"},
        {"x = ( - 2 ) ^ 1.5 ^!", 200, 4, 7, "Invalid floating point operation"},
        {"x ^ 0 ^! = 5", 200, 4, 7, "Floating point division by zero"},
        {"x = ln ( 0 )", 200, 4, 7, "Floating point division by zero"},
        {"x = ln ( - 1 )", 200, 4, 7, "Invalid floating point operation"},
        {"x = exp ( 1000 )", 200, 4, 7, "Floating point overflow"},
        // the walk goes on after an error; the last one stands
        {"x = 1 / 0 + 7 mod 0", 200, 4, 7, "Division by zero"},
        // a name in its own definition
        {"x = a : a = a + 1", 118, 0, 0, "circular reference to variable"},
        {"x = a : a = b : b = a", 118, 0, 0, "circular reference to variable"},
    };
    for (const ErrorCase &c : cases) {
        ClearError();
        setup.grid.SetCol(4);
        setup.grid.SetRow(7);
        ASSERT_TRUE(CalcStream(c.stream)) << c.stream;
        EXPECT_EQ(ErrorCode, c.code) << c.stream;
        EXPECT_EQ(ErrorCol, c.col) << c.stream;
        EXPECT_EQ(ErrorRow, c.row) << c.stream;
        EXPECT_EQ(Error(), c.text) << c.stream;
    }
}

TEST_F(CalcTest, AFailedStepLeavesItsNodeUnreduced)
{
    struct Row {
        const char *stream, *tree;
        int code;
    };
    const Row rows[] = {
        {"x = 1 / 0", "+x=+(1/0)", 200},
        {"x = 2 + 7 mod 0", "+x=2+(7 mod 0)", 200},
        {"x = 7 mod 0 + 2", "+x=+{2}(7 mod 0)", 200},
        {"x = ( - 2 ) ^ 0.5 ^!", "+x=+(-2^0.5)", 114},
        {"x = 2 * ( 1 / 0 )", "+x=+(2*(+(1/0)))", 200},
    };
    for (const Row &r : rows) {
        ClearError();
        EXPECT_EQ(Calc(r.stream), r.tree) << r.stream;
        EXPECT_EQ(ErrorCode, r.code) << r.stream;
    }
}

TEST_F(CalcTest, IntegerOperationsAtTheEdgesOfTheRange)
{
    // 2^63 does not fit, -2^63 does, and -2^63 div -1 is exact as a double.
    const Case cases[] = {
        {"x = 9223372036854775807 mod 10", "+x=8"},  // the double is 2^63: out of range
        {"x = ( - 9223372036854775808 ) div ( - 1 )", "+x=9223372036854775808"},
        {"x = ( - 9223372036854775808 ) mod ( - 1 )", "+x=0"},
        {"x = ( - 9223372036854775808 ) div 2", "+x=-4611686018427387904"},
    };
    ClearError();
    Calc(cases[0].stream);
    EXPECT_EQ(ErrorCode, 200);
    EXPECT_EQ(Error(), "Invalid floating point operation");
    for (size_t i = 1; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        ClearError();
        EXPECT_EQ(Calc(c.stream), c.tree) << c.stream;
        EXPECT_FALSE(ErrorPending()) << c.stream;
    }
}

TEST_F(CalcTest, BuiltinsFollowTheAngleMode)
{
    EditText.RadMode = 0;
    EXPECT_EQ(Calc("x = cos ( 0 ) + rad ( 180 )"), "+x=4.141592653589793");
    EditText.RadMode = 1;
    EXPECT_EQ(Calc("x = sin ( 0 )"), "+x=0");
    EXPECT_EQ(Calc("x = sin ( y )"), "+x=+sin((+y))");
    // arcsin out of range records 113 but goes on with -1
    ClearError();
    EXPECT_EQ(Calc("x = arcsin ( 2 ) + 1"), "+x=0");
    EXPECT_EQ(ErrorCode, 113);
}

// ---------------------------------------------------------------------------
// Whole sheets through the reading order, the scanner and the parser

struct SheetCalcTest : EngineTest {
    // False when a stage before the calculator failed.
    bool CalcRows(const std::vector<std::string> &rows)
    {
        EditText.ImplicitMult = 1;
        LoadRows(rows);
        ClearError();
        if (!RouterObj.BuildRoute() || !ScannerObj.Scan() || ErrorPending())
            return false;
        TCodeList *tree = nullptr;
        if (!ParserObj.Parse(tree) || ErrorPending())
            return false;
        ExpressionTree = tree;
        Calculator.Calculate(nullptr);
        return true;
    }
};

TEST_F(SheetCalcTest, SingleResultSheets)
{
    const struct {
        std::vector<std::string> rows;
        const char *tree;
    } cases[] = {
        {{"x<^2 >=9"}, "+x=3"},
        {{"-x+3=5"}, "+{-3}x=-5"},
        {{"y=2a", "", ":a=3"}, "+y=6"},
        {{" 6", "####=x", " 4"}, "1.5=+x"},
        {{"  <S/ >1", "y=<S| ><f~ >(2x)dx", "  <S\\ >0", "", ":d=4"}, "+y=1"},
    };
    for (const auto &c : cases) {
        SheetSetup fresh;
        ASSERT_TRUE(CalcRows(c.rows)) << c.rows[0] << ": " << Error();
        EXPECT_FALSE(ErrorPending()) << c.rows[0] << ": " << Error();
        EXPECT_EQ(TreeText(ExpressionTree), c.tree) << c.rows[0];
    }
}

TEST_F(SheetCalcTest, IntegralErrorAtTheVariablesCell)
{
    ASSERT_TRUE(CalcRows({"  <S/ >2", "y=<S| ><f~ >(x)dx", "  <S\\ >2"}));
    EXPECT_EQ(ErrorCode, 135);
    EXPECT_EQ(ErrorCol, 8);
    EXPECT_EQ(ErrorRow, 1);
    EXPECT_EQ(Error(), "a = b in integral not allowed");
}

TEST_F(SheetCalcTest, MultiResultSheet)
{
    EditText.EqualMode = 1;
    ASSERT_TRUE(CalcRows({"X=5+3=", "", "Y=X*2=", "", "Z=4"})) << Error();
    EXPECT_FALSE(ErrorPending()) << Error();
    EXPECT_EQ(TreeText(SheetDef("X")->Parent->Right), "8");
    EXPECT_EQ(TreeText(SheetDef("Y")->Parent->Right), "16");
    EXPECT_EQ(TreeText(SheetDef("Z")->Parent->Right), "+4");
}

}  // namespace
