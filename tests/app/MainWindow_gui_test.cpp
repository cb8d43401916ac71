// The main window driven as a user drives it: key events into the grid.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

#include "Errors.h"
#include "GridWidget.h"
#include "Keyboard.h"
#include "MainWindow.h"
#include "ModeButtons.h"
#include "NumFormat.h"
#include "RouteOverlay.h"
#include "Router.h"
#include "SheetPicture.h"
#include "StatusLine.h"
#include "UndoEd.h"

namespace {

int beeps = 0;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUndo();
        ClearError();
        beeps = 0;
        BeepHook = [] { ++beeps; };
        form = std::make_unique<TForm2>();
        form->InitForm();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        timerStarted = form->Timer1->isActive();
        // Ticks only when a test runs them.
        form->Timer1->stop();
        grid = form->Grid();
    }

    void TearDown() override
    {
        form.reset();
        BeepHook = nullptr;
        ResetUndo();
        ClearError();
    }

    void Type(const char *text) { QTest::keyClicks(grid, QString::fromLatin1(text)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(grid, key, mods); }
    void Goto(int col, int row)
    {
        form->SheetGrid().SetCol(col);
        form->SheetGrid().SetRow(row);
    }
    int Col() { return form->SheetGrid().Col(); }
    int Row() { return form->SheetGrid().Row(); }
    std::string Status() { return form->StatusText(); }

    std::unique_ptr<TForm2> form;
    GridWidget *grid = nullptr;
    bool timerStarted = false;
};

TEST_F(MainWindowTest, StartValues)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(BaseCaption, "Velmora");
    EXPECT_EQ(Status(), "  Hello");
    EXPECT_EQ(form->SheetGrid().ColCount(), 72);
    EXPECT_EQ(form->SheetGrid().RowCount(), 72);
    EXPECT_EQ(EditText.ColMax, 71);
    EXPECT_EQ(EditText.RowMax, 71);
    EXPECT_EQ(EditText.Grid, &form->SheetGrid());
    EXPECT_EQ(EditText.RadMode, 1);
    EXPECT_EQ(EditText.EqualMode, 0);
    EXPECT_EQ(EditText.EscMode, 0);
    EXPECT_EQ(EditText.PageLock, 0);
    EXPECT_EQ(EditText.MixedFraction, 0);
    EXPECT_EQ(EditState, esEditing);
    EXPECT_EQ(FontName, "Courier New");
    EXPECT_EQ(FontSize, 14);
    EXPECT_EQ(CellFontSize, 14);
    EXPECT_EQ(LineUnit, 14);
    EXPECT_EQ(FontSet, 0);
    EXPECT_EQ(ScriptLevel, 0);
    EXPECT_TRUE(FltMode);
    EXPECT_FALSE(ExpMode);
    EXPECT_EQ(FltPlaces, 6);
    EXPECT_EQ(FixPlaces, 2);
    EXPECT_EQ(Places, 6);
    EXPECT_FALSE(UIFixMode);
    EXPECT_FALSE(UIExpMode);
    EXPECT_EQ(KeyboardObj.LayoutName, "US default");
    EXPECT_EQ(form->SpeedKeyboard->text(), QStringLiteral("US"));
    EXPECT_EQ(form->Timer1->interval(), 10);
    EXPECT_TRUE(timerStarted);
    EXPECT_FALSE(form->SizeItemsLocked());
    EXPECT_FALSE(form->StatusLine()->ProgressBar1()->isVisible());
    EXPECT_EQ(form->pos(), QPoint(50, 50));
    // Trunc(19 px / 1.33333) wide, 14 * 5 div 4 high.
    EXPECT_EQ(grid->CellWidth(), 14);
    EXPECT_EQ(grid->CellHeight(), 17);
    EXPECT_TRUE(form->TB1ButtonAnsi->IsOn());
    EXPECT_FALSE(form->TB1ButtonSymbol->IsOn());
    EXPECT_FALSE(form->TB1ButtonSuper->IsOn());
    EXPECT_FALSE(form->TB1ButtonSub->IsOn());
    EXPECT_FALSE(form->TB1ButtonESC->IsOn());
    EXPECT_FALSE(form->PRButtonClear->IsOn());
}

