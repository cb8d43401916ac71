#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "Errors.h"
#include "Lists.h"
#include "NumFormat.h"
#include "Parser.h"
#include "Results.h"
#include "Router.h"
#include "Scanner.h"
#include "SheetPicture.h"

namespace {

// Counts what the grid asks its widget to redraw.
struct RepaintCounter : TGridObserver {
    int repaints = 0;
    int cells = 0;
    void GridCellChanged(int, int) override { ++cells; }
    void GridRepaint() override { ++repaints; }
};

struct ResultsTest : ::testing::Test {
    SheetSetup setup;
    ResultsTest() : ResultsTest(72, 72) {}
    ResultsTest(int cols, int rows) : setup(cols, rows) {}

    void SetUp() override
    {
        ClearError();
        ExpressionTree->Clear();
        SetFltPlaces(6);
        SetFixPlaces(2);
        SetFltMode(true);
        SetExpMode(false);
        SuspendDraw = false;
    }
    void TearDown() override
    {
        ExpressionTree->Clear();
        SetFltMode(true);
        SetExpMode(false);
        ClearError();
    }

    // --- tree builders (first operand at Right, second at Left)
    static TCodeList *Node(TNodeKind kind, const std::string &text = "", uint32_t flags = 0)
    {
        TCodeList *n = ExpressionTree->NewNode();
        n->Kind = kind;
        for (char c : text) {
            TCell cell;
            cell.Ch = uint8_t(c);
            cell.SetFlags(flags);
            n->AddCell(cell);
        }
        return n;
    }
    static TCodeList *Hang(TCodeList *n, TCodeList *left, TCodeList *right)
    {
        n->Left = left;
        n->Right = right;
        if (left)
            left->Parent = n;
        if (right)
            right->Parent = n;
        return n;
    }
    static TCodeList *Num(double v)
    {
        TCodeList *n = Node(nkNumber);
        n->Value = v;
        n->NodeFlags.Include(nfValueKnown);
        return n;
    }
    static TCodeList *Name(const std::string &s, uint32_t flags = 0) { return Node(nkName, s, flags); }
    static TCodeList *Term(TNodeKind kind, TCodeList *factor, TCodeList *rest = nullptr, double sum = 0)
    {
        TCodeList *t = Hang(Node(kind, kind == nkMinus ? "-" : "+"), factor, rest);
        t->Value = sum;
        return t;
    }
    static TCodeList *Op(TNodeKind kind, const std::string &text, TCodeList *a, TCodeList *b)
    {
        return Hang(Node(kind, text), b, a);
    }
    // A fraction line: numerator and denominator each in a bracket the scanner made.
    static TCodeList *Frac(TCodeList *num, TCodeList *den)
    {
        TCodeList *n = Op(nkDivide, "/", AreaBracket(AsTerm(num)), AreaBracket(AsTerm(den)));
        n->NodeFlags.Include(nfStructure);
        return n;
    }
    static TCodeList *AsTerm(TCodeList *n)
    {
        return n->Kind == nkPlus || n->Kind == nkMinus ? n : Term(nkPlus, n);
    }
    static TCodeList *Bracket(TCodeList *inside, uint8_t ch = '(', uint32_t flags = 0)
    {
        TCodeList *b = Node(nkBracket);
        TCell cell;
        cell.Ch = ch;
        cell.SetFlags(flags);
        b->AddCell(cell);
        return Hang(b, nullptr, inside);
    }
    // The upper limit's bracket with the lower limit's bracket at its Left.
    static TCodeList *Limits(TCodeList *lower, TCodeList *upper)
    {
        TCodeList *b = Bracket(Term(nkPlus, upper));
        b->Left = Bracket(Term(nkPlus, lower));
        b->Left->Parent = b;
        return b;
    }
    static TCodeList *TallParen(TCodeList *inside) { return Bracket(inside, 231, cfSymbolFont | cfTallBracket); }
    static TCodeList *AreaBracket(TCodeList *inside) { return Bracket(inside, '(', cfNestingToken); }

    // Single-result mode: the root is the list head.
    static void Root(TCodeList *left, TCodeList *right)
    {
        ExpressionTree->Kind = left ? nkEquals : nkStart;
        Hang(ExpressionTree, left, right);
    }
    // Multi-result mode: name = ... = with its second '=' at (col, row).
    static void Definition(const std::string &name, int col, int row, TCodeList *value)
    {
        TCodeList *e = Node(nkEquals, "=");
        e->Col = col;
        e->Row = row;
        TCodeList *n = Name(name);
        Hang(e, n, value);
        AddUserDef(n);
    }

