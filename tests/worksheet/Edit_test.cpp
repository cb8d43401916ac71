#include <gtest/gtest.h>


#include "SheetSteps.h"

namespace {

// "ab" over a line of columns 0..3, "c" under it.
const char *const fraction = "    a  b\n-- -- -- --\n    c\n";
const char *const bracket = "   (/\n   (|\n   (\\\n";

TEST(PutChar, TypingAtTheEndsOfNumeratorAndDenominatorWidensTheLine)
{
    struct Case { const char *name; int col, row, newCol; const char *after; };  // newCol: also the cursor
    const Case cases[] = {
        {"numerator right end", 3, 0, 3, "    a  b  x\n-- -- -- -- --\n    c\n"},
        {"numerator left end", 0, 0, 1, "    x  a  b\n-- -- -- -- --\n       c\n"},
        {"numerator middle", 1, 0, 1, "    x  b\n-- -- -- --\n    c\n"},
        {"denominator right end", 3, 2, 3, "    a  b\n-- -- -- -- --\n    c     x\n"},
        {"denominator left end", 0, 2, 1, "       a  b\n-- -- -- -- --\n    x  c\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s(fraction, c.col, c.row);
        int newCol = -1;
        EXPECT_TRUE(EditText.PutChar('x', c.col, c.row, newCol));
        EXPECT_EQ(newCol, c.newCol);
        EXPECT_EQ(Cursor(), Pos(c.newCol, c.row));
        EXPECT_EQ(SheetToPicture(EditText), c.after);
        EXPECT_EQ(SheetSetup::beeps, 0);
        for (int x = 0; x <= 4; ++x) {  // every column over and under the line keeps its zone marker
            const bool line = EditText.Cells[x][1].Has(cfFractionLine);
            EXPECT_EQ(EditText.Cells[x][0].Has(cfAboveLine), line) << x;
            EXPECT_EQ(EditText.Cells[x][2].Has(cfBelowLine), line) << x;
        }
    }
}

TEST(PutChar, RefusalsChangeNothingAndBeepOnce)
{
    struct Case { const char *name, *picture; int col, row; uint8_t ch, protection, state; };
    const Case cases[] = {
        {"bracket top", bracket, 1, 0, 'x', 0, esEditing},
        {"bracket top erased", bracket, 1, 0, 0, 0, esEditing},
        {"bracket bottom", bracket, 1, 2, 'x', 0, esEditing},
        {"bracket bottom erased", bracket, 1, 2, 0, 0, esEditing},
        {"locked cell", " a", 0, 0, 'z', 0, esEditing},
        {"locked numerator: refused before any column moves", fraction, 0, 0, 'z', 0, esEditing},
        {"other protection bits do not unlock", " a", 0, 0, 'z', 1, esEditing},
        {"right of the grid", "", 72, 0, 'a', 2, esWritingResults},
        {"below the grid", "", 0, 72, 'a', 2, esWritingResults},
        {"left of the grid", "", -1, 0, 'a', 2, esWritingResults},
        {"above the grid", "", 0, -1, 'a', 2, esWritingResults},
        {"past the grid in the arrays", "", 144, 144, 'a', 2, esWritingResults},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s(c.picture);
        EditText.PageLock = c.picture != bracket;
        EditState = c.state;
        EditText.Attrs[0][0].Protection = c.protection;
        const SheetBytes before;
        int newCol = -1;
        EXPECT_FALSE(EditText.PutChar(c.ch, c.col, c.row, newCol));
        EXPECT_EQ(newCol, -1);
        EXPECT_TRUE(SheetBytes() == before);
        EXPECT_EQ(SheetSetup::beeps, 1);
    }
}

TEST(PutChar, LockedPageWritesUnlockedCellsAndResults)
{
    for (const auto &[protection, state] : {std::pair<uint8_t, uint8_t>{2, esEditing}, {0, esWritingResults}}) {
        Sheet s(" a");
        EditText.PageLock = 1;
        EditState = state;
        EditText.Attrs[0][0].Protection = protection;
        EXPECT_FALSE(EditText.CellLocked(0, 0));
        int newCol = -1;
        EXPECT_TRUE(EditText.PutChar('z', 0, 0, newCol));
        EXPECT_EQ(EditText.Cells[0][0].Ch, 'z');
        EXPECT_EQ(SheetSetup::beeps, 0);
    }
    // A numerator cell unlocked on a locked page: the cell may change, the
    // columns may not move, so the character lands where it was typed.
    Sheet s(fraction);
    EditText.PageLock = 1;
    EditText.Attrs[0][0].Protection = 2;
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 0, 0, newCol));
    EXPECT_EQ(newCol, 0);
    EXPECT_EQ(Cursor(), Pos(0, 0));
    EXPECT_EQ(SheetSetup::beeps, 1);
    EXPECT_EQ(SheetToPicture(EditText), " x  a  b\n-- -- -- --\n    c\n");
}

