// The main window driven as a user drives it: key events into the grid.
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <tuple>

#include "engine/Errors.h"
#include "engine/Router.h"
#include "platform/GridWidget.h"
#include "shell/MainWindow.h"
#include "shell/ModeButtons.h"
#include "shell/RouteOverlay.h"
#include "shell/StatusLine.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"

namespace {

int beeps = 0;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier;

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
    // Typed text; 'Z' undo, 'Y' redo, '\b' Backspace, '\r' Enter, '\n' Shift+Enter, '\x1b' Escape.
    void Do(const char *keys)
    {
        static const std::map<char, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
            {'Z', {Qt::Key_Z, Ctrl | Qt::AltModifier}},
            {'Y', {Qt::Key_Y, Ctrl | Qt::AltModifier}},
            {'\b', {Qt::Key_Backspace, {}}},
            {'\r', {Qt::Key_Return, {}}},
            {'\n', {Qt::Key_Return, Shift}},
            {'\x1b', {Qt::Key_Escape, {}}}};
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

    std::unique_ptr<TForm2> form;
    GridWidget *grid = nullptr;
};

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
    run({{"123Z", "\n 1  2\n", 2, false}, {"Y", "\n 1  2  3\n", 3, false}, {"ZZZZ", "", -1, true}});
    run({{"1234\b\b", "\n 1  2\n", 2, false}, {"Z", "\n 1  2  3\n", 3, false},
         {"Z", "\n 1  2  3  4\n", 4, false}, {"Y", "\n 1  2  3\n", 3, false}});
    // clang-format on
    // ESC mode writes a function name; the parenthesis ends it.
    Goto(0, 3);
    Do("\x1bsin(");
    EXPECT_EQ(SheetToPicture(EditText), "\n 1  2  3\n\n sn in nn (\n");
    EXPECT_TRUE(form->SizeItemsLocked());
}

