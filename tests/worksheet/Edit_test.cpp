#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <utility>

#include "SheetPicture.h"

namespace {

struct EditTest : ::testing::Test {
    SheetSetup setup;
    void Cursor(int col, int row)
    {
        setup.grid.SetCol(col);
        setup.grid.SetRow(row);
    }
    // Selects the root at (col, row) with the given range, as the grid's
    // selection handler does.
    void SelectRoot(int col, int row, TGridRect range)
    {
        EditText.Selection = range;
        EditText.SelCol = col;
        EditText.SelRow = row;
        EditText.SetRootRange();
    }
};

TEST(CellLayout, FlagWordIsLittleEndianFromByteOne)
{
    TCell c;
    c.Ch = 190;
    c.SetFlags(cfSymbolFont | cfFractionLine | cfResult);
    const auto *b = reinterpret_cast<const uint8_t *>(&c);
    EXPECT_EQ(b[0], 190);
    EXPECT_EQ(b[1], 0x03);
    EXPECT_EQ(b[2], 0x00);
    EXPECT_EQ(b[3], 0x40);
    EXPECT_EQ(b[4], 0x00);
    EXPECT_EQ(c.Code(), 958);
}

// ---------------------------------------------------------------------------
// PutChar on numerator and denominator cells

// "ab" over a line of columns 0..3, "c" under it.
const char *const fraction =
    "    a  b\n"
    "-- -- -- --\n"
    "    c\n";

struct WidenCase {
    const char *name;
    int col, row;
    int newCol;         // column written
    int cursorCol;      // cursor after the write (it starts on the cell)
    const char *after;  // the sheet afterwards
};

const WidenCase widenCases[] = {
    {"numerator right end", 3, 0, 3, 3,
     "    a  b  x\n"
     "-- -- -- -- --\n"
     "    c\n"},
    {"numerator left end", 0, 0, 1, 1,
     "    x  a  b\n"
     "-- -- -- -- --\n"
     "       c\n"},
    {"numerator middle", 1, 0, 1, 1,
     "    x  b\n"
     "-- -- -- --\n"
     "    c\n"},
    {"denominator right end", 3, 2, 3, 3,
     "    a  b\n"
     "-- -- -- -- --\n"
     "    c     x\n"},
    {"denominator left end", 0, 2, 1, 1,
     "       a  b\n"
     "-- -- -- -- --\n"
     "    x  c\n"},
};

TEST_F(EditTest, TypingAtTheEndsOfNumeratorAndDenominatorWidensTheLine)
{
    for (const WidenCase &c : widenCases) {
        SCOPED_TRACE(c.name);
        SheetSetup fresh;
        LoadPicture(EditText, fraction);
        fresh.grid.SetCol(c.col);
        fresh.grid.SetRow(c.row);
        int newCol = -1;
        EXPECT_TRUE(EditText.PutChar('x', c.col, c.row, newCol));
        EXPECT_EQ(newCol, c.newCol);
        EXPECT_EQ(fresh.grid.Col(), c.cursorCol);
        EXPECT_EQ(SheetToPicture(EditText), c.after);
        EXPECT_EQ(SheetSetup::beeps, 0);
        // Every column over and under the line keeps its zone marker.
        for (int x = 0; x <= 4; ++x) {
            const bool line = EditText.Cells[x][1].Has(cfFractionLine);
            EXPECT_EQ(EditText.Cells[x][0].Has(cfAboveLine), line) << x;
            EXPECT_EQ(EditText.Cells[x][2].Has(cfBelowLine), line) << x;
        }
        EXPECT_TRUE(EditText.Cells[newCol][c.row].Has(c.row == 0 ? cfAboveLine : cfBelowLine));
    }
}

TEST_F(EditTest, RefusedWideningWritesInPlaceWithOneBeep)
{
    // Locked page, numerator cell unlocked: the cell may change, the columns
    // may not move. The character lands where it was typed.
    LoadPicture(EditText, fraction);
    EditText.PageLock = 1;
    EditText.Attrs[0][0].Protection = 2;
    Cursor(0, 0);
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 0, 0, newCol));
    EXPECT_EQ(newCol, 0);
    EXPECT_EQ(setup.grid.Col(), 0);
    EXPECT_EQ(SheetSetup::beeps, 1);
    EXPECT_EQ(SheetToPicture(EditText),
              " x  a  b\n"
              "-- -- -- --\n"
              "    c\n");
}

