// A bound sheet from a picture, and the cursor, for the editing tests.
#pragma once

#include <utility>

#include "SheetPicture.h"

namespace {

using Pos = std::pair<int, int>;
inline Pos Cursor() { return {EditText.Grid->Col(), EditText.Grid->Row()}; }
inline void Cursor(int col, int row)
{
    EditText.Grid->SetCol(col);
    EditText.Grid->SetRow(row);
}

// A fresh bound sheet holding the picture, the cursor at (col, row).
struct Sheet : SheetSetup {
    explicit Sheet(const char *picture, int col = 0, int row = 0, int cols = 72, int rows = 72)
        : SheetSetup(cols, rows)
    {
        LoadPicture(EditText, picture);
        Cursor(col, row);
    }
};

}  // namespace
