// The whole calculate road, headless: a sheet goes in, the calculate command
// routes, scans, parses, rearranges, evaluates and writes, and the sheet and
// the status line come out.
//
// A case is a list of rows. Left of the first '|' a row holds the input in
// the one-character form of EngineSheets.h; right of it the result cells the
// calculation must add: any character is a result cell, '~' an empty result
// mark, '#' a result fraction line, '_' a written blank, '^c' a raised result
// character, "<kcm>" one cell in SheetPicture's form, ' ' no cell.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/NumFormat.h"
#include "engine/Rebuilder.h"
#include "shell/CalcCommand.h"
#include "support/EngineSheets.h"
#include "support/QuietWindow.h"
#include "worksheet/Edit.h"

namespace {

using Rows = std::vector<std::string>;

// Position of the '|' that ends the input part, skipping "<kcm>" escapes.
size_t Split(const std::string &row)
{
    for (size_t i = 0; i < row.size(); i += row[i] == '<' ? 5 : 1)
        if (row[i] == '|')
            return i;
    return std::string::npos;
}

std::string ResultCells(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '<')
            out += s.substr(i + 1, 3), i += 4;
        else if (c == '^')
            out += std::string(" ") + s[++i] + "R";
        else
            out += c == ' '   ? "   "
                   : c == '~' ? ". *"
                   : c == '#' ? "--*"
                   : c == '_' ? "  *"
                              : std::string(" ") + c + "*";
    }
    return out;
}