TEST_F(EditTest, LockedCellIsRefusedBeforeAnyColumnMoves)
{
    LoadPicture(EditText, fraction);
    EditText.PageLock = 1;
    const SheetBytes before;
    int newCol = -1;
    EXPECT_FALSE(EditText.PutChar('x', 0, 0, newCol));
    EXPECT_EQ(newCol, -1);
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 1);
}

TEST_F(EditTest, FractionLineCellOverwrittenLosesItsZoneMarkers)
{
    LoadPicture(EditText, fraction);
    int newCol;
    ASSERT_TRUE(EditText.PutChar(190, 1, 1, newCol));
    EXPECT_TRUE(EditText.Cells[1][0].Has(cfAboveLine));
    EXPECT_TRUE(EditText.Cells[1][2].Has(cfBelowLine));
    EditText.Cells[1][1].Add(cfFractionLine);
    ASSERT_TRUE(EditText.PutChar('-', 2, 1, newCol));
    EXPECT_FALSE(EditText.Cells[2][0].Has(cfAboveLine));
    EXPECT_FALSE(EditText.Cells[2][2].Has(cfBelowLine));
    EXPECT_TRUE(EditText.Cells[3][0].Has(cfAboveLine));
}

TEST_F(EditTest, FractionLineInTheTopRowOverwrittenTouchesOnlyTheRowBelow)
{
    LoadPicture(EditText, "-- --\n a\n");
    int newCol;
    EXPECT_TRUE(EditText.PutChar('y', 0, 0, newCol));
    EXPECT_EQ(EditText.Cells[0][1].Flags(), 0u);
    EXPECT_TRUE(EditText.Cells[1][1].Has(cfBelowLine));
}

// ---------------------------------------------------------------------------
// Tall brackets

const char *const bracket =
    "   (/\n"
    "   (|\n"
    "   (\\\n";

TEST_F(EditTest, BracketTopAndBottomCannotBeTypedOver)
{
    for (int row : {0, 2})
        for (uint8_t ch : {uint8_t('x'), uint8_t(0)}) {
            SCOPED_TRACE(row);
            SheetSetup fresh;
            LoadPicture(EditText, bracket);
            const SheetBytes before;
            int newCol = -1;
            EXPECT_FALSE(EditText.PutChar(ch, 1, row, newCol));
            EXPECT_EQ(newCol, -1);
            EXPECT_TRUE(SheetBytes() == before);
            EXPECT_EQ(SheetSetup::beeps, 1);
        }
}

TEST_F(EditTest, OverwritingTheMiddleErasesAllThreePieces)
{
    LoadPicture(EditText, bracket);
    Cursor(1, 1);
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(newCol, 1);
    EXPECT_EQ(SheetToPicture(EditText, 2), "\n    x\n\n");
    EXPECT_TRUE(EditText.Cells[1][0].AllZero());
    EXPECT_TRUE(EditText.Cells[1][2].AllZero());
    EXPECT_EQ(EditText.Cells[1][1].Flags(), 0u);
    EXPECT_EQ(setup.grid.Row(), 1);
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST_F(EditTest, MiddleInTheTopRowErasesOnlyTheBottomPiece)
{
    LoadPicture(EditText, "(|\n(\\\n");
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar(0, 0, 0, newCol));
    EXPECT_EQ(newCol, 0);
    EXPECT_TRUE(EditText.Cells[0][1].AllZero());
    EXPECT_EQ(SheetSetup::beeps, 0);
}