    static std::string Picture(int lastRow = -1) { return SheetToPicture(EditText, lastRow); }
};

// Result cells of a text: " c*" per character.
std::string R(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += std::string(" ") + c + "*";
    return out;
}

// Raised result cells.
std::string Up(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += std::string(" ") + c + "R";
    return out;
}

// ---------------------------------------------------------------------------
// Numbers

TEST_F(ResultsTest, NumbersInEachFormatMode)
{
    struct Case {
        bool flt, exp;
        int places;
        double x;
        std::string mant, expo;
    };
    const Case cases[] = {
        {true, false, 6, 2.0 / 3, "0.666667", ""},
        {false, false, 2, 123.456, "123.46", ""},
        {false, false, 0, 5, "5.", ""},
        {true, false, 6, -9.999, "-9.999", ""},
        {true, true, 6, 12345, "12.345", "3"},
        {true, true, 6, 0.5, "500", "-3"},
        {true, false, 6, 1e20, "100000000000000", "6"},
        {true, false, 6, 1.5e-20, "1.5", "-20"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mant);
        SheetSetup fresh;
        ExpressionTree->Clear();
        SetFltMode(c.flt);
        if (c.flt)
            SetFltPlaces(c.places);
        else
            SetFixPlaces(c.places);
        SetExpMode(c.exp);
        LoadPicture(EditText, " 1  +  2");
        Root(nullptr, Num(c.x));
        DisplayResults();
        EXPECT_FALSE(ErrorPending());
        const std::string row = c.expo.empty() ? R(c.mant) : R(c.mant + " 10") + Up(c.expo);
        EXPECT_EQ(Picture(), " 1  +  2\n\n" + row + "\n");
    }
}

TEST_F(ResultsTest, ExponentDigitsAreRaisedResultCells)
{
    LoadPicture(EditText, " 1  +  2");
    Root(nullptr, Num(1e20));
    DisplayResults();
    const TCell &six = EditText.Cells[18][2];
    EXPECT_EQ(six.Ch, '6');
    EXPECT_EQ(six.Flags(), uint32_t(cfRaised | cfResult));
    EXPECT_EQ(six.SrcCol | six.SrcRow | six.Reserved, 0);
    EXPECT_EQ(EditText.Cells[15][2].Ch, ' ');
}

// ---------------------------------------------------------------------------
// Sums with unknowns

TEST_F(ResultsTest, RunningSumsAndUnknowns)
{
    struct Case {
        const char *what;
        TNodeKind kind;
        double sum;
        std::string text;
    };
    const Case cases[] = {
        {"y+3+4", nkPlus, 7, "7+y"},
        {"first minus term with -7", nkMinus, -7, "-7-y"},
        {"first plus term with -7", nkPlus, -7, "-7+y"},
        {"lone unknown", nkPlus, 0, "y"},
        {"lone negated unknown", nkMinus, 0, "-y"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SheetSetup fresh;
        ExpressionTree->Clear();
        LoadPicture(EditText, " y");
        Root(nullptr, Term(c.kind, Name("y"), nullptr, c.sum));
        DisplayResults();
        EXPECT_EQ(Picture(), " y\n\n" + R(c.text) + "\n");
    }
}

TEST_F(ResultsTest, NumberFollowedByRestOfSum)
{
    // 3 + y + 4 reduces to the number 7 with the term +y at its Right.
    LoadPicture(EditText, " 3");
    TCodeList *seven = Num(7);
    Hang(seven, nullptr, Term(nkPlus, Name("y")));
    Root(nullptr, seven);
    DisplayResults();
    EXPECT_EQ(Picture(), " 3\n\n" + R("7+y") + "\n");
}

TEST_F(ResultsTest, OperatorsAsTyped)
{
    struct Case {
        const char *what;
        TCodeList *(*build)();
        std::string text;
    };
    const Case cases[] = {
        {"product", [] { return Op(nkTimes, "*", Name("a"), Name("b")); }, "a*b"},
        {"flat division", [] { return Op(nkDivide, "/", Name("a"), Num(2)); }, "a/2"},
        {"mod", [] { return Op(nkMod, "mod", Name("a"), Num(3)); }, "a mod 3"},
        {"function", [] { return Hang(Node(nkFunction, "sin"), Bracket(Term(nkPlus, Name("x"))), nullptr); },
         "sin(x)"},
        {"square bracket with sum",
         [] { return Bracket(Term(nkPlus, Name("a"), Term(nkMinus, Name("b"))), '['); }, "[a-b]"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SheetSetup fresh;
        ExpressionTree->Clear();
        LoadPicture(EditText, " q");
        Root(nullptr, Term(nkPlus, c.build()));
        DisplayResults();
        EXPECT_EQ(Picture(), " q\n\n" + R(c.text) + "\n");
    }
}

TEST_F(ResultsTest, NameKeepsItsTypedMarks)
{
    LoadPicture(EditText, " q");
    Root(nullptr, Term(nkPlus, Hang(Node(nkPower, "^"), Name("n", cfRaised), Name("a"))));
    DisplayResults();
    EXPECT_EQ(Picture(), " q\n\n a* nR\n");
}

// ---------------------------------------------------------------------------
// Single-result mode

TEST_F(ResultsTest, SingleModeWritesEquationBelowInputFromLineStart)
{
    LoadPicture(EditText, "       x ^2  =  9\n"
                          "       +  1");
    Root(Term(nkPlus, Name("x")), Num(3));
    DisplayResults();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), "       x ^2  =  9\n"
                         "       +  1\n"
                         "\n"
                         "      " + R("x=3") + "\n");
    EXPECT_EQ(setup.grid.Col(), 5);
    EXPECT_EQ(setup.grid.Row(), 3);
    EXPECT_EQ(EditState, esEditing);
    EXPECT_EQ(FontSet, 0);
    EXPECT_EQ(ScriptLevel, 0);
}

TEST_F(ResultsTest, ResultsAreSkippedCellsAndOneRepaint)
{
    RepaintCounter counter;
    setup.grid.Observer = &counter;
    LoadPicture(EditText, " a");
    Root(nullptr, Term(nkPlus, Frac(Name("a"), Hang(Node(nkRoot), nullptr, AreaBracket(Term(nkPlus, Name("b")))))));
    DisplayResults();
    setup.grid.Observer = nullptr;
    EXPECT_EQ(counter.repaints, 1);
    EXPECT_FALSE(SuspendDraw);
    EXPECT_FALSE(setup.grid.PaintSuspended);
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 1; r < SheetCells; ++r) {
            if (EditText.Cells[c][r].Code() != 0) {
                EXPECT_TRUE(EditText.Cells[c][r].Has(cfResult)) << c << "," << r;
            }
        }
}

