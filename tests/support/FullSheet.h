// A sheet with something in every one of its 145 x 145 cells, for the paint
// benchmarks and the repaint tests.
#pragma once

#include "worksheet/Edit.h"

// Every cell holds something: text, bold names, scripts, Greek letters,
// fraction bars, tall brackets, integrals, roots with overlines, results.
inline void FillFullSheet()
{
    static const char text[] = "x=12+ab*c-y/3.5";
    static const uint8_t tops[] = {230, 233, 236, 243, 246, 249, 252};
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r) {
            TCell &cell = EditText.Cells[c][r];
            cell.Zero();
            cell.Ch = uint8_t(text[(c + r) % (sizeof text - 1)]);
            uint32_t flags = 0;
            const int piece = r % 6 - 3;  // rows 3..5 of six: top, middle, bottom
            if (r % 6 == 0) {
                flags = c % 5 == 3 ? cfRaised : c % 7 == 4 ? cfLowered : c % 11 == 0 ? cfBold : 0u;
            } else if (r % 6 == 1) {
                cell.Ch = 190;
                flags = cfSymbolFont | cfFractionLine | (c % 9 == 0 ? uint32_t(cfResult) : 0u);
            } else if (r % 6 == 2) {
                cell.Ch = uint8_t('a' + c % 26);
                flags = cfSymbolFont | (c % 4 == 0 ? uint32_t(cfGreen) : 0u);
            } else if (c % 8 == 0 || c % 8 == 5) {
                cell.Ch = uint8_t(tops[(c / 8) % 7] + piece);
                flags = cfSymbolFont | (piece == 1 ? cfTallBracket : cfBracketPart);
            } else if (c % 8 == 2 && piece == 1) {
                cell.Ch = 214, flags = cfSymbolFont;
            } else if (c % 3 == 0) {
                flags = cfResult;
            }
            cell.SetFlags(flags);
            EditText.Attrs[c][r].Zero();
        }
    // Roots over the three cells right of each sign.
    for (int c = 2; c + 3 < SheetCells; c += 8)
        for (int r = 4; r < SheetCells; r += 6) {
            TAttrCell &a = EditText.Attrs[c][r];
            a.RootLevel = a.Overline = 1;
            a.RootTop = a.RootBottom = a.RootRow = uint8_t(r);
            for (int x = c + 1; x <= c + 3; ++x)
                EditText.Attrs[x][r].Overline |= 2, EditText.Attrs[x][r].Nesting |= 2;
        }
}