TEST(PutChar, OverwrittenFractionLineCellTakesItsZoneMarkersAlong)
{
    Sheet s(fraction);
    int newCol;
    ASSERT_TRUE(EditText.PutChar(190, 1, 1, newCol));  // a line character keeps them
    EXPECT_TRUE(EditText.Cells[1][0].Has(cfAboveLine) && EditText.Cells[1][2].Has(cfBelowLine));
    ASSERT_TRUE(EditText.PutChar('-', 2, 1, newCol));
    EXPECT_FALSE(EditText.Cells[2][0].Has(cfAboveLine));
    EXPECT_FALSE(EditText.Cells[2][2].Has(cfBelowLine));
    EXPECT_TRUE(EditText.Cells[3][0].Has(cfAboveLine));
    // A line in the top row has only the row below to clear.
    Sheet top("-- --\n a\n");
    EXPECT_TRUE(EditText.PutChar('y', 0, 0, newCol));
    EXPECT_EQ(EditText.Cells[0][1].Flags(), 0u);
    EXPECT_TRUE(EditText.Cells[1][1].Has(cfBelowLine));
}

TEST(PutChar, OverwritingABracketMiddleErasesItsPieces)
{
    Sheet s(bracket, 1, 1);
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(newCol, 1);
    EXPECT_EQ(SheetToPicture(EditText, 2), "\n    x\n\n");
    EXPECT_TRUE(EditText.Cells[1][0].AllZero() && EditText.Cells[1][2].AllZero());
    EXPECT_EQ(Cursor(), Pos(1, 1));
    EXPECT_EQ(SheetSetup::beeps, 0);

    // A middle in the top row has only its bottom piece.
    Sheet top("(|\n(\\\n");
    EXPECT_TRUE(EditText.PutChar(0, 0, 0, newCol));
    EXPECT_EQ(newCol, 0);
    EXPECT_TRUE(EditText.Cells[0][1].AllZero());
    EXPECT_EQ(SheetSetup::beeps, 0);

    // Pieces that are locked stay; the middle is written and reports its column.
    Sheet locked(bracket);
    EditText.PageLock = 1;
    EditText.Attrs[1][1].Protection = 2;
    Cursor(1, 1);
    newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(newCol, 1);
    EXPECT_EQ(EditText.Cells[1][1].Code(), 'x');
    EXPECT_EQ(SheetSetup::beeps, 1);
}

TEST(PutChar, RootWithARangeBeyondTheSheetIsClearedSafely)
{
    Sheet s(" \n      r/");
    TAttrCell &root = EditText.Attrs[2][1];
    const int ranges[][3] = {{1, 200, 250}, {9, 1, 255}, {3, 144, 144}};  // level, top, bottom
    for (const auto &r : ranges) {
        root.RootLevel = uint8_t(r[0]);
        root.RootTop = uint8_t(r[1]);
        root.RootBottom = uint8_t(r[2]);
        root.Overline = 1;
        int newCol;
        EXPECT_TRUE(EditText.PutChar('x', 2, 1, newCol));
        EXPECT_EQ(root.RootLevel, 0);
        EXPECT_EQ(root.Overline, 0);
    }
}

