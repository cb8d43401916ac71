// The main window driven as a user drives it: key events into the grid.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

#include "engine/Errors.h"
#include "engine/NumFormat.h"
#include "engine/Router.h"
#include "platform/GridWidget.h"
#include "shell/MainWindow.h"
#include "shell/ModeButtons.h"
#include "shell/RouteOverlay.h"
#include "shell/StatusLine.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/Keyboard.h"
#include "worksheet/UndoEd.h"

namespace {

int beeps = 0;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier, CtrlAlt = Ctrl | Qt::AltModifier;

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
        form->Timer1->stop();  // ticks only when a test runs them
        grid = form->Grid();
    }
    void TearDown() override
    {
        form.reset();
        BeepHook = nullptr;
        ResetUndo();
        ClearError();
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(grid, key, mods); }
    // Typed text; 'Z' undo, 'Y' redo, '\b' Backspace, '\r' Enter, '\n' Shift+Enter.
    void Do(const char *keys)
    {
        for (; *keys; ++keys)
            switch (*keys) {
            case 'Z':
                Key(Qt::Key_Z, CtrlAlt);
                break;
            case 'Y':
                Key(Qt::Key_Y, CtrlAlt);
                break;
            case '\b':
                Key(Qt::Key_Backspace);
                break;
            case '\r':
                Key(Qt::Key_Return);
                break;
            case '\n':
                Key(Qt::Key_Return, Qt::ShiftModifier);
                break;
            default:
                QTest::keyClicks(grid, QString(QChar::fromLatin1(*keys)));
            }
    }
    void Goto(int col, int row) { form->SheetGrid().SetCol(col), form->SheetGrid().SetRow(row); }
    QPoint Cur() { return {form->SheetGrid().Col(), form->SheetGrid().Row()}; }
    std::string Status() { return form->StatusText(); }
    // The mode buttons that are lit.
    std::string Lit()
    {
        std::string s;
        for (auto [name, b] : {std::pair{"Ansi ", form->TB1ButtonAnsi},
                               {"Symbol ", form->TB1ButtonSymbol},
                               {"Super ", form->TB1ButtonSuper},
                               {"Sub ", form->TB1ButtonSub},
                               {"ESC ", form->TB1ButtonESC},
                               {"Clear ", form->PRButtonClear}})
            s += b->IsOn() ? name : "";
        return s;
    }
    // A root sign at (0, 2) given the area of columns 1..2 by a range selection.
    void RootWithArea()
    {
        LoadPicture(EditText, "\n\n\nr/  a  b");
        form->SheetGrid().SetSelection({1, 2, 2, 2});
        bool can = false;
        form->gridSelectCell(0, 2, can);
    }

    std::unique_ptr<TForm2> form;
    GridWidget *grid = nullptr;
    bool timerStarted = false;
};

int Sign(int v)
{
    return v < 0 ? -1 : v > 0;
}

TEST_F(MainWindowTest, StartValues)
{
    EXPECT_EQ(std::tuple(form->windowTitle(), Status(), BaseCaption, FontName, KeyboardObj.LayoutName),
              std::tuple(QStringLiteral("Velmora"), "  Hello", "Velmora", "Courier New", "US default"));
    // 72 x 72 cells; Trunc(19 px / 1.33333) wide, 14 * 5 div 4 high.
    EXPECT_EQ(std::tuple(form->SheetGrid().ColCount(), form->SheetGrid().RowCount(), EditText.ColMax, EditText.RowMax,
                         grid->CellWidth(), grid->CellHeight()),
              std::tuple(72, 72, 71, 71, 14, 17));
    EXPECT_EQ(EditText.Grid, &form->SheetGrid());
    EXPECT_EQ(std::tuple(EditText.RadMode, EditText.EqualMode, EditText.EscMode, EditText.PageLock,
                         EditText.MixedFraction, EditState),
              std::tuple(1, 0, 0, 0, 0, esEditing));
    EXPECT_EQ(std::tuple(FontSize, CellFontSize, LineUnit, FontSet, ScriptLevel), std::tuple(14, 14, 14, 0, 0));
    EXPECT_EQ(std::tuple(FltMode, ExpMode, FltPlaces, FixPlaces, Places, UIFixMode, UIExpMode),
              std::tuple(true, false, 6, 2, 6, false, false));
    EXPECT_EQ(Lit(), "Ansi ");
    EXPECT_EQ(std::tuple(form->SpeedKeyboard->text(), timerStarted, form->Timer1->interval(), form->SizeItemsLocked(),
                         form->StatusLine()->ProgressBar1()->isVisible(), form->pos()),
              std::tuple(QStringLiteral("US"), true, 10, false, false, QPoint(50, 50)));
}

