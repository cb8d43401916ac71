#include <gtest/gtest.h>

#include <string>

#include "CalcThread.h"
#include "Errors.h"
#include "Lists.h"
#include "NumFormat.h"
#include "Parser.h"
#include "Results.h"
#include "Scanner.h"
#include "TreeText.h"

namespace {

struct RepaintCounter : TGridObserver {
    int repaints = 0;
    void GridCellChanged(int, int) override {}
    void GridRepaint() override { ++repaints; }
};

struct ResultsTest : EngineTest {
    void SetUp() override
    {
        EngineTest::SetUp();
        SetFltPlaces(6);
        SetFixPlaces(2);
        SetFltMode(true);
        SetExpMode(false);
        SuspendDraw = false;
    }
    void TearDown() override
    {
        SetFltMode(true);
        SetExpMode(false);
    }
    // The picture on the sheet, the stream parsed (and calculated) as its tree.
    static TCodeList *Load(const std::string &picture, const std::string &items, bool calc = false)
    {
        LoadPicture(EditText, picture);
        LoadStream(items, true, EditText.EqualMode);
        TCodeList *tree = nullptr;
        EXPECT_TRUE(ParserObj.Parse(tree) && !ErrorPending()) << items;
        ExpressionTree = tree;
        if (calc)
            Calculator.Calculate(nullptr);
        return tree;
    }
    static std::string Write(const std::string &picture, const std::string &items, bool calc = false)
    {
        Load(picture, items, calc);
        DisplayResults();
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

TEST_F(ResultsTest, NumbersInEachFormatMode)
{
    const struct {
        bool flt, exp;
        int places;
        const char *items, *mant, *expo;
    } cases[] = {
        {true, false, 6, "2 / 3", "0.666667", ""},
        {false, false, 2, "123.456", "123.46", ""},
        {false, false, 0, "5", "5.", ""},
        {true, false, 6, "- 9.999", "-9.999", ""},
        {true, true, 6, "12345", "12.345", "3"},
        {true, true, 6, "0.5", "500", "-3"},
        {true, false, 6, "0.000000000000000000015", "1.5", "-20"},
        {true, false, 6, "100000000000000000000", "100000000000000", "6"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.items);
        SheetSetup fresh;
        SetFltMode(c.flt);
        c.flt ? SetFltPlaces(c.places) : SetFixPlaces(c.places);
        SetExpMode(c.exp);
        const std::string row = *c.expo ? R(std::string(c.mant) + " 10") + R(c.expo, 'R') : R(c.mant);
        EXPECT_EQ(Write(" 1  +  2", c.items, true), " 1  +  2\n\n" + row + "\n");
        EXPECT_FALSE(ErrorPending());
    }
    // Exponent digits are bare raised result cells.
    const TCell &six = EditText.Cells[18][2];
    EXPECT_EQ(six.Flags(), uint32_t(cfRaised | cfResult));
    EXPECT_EQ(six.SrcCol | six.SrcRow | six.Reserved, 0);
}

TEST_F(ResultsTest, FlatResults)
{
    const struct {
        const char *items, *text;
    } cases[] = {
        // running sums and unknowns
        {"y + 3 + 4", "7+y"},
        {"- y - 7", "-7-y"},
        {"y - 7", "-7+y"},
        {"y", "y"},
        {"- y", "-y"},
        {"3 + y + 4", "7+y"},  // the number 7 with +y at its Right
        // operators as typed
        {"a * b", "a*b"},
        {"a / 2", "a/2"},
        {"a mod 3", "a mod 3"},
        {"sin ( x )", "sin(x)"},
        {"[ a - b )", "[a-b]"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.items);
        SheetSetup fresh;
        EXPECT_EQ(Write(" q", c.items, true), " q\n\n" + R(c.text) + "\n");
    }
}

TEST_F(ResultsTest, Pictures)
{
    const struct {
        const char *what, *picture, *items, *result;
    } cases[] = {
        {"fraction line two longer than its widest part", " a\n--\n b", "< < a + 1 > | < b > >",
         ". * a* +* 1*. *\n--*--*--*--*--*\n. * b*. *. *. *\n"},
        {"nested fractions: the inner line two rows above the outer", " x", "< < < < a > | < b > > > | < c > >",
         "   . * a*. *\n   --*--*--*\n. *. * b*. *. *\n--*--*--*--*--*\n. * c*. *. *. *\n"},
        {"fraction in a denominator, after text", " x", "2 + < < a > | < < < b > | < c > > > >",
         "      . * a*. *. *. *\n 2* +*--*--*--*--*--*\n      . *. * b*. *. *\n         --*--*--*\n"
         "         . * c*. *\n"},
        {"tall bracket inside a fraction", " x", "< < #487 x + 1 ) > | < 2 > >",
         "   (/*         )/*\n   (|* x* +* 1*)|*\n. *(\\*. *. *. *)\\*. *\n--*--*--*--*--*--*--*\n"
         ". * 2*. *. *. *. *. *\n"},
        {"tall bracket around a fraction fits its rows", " x", "#487 < < a > | < b > > )",
         "(/*. * a*. *)/*\n(|*--*--*--*)|*\n(\\*. * b*. *)\\*\n"},
        {"tall bracket without fraction, then an exponent", "(/          )/\n(|  x  +  1 )| ^2\n(\\          )\\",
         "#487 x + 1 ) ^ 2 ^!", "(/*         )/*\n(|* x* +* 1*)|* 2R\n(\\*         )\\*\n"},
        {"an inner power keeps the outer exponent raised", " x", "a ^ 2 ^ 3 ^! + 1 ^!", " a* 2R 3R +R 1R\n"},
        {"fraction after a factor", "       a  +  1\n c -- -- -- -- --\n          b", "c ~* < < a + 1 > | < b > >",
         "      . * a* +* 1*. *\n c* **--*--*--*--*--*\n      . * b*. *. *. *\n"},
        {"unevaluated integral", " x", "#500 ( b ) ( a ) #422 ( x ) d x",
         "?f2 (* a* )*?ae (* b* )*f~* (* x* )* d* ** x*\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SheetSetup fresh;
        const std::string picture = c.picture;
        EXPECT_EQ(Write(picture, c.items), picture + "\n\n" + c.result);
        EXPECT_FALSE(ErrorPending());
        EXPECT_EQ(SheetSetup::beeps, 0);
    }
}

TEST_F(ResultsTest, CursorStateAndRedraw)
{
    // an equation below the input, from the line start
    EXPECT_EQ(Write("       x ^2  =  9\n       +  1", "x ^ 2 ^! = 9", true),
              "       x ^2  =  9\n       +  1\n\n      " + R("x=3") + "\n");
    EXPECT_EQ(setup.grid.Col() * 100 + setup.grid.Row(), 503);
    EXPECT_EQ(EditState, esEditing);
    EXPECT_EQ(FontSet + ScriptLevel, 0);

    SheetSetup fresh;
    RepaintCounter counter;
    fresh.grid.Observer = &counter;
    Load(" a\n--\n b", "< < a + 1 > | < b > >");
    DisplayResults();
    fresh.grid.Observer = nullptr;
    EXPECT_EQ(counter.repaints, 1);
    EXPECT_FALSE(SuspendDraw || fresh.grid.PaintSuspended);
    EXPECT_EQ(FracRight, 4);
    EXPECT_EQ(fresh.grid.Col() * 100 + fresh.grid.Row(), 505);
}

TEST_F(ResultsTest, RootsGetTheirAreas)
{
    // 3-root of (a+b), then +1 behind it.
    TCodeList *tree = Load(" x", "#470 < a + b > > + 1");
    tree->Right->Left->Left->Left->Value = 3;
    DisplayResults();
    EXPECT_EQ(SheetToPicture(EditText), " x\n\n  * 3Rr/*" + R("a+b+1") + "\n");
    EXPECT_EQ(AttrsToText(EditText), "2,2 L1 T2 B2 R2 O01\n3-5,2 N02 O02\n");
    EXPECT_EQ(ScriptLevel, 0);

    // a root without degree over a fraction spans its rows; all it writes are result cells
    SheetSetup fresh;
    tree = Load(" x", "#470 < < < a > | < b > > > >");
    tree->Right->Left->Left = nullptr;
    DisplayResults();
    EXPECT_EQ(AttrsToText(EditText), "0,2 R3\n1-3,2 N02 O02\n0,3 L1 T2 B4 O01\n1-3,3 N02\n0,4 R3\n1-3,4 N02\n");
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 1; r < SheetCells; ++r)
            if (EditText.Cells[c][r].Code() != 0) {
                EXPECT_TRUE(EditText.Cells[c][r].Has(cfResult)) << c << "," << r;
            }
}

TEST_F(ResultsTest, ReducedNodesWriteOnlyTheirValue)
{
    // An integral reduced to 0.5 that kept limits and integrand.
    TCodeList *tree = Load(" x", "#500 ( 1 ) ( 0 ) #422 ( x ) d x ~* y");
    TCodeList *integral = tree->Right->Left->Right;
    ASSERT_EQ(integral->Kind, nkIntegral);
    integral->Kind = nkNumber;
    integral->Value = 0.5;
    DisplayResults();
    EXPECT_EQ(SheetToPicture(EditText), " x\n\n" + R("0.5*y") + "\n");

    // A name keeps the marks it was typed with.
    SheetSetup fresh;
    tree = Load(" q", "a ^ !n ^!");
    TCodeList *power = tree->Right->Left, *n = power->Left->Left;
    power->Left = n;
    n->Parent = power;
    n->Cells[0].SetFlags(cfRaised);
    DisplayResults();
    EXPECT_EQ(SheetToPicture(EditText), " q\n\n a* nR\n");
}

TEST_F(ResultsTest, MultiResultMode)
{
    EditText.EqualMode = 1;
    EXPECT_EQ(Write(" X  =  5  +  3  =\n\n Y  =  X  /  4  =", ": X = 5 + 3 @5,0;= : Y = X / 4 @5,2;=", true),
              " X  =  5  +  3  =  8*\n\n Y  =  X  /  4  =  2*\n");
    SheetSetup fresh;
    EditText.EqualMode = 1;
    EXPECT_EQ(Write(" X  =  y  +  1  =", ": X = y + 1 @5,0;="), " X  =  y  +  1  = " + R("y+1") + "\n");
    SheetSetup fresh2;
    EditText.EqualMode = 1;
    EXPECT_EQ(Write("\n\n X  =  a  /  b  =", ": X = < < a > | < b > > @5,1;="),
              "                  . * a*. *\n X  =  a  /  b  = --*--*--*\n                  . * b*. *\n");
    EXPECT_FALSE(ErrorPending());
}

TEST_F(ResultsTest, NoResultInMultiModeIsError120AtTheSavedCursor)
{
    EditText.EqualMode = 1;
    Load(" X  =  5  +  3", ": X = 5 + 3");
    EditText.SavedCol = 3;
    EditText.SavedRow = 4;
    const SheetBytes before;
    DisplayResults();
    EXPECT_EQ(ErrorCode, 120);
    EXPECT_EQ(ErrorCol * 100 + ErrorRow, 304);
    EXPECT_EQ(setup.grid.Col() * 100 + setup.grid.Row(), 304);
    EXPECT_EQ(Error(), "no result! use format: X=5+3= ! or switch to single mode with < = > button on the tool bar");
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_FALSE(SuspendDraw);
}

TEST_F(ResultsTest, PageFullChangesNothing)
{
    const struct {
        int cols, rows, usedRow;
        bool equalMode;
        const char *picture, *items;
        int col, row;  // of error 109; -1: the result fits
    } cases[] = {
        // 72 rows: a flat result needs its row and the empty row above it,
        // a fraction one row more on each side
        {72, 72, 69, false, " x", "a", -1, 0},
        {72, 72, 70, false, " x", "a", 0, 71},
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
        ClearError();
        EditText.EqualMode = c.equalMode;
        Load(c.picture, c.items);
        if (c.usedRow)
            EditText.UsedRowExt = c.usedRow;
        if (c.equalMode && !*c.picture)
            EditText.Cells[c.col][c.row].Ch = '=';
        const SheetBytes before;
        DisplayResults();
        if (c.col < 0) {
            EXPECT_FALSE(ErrorPending());
            EXPECT_TRUE(EditText.Cells[*c.items == '<' ? 1 : 0][71].Has(cfResult));
        } else {
            EXPECT_EQ(ErrorCode, 109);
            EXPECT_EQ(ErrorCol * 1000 + ErrorRow, c.col * 1000 + c.row);
            if (c.cols == 8) {  // the line would need columns 6..8
                for (int col = 0; col < 8; ++col)
                    for (int row = 0; row < 5; ++row)
                        EXPECT_FALSE(EditText.Cells[col][row].Has(cfFractionLine)) << col << "," << row;
            } else {
                EXPECT_TRUE(SheetBytes() == before);
            }
        }
    }
}

TEST_F(ResultsTest, ResultStopsAtTheLastCellOfTheSheet)
{
    // Nine digits on an eight-column last row: the ninth has no cell.
    for (const char *items : {"12345678", "123456789"}) {
        SheetSetup small(8, 5);
        ClearError();
        EXPECT_EQ(Write(" x\n\n y", items, true), " x\n\n y\n\n" + R("12345678") + "\n");
        EXPECT_EQ(ErrorCode, items[8] ? 109 : 0);
        if (items[8]) {
            EXPECT_EQ(ErrorCol * 100 + ErrorRow, 4);
        }
    }
}

}  // namespace
