#include <gtest/gtest.h>

#include <string>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/NumFormat.h"
#include "engine/Parser.h"
#include "engine/Results.h"
#include "engine/Scanner.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct RepaintCounter : TGridObserver {
    int repaints = 0;
    void GridCellChanged(int, int) override {}
    void GridRepaint() override { ++repaints; }
};

struct ResultsTest : EngineTest {
    void SetUp() override { EngineTest::SetUp(), SetFltPlaces(6), SetFixPlaces(2), TearDown(), SuspendDraw = false; }
    void TearDown() override { SetFltMode(true), SetExpMode(false); }
    // The picture on the sheet, the stream parsed (and calculated) as its tree.
    static TCodeList *Load(const std::string &picture, const std::string &items, bool calc = false)
    {
        LoadPicture(EditText, picture), LoadStream(items, true, EditText.EqualMode);
        TCodeList *tree = nullptr;
        EXPECT_TRUE(ParserObj.Parse(tree) && !ErrorPending()) << items;
        ExpressionTree = tree;
        if (calc)
            Calculator.Calculate(nullptr);
        return tree;
    }
    static std::string Write(const std::string &picture, const std::string &items, bool calc = false)
    {
        Load(picture, items, calc), DisplayResults();
        return SheetToPicture(EditText);
    }
};

// Result cells of a text: " c*" per character; raised ones " cR".
std::string R(const std::string &s, char mark = '*')
{
    std::string out;
    for (char c : s)
        out += std::string(" ") + c + mark;
    return out;
}

