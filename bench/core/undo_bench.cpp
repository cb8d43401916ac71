// The undo snapshot of a full 145 x 145 sheet against a plain copy of both
// layers, into one buffer and into a ring of 100 as the snapshots go: the
// snapshot must stay within 3x the copy. The ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "RatioReporter.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"

namespace {

TDrawGrid grid{SheetCells, SheetCells};

void FillSheet()
{
    EditText.Clear(grid);
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r) {
            EditText.Cells[c][r].Ch = uint8_t('a' + (c + r) % 26);
            EditText.Attrs[c][r].Nesting = uint8_t(r % 3 == 0 ? 2 : 0);
        }
}

// Both layers copied into `copies` buffers in turn: one stays in the cache,
// a ring of them, like the snapshots' 100 slots, does not.
void PlainCopy(benchmark::State &state, int copies)
{
    std::vector<std::vector<uint8_t>> ring(size_t(copies),
                                           std::vector<uint8_t>(sizeof EditText.Cells + sizeof EditText.Attrs));
    size_t i = 0;
    for (auto _ : state) {
        uint8_t *to = ring[i].data();
        std::memcpy(to, EditText.Cells, sizeof EditText.Cells);
        std::memcpy(to + sizeof EditText.Cells, EditText.Attrs, sizeof EditText.Attrs);
        benchmark::DoNotOptimize(to);
        benchmark::ClobberMemory();
        i = (i + 1) % ring.size();
    }
}

void BM_PlainCopyOfBothLayers(benchmark::State &state)
{
    PlainCopy(state, 1);
}

void BM_PlainCopyIntoARing(benchmark::State &state)
{
    PlainCopy(state, UndoSlots);
}

// Round the whole ring, as typing does.
void BM_UndoSnapshot(benchmark::State &state)
{
    ResetUndo();
    for (auto _ : state)
        SaveUndo();
    state.counters["bytes"] = double(UndoStreams[2].Size());
    if (UndoStreams[2].Size() != UndoHeaderSize + (SheetCells * SheetCells + 1) * UndoCellRecordSize)
        state.SkipWithError("the snapshot missed cells");
}

BENCHMARK(BM_PlainCopyOfBothLayers)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCopyIntoARing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    FillSheet();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintRatio("undo snapshot / plain copy", "BM_UndoSnapshot", "BM_PlainCopyOfBothLayers", 3.0);
    reporter.PrintRatio("undo snapshot / plain copy into a ring", "BM_UndoSnapshot", "BM_PlainCopyIntoARing", 3.0);
    return 0;
}
