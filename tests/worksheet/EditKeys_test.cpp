// Key editing decisions that rest on PutChar alone.
#include <gtest/gtest.h>

#include "KeyEditingFixture.h"

using EditKeys = KeyEditing;

TEST_F(EditKeys, CtrlLetterWritesFromTheOtherFontSet)
{
    struct G {
        uint8_t fontSet;
        int32_t script;
        TShiftState shift;
        int code;
        uint16_t cellCode;
        uint32_t flags;
    };
    const G cases[] = {
        {0, 0, ssCtrl, 1, 353, cfSymbolFont},                 // Ctrl+A: alpha
        {0, 0, ssCtrl | ssShift, 1, 321, cfSymbolFont},       // Ctrl+Shift+A: capital Alpha
        {0, 0, ssCtrl, 26, 378, cfSymbolFont},                // Ctrl+Z
        {0, 0, ssCtrl | ssAlt, 16, 368, cfSymbolFont},        // Alt does not hide Ctrl: pi
        {0, -1, ssCtrl, 2, 354, cfSymbolFont | cfRaised},     // superscript beta
        {0, 8, ssCtrl, 2, 354, cfSymbolFont | cfLowered},     // subscript beta
        {2, 0, ssCtrl, 16, 'p', 0},                           // from the Symbol set: a text 'p'
        {2, 0, ssCtrl | ssShift, 7, 'G', 0},
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
        SCOPED_TRACE(int(set));
        FontSet = set;
        s.beeps = 0;
        At(1, 1);
        const SheetBytes before;
        Press(ssCtrl, 1);
        EXPECT_TRUE(SheetBytes() == before);
        EXPECT_EQ(s.beeps, 1);
        EXPECT_EQ(FontSet, set);
        EXPECT_EQ(s.grid.Col(), 1);
    }
}

TEST_F(EditKeys, ControlCodesWithoutCtrlOrAfterEnterWriteNothing)
{
    struct C {
        TShiftState shift;
        int code;
        bool newLine;
    };
    const C cases[] = {
        {ssCtrl, 10, true},  // Ctrl+Enter: the line feed that follows Enter
        {ssCtrl, 1, true},
        {0, 13, false},      // Enter
        {ssShift, 8, false},
        {ssAlt, 1, false},
    };
    At(2, 2);
    const SheetBytes before;
    for (const C &c : cases) {
        NewLineFlag = c.newLine;
        Press(c.shift, c.code);
    }
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(s.beeps, 0);
}

TEST_F(EditKeys, EscModeWritesBoldFunctionNameCells)
{
    EditText.EscMode = 1;
    const char *typed = "sin7";
    for (int i = 0; typed[i]; ++i) {
        // Placed explicitly: the cursor advance is the structural editor's.
        At(1 + i, 2);
        Press(0, typed[i]);
    }
    EXPECT_EQ(SheetToPicture(EditText), "\n\n    sn in nn 7n\n");
    EXPECT_EQ(Cell(1, 2).Flags(), cfFunctionName | cfBold);
    EXPECT_EQ(s.beeps, 0);

    At(6, 2);
    const SheetBytes before;
    struct K {
        TShiftState shift;
        int ch;
        int beeps;
    };
    const K others[] = {{0, '+', 1}, {0, '(', 1}, {0, ' ', 1}, {ssCtrl, 1, 1}, {0, 13, 1}, {0, 200, 1}, {0, 27, 0}};
    for (const K &k : others) {
        s.beeps = 0;
        Press(k.shift, k.ch);
        EXPECT_EQ(s.beeps, k.beeps) << k.ch;
    }
    EXPECT_TRUE(SheetBytes() == before);
}

TEST_F(EditKeys, EscModeOnALockedCellBeepsOnce)
{
    EditText.EscMode = 1;
    EditText.PageLock = 1;
    At(1, 1);
    Press(0, 's');
    EXPECT_TRUE(Cell(1, 1).AllZero());
    EXPECT_EQ(s.beeps, 1);
}

TEST_F(EditKeys, SpaceErasesTheCellAndStoresNothing)
{
    LoadPicture(EditText, " x $a ^2");
    struct E {
        int col;
        uint8_t fontSet;
    };
    // The Symbol font set must not leave a Symbol blank behind.
    const E cases[] = {{0, 0}, {1, 2}, {2, 0}, {5, 0}};
    for (const E &e : cases) {
        FontSet = e.fontSet;
        At(e.col, 0);
        Press(0, ' ');
        EXPECT_EQ(Cell(e.col, 0).Code(), 0) << e.col;
    }
    EXPECT_EQ(SheetToPicture(EditText, 0), "\n");
    EXPECT_EQ(s.beeps, 0);
}

