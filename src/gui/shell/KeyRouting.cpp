// Keys and events of the grid: where each key of the sheet goes before the
// grid itself acts on it.
#include "MainWindow.h"
#include "RouteOverlay.h"
#include "platform/GridWidget.h"
#include "worksheet/Edit.h"
#include "worksheet/Keyboard.h"

namespace {

bool ModifierOnly(uint16_t key)
{
    switch (key) {
    case vkShift:
    case vkControl:
    case vkMenu:
    case vkCapital:
    case vkLWin:
    case vkRWin:
        return true;
    default:
        return false;
    }
}

}  // namespace

void TForm2::GridKeyDown(uint16_t &key, TShiftState shift)
{
    routeOverlay_->HideRoute();
    LastShift = shift;
    LastKey = key;
    const bool ctrl = (shift & ssCtrl) != 0;
    const bool shifted = (shift & ssShift) != 0;

    // The '(' key ends a function name before its character arrives.
    if (EditText.EscMode && key == KeyboardObj.Keys[kdParenKey].VKey)
        TB1ButtonESCClick();

    EditText.KeyDown(shift, key, sheetGrid_);
    // A modifier or lock key alone neither edits nor moves (Alt opens the
    // menus): the sheet's size can still be chosen after it.
    if (!ModifierOnly(key))
        SizeMenuLock(true);

    if (EditText.EscMode && key != vkReturn)
        key = 0;

    switch (key) {
    case vkF5:
        calc_.PRButtonClearClick();
        break;
    case vkF6:
        calc_.PRButtonResetClick();
        break;
    case vkF7:
        calc_.PRButtonRefreshClick();
        break;
    case vkF8:
        calc_.PRButtonEnterClick();
        break;
    case vkF9:
        if (ctrl)
            calc_.RouteDisplay();
        else if (!shifted)
            calc_.RearrangeOnlyClick();
        break;
    }

    if (key == vkReturn) {
        if (ctrl)
            calc_.PRButtonEnterClick();
        NewLineFlag = true;
        if (!EditText.EscMode) {
            const int c = sheetGrid_.Col(), r = sheetGrid_.Row();
            if (ScriptLevel > 0)
                TB1ButtonSubClick();
            else if (ScriptLevel < 0)
                TB1ButtonSuperClick();
            else if (c > 0 && EditText.CellAt(c - 1, r).Has(cfFractionLine))
                MoveUpLeft();
            else if (EditText.CellAt(c, r).Has(cfAboveLine))
                MoveDownLeft();
            else if (EditText.CellAt(c, r).Has(cfBelowLine))
                MoveUpRight();
        }
    }

    // LastKey is the key as it arrived: this works in ESC mode too.
    if (KeyboardObj.Keys[kdSuperscript].Matches(uint16_t(LastKey), shift))
        TB1ButtonSuperClick();
    if (ctrl && key == vkComma) {
        if (shifted)
            TB1ButtonSuperClick();
        else
            TB1ButtonSubClick();
    }
    if (ctrl && key == vkMinus)
        TB1ButtonSubClick();
    if (ctrl && key == vkPeriod) {
        if (FontSet == 0)
            TB1ButtonSymbolClick();
        else if (FontSet == 2)
            TB1ButtonAnsiClick();
    }
    if (key == vkEscape)
        TB1ButtonESCClick();

    if (key == vkReturn) {
        if (EditText.EscMode)
            TB1ButtonESCClick();
        if (shifted) {
            EditText.CursorDown();
            EditText.FindLineStart();
            NewLineFlag = true;
        }
    }

    if (key == vkInsert) {
        if (shifted)
            EditText.InsertRow();
        else
            EditText.InsertColumn();
    }

    if (F12Armed && key == vkKey1) {
        ShowNestingMarks = true;
        sheetGrid_.Repaint();
    }
    F12Armed = false;
    if (key == vkF12 && shift == (ssShift | ssCtrl))
        F12Armed = true;
    SyncModeGlyphs();
}

void TForm2::GridKeyPress(char &key)
{
    if (key == '^') {
        TB1ButtonSuperClick();
        key = 0;
    } else if (key == '_') {
        TB1ButtonSubClick();
        key = 0;
    }
    EditText.KeyPress(LastShift, key);
    NewLineFlag = false;
    if (SaveUndoProc)
        SaveUndoProc();
    SyncModeGlyphs();
}

namespace {

// First column of a numerator or denominator over the line that runs left
// from lineCol - 1 in lineRow: a line overhangs its numerator by one cell.
int ZoneStart(int lineCol, int lineRow)
{
    int c = lineCol;
    while (c - 2 >= 0 && EditText.CellAt(c - 2, lineRow).Has(cfFractionLine))
        --c;
    return c;
}

}  // namespace

// Enter just right of a fraction line: up to the numerator.
void TForm2::MoveUpLeft()
{
    const int r = sheetGrid_.Row();
    if (r == 0) {
        Beep();
        return;
    }
    sheetGrid_.SetCol(ZoneStart(sheetGrid_.Col(), r));
    sheetGrid_.SetRow(r - 1);
}

// Enter on the numerator: down to the denominator.
void TForm2::MoveDownLeft()
{
    const int r = sheetGrid_.Row() + 1;
    if (r >= EditText.RowMax) {
        Beep();
        return;
    }
    sheetGrid_.SetCol(ZoneStart(sheetGrid_.Col(), r));
    sheetGrid_.SetRow(r + 1);
}

// Enter on the denominator: to the first cell after the line.
void TForm2::MoveUpRight()
{
    const int r = sheetGrid_.Row() - 1;
    int c = sheetGrid_.Col();
    while (c <= EditText.ColMax && EditText.CellAt(c, r).Has(cfFractionLine))
        ++c;
    if (r >= 0 && c < EditText.ColMax) {
        sheetGrid_.SetCol(c);
        sheetGrid_.SetRow(r);
    } else {
        Beep();
    }
}

void TForm2::gridSelectCell(int col, int row, bool &canSelect)
{
    const TGridRect sel = sheetGrid_.Selection();
    EditText.RangeSelected = (sel.Left != sel.Right) || (sel.Top != sel.Bottom);
    if (EditText.RangeSelected) {
        EditText.Selection = sel;
        EditText.SelCol = col;
        EditText.SelRow = row;
        EditText.SetRootRange();
        if (SaveUndoProc)
            SaveUndoProc();
    }
    canSelect = true;
}

void TForm2::gridDblClick()
{
    const int c = sheetGrid_.Col(), r = sheetGrid_.Row();
    const uint8_t level = EditText.AttrAt(c, r).RootLevel;
    if (level != 0)
        EditText.ClearNesting(level, c, r);
}

void TForm2::gridTopLeftChanged()
{
    if (PlaceBoxes)
        PlaceBoxes();
    routeOverlay_->update();
}