TEST_F(EditTest, MiddleWhosePiecesAreLockedStaysWrittenAndReportsItsColumn)
{
    LoadPicture(EditText, bracket);
    EditText.PageLock = 1;
    EditText.Attrs[1][1].Protection = 2;
    Cursor(1, 1);
    int newCol = -1;
    EXPECT_TRUE(EditText.PutChar('x', 1, 1, newCol));
    EXPECT_EQ(newCol, 1);
    EXPECT_EQ(EditText.Cells[1][1].Code(), 'x');
    EXPECT_EQ(SheetSetup::beeps, 1);
}

// ---------------------------------------------------------------------------
// Locked pages

struct LockCase {
    const char *name;
    uint8_t protection;
    uint8_t state;
    bool written;
};

const LockCase lockCases[] = {
    {"locked cell", 0, esEditing, false},
    {"unlocked cell", 2, esEditing, true},
    {"other protection bits do not unlock", 1, esEditing, false},
    {"result writer writes anywhere", 0, esWritingResults, true},
};

TEST_F(EditTest, LockedPageRefusesCellsWithoutTheUnlockBit)
{
    for (const LockCase &c : lockCases) {
        SCOPED_TRACE(c.name);
        SheetSetup fresh;
        LoadPicture(EditText, " a");
        EditText.PageLock = 1;
        EditState = c.state;
        EditText.Attrs[0][0].Protection = c.protection;
        const SheetBytes before;
        int newCol = -1;
        EXPECT_EQ(EditText.PutChar('z', 0, 0, newCol), c.written);
        EXPECT_EQ(EditText.CellLocked(0, 0), !c.written);
        if (c.written) {
            EXPECT_EQ(EditText.Cells[0][0].Ch, 'z');
            EXPECT_EQ(SheetSetup::beeps, 0);
        } else {
            EXPECT_TRUE(SheetBytes() == before);
            EXPECT_EQ(SheetSetup::beeps, 1);
        }
    }
}

// ---------------------------------------------------------------------------
// Root signs

TEST_F(EditTest, OverwritingARootWithAnAreaClearsAreaAndOverline)
{
    // Root sign at (2, 5), radicand "ab", used extent to column 9.
    LoadPicture(EditText, " \n\n\n\n\n      r/  a  b              z\n");
    ASSERT_EQ(EditText.UsedColExt, 9);
    SelectRoot(2, 5, {3, 4, 7, 6});
    ASSERT_NE(AttrsToText(EditText), "");
    int newCol;
    EXPECT_TRUE(EditText.PutChar('x', 2, 5, newCol));
    EXPECT_EQ(AttrsToText(EditText), "");
    EXPECT_EQ(EditText.Cells[2][5].Code(), 'x');
}

TEST_F(EditTest, RootWithARangeBeyondTheSheetIsClearedSafely)
{
    LoadPicture(EditText, " \n      r/");
    TAttrCell &root = EditText.Attrs[2][1];
    for (auto [level, top, bottom] : std::initializer_list<std::tuple<int, int, int>>{{1, 200, 250}, {9, 1, 255}, {3, 144, 144}}) {
        root.RootLevel = uint8_t(level);
        root.RootTop = uint8_t(top);
        root.RootBottom = uint8_t(bottom);
        root.Overline = 1;
        int newCol;
        EXPECT_TRUE(EditText.PutChar('x', 2, 1, newCol));
        EXPECT_EQ(root.RootLevel, 0);
        EXPECT_EQ(root.Overline, 0);
    }
}

// ---------------------------------------------------------------------------
// Fonts, script levels, bounds and the used extent

