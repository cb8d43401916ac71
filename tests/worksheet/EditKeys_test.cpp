// Key editing: what key-downs and typed characters do to a bound sheet.
#include <gtest/gtest.h>

#include <string>

#include "Keyboard.h"
#include "SheetPicture.h"

namespace {

using TLoad = void (TKeyboard::*)();
constexpr TLoad US = &TKeyboard::SetUSDefault, DE = &TKeyboard::SetGerman, IT = &TKeyboard::SetItalian,
                BR = &TKeyboard::SetBrazil;

class EditKeys : public ::testing::Test {
protected:
    EditKeys() { KeyboardObj.SetUSDefault(); }
    ~EditKeys() override { KeyboardObj.SetUSDefault(); }

    void At(int col, int row)
    {
        s.grid.SetCol(col);
        s.grid.SetRow(row);
    }
    // Returns the key code as the handler left it.
    uint16_t Down(TShiftState shift, uint16_t key)
    {
        EditText.KeyDown(shift, key, s.grid);
        return key;
    }
    void Press(TShiftState shift, int ch)
    {
        char c = char(ch);
        EditText.KeyPress(shift, c);
    }
    void Type(const char *text)
    {
        for (; *text; ++text)
            Press(0, *text);
    }
    std::pair<int, int> Cursor() const { return {s.grid.Col(), s.grid.Row()}; }
    const TCell &Cell(int col, int row) const { return EditText.Cells[col][row]; }
    uint16_t Code(int col, int row) const { return EditText.Cells[col][row].Code(); }
    // Refused or ignored: the sheet stays byte for byte, with the given beeps.
    template <class F>
    void ExpectNoChange(F step, int beeps)
    {
        s.beeps = 0;
        const SheetBytes before;
        step();
        EXPECT_TRUE(SheetBytes() == before);
        EXPECT_EQ(s.beeps, beeps);
    }