TEST_F(MainWindowTest, MessageLeftByTheStartIsShownAloneOnceAndCleared)
{
    form.reset();
    SetErrorText("time for an update", 0, 0);
    form = std::make_unique<TForm2>();
    form->InitForm();
    EXPECT_EQ(form->StatusText(), "time for an update");
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(ErrorBlink, 31);
    EXPECT_EQ(beeps, 0);
}

TEST_F(MainWindowTest, TypedCharactersReachTheSheetAndLockTheSizeItems)
{
    Goto(0, 1);
    Type("x=2");
    EXPECT_EQ(SheetToPicture(EditText), "\n x  =  2\n");
    EXPECT_EQ(Col(), 3);
    EXPECT_TRUE(form->SizeItemsLocked());
}

TEST_F(MainWindowTest, UndoBringsBackTheStateBeforeTheLastKeyAndRedoTheKey)
{
    Goto(0, 1);
    Type("123");
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2\n");
    EXPECT_EQ(Col(), 2);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1\n");
    Key(Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2\n");
    EXPECT_EQ(Col(), 2);
    EXPECT_EQ(Row(), 1);
    // Back to the empty sheet, then nothing further to undo.
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "");
    EXPECT_TRUE(UndoEmpty);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "");
}

TEST_F(MainWindowTest, CaretAndUnderscoreSwitchScriptsWithoutWritingAndGlyphsFollow)
{
    Goto(0, 1);
    struct Step {
        const char *typed;
        int32_t level;  // 0 baseline, -1 superscript, 1 subscript
    };
    const Step steps[] = {{"^", -1}, {"^", 0}, {"_", 1}, {"_", 0}, {"_", 1}, {"^", -1}, {"^", 0}};
    for (const Step &s : steps) {
        Type(s.typed);
        SCOPED_TRACE(s.typed);
        EXPECT_EQ(ScriptLevel < 0 ? -1 : ScriptLevel > 0 ? 1 : 0, s.level);
        EXPECT_EQ(form->TB1ButtonSuper->IsOn(), s.level < 0);
        EXPECT_EQ(form->TB1ButtonSub->IsOn(), s.level > 0);
    }
    EXPECT_EQ(SheetToPicture(EditText), "");
    EXPECT_EQ(Col(), 0);
    // Subscript depth follows the cell size.
    Type("_");
    EXPECT_EQ(ScriptLevel, 14 * 60 / 100);
}

TEST_F(MainWindowTest, OnGlyphIsShownExactlyWhileTheModeIsActive)
{
    Type("^");
    const QImage on = DrawGlyph(TGlyph::Super, true).toImage();
    const QImage off = DrawGlyph(TGlyph::Super, false).toImage();
    ASSERT_NE(on, off);
    const QSize size = form->TB1ButtonSuper->iconSize();
    EXPECT_EQ(form->TB1ButtonSuper->icon().pixmap(size).toImage().convertToFormat(on.format()), on);
    Type("^");
    EXPECT_EQ(form->TB1ButtonSuper->icon().pixmap(size).toImage().convertToFormat(off.format()), off);
}

TEST_F(MainWindowTest, EnterEndsASubscriptAndLeavesTheCursor)
{
    Goto(4, 2);
    Type("_");
    Key(Qt::Key_Return);
    EXPECT_EQ(ScriptLevel, 0);
    EXPECT_FALSE(form->TB1ButtonSub->IsOn());
    EXPECT_EQ(Col(), 4);
    EXPECT_EQ(Row(), 2);
    EXPECT_TRUE(NewLineFlag == false);  // the Enter character clears it again
}

TEST_F(MainWindowTest, EscModeWritesAFunctionNameAndTheParenEndsIt)
{
    Goto(0, 1);
    Key(Qt::Key_Escape);
    EXPECT_EQ(EditText.EscMode, 1);
    EXPECT_TRUE(form->TB1ButtonESC->IsOn());
    Type("sin");
    Key(Qt::Key_ParenLeft, Qt::ShiftModifier);  // Shift+9 on the US layout
    EXPECT_EQ(EditText.EscMode, 0);
    EXPECT_FALSE(form->TB1ButtonESC->IsOn());
    EXPECT_EQ(SheetToPicture(EditText), "\n sn in nn (\n");
    // F8 does nothing in ESC mode; Enter ends it.
    Key(Qt::Key_Escape);
    Key(Qt::Key_F8);
    EXPECT_EQ(Status(), "  Hello");
    Key(Qt::Key_Return);
    EXPECT_EQ(EditText.EscMode, 0);
    EXPECT_FALSE(form->TB1ButtonESC->IsOn());
}

