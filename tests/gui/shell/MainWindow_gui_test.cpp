// The main window driven as a user drives it: key events into the grid.
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>
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
        static const std::map<char, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
            {'Z', {Qt::Key_Z, CtrlAlt}},
            {'Y', {Qt::Key_Y, CtrlAlt}},
            {'\b', {Qt::Key_Backspace, {}}},
            {'\r', {Qt::Key_Return, {}}},
            {'\n', {Qt::Key_Return, Qt::ShiftModifier}}};
        for (; *keys; ++keys) {
            const auto k = named.find(*keys);
            k != named.end() ? Key(k->second.first, k->second.second)
                             : QTest::keyClicks(grid, QString(QChar::fromLatin1(*keys)));
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
    // keys, then the sheet, the cursor column (-1: not checked), whether undo is empty
    using Step = std::tuple<const char *, const char *, int, bool>;
    auto run = [&](std::initializer_list<Step> steps) {
        Goto(0, 1);
        for (auto [keys, picture, col, undoEmpty] : steps) {
            SCOPED_TRACE(keys);
            Do(keys);
            EXPECT_EQ(SheetToPicture(EditText), picture);
            EXPECT_TRUE(col < 0 || Cur() == QPoint(col, 1)) << Cur().x();
            EXPECT_EQ(UndoEmpty, undoEmpty);
        }
    };
    // clang-format off
    run({{"x=2", "\n x  =  2\n", 3, false}, {"ZZZ", "", -1, true}});
    run({{"123Z", "\n 1  2\n", 2, false}, {"Z", "\n 1\n", 1, false}, {"Y", "\n 1  2\n", 2, false},
         {"ZZ", "", -1, true}, {"Z", "", -1, true}});  // nothing further to undo
    run({{"1234\b\b", "\n 1  2\n", 2, false}, {"Z", "\n 1  2  3\n", 3, false},
         {"Z", "\n 1  2  3  4\n", 4, false}, {"Y", "\n 1  2  3\n", 3, false}});
    // clang-format on
    EXPECT_TRUE(form->SizeItemsLocked());
}

TEST_F(MainWindowTest, ScriptKeysSwitchWithoutWritingAndTheButtonsFollow)
{
    // typed text or a key, then the script level's sign: -1 raised, 1 lowered
    using Step = std::tuple<const char *, Qt::Key, Qt::KeyboardModifiers, int>;
    // clang-format off
    const Step steps[] = {
        {"^", {}, {}, -1}, {"^", {}, {}, 0}, {"_", {}, {}, 1}, {"_", {}, {}, 0}, {"_", {}, {}, 1}, {"^", {}, {}, -1},
        {"^", {}, {}, 0}, {nullptr, Qt::Key_Comma, Ctrl, 1}, {nullptr, Qt::Key_Comma, Ctrl, 0},
        {nullptr, Qt::Key_Less, Ctrl | Qt::ShiftModifier, -1}, {nullptr, Qt::Key_Minus, Ctrl, 1},
        {nullptr, Qt::Key_6, Ctrl, -1}, {nullptr, Qt::Key_6, Ctrl, 0},  // Ctrl+6: the layout's superscript key
    };
    // clang-format on
    Goto(0, 1);
    for (auto [typed, key, mods, sign] : steps) {
        SCOPED_TRACE(testing::Message() << (typed ? typed : "key ") << key);
        typed ? Do(typed) : Key(key, mods);
        EXPECT_EQ(Sign(ScriptLevel), sign);
        EXPECT_EQ(Lit(), sign < 0 ? "Ansi Super " : sign > 0 ? "Ansi Sub " : "Ansi ");
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
    const std::tuple<const char *, QPoint, const char *, QPoint, int> cases[] = {
        {line, {3, 2}, "\r", {1, 1}, 0},      // right of the line: up to the numerator
        {line, {3, 2}, "\r\r", {1, 3}, 0},    // then the denominator
        {line, {3, 2}, "\r\r\r", {3, 2}, 0},  // then after the line
        {"-- --", {2, 0}, "\r", {2, 0}, 1},   // no room above the line in row 0
        {"", {0, 1}, "ab\n", {0, 2}, 0},      // Shift+Enter: next line start
        {"", {4, 2}, "_\r", {4, 2}, 0},       // ends the subscript, keeps the cursor
    };
    for (auto [picture, from, keys, to, beepsWanted] : cases) {
        SCOPED_TRACE(testing::Message() << picture << " / " << keys);
        EditText.Reset();
        LoadPicture(EditText, picture);
        Goto(from.x(), from.y());
        beeps = 0;
        Do(keys);
        EXPECT_EQ(std::pair(Cur(), beeps), std::pair(to, beepsWanted));
    }
    // After the last case: the subscript is over and Enter left no pending new line.
    EXPECT_EQ(std::tuple(ScriptLevel, Lit(), NewLineFlag), std::tuple(0, "Ansi ", false));
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
    for (auto [set, name, lit] : {std::tuple(2, "SYMBOL", "Symbol "), {0, "Courier New", "Ansi "}}) {
        Key(Qt::Key_Period, Qt::ControlModifier);
        EXPECT_EQ(std::tuple(int(FontSet), FontName, Lit()), std::tuple(set, name, lit));
    }
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

TEST_F(MainWindowTest, FontSizeReachesTheGridClamped)
{
    form->SetFontSize(600);
    EXPECT_EQ(std::tuple(FontSize, CellFontSize, grid->CellHeight(), grid->font().pointSize()),
              std::tuple(512, 512, 640, 512));
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