TEST(PutChar, FontSetAndScriptLevelGoIntoTheFlagsAndTheUsedExtentGrows)
{
    struct Case { uint8_t fontSet; int script; uint32_t flags; uint16_t code; };
    const Case cases[] = {{0, 0, 0, 'p'}, {2, 0, cfSymbolFont, 368}, {0, -1, cfRaised, 'p'},
                          {0, 8, cfLowered, 'p'}, {2, -1, cfSymbolFont | cfRaised, 368}};
    SheetSetup s(10, 8);
    for (const Case &c : cases) {
        FontSet = c.fontSet;
        ScriptLevel = c.script;
        int newCol;
        ASSERT_TRUE(EditText.PutChar('p', 4, 4, newCol));
        EXPECT_EQ(EditText.Cells[4][4].Flags(), c.flags);
        EXPECT_EQ(EditText.Cells[4][4].Code(), c.code);
    }
    int newCol;
    ASSERT_TRUE(EditText.PutChar('a', 9, 7, newCol));
    EXPECT_EQ(Pos(EditText.UsedColExt, EditText.UsedRowExt), Pos(9, 7));
}

// ---------------------------------------------------------------------------
// Cursor

TEST(Cursor, FindLineStart)
{
    struct Case { const char *name, *picture; int cursorRow, start; };
    const Case cases[] = {
        {"empty sheet", "", 3, 0},
        {"only colons", " :\n\n    :", 2, 0},
        {"colon skipped", " :     a", 0, 2},
        {"rows below the cursor ignored", " \n\n\n       q", 1, 0},
        {"earliest column of rows up to the cursor", " \n          a\n    b", 2, 1},
        {"row of the cursor counts", " \n\n          a", 2, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s(c.picture, 9, c.cursorRow);
        EditText.FindLineStart();
        EXPECT_EQ(EditText.LineStartCol, c.start);
        EXPECT_EQ(Cursor(), Pos(c.start, c.cursorRow));
    }
}

TEST(Cursor, MovesBeepAtTheEdges)
{
    struct Case { const char *name; void (TEditText::*move)(); int col, row, toCol, toRow, beeps; };
    const Case cases[] = {
        {"left", &TEditText::CursorLeft, 3, 2, 2, 2, 0},
        {"left at column 0", &TEditText::CursorLeft, 0, 2, 0, 2, 1},
        {"right", &TEditText::CursorRight, 3, 2, 4, 2, 0},
        {"right at the last column", &TEditText::CursorRight, 9, 2, 9, 2, 1},
        {"down", &TEditText::CursorDown, 3, 2, 3, 3, 0},
        {"down at the last row", &TEditText::CursorDown, 3, 7, 3, 7, 1},
        {"home", &TEditText::Home, 5, 5, 0, 0, 0},
        {"refresh at the last column", &TEditText::RefreshCursor, 9, 2, 9, 2, 0},
        {"refresh at column 0", &TEditText::RefreshCursor, 0, 2, 0, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SheetSetup s(10, 8);
        Cursor(c.col, c.row);
        (EditText.*c.move)();
        EXPECT_EQ(Cursor(), Pos(c.toCol, c.toRow));
        EXPECT_EQ(SheetSetup::beeps, c.beeps);
    }
}

TEST(Sheet, ClearEmptiesOnlyTheGridAndKeepsModesAndExtent)
{
    Sheet s(" a  b");
    EditText.Cells[100][100].Ch = 'q';
    EditText.Attrs[1][0].Nesting = 2;
    EditText.RadMode = 1;
    EditText.ShowTextBoxes = 1;
    Cursor(3, 3);
    EditText.Clear(s.grid);
    EXPECT_EQ(SheetToPicture(EditText, 0, 71), "\n");
    EXPECT_EQ(AttrsToText(EditText), "");
    EXPECT_EQ(EditText.Cells[100][100].Ch, 'q');
    EXPECT_EQ(EditText.RadMode, 1);
    EXPECT_EQ(EditText.ShowTextBoxes, 0);
    EXPECT_EQ(EditText.UsedColExt, 1);
    EXPECT_EQ(Cursor(), Pos(0, 0));
    EditText.Reset();
    EXPECT_EQ(Pos(EditText.UsedColExt, EditText.UsedRowExt), Pos(0, 0));
}

}  // namespace