// ---------------------------------------------------------------------------
// Fractions

TEST_F(ResultsTest, FractionLineTwoLongerThanItsWidestPart)
{
    LoadPicture(EditText, " a\n"
                          "--\n"
                          " b");
    TCodeList *num = Term(nkPlus, Name("a"), Term(nkPlus, Num(1)));
    Root(nullptr, Term(nkPlus, Frac(num, Name("b"))));
    DisplayResults();
    EXPECT_EQ(Picture(), " a\n"
                         "--\n"
                         " b\n"
                         "\n"
                         ". *" + R("a+1") + ". *\n"
                         "--*--*--*--*--*\n"
                         ". * b*. *. *. *\n");
    EXPECT_EQ(FracRight, 4);
    EXPECT_EQ(setup.grid.Col(), 5);
    EXPECT_EQ(setup.grid.Row(), 5);
}

TEST_F(ResultsTest, NestedFractions)
{
    LoadPicture(EditText, " x");
    // (a/b)/c: the inner line stands two rows above the outer one.
    Root(nullptr, Term(nkPlus, Frac(Frac(Name("a"), Name("b")), Name("c"))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n"
                         "\n"
                         "   . * a*. *\n"
                         "   --*--*--*\n"
                         ". *. * b*. *. *\n"
                         "--*--*--*--*--*\n"
                         ". * c*. *. *. *\n");
}

TEST_F(ResultsTest, FractionInDenominatorAndAfterText)
{
    LoadPicture(EditText, " x");
    // 2+a/(b/c)
    Root(nullptr, Term(nkPlus, Num(2), Term(nkPlus, Frac(Name("a"), Frac(Name("b"), Name("c"))))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n"
                         "\n"
                         "      . * a*. *. *. *\n"
                         " 2* +*--*--*--*--*--*\n"
                         "      . *. * b*. *. *\n"
                         "         --*--*--*\n"
                         "         . * c*. *\n");
}

TEST_F(ResultsTest, TallBracketInsideFraction)
{
    LoadPicture(EditText, " x");
    TCodeList *inside = Term(nkPlus, Name("x"), Term(nkPlus, Num(1)));
    Root(nullptr, Term(nkPlus, Frac(TallParen(inside), Num(2))));
    DisplayResults();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), " x\n"
                         "\n"
                         "   (/*         )/*\n"
                         "   (|* x* +* 1*)|*\n"
                         ". *(\\*. *. *. *)\\*. *\n"
                         "--*--*--*--*--*--*--*\n"
                         ". * 2*. *. *. *. *. *\n");
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST_F(ResultsTest, TallBracketAroundFractionFitsItsRows)
{
    LoadPicture(EditText, " x");
    Root(nullptr, Term(nkPlus, TallParen(Term(nkPlus, Frac(Name("a"), Name("b"))))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n"
                         "\n"
                         "(/*. * a*. *)/*\n"
                         "(|*--*--*--*)|*\n"
                         "(\\*. * b*. *)\\*\n");
}

// ---------------------------------------------------------------------------
// Powers and roots

TEST_F(ResultsTest, InnerPowerKeepsOuterExponentRaised)
{
    LoadPicture(EditText, " x");
    // a^(2^3+1): the +1 after the inner power stays raised.
    TCodeList *inner = Op(nkPower, "^", Num(2), Num(3));
    Root(nullptr, Term(nkPlus, Op(nkPower, "^", Name("a"), Term(nkPlus, inner, Term(nkPlus, Num(1))))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n\n a*" + Up("23+1") + "\n");
    EXPECT_EQ(ScriptLevel, 0);
}

TEST_F(ResultsTest, RootWithDegreeGetsItsArea)
{
    LoadPicture(EditText, " x");
    // 3-root of (a+b), then +1 behind it.
    TCodeList *radicand = AreaBracket(Term(nkPlus, Name("a"), Term(nkPlus, Name("b"))));
    TCodeList *root = Hang(Node(nkRoot), Num(3), radicand);
    Root(nullptr, Term(nkPlus, root, Term(nkPlus, Num(1))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n\n  * 3Rr/*" + R("a+b+1") + "\n");
    const TAttrCell &sign = EditText.Attrs[2][2];
    EXPECT_EQ(sign.RootLevel, 1);
    EXPECT_EQ(sign.RootTop, 2);
    EXPECT_EQ(sign.RootBottom, 2);
    EXPECT_EQ(sign.Overline & 1, 1);
    for (int c = 3; c <= 5; ++c) {
        EXPECT_EQ(EditText.Attrs[c][2].Overline, 2) << c;
        EXPECT_EQ(EditText.Attrs[c][2].Nesting, 2) << c;
    }
    EXPECT_EQ(EditText.Attrs[6][2].Nesting, 0);
    EXPECT_EQ(ScriptLevel, 0);
}

TEST_F(ResultsTest, RootOverFractionSpansItsRows)
{
    LoadPicture(EditText, " x");
    TCodeList *radicand = AreaBracket(Term(nkPlus, Frac(Name("a"), Name("b"))));
    Root(nullptr, Term(nkPlus, Hang(Node(nkRoot), nullptr, radicand)));
    DisplayResults();
    const TAttrCell &sign = EditText.Attrs[0][3];
    EXPECT_EQ(sign.RootLevel, 1);
    EXPECT_EQ(sign.RootTop, 2);
    EXPECT_EQ(sign.RootBottom, 4);
    EXPECT_EQ(EditText.Attrs[0][2].RootRow, 3);
    EXPECT_EQ(EditText.Attrs[0][4].RootRow, 3);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(EditText.Attrs[c][2].Overline, 2) << c;
        for (int r = 2; r <= 4; ++r)
            EXPECT_EQ(EditText.Attrs[c][r].Nesting, 2) << c << "," << r;
    }
    EXPECT_EQ(EditText.Attrs[4][3].Nesting, 0);
}

// ---------------------------------------------------------------------------
// Integrals

TEST_F(ResultsTest, SummedIntegralWritesOnlyItsNumber)
{
    LoadPicture(EditText, " x");
    // The integral reduced to 0.5 keeps limits and integrand attached; an
    // unknown factor keeps the product from reducing further.
    TCodeList *limits = Limits(Num(0), Num(1));
    TCodeList *integrand = Hang(Node(nkIntegrand), Op(nkTimes, "*", Name("d"), Name("x")),
                                Bracket(Term(nkPlus, Name("x"))));
    TCodeList *integral = Hang(Num(0.5), limits, integrand);
    Root(nullptr, Term(nkPlus, Op(nkTimes, "*", integral, Name("y"))));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n\n" + R("0.5*y") + "\n");
}

TEST_F(ResultsTest, UnevaluatedIntegralWrittenAsExpression)
{
    LoadPicture(EditText, " x");
    TCodeList *limits = Limits(Name("a"), Name("b"));
    TCodeList *integrand = Hang(Node(nkIntegrand), Op(nkTimes, "*", Name("d"), Name("x")),
                                Bracket(Term(nkPlus, Name("x"))));
    Root(nullptr, Term(nkPlus, Hang(Node(nkIntegral), limits, integrand)));
    DisplayResults();
    EXPECT_EQ(Picture(), " x\n\n?f2" + R("(a)") + "?ae" + R("(b)") + "f~*" + R("(x)d*x") + "\n");
}

// ---------------------------------------------------------------------------
// Multi-result mode

TEST_F(ResultsTest, MultiModeWritesAfterEachSecondEquals)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, " X  =  5  +  3  =\n"
                          "\n"
                          " Y  =  X  /  4  =");
    Root(nullptr, nullptr);
    Definition("X", 5, 0, Num(8));
    Definition("Y", 5, 2, Num(2));
    DisplayResults();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), " X  =  5  +  3  =  8*\n"
                         "\n"
                         " Y  =  X  /  4  =  2*\n");
}

TEST_F(ResultsTest, MultiModeFractionAroundTheEqualsRow)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, "\n\n X  =  a  /  b  =");
    Root(nullptr, nullptr);
    Definition("X", 5, 1, Term(nkPlus, Frac(Name("a"), Name("b"))));
    DisplayResults();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), "                  . * a*. *\n"
                         " X  =  a  /  b  = --*--*--*\n"
                         "                  . * b*. *\n");
}

TEST_F(ResultsTest, MultiModeWithoutResultIsError120AtSavedCursor)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, " X  =  5  +  3");
    EditText.SavedCol = 3;
    EditText.SavedRow = 4;
    Root(nullptr, nullptr);
    Definition("X", 0, 0, Num(8));
    const SheetBytes before;
    DisplayResults();
    EXPECT_EQ(ErrorCode, 120);
    EXPECT_EQ(ErrorCol, 3);
    EXPECT_EQ(ErrorRow, 4);
    EXPECT_EQ(setup.grid.Col(), 3);
    EXPECT_EQ(setup.grid.Row(), 4);
    std::string text;
    GetErrorText(text);
    EXPECT_EQ(text, "no result! use format: X=5+3= ! or switch to single mode with < = > button on the tool bar");
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_FALSE(SuspendDraw);
}

// ---------------------------------------------------------------------------
// Page full

TEST_F(ResultsTest, SingleModePageFullBoundary)
{
    struct Case {
        int usedRow;
        bool fraction;
        bool full;
    };
    // 72 rows: a flat result needs its row and the empty row above it, a
    // fraction one row more on each side.
    const Case cases[] = {{69, false, false}, {70, false, true}, {67, true, false}, {68, true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.usedRow);
        SheetSetup fresh;
        ExpressionTree->Clear();
        ClearError();
        LoadPicture(EditText, " x");
        EditText.UsedRowExt = c.usedRow;
        TCodeList *value = c.fraction ? Frac(Name("a"), Name("b")) : Name("a");
        Root(nullptr, Term(nkPlus, value));
        const SheetBytes before;
        DisplayResults();
        if (c.full) {
            EXPECT_EQ(ErrorCode, 109);
            EXPECT_EQ(ErrorCol, 0);
            EXPECT_EQ(ErrorRow, 71);
            EXPECT_TRUE(SheetBytes() == before);
        } else {
            EXPECT_FALSE(ErrorPending());
            EXPECT_EQ(EditText.Cells[c.fraction ? 1 : 0][71].Has(cfResult), true);
        }
    }
}

TEST_F(ResultsTest, TrailingEqualsInLastColumnIsPageFull)
{
    for (int cols : {72, 145}) {
        SCOPED_TRACE(cols);
        SheetSetup fresh(cols, 72);
        ExpressionTree->Clear();
        ClearError();
        EditText.EqualMode = 1;
        const int eq = cols - 1;
        EditText.Cells[eq][3].Ch = '=';
        Root(nullptr, nullptr);
        Definition("X", eq, 3, Num(8));
        const SheetBytes before;
        DisplayResults();
        EXPECT_EQ(ErrorCode, 109);
        EXPECT_EQ(ErrorCol, eq);
        EXPECT_EQ(ErrorRow, 3);
        EXPECT_TRUE(SheetBytes() == before);
    }
}

TEST_F(ResultsTest, MultiModeFractionAboveFirstRowIsPageFull)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, " X  =  a  /  b  =");
    Root(nullptr, nullptr);
    Definition("X", 5, 0, Term(nkPlus, Frac(Name("a"), Name("b"))));
    const SheetBytes before;
    DisplayResults();
    EXPECT_EQ(ErrorCode, 109);
    EXPECT_EQ(ErrorCol, 5);
    EXPECT_EQ(ErrorRow, 0);
    EXPECT_TRUE(SheetBytes() == before);
}

struct SmallSheetTest : ResultsTest {
    SmallSheetTest() : ResultsTest(8, 5) {}
};

TEST_F(SmallSheetTest, ResultStopsAtTheLastCellOfTheSheet)
{
    LoadPicture(EditText, " x\n\n y");
    // Nine digits on an eight-column last row: the ninth has no cell.
    Root(nullptr, Num(123456789));
    DisplayResults();
    EXPECT_EQ(ErrorCode, 109);
    EXPECT_EQ(ErrorCol, 0);
    EXPECT_EQ(ErrorRow, 4);
    EXPECT_EQ(Picture(), " x\n\n y\n\n" + R("12345678") + "\n");
}

TEST_F(SmallSheetTest, ResultFillingTheLastRowExactlyFits)
{
    LoadPicture(EditText, " x\n\n y");
    Root(nullptr, Num(12345678));
    DisplayResults();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), " x\n\n y\n\n" + R("12345678") + "\n");
}

TEST_F(SmallSheetTest, FractionPastTheRightEdgeIsPageFull)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, "\n\n\n X  =  a  /  b  =");
    Root(nullptr, nullptr);
    // The line would need columns 6..8 of an eight-column grid.
    Definition("X", 5, 2, Term(nkPlus, Frac(Name("a"), Name("b"))));
    DisplayResults();
    EXPECT_EQ(ErrorCode, 109);
    EXPECT_EQ(ErrorCol, 5);
    EXPECT_EQ(ErrorRow, 2);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 5; ++r)
            EXPECT_FALSE(EditText.Cells[c][r].Has(cfFractionLine)) << c << "," << r;
}

}  // namespace

// ---------------------------------------------------------------------------
// Sheets read by the reading order, scanner and parser, written back unevaluated

struct ReadBackTest : ResultsTest {
    TCodeList *ownTree = ExpressionTree;
    ~ReadBackTest() override { ExpressionTree = ownTree; }

    void Calculate()
    {
        ClearError();
        ASSERT_TRUE(RouterObj.BuildRoute());
        ScannerObj.Scan();
        ASSERT_FALSE(ErrorPending());
        TCodeList *tree = nullptr;
        ASSERT_TRUE(ParserObj.Parse(tree));
        ASSERT_FALSE(ErrorPending());
        ExpressionTree = tree;
        DisplayResults();
    }
};

TEST_F(ReadBackTest, FractionAfterFactorWrittenBackInTwoDimensions)
{
    LoadPicture(EditText, "       a  +  1\n"
                          " c -- -- -- -- --\n"
                          "          b");
    Calculate();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), "       a  +  1\n"
                         " c -- -- -- -- --\n"
                         "          b\n"
                         "\n"
                         "      . *" + R("a+1") + ". *\n"
                         " c* **--*--*--*--*--*\n"
                         "      . * b*. *. *. *\n");
}

TEST_F(ReadBackTest, TallBracketAndExponentWrittenBack)
{
    // The bracket holds no fraction: its pieces still get their rows.
    LoadPicture(EditText, "(/          )/\n"
                          "(|  x  +  1 )| ^2\n"
                          "(\\          )\\");
    Calculate();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), "(/          )/\n"
                         "(|  x  +  1 )| ^2\n"
                         "(\\          )\\\n"
                         "\n"
                         "(/*         )/*\n"
                         "(|*" + R("x+1") + ")|* 2R\n"
                         "(\\*         )\\*\n");
}

TEST_F(ReadBackTest, MultiModeUnknownSumAfterSecondEquals)
{
    EditText.EqualMode = 1;
    LoadPicture(EditText, " X  =  y  +  1  =");
    Calculate();
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(Picture(), " X  =  y  +  1  = " + R("y+1") + "\n");
}