TEST_F(MainWindowTest, CtrlPeriodSwapsTheFontSets)
{
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(FontSet, 2);
    EXPECT_EQ(FontName, "SYMBOL");
    EXPECT_TRUE(form->TB1ButtonSymbol->IsOn());
    EXPECT_FALSE(form->TB1ButtonAnsi->IsOn());
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(FontSet, 0);
    EXPECT_EQ(FontName, "Courier New");
    EXPECT_TRUE(form->TB1ButtonAnsi->IsOn());
}

TEST_F(MainWindowTest, CtrlCommaAndCtrlMinusSwitchScripts)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int32_t sign;
    };
    const Case cases[] = {
        {Qt::Key_Comma, Qt::ControlModifier, 1},
        {Qt::Key_Comma, Qt::ControlModifier, 0},
        {Qt::Key_Less, Qt::ControlModifier | Qt::ShiftModifier, -1},
        {Qt::Key_Minus, Qt::ControlModifier, 1},
        {Qt::Key_6, Qt::ControlModifier, -1},  // the layout's superscript key
        {Qt::Key_6, Qt::ControlModifier, 0},
    };
    for (const Case &c : cases) {
        Key(c.key, c.mods);
        EXPECT_EQ(ScriptLevel < 0 ? -1 : ScriptLevel > 0 ? 1 : 0, c.sign) << c.key;
    }
}

TEST_F(MainWindowTest, EnterCyclesThroughAFraction)
{
    // Line at columns 0..2 of row 2, cursor just right of it.
    LoadPicture(EditText, "\n\n\n-- -- --");  // a leading newline is dropped
    Goto(3, 2);
    Key(Qt::Key_Return);
    EXPECT_EQ(Col(), 1);
    EXPECT_EQ(Row(), 1);
    Key(Qt::Key_Return);  // numerator -> denominator
    EXPECT_EQ(Col(), 1);
    EXPECT_EQ(Row(), 3);
    Key(Qt::Key_Return);  // denominator -> after the line
    EXPECT_EQ(Col(), 3);
    EXPECT_EQ(Row(), 2);
    EXPECT_EQ(beeps, 0);
}

TEST_F(MainWindowTest, EnterRightOfALineInRowZeroBeepsAndStays)
{
    LoadPicture(EditText, "-- --");
    Goto(2, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Col(), 2);
    EXPECT_EQ(Row(), 0);
}

TEST_F(MainWindowTest, ShiftEnterGoesToTheNextLineStart)
{
    Goto(0, 1);
    Type("ab");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Row(), 2);
    EXPECT_EQ(Col(), 0);
}

TEST_F(MainWindowTest, CtrlShiftF12ThenOneShowsTheNestingOverlay)
{
    Key(Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_2);
    EXPECT_FALSE(ShowNestingMarks);
    Key(Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_1);
    EXPECT_TRUE(ShowNestingMarks);
}

TEST_F(MainWindowTest, SelectingARangeRecordsItAndTakesASnapshot)
{
    form->SheetGrid().SetSelection({2, 1, 5, 3});
    bool can = false;
    const int32_t before = UndoIndex;
    form->gridSelectCell(1, 2, can);
    EXPECT_TRUE(can);
    EXPECT_EQ(EditText.RangeSelected, 1);
    EXPECT_EQ(EditText.Selection.Left, 2);
    EXPECT_EQ(EditText.Selection.Bottom, 3);
    EXPECT_EQ(EditText.SelCol, 1);
    EXPECT_EQ(EditText.SelRow, 2);
    EXPECT_NE(UndoIndex, before);

    // A single cell records nothing.
    Goto(4, 4);
    const int32_t after = UndoIndex;
    form->gridSelectCell(6, 6, can);
    EXPECT_EQ(EditText.RangeSelected, 0);
    EXPECT_EQ(UndoIndex, after);
}