std::string Expected(const Rows &rows)
{
    std::string out;
    for (const std::string &row : rows) {
        const size_t bar = Split(row);
        std::string line = bar ? ExpandRow(row.substr(0, bar)) : "";  // ExpandRow makes "" one blank cell
        line += bar == row.npos ? "" : ResultCells(row.substr(bar + 1));
        out += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    return out;
}

std::string Error(const std::string &message)
{
    return "  ERROR : " + message + "\r";
}

struct Case {
    const char *what;
    Rows rows;
    int rootEnd = -1;  // last column of the area of the root sign in the input
};

struct ErrorCase {
    const char *message;
    Rows rows;
    int col, row;
    int mode = 0;  // 1: implicit '*' off, 2: multi-result mode
};

struct RoadTest : ::testing::Test {
    SheetSetup setup;
    QuietWindow window;
    TCalcCommand cmd{window};
    TCodeList *ownTree = ExpressionTree;

    void SetUp() override
    {
        InitErrorTexts();
        SetFltPlaces(6);
        SetFixPlaces(2);
        TearDown();
    }
    void TearDown() override
    {
        ExpressionTree = ownTree;
        SetFltMode(true);
        SetExpMode(false);
        ClearError();
        RearrangeOnly = false;
    }
    std::pair<int, int> Cursor() const { return {setup.grid.Col(), setup.grid.Row()}; }
    void Cursor(int col, int row) { setup.grid.SetCol(col), setup.grid.SetRow(row); }

    // A fresh sheet with the input parts of the rows, the cursor at 5, 1.
    void Load(const Rows &rows, int rootEnd = -1)
    {
        EditText.Clear(setup.grid);
        std::memset(static_cast<void *>(EditText.Cells), 0, sizeof EditText.Cells);
        std::memset(static_cast<void *>(EditText.Attrs), 0, sizeof EditText.Attrs);
        EditText.UsedColExt = EditText.UsedRowExt = 0;
        ClearError();
        Rows input;
        for (const std::string &r : rows)
            input.push_back(r.substr(0, Split(r)));
        LoadRows(input);
        if (rootEnd >= 0)
            RootArea(rootEnd);
        Cursor(5, 1);
        window.status.clear(), window.trace.clear();
        SheetSetup::beeps = 0;
    }
    // Gives the sheet's root sign its area up to column last on its row.
    void RootArea(int last)
    {
        for (int c = 0; c < SheetCells; ++c)
            for (int r = 0; r < SheetCells; ++r)
                if (EditText.Cells[c][r].Code() == scRootSign) {
                    EditText.SelCol = c, EditText.SelRow = r;
                    EditText.Selection = {c, r, last, r};
                    EditText.SetRootRange();
                    return;
                }
        FAIL() << "no root sign";
    }
    void ExpectReady(const Case &c)
    {
        EXPECT_EQ(SheetToPicture(EditText), Expected(c.rows)) << c.what;
        EXPECT_EQ(window.status, "  ready") << c.what << ": " << window.status;
        EXPECT_EQ(Cursor(), std::pair(5, 1)) << c.what;
    }
    // The status line names the error, the cursor stands on its cell, and
    // nothing was written; a beep at least once.
    void ExpectErrors(const std::vector<ErrorCase> &cases)
    {
        for (const ErrorCase &c : cases) {
            Load(c.rows);
            EditText.ImplicitMult = c.mode != 1;
            EditText.EqualMode = c.mode == 2;
            Cursor(9, 8);
            const std::string before = SheetToPicture(EditText);
            cmd.PRButtonEnterClick();
            EXPECT_EQ(window.status, Error(c.message)) << c.rows[0];
            EXPECT_EQ(Cursor(), std::pair(c.col, c.row)) << c.message << ": " << c.rows[0];
            EXPECT_GE(SheetSetup::beeps, 1) << c.rows[0];
            EXPECT_EQ(SheetToPicture(EditText), before) << c.rows[0];
        }
    }
    // F8 on each case, or F9 with rearrangeOnly; multi-result mode with equalMode.
    void Run(const std::vector<Case> &cases, bool equalMode = false, bool rearrangeOnly = false)
    {
        for (const Case &c : cases) {
            Load(c.rows, c.rootEnd);
            EditText.EqualMode = equalMode;
            rearrangeOnly ? cmd.RearrangeOnlyClick() : cmd.PRButtonEnterClick();
            ExpectReady(c);
            EXPECT_FALSE(RearrangeOnly) << c.what;
        }
    }
};

// An integral from lower to upper of body dx, read into y; definitions
// follow, one block each, then the expected result row.
Rows Integral(const std::string &lower, const std::string &upper, const std::string &body, Rows defs,
              const std::string &result)
{
    Rows rows = {"  <S/ >" + upper, "y=<S| ><f~ >(" + body + ")dx", "  <S\\ >" + lower};
    for (const std::string &d : defs)
        rows.insert(rows.end(), {"", d});
    if (!result.empty())
        rows.insert(rows.end(), {"", "|y=" + result});
    return rows;
}

// Empty rows above the row text.
Rows AtRow(int row, const std::string &text)
{
    Rows rows(row, "");
    rows.push_back(text);
    return rows;
}

TEST_F(RoadTest, SingleResultEquations)
{
    Run({
        {"sum and product", {"2+3*4", "", "|14"}},
        {"equation", {"x=2*3-1", "", "|x=5"}},
        {"flat division", {"x=6/4", "", "|x=1.5"}},
        {"power to the end of the route", {"x=2<^1 ><^0 >", "", "|x=1024"}},
        {"power then a term", {"x=2<^3 >+1", "", "|x=9"}},
        {"root over its area", {"x=<r/ >16+1", "", "|x=5"}, 4},
        {"bracket", {"x=2(3+4)", "", "|x=14"}},
        {"brackets side by side", {"x=(1+2)(3+4)", "", "|x=21"}},
        {"fraction reduced", {"   6", "x=###", "   4", "", "|x=1.5"}},
        {"nested fractions kept",
         {"    a", "   ###", "    b", "x=#####", "    c", "", "   |~a~", "   |###", "  |~~b~~", "|x=#####",
          "  |~c~~~"}},
        {"fraction kept in two dimensions", {"   a+1", "x=#####", "   2", "", "  |~1+a~", "|x=#####", "  |~2~~~"}},
        {"power peeled", {"x<^2 >=9", "", "|x=3"}},
        {"power, then bracket peeled", {"(x+1)<^2 >=9", "", "|1+x=3"}},
        {"root peeled", {"<r/ >x=3", "", "|x=9"}, 1},
        {"lone minus", {"-x=5", "", "|x=-5"}},
        {"lone minus with a sum", {"-x+3=5", "", "|-3+x=-5"}},
        {"minus before a bracket", {"-(x+3)=5", "", "|3+x=-5"}},
        {"product not rearranged", {"2x=8", "", "|2*x=8"}},
        {"unknown in a sum", {"3+y+4", "", "|7+y"}},
        {"unknown first", {"y+3+4", "", "|7+y"}},
        {"unknown subtracted", {"x=5-y", "", "|x=5-y"}},
        {"mod", {"x=7< mn>< on>< dn>3", "", "|x=1"}},
        {"mod of a negative", {"x=(-7)< mn>< on>< dn>3", "", "|x=-1"}},
        {"div truncates first", {"x=7.9< Dn>< In>< Vn>2", "", "|x=3"}},
        {"definition used later", {"y=2a", "", ":a=3", "", "|y=6"}},
        {"definitions used before their lines, twice", {"x=b+b", "", ":a=4", "", ":b=a*a", "", "|x=32"}},
        {"definition that does not reduce", {"x=2a", "", ":a=y+1", "", "|x=2*a"}},
        {"pi and e", {"x=2<$p >+e", "", "|x=9.00147"}},
        {"empty right side", {"x=", "", "|x="}},
        {"result on the last row",
         [] {
             Rows r = AtRow(69, "1+1");
             r.insert(r.end(), {"", "|2"});
             return r;
         }()},
        {"line start passes over a colon", {"  y=2a", ":a=3", "", " |y=6"}},
        {"indented input", {"", "   x=1+1", "", "   |x=2"}},
        {"lowered index", {"x<_1 >=2", "", "|x< 1L>=2"}},
        {"sine in degrees", {"x=< sn>< in>< nn>(30)", "", "|x=0.5"}},
        {"large result", {"x=10<^1 ><^0 ><^0 >", "", "|x=100000000000000_10^8^6"}},
        {"tall bracket peeled", {"<(/ >   <)/ >", "<(| >x+1<)| ><^2 >=9", "<(\\ >   <)\\ >", "", "|1+x=3"}},
    });
}

TEST_F(RoadTest, RearrangeOnlyShowsTheEquationUnevaluated)
{
    Run(
        {
            {"power", {"x<^2 >=9", "", "|x=_^2<r/*>(9)"}},
            {"root", {"<r/ >x=3", "", "|x=(3)^2"}, 1},
            {"lone minus", {"-x=5", "", "|x=-5"}},
            {"cube", {"x<^3 >=8", "", "|x=_^3<r/*>(8)"}},
            {"power, then bracket", {"(x+1)<^2 >=9", "", "|x+1=_^2<r/*>(9)"}},
            {"root, then its area", {"<r/ >x+1=3", "", "|x+1=(3)^2"}, 3},
            {"minus before a bracket", {"-(x+3)=5", "", "|-x-3=5"}},
            {"nothing to peel", {"x=2<^3 >", "", "|x=2^3"}},
            {"product", {"2x=3+5", "", "|2*x=3+5"}},
        },
        false, true);
    // The request lasts one command: F8 then evaluates below the F9 result.
    cmd.PRButtonEnterClick();
    ExpectReady({"F8 after F9", {"2x=3+5", "", "|2*x=3+5", "", "|2*x=8"}});
}

TEST_F(RoadTest, RearrangeOnlyEndsWithAFailedScan)
{
    Load({"x<^2 >=9,"});
    cmd.RearrangeOnlyClick();
    EXPECT_EQ(window.status, Error("unknow symbol"));
    EXPECT_FALSE(RearrangeOnly);
    EditText.Cells[4][0].Zero();
    Cursor(5, 1);
    cmd.PRButtonEnterClick();
    ExpectReady({"F8", {"x<^2 >=9", "", "|x=3"}});
}

TEST_F(RoadTest, MixedFractionAddsTheWholeNumber)
{
    Load({"    1", "x=3###", "    2"});
    EditText.ImplicitMult = 0;
    EditText.MixedFraction = 1;
    cmd.PRButtonEnterClick();
    ExpectReady({"3 1/2", {"    1", "x=3###", "    2", "", "|x=3.5"}});
}

TEST_F(RoadTest, MultiResultWritesAfterEachSecondEquals)
{
    Run(
        {
            {"sums and a name", {"X=5+3=|8", "", "Y=X*2=|16"}},
            {"unknown", {"X=y+1=|1+y"}},
            {"typed colon", {":X=5+3=|8"}},
            {"raised exponent", {"X=10<^2 ><^0 >=|100000000000000_10^6"}},
            {"integral", {"  <S/ >1", "Y=<S| ><f~ >(x)dx=|0.5", "  <S\\ >0"}},
            {"line without a second '=' used by another", {"X=5+3", "", "Y=X*2=|16"}},
            {"fraction around the '=' row", {"   a  |~a~", "X=###=|###", "   b  |~b~"}},
        },
        true);
    // F9 only rearranges in single-result mode.
    Run({{"F9", {"X=5+4=|9", "", "Y=X+1=|10"}}}, true, true);
}

TEST_F(RoadTest, MultiResultRootComesBackWhole)
{
    Load({"X=<r/ >y="}, 3);
    EditText.EqualMode = 1;
    cmd.PRButtonEnterClick();
    ExpectReady({"first run", {"X=<r/ >y=|_^2<r/*>y"}});
    const std::string attrs = AttrsToText(EditText);
    cmd.PRButtonEnterClick();
    ExpectReady({"second run", {"X=<r/ >y=|_^2<r/*>y"}});
    EXPECT_EQ(AttrsToText(EditText), attrs);
}

TEST_F(RoadTest, MultiResultRemovesTheLastResultsFirst)
{
    Load({"X=5+7=", "", "Y=X*2="});
    EditText.EqualMode = 1;
    cmd.PRButtonEnterClick();
    ExpectReady({"first run", {"X=5+7=|12", "", "Y=X*2=|24"}});
    EditText.Cells[4][0].Ch = '3';
    cmd.PRButtonEnterClick();
    ExpectReady({"second run", {"X=5+3=|8", "", "Y=X*2=|16"}});

    // No '=' takes a result: the old ones still go, error 120 at the cursor.
    EditText.Cells[5][0].Zero();
    EditText.Cells[5][2].Zero();
    Cursor(4, 6);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(SheetToPicture(EditText), Expected({"X=5+3", "", "Y=X*2"}));
    EXPECT_EQ(window.status, Error("no result! use format: X=5+3= ! or switch to single mode with < = > button "
                                   "on the tool bar"));
    EXPECT_EQ(Cursor(), std::pair(4, 6));
}

TEST_F(RoadTest, NumberFormats)
{
    struct Format {
        bool flt, exp;
        int places;
        const char *input, *result;
    };
    const Format formats[] = {
        {true, false, 6, "x=2/3", "x=0.666667"},
        {true, false, 6, "x=1234567.891", "x=1234568"},
        {true, false, 6, "x=0.000123", "x=0.000123"},
        {true, false, 6, "x=100000000000000000000", "x=100000000000000_10^6"},
        {true, false, 6, "x=0.000000000000000000015", "x=1.5_10^-^2^0"},
        {true, false, 1, "x=25.5", "x=26"},
        {false, false, 2, "x=2/3", "x=0.67"},
        {false, false, 2, "x=-9.999", "x=-10.00"},
        {false, false, 0, "x=5", "x=5."},
        {false, false, 0, "x=5.7", "x=6"},
        {true, true, 6, "x=12345", "x=12.345_10^3"},
        {true, true, 6, "x=2/3", "x=666.667_10^-^3"},
        {false, true, 2, "x=999.999", "x=1000.00"},
        {false, true, 2, "x=0.000123", "x=123.00_10^-^6"},
        {true, true, 6, "x=-0.5", "x=-500_10^-^3"},
    };
    for (const Format &f : formats) {
        SetFltMode(f.flt);
        f.flt ? SetFltPlaces(f.places) : SetFixPlaces(f.places);
        SetExpMode(f.exp);
        Load({f.input});
        cmd.PRButtonEnterClick();
        ExpectReady({f.input, {f.input, "", std::string("|") + f.result}});
    }
}

TEST_F(RoadTest, ScanTraceThenReady)
{
    const struct {
        Rows rows;
        std::string tokens;
    } traces[] = {
        {{"x<^2 >+1"}, ";x;^;2;^;+;1;"},
        // the line end, the route's last cell, is met again: no closing ';'
        {{" 1", "###", " 2"}, ";(;(;1;);\xBE;(;2;);)"},
    };
    for (const auto &t : traces) {
        Load(t.rows);
        cmd.PRButtonEnterClick();
        EXPECT_EQ(window.trace, "Scan Grid to Stream\n" + t.tokens + '\0');
        EXPECT_EQ(window.status, "  ready");
    }
}

TEST_F(RoadTest, EveryErrorWithItsCell)
{
    ExpectErrors({
        {"wrong dot position", {"x=1.2.3"}, 5, 0},
        {"unknow symbol", {"x=2,3"}, 3, 0},
        {"operator not allowed here", {"x=5*-3"}, 4, 0},
        {"operator not allowed here", {"*5"}, 0, 0},
        {"subscript not allowed here", {"x=<_1 >"}, 2, 0},
        {"await operator", {"x=2y"}, 3, 0, 1},
        {"colon only allowd in first column", {"x=1:"}, 3, 0},
        {"page full", AtRow(70, "1+1"), 0, 71},
        {"syntax error", {"x=("}, 2, 0},
        {"syntax error", {"x=< mn>< on>< dn>3"}, 1, 1},
        {"fraction line to short", {" a", " ##", " b"}, 1, 1},
        {"illegal assignment", {"x=1=2"}, 3, 0},
        {"illegal assignment", {":a=1", "", ":a=2"}, 0, 0},
        {"value out of range", {"x=< an>< rn>< cn>< sn>< in>< nn>(2)"}, 1, 1},
        {"root of negative value not possible", {"x<^2 >=-9"}, 1, 1},
        {"root of negative value not possible", {"x=(-2)<^0 >"}, 1, 1},
        {"Invalid floating point operation", {"x=(-2)<^1 ><^. ><^5 >"}, 9, 8},
        // the walk goes on: the last error stands
        {"root of negative value not possible", {"x=1/0+(-2)<^0 >"}, 1, 1},
        {"circular reference to variable", {"x=a", "", ":a=a+1"}, 0, 0},
        {"no result! use format: X=5+3= ! or switch to single mode with < = > button on the tool bar",
         {"X=5+3"},
         9,
         8,
         2},
        {"await simple variable", {"x=1", "", ":a+1"}, 1, 2},
        {"close bracket error", {"x=(a]"}, 4, 0},
        {"Floating point division by zero", {"x=1/0"}, 9, 8},
        {"Floating point overflow", {"x=10<^4 ><^0 ><^0 >"}, 9, 8},
    });
}

TEST_F(RoadTest, StreamFullIsReportedAtItsCell)
{
    // One-letter names: 4 tokens a cell, so the 2001st cell of the route
    // (column 33, row 20) cannot take the ';' of token 8000.
    Rows rows(60, std::string(72, 'a'));
    Load(rows);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(window.status, Error("out of stream memory"));
    EXPECT_EQ(Cursor(), std::pair(33, 20));
}

TEST_F(RoadTest, Integrals)
{
    Run({
        {"exact for a straight line, 360 steps", Integral("0", "1", "x", {}, "0.5")},
        {"the default count is 360", Integral("0", "1", "xx", {}, "0.333335")},
        {"a given count", Integral("1", "3", "2x+1", {":d=7"}, "10")},
        {"a negative count walks down", Integral("0", "1", "x", {":d=-360"}, "-0.5")},
        {"a count that does not divide", Integral("0", "1", "xx", {":d=2.5"}, "0.356")},
        {"a definition computed at each step", Integral("0", "1", "f", {":f=(2x)", ":d=4"}, "1")},
        // The group opened before an integral sign ends with the integral: what follows it stays outside.
        {"term after", {"   <S/ >1", "y=2<S| ><f~ >(x)dx+1", "   <S\\ >0", "", "|y=2"}},
        {"inside a bracket", {"      <S/ >1", "y=(1+<S| ><f~ >(x)dx)*3", "      <S\\ >0", "", "|y=4.5"}},
        {"nested", {"  <S/ >1 <S/ >1", "y=<S| ><f~ >(<S| ><f~ >(xt)dt)dx", "  <S\\ >0 <S\\ >0", "", "|y=0.25"}},
    });
}

TEST_F(RoadTest, IntegralErrors)
{
    ExpectErrors({
        {"missing integral parameter <a>", Integral("", "1", "x", {}, ""), 2, 1},
        {"missing integral parameter <b>", Integral("0", "", "x", {}, ""), 2, 1},
        {"await function", {"  <S/ >1", "y=<S| >(x)dx", "  <S\\ >0"}, 3, 1},
        {"await (", {"  <S/ >1", "y=<S| ><f~ >xdx", "  <S\\ >0"}, 4, 1},
        {"missing integral delta variable", {"  <S/ >1", "y=<S| ><f~ >(x)+x", "  <S\\ >0"}, 7, 1},
        {"missing integral index variable", {"  <S/ >1", "y=<S| ><f~ >(x)d+", "  <S\\ >0"}, 8, 1},
        {"variable name double defined", Integral("0", "1", "x", {":x=2"}, ""), 8, 1},
        {"variable name double defined",
         {"  <S/ >1      <S/ >1", "y=<S| ><f~ >(x)dx+<S| ><f~ >(x)dx", "  <S\\ >0      <S\\ >0"},
         16,
         1},
        {"missing open bracket", Integral("0", "1", "f", {":f=xx"}, ""), 2, 4},
        {"a > b in integral not allowed", Integral("3", "2", "x", {}, ""), 8, 1},
        {"a = b in integral not allowed", Integral("2", "2", "x", {}, ""), 8, 1},
        {"d > 1000000 in integral not allowed", Integral("0", "1", "x", {":d=2000000"}, ""), 8, 1},
        // Errors at an integral's or function sign's node show the sign's cell.
        {"error in integral function", Integral("0", "1", "xz", {}, ""), 3, 1},  // the body has no value to sum
        // a step too small to move x
        {"a=b in integral not allowed", Integral("100000000000000000000", "100000000000000100000", "x", {}, ""), 2, 1},
    });
}

}  // namespace