TEST_F(EditTest, FontSetAndScriptLevelGoIntoTheFlags)
{
    struct Case {
        uint8_t fontSet;
        int script;
        uint32_t flags;
        uint16_t code;
    };
    const Case cases[] = {
        {0, 0, 0, 'p'},
        {2, 0, cfSymbolFont, 368},
        {0, -1, cfRaised, 'p'},
        {0, 8, cfLowered, 'p'},
        {2, -1, cfSymbolFont | cfRaised, 368},
    };
    for (const Case &c : cases) {
        FontSet = c.fontSet;
        ScriptLevel = c.script;
        int newCol;
        ASSERT_TRUE(EditText.PutChar('p', 4, 4, newCol));
        EXPECT_EQ(EditText.Cells[4][4].Flags(), c.flags);
        EXPECT_EQ(EditText.Cells[4][4].Code(), c.code);
    }
}

TEST_F(EditTest, PutCharGrowsTheUsedExtentAndNeverWritesOutsideTheGrid)
{
    SheetSetup small(10, 8);
    int newCol;
    ASSERT_TRUE(EditText.PutChar('a', 9, 7, newCol));
    EXPECT_EQ(EditText.UsedColExt, 9);
    EXPECT_EQ(EditText.UsedRowExt, 7);
    const SheetBytes before;
    for (auto [c, r] : std::initializer_list<std::pair<int, int>>{{10, 0}, {0, 8}, {-1, 0}, {0, -1}, {144, 144}})
        EXPECT_FALSE(EditText.PutChar('a', c, r, newCol));
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(SheetSetup::beeps, 5);
}

// ---------------------------------------------------------------------------
// Cursor

TEST_F(EditTest, FindLineStart)
{
    struct Case {
        const char *name;
        const char *picture;
        int cursorRow;
        int start;
    };
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
        SheetSetup fresh;
        LoadPicture(EditText, c.picture);
        fresh.grid.SetRow(c.cursorRow);
        fresh.grid.SetCol(9);
        EditText.FindLineStart();
        EXPECT_EQ(EditText.LineStartCol, c.start);
        EXPECT_EQ(fresh.grid.Col(), c.start);
        EXPECT_EQ(fresh.grid.Row(), c.cursorRow);
    }
}

TEST_F(EditTest, CursorMovesBeepAtTheEdges)
{
    struct Case {
        const char *name;
        void (TEditText::*move)();
        int col, row;        // start
        int toCol, toRow;    // end
        int beeps;
    };
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
        SheetSetup fresh(10, 8);
        fresh.grid.SetCol(c.col);
        fresh.grid.SetRow(c.row);
        (EditText.*c.move)();
        EXPECT_EQ(fresh.grid.Col(), c.toCol);
        EXPECT_EQ(fresh.grid.Row(), c.toRow);
        EXPECT_EQ(SheetSetup::beeps, c.beeps);
    }
}

TEST_F(EditTest, ClearEmptiesOnlyTheGridAndKeepsModesAndExtent)
{
    LoadPicture(EditText, " a  b");
    EditText.Cells[100][100].Ch = 'q';
    EditText.Attrs[1][0].Nesting = 2;
    EditText.RadMode = 1;
    EditText.ShowTextBoxes = 1;
    Cursor(3, 3);
    EditText.Clear(setup.grid);
    EXPECT_EQ(SheetToPicture(EditText, 0, 71), "\n");
    EXPECT_EQ(AttrsToText(EditText), "");
    EXPECT_EQ(EditText.Cells[100][100].Ch, 'q');
    EXPECT_EQ(EditText.RadMode, 1);
    EXPECT_EQ(EditText.ShowTextBoxes, 0);
    EXPECT_EQ(EditText.UsedColExt, 1);
    EXPECT_EQ(setup.grid.Col(), 0);
    EXPECT_EQ(setup.grid.Row(), 0);
    EditText.Reset();
    EXPECT_EQ(EditText.UsedColExt, 0);
    EXPECT_EQ(EditText.UsedRowExt, 0);
}

}  // namespace
