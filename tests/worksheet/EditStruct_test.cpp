#include <gtest/gtest.h>

#include <string>

#include "SheetPicture.h"

namespace {

void Cursor(int col, int row)
{
    EditText.Grid->SetCol(col);
    EditText.Grid->SetRow(row);
}

void SelectRoot(int col, int row, TGridRect range)
{
    EditText.Selection = range;
    EditText.SelCol = col;
    EditText.SelRow = row;
    EditText.SetRootRange();
}

// A refused step: nothing changed in either layer and exactly one beep.
void ExpectRefused(const SheetBytes &before)
{
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 1);
}

// ---------------------------------------------------------------------------
// Cursor advance and erasing

TEST(Advance, StopsWhileTypingAndWrapsWhileResultsAreWritten)
{
    struct Case {
        uint8_t state;
        int col, row;
        bool ok;
        int toCol, toRow;
        int beeps;
    };
    const Case cases[] = {
        {esEditing, 5, 3, true, 6, 3, 0},
        {esEditing, 9, 3, false, 9, 3, 1},
        {esWritingResults, 5, 3, true, 6, 3, 0},
        {esWritingResults, 9, 3, true, 1, 4, 0},
        {esWritingResults, 9, 7, false, 9, 7, 0},
        {esClearArmed, 9, 3, true, 1, 4, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.state) << " at " << c.col << "," << c.row);
        SheetSetup setup(10, 8);
        EditState = c.state;
        Cursor(c.col, c.row);
        EXPECT_EQ(EditText.Next(), c.ok);
        EXPECT_EQ(setup.grid.Col(), c.toCol);
        EXPECT_EQ(setup.grid.Row(), c.toRow);
        EXPECT_EQ(SheetSetup::beeps, c.beeps);
    }
}

TEST(Advance, WrapGoesToColumnZero)
{
    SheetSetup setup(10, 8);
    Cursor(9, 3);
    EXPECT_TRUE(EditText.AdvanceWrap());
    EXPECT_EQ(setup.grid.Col(), 0);
    EXPECT_EQ(setup.grid.Row(), 4);
    Cursor(9, 7);
    EXPECT_FALSE(EditText.AdvanceWrap());
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Erase, BackspaceErasesLeftAndAtColumnZeroTheCellItself)
{
    SheetSetup setup;
    FontSet = 2;  // the erase must not leave a symbol-font "empty" cell
    LoadPicture(EditText, " a  b  c");
    Cursor(2, 0);
    EditText.Backspace();
    EXPECT_EQ(SheetToPicture(EditText, 0), " a     c\n");
    EXPECT_TRUE(EditText.Cells[1][0].AllZero());
    EXPECT_EQ(setup.grid.Col(), 1);
    Cursor(0, 0);
    EditText.Backspace();
    EXPECT_EQ(SheetToPicture(EditText, 0), "       c\n");
    EXPECT_EQ(SheetSetup::beeps, 1);
}

// ---------------------------------------------------------------------------
// Fractions

struct FractionCase {
    const char *name;
    const char *before;
    int col, row;
    const char *after;
    int endCol;
};

const FractionCase fractionCases[] = {
    {"fresh line centred on the cursor", "", 3, 2, "\n\n      -- -- --\n", 5},
    {"fresh line at column 0", "", 0, 2, "\n\n-- -- --\n", 3},
    {"right of a finished line one more cell", " \n\n      -- -- --", 5, 2, "\n\n      -- -- -- --\n", 6},
    {"text left of the cursor moves the line right", " \n\n       x", 3, 2, "\n\n       x -- -- --\n", 6},
    {"under the first numerator character", " \n       a  b", 2, 2, "\n       a  b\n   -- -- -- --\n", 5},
    {"under the last numerator character", " \n       a  b", 3, 2, "\n       a  b\n   -- -- -- --\n", 5},
    {"numerator in column 0 moves right", " \n a  b", 1, 2, "\n    a  b\n-- -- -- --\n", 4},
};