TEST_F(MainWindowTest, RangeThenRootCellGivesTheRootItsAreaAndDoubleClickTakesItAway)
{
    LoadPicture(EditText, "\n\n\nr/  a  b");  // root sign at (0, 2)
    form->SheetGrid().SetSelection({1, 2, 2, 2});
    bool can = false;
    form->gridSelectCell(0, 2, can);
    ASSERT_NE(EditText.Attrs[0][2].RootLevel, 0);
    EXPECT_NE(EditText.Attrs[1][2].Nesting, 0);
    Goto(0, 2);
    form->gridDblClick();
    EXPECT_EQ(EditText.Attrs[0][2].RootLevel, 0);
    EXPECT_EQ(EditText.Attrs[1][2].Nesting, 0);
    EXPECT_EQ(EditText.Attrs[2][2].Nesting, 0);
}

TEST_F(MainWindowTest, StatusLineKeepsTheExactTextAndShowsColours)
{
    form->SetStatusText("  ERROR : bad\r");
    EXPECT_EQ(Status(), "  ERROR : bad\r");
    form->AppendStatusText("x");
    EXPECT_EQ(Status(), "  ERROR : bad\rx");
    form->SetStatusColor(StatusRed);
    EXPECT_EQ(form->StatusLine()->View()->palette().color(QPalette::Base), QColor(255, 0, 0));
    form->SetStatusColor(StatusWhite);
    EXPECT_EQ(form->StatusLine()->View()->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST_F(MainWindowTest, ProgressBarLiesOverTheStatusLineAndKeepsItsRange)
{
    TStatusLine &line = *form->StatusLine();
    line.SetProgressVisible(true);
    EXPECT_TRUE(line.ProgressBar1()->isVisible());
    EXPECT_EQ(line.ProgressBar1()->geometry(), line.View()->geometry());
    const struct {
        int set, got;
    } cases[] = {{40, 40}, {150, 100}, {-5, 0}, {100, 100}};
    for (const auto &c : cases) {
        line.SetProgressPosition(c.set);
        EXPECT_EQ(line.ProgressPosition(), c.got) << c.set;
    }
    line.SetProgressVisible(false);
    EXPECT_FALSE(line.ProgressBar1()->isVisible());
    EXPECT_EQ(Status(), "  Hello");
}

TEST_F(MainWindowTest, CalcWindowSideOfTheModes)
{
    Type("_");
    Key(Qt::Key_Escape);
    form->EscModeOff();
    form->SubscriptOff();
    form->SuperscriptOff();  // not on: stays off
    EXPECT_EQ(EditText.EscMode, 0);
    EXPECT_EQ(ScriptLevel, 0);
    EXPECT_FALSE(form->TB1ButtonSuper->IsOn());
    form->SetClearGlyph(true);
    EXPECT_TRUE(form->PRButtonClear->IsOn());
    form->SetClearGlyph(false);
    EXPECT_FALSE(form->PRButtonClear->IsOn());
    form->setWindowTitle("other");
    form->RestoreBaseCaption();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora"));
}

TEST_F(MainWindowTest, FontSizesAreClamped)
{
    const struct {
        int asked, got;
    } cases[] = {{7, 8}, {600, 512}, {20, 20}};
    for (const auto &c : cases) {
        form->SetFontSize(c.asked);
        EXPECT_EQ(FontSize, c.got);
        EXPECT_EQ(CellFontSize, c.got);
        EXPECT_EQ(grid->CellHeight(), c.got * 5 / 4);
    }
}

TEST_F(MainWindowTest, RouteIsDrawnOverTheGridUntilTheNextKey)
{
    Goto(0, 1);
    Type("a+b");
    ASSERT_TRUE(RouterObj.BuildRoute());
    form->ShowRoute();
    EXPECT_FALSE(RouterObj.ShownRoute.empty());
    EXPECT_TRUE(form->RouteOverlay()->isVisible());
    if (const char *file = std::getenv("VELMORA_ROUTE_SHOT"))
        form->grab().save(QString::fromLocal8Bit(file));
    Key(Qt::Key_Right);
    EXPECT_FALSE(form->RouteOverlay()->isVisible());
}

TEST_F(MainWindowTest, UndoTakesBackOneBackspaceAtATime)
{
    Goto(0, 1);
    Type("1234");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    ASSERT_EQ(SheetToPicture(EditText), "\n 1  2\n");
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2  3\n");
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2  3  4\n");
    Key(Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2  3\n");
}

// A fraction and an exponent typed as a user types them; the window as a
// picture for a look by eye: set VELMORA_SHOT to a file name.
TEST_F(MainWindowTest, RendersTheWindow)
{
    Goto(0, 2);
    Key(Qt::Key_Slash, Qt::ControlModifier);
    Key(Qt::Key_Return);
    Type("1");
    Key(Qt::Key_Return);
    Type("2");
    Key(Qt::Key_Return);
    Type("+3^2^=");
    // Ctrl+/ draws the line, Enter walks numerator, denominator, after the line.
    EXPECT_EQ(SheetToPicture(EditText), "\n    1\n-- -- --  +  3 ^2  =\n    2\n");
    EXPECT_EQ(Col(), 7);
    EXPECT_EQ(Row(), 2);
    const QImage shot = form->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 640);
    if (const char *file = std::getenv("VELMORA_SHOT"))
        shot.save(QString::fromLocal8Bit(file));
}

// ---------------------------------------------------------------------------
// Whole calculations: these need the engine (reading order, scanner, parser,
// evaluator, result writer) and the calculate command behind F8.

// The result cells of one row, left to right.
std::string ResultRow(int row)
{
    std::string s;
    for (int c = 0; c <= EditText.ColMax; ++c) {
        const TCell &cell = EditText.Cells[c][row];
        if (cell.Has(cfResult) && cell.Ch != 0)
            s += char(cell.Ch);
    }
    return s;
}

TEST_F(MainWindowTest, F8CalculatesAFractionWithAnExponent)
{
    // A fraction 1/2 typed with Ctrl+/, then + 3^2 =
    Goto(0, 2);
    Key(Qt::Key_Slash, Qt::ControlModifier);
    Key(Qt::Key_Return);  // up to the numerator
    Type("1");
    Key(Qt::Key_Return);  // down to the denominator
    Type("2");
    Key(Qt::Key_Return);  // after the line
    Type("+3^2^=");
    Key(Qt::Key_F8);
    EXPECT_EQ(Status(), "  ready");
    bool found = false;
    for (int r = 0; r <= EditText.RowMax && !found; ++r)
        found = ResultRow(r).find("9.5") != std::string::npos;
    EXPECT_TRUE(found) << SheetToPicture(EditText);
}

TEST_F(MainWindowTest, FaultyFormulaShowsTheErrorAndPutsTheCursorOnIt)
{
    Goto(0, 1);
    Type("2+*3=");
    Goto(0, 5);
    Key(Qt::Key_F8);
    const std::string s = Status();
    ASSERT_GT(s.size(), std::string("  ERROR : \r").size());
    EXPECT_EQ(s.substr(0, 10), "  ERROR : ");
    EXPECT_EQ(s.back(), '\r');
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(ErrorPending());
    EXPECT_EQ(Col(), ErrorCol);
    EXPECT_EQ(Row(), ErrorRow);
    EXPECT_EQ(Row(), 1);
    // The message is the one the error state gives.
    std::string text;
    GetErrorText(text);
    EXPECT_EQ(s, "  ERROR : " + text + "\r");
}

}  // namespace

namespace {

TEST_F(MainWindowTest, DelayedRepaintDeliveredLateDoesNotArmAgain)
{
    LoadPicture(EditText, "\n\n\nr/  a  b");
    form->SheetGrid().SetSelection({1, 2, 2, 2});
    bool can = false;
    form->gridSelectCell(0, 2, can);
    TCalcCommand &calc = form->Calc();
    calc.PRButtonRefreshClick();
    grid->viewport()->repaint();
    ASSERT_GT(calc.GridPainted, 0);
    ASSERT_EQ(calc.RepaintCountdown, 10);
    // Five ticks ask for the repaint; Qt delivers it only after the
    // countdown has run out.
    for (int i = 0; i < 10; ++i)
        calc.Timer1Timer();
    EXPECT_EQ(calc.RepaintCountdown, 0);
    QApplication::processEvents();  // the late paint
    EXPECT_EQ(calc.RepaintCountdown, 0);
}

}  // namespace
