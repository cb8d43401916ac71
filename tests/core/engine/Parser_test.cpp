#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Scanner.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct ParserTest : EngineTest {
    TCodeList *tree = nullptr;
    bool Parse(const std::string &items, bool equalMode = false, bool trailing = true)
    {
        EditText.EqualMode = equalMode, LoadStream(items, trailing, equalMode), ClearError();
        return ParserObj.Parse(tree);
    }
    std::string TreeOf(const std::string &items, bool equalMode = false)
    {
        if (!Parse(items, equalMode) || ErrorPending())
            return "error " + std::to_string(ErrorCode);
        EXPECT_EQ(tree, ParserObj.Nodes);
        EXPECT_TRUE(ParentsOk(tree));
        return TreeText(tree);
    }
    // The sheet's definitions, most recent first, with the cell of their result.
    static std::string Defs()
    {
        std::string s;
        for (const TCodeList *d = UserDefs->NextDef; d; d = d->NextDef) {
            const TCodeList *e = d->Parent;
            EXPECT_TRUE(ParentsOk(e));
            s += (s.empty() ? "" : "; ") + TreeText(e) + "@" + std::to_string(e->Col) + "," + std::to_string(e->Row);
        }
        return s;
    }
};

TEST_F(ParserTest, SingleResultShapes)
{
    // clang-format off
    const struct { const char *stream, *tree; } table[] = {
        {"a - b * c + d", "S:+a-(b*c)+d"}, {"a * b * c", "S:+((a*b)*c)"}, {"a / b * c", "S:+((a/b)*c)"},
        {"~0.5 + 5. + 12.25", "S:+0.5+5+12.25"}, {"x ^ - 2 ^!", "S:+(x^-2)"}, {"x ^ a + b ^! * 2", "S:+((x^+a+b)*2)"},
        {"a * x ^ 2 ^!", "S:+(a*(x^+2))"}, {"!s!i!n ( x ) * 2", "S:+(sin((+x))*2)"},
        {"a * !s!i!n ( x ) * b", "S:+((a*sin((+x)))*b)"},
        {"[ a ) ~* { b )", "S:+([+a]*{+b})"}, {"#487 a ) - #490 b )", "S:+{487}+a)-{490}+b)"},
        {"a / < < 1 > | < b + c > >", "S:+(a/g(+(g(+1)|g(+b+c))))"},
        {"2 ~* #470 < x + 1 > >", "S:+(2*root(+2,g(+x+1)))"}, {"#470 x ~* 2", "S:+(root(+2,x)*2)"},
        {"a #32 !M!O!D b", "S:+(a mod b)"}, {"7 #32 !d!i!v 2 * 3", "S:+((7 div 2)*3)"},
        {"a #32 !m!o!d b #32 !D!I!V c", "S:+((a mod b) div c)"}, {"2 + 3 = 5", "+2+3=+5"},
        // a typed index is no numeric index
        {"!x_1_2 + !x_3 + x_1", "S:+x12#12+x3#3+x1"},
        // the group made before an integral sign ends after its variable
        {"( 1 + < #500 ( b ) ( a ) #422 ( < #500 ( 1 ) ( 0 ) #422 ( t ) d t ) d x ) * 3",
         "S:+((+1+g(+int((+b)<(+a)>,f((+g(+int((+1)<(+0)>,f((+t);(d*t)))));(d*x)))))*3)"},
        // the nesting end closes a root's area with no ';' after its last ')'
        {"#470 < x > >", "S:+root(+2,g(+x))"},
        // a call is one operand: what follows it goes on left to right
        {"a / !s!i!n ( x ) * b", "S:+((a/sin((+x)))*b)"}, {"a / !l!n ( x ) ^ 2 ^! / b", "S:+((a/(ln((+x))^+2))/b)"},
        {"#470 !s!i!n ( x ) ~* 2", "S:+(root(+2,sin((+x)))*2)"}, {"!s!i!n ( x ) ^ 2 ^!", "S:+(sin((+x))^+2)"},
        {"a / !s!i!n ( x ) #32 !m!o!d b", "S:+((a/sin((+x))) mod b)"},
        {"a * !l!n ( x ) #32 !D!I!V b * c", "S:+(((a*ln((+x))) div b)*c)"},
        // a power inside the argument, or of a radicand read without a bracket, stays there
        {"!s!i!n ( x ^ 2 ^! )", "S:+sin((+(x^+2)))"}, {"#470 x ^ 2 ^!", "S:+root(+2,(x^+2))"},
        {"#470 !s!i!n ( x ) ^ 2 ^!", "S:+root(+2,(sin((+x))^+2))"},
    };
    // clang-format on
    for (const auto &t : table)
        EXPECT_EQ(TreeOf(t.stream), t.tree) << t.stream;
    // An item that no ';' follows is not read.
    EXPECT_TRUE(Parse("1 + 2", false, false));
    EXPECT_EQ(TreeText(tree), "S:+1+");
}