TEST(Fraction, InsertFractionGeometryAndCursor)
{
    for (const FractionCase &c : fractionCases) {
        SCOPED_TRACE(c.name);
        SheetSetup setup;
        LoadPicture(EditText, c.before);
        Cursor(c.col, c.row);
        EditText.InsertFraction(false);
        EXPECT_EQ(SheetToPicture(EditText), c.after);
        EXPECT_EQ(setup.grid.Col(), c.endCol);
        EXPECT_EQ(setup.grid.Row(), c.row);
        EXPECT_EQ(SheetSetup::beeps, 0);
        // Every line cell marks its numerator and denominator cells.
        for (int x = 0; x < 10; ++x) {
            const bool line = EditText.Cells[x][c.row].Code() == scFractionLine;
            EXPECT_EQ(EditText.Cells[x][c.row - 1].Has(cfAboveLine), line) << x;
            EXPECT_EQ(EditText.Cells[x][c.row + 1].Has(cfBelowLine), line) << x;
        }
        EXPECT_GE(EditText.UsedRowExt, c.row + 1);
    }
}

TEST(Fraction, LockedPageIsRefused)
{
    SheetSetup setup;
    EditText.PageLock = 1;
    Cursor(3, 2);
    const SheetBytes before;
    EditText.InsertFraction(false);
    ExpectRefused(before);
}

TEST(Fraction, LineStopsAtTheLastColumnWithoutAHalfMadeCell)
{
    SheetSetup setup(10, 8);
    Cursor(8, 2);
    EditText.InsertFraction(false);
    EXPECT_EQ(SheetToPicture(EditText), "\n\n                     -- --\n");
    EXPECT_TRUE(EditText.Cells[9][2].AllZero());
    EXPECT_FALSE(EditText.Cells[9][1].Has(cfAboveLine));
    EXPECT_EQ(SheetSetup::beeps, 1);
}

TEST(Fraction, ResultLineIsOneMarkedCell)
{
    SheetSetup setup;
    EditState = esWritingResults;
    Cursor(4, 3);
    EditText.InsertFraction(true);
    EXPECT_EQ(EditText.Cells[4][3].Flags(), cfSymbolFont | cfFractionLine | cfResult);
    EXPECT_EQ(EditText.Cells[4][3].Code(), scFractionLine);
    EXPECT_EQ(EditText.Cells[4][2].Flags(), cfAboveLine | cfResult);
    EXPECT_EQ(EditText.Cells[4][4].Flags(), cfBelowLine | cfResult);
    EXPECT_TRUE(EditText.Cells[3][3].AllZero());
    EXPECT_TRUE(EditText.Cells[5][3].AllZero());
    EXPECT_EQ(setup.grid.Col(), 5);
    EXPECT_EQ(EditText.UsedRowExt, 4);
}

TEST(Fraction, LineCellsAtTheSheetEdgesStayInside)
{
    SheetSetup setup(10, 8);
    int shift = 0;
    Cursor(2, 0);
    EXPECT_TRUE(EditText.PutFractionLine(2, 0, shift, false));
    EXPECT_EQ(EditText.Cells[2][1].Flags(), cfBelowLine);
    Cursor(2, 7);
    EXPECT_TRUE(EditText.PutFractionLine(2, 7, shift, false));
    EXPECT_EQ(EditText.Cells[2][6].Flags(), cfAboveLine);
    EXPECT_TRUE(EditText.Cells[2][8].AllZero());
    EXPECT_EQ(shift, 0);
    EXPECT_EQ(EditText.UsedRowExt, 7);
}

TEST(Fraction, LineLeftOfColumnZeroOpensAColumn)
{
    SheetSetup setup;
    LoadPicture(EditText, " \n a  b");
    Cursor(3, 1);
    int shift = 0;
    EXPECT_TRUE(EditText.PutFractionLine(-1, 1, shift, false));
    EXPECT_EQ(shift, 1);
    EXPECT_EQ(SheetToPicture(EditText), "\n--  a  b\n");
    EXPECT_EQ(setup.grid.Col(), 1);
}