TEST_F(MainWindowTest, MessageLeftByTheStartIsShownAloneOnceAndCleared)
{
    form.reset();
    SetErrorText("time for an update", 0, 0);
    form = std::make_unique<TForm2>();
    form->InitForm();
    EXPECT_EQ(Status(), "time for an update");
    EXPECT_EQ(std::tuple(ErrorPending(), ErrorBlink, beeps), std::tuple(false, 31, 0));
}

TEST_F(MainWindowTest, TypedKeysReachTheSheetAndUndoAndRedoGoOneKeyAtATime)
{
    struct Step {
        const char *keys, *picture;
        int col;
        bool undoEmpty;
    };  // col -1: not checked
    auto run = [&](std::initializer_list<Step> steps) {
        Goto(0, 1);
        for (const Step &s : steps) {
            SCOPED_TRACE(s.keys);
            Do(s.keys);
            EXPECT_EQ(SheetToPicture(EditText), s.picture);
            EXPECT_TRUE(s.col < 0 || Cur() == QPoint(s.col, 1)) << Cur().x();
            EXPECT_EQ(UndoEmpty, s.undoEmpty);
        }
    };
    run({{"x=2", "\n x  =  2\n", 3, false}, {"ZZZ", "", -1, true}});
    run({{"123Z", "\n 1  2\n", 2, false},
         {"Z", "\n 1\n", 1, false},
         {"Y", "\n 1  2\n", 2, false},
         {"ZZ", "", -1, true},
         {"Z", "", -1, true}});  // nothing further to undo
    run({{"1234\b\b", "\n 1  2\n", 2, false},
         {"Z", "\n 1  2  3\n", 3, false},
         {"Z", "\n 1  2  3  4\n", 4, false},
         {"Y", "\n 1  2  3\n", 3, false}});
    EXPECT_TRUE(form->SizeItemsLocked());
}

TEST_F(MainWindowTest, ScriptKeysSwitchWithoutWritingAndTheButtonsFollow)
{
    struct Step {
        const char *typed;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int sign;
    };  // -1 raised, 1 lowered
    const Step steps[] = {
        {"^", {}, {}, -1},
        {"^", {}, {}, 0},
        {"_", {}, {}, 1},
        {"_", {}, {}, 0},
        {"_", {}, {}, 1},
        {"^", {}, {}, -1},
        {"^", {}, {}, 0},
        {nullptr, Qt::Key_Comma, Ctrl, 1},
        {nullptr, Qt::Key_Comma, Ctrl, 0},
        {nullptr, Qt::Key_Less, Ctrl | Qt::ShiftModifier, -1},
        {nullptr, Qt::Key_Minus, Ctrl, 1},
        {nullptr, Qt::Key_6, Ctrl, -1},
        {nullptr, Qt::Key_6, Ctrl, 0},  // Ctrl+6: the layout's superscript key
    };
    Goto(0, 1);
    for (const Step &s : steps) {
        SCOPED_TRACE(testing::Message() << (s.typed ? s.typed : "key ") << s.key);
        s.typed ? Do(s.typed) : Key(s.key, s.mods);
        EXPECT_EQ(Sign(ScriptLevel), s.sign);
        EXPECT_EQ(Lit(), s.sign < 0 ? "Ansi Super " : s.sign > 0 ? "Ansi Sub " : "Ansi ");
    }
    EXPECT_EQ(SheetToPicture(EditText), "");
    EXPECT_EQ(Cur(), QPoint(0, 1));
    Do("_");  // the subscript depth follows the cell size
    EXPECT_EQ(ScriptLevel, 14 * 60 / 100);
}

TEST_F(MainWindowTest, OnGlyphIsShownExactlyWhileTheModeIsActive)
{
    const QImage on = DrawGlyph(TGlyph::Super, true).toImage(), off = DrawGlyph(TGlyph::Super, false).toImage();
    ASSERT_NE(on, off);
    for (const QImage &want : {on, off}) {
        Do("^");
        const QImage shown = form->TB1ButtonSuper->icon().pixmap(form->TB1ButtonSuper->iconSize()).toImage();
        EXPECT_EQ(shown.convertToFormat(want.format()), want);
    }
}

