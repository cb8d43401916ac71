#include <gtest/gtest.h>

#include "CalcCommand.h"
#include "Errors.h"
#include "SheetPicture.h"

namespace {

struct FakeWindow : TCalcWindow {
    std::string status;
    std::vector<uint32_t> colors;
    bool clearArmedGlyph = false;
    int focus = 0, boxesDeleted = 0, routesShown = 0, captionRestored = 0;
    bool sizeLocked = true, lockChecked = true;
    void SetStatusText(const std::string &t) override { status = t; }
    void AppendStatusText(const std::string &t) override { status += t; }
    std::string StatusText() const override { return status; }
    void SetStatusColor(uint32_t c) override { colors.push_back(c); }
    void SetClearGlyph(bool armed) override { clearArmedGlyph = armed; }
    void FocusGrid() override { ++focus; }
    void ResetGridFont() override {}
    void SizeMenuLock(bool lock) override { sizeLocked = lock; }
    void EscModeOff() override { EditText.EscMode = 0; }
    void SubscriptOff() override { ScriptLevel = 0; }
    void SuperscriptOff() override { ScriptLevel = 0; }
    void AnsiFontSet() override { FontSet = 0; }
    void RestoreBaseCaption() override { ++captionRestored; }
    void SetLockGridChecked(bool c) override { lockChecked = c; }
    void DeleteBoxes() override { ++boxesDeleted; }
    void ShowRoute() override { ++routesShown; }
    TProgressBar *ProgressBar() override { return nullptr; }
};

struct CalcCommandTest : ::testing::Test {
    SheetSetup setup;
    FakeWindow window;
    TCalcCommand cmd{window};
    void SetUp() override { ClearError(); ErrorBlink = 0; }
    void Ticks(int n) { for (int i = 0; i < n; ++i) cmd.Timer1Timer(); }
};

TEST_F(CalcCommandTest, ClearThenEnterWithinOneSecondClearsEverything)
{
    LoadPicture(EditText, " x  =  3");
    EditText.Attrs[1][0].Protection = 2;
    EditText.PageLock = 1;
    EditText.FileName = "/tmp/a.rec";
    window.status = "  ready";
    cmd.PRButtonClearClick();
    EXPECT_EQ(EditState, esClearArmed);
    EXPECT_TRUE(window.clearArmedGlyph);
    Ticks(99);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(EditState, esEditing);
    EXPECT_EQ(SheetToPicture(EditText), "");
    EXPECT_EQ(EditText.Attrs[1][0].Protection, 0);
    EXPECT_EQ(EditText.PageLock, 0);
    EXPECT_EQ(EditText.FileName, "");
    EXPECT_EQ(window.boxesDeleted, 1);
    EXPECT_EQ(window.captionRestored, 1);
    EXPECT_FALSE(window.sizeLocked);
    EXPECT_FALSE(window.lockChecked);
    EXPECT_FALSE(window.clearArmedGlyph);
    EXPECT_EQ(cmd.ClearCountdown, 0);
    EXPECT_EQ(window.status, "  ready");  // no calculation ran
}

TEST_F(CalcCommandTest, ClearDisarmsAfterHundredTicksOrSecondClick)
{
    cmd.PRButtonClearClick();
    Ticks(100);
    EXPECT_EQ(EditState, esEditing);
    EXPECT_FALSE(window.clearArmedGlyph);
    EXPECT_EQ(cmd.ClearCountdown, 0);

    cmd.PRButtonClearClick();
    cmd.PRButtonClearClick();
    EXPECT_EQ(EditState, esEditing);
    EXPECT_EQ(cmd.ClearCountdown, 0);
    Ticks(200);
    EXPECT_EQ(EditState, esEditing);
}

TEST_F(CalcCommandTest, ErrorBlinkRedWhiteRedWhite)
{
    ErrorBlink = 31;
    std::vector<std::pair<int, uint32_t>> seen;
    for (int tick = 1; tick <= 40; ++tick) {
        window.colors.clear();
        cmd.Timer1Timer();
        if (!window.colors.empty())
            seen.push_back({tick, window.colors.back()});
    }
    const std::vector<std::pair<int, uint32_t>> expected = {
        {2, StatusRed}, {12, StatusWhite}, {22, StatusRed}, {31, StatusWhite}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(ErrorBlink, 0);
}

TEST_F(CalcCommandTest, DelayedRepaintFiresOnceAndSettles)
{
    cmd.PaintStarted();
    cmd.CellPainted(true);
    EXPECT_EQ(cmd.RepaintCountdown, 10);
    const uint32_t before = setup.grid.RepaintCount;
    Ticks(5);
    EXPECT_EQ(setup.grid.RepaintCount, before + 1);
    // Qt delivers the repaint late, after the countdown ran out.
    Ticks(10);
    cmd.PaintStarted();
    cmd.CellPainted(true);
    EXPECT_EQ(cmd.RepaintCountdown, 0);
    Ticks(20);
    EXPECT_EQ(setup.grid.RepaintCount, before + 1);
    // A later paint of the user's own arms it again.
    cmd.PaintStarted();
    cmd.CellPainted(true);
    EXPECT_EQ(cmd.RepaintCountdown, 10);
}

TEST_F(CalcCommandTest, RefreshDropsArmedRepaint)
{
    cmd.PaintStarted();
    cmd.CellPainted(true);
    cmd.PRButtonRefreshClick();
    const uint32_t before = setup.grid.RepaintCount;
    Ticks(20);
    EXPECT_EQ(setup.grid.RepaintCount, before);
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
    EXPECT_EQ(EditText.UsedColExt, 2);
    EXPECT_EQ(EditText.UsedRowExt, 0);
    EXPECT_EQ(setup.grid.Col(), 0);
}

}  // namespace
