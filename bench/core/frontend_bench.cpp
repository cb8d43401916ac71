// Reading order, scanner and parser over a full 145 x 145 sheet whose formulas come
// close to the 8000-token stream limit, against a plain read of every cell.
#include <benchmark/benchmark.h>

#include "ReadBaseline.h"

#include <cstdio>
#include <cstdlib>

#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Router.h"
#include "engine/Scanner.h"
#include "worksheet/Edit.h"

namespace {

constexpr int CellCount = SheetCells * SheetCells;

void Put(int c, int r, uint8_t ch, uint32_t flags = 0)
{
    EditText.Cells[c][r].Ch = ch;
    EditText.Cells[c][r].SetFlags(flags);
}

// Definitions of long numbers joined by operators, a fraction every other line,
// an empty row between formulas; `lines` formulas of `width` cells.
void BuildSheet(TDrawGrid &grid, int lines, int width)
{
    EditText.Clear(grid);
    EditText.ImplicitMult = 1;
    EditText.EqualMode = 0;
    for (int l = 0; l < lines; ++l) {
        const int row = 1 + l * 3;
        if (row + 1 >= SheetCells)
            break;
        // each line defines its own name, a letter with a lowered index: "a0=1234..."
        Put(0, row, uint8_t('a' + l % 26));
        Put(1, row, uint8_t('0' + l / 26), cfLowered);
        Put(2, row, '=');
        for (int c = 3; c < width; ++c)
            Put(c, row, c % 12 == 11 ? (c % 24 == 11 ? '+' : '*') : uint8_t('1' + c % 9));
        if (l % 2 == 0 && width + 6 < SheetCells) {
            // "+" then a fraction 12/34 right after the number row
            Put(width, row, '+');
            for (int c = width + 1; c <= width + 4; ++c)
                Put(c, row, 190, cfSymbolFont | cfFractionLine);
            Put(width + 2, row - 1, '1');
            Put(width + 3, row - 1, '2');
            Put(width + 2, row + 1, '3');
            Put(width + 3, row + 1, '4');
        }
    }
}

TDrawGrid &Grid()
{
    static TDrawGrid grid(SheetCells, SheetCells);
    return grid;
}

// Finds the widest rows that still fit into the stream.
void PrepareSheet()
{
    static bool ready = false;
    if (ready)
        return;
    ready = true;
    const int lines = (SheetCells - 2) / 3;
    int width = 8;
    for (int w = 8; w < SheetCells - 6; ++w) {
        BuildSheet(Grid(), lines, w);
        ClearError();
        if (RouterObj.BuildRoute() && ScannerObj.Scan())
            width = w;
        else if (ErrorCode == 100)
            break;  // rows ending in an operator fail otherwise: skip them
    }
    BuildSheet(Grid(), lines, width);
    ClearError();
    if (!RouterObj.BuildRoute() || !ScannerObj.Scan() || !ParserObj.Parse(ExpressionTree) || ErrorPending()) {
        std::fprintf(stderr, "benchmark sheet does not parse (error %d)\n", ErrorCode);
        std::abort();
    }
}

void BM_ReadEveryCell(benchmark::State &state)
{
    PrepareSheet();
    ReadEveryCell(state);
}
BENCHMARK(BM_ReadEveryCell);

void BM_RouteAndScan(benchmark::State &state)
{
    PrepareSheet();
    for (auto _ : state) {
        ClearError();
        const bool ok = RouterObj.BuildRoute() && ScannerObj.Scan();
        benchmark::DoNotOptimize(ok);
    }
    state.counters["tokens"] = double(ScannerObj.Count);
    state.counters["cells"] = benchmark::Counter(double(CellCount), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RouteAndScan);

void BM_RouteScanParse(benchmark::State &state)
{
    PrepareSheet();
    for (auto _ : state) {
        ClearError();
        const bool ok = RouterObj.BuildRoute() && ScannerObj.Scan() && ParserObj.Parse(ExpressionTree);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["tokens"] = double(ScannerObj.Count);
    state.counters["cells"] = benchmark::Counter(double(CellCount), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RouteScanParse);

}  // namespace

BENCHMARK_MAIN();