    SheetSetup s;
};

// ---------------------------------------------------------------------------
// Typed characters

TEST_F(EditKeys, CtrlLetterWritesFromTheOtherFontSet)
{
    struct G { uint8_t fontSet; int32_t script; TShiftState shift; int code; uint16_t cellCode; uint32_t flags; };
    const G cases[] = {
        {0, 0, ssCtrl, 1, 353, cfSymbolFont},  {0, 0, ssCtrl | ssShift, 1, 321, cfSymbolFont},  // alpha, Alpha
        {0, 0, ssCtrl, 26, 378, cfSymbolFont}, {0, 0, ssCtrl | ssAlt, 16, 368, cfSymbolFont},  // Alt does not hide Ctrl
        {0, -1, ssCtrl, 2, 354, cfSymbolFont | cfRaised}, {0, 8, ssCtrl, 2, 354, cfSymbolFont | cfLowered},
        {2, 0, ssCtrl, 16, 'p', 0}, {2, 0, ssCtrl | ssShift, 7, 'G', 0},  // from the Symbol set: text letters
    };
    for (const G &g : cases) {
        SCOPED_TRACE(g.code);
        EditText.Cells[3][2].Zero();
        FontSet = g.fontSet;
        ScriptLevel = g.script;
        At(3, 2);
        Press(g.shift, g.code);
        EXPECT_EQ(Cell(3, 2).Code(), g.cellCode);
        EXPECT_EQ(Cell(3, 2).Flags(), g.flags);
        EXPECT_EQ(FontSet, g.fontSet);
        EXPECT_EQ(s.beeps, 0);
    }
}

TEST_F(EditKeys, CtrlLetterOnALockedCellRestoresTheFontSet)
{
    LoadPicture(EditText, "\n    x");
    EditText.PageLock = 1;
    for (uint8_t set : {uint8_t(0), uint8_t(2)}) {
        FontSet = set;
        At(1, 1);
        ExpectNoChange([&] { Press(ssCtrl, 1); }, 1);
        EXPECT_EQ(FontSet, set);
        EXPECT_EQ(s.grid.Col(), 1);
    }
}

TEST_F(EditKeys, ControlCodesWithoutCtrlOrAfterEnterWriteNothing)
{
    struct C { TShiftState shift; int code; bool newLine; };
    // Ctrl+Enter's line feed follows Enter (NewLineFlag); without Ctrl a control code is nothing.
    const C cases[] = {{ssCtrl, 10, true}, {ssCtrl, 1, true}, {0, 13, false}, {ssShift, 8, false}, {ssAlt, 1, false}};
    At(2, 2);
    for (const C &c : cases) {
        NewLineFlag = c.newLine;
        ExpectNoChange([&] { Press(c.shift, c.code); }, 0);
    }
}

TEST_F(EditKeys, PrintableCharactersByFontSet)
{
    struct P {
        uint8_t fontSet;
        int ch;
        uint16_t code;  // 0: ignored
    };
    const P cases[] = {
        {0, '!', '!'}, {0, '+', '+'}, {0, '7', '7'}, {0, 'x', 'x'}, {0, '~', '~'}, {0, 'Z', 'Z'},
        {2, 'p', 368}, {2, 'A', 321}, {2, 'z', 378}, {2, '7', 0},   {2, '+', 0},   {2, '~', 0},
        {0, 0, 0},     {0, 27, 0},    {0, 31, 0},    {0, 127, 0},   {0, 200, 0},   {0, 255, 0},
    };
    for (const P &p : cases) {
        SCOPED_TRACE(p.ch);
        EditText.Cells[4][4].Zero();
        FontSet = p.fontSet;
        At(4, 4);
        Press(0, p.ch);
        EXPECT_EQ(Cell(4, 4).Code(), p.code);
        EXPECT_EQ(s.beeps, 0);
    }
}

TEST_F(EditKeys, TypedCharactersAdvanceTheCursorAndTheLastColumnBeeps)
{
    At(1, 1);
    Type("x+1");
    Press(ssCtrl, 16);  // pi
    Down(ssCtrl, '2');
    EXPECT_EQ(SheetToPicture(EditText), "\n    x  +  1 $p ^2\n");
    EXPECT_EQ(s.grid.Col(), 6);
    EXPECT_EQ(s.beeps, 0);
    At(71, 2);
    Press(0, 'q');
    EXPECT_EQ(Code(71, 2), 'q');
    EXPECT_EQ(s.grid.Col(), 71);
    EXPECT_EQ(s.beeps, 1);
}

TEST_F(EditKeys, EscModeWritesBoldFunctionNameCells)
{
    EditText.EscMode = 1;
    At(1, 2);
    Type("sin7");
    EXPECT_EQ(SheetToPicture(EditText), "\n\n    sn in nn 7n\n");
    EXPECT_EQ(Cell(1, 2).Flags(), cfFunctionName | cfBold);
    EXPECT_EQ(s.grid.Col(), 5);
    EXPECT_EQ(s.beeps, 0);
    // Anything else beeps and stays where it is; Escape itself is silent.
    const int others[][3] = {{0, '+', 1}, {0, '(', 1}, {0, ' ', 1}, {ssCtrl, 1, 1}, {0, 13, 1}, {0, 200, 1}, {0, 27, 0}};
    for (const auto &k : others) {
        SCOPED_TRACE(k[1]);
        ExpectNoChange([&] { Press(TShiftState(k[0]), k[1]); }, k[2]);
        EXPECT_EQ(s.grid.Col(), 5);
    }
    EditText.PageLock = 1;
    At(1, 1);
    ExpectNoChange([&] { Press(0, 's'); }, 1);
}

TEST_F(EditKeys, SpaceErasesTheCellStoresNothingAndMovesRight)
{
    LoadPicture(EditText, " x $a ^2");
    // The Symbol font set must not leave a Symbol blank behind.
    const int cases[][2] = {{0, 0}, {1, 2}, {2, 0}, {5, 0}};  // column, font set
    for (const auto &e : cases) {
        FontSet = uint8_t(e[1]);
        At(e[0], 0);
        Press(0, ' ');
        EXPECT_EQ(Cell(e[0], 0).Code(), 0) << e[0];
        EXPECT_EQ(s.grid.Col(), e[0] + 1);
    }
    EXPECT_EQ(SheetToPicture(EditText, 0), "\n");
    EXPECT_EQ(s.beeps, 0);
    LoadPicture(EditText, " x");
    EditText.PageLock = 1;
    At(0, 0);
    ExpectNoChange([&] { Press(0, ' '); }, 1);
}

// ---------------------------------------------------------------------------
// Ctrl shortcuts and keys without a character

TEST_F(EditKeys, CtrlDigitShortcutsWriteRootSquareCubeAndFunctionSign)
{
    struct D { uint16_t key; int32_t script; uint16_t code; uint32_t flags; };
    const D cases[] = {
        {'1', 0, 470, cfSymbolFont}, {'2', 0, '2', cfRaised}, {'3', 0, '3', cfRaised}, {'5', 0, 422, cfSymbolFont},
        {'2', 8, '2', cfRaised},  // a square stays a square in subscript mode
        {'3', -1, '3', cfRaised}, {'5', -1, 422, cfSymbolFont | cfRaised},
    };
    for (const D &d : cases) {
        SCOPED_TRACE(d.key);
        EditText.Cells[3][5].Zero();
        ScriptLevel = d.script;
        At(3, 5);
        const uint32_t repaints = s.grid.RepaintCount;
        EXPECT_EQ(Down(ssCtrl, d.key), d.key);
        EXPECT_EQ(Cell(3, 5).Code(), d.code);
        EXPECT_EQ(Cell(3, 5).Flags(), d.flags);
        EXPECT_EQ(s.grid.Col(), 4);
        EXPECT_EQ(s.beeps, 0);
        if (d.key == '1') {
            EXPECT_GT(s.grid.RepaintCount, repaints);
        }
    }
}

TEST_F(EditKeys, ShortcutRefusals)
{
    // A root sign needs the row above it.
    for (TShiftState shift : {TShiftState(ssCtrl), TShiftState(ssCtrl | ssShift)}) {
        At(4, 0);
        ExpectNoChange([&] { EXPECT_EQ(Down(shift, '1'), '1'); }, 1);
    }
    // Refused cells beep once, stay unflagged and repaint nothing.
    EditText.PageLock = 1;
    for (uint16_t key : {'1', '2', '3', '5'}) {
        SCOPED_TRACE(key);
        At(2, 3);
        const uint32_t repaints = s.grid.RepaintCount;
        ExpectNoChange([&] { Down(ssCtrl, key); }, 1);
        EXPECT_EQ(s.grid.RepaintCount, repaints);
    }
}

TEST_F(EditKeys, KeysThatMatchNothingChangeNothing)
{
    At(3, 5);
    for (uint16_t key : {'1', '2', '3', '5'})
        for (TShiftState shift : {TShiftState(0), TShiftState(ssShift)})
            ExpectNoChange([&] { Down(shift, key); }, 0);
    ExpectNoChange([&] { Down(ssCtrl | ssShift, 57); }, 0);  // no tall bracket on the US layout
    EXPECT_EQ(s.grid.Col(), 3);
}

TEST_F(EditKeys, ArrowKeysBeepOnlyAtTheSheetsEdges)
{
    const int cases[][4] = {
        {37, 0, 5, 1},  {37, 1, 5, 0},  {38, 5, 0, 1},  {38, 5, 1, 0},
        {39, 71, 5, 1}, {39, 70, 5, 0}, {40, 5, 71, 1}, {40, 5, 70, 0},
    };
    for (const auto &a : cases) {
        SCOPED_TRACE(testing::Message() << a[0] << " at " << a[1] << "," << a[2]);
        s.beeps = 0;
        At(a[1], a[2]);
        EXPECT_EQ(Down(0, uint16_t(a[0])), a[0]);
        EXPECT_EQ(s.beeps, a[3]);
        // The grid moves the cursor itself.
        EXPECT_EQ(Cursor(), std::pair(a[1], a[2]));
    }
}

TEST_F(EditKeys, BackspaceAndDelete)
{
    LoadPicture(EditText, " a  b  c  d");
    At(3, 0);
    Down(0, 8);
    EXPECT_EQ(SheetToPicture(EditText), " a  b     d\n");
    EXPECT_EQ(s.grid.Col(), 2);

    // Delete removes a column, Shift+Delete a row; Ctrl+Delete is the menu's.
    const char *const sheet = " a  b  c  d\n e  f  g  h\n";
    const std::pair<TShiftState, const char *> cases[] = {
        {0, " a  c  d\n e  g  h\n"}, {ssShift, " e  f  g  h\n"}, {ssCtrl, sheet}, {ssCtrl | ssShift, sheet}};
    for (const auto &[shift, after] : cases) {
        SCOPED_TRACE(shift);
        EditText.Reset();
        LoadPicture(EditText, sheet);
        At(1, 0);
        Down(shift, 46);
        EXPECT_EQ(SheetToPicture(EditText), after);
    }
}

// ---------------------------------------------------------------------------
// Structures from the layout's keys

TEST_F(EditKeys, LayoutKeysWriteTallBrackets)
{
    struct LayoutBrackets {
        TLoad load;
        int keys[6][3];  // key, shift, top piece of tall ( ) [ ] { }
    };
    const LayoutBrackets layouts[] = {
        {US, {{57, 4, 230}, {48, 4, 246}, {219, 4, 233}, {221, 4, 249}, {219, 5, 236}, {221, 5, 252}}},
        {DE, {{56, 4, 230}, {57, 4, 246}, {219, 4, 233}, {221, 4, 249}, {219, 5, 236}, {221, 5, 252}}},
        {IT, {{56, 4, 230}, {57, 4, 246}, {186, 4, 233}, {187, 4, 249}, {186, 5, 236}, {187, 5, 252}}},
        {BR, {{57, 4, 230}, {48, 4, 246}, {221, 4, 233}, {220, 4, 249}, {221, 5, 236}, {220, 5, 252}}},
    };
    for (const LayoutBrackets &lb : layouts) {
        (KeyboardObj.*lb.load)();
        for (const auto &b : lb.keys) {
            SCOPED_TRACE(KeyboardObj.LayoutName + " key " + std::to_string(b[0]) + " shift " + std::to_string(b[1]));
            EditText.Reset();
            At(5, 5);
            Down(TShiftState(b[1]), uint16_t(b[0]));
            EXPECT_EQ(Code(5, 4), 256 + b[2]);
            EXPECT_EQ(Code(5, 5), 256 + b[2] + 1);
            EXPECT_EQ(Code(5, 6), 256 + b[2] + 2);
            EXPECT_EQ(Cell(5, 5).Flags(), cfTallBracket | cfSymbolFont);
            EXPECT_EQ(Cursor(), std::pair(6, 5));
            EXPECT_EQ(s.beeps, 0);
        }
    }
    KeyboardObj.SetUSDefault();
    EditText.Reset();
    At(5, 0);
    ExpectNoChange([&] { Down(ssCtrl, 57); }, 1);  // no room above row 0
}

TEST_F(EditKeys, FractionKeyOfEachLayoutStartsALine)
{
    const std::pair<TLoad, uint16_t> cases[] = {{US, 191}, {DE, 55}, {IT, 55}, {BR, 187}};
    for (const auto &[load, key] : cases) {
        (KeyboardObj.*load)();
        SCOPED_TRACE(KeyboardObj.LayoutName);
        EditText.Reset();
        At(5, 5);
        Down(ssCtrl, key);
        EXPECT_EQ(SheetToPicture(EditText), "\n\n\n\n\n            -- -- --\n");
        EXPECT_EQ(s.grid.Col(), 7);
        EXPECT_EQ(s.beeps, 0);
    }
}

TEST_F(EditKeys, FractionKeyBeepsInTheFirstAndLastRow)
{
    struct F { TLoad load; uint16_t key; int row, beeps; };
    const F cases[] = {
        {US, 191, 0, 1}, {US, 191, 71, 1}, {DE, 55, 0, 1},  {DE, 55, 71, 1},
        {DE, 191, 0, 0},  // Ctrl+/ is no fraction key there
        {BR, 187, 71, 1}, {US, 55, 0, 0},
    };
    for (const F &f : cases) {
        (KeyboardObj.*f.load)();
        SCOPED_TRACE(testing::Message() << KeyboardObj.LayoutName << " " << f.key << " row " << f.row);
        At(3, f.row);
        ExpectNoChange([&] { EXPECT_EQ(Down(ssCtrl, f.key), f.key); }, f.beeps);
    }
}

TEST_F(EditKeys, Ctrl4WritesTheIntegralTemplateAndShift4ABareSign)
{
    At(3, 3);
    Down(ssCtrl, '4');
    EXPECT_EQ(SheetToPicture(EditText),
              "\n\n         S/  b\n         S|    f~  (  x  )  d  x\n         S\\  a\n");
    EXPECT_EQ(Cursor(), std::pair(11, 3));
    EXPECT_EQ(s.beeps, 0);
    for (TShiftState shift : {TShiftState(ssShift), TShiftState(ssShift | ssCtrl)}) {
        EditText.Reset();
        At(3, 3);
        Down(shift, '4');
        EXPECT_EQ(SheetToPicture(EditText), "\n\n         S/\n         S|\n         S\\\n");
        EXPECT_EQ(s.grid.Col(), 4);
    }
    EXPECT_EQ(s.beeps, 0);
    EditText.Reset();
    At(3, 0);
    const SheetBytes before;
    Down(ssShift, '4');
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_GE(s.beeps, 1);
}

}  // namespace