// ---------------------------------------------------------------------------
// Tall brackets and the integral template

TEST(Brackets, InsertBracketsLayout)
{
    SheetSetup setup;
    ScriptLevel = -1;  // the middle drops the script flags
    Cursor(2, 0);
    EXPECT_TRUE(EditText.InsertBrackets(230, 231, 232, 2, 5));
    EXPECT_EQ(EditText.Cells[2][4].Code(), 256 + 230);
    EXPECT_EQ(EditText.Cells[2][5].Code(), scParenOpenMiddle);
    EXPECT_EQ(EditText.Cells[2][6].Code(), 256 + 232);
    EXPECT_EQ(EditText.Cells[2][5].Flags(), cfTallBracket | cfSymbolFont);
    EXPECT_TRUE(EditText.Cells[2][4].Has(cfBracketPart));
    EXPECT_TRUE(EditText.Cells[2][6].Has(cfBracketPart));
    EXPECT_EQ(setup.grid.Col(), 3);
    EXPECT_EQ(setup.grid.Row(), 5);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Brackets, BracketInTheLastColumnStaysAndBeepsOnce)
{
    SheetSetup setup(10, 8);
    Cursor(9, 3);
    EXPECT_TRUE(EditText.InsertBrackets(246, 247, 248, 9, 3));
    EXPECT_EQ(EditText.Cells[9][3].Code(), scParenCloseMiddle);
    EXPECT_EQ(setup.grid.Col(), 9);
    EXPECT_EQ(setup.grid.Row(), 3);
    EXPECT_EQ(SheetSetup::beeps, 1);
}

