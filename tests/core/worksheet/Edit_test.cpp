#include <gtest/gtest.h>

#include <tuple>

#include "support/SheetSteps.h"
#include "worksheet/Edit.h"

namespace {

// "ab" over a line of columns 0..3, "c" under it.
const char *const fraction = "    a  b\n-- -- -- --\n    c\n";
const char *const bracket = "   (/\n   (|\n   (\\\n";

TEST(PutChar, TypingAtTheEndsOfNumeratorAndDenominatorWidensTheLine)
{
    // The new column is the cursor's.
    const std::tuple<const char *, int, int, const char *> cases[] = {
        {"numerator right end", 3, 0, "    a  b  x\n-- -- -- -- --\n    c\n3,0 b0"},
        {"numerator left end", 0, 0, "    x  a  b\n-- -- -- -- --\n       c\n1,0 b0"},
        {"numerator middle", 1, 0, "    x  b\n-- -- -- --\n    c\n1,0 b0"},
        {"denominator left end", 0, 2, "       a  b\n-- -- -- -- --\n    x  c\n1,2 b0"},
    };
    for (auto [name, col, row, after] : cases) {
        SCOPED_TRACE(name);
        Sheet s(fraction, col, row);
        int newCol = -1;
        EXPECT_TRUE(EditText.PutChar('x', col, row, newCol));
        // Every column over and under the line keeps its zone marker.
        EXPECT_EQ(std::tuple(newCol, Shot(), StrayZoneMarks(1, 5)), std::tuple(Cursor().first, after, ""));
    }
}

TEST(PutChar, RefusalsChangeNothingAndBeepOnce)
{
    // Picture, cell, character, protection of (0, 0), edit state: a bracket's top and bottom, a locked cell, a locked
    // numerator (refused before any column moves), other protection bits, then the four sides of the grid.
    // clang-format off
    const std::tuple<const char *, int, int, uint8_t, uint8_t, uint8_t> cases[] = {
        {bracket, 1, 0, 'x', 0, esEditing}, {bracket, 1, 2, 0, 0, esEditing}, {" a", 0, 0, 'z', 0, esEditing},
        {fraction, 0, 0, 'z', 0, esEditing}, {" a", 0, 0, 'z', 1, esEditing}, {"", 72, 0, 'a', 2, esWritingResults},
        {"", 0, 72, 'a', 2, esWritingResults}, {"", -1, 0, 'a', 2, esWritingResults}, {"", 0, -1, 'a', 2, esWritingResults}};
    // clang-format on
    for (const auto &[picture, col, row, ch, protection, state] : cases) {
        SCOPED_TRACE(testing::Message() << picture << " at " << col << "," << row << " protection " << int(protection));
        Sheet s(picture);
        EditText.PageLock = picture != bracket, EditState = state, EditText.Attrs[0][0].Protection = protection;
        int newCol = -1;
        ExpectNoChange([&] { EXPECT_FALSE(EditText.PutChar(ch, col, row, newCol)); });
        EXPECT_EQ(newCol, -1);
    }
}

TEST(PutChar, LockedPageWritesUnlockedCellsAndResults)
{
    // An unlocked numerator cell may change, but its columns may not move; results are written anyway.
    Sheet s(fraction);
    EditText.PageLock = 1, EditText.Attrs[0][0].Protection = 2;
    int newCol = -1, resultCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 0, 0, newCol));
    EditState = esWritingResults;
    EXPECT_TRUE(EditText.PutChar('y', 1, 2, resultCol));
    EXPECT_EQ(std::tuple(newCol, resultCol, Shot()), std::tuple(0, 1, " x  a  b\n-- -- -- --\n    y\n0,0 b1"));
}