TEST_F(MainWindowTest, EnterAndShiftEnterMoveTheCursor)
{
    // A fraction line at columns 0..2 of row 2 (a leading newline is dropped).
    const char *line = "\n\n\n-- -- --";
    struct Case {
        const char *picture;
        QPoint from;
        const char *keys;
        QPoint to;
        int beeps;
    };
    const Case cases[] = {
        {line, {3, 2}, "\r", {1, 1}, 0},      // right of the line: up to the numerator
        {line, {3, 2}, "\r\r", {1, 3}, 0},    // then the denominator
        {line, {3, 2}, "\r\r\r", {3, 2}, 0},  // then after the line
        {"-- --", {2, 0}, "\r", {2, 0}, 1},   // no room above the line in row 0
        {"", {0, 1}, "ab\n", {0, 2}, 0},      // Shift+Enter: next line start
        {"", {4, 2}, "_\r", {4, 2}, 0},       // ends the subscript, keeps the cursor
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << k.picture << " / " << k.keys);
        EditText.Reset();
        LoadPicture(EditText, k.picture);
        Goto(k.from.x(), k.from.y());
        beeps = 0;
        Do(k.keys);
        EXPECT_EQ(Cur(), k.to);
        EXPECT_EQ(beeps, k.beeps);
    }
    // After the last case: the subscript is over and Enter left no pending new line.
    EXPECT_EQ(ScriptLevel, 0);
    EXPECT_EQ(Lit(), "Ansi ");
    EXPECT_FALSE(NewLineFlag);
}

TEST_F(MainWindowTest, EscModeWritesAFunctionNameAndTheParenEndsIt)
{
    Goto(0, 1);
    Key(Qt::Key_Escape);
    EXPECT_EQ(std::tuple(EditText.EscMode, Lit()), std::tuple(1, "Ansi ESC "));
    Do("sin");
    Key(Qt::Key_ParenLeft, Qt::ShiftModifier);  // Shift+9 on the US layout
    EXPECT_EQ(std::tuple(EditText.EscMode, Lit()), std::tuple(0, "Ansi "));
    EXPECT_EQ(SheetToPicture(EditText), "\n sn in nn (\n");
    // F8 does nothing in ESC mode; Enter ends it.
    Key(Qt::Key_Escape);
    Key(Qt::Key_F8);
    EXPECT_EQ(Status(), "  Hello");
    Key(Qt::Key_Return);
    EXPECT_EQ(std::tuple(EditText.EscMode, Lit()), std::tuple(0, "Ansi "));
}

TEST_F(MainWindowTest, CtrlPeriodSwapsTheFontSets)
{
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(std::tie(FontSet, FontName), std::tuple(2, "SYMBOL"));
    EXPECT_EQ(Lit(), "Symbol ");
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(std::tie(FontSet, FontName), std::tuple(0, "Courier New"));
    EXPECT_EQ(Lit(), "Ansi ");
}

