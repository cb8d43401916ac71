// The result writer: lays the evaluated expression tree back onto the sheet
// as blue result cells, in the sheet's own two-dimensional notation.
#pragma once

#include <cstdint>
#include <string>

#include "worksheet/Cell.h"

class TCodeList;

// True while results are written; the cell painter draws nothing meanwhile.
extern bool SuspendDraw;
// Right end (column) of the fraction line written last; an enclosing fraction
// reads it to find its own width.
extern int32_t FracRight;

// Rows that the fractions of a subtree need around its main row.
struct TLayout {
    int32_t Up = 0;     // rows above the main row
    int32_t Down = 0;   // rows below the main row
    int32_t Level = 0;  // fraction depth: >0 in numerators, <0 in denominators
    bool First = true;  // the next fraction met is the first at its depth
};

void ClearLayout(TLayout &layout);
void MeasureFraction(const TCodeList *n, TLayout &layout);

// Writes the results of the calculation: every '=' that asks for one in
// multi-result mode, the whole equation below the input in single-result mode.
// A result that does not fit (page full) leaves no result of the calculation
// behind: the sheet is as it was before.
void DisplayResults();

// The pieces, in the order the writer uses them.
void WriteResult(const TCodeList *e);
void WriteNode(const TCodeList *n, bool first);
void WriteText(const std::string &s);
void WriteName(const TCodeList *n);
bool WriteCell(const TCell &cell);
void WriteNumber(double x);
void WriteFraction(const TCodeList *n);
void WriteBracket(const TCodeList *n, bool open);
void WriteRootBar(const TCodeList *radicand, int32_t col, int32_t row);
