// The main window driven as a user drives it: key events into the grid.
#include <QPlainTextEdit>
#include <QTimer>
#include <map>

#include "FreshWindow.h"
#include "engine/Router.h"
#include "platform/GridWidget.h"
#include "shell/ModeButtons.h"
#include "shell/RouteOverlay.h"
#include "shell/StatusLine.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

namespace {

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier;

class MainWindowTest : public FreshWindowTest {
protected:
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        Start(true);
        form->Timer1->stop();  // ticks only when a test runs them
        grid = form->Grid();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(grid, key, mods); }
    // Typed text; '\b' Backspace, '\r' Enter, '\n' Shift+Enter, '\x1b' Escape, and as capitals: Z undo, Y redo,
    // C Ctrl+comma, L Ctrl+<, M Ctrl+minus, S Ctrl+6, P Ctrl+period, D Ctrl+/, N Ctrl+Shift+F12, R Ctrl+F9, E F8, F F5.
    void Do(const char *keys)
    {
        static const std::map<char, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
            {'Z', {Qt::Key_Z, Ctrl | Qt::AltModifier}},
            {'Y', {Qt::Key_Y, Ctrl | Qt::AltModifier}},
            {'\b', {Qt::Key_Backspace, {}}},
            {'\r', {Qt::Key_Return, {}}},
            {'\n', {Qt::Key_Return, Shift}},
            {'\x1b', {Qt::Key_Escape, {}}},
            {'C', {Qt::Key_Comma, Ctrl}},
            {'L', {Qt::Key_Less, Ctrl | Shift}},
            {'M', {Qt::Key_Minus, Ctrl}},
            {'S', {Qt::Key_6, Ctrl}},
            {'P', {Qt::Key_Period, Ctrl}},
            {'D', {Qt::Key_Slash, Ctrl}},
            {'N', {Qt::Key_F12, Ctrl | Shift}},
            {'R', {Qt::Key_F9, Ctrl}},
            {'E', {Qt::Key_F8, {}}},
            {'F', {Qt::Key_F5, {}}}};
        for (; *keys; ++keys) {
            const auto k = named.find(*keys);
            k != named.end() ? Key(k->second.first, k->second.second)
                             : QTest::keyClicks(grid, QString(QChar::fromLatin1(*keys)));
        }
    }
    void Goto(int col, int row) { form->SheetGrid().SetCol(col), form->SheetGrid().SetRow(row); }
    QPoint Cur() { return {form->SheetGrid().Col(), form->SheetGrid().Row()}; }
    std::string Lit()
    {
        std::string s;
        for (const char *b : {"Ansi", "Symbol", "Super", "Sub", "ESC"})
            s += form->findChild<TModeButton *>(QLatin1String("TB1Button") + b)->IsOn() ? b + std::string(" ") : "";
        return s + (form->PRButtonClear->IsOn() ? "Clear " : "");
    }
    GridWidget *grid = nullptr;
};

TEST_F(MainWindowTest, TypedKeysReachTheSheetAndUndoAndRedoGoOneKeyAtATime)
{
    using Step = std::tuple<const char *, const char *, int, bool>;  // keys, sheet, cursor column (-1: any), undo empty
    auto run = [&](std::initializer_list<Step> steps) {
        Goto(0, 1);
        for (auto [keys, picture, col, undoEmpty] : steps) {
            Do(keys);
            EXPECT_EQ(std::tuple(SheetToPicture(EditText), col < 0 || Cur() == QPoint(col, 1), UndoEmpty),
                      std::tuple(picture, true, undoEmpty))
                << keys;
        }
    };
    run({{"123Z", "\n 1  2\n", 2, false}, {"Y", "\n 1  2  3\n", 3, false}, {"ZZZZ", "", -1, true}});
    run({{"1234\b\b", "\n 1  2\n", 2, false}, {"Z", "\n 1  2  3\n", 3, false}});
    run({{"Z", "\n 1  2  3  4\n", 4, false}, {"Y", "\n 1  2  3\n", 3, false}});
    Goto(0, 3), Do("\x1bsin(");  // ESC mode writes a function name; the parenthesis ends it
    EXPECT_EQ(std::pair(SheetToPicture(EditText), form->SizeItemsLocked()),
              std::pair(std::string("\n 1  2  3\n\n sn in nn (\n"), true));
    const bool two = (Do("N2"), ShowNestingMarks);
    Do("N1");  // Ctrl+Shift+F12, then 1: the nesting overlay
    EXPECT_EQ(std::pair(two, ShowNestingMarks), std::pair(false, true));
}

