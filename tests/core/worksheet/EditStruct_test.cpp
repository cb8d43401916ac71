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
    EditText.Selection = s.range, EditText.SelCol = s.col, EditText.SelRow = s.row, EditText.SetRootRange();
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
    const Step fraction = [] { EditText.InsertFraction(false); };
    const Step brackets = [] { EditText.InsertBrackets(233, 234, 235, 2, EditText.CursorRow()); },
               integral = [] { EditText.InsertBrackets(243, 244, 245, 2, EditText.CursorRow()); };
    const Step insertRow = [] { EditText.InsertRow(); }, deleteRow = [] { EditText.DeleteRow(); };
    const Step insertColumn = [] { EXPECT_FALSE(EditText.InsertColumn()); },
               deleteColumn = [] { EditText.DeleteColumn(); };
    const char *const name = "       sn in nn\n x";
    const char *const line = " \n\n\n\n      -- -- --";
    // Picture, cursor, page lock, a 10 x 8 sheet, step: a fraction and a bracket on a locked page; a bracket in the
    // first and last row, outside the grid, with the cell above or below taken, on another's bottom piece or middle,
    // on a fraction's line or with its top on the denominator;
    // a row or column with the last one taken or on a locked page; a column deleted at a name's start, in, at its end.
    // clang-format off
    const std::tuple<const char *, int, int, int, bool, Step> cases[] = {
        {"", 3, 2, 1, 0, fraction}, {"", 2, 3, 1, 1, brackets}, {"", 2, 0, 0, 1, brackets}, {"", 2, 7, 0, 1, brackets},
        {"", 2, 3, 0, 1, [] { EditText.InsertBrackets(233, 234, 235, 10, 3); }},
        {" \n\n       x", 2, 3, 0, 1, brackets}, {" \n\n\n\n       x", 2, 3, 0, 1, brackets},
        {" \n\n      (/\n      (|\n      (\\", 2, 4, 0, 1, brackets}, {" \n\n      [/\n      [|\n      [\\", 2, 3, 0, 1, brackets},
        {line, 2, 4, 0, 1, brackets}, {line, 2, 6, 0, 1, integral},
        {" a\n\n\n\n\n\n\n b", 0, 0, 0, 1, insertRow}, {" a\n b", 0, 0, 1, 1, insertRow}, {" a\n b", 0, 0, 1, 1, deleteRow},
        {" a  b                       z", 0, 0, 0, 1, insertColumn}, {" a  b", 0, 0, 1, 1, insertColumn},
        {" a  b", 0, 0, 1, 1, deleteColumn}, {name, 2, 1, 0, 0, deleteColumn}, {name, 3, 1, 0, 0, deleteColumn},
        {name, 4, 1, 0, 0, deleteColumn},
    };
    // clang-format on
    for (const auto &[picture, col, row, lock, small, step] : cases) {
        SCOPED_TRACE(testing::Message() << picture << " at " << col << "," << row);
        Sheet setup(picture, col, row, small ? 10 : 72, small ? 8 : 72);
        EditText.PageLock = lock;
        ExpectNoChange(step);
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

// Each row: the picture, the cursor, the step, then picture, cursor, beeps, used extent and the
// structure layer (when not empty) after it, and a row whose fraction line must carry its zone
// marks (-1: none). A 10 x 8 sheet.
TEST(Structure, EditsMoveTheSheet)
{
    using Step = void (*)();
    static const Step row = [] { EditText.InsertRow(); }, delRow = [] { EditText.DeleteRow(); };
    const Step col = [] { EXPECT_TRUE(EditText.InsertColumn()); }, delCol = [] { EditText.DeleteColumn(); };
    const Step fraction = [] { EditText.InsertFraction(false); };
    static const auto brackets = [](int first, int c, int r) {
        EXPECT_TRUE(EditText.InsertBrackets(first, first + 1, first + 2, c, r));
    };
    const struct {
        const char *before;
        int col, row;
        Step step;
        const char *after;
        int zoneRow;
    } cases[] = {
        {" a                          z", 0, 0, delCol, "                         z\n0,0 b0 u9,0", -1},
        {" a                       z", 0, 0, col, "    a                       z\n0,0 b0 u9,0", -1},
        {" a\n\n\n\n\n\n\n z", 0, 0, delRow, "\n\n\n\n\n\n z\n0,0 b0 u0,7", -1},
        {" a\n\n\n\n\n\n z", 0, 0, row, "\n a\n\n\n\n\n\n z\n0,0 b0 u0,7", -1},
        {" a\n b\n c", 0, 1, row, " a\n\n b\n c\n0,1 b0 u0,3", -1},
        {structs, 0, 1, row, "\n\n a                (/\n-- --             (|\n b                (\\\n0,1 b0 u6,4", 3},
        {bracket, 0, 1, row, "\n\n   (/\n   (|\n   (\\\n0,1 b0 u1,4", -1},
        {" a\n b", 0, 0, [] { EditText.Attrs[0][7].Protection = EditText.Attrs[9][7].Protection = 2, row(); },
         "\n a\n b\n0,0 b0 u0,2", -1},                     // unlock marks do not block
        {" a\n b", 0, 5, row, " a\n b\n0,5 b0 u0,1", -1},  // below the used rows only a repaint
        {" a\n\n b\n c", 0, 1, [] { delRow(), delRow(); }, " a\n c\n0,1 b0 u0,3", -1},
        // Never inside a function name: the gap opens in front of it.
        {"       sn in nn x", 2, 0, col, "          sn in nn x\n2,0 b0 u6,0", -1},
        {"       sn in nn x", 3, 0, col, "          sn in nn x\n3,0 b0 u6,0", -1},
        {"       sn in nn x", 4, 0, col, "          sn in nn x\n4,0 b0 u6,0", -1},
        {"       sn in nn x", 5, 0, col, "       sn in nn    x\n5,0 b0 u6,0", -1},
        {" sn in nn", 1, 0, col, "    sn in nn\n1,0 b0 u3,0", -1},
        {"       sn in nn\n x", 1, 1, delCol, "    sn in nn\n x\n1,1 b0 u4,1", -1},
        {"    a\n-- -- --\n", 1, 1, col, "       a\n-- -- -- --\n1,1 b0 u3,2", 1},  // the line grows
        // A block down to the last row moves whole, from any of its rows; a block beyond an empty row stays.
        {" \n\n\n\n\n         (/\n       a (|  b\n         (\\", 2, 6, col,
         "\n\n\n\n\n            (/\n          a (|  b\n            (\\\n2,6 b0 u5,7", -1},
        {" \n\n x\n\n\n       a\n   -- -- --\n       b", 0, 7, delCol,
         "\n\n x\n\n\n    a\n-- -- --\n    b\n0,7 b0 u3,7", 6},
        {" a\n b\n\n\n\n\n\n c", 0, 0, col, "    a\n    b\n\n\n\n\n\n c\n0,0 b0 u1,7", -1},
        // The freed last row or column is empty in both layers: typing there leaves the root that moved up
        // whole, and an area ends before the freed column.
        // clang-format off
        {" \n\n\n\n\n\n          a  b  c\n      r/", 0, 0,
         [] { int n; SelectRoot({2, 7, {3, 6, 5, 6}}), delRow(), EditText.PutChar('x', 2, 7, n); },
         "\n\n\n\n\n          a  b  c\n      r/\n       x\n0,0 b0 u5,7\n2,5 R6\n3-5,5 N02 O02\n2,6 L1 T5 B5 O01\n", -1},
        {rootSheet, 4, 5, [] { SelectRoot({2, 5, {3, 5, 9, 5}}), EditText.DeleteColumn(); },
         "\n\n\n\n\n      r/  a              z\n4,5 b0 u9,5\n2,5 L1 T5 B5 R5 O01\n3-8,5 N02 O02\n", -1},
        // clang-format on
        // A fraction centred on the cursor, one cell more right of a line, moved by text left of it.
        {"", 3, 2, fraction, "\n\n      -- -- --\n5,2 b0 u4,3", 2},
        {"", 0, 2, fraction, "\n\n-- -- --\n3,2 b0 u2,3", 2},
        {" \n\n      -- -- --", 5, 2, fraction, "\n\n      -- -- -- --\n6,2 b0 u5,3", 2},
        {" \n\n       x", 3, 2, fraction, "\n\n       x -- -- --\n6,2 b0 u5,3", 2},
        {" \n       a  b", 2, 2, fraction, "\n       a  b\n   -- -- -- --\n5,2 b0 u4,3", 2},
        {" \n       a  b", 3, 2, fraction, "\n       a  b\n   -- -- -- --\n5,2 b0 u4,3", 2},
        {" \n a  b", 1, 2, fraction, "\n    a  b\n-- -- -- --\n4,2 b0 u3,3", 2},
        {" \n       a  b\n    x", 2, 2, fraction, "\n          a  b\n    x -- -- -- --\n6,2 b0 u5,3", 2},
        {"", 8, 2, fraction, "\n\n                     -- --\n9,2 b1 u8,3", 2},  // no half-made cell
        {"", 4, 3, [] { EditState = esWritingResults, EditText.InsertFraction(true); },
         "\n\n            . *\n            --*\n            . *\n5,3 b0 u4,4", 3},
        // A tall bracket drops the script flags; in the last column the failed advance beeps
        // once; the result writer wraps to column 1 of the next row and keeps the bracket's row.
        // clang-format off
        {"", 2, 0, [] { ScriptLevel = -1, brackets(230, 2, 5); }, "\n\n\n\n      ?e6\n      (|\n      ?e8\n3,5 b0 u2,6", -1},
        {"", 9, 3, [] { brackets(246, 9, 3); },
         "\n\n                           )/\n                           )|\n                           )\\\n9,3 b1 u9,4", -1},
        {"", 9, 3, [] { EditState = esWritingResults, brackets(230, 9, 3); },
         "\n\n                           (/\n                           (|\n                           (\\\n1,3 b0 u9,4", -1},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " at " << c.col << "," << c.row);
        Sheet setup(c.before, c.col, c.row, 10, 8);
        c.step();
        const std::string attrs = AttrsToText(EditText);
        EXPECT_EQ(Shot() + " u" + std::to_string(EditText.UsedColExt) + "," + std::to_string(EditText.UsedRowExt) +
                      (attrs.empty() ? "" : "\n" + attrs),
                  c.after);
        EXPECT_EQ(c.zoneRow < 0 ? "" : StrayZoneMarks(c.zoneRow, 9), "");
    }
}

