#include <gtest/gtest.h>

#include <string>

#include "support/MemoryClipboard.h"
#include "support/SheetSteps.h"
#include "worksheet/ClipBoard.h"
#include "worksheet/UndoEd.h"

namespace {

struct Clip : ::testing::Test {
    MemoryClipboard board;
    TSheetCommands commands{board};
    Clip() { ClipBuffer.Clear(), ClipBuffer.Text.clear(); }
};

// A fraction with a raised numerator cell, Symbol cells and a tall bracket.
const char *const structs = "   ^a    $b (/\n-- -- -- $p (|  x\n    c       (\\\n";

}  // namespace

TEST_F(Clip, CopyPutsOneByteACellAndCrLfBetweenRows)
{
    Sheet setup(" x  =  1\n y  =  2\n");
    commands.Copy({0, 0, 2, 1});
    EXPECT_EQ(std::tuple(board.text, ClipBuffer.Text, ClipBuffer.Valid, ClipBuffer.ColCount, ClipBuffer.RowCount),
              std::tuple("x=1\r\ny=2", "x=1\r\ny=2", true, 3, 2));
    // Line cells and codes below 32 or above 128 copy as blanks.
    Sheet blanks(" \n a\n-- --\n");
    EditText.Cells[2][0].Ch = 128, EditText.Cells[3][0].Ch = 129, EditText.Cells[4][0].Ch = 31;
    EditText.Cells[5][0].Ch = 'p', EditText.Cells[5][0].Add(cfSymbolFont);
    commands.Copy({0, 0, 5, 2});
    EXPECT_EQ(board.text, std::string("  \x80  p\r\na     \r\n      "));
    commands.Copy({3, 1, 2, 1});  // right of left: nothing
    EXPECT_EQ(std::tuple(ClipBuffer.ColCount, ClipBuffer.RowCount, board.text), std::tuple(0, 0, ""));
}

TEST_F(Clip, PasteOfTheOwnCopyRecreatesTheBlockCellForCell)
{
    Sheet setup(structs);
    commands.Copy({0, 0, 5, 2});
    commands.Paste(10, 4);
    for (int c = 0; c <= 5; ++c)
        for (int r = 0; r <= 2; ++r)
            EXPECT_EQ(EditText.Cells[c][r], EditText.Cells[10 + c][4 + r]) << c << "," << r;
    EXPECT_EQ(SheetSetup::beeps, 0);
    EXPECT_GE(EditText.UsedColExt, 15);
}

TEST_F(Clip, BracketMiddlesOnTheBlocksEdgeRowsAreLeftOut)
{
    Sheet setup(" \n(/ S/\n(| S|\n(\\ S\\\n");
    EditText.Cells[1][2].Remove(cfTallBracket);  // an integral extension piece
    for (const TGridRect &block : {TGridRect{0, 2, 1, 3}, TGridRect{0, 1, 1, 2}}) {
        commands.Copy(block);  // the middles lie in the block's first, then its last row
        ExpectNoChange([&] { commands.Paste(5, 5); }, 0);
    }
}

TEST_F(Clip, ForeignTextIsTypedLineByLineFromTheCursorColumn)
{
    Sheet setup("", 2, 1, 10, 8);
    board.text = "ab\r\ncd\nef", commands.Paste(2, 1);
    EXPECT_EQ(Shot(), "\n       a  b\n       c  d\n       e  f\n4,3 b0");

    Sheet bottom("", 1, 6, 10, 8);
    board.text = "a\nb\nc", commands.Paste(1, 6);  // no row for c
    EXPECT_EQ(Shot(7), "\n\n\n\n\n\n    a\n    b\n2,7 b0");
}

TEST_F(Clip, PasteDropsWhatFallsOutsideTheSheetAndLeavesRefusedCellsAlone)
{
    Sheet setup(" a ^b\n c  d", 0, 0, 10, 8);
    commands.Copy({0, 0, 1, 1});
    commands.Paste(9, 7);
    EXPECT_EQ(SheetToPicture(EditText, 7, 9), " a ^b\n c  d\n\n\n\n\n\n                            a\n");

    Sheet locked(" x  y");
    EditText.Attrs[1][0].Protection = 2, EditText.PageLock = 1;
    commands.Copy({0, 0, 1, 0});
    EditText.Cells[0][0].Ch = 'u', EditText.Cells[1][0].Ch = 'v';
    ClipBuffer.Cells[0][0].Add(cfRaised | cfBold), ClipBuffer.Cells[1][0].Add(cfRaised);
    commands.Paste(0, 0);
    EXPECT_EQ(Shot(), " u ^y\n0,0 b1");  // the locked cell keeps its flags
}

TEST_F(Clip, DeleteAndCutEraseExactlyTheBlockAtEveryEdge)
{
    const TGridRect cases[] = {{0, 2, 1, 3}, {8, 2, 9, 3}, {4, 0, 5, 1}, {4, 6, 5, 7}, {0, 0, 9, 7}, {9, 7, 9, 7}};
    const auto letter = [](int x, int y) { return uint8_t('a' + (x + y) % 26); };
    for (const TGridRect &sel : cases)
        for (bool cut : {false, true}) {
            Sheet setup("", 3, 3, 10, 8);
            for (int x = 0; x <= 9; ++x)
                for (int y = 0; y <= 7; ++y)
                    EditText.Cells[x][y].Ch = letter(x, y);
            EditText.NoteUsed(9, 7);
            cut ? commands.Cut(sel) : commands.Delete(sel);
            for (int x = 0; x <= 9; ++x)
                for (int y = 0; y <= 7; ++y) {
                    const bool inside = x >= sel.Left && x <= sel.Right && y >= sel.Top && y <= sel.Bottom;
                    EXPECT_EQ(EditText.Cells[x][y].Ch, inside ? 0 : letter(x, y)) << x << "," << y << " " << cut;
                }
            EXPECT_EQ(std::tuple(Cursor(), SheetSetup::beeps, board.has && !board.text.empty()),
                      std::tuple(Pos(sel.Right, sel.Bottom), 0, cut));
            board.text.clear();
        }
    Sheet setup("", 3, 3, 10, 8);
    commands.Delete({5, 1, 4, 6});  // right of left: nothing, and the cursor stays
    EXPECT_EQ(Cursor(), Pos(3, 3));
}

TEST_F(Clip, LockPageRefusesTypingAndUnlockCellToggles)
{
    Sheet setup(" a");
    commands.UnlockCells({2, 2, 3, 3});  // page not locked: nothing
    EXPECT_EQ(AttrsToText(EditText), "");
    commands.LockPage(true);
    int col;
    EXPECT_FALSE(EditText.PutChar('x', 0, 0, col));
    commands.UnlockCells({2, 2, 3, 3});
    EXPECT_EQ(AttrsToText(EditText) + Where(), "2-3,2 P2\n2-3,3 P2\n0,0 b1");
    EXPECT_EQ(Pos(EditText.UsedColExt, EditText.UsedRowExt), Pos(3, 3));
    EXPECT_TRUE(EditText.PutChar('x', 3, 3, col));
    commands.UnlockCells({3, 3, 3, 3});
    EXPECT_EQ(AttrsToText(EditText), "2-3,2 P2\n2,3 P2\n");
    EXPECT_FALSE(EditText.PutChar('y', 3, 3, col));
    commands.LockPage(false);
    EXPECT_TRUE(EditText.PutChar('y', 3, 3, col));
    EXPECT_EQ(SheetSetup::beeps, 2);
}
