// A bound sheet on the US layout with helpers that send keys to it.
#pragma once

#include <gtest/gtest.h>

#include "Keyboard.h"
#include "SheetPicture.h"

class KeyEditing : public ::testing::Test {
protected:
    KeyEditing() { KeyboardObj.SetUSDefault(); }
    ~KeyEditing() override { KeyboardObj.SetUSDefault(); }

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
    const TCell &Cell(int col, int row) const { return EditText.Cells[col][row]; }
    uint16_t Code(int col, int row) const { return EditText.Cells[col][row].Code(); }

    SheetSetup s;
};
