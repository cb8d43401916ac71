// What the grid repaints after a change: the rows a change reaches, the whole
// view where the whole view changes, and always the pixels a full repaint draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "platform/GridWidget.h"
#include "support/FullSheet.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"

namespace {

struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        painted += e->type() == QEvent::Paint ? static_cast<QPaintEvent *>(e)->region() : QRegion();
        return false;
    }
};

TEST(GridRepaint, ChangesRepaintTheRowsTheyReachOrTheWholeView)
{
    SheetSetup setup{145, 145};
    TDrawGrid &grid = setup.grid;
    GridWidget widget{grid};
    PaintSpy spy;
    FillFullSheet();
    // A root over rows 9 to 14 whose radical runs far below the rows typed in.
    EditText.Cells[20][9] = TCell{}, EditText.Cells[20][9].SetCode(scRootSign);
    EditText.Attrs[20][9] = TAttrCell{.RootLevel = 1, .RootTop = 9, .RootBottom = 14, .RootRow = 9, .Overline = 1};
    EditText.Attrs[20][14].RootRow = 9;
    for (int c = 21; c <= 23; ++c)
        for (int r = 9; r <= 14; ++r)
            EditText.Attrs[c][r].Nesting = 2, EditText.Attrs[c][9].Overline = 2;
    QObject::connect(&widget, &GridWidget::keyPress, [](char &ch) { EditText.KeyPress(0, ch); });
    widget.resize(520, 420), widget.ApplyFontSize(14), widget.show(), widget.setFocus();  // cells of 14 x 17
    auto painted = [&] {  // since the last call, once the events are handled
        QApplication::processEvents(), QApplication::processEvents(), QApplication::processEvents();
        return std::exchange(spy.painted, QRegion());
    };
    painted(), widget.viewport()->installEventFilter(&spy);
    const QRect view = widget.viewport()->rect();
    auto rows = [&](int first, int last) { return QRect(0, first * 17, view.width(), (last - first + 1) * 17); };
    auto at = [&](int c, int r) { return [&, c, r] { grid.SetCol(c), grid.SetRow(r); }; };
    auto typeQ = [&] { QTest::keyClick(&widget, Qt::Key_Q); };
    // Before (not counted), the change, the region repainted; then the screen must hold what a full repaint draws.
    const std::tuple<std::function<void()>, std::function<void()>, QRegion> steps[] = {
        {at(5, 6), typeQ, rows(5, 7)},
        {at(22, 9), typeQ, rows(6, 10)},  // under an overline, inside the radical
        {[&] { EditText.Cells[3][15].SetCode('Z'), widget.viewport()->grab(); }, [&] { grid.InvalidateCell(0, 2); },
         QRegion(rows(1, 3)) + rows(14, 16)},  // a cell changed behind the grid's back comes along with the next one
        {[] {}, [&] { EditText.Attrs[21][9].Overline = 0, EditText.RepaintChanged(); }, rows(6, 10)},  // structural
        {[] {}, [&] { widget.verticalScrollBar()->setValue(3); }, view},
        {[] {}, [&] { widget.ApplyFontSize(12); }, view},
        {[] {}, [&] { grid.Repaint(); }, view},  // results written
    };
    for (const auto &[before, change, region] : steps) {
        before(), painted(), change();
        EXPECT_EQ(painted(), region);
        const QPoint o = widget.viewport()->mapTo(&widget, QPoint(0, 0));
        auto rgb = [](const QPixmap &p) { return p.toImage().convertToFormat(QImage::Format_RGB32); };
        EXPECT_TRUE(rgb(widget.screen()->grabWindow(widget.winId(), o.x(), o.y(), view.width(), view.height())) ==
                    rgb(widget.viewport()->grab()));
        spy.painted = QRegion();  // the grab painted the whole view elsewhere
    }
}

}  // namespace
