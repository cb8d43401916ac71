// Keys whose work is done by the structural editor: brackets, fractions,
// integrals, deletions and the cursor advance after a written character.
#include <gtest/gtest.h>

#include "KeyEditingFixture.h"

namespace {

using EditKeysStruct = KeyEditing;

struct BracketKey {
    uint16_t key;
    TShiftState shift;
    uint8_t top;
};

struct LayoutBrackets {
    void (TKeyboard::*load)();
    BracketKey keys[6];  // tall ( ) [ ] { }
};

const LayoutBrackets layoutBrackets[] = {
    {&TKeyboard::SetUSDefault, {{57, 4, 230}, {48, 4, 246}, {219, 4, 233}, {221, 4, 249}, {219, 5, 236}, {221, 5, 252}}},
    {&TKeyboard::SetGerman, {{56, 4, 230}, {57, 4, 246}, {219, 4, 233}, {221, 4, 249}, {219, 5, 236}, {221, 5, 252}}},
    {&TKeyboard::SetItalian, {{56, 4, 230}, {57, 4, 246}, {186, 4, 233}, {187, 4, 249}, {186, 5, 236}, {187, 5, 252}}},
    {&TKeyboard::SetBrazil, {{57, 4, 230}, {48, 4, 246}, {221, 4, 233}, {220, 4, 249}, {221, 5, 236}, {220, 5, 252}}},
};

}  // namespace

TEST_F(EditKeysStruct, LayoutKeysWriteTallBrackets)
{
    for (const LayoutBrackets &lb : layoutBrackets) {
        (KeyboardObj.*lb.load)();
        for (const BracketKey &b : lb.keys) {
            SCOPED_TRACE(KeyboardObj.LayoutName + " key " + std::to_string(b.key) + " shift " +
                         std::to_string(b.shift));
            EditText.Reset();
            At(5, 5);
            Down(b.shift, b.key);
            EXPECT_EQ(Code(5, 4), 256 + b.top);
            EXPECT_EQ(Code(5, 5), 256 + b.top + 1);
            EXPECT_EQ(Code(5, 6), 256 + b.top + 2);
            EXPECT_EQ(EditText.Cells[5][5].Flags(), cfTallBracket | cfSymbolFont);
            EXPECT_EQ(s.grid.Col(), 6);
            EXPECT_EQ(s.grid.Row(), 5);
            EXPECT_EQ(s.beeps, 0);
        }
    }
}

TEST_F(EditKeysStruct, CtrlShift9MatchesNothingOnTheUSLayout)
{
    At(5, 5);
    const SheetBytes before;
    Down(ssCtrl | ssShift, 57);
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(s.beeps, 0);
    EXPECT_EQ(s.grid.Col(), 5);
}

TEST_F(EditKeysStruct, TallBracketInRowZeroBeepsOnce)
{
    At(5, 0);
    const SheetBytes before;
    Down(ssCtrl, 57);
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(s.beeps, 1);
}

TEST_F(EditKeysStruct, FractionKeyOfEachLayoutStartsALine)
{
    struct F {
        void (TKeyboard::*load)();
        uint16_t key;
    };
    const F cases[] = {{&TKeyboard::SetUSDefault, 191}, {&TKeyboard::SetGerman, 55},
                       {&TKeyboard::SetItalian, 55},    {&TKeyboard::SetBrazil, 187}};
    for (const F &f : cases) {
        SCOPED_TRACE(f.key);
        (KeyboardObj.*f.load)();
        EditText.Reset();
        At(5, 5);
        Down(ssCtrl, f.key);
        for (int c = 4; c <= 6; ++c)
            EXPECT_EQ(Code(c, 5), scFractionLine) << c;
        EXPECT_EQ(Code(3, 5), 0);
        EXPECT_EQ(Code(7, 5), 0);
        EXPECT_EQ(s.grid.Col(), 7);
        EXPECT_EQ(s.beeps, 0);
    }
}

TEST_F(EditKeysStruct, Ctrl4WritesTheIntegralTemplate)
{
    At(3, 3);
    Down(ssCtrl, '4');
    EXPECT_EQ(SheetToPicture(EditText),
              "\n\n"
              "         S/  b\n"
              "         S|    f~  (  x  )  d  x\n"
              "         S\\  a\n");
    EXPECT_EQ(s.grid.Col(), 11);
    EXPECT_EQ(s.grid.Row(), 3);
}

TEST_F(EditKeysStruct, Shift4WritesABareIntegralSign)
{
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

TEST_F(EditKeysStruct, BackspaceErasesLeftOfTheCursor)
{
    LoadPicture(EditText, " a  b  c  d");
    At(3, 0);
    Down(0, 8);
    EXPECT_EQ(SheetToPicture(EditText), " a  b     d\n");
    EXPECT_EQ(s.grid.Col(), 2);
}

TEST_F(EditKeysStruct, DeleteRemovesColumnOrRowButNotWithCtrl)
{
    struct D {
        TShiftState shift;
        const char *after;
    };
    const D cases[] = {
        {0, " a  c  d\n e  g  h\n"},
        {ssShift, " e  f  g  h\n"},
        {ssCtrl, " a  b  c  d\n e  f  g  h\n"},
        {ssCtrl | ssShift, " a  b  c  d\n e  f  g  h\n"},
    };
    for (const D &d : cases) {
        SCOPED_TRACE(d.shift);
        EditText.Reset();
        LoadPicture(EditText, " a  b  c  d\n e  f  g  h");
        At(1, 0);
        Down(d.shift, 46);
        EXPECT_EQ(SheetToPicture(EditText), d.after);
    }
}

TEST_F(EditKeysStruct, TypedCharactersAdvanceTheCursor)
{
    At(1, 1);
    Type("x+1");
    Press(ssCtrl, 16);  // pi
    Down(ssCtrl, '2');
    EXPECT_EQ(SheetToPicture(EditText), "\n    x  +  1 $p ^2\n");
    EXPECT_EQ(s.grid.Col(), 6);
    EXPECT_EQ(s.beeps, 0);
}

TEST_F(EditKeysStruct, EscModeNameAdvancesAndOtherCharactersStay)
{
    EditText.EscMode = 1;
    At(2, 1);
    Type("sin");
    Press(0, '+');
    EXPECT_EQ(SheetToPicture(EditText), "\n       sn in nn\n");
    EXPECT_EQ(s.grid.Col(), 5);
    EXPECT_EQ(s.beeps, 1);
}

TEST_F(EditKeysStruct, SpaceErasesAndMovesRight)
{
    LoadPicture(EditText, " x  y");
    At(0, 0);
    Press(0, ' ');
    EXPECT_EQ(SheetToPicture(EditText), "    y\n");
    EXPECT_EQ(s.grid.Col(), 1);
}

TEST_F(EditKeysStruct, RootSignAdvances)
{
    At(2, 4);
    Down(ssCtrl, '1');
    EXPECT_EQ(Code(2, 4), scRootSign);
    EXPECT_EQ(s.grid.Col(), 3);
}

TEST_F(EditKeysStruct, LastColumnCharacterIsWrittenThenTheAdvanceBeeps)
{
    At(71, 2);
    Press(0, 'q');
    EXPECT_EQ(Code(71, 2), 'q');
    EXPECT_EQ(s.grid.Col(), 71);
    EXPECT_EQ(s.beeps, 1);
}
