// Saving and opening a full 145 x 145 sheet (only a file can hold one: the
// window offers 144 x 144 at most) through the worksheet file, against a plain
// write and read of the same number of bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/WorksheetFile.h"
#include "worksheet/Edit.h"

namespace {

TDrawGrid &Grid()
{
    static TDrawGrid grid(SheetCells, SheetCells);
    return grid;
}

std::string TempPath()
{
    static std::string path = [] {
        char dir[] = "/tmp/velmora_file_benchXXXXXX";
        return std::string(mkdtemp(dir)) + "/sheet.rec";
    }();
    return path;
}

void FullSheet()
{
    EditText.Clear(Grid());
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r) {
            EditText.Cells[c][r].Ch = uint8_t('a' + (c + r) % 26);
            EditText.Cells[c][r].SetFlags((c * r) % 3 == 0 ? uint32_t(cfRaised) : 0u);
            EditText.Attrs[c][r].Nesting = uint8_t(r % 4);
        }
    EditText.UsedColExt = EditText.UsedRowExt = SheetLast;
}

bool WriteFile(const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(TempPath().c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadFile()
{
    std::vector<uint8_t> bytes;
    FILE *f = std::fopen(TempPath().c_str(), "rb");
    if (!f)
        return bytes;
    uint8_t buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

void SaveAndOpen(benchmark::State &state)
{
    FullSheet();
    size_t size = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = SaveWorksheet(EditText, 14, {});
        if (!WriteFile(bytes))
            state.SkipWithError("cannot write the file");
        const TReadResult r = ReadWorksheet(ReadFile());
        if (!r.Ok())
            state.SkipWithError(r.Error.c_str());
        ApplyLoadedSheet(r.Sheet, EditText);
        size = bytes.size();
    }
    state.counters["bytes"] = double(size);
}

void PlainWriteAndRead(benchmark::State &state)
{
    FullSheet();
    const std::vector<uint8_t> same(SaveWorksheet(EditText, 14, {}).size(), 0x5A);
    for (auto _ : state) {
        if (!WriteFile(same))
            state.SkipWithError("cannot write the file");
        benchmark::DoNotOptimize(ReadFile());
    }
    state.counters["bytes"] = double(same.size());
}

}  // namespace

BENCHMARK(SaveAndOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainWriteAndRead)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::remove(TempPath().c_str());
    std::remove(TempPath().substr(0, TempPath().rfind('/')).c_str());
    benchmark::Shutdown();
    return 0;
}