TEST(Brackets, InsertBracketsRefusals)
{
    struct Case {
        const char *name;
        const char *picture;
        int col, row;
        bool pageLock;
    };
    const Case cases[] = {
        {"first row", "", 2, 0, false},
        {"last row", "", 2, 7, false},
        {"outside the grid", "", 10, 3, false},
        {"occupied above", " \n\n       x", 2, 3, false},
        {"occupied below", " \n\n\n\n       x", 2, 3, false},
        {"on the bottom piece of another bracket", " \n\n      (/\n      (|\n      (\\", 2, 4, false},
        {"on an existing middle", " \n\n      [/\n      [|\n      [\\", 2, 3, false},
        {"locked page", "", 2, 3, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SheetSetup setup(10, 8);
        LoadPicture(EditText, c.picture);
        EditText.PageLock = c.pageLock;
        Cursor(2, 3);  // the cursor row is fine; the row written decides
        const SheetBytes before;
        EXPECT_FALSE(EditText.InsertBrackets(233, 234, 235, c.col, c.row));
        ExpectRefused(before);
    }
}

TEST(Brackets, IntegralTemplateLayoutAndCursor)
{
    SheetSetup setup;
    Cursor(3, 4);
    EXPECT_TRUE(EditText.InsertIntegral(3, 4));
    EXPECT_EQ(SheetToPicture(EditText),
              "\n\n\n"
              "         S/  b\n"
              "         S|    f~  (  x  )  d  x\n"
              "         S\\  a\n");
    EXPECT_EQ(EditText.Cells[3][4].Code(), scIntegralMiddle);
    EXPECT_EQ(EditText.Cells[5][4].Code(), scFunctionSign);
    EXPECT_EQ(setup.grid.Col(), 11);
    EXPECT_EQ(setup.grid.Row(), 4);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

// ---------------------------------------------------------------------------
// Root areas

// Root sign A at (2, 5) with "ab" right of it; a used extent to column 9.
const char *const rootSheet = " \n\n\n\n\n      r/  a  b              z\n";
// Root signs at (2, 5) and (4, 5).
const char *const twoRoots = " \n\n\n\n\n      r/  a r/  b  c        z\n";

const char *const areaA =
    "2,4 R5\n3-7,4 N02 O02\n"
    "2,5 L1 T4 B6 O01\n3-7,5 N02\n"
    "2,6 R5\n3-7,6 N02\n";

// B inside A: B level 1, A raised to level 2 in all its rows.
const char *const areaAB =
    "2,4 R5\n3,4 N04 O04\n4,4 R5 N04 O04\n5-6,4 N06 O06\n7,4 N04 O04\n"
    "2,5 L2 T4 B6 O01\n3,5 N04\n4,5 L1 T4 B6 N04 O01\n5-6,5 N06\n7,5 N04\n"
    "2,6 R5\n3,6 N04\n4,6 R5 N04\n5-6,6 N06\n7,6 N04\n";

TEST(Roots, AreaOfTheWorkedExample)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    SelectRoot(2, 5, {3, 4, 7, 6});
    EXPECT_EQ(AttrsToText(EditText), areaA);
    EXPECT_EQ(SheetSetup::beeps, 0);
    EXPECT_EQ(EditText.UsedRowExt, 6);
}

TEST(Roots, SelectionStartingLeftOfTheRootOrOnAnotherCellChangesNothing)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    const SheetBytes before;
    SelectRoot(2, 5, {1, 4, 7, 6});
    SelectRoot(3, 5, {3, 4, 7, 6});
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Roots, RightEdgeFollowsTheUsedExtentOnlyWhileTyping)
{
    for (uint8_t state : {esEditing, esWritingResults}) {
        SheetSetup setup;
        LoadPicture(EditText, rootSheet);
        EditState = state;
        SelectRoot(2, 5, {3, 5, 12, 5});
        const int right = state == esEditing ? 9 : 12;
        EXPECT_EQ(EditText.Selection.Right, right);
        EXPECT_EQ(AttrsToText(EditText),
                  "2,5 L1 T5 B5 R5 O01\n3-" + std::to_string(right) + ",5 N02 O02\n");
        EXPECT_EQ(EditText.Cells[12][5].Has(cfResult), state == esWritingResults);
        EXPECT_EQ(EditText.Cells[3][5].Has(cfResult), state == esWritingResults);
        EXPECT_EQ(EditText.UsedColExt, right);
    }
}

TEST(Roots, InnerRootRaisesTheEnclosingOneAndClearingLowersItAgain)
{
    SheetSetup setup;
    LoadPicture(EditText, twoRoots);
    SelectRoot(2, 5, {3, 4, 7, 6});
    ASSERT_EQ(AttrsToText(EditText), areaA);
    const SheetBytes onlyA;
    SelectRoot(4, 5, {5, 4, 6, 6});
    EXPECT_EQ(AttrsToText(EditText), areaAB);
    EditText.ClearNesting(1, 4, 5);
    EXPECT_TRUE(SheetBytes() == onlyA);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Roots, OuterRootSetLastGetsTheLevelAboveTheInnerOne)
{
    SheetSetup setup;
    LoadPicture(EditText, twoRoots);
    SelectRoot(4, 5, {5, 4, 6, 6});
    SelectRoot(2, 5, {3, 4, 7, 6});
    EXPECT_EQ(AttrsToText(EditText), areaAB);
}

TEST(Roots, ClearingTheOuterRootLeavesTheInnerOne)
{
    SheetSetup setup;
    LoadPicture(EditText, twoRoots);
    SelectRoot(2, 5, {3, 4, 7, 6});
    SelectRoot(4, 5, {5, 4, 6, 6});
    EditText.ClearNesting(2, 2, 5);
    EXPECT_EQ(AttrsToText(EditText), "4,4 R5\n5-6,4 N02 O02\n4,5 L1 T4 B6 O01\n5-6,5 N02\n4,6 R5\n5-6,6 N02\n");
}

