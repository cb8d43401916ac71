// The whole road of one calculation (route, scan, parse, evaluate, write the
// results) on a sheet of definitions with results near the 8000-token limit,
// and on one such line alone, against a plain read of every cell in the same
// run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "RatioReporter.h"
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

// As many lines as the sheet's rows take, one empty row between results.
constexpr int Lines = (SheetCells - 2) / 3;

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

// F8 on the sheet, which must end "ready".
void Calculate(const char *what)
{
    command.PRButtonEnterClick();
    if (ErrorPending() || window.status != "  ready") {
        std::fprintf(stderr, "%s does not calculate: %s\n", what, window.status.c_str());
        std::abort();
    }
}

// The widest lines whose whole sheet still calculates.
int RoadWidth()
{
    static int width = 0;
    if (width)
        return width;
    width = 8;
    for (int w = 8; w < SheetCells - 30; w += 4) {
        BuildSheet(Lines, w);
        command.PRButtonEnterClick();
        if (ErrorPending())
            break;
        width = w;
    }
    return width;
}

void PrepareSheet(int lines)
{
    BuildSheet(lines, RoadWidth());
    Calculate(lines == 1 ? "one line" : "benchmark sheet");
}

void BM_ReadEveryCell(benchmark::State &state)
{
    PrepareSheet(Lines);
    ReadEveryCell(state);
}
BENCHMARK(BM_ReadEveryCell);

void BM_WholeRoad(benchmark::State &state)
{
    PrepareSheet(state.range(0));
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
BENCHMARK(BM_WholeRoad)->Arg(Lines)->Arg(1);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintRatio("whole road / read of every cell", "BM_WholeRoad/" + std::to_string(Lines), "BM_ReadEveryCell",
                        40.0);
    reporter.PrintRatio("one line / read of every cell", "BM_WholeRoad/1", "BM_ReadEveryCell", 10.0);
    return 0;
}
