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

// Collects the regions the viewport is painted in.
struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

class GridRepaint : public ::testing::Test {
protected:
    SheetSetup setup{145, 145};
    TDrawGrid &grid = setup.grid;
    GridWidget widget{grid};
    PaintSpy spy;

    void SetUp() override
    {
        FillFullSheet();
        // A root over rows 9 to 14 whose radical runs far below the rows typed in.
        TAttrCell &root = EditText.Attrs[20][9];
        EditText.Cells[20][9] = TCell{};
        EditText.Cells[20][9].SetCode(scRootSign);
        root = TAttrCell{.RootLevel = 1, .RootTop = 9, .RootBottom = 14, .RootRow = 9, .Overline = 1};
        EditText.Attrs[20][14].RootRow = 9;
        for (int c = 21; c <= 23; ++c) {
            EditText.Attrs[c][9].Overline = 2;
            for (int r = 9; r <= 14; ++r)
                EditText.Attrs[c][r].Nesting = 2;
        }
        QObject::connect(&widget, &GridWidget::keyPress, [](char &ch) { EditText.KeyPress(0, ch); });
        widget.resize(520, 420);
        widget.ApplyFontSize(14);  // cells of 14 x 17
        widget.show();
        widget.setFocus();
        Settle();
        widget.viewport()->installEventFilter(&spy);
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    QRect Rows(int first, int last) const
    {
        return {0, first * 17, widget.viewport()->width(), (last - first + 1) * 17};
    }
    QRect View() const { return widget.viewport()->rect(); }
    // Settles, then the painted region since the last call.
    QRegion Painted()
    {
        Settle();
        const QRegion got = spy.painted;
        spy.painted = QRegion();
        return got;
    }
    // What the screen holds now must be what a full repaint draws.
    void ExpectFullRepaintPixels()
    {
        const QPoint at = widget.viewport()->mapTo(&widget, QPoint(0, 0));
        const QImage shown = widget.screen()
                                 ->grabWindow(widget.winId(), at.x(), at.y(), View().width(), View().height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage full = widget.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), full.size());
        int differ = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                differ += shown.pixel(x, y) != full.pixel(x, y);
        EXPECT_EQ(differ, 0);
        spy.painted = QRegion();  // the grab painted the whole view elsewhere
    }
};

TEST_F(GridRepaint, TypingRepaintsOnlyTheRowsItReaches)
{
    // The reach of the cell typed into and of the cell after it; the second
    // under an overline, inside a radical that ends five rows lower.
    for (const auto &[col, row, rows] : {std::tuple{5, 6, Rows(5, 7)}, {22, 9, Rows(6, 10)}}) {
        SCOPED_TRACE(row);
        grid.SetCol(col), grid.SetRow(row);
        Painted();
        QTest::keyClick(&widget, Qt::Key_Q);
        EXPECT_EQ(std::tuple(EditText.Cells[col][row].Ch, grid.Col(), Painted()),
                  std::tuple('q', col + 1, QRegion(rows)));
        ExpectFullRepaintPixels();
    }
}

TEST_F(GridRepaint, ChangesTheGridWasNotToldOfAreRepaintedNextTime)
{
    EditText.Cells[3][15].SetCode('Z');
    widget.viewport()->grab();  // painted elsewhere: the screen has not shown it
    Painted();
    grid.InvalidateCell(0, 2);
    EXPECT_EQ(Painted(), QRegion(Rows(1, 3)) + Rows(14, 16));
    ExpectFullRepaintPixels();
    // A structural edit names no cell: what differs from the screen is found.
    EditText.Attrs[21][9].Overline = 0;
    EditText.RepaintChanged();
    EXPECT_EQ(Painted(), QRegion(Rows(6, 10)));
    ExpectFullRepaintPixels();
}

TEST_F(GridRepaint, WholeViewChangesRepaintTheWholeView)
{
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"scrolled", [&] { widget.verticalScrollBar()->setValue(3); }},
        {"font size", [&] { widget.ApplyFontSize(12); }},
        {"results written", [&] { grid.Repaint(); }},
    };
    for (const auto &[what, change] : changes) {
        SCOPED_TRACE(what);
        Painted();
        change();
        EXPECT_EQ(Painted(), QRegion(View()));
        ExpectFullRepaintPixels();
    }
}

}  // namespace
