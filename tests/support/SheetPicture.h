// Sheets as compact text pictures, for tests.
//
// One text line per sheet row, three characters per cell: kind, character,
// mark. "   " is an empty cell; trailing blanks may be left out.
//   kind ' ' text font, '^' raised, '_' lowered, '$' symbol font,
//        '-' fraction line ("--": Symbol 190 with cfFractionLine; loading also
//            marks the cells above and below as numerator and denominator),
//        'r' root sign ("r/"), 'f' function sign ("f~"),
//        '(' ')' '[' ']' '{' '}' tall bracket pieces and 'S' integral pieces,
//            with the character '/' top, '|' middle, '\' bottom.
//        '.' an empty cell (character 0) that carries only a mark, such as
//            the result mark a result fraction line leaves above and below it.
//   mark ' ' none, '*' result, 'g' green, 'b' bold, 'n' function name (bold too),
//        'R' raised result, 'L' lowered result (for kinds without a script level).
// Example: " x  =  1  +  ^2 " is x = 1 + with a raised 2.
// A picture that starts with a line break drops that first empty line (handy
// for raw strings); start with " \n" to keep an empty first row.
#pragma once

#include <string>
#include <vector>

#include "worksheet/Edit.h"

// Rows in the one-character form: ' ' empty, '#' a fraction line, "<kcm>" one
// cell in the form above ("<^2 >" a raised 2), else a text cell.
std::string ExpandRow(const std::string &row);
// Loads the rows as a picture (an empty first row still counts).
void LoadRows(const std::vector<std::string> &rows);

// Writes the picture into the cells from (0, 0), leaving other cells as they
// are, and grows the used extent. Throws std::invalid_argument on a bad cell.
void LoadPicture(TEditText &sheet, const std::string &picture);

// Prints rows 0..lastRow (default: the last one not all zero) without trailing
// blanks; cells the picture cannot express print as '?' and two hex digits.
std::string SheetToPicture(const TEditText &sheet, int lastRow = -1, int lastCol = -1);

// The structure layer: one line per run of equal, not all-zero cells in a row,
// "col,row" or "first-last,row", then the fields not zero: L RootLevel,
// T RootTop, B RootBottom, R RootRow, P Protection (decimal), N Nesting,
// O Overline (hex). "3-7,4 N02 O02": first row of a level-1 area over 3..7.
std::string AttrsToText(const TEditText &sheet);

// A fresh grid bound to EditText, the editing globals at their start values, Beep counted.
struct SheetSetup {
    explicit SheetSetup(int cols = 72, int rows = 72);
    ~SheetSetup();
    TDrawGrid grid;
    static int beeps;
};

// Byte-exact copy of both layers, to prove that a refusal changed nothing.
struct SheetBytes {
    SheetBytes();
    bool operator==(const SheetBytes &o) const;
    TCell cells[SheetCells][SheetCells];
    TAttrCell attrs[SheetCells][SheetCells];
};