TEST(Roots, NewRangeReplacesTheOldOne)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    SelectRoot(2, 5, {3, 4, 7, 6});
    SelectRoot(2, 5, {3, 5, 4, 5});
    EXPECT_EQ(AttrsToText(EditText), "2,5 L1 T5 B5 R5 O01\n3-4,5 N02 O02\n");
}

// Eight root signs in row 5, columns 0..7; "z" in column 20.
const char *const eightRoots = " \n\n\n\n\nr/ r/ r/ r/ r/ r/ r/ r/                                      z\n";

TEST(Roots, EighthLevelIsRefused)
{
    struct Case {
        const char *name;
        int order[8];
    };
    const Case cases[] = {
        {"innermost inside seven", {0, 1, 2, 3, 4, 5, 6, 7}},
        {"outermost around seven", {7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SheetSetup setup;
        LoadPicture(EditText, eightRoots);
        ASSERT_EQ(EditText.Cells[20][5].Ch, 'z');
        for (int i = 0; i < 7; ++i)
            SelectRoot(c.order[i], 5, {c.order[i] + 1, 4, 20, 6});
        EXPECT_EQ(SheetSetup::beeps, 0);
        EXPECT_EQ(EditText.Attrs[0][5].RootLevel, c.order[0] == 0 ? 7 : 0);
        const SheetBytes before;
        SelectRoot(c.order[7], 5, {c.order[7] + 1, 4, 20, 6});
        ExpectRefused(before);
    }
}

TEST(Roots, OverwritingARootRemovesItsAreaAndLowersTheEnclosingRoot)
{
    SheetSetup setup;
    LoadPicture(EditText, twoRoots);
    SelectRoot(2, 5, {3, 4, 7, 6});
    const SheetBytes onlyA;
    SelectRoot(4, 5, {5, 4, 6, 6});
    int newCol;
    ASSERT_TRUE(EditText.PutChar(214, 4, 5, newCol));
    EditText.Cells[4][5].Add(cfSymbolFont);
    EXPECT_TRUE(SheetBytes() == onlyA);
}

// ---------------------------------------------------------------------------
// Rows

TEST(Rows, InsertedAndDeletedRowsCarryTheStoredRootRows)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    SelectRoot(2, 5, {3, 4, 7, 6});
    const SheetBytes before;
    Cursor(4, 2);
    EditText.InsertRow();
    EXPECT_EQ(AttrsToText(EditText),
              "2,5 R6\n3-7,5 N02 O02\n"
              "2,6 L1 T5 B7 O01\n3-7,6 N02\n"
              "2,7 R6\n3-7,7 N02\n");
    EXPECT_EQ(EditText.Cells[2][6].Code(), scRootSign);
    EXPECT_EQ(EditText.UsedRowExt, 7);
    EditText.DeleteRow();
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Rows, RowBelowTheUsedRowsOnlyRepaints)
{
    SheetSetup setup;
    LoadPicture(EditText, " a\n b");
    Cursor(0, 5);
    const SheetBytes before;
    EditText.InsertRow();
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Rows, PlainRowsMove)
{
    SheetSetup setup;
    LoadPicture(EditText, " a\n b\n c");
    Cursor(0, 1);
    EditText.InsertRow();
    EXPECT_EQ(SheetToPicture(EditText), " a\n\n b\n c\n");
    EditText.DeleteRow();
    EditText.DeleteRow();
    EXPECT_EQ(SheetToPicture(EditText), " a\n c\n");
}

TEST(Rows, RowOperationsRefusedThroughStructures)
{
    struct Case {
        const char *name;
        const char *picture;
        bool withArea;
        int row;
        bool insertRefused, deleteRefused;
    };
    // Fraction in rows 1..3, bracket in rows 1..3 (column 5).
    const char *const structs =
        " \n"
        " a                (/\n"
        "-- --             (|\n"
        " b                (\\\n";
    const Case cases[] = {
        {"numerator row", structs, false, 1, false, true},
        {"fraction line", structs, false, 2, true, true},
        {"denominator row", structs, false, 3, true, true},
        {"root area top row", rootSheet, true, 4, true, true},
        {"root sign row", rootSheet, true, 5, true, true},
        {"root area bottom row", rootSheet, true, 6, true, true},
    };
    for (const Case &c : cases)
        for (bool insert : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (insert ? " insert" : " delete"));
            SheetSetup setup;
            LoadPicture(EditText, c.picture);
            if (c.withArea)
                SelectRoot(2, 5, {3, 4, 7, 6});
            Cursor(0, c.row);
            const SheetBytes before;
            if (insert)
                EditText.InsertRow();
            else
                EditText.DeleteRow();
            if (insert ? c.insertRefused : c.deleteRefused)
                ExpectRefused(before);
            else
                EXPECT_EQ(SheetSetup::beeps, 0);
        }
}