TEST_F(MainWindowTest, CtrlShiftF12ThenOneShowsTheNestingOverlay)
{
    for (Qt::Key digit : {Qt::Key_2, Qt::Key_1}) {
        Key(Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
        Key(digit);
        EXPECT_EQ(ShowNestingMarks, digit == Qt::Key_1);
    }
}

TEST_F(MainWindowTest, SelectingARangeRecordsItAndTakesASnapshot)
{
    form->SheetGrid().SetSelection({2, 1, 5, 3});
    bool can = false;
    int32_t before = UndoIndex;
    form->gridSelectCell(1, 2, can);
    EXPECT_TRUE(can);
    const TGridRect &s = EditText.Selection;
    EXPECT_EQ(std::tuple(EditText.RangeSelected, s.Left, s.Top, s.Right, s.Bottom, EditText.SelCol, EditText.SelRow),
              std::tuple(1, 2, 1, 5, 3, 1, 2));
    EXPECT_NE(UndoIndex, before);
    // A single cell records nothing.
    Goto(4, 4);
    before = UndoIndex;
    form->gridSelectCell(6, 6, can);
    EXPECT_EQ(EditText.RangeSelected, 0);
    EXPECT_EQ(UndoIndex, before);
}

TEST_F(MainWindowTest, RangeThenRootCellGivesTheRootItsAreaAndDoubleClickTakesItAway)
{
    RootWithArea();
    ASSERT_NE(EditText.Attrs[0][2].RootLevel, 0);
    EXPECT_NE(EditText.Attrs[1][2].Nesting, 0);
    Goto(0, 2);
    form->gridDblClick();
    EXPECT_EQ(std::tuple(EditText.Attrs[0][2].RootLevel, EditText.Attrs[1][2].Nesting, EditText.Attrs[2][2].Nesting),
              std::tuple(0, 0, 0));
}

TEST_F(MainWindowTest, StatusLineKeepsTheExactTextAndShowsColoursUnderTheProgressBar)
{
    form->SetStatusText("  ERROR : bad\r");
    form->AppendStatusText("x");
    EXPECT_EQ(Status(), "  ERROR : bad\rx");
    TStatusLine &line = *form->StatusLine();
    for (auto [bgr, rgb] : {std::pair{StatusRed, QColor(255, 0, 0)}, {StatusWhite, QColor(255, 255, 255)}}) {
        form->SetStatusColor(bgr);
        EXPECT_EQ(line.View()->palette().color(QPalette::Base), rgb);
    }
    line.SetProgressVisible(true);
    EXPECT_TRUE(line.ProgressBar1()->isVisible());
    EXPECT_EQ(line.ProgressBar1()->geometry(), line.View()->geometry());
    for (auto [set, got] : {std::pair{40, 40}, {150, 100}, {-5, 0}, {100, 100}}) {
        line.SetProgressPosition(set);
        EXPECT_EQ(line.ProgressPosition(), got) << set;
    }
    line.SetProgressVisible(false);
    EXPECT_FALSE(line.ProgressBar1()->isVisible());
    EXPECT_EQ(Status(), "  ERROR : bad\rx");
}

TEST_F(MainWindowTest, CalcWindowSideOfTheModes)
{
    Do("_");
    Key(Qt::Key_Escape);
    form->EscModeOff();
    form->SubscriptOff();
    form->SuperscriptOff();  // not on: stays off
    EXPECT_EQ(std::tuple(EditText.EscMode, ScriptLevel, Lit()), std::tuple(0, 0, "Ansi "));
    form->SetClearGlyph(true);
    EXPECT_EQ(Lit(), "Ansi Clear ");
    form->SetClearGlyph(false);
    EXPECT_EQ(Lit(), "Ansi ");
    form->setWindowTitle("other");
    form->RestoreBaseCaption();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora"));
}

TEST_F(MainWindowTest, FontSizesAreClamped)
{
    for (auto [asked, got] : {std::pair{7, 8}, {600, 512}, {20, 20}}) {
        form->SetFontSize(asked);
        EXPECT_EQ(std::tuple(FontSize, CellFontSize, grid->CellHeight()), std::tuple(got, got, got * 5 / 4)) << asked;
    }
}

TEST_F(MainWindowTest, RouteIsDrawnOverTheGridUntilTheNextKey)
{
    Goto(0, 1);
    Do("a+b");
    ASSERT_TRUE(RouterObj.BuildRoute());
    form->ShowRoute();
    EXPECT_FALSE(RouterObj.ShownRoute.empty());
    EXPECT_TRUE(form->RouteOverlay()->isVisible());
    if (const char *file = std::getenv("VELMORA_ROUTE_SHOT"))
        form->grab().save(QString::fromLocal8Bit(file));
    Key(Qt::Key_Right);
    EXPECT_FALSE(form->RouteOverlay()->isVisible());
}

// A fraction and an exponent typed as a user types them, then F8; the window
// as a picture for a look by eye: set VELMORA_SHOT to a file name.
TEST_F(MainWindowTest, F8CalculatesAFractionWithAnExponent)
{
    Goto(0, 2);
    // Ctrl+/ draws the line, Enter walks numerator, denominator, after the line.
    Key(Qt::Key_Slash, Qt::ControlModifier);
    Do("\r1\r2\r+3^2^=");
    EXPECT_EQ(SheetToPicture(EditText), "\n    1\n-- -- --  +  3 ^2  =\n    2\n");
    EXPECT_EQ(Cur(), QPoint(7, 2));
    const QImage shot = form->grab().toImage();
    EXPECT_GE(shot.width(), 640);
    if (const char *file = std::getenv("VELMORA_SHOT"))
        shot.save(QString::fromLocal8Bit(file));
    Key(Qt::Key_F8);
    EXPECT_EQ(Status(), "  ready");
    EXPECT_NE(SheetToPicture(EditText).find(" 9* .* 5*"), std::string::npos) << SheetToPicture(EditText);
}

TEST_F(MainWindowTest, FaultyFormulaShowsTheErrorAndPutsTheCursorOnIt)
{
    Goto(0, 1);
    Do("2+*3=");
    Goto(0, 5);
    Key(Qt::Key_F8);
    EXPECT_EQ(std::tuple(beeps, ErrorPending()), std::tuple(1, true));
    EXPECT_EQ(Status(), "  ERROR : operator not allowed here\r");
    EXPECT_EQ(std::tuple(Cur(), ErrorCol, ErrorRow), std::tuple(QPoint(2, 1), 2, 1));  // on the '*'
}

TEST_F(MainWindowTest, DelayedRepaintDeliveredLateDoesNotArmAgain)
{
    RootWithArea();
    TCalcCommand &calc = form->Calc();
    calc.PRButtonRefreshClick();
    grid->viewport()->repaint();
    ASSERT_GT(calc.GridPainted, 0);
    ASSERT_EQ(calc.RepaintCountdown, 10);
    // Five ticks ask for the repaint; Qt delivers it only after the countdown has run out.
    for (int i = 0; i < 10; ++i)
        calc.Timer1Timer();
    EXPECT_EQ(calc.RepaintCountdown, 0);
    QApplication::processEvents();  // the late paint
    EXPECT_EQ(calc.RepaintCountdown, 0);
}

}  // namespace