TEST_F(EditKeys, SpaceOnALockedCellKeepsIt)
{
    LoadPicture(EditText, " x");
    EditText.PageLock = 1;
    At(0, 0);
    Press(0, ' ');
    EXPECT_EQ(Cell(0, 0).Code(), 'x');
    EXPECT_EQ(s.beeps, 1);
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
        {2, 'p', 368},  {2, 'A', 321}, {2, 'z', 378}, {2, '7', 0},   {2, '+', 0},   {2, '~', 0},
        {0, 0, 0},      {0, 27, 0},    {0, 31, 0},    {0, 127, 0},   {0, 200, 0},   {0, 255, 0},
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

TEST_F(EditKeys, CtrlDigitShortcutsWriteRootSquareCubeAndFunctionSign)
{
    struct D {
        uint16_t key;
        int32_t script;
        uint16_t code;
        uint32_t flags;
    };
    const D cases[] = {
        {'1', 0, 470, cfSymbolFont},
        {'2', 0, '2', cfRaised},
        {'3', 0, '3', cfRaised},
        {'5', 0, 422, cfSymbolFont},
        {'2', 8, '2', cfRaised},           // a square stays a square in subscript mode
        {'3', -1, '3', cfRaised},
        {'5', -1, 422, cfSymbolFont | cfRaised},
    };
    for (const D &d : cases) {
        SCOPED_TRACE(d.key);
        EditText.Cells[3][5].Zero();
        ScriptLevel = d.script;
        At(3, 5);
        EXPECT_EQ(Down(ssCtrl, d.key), d.key);
        EXPECT_EQ(Cell(3, 5).Code(), d.code);
        EXPECT_EQ(Cell(3, 5).Flags(), d.flags);
        EXPECT_EQ(s.beeps, 0);
    }
}

TEST_F(EditKeys, DigitsWithoutCtrlAreLeftToTheCharacter)
{
    At(3, 5);
    const SheetBytes before;
    for (uint16_t key : {'1', '2', '3', '5'}) {
        Down(0, key);
        Down(ssShift, key);
    }
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(s.beeps, 0);
}

TEST_F(EditKeys, RootSignRepaintsAndIsRefusedInRowZero)
{
    At(4, 2);
    const uint32_t repaints = s.grid.RepaintCount;
    Down(ssCtrl, '1');
    EXPECT_EQ(Cell(4, 2).Code(), 470);
    EXPECT_GT(s.grid.RepaintCount, repaints);

    for (TShiftState shift : {TShiftState(ssCtrl), TShiftState(ssCtrl | ssShift)}) {
        s.beeps = 0;
        At(4, 0);
        const SheetBytes before;
        EXPECT_EQ(Down(shift, '1'), '1');
        EXPECT_TRUE(SheetBytes() == before);
        EXPECT_EQ(s.beeps, 1);
    }
}

TEST_F(EditKeys, RefusedShortcutCellsBeepOnceAndStayUnflagged)
{
    EditText.PageLock = 1;
    for (uint16_t key : {'1', '2', '3', '5'}) {
        s.beeps = 0;
        At(2, 3);
        const uint32_t repaints = s.grid.RepaintCount;
        const SheetBytes before;
        Down(ssCtrl, key);
        EXPECT_TRUE(SheetBytes() == before) << key;
        EXPECT_EQ(s.beeps, 1) << key;
        EXPECT_EQ(s.grid.RepaintCount, repaints) << key;
    }
}

TEST_F(EditKeys, ArrowKeysBeepOnlyAtTheSheetsEdges)
{
    struct A {
        uint16_t key;
        int col, row;
        int beeps;
    };
    const A cases[] = {
        {37, 0, 5, 1},  {37, 1, 5, 0},  {38, 5, 0, 1},  {38, 5, 1, 0},
        {39, 71, 5, 1}, {39, 70, 5, 0}, {40, 5, 71, 1}, {40, 5, 70, 0},
    };
    for (const A &a : cases) {
        s.beeps = 0;
        At(a.col, a.row);
        EXPECT_EQ(Down(0, a.key), a.key);
        EXPECT_EQ(s.beeps, a.beeps) << a.key << " at " << a.col << "," << a.row;
        // The grid moves the cursor itself.
        EXPECT_EQ(s.grid.Col(), a.col);
        EXPECT_EQ(s.grid.Row(), a.row);
    }
}

TEST_F(EditKeys, FractionKeyBeepsInTheFirstAndLastRow)
{
    struct F {
        void (TKeyboard::*load)();
        uint16_t key;
        int row;
        int beeps;
    };
    const F cases[] = {
        {&TKeyboard::SetUSDefault, 191, 0, 1},
        {&TKeyboard::SetUSDefault, 191, 71, 1},
        {&TKeyboard::SetGerman, 55, 0, 1},
        {&TKeyboard::SetGerman, 55, 71, 1},
        {&TKeyboard::SetGerman, 191, 0, 0},  // Ctrl+/ is no fraction key there
        {&TKeyboard::SetBrazil, 187, 71, 1},
        {&TKeyboard::SetUSDefault, 55, 0, 0},
    };
    for (const F &f : cases) {
        (KeyboardObj.*f.load)();
        s.beeps = 0;
        At(3, f.row);
        const SheetBytes before;
        EXPECT_EQ(Down(ssCtrl, f.key), f.key);
        EXPECT_TRUE(SheetBytes() == before);
        EXPECT_EQ(s.beeps, f.beeps) << KeyboardObj.LayoutName << " " << f.key << " row " << f.row;
    }
}