TEST(Rows, BracketTopRowOpensOthersDoNot)
{
    // Bracket rows 1..3: a row may open above the top piece only.
    for (int row : {1, 2, 3}) {
        SCOPED_TRACE(row);
        SheetSetup setup;
        LoadPicture(EditText, " \n   (/\n   (|\n   (\\\n");
        Cursor(0, row);
        const SheetBytes before;
        EditText.InsertRow();
        if (row == 1) {
            EXPECT_EQ(SheetToPicture(EditText), "\n\n   (/\n   (|\n   (\\\n");
            EXPECT_EQ(SheetSetup::beeps, 0);
        } else {
            ExpectRefused(before);
        }
    }
}

TEST(Rows, UnlockMarksInTheLastRowDoNotBlockARow)
{
    SheetSetup setup(10, 8);
    LoadPicture(EditText, " a\n b");
    for (int x = 0; x < 10; ++x)
        EditText.Attrs[x][7].Protection = 2;
    Cursor(0, 0);
    EditText.InsertRow();
    EXPECT_EQ(SheetToPicture(EditText), "\n a\n b\n");
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Rows, InsertRowRefusedWithTheLastRowOccupiedOrLocked)
{
    for (bool lock : {false, true}) {
        SheetSetup setup(10, 8);
        LoadPicture(EditText, lock ? " a" : " a\n\n\n\n\n\n\n b");
        EditText.PageLock = lock;
        Cursor(0, 0);
        const SheetBytes before;
        EditText.InsertRow();
        ExpectRefused(before);
    }
}

// ---------------------------------------------------------------------------
// Columns

TEST(Columns, InsertColumnNeverSplitsAFunctionName)
{
    struct Case {
        const char *before;
        int col;
        const char *after;
    };
    const Case cases[] = {
        {"       sn in nn x", 2, "          sn in nn x\n"},
        {"       sn in nn x", 3, "          sn in nn x\n"},
        {"       sn in nn x", 4, "          sn in nn x\n"},
        {"       sn in nn x", 5, "       sn in nn    x\n"},
        {" sn in nn", 1, "    sn in nn\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " at " << c.col);
        SheetSetup setup;
        LoadPicture(EditText, c.before);
        Cursor(c.col, 0);
        EXPECT_TRUE(EditText.InsertColumn());
        EXPECT_EQ(SheetToPicture(EditText), c.after);
        EXPECT_EQ(setup.grid.Col(), c.col);
        EXPECT_EQ(SheetSetup::beeps, 0);
    }
}

TEST(Columns, DeleteColumnRefusedAcrossAFunctionName)
{
    SheetSetup setup;
    LoadPicture(EditText, "       sn in nn\n x");
    for (int col : {2, 3, 4}) {
        Cursor(col, 1);
        const SheetBytes before;
        SheetSetup::beeps = 0;
        EditText.DeleteColumn();
        ExpectRefused(before);
    }
    Cursor(1, 1);
    SheetSetup::beeps = 0;
    EditText.DeleteColumn();
    EXPECT_EQ(SheetToPicture(EditText), "    sn in nn\n x\n");
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Columns, ColumnsThroughARootCarryItsArea)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    SelectRoot(2, 5, {3, 4, 7, 6});
    const SheetBytes before;
    Cursor(2, 5);
    EXPECT_TRUE(EditText.InsertColumn());
    EXPECT_EQ(AttrsToText(EditText),
              "3,4 R5\n4-8,4 N02 O02\n"
              "3,5 L1 T4 B6 O01\n4-8,5 N02\n"
              "3,6 R5\n4-8,6 N02\n");
    EXPECT_EQ(EditText.UsedColExt, 10);
    EditText.DeleteColumn();
    EXPECT_TRUE(SheetBytes() == before);
}