TEST_F(ResultsTest, Pictures)
{
    // clang-format off
    const struct { const char *what, *picture, *items; std::string result; bool calc = false; } cases[] = {
        // running sums and unknowns; operators as typed
        {"", " q", "- y - 7", R("-7-y") + "\n", true}, {"", " q", "y - 7", R("-7+y") + "\n", true},
        {"", " q", "y", R("y") + "\n", true}, {"", " q", "- y", R("-y") + "\n", true},
        {"", " q", "a * b", R("a*b") + "\n", true}, {"", " q", "a / 2", R("a/2") + "\n", true},
        {"", " q", "a mod 3", R("a mod 3") + "\n", true}, {"", " q", "sin ( x )", R("sin(x)") + "\n", true},
        {"", " q", "[ a - b )", R("[a-b]") + "\n", true},
        {"fraction in a denominator, after text",
         " x", "2 + < < a > | < < < b > | < c > > > >", "      . * a*. *. *. *\n 2* +*--*--*--*--*--*\n      . *. * b*. *. *\n         --*--*--*\n" "         . * c*. *\n"},
        {"tall bracket inside a fraction",
         " x", "< < #487 x + 1 ) > | < 2 > >", "   (/*         )/*\n   (|* x* +* 1*)|*\n. *(\\*. *. *. *)\\*. *\n--*--*--*--*--*--*--*\n" ". * 2*. *. *. *. *. *\n"},
        {"tall bracket around a fraction fits its rows",
         " x", "#487 < < a > | < b > > )", "(/*. * a*. *)/*\n(|*--*--*--*)|*\n(\\*. * b*. *)\\*\n"},
        {"tall bracket without fraction, then an exponent",
         "(/          )/\n(|  x  +  1 )| ^2\n(\\          )\\", "#487 x + 1 ) ^ 2 ^!", "(/*         )/*\n(|* x* +* 1*)|* 2R\n(\\*         )\\*\n"},
        {"an inner power keeps the outer exponent raised", " x", "a ^ 2 ^ 3 ^! + 1 ^!", " a* 2R 3R +R 1R\n"},
        {"fraction after a factor",
         "       a  +  1\n c -- -- -- -- --\n          b", "c ~* < < a + 1 > | < b > >", "      . * a* +* 1*. *\n c* **--*--*--*--*--*\n      . * b*. *. *. *\n"},
        {"unevaluated integral",
         " x", "#500 ( b ) ( a ) #422 ( x ) d x", "?f2 (* a* )*?ae (* b* )*f~* (* x* )* d* ** x*\n"},
        {"fractions in fractions, side by side in a numerator",
         " x", "< < < < < < a > | < b > > > | < < < c > | < d > > > > > | < < < < < g > | < h > > + < < k > | < m > > > | < s > > > >",
         "      . * a*. *\n      --*--*--*\n   . *. * b*. *. *\n   --*--*--*--*--*\n   . *. * c*. *. *\n      --*--*--*\n"
         ". *. *. * d*. *. *. *. *. *. *. *\n--*--*--*--*--*--*--*--*--*--*--*\n. *. *. * g*. *. *. * k*. *. *. *\n"
         "      --*--*--* +*--*--*--*\n   . *. * h*. *. *. * m*. *. *\n   --*--*--*--*--*--*--*--*--*\n   . * s*. *. *. *. *. *. *. *\n"},
        {"tall bracket around a fraction in a fraction", " x", "#487 < < < < a > | < b > > > | < c > > )",
         "      . * a*. *\n      --*--*--*\n(/*. *. * b*. *. *)/*\n(|*--*--*--*--*--*)|*\n(\\*. * c*. *. *. *)\\*\n"},
        {"tall curly bracket", " x", "#493 a )", "{/*   }/*\n{|* a*}|*\n{\\*   }\\*\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.what) + c.items);
        SheetSetup fresh;
        const std::string picture = c.picture;
        EXPECT_EQ(Write(picture, c.items, c.calc), picture + "\n\n" + c.result);
        EXPECT_TRUE(!ErrorPending() && SheetSetup::beeps == 0);
    }
    // Exponent digits are bare raised result cells.
    SheetSetup fresh;
    Write(" q", "100000000000000000000", true);
    const TCell &six = EditText.Cells[18][2];
    EXPECT_EQ(std::pair(six.Flags(), six.SrcCol | six.SrcRow | six.Reserved),
              std::pair(uint32_t(cfRaised | cfResult), 0));
    EXPECT_EQ(EditText.UsedColExt * 100 + EditText.UsedRowExt, 1802);  // the sheet's extent takes them in
}

TEST_F(ResultsTest, CursorStateAndRedraw)
{
    // an equation below the input, from the line start
    EXPECT_EQ(Write("       x ^2  =  9\n       +  1", "x ^ 2 ^! = 9", true),
              "       x ^2  =  9\n       +  1\n\n      " + R("x=3") + "\n");
    EXPECT_EQ(setup.grid.Col() * 100 + setup.grid.Row(), 503);
    EXPECT_TRUE(EditState == esEditing && FontSet + ScriptLevel == 0);

    SheetSetup fresh;
    RepaintCounter counter;
    fresh.grid.Observer = &counter, Load(" a\n--\n b", "< < a + 1 > | < b > >"), DisplayResults();
    fresh.grid.Observer = nullptr;
    EXPECT_FALSE(SuspendDraw || fresh.grid.PaintSuspended);
    EXPECT_EQ(std::tuple(counter.repaints, FracRight, fresh.grid.Col(), fresh.grid.Row()), std::tuple(1, 4, 5, 5));
}

TEST_F(ResultsTest, RootsGetTheirAreas)
{
    // 3-root of (a+b), then +1 behind it.
    TCodeList *tree = Load(" x", "#470 < a + b > > + 1");
    tree->Right->Left->Left->Left->Value = 3, DisplayResults();
    EXPECT_EQ(SheetToPicture(EditText), " x\n\n  * 3Rr/*" + R("a+b+1") + "\n");
    EXPECT_EQ(AttrsToText(EditText), "2,2 L1 T2 B2 R2 O01\n3-5,2 N02 O02\n");
    EXPECT_EQ(ScriptLevel, 0);

    // a root without degree over a fraction spans its rows; all it writes are result cells
    SheetSetup fresh;
    tree = Load(" x", "#470 < < < a > | < b > > > >"), tree->Right->Left->Left = nullptr, DisplayResults();
    EXPECT_EQ(AttrsToText(EditText), "0,2 R3\n1-3,2 N02 O02\n0,3 L1 T2 B4 O01\n1-3,3 N02\n0,4 R3\n1-3,4 N02\n");
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 1; r < SheetCells; ++r)
            EXPECT_TRUE(EditText.Cells[c][r].Code() == 0 || EditText.Cells[c][r].Has(cfResult)) << c << "," << r;
}

TEST_F(ResultsTest, PageFullChangesNothing)
{
    const struct {
        int cols, rows, usedRow;
        bool equalMode;
        const char *picture, *items;
        int col, row;  // of error 109; -1: the result fits
    } cases[] = {
        // 72 rows: a fraction needs one row more on each side than a flat result
        {72, 72, 67, false, " x", "< < a > | < b > >", -1, 0},
        {72, 72, 68, false, " x", "< < a > | < b > >", 0, 71},
        // a trailing '=' in the last column
        {72, 72, 0, true, "", ": X = 8 @71,3;=", 71, 3},
        {145, 72, 0, true, "", ": X = 8 @144,3;=", 144, 3},
        // a fraction above the first row or past the right edge
        {72, 72, 0, true, " X  =  a  /  b  =", ": X = < < a > | < b > > @5,0;=", 5, 0},
        {8, 5, 0, true, "\n\n\n X  =  a  /  b  =", ": X = < < a > | < b > > @5,2;=", 5, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.items);
        SheetSetup fresh(c.cols, c.rows);
        ClearError(), EditText.EqualMode = c.equalMode, Load(c.picture, c.items);
        if (c.usedRow)
            EditText.UsedRowExt = c.usedRow;
        if (c.equalMode && !*c.picture)
            EditText.Cells[c.col][c.row].Ch = '=';
        const SheetBytes before;
        DisplayResults();
        const std::string error = c.col < 0 ? "" : "109@" + std::to_string(c.col) + "," + std::to_string(c.row);
        EXPECT_EQ(std::pair(SuspendDraw, ErrorPending() ? ErrorAt() : ""), std::pair(false, error));
        EXPECT_TRUE(c.col >= 0 || EditText.Cells[1][71].Has(cfResult));
        EXPECT_TRUE(c.col < 0 || SheetBytes() == before);
        for (int col = 0; c.cols == 8 && col < 8; ++col)  // the line would need columns 6..8
            for (int row = 0; row < 5; ++row)
                EXPECT_FALSE(EditText.Cells[col][row].Has(cfFractionLine)) << col << "," << row;
    }
}

