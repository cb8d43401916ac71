// A key typed into a full 1920 x 1080 view of a filled 145 x 145 sheet at font
// size 14, painted on screen (offscreen platform), against a full repaint of
// the same view in the same run. The key must cost under a tenth of the full
// repaint; the ratio is printed at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include "RatioReporter.h"
#include "platform/GridWidget.h"
#include "support/FullSheet.h"
#include "worksheet/Edit.h"

namespace {

constexpr int viewW = 1920, viewH = 1080;
constexpr int keyCol = 60, keyRow = 30;

struct Fixture {
    TDrawGrid grid{145, 145};
    GridWidget widget{grid};
    Fixture()
    {
        EditText.Clear(grid);
        FillFullSheet();
        QObject::connect(&widget, &GridWidget::keyPress, [](char &ch) { EditText.KeyPress(0, ch); });
        widget.ApplyFontSize(14);
        widget.resize(viewW + widget.verticalScrollBar()->sizeHint().width() + 4,
                      viewH + widget.horizontalScrollBar()->sizeHint().height() + 4);
        widget.show();
        widget.setFocus();
        Settle();
    }
    static void Settle()
    {
        for (int i = 0; i < 2; ++i)
            QApplication::processEvents();
    }
};

Fixture *shared = nullptr;  // made and released inside the application's life

void BM_FullViewRepaint(benchmark::State &state)
{
    Fixture &f = *shared;
    const uint64_t before = f.widget.CellsDrawn;
    for (auto _ : state) {
        f.grid.Repaint();
        Fixture::Settle();
    }
    state.counters["cells"] = double(f.widget.CellsDrawn - before) / double(state.iterations());
}

void BM_KeystrokeRepaint(benchmark::State &state)
{
    Fixture &f = *shared;
    uint64_t drawn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.grid.SetCol(keyCol);
        f.grid.SetRow(keyRow);
        Fixture::Settle();
        const uint64_t before = f.widget.CellsDrawn;
        state.ResumeTiming();
        QTest::keyClick(&f.widget, Qt::Key_Q);
        Fixture::Settle();
        drawn += f.widget.CellsDrawn - before;
    }
    if (EditText.Cells[keyCol][keyRow].Ch != 'q')
        state.SkipWithError("the key wrote nothing");
    state.counters["cells"] = double(drawn) / double(state.iterations());
}

BENCHMARK(BM_FullViewRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    shared = new Fixture;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    delete shared;
    benchmark::Shutdown();
    reporter.PrintRatio("keystroke / full repaint", "BM_KeystrokeRepaint", "BM_FullViewRepaint", 0.1);
    return 0;
}