TEST(Rows, CellsBeyondAStaleUsedExtentMoveToo)
{
    Sheet rows(" a\n b\n c", 0, 1);
    EditText.Attrs[5][2].Protection = 2;
    EditText.UsedColExt = EditText.UsedRowExt = 0;
    EditText.InsertRow();
    EXPECT_EQ(SheetToPicture(EditText) + AttrsToText(EditText), " a\n\n b\n c\n5,3 P2\n");
    Sheet columns(" a  b");
    EditText.UsedColExt = 0;
    EXPECT_TRUE(EditText.InsertColumn());
    EXPECT_EQ(SheetToPicture(EditText), "    a  b\n");
}

const char *const areaA = "2,4 R5\n3-7,4 N02 O02\n2,5 L1 T4 B6 O01\n3-7,5 N02\n2,6 R5\n3-7,6 N02\n";
const char *const areaB = "4,4 R5\n5-6,4 N02 O02\n4,5 L1 T4 B6 O01\n5-6,5 N02\n4,6 R5\n5-6,6 N02\n";
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
    // clang-format off
    const Case cases[] = {
        {"the worked example", rootSheet, {rootA}, nothing, areaA},
        {"inner root raises the enclosing one", twoRoots, {rootA, rootB}, nothing, areaAB},
        {"outer root set last gets the level above", twoRoots, {rootB, rootA}, nothing, areaAB},
        {"clearing the inner root lowers the outer again", twoRoots, {rootA, rootB}, clearB, areaA},
        {"overwriting the inner root removes its area too", twoRoots, {rootA, rootB}, overwriteB, areaA},
        {"clearing the outer root leaves the inner one", twoRoots, {rootA, rootB}, clearA, areaB},
        {"a new range replaces the old one", rootSheet, {rootA, {2, 5, {3, 5, 4, 5}}}, nothing,
         "2,5 L1 T5 B5 R5 O01\n3-4,5 N02 O02\n"},
    };
    // clang-format on
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
    EditText.Cells[2][71] = EditText.Cells[2][5], EditState = esWritingResults;
    SelectRoot({2, 71, {3, 70, 71, 71}});
    EXPECT_EQ(std::tuple(EditText.Attrs[2][71].RootLevel, EditText.Attrs[71][71].Nesting), std::tuple(1, 2));
}