TEST_F(MainWindowTest, ModeKeysSwitchWithoutWritingAndTheButtonsFollow)
{
    // typed text or a key, then the buttons lit
    using Step = std::tuple<const char *, Qt::Key, Qt::KeyboardModifiers, const char *>;
    const char *ansi = "Ansi ", *super = "Ansi Super ", *sub = "Ansi Sub ";
    // clang-format off
    const Step steps[] = {
        {"^", {}, {}, super}, {"^", {}, {}, ansi}, {"_", {}, {}, sub}, {"_", {}, {}, ansi}, {"_", {}, {}, sub},
        {"^", {}, {}, super}, {"^", {}, {}, ansi}, {nullptr, Qt::Key_Comma, Ctrl, sub},
        {nullptr, Qt::Key_Comma, Ctrl, ansi}, {nullptr, Qt::Key_Less, Ctrl | Shift, super},
        {nullptr, Qt::Key_Minus, Ctrl, sub}, {nullptr, Qt::Key_6, Ctrl, super},  // Ctrl+6: the layout's superscript key
        {nullptr, Qt::Key_6, Ctrl, ansi}, {nullptr, Qt::Key_Period, Ctrl, "Symbol "},
        {nullptr, Qt::Key_Period, Ctrl, ansi}, {"\x1b", {}, {}, "Ansi ESC "}, {nullptr, Qt::Key_F8, {}, "Ansi ESC "},
        {"\r", {}, {}, ansi}, {"_", Qt::Key_F8, {}, ansi},  // a calculation ends the subscript
        {nullptr, Qt::Key_F5, {}, "Ansi Clear "}, {nullptr, Qt::Key_F5, {}, ansi},
    };
    // clang-format on
    Goto(0, 1);
    for (auto [typed, key, mods, lit] : steps) {
        SCOPED_TRACE(testing::Message() << (typed ? typed : "key ") << key);
        if (typed)
            Do(typed);
        if (key)
            Key(key, mods);
        EXPECT_EQ(Lit(), lit);
        EXPECT_EQ((ScriptLevel > 0) - (ScriptLevel < 0), lit == sub ? 1 : lit == super ? -1 : 0);
    }
    EXPECT_EQ(SheetToPicture(EditText), "");
    EXPECT_EQ(std::tuple(Cur(), Status(), FontName), std::tuple(QPoint(0, 1), "  ready", "Courier New"));
    // The "on" glyph is shown exactly while the mode is active.
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

TEST_F(MainWindowTest, CtrlShiftF12ThenOneShowsTheNestingOverlay)
{
    for (Qt::Key digit : {Qt::Key_2, Qt::Key_1}) {
        Key(Qt::Key_F12, Ctrl | Shift);
        Key(digit);
        EXPECT_EQ(ShowNestingMarks, digit == Qt::Key_1);
    }
}

TEST_F(MainWindowTest, RangeThenRootCellGivesTheRootItsAreaAndDoubleClickTakesItAway)
{
    LoadPicture(EditText, "\n\n\nr/  a  b");
    form->SheetGrid().SetSelection({1, 2, 2, 2});
    const int32_t before = UndoIndex;
    bool can = false;
    form->gridSelectCell(0, 2, can);
    EXPECT_TRUE(can);
    EXPECT_NE(UndoIndex, before);  // a snapshot to go back to
    ASSERT_NE(EditText.Attrs[0][2].RootLevel, 0);
    EXPECT_NE(EditText.Attrs[1][2].Nesting, 0);
    Goto(0, 2);
    form->gridDblClick();
    EXPECT_EQ(std::tuple(EditText.Attrs[0][2].RootLevel, EditText.Attrs[1][2].Nesting, EditText.Attrs[2][2].Nesting),
              std::tuple(0, 0, 0));
}

TEST_F(MainWindowTest, RouteIsDrawnOverTheGridUntilTheNextKey)
{
    Goto(0, 1);
    Do("a+b");
    Key(Qt::Key_F9, Ctrl);
    EXPECT_FALSE(RouterObj.ShownRoute.empty());
    EXPECT_TRUE(form->RouteOverlay()->isVisible());
    Key(Qt::Key_Right);
    EXPECT_FALSE(form->RouteOverlay()->isVisible());
}

// A fraction and an exponent typed as a user types them, then F8.
TEST_F(MainWindowTest, F8CalculatesAFractionWithAnExponent)
{
    Goto(0, 2);
    // Ctrl+/ draws the line, Enter walks numerator, denominator, after the line.
    Key(Qt::Key_Slash, Ctrl);
    Do("\r1\r2\r+3^2^=");
    EXPECT_EQ(SheetToPicture(EditText), "\n    1\n-- -- --  +  3 ^2  =\n    2\n");
    EXPECT_EQ(Cur(), QPoint(7, 2));
    Key(Qt::Key_F8);
    EXPECT_EQ(Status(), "  ready");
    EXPECT_NE(SheetToPicture(EditText).find(" 9* .* 5*"), std::string::npos) << SheetToPicture(EditText);
}

TEST_F(MainWindowTest, FaultyFormulaShowsTheErrorInRedAndPutsTheCursorOnIt)
{
    Goto(0, 1);
    Do("2+*3=");
    Goto(0, 5);
    Key(Qt::Key_F8);
    EXPECT_EQ(std::tuple(beeps, ErrorPending()), std::tuple(1, true));
    TStatusLine &line = *form->StatusLine();
    EXPECT_EQ(line.View()->toPlainText(), "  ERROR : operator not allowed here\n");
    EXPECT_EQ(std::tuple(Cur(), ErrorCol, ErrorRow), std::tuple(QPoint(2, 1), 2, 1));  // on the '*'
    for (int tick = 0; tick < 3; ++tick)
        form->Calc().Timer1Timer();
    EXPECT_EQ(line.View()->palette().color(QPalette::Base), QColor(255, 0, 0));
}

}  // namespace