TEST_F(ParserTest, MultiResultDefinitions)
{
    const struct {
        const char *stream, *defs;
    } table[] = {
        {": X = 5 + 3 @9,0;=", "X=+5+3@9,0"},
        {": a = 1 : b = a + 2 @12,4;=", "b=+a+2@12,4; a=+1@0,0"},
        {": f = ( x * x ) : y = 2 @7,1;=", "y=+2@7,1; f=+(+(x*x))@0,0"},
    };
    for (const auto &t : table) {
        EXPECT_EQ(TreeOf(t.stream, true), "+=+") << t.stream;
        EXPECT_EQ(Defs(), t.defs) << t.stream;
    }
    ASSERT_TRUE(Parse(": a = 1", true));
    const TCodeList *a = UserDefs->NextDef;
    EXPECT_EQ(a->Level + a->Order + a->Parent->Level, 0);
    EXPECT_TRUE(a->Parent->Text() == "=" && a->Owner() == ParserObj.Nodes);
}

TEST_F(ParserTest, Errors)
{
    // clang-format off
    const struct {
        std::string stream;
        bool equalMode, ok;  // ok: what Parse returns
        const char *at;
    } table[] = {
        {"a + #44", false, false, "102@1,1"}, {"~* a", false, true, "110@1,1"},
        {"2 @6,2;( x )", false, false, "110@6,2"}, {"@4,4;( a ]", false, false, "129@4,4"},
        {"@4,4;( a #506", false, false, "129@4,4"},
        // integrals; the sign at (20, 8), the function sign at (21, 8)
        {"@20,8;#500 ( 1 ) ( 0 ) @21,8;#422 x", false, false, "130@21,8"},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) d", false, false, "100@20,8"},
        {"@20,8;#500 ( 1 )", false, false, "100@20,8"}, {"@20,8;#500 ( 1 ) ( 0 ) @21,8;#422", false, false, "100@21,8"},
        {"#500 ( 1 #44 ) ( 0 ) #422 ( x ) d x", false, false, "102@1,1"},
        // a function sign outside an integral
        {"a + @21,8;#422 ( x ) d x + 1", false, false, "130@21,8"}, {"@21,8;#422 ( x ) d x", false, false, "130@21,8"},
        // definitions
        {": @3,0;5 = 3", true, false, "125@3,0"}, {": @3,0;( = 3", true, false, "125@3,0"},
        {"@3,0;:", true, false, "125@3,0"}, {": !s!i!n = 1", true, false, "112@0,0"},
        {": $p = 3", true, false, "112@0,0"}, {": X = 5 + 3 = @11,2;=", true, true, "112@11,2"},
        // items of 146 cells: a number that starts with a point gets a leading '0'
        {"a + @30,9;~0." + std::string(144, '1') + " + b", false, false, "100@30,9"},
        {"@0,0;: @2,2;" + std::string(146, 'x') + " = 1", true, false, "100@2,2"},
        // an operator left without an operand: the first one, at its cell
        {"x = 5 *", false, true, "103@4,5"}, {"x = ( 5 / )", false, true, "103@5,5"},
        {"x = 5 #32 !m!o!d", false, true, "103@5,5"}, {"x = 5 - + 1 -", false, true, "103@7,5"},
        {"- = 9", false, true, "103@1,5"}, {"x = 2 ^ - ^!", false, true, "103@4,5"},
        {"x = ^ 2 ^!", false, true, "103@3,5"}, {"x = ( ) ^ 2 ^!", false, true, "103@4,5"},
        {"x = < < 1 > @9,4;| < > >", false, true, "103@9,4"}, {": X = 5 @6,2;* =", true, true, "103@6,2"},
        // integrals whose integrand is not followed by a delta name, or the delta by an index name
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) 5 x", false, false, "131@20,8"},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) $a x", false, false, "131@20,8"},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) d 5", false, false, "132@20,8"},
    };
    // clang-format on
    for (const auto &t : table) {
        SCOPED_TRACE(t.stream);
        const bool ok = Parse(t.stream, t.equalMode);
        EXPECT_EQ(std::tuple(ok, tree, ErrorAt(), setup.grid.Col()),
                  std::tuple(t.ok, ok ? ParserObj.Nodes : nullptr, std::string(t.at), ErrorCol));
    }
    EXPECT_TRUE(Parse(std::string(145, '7')));  // 145 cells still fit
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(tree->Right->Left->Value, 7.7777777777777777e144);
}

// A power of a call is the power of the call's value, here in radians.
TEST_F(ParserTest, PowersOfCallsCalculate)
{
    const struct {
        const char *stream, *value;  // to 15 digits
    } cases[] = {
        {"x = !l!n ( 10 ) ^ 2 ^!", "5.3018981104784"},
        {"x = !e!x!p ( 1 ) ^ 2 ^!", "7.38905609893065"},
        {"x = !c!o!s ( 2 ) ^ 2 ^! + !s!i!n ( 2 ) ^ 2 ^!", "1"},
        {"x = < #500 ( 1 ) ( 0 ) #422 ( !s!i!n ( x ) ^ 2 ^! ) d x", "0.272676227975868"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(CalcStream(c.stream)) << c.stream;
        const TCodeList *right = ExpressionTree->Right;
        ASSERT_EQ(right->Kind, nkNumber) << c.stream << " " << TreeText(ExpressionTree);
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", right->Value);
        EXPECT_EQ(std::string(text), c.value) << c.stream;
    }
}

TEST_F(ParserTest, DeepNesting)
{
    const int depth = 1900;
    std::string open, close;
    for (int i = 0; i < depth; ++i)
        open += "( ", close += " )";
    ASSERT_TRUE(Parse(open + "x" + close));
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(std::pair(ParserObj.BracketCount, ParserObj.Level), std::pair(depth + 1, 1));
}

}  // namespace
