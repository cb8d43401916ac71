// The oracles the fuzz targets share. A failed one aborts, so libFuzzer and
// the replay both report the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "worksheet/Edit.h"

// The builtins, not std::source_location: clang 14 lacks what that needs.
inline void Check(bool ok, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (ok)
        return;
    std::fprintf(stderr, "oracle failed: %s:%d\n", file, line);
    std::abort();
}

// A sum over every cell outside the grid: what no edit may change.
inline uint64_t OutsideSum(const TDrawGrid &grid)
{
    uint64_t sum = 0;
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r)
            if (c >= grid.ColCount() || r >= grid.RowCount()) {
                uint64_t a, b;
                std::memcpy(&a, &EditText.Cells[c][r], 8);
                std::memcpy(&b, &EditText.Attrs[c][r], 8);
                sum = sum * 31 + a * 7 + b;
            }
    return sum;
}

// The used extent and the cursor lie inside the grid.
inline void CheckInsideGrid(const TDrawGrid &grid)
{
    Check(EditText.UsedColExt >= 0 && EditText.UsedColExt < grid.ColCount());
    Check(EditText.UsedRowExt >= 0 && EditText.UsedRowExt < grid.RowCount());
    Check(grid.Col() >= 0 && grid.Col() < grid.ColCount() && grid.Row() >= 0 && grid.Row() < grid.RowCount());
}
