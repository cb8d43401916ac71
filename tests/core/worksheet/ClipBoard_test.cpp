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

// Every cell of a 10 x 8 sheet holds a letter.
void FillSmallSheet()
{
    for (int c = 0; c <= 9; ++c)
        for (int r = 0; r <= 7; ++r)
            EditText.Cells[c][r].Ch = uint8_t('a' + (c + r) % 26);
    EditText.NoteUsed(9, 7);
}

}  // namespace

TEST_F(Clip, CopyPutsOneByteACellAndCrLfBetweenRows)
{
    Sheet setup(" x  =  1\n y  =  2\n");
    commands.Copy({0, 0, 2, 1});
    EXPECT_EQ(board.text, "x=1\r\ny=2");
    EXPECT_EQ(ClipBuffer.Text, board.text);
    EXPECT_EQ(std::vector<int>({ClipBuffer.Valid, ClipBuffer.ColCount, ClipBuffer.RowCount}),
              std::vector<int>({1, 3, 2}));

    Sheet blanks(" \n a\n-- --\n");
    EditText.Cells[2][0].Ch = 128, EditText.Cells[3][0].Ch = 129, EditText.Cells[4][0].Ch = 31;
    EditText.Cells[5][0].Ch = 'p', EditText.Cells[5][0].Add(cfSymbolFont);
    commands.Copy({0, 0, 5, 2});
    EXPECT_EQ(board.text, std::string("  \x80  p\r\na     \r\n      "));
    EXPECT_EQ(board.text.size(), 3u * 6 + 2 * 2);
    commands.Copy({3, 1, 2, 1});  // right of left: nothing
    EXPECT_EQ(std::vector<int>({ClipBuffer.ColCount, ClipBuffer.RowCount}), std::vector<int>({0, 0}));
    EXPECT_EQ(board.text, "");
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
    board.text = "ab\r\ncd\nef";
    commands.Paste(2, 1);
    EXPECT_EQ(Shot(), "\n       a  b\n       c  d\n       e  f\n4,3 b0");

    Sheet bottom("", 1, 6, 10, 8);
    board.text = "a\nb\nc";  // no row for c
    commands.Paste(1, 6);
    EXPECT_EQ(Shot(7), "\n\n\n\n\n\n    a\n    b\n2,7 b0");

    Sheet none(" q");
    board.has = false;
    ExpectNoChange([&] { commands.Paste(0, 0); });
}

TEST_F(Clip, PasteDropsWhatFallsOutsideTheSheetAndLeavesRefusedCellsAlone)
{
    Sheet setup(" a ^b\n c  d", 0, 0, 10, 8);
    commands.Copy({0, 0, 1, 1});
    commands.Paste(9, 7);
    EXPECT_EQ(SheetToPicture(EditText, 7, 9), " a ^b\n c  d\n\n\n\n\n\n                            a\n");

    Sheet locked(" x  y");
    EditText.Attrs[1][0].Protection = 2;
    EditText.PageLock = 1;
    board.text = "";
    ClipBuffer.Text.clear();
    commands.Copy({0, 0, 1, 0});
    EditText.Cells[0][0].Ch = 'u', EditText.Cells[1][0].Ch = 'v';
    EditText.Cells[0][0].Remove(cfRaised);
    ClipBuffer.Cells[0][0].Add(cfRaised | cfBold), ClipBuffer.Cells[1][0].Add(cfRaised);
    commands.Paste(0, 0);
    EXPECT_EQ(Shot(), " u ^y\n0,0 b1");  // the locked cell keeps its flags
}

TEST_F(Clip, DeleteAndCutEraseExactlyTheBlockAtEveryEdge)
{
    struct Case {
        const char *name;
        TGridRect sel;
    } const cases[] = {
        {"left", {0, 2, 1, 3}},   {"right", {8, 2, 9, 3}}, {"top", {4, 0, 5, 1}},
        {"bottom", {4, 6, 5, 7}}, {"whole", {0, 0, 9, 7}}, {"corner", {9, 7, 9, 7}},
    };
    for (const Case &c : cases)
        for (bool cut : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (cut ? " cut" : " delete"));
            Sheet setup("", 3, 3, 10, 8);
            FillSmallSheet();
            const SheetBytes before;
            cut ? commands.Cut(c.sel) : commands.Delete(c.sel);
            for (int x = 0; x <= 9; ++x)
                for (int y = 0; y <= 7; ++y) {
                    const bool inside = x >= c.sel.Left && x <= c.sel.Right && y >= c.sel.Top && y <= c.sel.Bottom;
                    EXPECT_EQ(EditText.Cells[x][y].Ch, inside ? 0 : before.cells[x][y].Ch) << x << "," << y;
                }
            EXPECT_EQ(Cursor(), Pos(c.sel.Right, c.sel.Bottom));
            EXPECT_EQ(SheetSetup::beeps, 0);
            EXPECT_EQ(board.has && !board.text.empty(), cut);
            board.text.clear();
        }
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
    EXPECT_EQ(AttrsToText(EditText), "2-3,2 P2\n2-3,3 P2\n");
    EXPECT_EQ(std::vector<int>({EditText.UsedColExt, EditText.UsedRowExt}), std::vector<int>({3, 3}));
    EXPECT_TRUE(EditText.PutChar('x', 3, 3, col));
    commands.UnlockCells({3, 3, 3, 3});
    EXPECT_EQ(AttrsToText(EditText), "2-3,2 P2\n2,3 P2\n");
    EXPECT_FALSE(EditText.PutChar('y', 3, 3, col));
    commands.LockPage(false);
    EXPECT_TRUE(EditText.PutChar('y', 3, 3, col));
    EXPECT_EQ(SheetSetup::beeps, 2);
}