TEST(Columns, ColumnInsideTheAreaWidensIt)
{
    SheetSetup setup;
    LoadPicture(EditText, rootSheet);
    SelectRoot(2, 5, {3, 4, 7, 6});
    Cursor(4, 5);
    EXPECT_TRUE(EditText.InsertColumn());
    EXPECT_EQ(AttrsToText(EditText),
              "2,4 R5\n3-8,4 N02 O02\n"
              "2,5 L1 T4 B6 O01\n3-8,5 N02\n"
              "2,6 R5\n3-8,6 N02\n");
}

TEST(Columns, DeletingTheRootColumnRemovesTheArea)
{
    SheetSetup setup;
    LoadPicture(EditText, twoRoots);
    SelectRoot(2, 5, {3, 4, 7, 6});
    SelectRoot(4, 5, {5, 4, 6, 6});
    Cursor(4, 5);
    EditText.DeleteColumn();
    // A comes down to level 1 again, one column narrower.
    EXPECT_EQ(AttrsToText(EditText),
              "2,4 R5\n3-6,4 N02 O02\n"
              "2,5 L1 T4 B6 O01\n3-6,5 N02\n"
              "2,6 R5\n3-6,6 N02\n");
    Cursor(2, 5);
    EditText.DeleteColumn();
    EXPECT_EQ(AttrsToText(EditText), "");
    EXPECT_EQ(SheetToPicture(EditText), "\n\n\n\n\n       a  b  c        z\n");
}

TEST(Columns, ColumnOnAFractionLineLengthensIt)
{
    SheetSetup setup;
    LoadPicture(EditText, "    a\n-- -- --\n");
    Cursor(1, 1);
    EXPECT_TRUE(EditText.InsertColumn());
    EXPECT_EQ(SheetToPicture(EditText), "       a\n-- -- -- --\n");
    EXPECT_EQ(EditText.Cells[1][0].Flags(), cfAboveLine);
    EXPECT_EQ(EditText.Cells[1][2].Flags(), cfBelowLine);
    EXPECT_TRUE(EditText.Cells[3][0].Has(cfAboveLine));
    EXPECT_TRUE(EditText.Cells[3][2].Has(cfBelowLine));
}

TEST(Columns, InsertColumnRefusals)
{
    for (bool lock : {false, true}) {
        SCOPED_TRACE(lock);
        SheetSetup setup(10, 8);
        LoadPicture(EditText, lock ? " a  b" : " a  b                       z");
        EditText.PageLock = lock;
        Cursor(0, 0);
        const SheetBytes before;
        EXPECT_FALSE(EditText.InsertColumn());
        ExpectRefused(before);
    }
    SheetSetup setup;
    EditText.PageLock = 1;
    const SheetBytes before;
    EditText.DeleteColumn();
    ExpectRefused(before);
}

TEST(Columns, ShiftedContentGrowsTheUsedExtent)
{
    SheetSetup setup;
    LoadPicture(EditText, " a  b");
    ASSERT_EQ(EditText.UsedColExt, 1);
    Cursor(0, 0);
    EditText.InsertColumn();
    EditText.InsertColumn();
    EXPECT_EQ(EditText.UsedColExt, 3);
    EXPECT_EQ(SheetToPicture(EditText), "       a  b\n");
}

}  // namespace
