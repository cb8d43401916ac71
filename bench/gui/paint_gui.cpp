// Repainting the whole visible grid of a filled 145 x 145 sheet at font size 14
// into an off-screen image, against a baseline that draws one character per
// cell with one font (through the text path, and as a prepared glyph, the
// primitive the painter itself uses). One full repaint must fit well inside a
// 16 ms frame.
// Then a key typed into that 1920 x 1080 view, painted on screen (offscreen
// platform), against a full repaint of the view in the same run: the key must
// cost under a tenth of the full repaint; the ratio is printed at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QTest>

#include "RatioReporter.h"
#include "platform/GridWidget.h"
#include "support/FullSheet.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"

namespace {

constexpr int viewW = 1920, viewH = 1080;
constexpr int keyCol = 60, keyRow = 30;

struct Fixture {
    TDrawGrid grid{145, 145};
    GridWidget widget{grid};
    QImage image{viewW, viewH, QImage::Format_ARGB32_Premultiplied};
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
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
    }
    static void Settle()
    {
        for (int i = 0; i < 2; ++i)
            QApplication::processEvents();
    }
};

Fixture *shared = nullptr;  // made and released inside the application's life

Fixture &Shared()
{
    return *shared;
}

void BM_PaintVisibleGrid(benchmark::State &state)
{
    Fixture &f = Shared();
    const QRect area = f.widget.viewport()->rect();
    for (auto _ : state) {
        QPainter p(&f.image);
        f.widget.PaintCells(p, area);
    }
    state.counters["cells"] = double((f.widget.VisibleColCount() + 1) * (f.widget.VisibleRowCount() + 1));
    state.counters["viewport"] = double(area.width() * 10000 + area.height());
}

// The baselines: one black character per visible cell, drawn by `draw` at the
// cell's text origin, over the same white fill.
template <class Draw>
void OneCharPerCell(benchmark::State &state, Draw draw)
{
    Fixture &f = Shared();
    const QRect area = f.widget.viewport()->rect();
    const TDrawGrid &g = f.grid;
    const int lastCol = std::min(g.ColCount() - 1, g.LeftCol + area.width() / f.widget.CellWidth());
    const int lastRow = std::min(g.RowCount() - 1, g.TopRow + area.height() / f.widget.CellHeight());
    for (auto _ : state) {
        QPainter p(&f.image);
        p.fillRect(area, Qt::white);
        p.setPen(Qt::black);
        for (int r = g.TopRow; r <= lastRow; ++r)
            for (int c = g.LeftCol; c <= lastCol; ++c) {
                const QRect rc = f.widget.CellRect(c, r);
                draw(p, QPoint(rc.left(), rc.top() + 15));
            }
    }
}

QFont BaselineFont()
{
    QFont font("Courier New");
    font.setPixelSize(FontPixelHeight(14, 96));
    return font;
}

// Through the text path, as plain QPainter code would draw it.
void BM_OneCharPerCell(benchmark::State &state)
{
    const QFont font = BaselineFont();
    const QString ch("x");
    OneCharPerCell(state, [&](QPainter &p, const QPoint &at) {
        p.setFont(font);
        p.drawText(at, ch);
    });
}

// The floor: one prepared glyph per cell, the primitive the painter uses.
void BM_OneGlyphPerCell(benchmark::State &state)
{
    const QRawFont raw = QRawFont::fromFont(BaselineFont());
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(raw.glyphIndexesForString("x"));
    run.setPositions({QPointF(0, 0)});
    OneCharPerCell(state, [&](QPainter &p, const QPoint &at) { p.drawGlyphRun(at, run); });
}

void BM_FullViewRepaint(benchmark::State &state)
{
    Fixture &f = Shared();
    const uint64_t before = f.widget.CellsDrawn;
    for (auto _ : state) {
        f.grid.Repaint();
        Fixture::Settle();
    }
    state.counters["cells"] = double(f.widget.CellsDrawn - before) / double(state.iterations());
}

void BM_KeystrokeRepaint(benchmark::State &state)
{
    Fixture &f = Shared();
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

BENCHMARK(BM_OneCharPerCell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneGlyphPerCell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintVisibleGrid)->Unit(benchmark::kMillisecond);
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
