#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "support/QuietWindow.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"

namespace {

struct FakeWindow : QuietWindow {
    std::vector<uint32_t> colors;
    bool clearArmedGlyph = false, sizeLocked = true, lockChecked = true;
    int boxesDeleted = 0, captionRestored = 0;
    std::string modesOff;
    void SetStatusColor(uint32_t c) override { colors.push_back(c); }
    void SetClearGlyph(bool armed) override { clearArmedGlyph = armed; }
    void SizeMenuLock(bool lock) override { sizeLocked = lock; }
    void RestoreBaseCaption() override { ++captionRestored; }
    void SetLockGridChecked(bool c) override { lockChecked = c; }
    void DeleteBoxes() override { ++boxesDeleted; }
    void SubscriptOff() override { modesOff += "sub ", QuietWindow::SubscriptOff(); }
    void SuperscriptOff() override { modesOff += "super ", QuietWindow::SuperscriptOff(); }
    void AnsiFontSet() override { modesOff += "symbol", QuietWindow::AnsiFontSet(); }
};

struct CalcCommandTest : ::testing::Test {
    SheetSetup setup;
    FakeWindow window;
    TCalcCommand cmd{window};
    void SetUp() override { ClearError(), ErrorBlink = 0; }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            cmd.Timer1Timer();
    }
    void Paint() { cmd.PaintStarted(), cmd.CellPainted(true); }  // a cell that asks for the delayed repaint
};

TEST_F(CalcCommandTest, ClearThenEnterWithinOneSecondClearsEverything)
{
    LoadPicture(EditText, " x  =  3");
    EditText.Attrs[1][0].Protection = 2, EditText.PageLock = 1, EditText.FileName = "/tmp/a.rec";
    window.status = "  ready";
    // Armed for 100 ticks; a second click disarms.
    cmd.PRButtonClearClick(), Ticks(100);
    EXPECT_EQ(std::tuple(EditState, window.clearArmedGlyph, cmd.ClearCountdown), std::tuple(esEditing, false, 0));
    cmd.PRButtonClearClick(), cmd.PRButtonClearClick();
    EXPECT_EQ(std::tuple(EditState, cmd.ClearCountdown), std::tuple(esEditing, 0));
    cmd.PRButtonClearClick();
    EXPECT_EQ(std::tuple(EditState, window.clearArmedGlyph), std::tuple(esClearArmed, true));
    Ticks(99);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(std::tuple(EditState, SheetToPicture(EditText), EditText.Attrs[1][0].Protection, EditText.PageLock,
                         EditText.FileName, cmd.ClearCountdown),
              std::tuple(esEditing, "", 0, 0, "", 0));
    EXPECT_EQ(std::tuple(window.boxesDeleted, window.captionRestored, window.sizeLocked, window.lockChecked,
                         window.clearArmedGlyph, window.status),
              std::tuple(1, 1, false, false, false, "  ready"));  // no calculation ran
}

TEST_F(CalcCommandTest, ClearLeavesNothingToUndoOrRedo)
{
    EditText.Cells[0][0].Ch = 'a', SaveUndo(), EditText.Cells[1][0].Ch = 'b', SaveUndo(), Undo();
    cmd.PRButtonClearClick(), cmd.PRButtonEnterClick();
    EXPECT_EQ(std::pair(UndoEmpty, RedoEmpty), std::pair(true, true));
}

TEST_F(CalcCommandTest, CalculatingLeavesScriptModeAndTheSymbolFont)
{
    LoadPicture(EditText, " 1  +  2  =");
    for (const auto &[script, off] : {std::pair(8, "sub symbol"), {-1, "super symbol"}, {0, "symbol"}}) {
        ScriptLevel = script, FontSet = 2, window.modesOff.clear();
        cmd.PRButtonEnterClick();
        EXPECT_EQ(window.modesOff, off);
        EXPECT_EQ(std::tuple(ScriptLevel, FontSet, window.status), std::tuple(0, 0, "  ready"));
    }
}

TEST_F(CalcCommandTest, ErrorBlinkRedWhiteRedWhite)
{
    ErrorBlink = 31;
    std::vector<std::pair<int, uint32_t>> seen;
    for (int tick = 1; tick <= 40; ++tick)
        if (window.colors.clear(), cmd.Timer1Timer(); !window.colors.empty())
            seen.push_back({tick, window.colors.back()});
    EXPECT_EQ(seen, (std::vector<std::pair<int, uint32_t>>{
                        {2, StatusRed}, {12, StatusWhite}, {22, StatusRed}, {31, StatusWhite}}));
    EXPECT_EQ(ErrorBlink, 0);
}

TEST_F(CalcCommandTest, DelayedRepaintFiresOnceAndSettlesAndRefreshDropsIt)
{
    const uint32_t before = setup.grid.RepaintCount;
    Paint();
    EXPECT_EQ(cmd.RepaintCountdown, 10);
    Ticks(5);
    EXPECT_EQ(setup.grid.RepaintCount, before + 1);
    Ticks(10), Paint();  // Qt delivers the repaint late, after the countdown ran out
    Ticks(20);
    EXPECT_EQ(std::pair(cmd.RepaintCountdown, setup.grid.RepaintCount), std::pair(0, before + 1));
    Paint();  // a later paint of the user's own arms it again; Refresh drops it
    EXPECT_EQ(cmd.RepaintCountdown, 10);
    cmd.PRButtonRefreshClick();
    const uint32_t refreshed = setup.grid.RepaintCount;
    Ticks(20);
    EXPECT_EQ(setup.grid.RepaintCount, refreshed);
}

TEST_F(CalcCommandTest, ResetRemovesResultsAndClampsRootRows)
{
    LoadPicture(EditText, " x  =  3\n\n\n\n 7*r/*");
    EditText.Attrs[1][4].RootTop = 3;
    EditText.Attrs[1][4].RootBottom = 250;  // damaged byte
    EditText.Attrs[1][3].RootRow = 4;
    setup.grid.SetCol(5);
    cmd.PRButtonResetClick();
    EXPECT_EQ(SheetToPicture(EditText), " x  =  3\n");
    for (int r = 3; r <= EditText.RowMax; ++r)
        EXPECT_TRUE(EditText.Attrs[1][r].AllZero()) << r;
    EXPECT_EQ(std::tuple(EditText.UsedColExt, EditText.UsedRowExt, setup.grid.Col()), std::tuple(2, 0, 0));
}

}  // namespace
