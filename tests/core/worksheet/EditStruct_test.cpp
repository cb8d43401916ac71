#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "support/SheetSteps.h"
#include "worksheet/Edit.h"

namespace {

struct Sel {
    int col, row;
    TGridRect range;
};

void SelectRoot(const Sel &s)
{
    EditText.Selection = s.range;
    EditText.SelCol = s.col, EditText.SelRow = s.row;
    EditText.SetRootRange();
}

// Root sign A at (2, 5) with "ab" right of it; a used extent to column 9.
const char *const rootSheet = " \n\n\n\n\n      r/  a  b              z\n";
// Root signs at (2, 5) and (4, 5).
const char *const twoRoots = " \n\n\n\n\n      r/  a r/  b  c        z\n";
const Sel rootA{2, 5, {3, 4, 7, 6}}, rootB{4, 5, {5, 4, 6, 6}};
// A fraction and a bracket in rows 1..3.
const char *const structs = " \n a                (/\n-- --             (|\n b                (\\\n";
const char *const bracket = " \n   (/\n   (|\n   (\\\n";

TEST(Structure, RefusalsChangeNothingAndBeepOnce)
{
    using Step = void (*)();
    struct Case {
        const char *name, *picture;
        int col, row, lock, small;
        Step step;
    };
    const Step fraction = [] { EditText.InsertFraction(false); };
    const Step brackets = [] { EditText.InsertBrackets(233, 234, 235, 2, EditText.CursorRow()); };
    const Step insertRow = [] { EditText.InsertRow(); };
    const Step deleteRow = [] { EditText.DeleteRow(); };
    const Step insertColumn = [] { EXPECT_FALSE(EditText.InsertColumn()); };
    const Step deleteColumn = [] { EditText.DeleteColumn(); };
    const Case cases[] = {
        {"fraction, locked page", "", 3, 2, 1, 0, fraction},
        {"bracket in the first row", "", 2, 0, 0, 1, brackets},
        {"bracket in the last row", "", 2, 7, 0, 1, brackets},
        {"bracket outside the grid", "", 2, 3, 0, 1, [] { EditText.InsertBrackets(233, 234, 235, 10, 3); }},
        {"bracket, cell above taken", " \n\n       x", 2, 3, 0, 1, brackets},
        {"bracket, cell below taken", " \n\n\n\n       x", 2, 3, 0, 1, brackets},
        {"bracket on another's bottom piece", " \n\n      (/\n      (|\n      (\\", 2, 4, 0, 1, brackets},
        {"bracket on an existing middle", " \n\n      [/\n      [|\n      [\\", 2, 3, 0, 1, brackets},
        {"bracket, locked page", "", 2, 3, 1, 1, brackets},
        {"row, last row taken", " a\n\n\n\n\n\n\n b", 0, 0, 0, 1, insertRow},
        {"row, locked page", " a\n b", 0, 0, 1, 1, insertRow},
        {"delete: row, locked page", " a\n b", 0, 0, 1, 1, deleteRow},
        {"column, last column taken", " a  b                       z", 0, 0, 0, 1, insertColumn},
        {"column, locked page", " a  b", 0, 0, 1, 1, insertColumn},
        {"delete: column, locked page", " a  b", 0, 0, 1, 1, deleteColumn},
        {"delete: column at a name's start", "       sn in nn\n x", 2, 1, 0, 0, deleteColumn},
        {"delete: column in a name", "       sn in nn\n x", 3, 1, 0, 0, deleteColumn},
        {"delete: column at a name's end", "       sn in nn\n x", 4, 1, 0, 0, deleteColumn},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet setup(c.picture, c.col, c.row, c.small ? 10 : 72, c.small ? 8 : 72);
        EditText.PageLock = c.lock;
        ExpectNoChange(c.step);
    }
    // A stored row number in the last row would be pushed off the sheet.
    Sheet damaged(" a", 0, 0, 10, 8);
    EditText.Attrs[5][2].RootBottom = 7;
    ExpectNoChange(insertRow);
    // Every row of a fraction, a tall bracket or a root area refuses both row
    // steps, but a new row above a fraction or bracket only moves it down.
    for (const auto &[picture, top] : {std::pair(structs, 1), std::pair(bracket, 1), std::pair(rootSheet, 4)})
        for (int row = top; row < top + 3; ++row)
            for (Step step : {insertRow, deleteRow}) {
                if (picture != rootSheet && row == top && step == insertRow)
                    continue;
                SCOPED_TRACE(testing::Message() << row << (step == insertRow ? " insert" : " delete"));
                Sheet setup(picture, 0, row);
                if (picture == rootSheet)
                    SelectRoot(rootA);
                ExpectNoChange(step);
            }
}

TEST(Structure, EditsReachTheLastColumnAndRow)
{
    using Step = void (*)();
    const std::tuple<const char *, Step, const char *> cases[] = {
        {" a                          z", [] { EditText.DeleteColumn(); }, "                         z\n"},
        {" a                       z", [] { void(EditText.InsertColumn()); }, "    a                       z\n"},
        {" a\n\n\n\n\n\n\n z", [] { EditText.DeleteRow(); }, "\n\n\n\n\n\n z\n"},
        {" a\n\n\n\n\n\n z", [] { EditText.InsertRow(); }, "\n a\n\n\n\n\n\n z\n"},
    };
    for (auto [before, step, after] : cases) {
        Sheet setup(before, 0, 0, 10, 8);
        step();
        EXPECT_EQ(Shot(), after + std::string("0,0 b0")) << before;
    }
}

TEST(Fraction, InsertFractionGeometryAndCursor)
{
    const std::tuple<const char *, const char *, int, int, const char *> cases[] = {
        {"fresh line centred on the cursor", "", 3, 2, "\n\n      -- -- --\n5,2 b0"},
        {"fresh line at column 0", "", 0, 2, "\n\n-- -- --\n3,2 b0"},
        {"right of a finished line one more cell", " \n\n      -- -- --", 5, 2, "\n\n      -- -- -- --\n6,2 b0"},
        {"text left of the cursor moves the line right", " \n\n       x", 3, 2, "\n\n       x -- -- --\n6,2 b0"},
        {"under the first numerator character", " \n       a  b", 2, 2, "\n       a  b\n   -- -- -- --\n5,2 b0"},
        {"under the last numerator character", " \n       a  b", 3, 2, "\n       a  b\n   -- -- -- --\n5,2 b0"},
        {"numerator in column 0 moves right", " \n a  b", 1, 2, "\n    a  b\n-- -- -- --\n4,2 b0"},
        {"text left of the numerator moves it right", " \n       a  b\n    x", 2, 2,
         "\n          a  b\n    x -- -- -- --\n6,2 b0"},
    };
    for (auto [name, before, col, row, after] : cases) {
        SCOPED_TRACE(name);
        Sheet setup(before, col, row);
        EditText.InsertFraction(false);
        EXPECT_EQ(Shot(), after);
        EXPECT_EQ(StrayZoneMarks(row, 9), "");
        EXPECT_GE(EditText.UsedRowExt, row + 1);
    }
}

TEST(Fraction, LineStopsAtTheLastColumnWithoutAHalfMadeCell)
{
    Sheet setup("", 8, 2, 10, 8);
    EditText.InsertFraction(false);
    EXPECT_EQ(Shot(), "\n\n                     -- --\n9,2 b1");
    EXPECT_TRUE(EditText.Cells[9][2].AllZero() && !EditText.Cells[9][1].Has(cfAboveLine));
}

TEST(Fraction, ResultLineIsOneMarkedCell)
{
    Sheet setup("", 4, 3);
    EditState = esWritingResults;
    EditText.InsertFraction(true);
    EXPECT_EQ(Shot(), "\n\n            . *\n            --*\n            . *\n5,3 b0");
    EXPECT_EQ(EditText.Cells[4][3].Flags(), cfSymbolFont | cfFractionLine | cfResult);
    EXPECT_EQ(EditText.Cells[4][2].Flags(), cfAboveLine | cfResult);
    EXPECT_EQ(EditText.Cells[4][4].Flags(), cfBelowLine | cfResult);
    EXPECT_TRUE(EditText.Cells[3][3].AllZero() && EditText.Cells[5][3].AllZero());
    EXPECT_EQ(EditText.UsedRowExt, 4);
}

TEST(Brackets, LayoutAndCursor)
{
    Sheet setup("", 2, 0);
    ScriptLevel = -1;  // the middle drops the script flags
    EXPECT_TRUE(EditText.InsertBrackets(230, 231, 232, 2, 5));
    EXPECT_EQ(EditText.Cells[2][4].Code(), 256 + 230);
    EXPECT_EQ(EditText.Cells[2][5].Code(), scParenOpenMiddle);
    EXPECT_EQ(EditText.Cells[2][6].Code(), 256 + 232);
    EXPECT_EQ(EditText.Cells[2][5].Flags(), cfTallBracket | cfSymbolFont);
    EXPECT_TRUE(EditText.Cells[2][4].Has(cfBracketPart) && EditText.Cells[2][6].Has(cfBracketPart));
    EXPECT_EQ(Where(), "3,5 b0");
    // In the last column the bracket stays and the failed advance beeps once.
    Sheet small("", 9, 3, 10, 8);
    EXPECT_TRUE(EditText.InsertBrackets(246, 247, 248, 9, 3));
    EXPECT_EQ(EditText.Cells[9][3].Code(), scParenCloseMiddle);
    EXPECT_EQ(Where(), "9,3 b1");
    // The result writer wraps to column 1 of the next row; the cursor keeps the bracket's row.
    Sheet results("", 9, 3, 10, 8);
    EditState = esWritingResults;
    EXPECT_TRUE(EditText.InsertBrackets(230, 231, 232, 9, 3));
    EXPECT_EQ(Where(), "1,3 b0");
}

const char *const areaA = "2,4 R5\n3-7,4 N02 O02\n2,5 L1 T4 B6 O01\n3-7,5 N02\n2,6 R5\n3-7,6 N02\n";
// B inside A: B level 1, A raised to level 2 in all its rows.
const char *const areaAB = "2,4 R5\n3,4 N04 O04\n4,4 R5 N04 O04\n5-6,4 N06 O06\n7,4 N04 O04\n"
                           "2,5 L2 T4 B6 O01\n3,5 N04\n4,5 L1 T4 B6 N04 O01\n5-6,5 N06\n7,5 N04\n"
                           "2,6 R5\n3,6 N04\n4,6 R5 N04\n5-6,6 N06\n7,6 N04\n";

TEST(Roots, AreasNestAndComeApart)
{
    enum Then { nothing, clearB, clearA, overwriteB };
    struct Case {
        const char *name, *sheet;
        std::vector<Sel> sels;
        Then then;
        const char *attrs;
    };
    const Case cases[] = {
        {"the worked example", rootSheet, {rootA}, nothing, areaA},
        {"inner root raises the enclosing one", twoRoots, {rootA, rootB}, nothing, areaAB},
        {"outer root set last gets the level above", twoRoots, {rootB, rootA}, nothing, areaAB},
        {"clearing the inner root lowers the outer again", twoRoots, {rootA, rootB}, clearB, areaA},
        {"overwriting the inner root removes its area too", twoRoots, {rootA, rootB}, overwriteB, areaA},
        {"clearing the outer root leaves the inner one",
         twoRoots,
         {rootA, rootB},
         clearA,
         "4,4 R5\n5-6,4 N02 O02\n4,5 L1 T4 B6 O01\n5-6,5 N02\n4,6 R5\n5-6,6 N02\n"},
        {"a new range replaces the old one",
         rootSheet,
         {rootA, {2, 5, {3, 5, 4, 5}}},
         nothing,
         "2,5 L1 T5 B5 R5 O01\n3-4,5 N02 O02\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet setup(c.sheet);
        const std::string cells = SheetToPicture(EditText);
        for (const Sel &s : c.sels)
            SelectRoot(s);
        int newCol;
        if (c.then == clearB || c.then == clearA)
            EditText.ClearNesting(c.then == clearB ? 1 : 2, c.then == clearB ? 4 : 2, 5);
        if (c.then == overwriteB) {
            ASSERT_TRUE(EditText.PutChar(214, 4, 5, newCol));
            EditText.Cells[4][5].Add(cfSymbolFont);
        }
        EXPECT_EQ(AttrsToText(EditText), c.attrs);
        EXPECT_EQ(SheetToPicture(EditText) + Where(), cells + "0,0 b0");
        EXPECT_EQ(EditText.UsedRowExt, 6);
    }
}

TEST(Roots, InvalidSelectionsChangeNothing)
{
    // Left of the root, on another cell, turned round, past the sheet; root signs
    // wait where the arrays hold cells outside the sheet: (3, -1) is (2, 144).
    const Sel sels[] = {{2, 5, {1, 4, 7, 6}},    {3, 5, {3, 4, 7, 6}},  {2, 5, {7, 4, 3, 6}},  {2, 5, {3, 6, 7, 4}},
                        {2, 5, {3, -1, 7, 6}},   {2, 5, {3, 4, 7, 72}}, {2, 5, {3, 4, 72, 6}}, {3, -1, {4, 4, 7, 6}},
                        {72, 5, {73, 4, 80, 6}}, {5, 72, {6, 4, 9, 6}}};
    Sheet setup(rootSheet);
    EditText.Cells[2][144] = EditText.Cells[72][5] = EditText.Cells[5][72] = EditText.Cells[2][5];
    for (const Sel &sel : sels)
        ExpectNoChange([&] { SelectRoot(sel); }, 0);
    // A root in the last row with its area up to the last column is taken.
    EditText.Cells[2][71] = EditText.Cells[2][5];
    EditState = esWritingResults;
    SelectRoot({2, 71, {3, 70, 71, 71}});
    EXPECT_EQ(std::tuple(EditText.Attrs[2][71].RootLevel, EditText.Attrs[71][71].Nesting), std::tuple(1, 2));
}

TEST(Roots, EighthLevelIsRefused)
{
    // Eight root signs in row 5, columns 0..7; "z" in column 20.
    const char *const eightRoots = " \n\n\n\n\nr/ r/ r/ r/ r/ r/ r/ r/                                      z\n";
    const int orders[2][8] = {{0, 1, 2, 3, 4, 5, 6, 7}, {7, 6, 5, 4, 3, 2, 1, 0}};  // innermost / outermost last
    for (const auto &order : orders) {
        SCOPED_TRACE(order[0]);
        Sheet setup(eightRoots);
        ASSERT_EQ(EditText.Cells[20][5].Ch, 'z');
        for (int i = 0; i < 7; ++i)
            SelectRoot({order[i], 5, {order[i] + 1, 4, 20, 6}});
        EXPECT_EQ(SheetSetup::beeps, 0);
        EXPECT_EQ(EditText.Attrs[0][5].RootLevel, order[0] == 0 ? 7 : 0);
        ExpectNoChange([&] { SelectRoot({order[7], 5, {order[7] + 1, 4, 20, 6}}); });
    }
}

TEST(Rows, InsertedAndDeletedRowsCarryTheStoredRootRows)
{
    Sheet setup(rootSheet, 4, 2);
    SelectRoot(rootA);
    const SheetBytes before;
    EditText.InsertRow();
    EXPECT_EQ(AttrsToText(EditText), "2,5 R6\n3-7,5 N02 O02\n2,6 L1 T5 B7 O01\n3-7,6 N02\n2,7 R6\n3-7,7 N02\n");
    EXPECT_EQ(EditText.Cells[2][6].Code(), scRootSign);
    EXPECT_EQ(EditText.UsedRowExt, 7);
    EditText.DeleteRow();
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST(Rows, RowsMove)
{
    const std::tuple<const char *, const char *, int, bool, const char *> cases[] = {
        {"plain rows", " a\n b\n c", 1, false, " a\n\n b\n c\n"},
        {"above a numerator", structs, 1, false,
         "\n\n a                (/\n-- --             (|\n b                (\\\n"},
        {"above a bracket's top piece", bracket, 1, false, "\n\n   (/\n   (|\n   (\\\n"},
        {"unlock marks in the last row do not block", " a\n b", 0, true, "\n a\n b\n"},
        {"below the used rows only a repaint", " a\n b", 5, false, " a\n b\n"},
    };
    for (auto [name, picture, row, unlockLastRow, after] : cases) {
        SCOPED_TRACE(name);
        Sheet setup(picture, 0, row, 10, 8);
        for (int x = 0; x < 10 && unlockLastRow; ++x)
            EditText.Attrs[x][7].Protection = 2;
        EditText.InsertRow();
        EXPECT_EQ(SheetToPicture(EditText), after);
        EXPECT_EQ(SheetSetup::beeps, 0);
    }
    Sheet setup(" a\n\n b\n c", 0, 1);
    EditText.DeleteRow();
    EditText.DeleteRow();
    EXPECT_EQ(SheetToPicture(EditText), " a\n c\n");
}

TEST(Columns, ColumnsMove)
{
    // Never inside a function name: the gap opens in front of it. Moved content grows the used extent.
    const std::tuple<const char *, int, std::string, int> cases[] = {
        {"       sn in nn x", 2, "          sn in nn x\n", 6},
        {"       sn in nn x", 3, "          sn in nn x\n", 6},
        {"       sn in nn x", 4, "          sn in nn x\n", 6},
        {"       sn in nn x", 5, "       sn in nn    x\n", 6},
        {" sn in nn", 1, "    sn in nn\n", 3},
        {" a  b", 0, "    a  b\n", 2},
    };
    for (const auto &[before, col, after, usedCol] : cases) {
        SCOPED_TRACE(testing::Message() << before << " at " << col);
        Sheet setup(before, col, 0);
        EXPECT_TRUE(EditText.InsertColumn());
        EXPECT_EQ(Shot(), after + std::to_string(col) + ",0 b0");
        EXPECT_EQ(EditText.UsedColExt, usedCol);
    }
    // On a fraction line the line grows, and the new line cell marks its numerator and denominator.
    Sheet line("    a\n-- -- --\n", 1, 1);
    EditText.InsertColumn();
    EXPECT_EQ(SheetToPicture(EditText), "       a\n-- -- -- --\n");
    EXPECT_EQ(EditText.Cells[1][0].Flags(), cfAboveLine);
    EXPECT_EQ(EditText.Cells[1][2].Flags(), cfBelowLine);
    EXPECT_EQ(StrayZoneMarks(1, 6), "");
    // Deleting a column next to a name closes the gap.
    Sheet name("       sn in nn\n x", 1, 1);
    EditText.DeleteColumn();
    EXPECT_EQ(Shot(), "    sn in nn\n x\n1,1 b0");
}

TEST(Columns, ColumnsThroughRootAreas)
{
    const std::tuple<const char *, const char *, bool, bool, int, const char *> cases[] = {
        {"a column at the root moves its area", rootSheet, false, true, 2,
         "3,4 R5\n4-8,4 N02 O02\n3,5 L1 T4 B6 O01\n4-8,5 N02\n3,6 R5\n4-8,6 N02\n"},
        {"a column inside the area widens it", rootSheet, false, true, 4,
         "2,4 R5\n3-8,4 N02 O02\n2,5 L1 T4 B6 O01\n3-8,5 N02\n2,6 R5\n3-8,6 N02\n"},
        {"deleting the inner root's column lowers the outer one", twoRoots, true, false, 4,
         "2,4 R5\n3-6,4 N02 O02\n2,5 L1 T4 B6 O01\n3-6,5 N02\n2,6 R5\n3-6,6 N02\n"},
    };
    for (auto [name, sheet, withB, insert, col, attrs] : cases) {
        SCOPED_TRACE(name);
        Sheet setup(sheet, col, 5);
        SelectRoot(rootA);
        if (withB)
            SelectRoot(rootB);
        insert ? void(EditText.InsertColumn()) : EditText.DeleteColumn();
        EXPECT_EQ(AttrsToText(EditText), attrs);
    }
    // The root's column and back: the sheet as it was. Without the root column no area.
    Sheet setup(rootSheet, 2, 5);
    SelectRoot(rootA);
    const SheetBytes before;
    EditText.InsertColumn();
    EXPECT_EQ(EditText.UsedColExt, 10);
    EditText.DeleteColumn();
    EXPECT_TRUE(SheetBytes() == before);
    EditText.DeleteColumn();
    EXPECT_EQ(AttrsToText(EditText), "");
    EXPECT_EQ(SheetToPicture(EditText), "\n\n\n\n\n       a  b              z\n");
}

}  // namespace
