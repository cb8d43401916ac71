// The baseline the engine benchmarks are measured against: one plain read of
// every cell of the sheet.
#pragma once

#include <benchmark/benchmark.h>

#include "worksheet/Edit.h"

inline void ReadEveryCell(benchmark::State &state)
{
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int c = 0; c < SheetCells; ++c)
            for (int r = 0; r < SheetCells; ++r)
                sum += EditText.Cells[c][r].Code();
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells"] =
        benchmark::Counter(double(SheetCells * SheetCells), benchmark::Counter::kIsIterationInvariantRate);
}