TEST(PutChar, OverwrittenFractionLineCellTakesItsZoneMarkersAlong)
{
    Sheet s(fraction);
    int newCol;
    ASSERT_TRUE(EditText.PutChar(190, 1, 1, newCol));  // a line character keeps them
    ASSERT_TRUE(EditText.PutChar('-', 2, 1, newCol));
    const auto &c = EditText.Cells;
    EXPECT_EQ(std::tuple(c[1][0].Has(cfAboveLine) && c[1][2].Has(cfBelowLine),
                         c[2][0].Has(cfAboveLine) || c[2][2].Has(cfBelowLine), c[3][0].Has(cfAboveLine)),
              std::tuple(true, false, true));
    // A line in the top row has only the row below to clear.
    Sheet top("-- --\n a\n");
    EXPECT_TRUE(EditText.PutChar('y', 0, 0, newCol));
    EXPECT_EQ(std::pair(EditText.Cells[0][1].Flags(), EditText.Cells[1][1].Has(cfBelowLine)), std::pair(0u, true));
}

TEST(PutChar, OverwritingABracketMiddleErasesItsPieces)
{
    Sheet s(bracket, 1, 1);
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(std::pair(newCol, Shot(2)), std::pair(1, std::string("\n    x\n\n1,1 b0")));
    // A middle in the top row has only its bottom piece.
    Sheet top("(|\n(\\\n");
    EXPECT_TRUE(EditText.PutChar(0, 0, 0, newCol));
    EXPECT_EQ(std::pair(newCol, Shot(1)), std::pair(0, std::string("\n\n0,0 b0")));
    // An unlocked middle whose pieces are locked is refused: erased, it would
    // leave them behind as loose symbol characters. Unlocked with it, they go.
    Sheet locked(bracket, 1, 1);
    EditText.PageLock = 1, EditText.Attrs[1][1].Protection = 2;
    ExpectNoChange([&] { EXPECT_FALSE(EditText.PutChar('x', 1, 1, newCol)); });
    EditText.Attrs[1][0].Protection = EditText.Attrs[1][2].Protection = 2;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(std::pair(newCol, Shot(2)), std::pair(1, std::string("\n    x\n\n1,1 b1")));
}

// Each row: the move, the cursor before it on a 10 x 8 sheet, the cursor and beeps after it.
TEST(Cursor, MovesBeepAtTheEdges)
{
    using T = TEditText;
    // clang-format off
    const std::tuple<void (TEditText::*)(), int, int, const char *> cases[] = {
        {&T::CursorLeft, 3, 2, "2,2 b0"},  {&T::CursorLeft, 0, 2, "0,2 b1"},    {&T::CursorRight, 3, 2, "4,2 b0"},
        {&T::CursorRight, 9, 2, "9,2 b1"}, {&T::CursorDown, 3, 2, "3,3 b0"},    {&T::CursorDown, 3, 7, "3,7 b1"},
        {&T::Home, 5, 5, "0,0 b0"},        {&T::RefreshCursor, 9, 2, "9,2 b0"}, {&T::RefreshCursor, 0, 2, "0,2 b0"},
    };
    // clang-format on
    for (auto [move, col, row, where] : cases) {
        SCOPED_TRACE(testing::Message() << col << "," << row << " to " << where);
        Sheet s("", col, row, 10, 8);
        (EditText.*move)();
        EXPECT_EQ(Where(), where);
    }
}

TEST(Sheet, ClearEmptiesOnlyTheGridAndKeepsModesAndExtent)
{
    Sheet s(" a  b");
    EditText.Cells[100][100].Ch = 'q', EditText.Attrs[1][0].Nesting = 2;
    EditText.RadMode = EditText.ShowTextBoxes = 1, Cursor(3, 3), EditText.Clear(s.grid);
    EXPECT_EQ(SheetToPicture(EditText, 0, 71) + Where() + AttrsToText(EditText), "\n0,0 b0");
    EXPECT_EQ(std::tuple(EditText.Cells[100][100].Ch, EditText.RadMode, EditText.ShowTextBoxes, EditText.UsedColExt),
              std::tuple('q', 1, 0, 1));
    EditText.Reset();
    EXPECT_EQ(Pos(EditText.UsedColExt, EditText.UsedRowExt), Pos(0, 0));
}

}  // namespace
