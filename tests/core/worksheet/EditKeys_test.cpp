// Key editing: what key-downs and typed characters do to a bound sheet.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/SheetSteps.h"
#include "worksheet/Edit.h"
#include "worksheet/Keyboard.h"

namespace {

using TLoad = void (TKeyboard::*)();
constexpr TLoad US = &TKeyboard::SetUSDefault, DE = &TKeyboard::SetGerman, IT = &TKeyboard::SetItalian,
                BR = &TKeyboard::SetBrazil;

struct EditKeys : ::testing::Test {
    EditKeys() { KeyboardObj.SetUSDefault(); }
    ~EditKeys() override { KeyboardObj.SetUSDefault(); }
    Sheet s;
    // Down returns the key code as the handler left it.
    static uint16_t Down(TShiftState shift, uint16_t key) { return EditText.KeyDown(shift, key, *EditText.Grid), key; }
    static void Press(TShiftState shift, char ch) { EditText.KeyPress(shift, ch); }
    static const TCell &Cell(int col, int row) { return EditText.Cells[col][row]; }
};

TEST_F(EditKeys, OneKeyWritesOneCell)
{
    // Typed characters by font set (a space erases and moves on), Ctrl+letter from the other set,
    // Ctrl+1/2/3/5 root, square, cube, function sign. Font set, script level, key down (else typed), shift, key, code
    // written, flags
    using K = std::tuple<uint8_t, int32_t, bool, TShiftState, int, uint16_t, uint32_t>;
    const uint32_t sf = cfSymbolFont;
    // clang-format off
    const K cases[] = {
        {0, 0, 0, 0, '!', '!', 0}, {0, 0, 0, 0, '~', '~', 0}, {0, 0, 0, 0, ' ', 0, 0}, {2, 0, 0, 0, ' ', 0, 0},
        {2, 0, 0, 0, 'p', 368, sf}, {2, 0, 0, 0, 'A', 321, sf}, {2, 0, 0, 0, '7', 0, 0},
        {0, 0, 0, 0, 27, 0, 0}, {0, 0, 0, 0, 31, 0, 0}, {0, 0, 0, 0, 127, 0, 0}, {0, 0, 0, 0, 255, 0, 0},
        {0, 0, 0, ssCtrl, 1, 353, sf}, {0, 0, 0, ssCtrl | ssShift, 1, 321, sf},  // alpha, Alpha
        {0, 0, 0, ssCtrl, 26, 378, sf}, {0, 0, 0, ssCtrl | ssAlt, 16, 368, sf},  // Alt does not hide Ctrl
        {0, -1, 0, ssCtrl, 2, 354, sf | cfRaised}, {0, 8, 0, ssCtrl, 2, 354, sf | cfLowered},
        {2, 0, 0, ssCtrl, 16, 'p', 0}, {2, 0, 0, ssCtrl | ssShift, 7, 'G', 0},  // from the Symbol set: text letters
        {0, 0, 1, ssCtrl, '1', 470, sf}, {0, 0, 1, ssCtrl, '2', '2', cfRaised},
        {0, 0, 1, ssCtrl, '3', '3', cfRaised}, {0, 0, 1, ssCtrl, '5', 422, sf},
        {0, 8, 1, ssCtrl, '2', '2', cfRaised},  // a square stays one in subscript
        {0, -1, 1, ssCtrl, '3', '3', cfRaised}, {0, -1, 1, ssCtrl, '5', 422, sf | cfRaised},
    };
    // clang-format on
    for (auto [fontSet, script, down, shift, key, code, flags] : cases) {
        SCOPED_TRACE(testing::Message() << (down ? "down " : "press ") << key << " set " << int(fontSet));
        EditText.Cells[3][2].SetCode(key == ' ' ? 'q' : 0);
        FontSet = fontSet, ScriptLevel = script, Cursor(3, 2);
        const uint32_t repaints = s.grid.RepaintCount;
        EXPECT_EQ(down ? Down(shift, uint16_t(key)) : (Press(shift, key), key), key);
        EXPECT_EQ(std::tuple(Cell(3, 2).Code(), Cell(3, 2).Flags(), Where(), FontSet),
                  std::tuple(code, flags, code || key == ' ' ? "4,2 b0" : "3,2 b0", fontSet));
        EXPECT_TRUE(!(down && key == '1') || s.grid.RepaintCount > repaints);  // a root sign repaints
    }
}

TEST_F(EditKeys, EscModeWritesBoldFunctionNameCells)
{
    EditText.EscMode = 1, Cursor(1, 2);
    for (const char *c = "sin7"; *c; ++c)
        Press(0, *c);
    EXPECT_EQ(std::pair(Shot(), Cell(1, 2).Flags()),
              std::pair(std::string("\n\n    sn in nn 7n\n5,2 b0"), cfFunctionName | cfBold));
    // Anything else beeps and stays where it is; Escape itself is silent; a locked cell refuses.
    const int others[][3] = {{0, '+', 1}, {0, ' ', 1}, {ssCtrl, 1, 1}, {0, 13, 1}, {0, 200, 1}, {0, 27, 0}};
    for (const auto &k : others)
        ExpectNoChange([&] { Press(TShiftState(k[0]), k[1]); }, k[2]);
    EXPECT_EQ(Cursor(), Pos(5, 2));
    EditText.PageLock = 1;
    ExpectNoChange([&] { Press(0, 's'); });
}

TEST_F(EditKeys, KeysThatChangeNothing)
{
    // Refused (one beep) or matching nothing (silent): sheet, cursor and repaint count stay.
    using N = std::tuple<const char *, TLoad, int, int, int, TShiftState, std::vector<uint16_t>, int>;
    const TShiftState c = ssCtrl;
    // clang-format off
    const N cases[] = {
        {"root in row 0", US, 0, 4, 0, c, {'1'}, 1}, {"locked", US, 1, 2, 3, c, {'1', '2', '3', '5'}, 1},
        {"no Ctrl", US, 0, 3, 5, 0, {'1', '2', '3', '5'}, 0}, {"no tall bracket", US, 0, 3, 5, c | ssShift, {57}, 0},
        {"bracket in row 0", US, 0, 5, 0, c, {57}, 1}, {"fraction in row 0", US, 0, 3, 0, c, {191}, 1},
        {"fraction in the last row", US, 0, 3, 71, c, {191}, 1}, {"fraction in the last row", DE, 0, 3, 71, c, {55}, 1},
        {"no fraction key on DE", DE, 0, 3, 0, c, {191}, 0}, {"no fraction key on US", US, 0, 3, 0, c, {55}, 0}};
    // clang-format on
    for (const auto &[what, load, lock, col, row, shift, keys, beeps] : cases)
        for (uint16_t key : keys) {
            SCOPED_TRACE(testing::Message() << what << " " << key);
            (KeyboardObj.*load)(), EditText.PageLock = lock, Cursor(col, row);
            const uint32_t repaints = s.grid.RepaintCount;
            ExpectNoChange([&] { EXPECT_EQ(Down(shift, key), key); }, beeps);
            EXPECT_EQ(std::pair(Cursor(), s.grid.RepaintCount), std::pair(Pos(col, row), repaints));
        }
}

TEST_F(EditKeys, ArrowKeysBeepOnlyAtTheSheetsEdges)
{
    // Key, cursor, beeps: the grid moves the cursor itself.
    const int cases[][4] = {{37, 0, 5, 1},  {37, 1, 5, 0},  {38, 5, 0, 1},  {38, 5, 1, 0}, {39, 71, 5, 1},
                            {39, 70, 5, 0}, {40, 5, 71, 1}, {40, 5, 70, 0}, {38, 71, 5, 0}};
    for (const auto &[key, col, row, beeps] : cases) {
        s.beeps = 0, Cursor(col, row);
        EXPECT_EQ(Down(0, uint16_t(key)), key);
        EXPECT_EQ(Where(), std::to_string(col) + "," + std::to_string(row) + " b" + std::to_string(beeps)) << key;
    }
}

TEST_F(EditKeys, BackspaceAndDelete)
{
    // Delete removes a column, Shift+Delete a row; Ctrl+Delete is the menu's. Backspace (-1) erases leftwards.
    const char *const sheet = " a  b  c  d\n e  f  g  h\n";
    // clang-format off
    const std::pair<int, const char *> cases[] = {
        {0, " a  c  d\n e  g  h\n1,0 b0"}, {ssShift, " e  f  g  h\n1,0 b0"},
        {ssCtrl, " a  b  c  d\n e  f  g  h\n1,0 b0"}, {ssCtrl | ssShift, " a  b  c  d\n e  f  g  h\n1,0 b0"},
        {-1, " a  b     d\n e  f  g  h\n2,0 b0"}};
    // clang-format on
    for (const auto &[shift, after] : cases) {
        Sheet setup(sheet, shift < 0 ? 3 : 1, 0);
        shift < 0 ? void(Down(0, 8)) : void(Down(TShiftState(shift), 46));
        EXPECT_EQ(Shot(), after) << shift;
    }
}

TEST_F(EditKeys, LayoutKeysWriteTallBracketsAndFractions)
{
    // The keys come from the layout's table: each layout's fraction key ('-'), the US bracket keys.
    const TShiftState c = ssCtrl, cs = ssCtrl | ssShift;
    const std::tuple<TLoad, TShiftState, uint16_t, char> cases[] = {
        {US, c, 191, '-'}, {DE, c, 55, '-'},  {IT, c, 55, '-'},  {BR, c, 187, '-'},  {US, c, 57, '('},
        {US, c, 48, ')'},  {US, c, 219, '['}, {US, c, 221, ']'}, {US, cs, 219, '{'}, {US, cs, 221, '}'}};
    for (auto [load, shift, key, ch] : cases) {
        (KeyboardObj.*load)();
        EditText.Reset(), Cursor(5, 5), Down(shift, key);
        const std::string at = "\n" + std::string(15, ' ') + ch;
        EXPECT_EQ(Shot(), ch == '-' ? "\n\n\n\n\n            -- -- --\n7,5 b0"
                                    : "\n\n\n" + at + "/" + at + "|" + at + "\\\n6,5 b0")
            << KeyboardObj.LayoutName << " " << key;
    }
}

TEST_F(EditKeys, Ctrl4WritesTheIntegralTemplateAndShift4ABareSign)
{
    for (auto [shift, after] :
         {std::pair(TShiftState(ssCtrl),
                    "\n\n         S/  b\n         S|    f~  (  x  )  d  x\n         S\\  a\n11,3 b0"),
          {TShiftState(ssCtrl | ssShift), "\n\n         S/\n         S|\n         S\\\n4,3 b0"}}) {
        EditText.Reset(), Cursor(3, 3), Down(shift, '4');
        EXPECT_EQ(Shot(), after);
    }
    EditText.Reset();
    Cursor(3, 0);  // no room above
    const SheetBytes before;
    Down(ssShift, '4');
    EXPECT_TRUE(SheetBytes() == before && s.beeps >= 1);
}

}  // namespace