TEST(Roots, EighthLevelIsRefused)
{
    // Eight root signs in row 5, columns 0..7, set innermost or outermost first; "z" in column 20.
    for (const int first : {0, 7}) {
        Sheet setup(" \n\n\n\n\nr/ r/ r/ r/ r/ r/ r/ r/                                      z\n");
        const auto select = [&](int i) { SelectRoot({first ? 7 - i : i, 5, {(first ? 7 - i : i) + 1, 4, 20, 6}}); };
        for (int i = 0; i < 7; ++i)
            select(i);
        EXPECT_EQ(std::pair(SheetSetup::beeps, int(EditText.Attrs[0][5].RootLevel)), std::pair(0, first ? 0 : 7));
        ExpectNoChange([&] { select(7); });
    }
}

TEST(Columns, RowsAndColumnsThroughRootAreas)
{
    // Step r inserts a row, c a column, d deletes a column; deleting what was inserted gives the sheet back.
    // clang-format off
    const std::tuple<const char *, const char *, bool, char, Pos, const char *> cases[] = {
        {"a row above moves the area down", rootSheet, false, 'r', {4, 2},
         "2,5 R6\n3-7,5 N02 O02\n2,6 L1 T5 B7 O01\n3-7,6 N02\n2,7 R6\n3-7,7 N02\n"},
        {"a column at the root moves its area", rootSheet, false, 'c', {2, 5},
         "3,4 R5\n4-8,4 N02 O02\n3,5 L1 T4 B6 O01\n4-8,5 N02\n3,6 R5\n4-8,6 N02\n"},
        {"a column inside the area widens it", rootSheet, false, 'c', {4, 5},
         "2,4 R5\n3-8,4 N02 O02\n2,5 L1 T4 B6 O01\n3-8,5 N02\n2,6 R5\n3-8,6 N02\n"},
        {"deleting the inner root's column lowers the outer one", twoRoots, true, 'd', {4, 5},
         "2,4 R5\n3-6,4 N02 O02\n2,5 L1 T4 B6 O01\n3-6,5 N02\n2,6 R5\n3-6,6 N02\n"},
        {"without the root's column no area", rootSheet, false, 'd', {2, 5}, ""},
    };
    // clang-format on
    for (auto [name, sheet, withB, step, at, attrs] : cases) {
        SCOPED_TRACE(name);
        Sheet setup(sheet, at.first, at.second);
        SelectRoot(rootA);
        if (withB)
            SelectRoot(rootB);
        const SheetBytes before;
        step == 'r' ? EditText.InsertRow() : step == 'c' ? void(EditText.InsertColumn()) : EditText.DeleteColumn();
        EXPECT_EQ(AttrsToText(EditText), attrs);
        if (step != 'd') {
            step == 'r' ? EditText.DeleteRow() : EditText.DeleteColumn();
            EXPECT_TRUE(SheetBytes() == before);
        }
    }
}

}  // namespace
