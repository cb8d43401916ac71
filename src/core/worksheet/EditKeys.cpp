// Key editing: what a key-down and a typed character do to the sheet.
#include "Edit.h"
#include "Keyboard.h"
#include "VirtualKeys.h"

namespace {

struct TallBracketKey {
    int entry;
    uint8_t top, middle, bottom;
};

// Layout entries of the tall brackets, in the order they are tested.
const TallBracketKey tallBracketKeys[] = {
    {kdTallParenClose, 246, 247, 248}, {kdTallParenOpen, 230, 231, 232},  {kdTallBrackOpen, 233, 234, 235},
    {kdTallBraceOpen, 236, 237, 238},  {kdTallBrackClose, 249, 250, 251}, {kdTallBraceClose, 252, 253, 254},
};

// Writes one character at (col, row), gives the written cell the extra flags
// and advances. A refused cell (PutChar beeps) gets neither flags nor advance.
bool WriteAndAdvance(TEditText &sheet, uint8_t ch, int col, int row, uint32_t add, uint32_t remove = 0)
{
    int x = col;
    if (!sheet.PutChar(ch, col, row, x))
        return false;
    // PutChar may have opened a column and written further right.
    TCell &cell = sheet.Cells[x][row];
    cell.SetFlags((cell.Flags() & ~remove) | add);
    sheet.Next();
    return true;
}

bool IsLetter(uint8_t ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

bool IsDigit(uint8_t ch)
{
    return ch >= '0' && ch <= '9';
}

}  // namespace

void TEditText::KeyDown(TShiftState shift, uint16_t &key, TDrawGrid &grid)
{
    const int c = grid.Col();
    const int r = grid.Row();
    const bool ctrl = (shift & ssCtrl) != 0;
    const bool shifted = (shift & ssShift) != 0;

    switch (key) {
    case vkBack:
        Backspace();
        break;
    case vkLeft:
        if (c == 0)
            Beep();
        break;
    case vkUp:
        if (r == 0)
            Beep();
        break;
    case vkRight:
        if (c == ColMax)
            Beep();
        break;
    case vkDown:
        if (r == RowMax)
            Beep();
        break;
    case vkDelete:
        // Ctrl+Del is the block delete of the Edit menu.
        if (!ctrl) {
            if (shifted)
                DeleteRow();
            else
                DeleteColumn();
        }
        break;
    case '1':
        if (ctrl) {
            // A root sign needs the row above it for its overline.
            if (r == 0)
                Beep();
            else if (WriteAndAdvance(*this, 214, c, r, cfSymbolFont))
                grid.RepaintChanged();
        }
        break;
    case '2':
    case '3':
        // Square and cube: a raised digit, never also lowered.
        if (ctrl)
            WriteAndAdvance(*this, uint8_t(key), c, r, cfRaised, cfLowered);
        break;
    case '4':
        if (shifted) {
            if (!InsertBrackets(243, 244, 245, c, r))
                Beep();
        } else if (ctrl) {
            InsertIntegral(c, r);
        }
        break;
    case '5':
        if (ctrl)
            WriteAndAdvance(*this, 166, c, r, cfSymbolFont);
        break;
    }

    const TKeyDef *keys = KeyboardObj.Keys;
    for (const TallBracketKey &b : tallBracketKeys)
        if (keys[b.entry].Matches(key, shift))
            InsertBrackets(b.top, b.middle, b.bottom, c, r);
    if (keys[kdFraction].Matches(key, shift)) {
        // The numerator needs a row above the line and the denominator one below.
        if (r > 0 && r < RowMax)
            InsertFraction(false);
        else
            Beep();
    }
}

void TEditText::KeyPress(TShiftState shift, char &key)
{
    const uint8_t ch = uint8_t(key);
    const int c = CursorCol();
    const int r = CursorRow();

    if (EscMode) {
        if (IsLetter(ch) || IsDigit(ch))
            WriteAndAdvance(*this, ch, c, r, cfFunctionName | cfBold);
        else if (ch != 27)
            Beep();
        return;
    }

    if (ch >= 1 && ch <= 26) {
        // Ctrl+letter: one Greek letter from the other font set. Enter's
        // Ctrl+Enter line feed (10) is kept out by NewLineFlag.
        if (!(shift & ssCtrl) || NewLineFlag)
            return;
        const uint8_t saved = FontSet;
        FontSet = FontSet == 0 ? 2 : 0;
        const uint8_t letter = uint8_t(ch + ((shift & ssShift) ? 64 : 96));
        int x = c;
        const bool written = PutChar(letter, c, r, x);
        FontSet = saved;
        if (written)
            Next();
        return;
    }

    if (ch == ' ') {
        // A space erases; blanks are never stored.
        int x = c;
        if (PutChar(0, c, r, x)) {
            Cells[x][r].SetCode(0);
            Next();
        }
        return;
    }

    if (ch >= 33 && ch <= 126) {
        // The Symbol font set has Greek letters only.
        if (FontSet != 0 && !IsLetter(ch))
            return;
        WriteAndAdvance(*this, ch, c, r, 0);
    }
    // 0, 27..31 and 127..255 are dropped.
}
