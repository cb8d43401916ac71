// The whole road of one calculation (route, scan, parse, evaluate, write the
// results) on a sheet of definitions with results near the 8000-token limit,
// against a plain read of every cell in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "ReadBaseline.h"
#include "engine/Errors.h"
#include "engine/Scanner.h"
#include "shell/CalcCommand.h"
#include "support/QuietWindow.h"
#include "worksheet/Edit.h"

namespace {

TDrawGrid &Grid()
{
    static TDrawGrid grid(SheetCells, SheetCells);
    return grid;
}

QuietWindow window;
TCalcCommand command(window);

void Put(int c, int r, uint8_t ch, uint32_t flags = 0)
{
    EditText.Cells[c][r].Ch = ch;
    EditText.Cells[c][r].SetFlags(flags);
}

// Lines "a0=12+34*56...=" every other row, each asking for its result after
// the second '='; a number continues the line until `width`.
void BuildSheet(int lines, int width)
{
    EditText.Clear(Grid());
    EditText.UsedColExt = EditText.UsedRowExt = 0;
    EditText.EqualMode = 1;
    EditText.ImplicitMult = 1;
    EditState = esEditing;
    for (int l = 0; l < lines; ++l) {
        const int row = 1 + l * 3;
        Put(0, row, uint8_t('a' + l % 26));
        Put(1, row, uint8_t('0' + l / 26), cfLowered);
        Put(2, row, '=');
        int c = 3;
        for (; c < width; ++c)
            Put(c, row, c % 4 == 2 ? (c % 8 == 2 ? '+' : '*') : uint8_t('1' + c % 9));
        Put(c, row, '=');
        EditText.NoteUsed(c, row);
    }
}

void PrepareSheet()
{
    static bool ready = false;
    if (ready)
        return;
    ready = true;
    const int lines = (SheetCells - 2) / 3;
    int width = 8;
    for (int w = 8; w < SheetCells - 30; w += 4) {
        BuildSheet(lines, w);
        command.PRButtonEnterClick();
        if (ErrorPending())
            break;
        width = w;
    }
    BuildSheet(lines, width);
    command.PRButtonEnterClick();
    if (ErrorPending() || window.status != "  ready") {
        std::fprintf(stderr, "benchmark sheet does not calculate: %s\n", window.status.c_str());
        std::abort();
    }
}

void BM_ReadEveryCell(benchmark::State &state)
{
    PrepareSheet();
    ReadEveryCell(state);
}
BENCHMARK(BM_ReadEveryCell);

void BM_WholeRoad(benchmark::State &state)
{
    PrepareSheet();
    for (auto _ : state) {
        command.PRButtonEnterClick();  // removes the last results, then calculates and writes anew
        benchmark::DoNotOptimize(EditText.Cells[0][0]);
    }
    if (window.status != "  ready")
        state.SkipWithError("calculation failed");
    state.counters["tokens"] = double(ScannerObj.Count);
    state.counters["per_token"] = benchmark::Counter(
        double(ScannerObj.Count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WholeRoad);

}  // namespace

BENCHMARK_MAIN();
