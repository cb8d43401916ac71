// A bound sheet from a picture, the cursor, and the checks the editing tests share.
#pragma once

#include <gtest/gtest.h>

#include <utility>

#include "SheetPicture.h"

using Pos = std::pair<int, int>;
inline Pos Cursor()
{
    return {EditText.Grid->Col(), EditText.Grid->Row()};
}
inline void Cursor(int col, int row)
{
    EditText.Grid->SetCol(col), EditText.Grid->SetRow(row);
}

struct Sheet : SheetSetup {
    explicit Sheet(const char *picture = "", int col = 0, int row = 0, int cols = 72, int rows = 72)
        : SheetSetup(cols, rows)
    {
        LoadPicture(EditText, picture);
        Cursor(col, row);
    }
};

// The cursor and the beeps so far as "col,row bN"; Shot puts the picture in front.
inline std::string Where()
{
    return std::to_string(Cursor().first) + "," + std::to_string(Cursor().second) + " b" +
           std::to_string(SheetSetup::beeps);
}
inline std::string Shot(int lastRow = -1)
{
    return SheetToPicture(EditText, lastRow) + Where();
}

// Columns 0..lastCol whose numerator or denominator marker around the line
// row disagrees with the cell in that row being a line cell.
inline std::string StrayZoneMarks(int row, int lastCol)
{
    std::string stray;
    for (int x = 0; x <= lastCol; ++x)
        if (const bool line = EditText.Cells[x][row].Code() == scFractionLine;
            EditText.Cells[x][row - 1].Has(cfAboveLine) != line || EditText.Cells[x][row + 1].Has(cfBelowLine) != line)
            stray += std::to_string(x) + " ";
    return stray;
}

// Refused or ignored: both layers stay byte for byte, with the given beeps.
inline void ExpectNoChange(auto step, int beeps = 1)
{
    SheetSetup::beeps = 0;
    const SheetBytes before;
    step();
    EXPECT_EQ(std::pair(SheetBytes() == before, SheetSetup::beeps), std::pair(true, beeps));
}
