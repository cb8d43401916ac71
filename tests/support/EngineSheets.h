// Sheets for the engine tests, one character per cell.
//   ' ' empty, '#' fraction-line cell, any other character a text cell;
//   "<kcm>" one cell in SheetPicture's three-character form (kind, character,
//   mark), e.g. "<^2 >" a raised 2, "<S| >" an integral middle, "< 5*>" a result.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "SheetPicture.h"
#include "worksheet/Edit.h"

inline std::string ExpandRow(const std::string &row)
{
    std::string out;
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '<') {
            if (i + 4 >= row.size() || row[i + 4] != '>')
                throw std::invalid_argument("cell escape is <kcm>: " + row);
            out += row.substr(i + 1, 3);
            i += 4;
        } else if (row[i] == '#') {
            out += "-- ";
        } else {
            out += {' ', row[i], ' '};
        }
    }
    // An empty first row must still count as a row.
    return out.empty() ? "   " : out;
}

inline void LoadRows(const std::vector<std::string> &rows)
{
    std::string picture;
    for (const std::string &r : rows)
        picture += ExpandRow(r) + "\n";
    LoadPicture(EditText, picture);
}