TEST_F(MainWindowTest, ModeKeysSwitchWithoutWritingAndTheButtonsFollow)
{
    const char *ansi = "Ansi ", *super = "Ansi Super ", *sub = "Ansi Sub ";
    // The keys, then the buttons lit; S is Ctrl+6, the layout's superscript key; a calculation ends the subscript.
    const std::pair<const char *, const char *> steps[] = {
        {"^", super}, {"^", ansi},          {"_", sub},  {"_", ansi},           {"_", sub},         {"^", super},
        {"^", ansi},  {"C", sub},           {"C", ansi}, {"L", super},          {"M", sub},         {"S", super},
        {"S", ansi},  {"P", "Symbol "},     {"P", ansi}, {"\x1b", "Ansi ESC "}, {"E", "Ansi ESC "}, {"\r", ansi},
        {"_E", ansi}, {"F", "Ansi Clear "}, {"F", ansi}, {"_\r", ansi}};
    Goto(0, 1);
    for (auto [keys, lit] : steps) {
        Do(keys);
        EXPECT_EQ(Lit(), lit) << keys;
    }
    EXPECT_EQ(std::tuple(SheetToPicture(EditText), Cur(), form->StatusText(), FontName),
              std::tuple("", QPoint(0, 1), "  ready", "Courier New"));
    auto shown = [&] { return form->TB1ButtonSuper->icon().pixmap(form->TB1ButtonSuper->iconSize()).toImage(); };
    for (bool on : {true, false})  // the "on" glyph is shown exactly while the mode is active
        EXPECT_EQ((Do("^"), shown()), DrawGlyph(TGlyph::Super, on).toImage().convertToFormat(shown().format())) << on;
}

TEST_F(MainWindowTest, EnterAndShiftEnterMoveTheCursor)
{
    const char *line = "\n\n\n-- -- --";  // a fraction line at columns 0..2 of row 2 (a leading newline is dropped)
    const std::tuple<const char *, QPoint, const char *, QPoint, int> cases[] = {
        {line, {3, 2}, "\r", {1, 1}, 0},      // right of the line: up to the numerator
        {line, {3, 2}, "\r\r", {1, 3}, 0},    // then the denominator
        {line, {3, 2}, "\r\r\r", {3, 2}, 0},  // then after the line
        {"-- --", {2, 0}, "\r", {2, 0}, 1},   // no room above the line in row 0
        {"", {0, 1}, "ab\n", {0, 2}, 0},      // Shift+Enter: next line start
        {"", {4, 2}, "_\r", {4, 2}, 0},       // ends the subscript, keeps the cursor
    };
    for (auto [picture, from, keys, to, beepsWanted] : cases) {
        EditText.Reset(), LoadPicture(EditText, picture), Goto(from.x(), from.y()), beeps = 0, Do(keys);
        EXPECT_EQ(std::pair(Cur(), beeps), std::pair(to, beepsWanted)) << picture << " / " << keys;
    }
}

TEST_F(MainWindowTest, RangeThenRootCellGivesTheRootItsAreaAndDoubleClickTakesItAway)
{
    LoadPicture(EditText, "\n\n\nr/  a  b"), form->SheetGrid().SetSelection({1, 2, 2, 2});
    bool can = false;
    form->gridSelectCell(0, 2, can);  // with a snapshot to go back to
    EXPECT_EQ(std::tuple(can, UndoEmpty, EditText.Attrs[0][2].RootLevel != 0, EditText.Attrs[1][2].Nesting != 0),
              std::tuple(true, false, true, true));
    Goto(0, 2), form->gridDblClick();
    EXPECT_EQ(std::tuple(EditText.Attrs[0][2].RootLevel, EditText.Attrs[1][2].Nesting, EditText.Attrs[2][2].Nesting),
              std::tuple(0, 0, 0));
}

TEST_F(MainWindowTest, F8CalculatesOrPointsAtTheErrorAndCtrlF9ShowsTheRouteUntilTheNextKey)
{
    Goto(0, 2), Do("D\r1\r2\r+3^2^=");  // Ctrl+/ draws the line, Enter walks numerator, denominator, after the line
    EXPECT_EQ(std::pair(SheetToPicture(EditText), Cur()),
              std::pair(std::string("\n    1\n-- -- --  +  3 ^2  =\n    2\n"), QPoint(7, 2)));
    Do("E");
    EXPECT_EQ(std::pair(form->StatusText(), SheetToPicture(EditText).find(" 9* .* 5*") != std::string::npos),
              std::pair(std::string("  ready"), true));
    const bool shown = (Goto(3, 2), Do("R"), form->RouteOverlay()->isVisible() && !RouterObj.ShownRoute.empty());
    Key(Qt::Key_Right);
    EXPECT_EQ(std::pair(shown, form->RouteOverlay()->isVisible()), std::pair(true, false));
    Goto(0, 5), Do("2+*3="), Goto(0, 7), Do("E");
    TStatusLine &line = *form->StatusLine();
    EXPECT_EQ(std::tuple(beeps, ErrorPending(), line.View()->toPlainText(), Cur(), ErrorCol, ErrorRow),
              std::tuple(1, true, "  ERROR : operator not allowed here\n", QPoint(2, 5), 2, 5));  // on the '*'
    form->Calc().Timer1Timer(), form->Calc().Timer1Timer(), form->Calc().Timer1Timer();
    EXPECT_EQ(line.View()->palette().color(QPalette::Base), QColor(255, 0, 0));
}

}  // namespace