TEST_F(ResultsTest, ResultStopsAtTheLastCellOfTheSheet)
{
    // nine digits on an eight-column last row: the ninth has no cell, and no cut number stays behind
    for (const char *items : {"12345678", "123456789"}) {
        SheetSetup small(8, 5);
        ClearError();
        EXPECT_EQ(Write(" x\n\n y", items, true), " x\n\n y\n" + (items[8] ? "" : "\n" + R("12345678") + "\n"));
        EXPECT_EQ(ErrorPending() ? ErrorAt() : "", items[8] ? "109@0,4" : "");
    }
}

// A result that runs out of room is taken back to the byte, both layers and the used extent, whatever it
// wrote on the way: line cells and their marks, bracket pieces, root areas; and whatever it changed of the user's
// structure (a column opened, a bracket's pieces erased, a root area cleared or renumbered).
TEST_F(ResultsTest, PageFullTakesBackEveryLayer)
{
    const struct {
        const char *what;
        int cols, rows;
        bool equalMode;
        const char *picture, *items, *error;
        int rootCol = -1, rootRow = 0, areaEnd = 0;  // a root area the user made
    } cases[] = {
        {"a root area, then the sheet ends", 10, 3, false, " x", "#470 < a + b > > + 12345678", "109@0,2"},
        {"a root over a fraction", 12, 5, false, " x", "#470 < < < a > | < b > > > > + 12345678", "109@0,4"},
        {"a root over a tall bracket", 12, 5, false, " x", "#470 < #487 x + 1 ) > > + 12345678", "109@0,4"},
        {"fraction lines", 10, 5, false, " x", "< < a > | < b > > + 12345678", "109@0,4"},
        {"a tall bracket in a fraction", 10, 5, false, " x", "< < #487 x + 1 ) > | < 2 > > + 12345678", "109@0,4"},
        {"a tall bracket in the last column", 5, 5, false, " x", "#487 x + 1 ) + 5", "109@0,4"},
        {"a fraction line overwritten", 10, 3, true,
         "                   a\n X  =          -- -- --\n                   b", ": X = 12345678 @1,1;=", "109@1,1"},
        {"a column opened under a numerator beside", 10, 5, true,
         " \n X  =              a\n               -- -- --\n                   b", ": X = 12345678 @1,1;=", "109@1,1"},
        {"a tall bracket overwritten", 10, 3, true, "               (/\n X  =          (|\n               (\\",
         ": X = 12345678 @1,1;=", "109@1,1"},
        {"a root sign overwritten", 10, 3, true, " \n X  =          r/  a  b", ": X = 12345678 @1,1;=", "109@1,1", 5, 1,
         7},
        {"a root inside the user's area", 10, 2, true, " \nr/  X  =", ": X = #470 < a > > + 12345678 @2,1;=", "109@2,1",
         0, 1, 9},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SheetSetup fresh(c.cols, c.rows);
        ClearError(), EditText.EqualMode = c.equalMode, Load(c.picture, c.items);
        if (c.rootCol >= 0) {
            EditText.UsedColExt = c.areaEnd;
            EditText.SelCol = c.rootCol, EditText.SelRow = c.rootRow;
            EditText.Selection = {c.rootCol, c.rootRow, c.areaEnd, c.rootRow};
            EditText.SetRootRange();
            ASSERT_NE(EditText.Attrs[c.rootCol][c.rootRow].RootLevel, 0);
        }
        const SheetBytes before;
        const int usedCol = EditText.UsedColExt, usedRow = EditText.UsedRowExt;
        DisplayResults();
        EXPECT_EQ(ErrorPending() ? ErrorAt() : "", c.error);
        EXPECT_TRUE(SheetBytes() == before) << SheetToPicture(EditText) << AttrsToText(EditText);
        EXPECT_EQ(std::pair(EditText.UsedColExt, EditText.UsedRowExt), std::pair(usedCol, usedRow));
    }
}

}  // namespace
