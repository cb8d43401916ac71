// The grid widget: cursor, selection, scrolling and keys as the window sees them.
#include <gtest/gtest.h>

#include <array>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "CellPainter.h"
#include "GridWidget.h"
#include "SheetPicture.h"

namespace {

class GridWidgetTest : public ::testing::Test {
protected:
    SheetSetup setup{72, 72};
    GridWidget widget{setup.grid};
    TDrawGrid &grid = setup.grid;

    int painted = 0;
    void TearDown() override { PaintHost = {}; }
    void SetUp() override
    {
        PaintHost = {};
        PaintHost.CellPainted = [this](bool) { ++painted; };
        widget.resize(400, 300);
        widget.ApplyFontSize(14);  // cells of 14 x 17
        widget.show();
        QApplication::processEvents();
    }

    QPoint Cur() const { return {grid.Col(), grid.Row()}; }
    QPoint CenterOf(int c, int r) const { return widget.CellRect(c, r).center(); }

    void Mouse(QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), widget.viewport()->mapToGlobal(QPointF(pos)), button, buttons, mods);
        QApplication::sendEvent(widget.viewport(), &e);
    }
    void Click(int c, int r, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, CenterOf(c, r), Qt::LeftButton, mods);
        Mouse(QEvent::MouseButtonRelease, CenterOf(c, r), Qt::NoButton, mods);
    }
    void Drag(int c1, int r1, int c2, int r2)
    {
        Mouse(QEvent::MouseButtonPress, CenterOf(c1, r1), Qt::LeftButton);
        Mouse(QEvent::MouseMove, CenterOf(c2, r2), Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, CenterOf(c2, r2), Qt::NoButton);
    }
};

using R4 = std::array<int, 4>;
R4 Sel(const TGridRect &g) { return {g.Left, g.Top, g.Right, g.Bottom}; }

TEST_F(GridWidgetTest, FontSizeSetsTheCellSize)
{
    const int cases[][4] = {{10, 10, 9, 12}, {600, 512, 512, 640}};  // asked, size, width, height
    for (const auto &k : cases) {
        EXPECT_EQ(widget.ApplyFontSize(k[0]), k[1]);
        EXPECT_EQ(QSize(widget.CellWidth(), widget.CellHeight()), QSize(k[2], k[3]));
        EXPECT_EQ(LineUnit, k[1]);
    }
}

TEST_F(GridWidgetTest, CellRectsFollowSizeLinesAndScrolling)
{
    EXPECT_EQ(widget.CellRect(2, 3), QRect(28, 51, 14, 17));
    widget.SetGridLines(true);
    EXPECT_EQ(widget.CellRect(2, 3), QRect(30, 54, 14, 17));
    widget.SetGridLines(false);
    int topLeftChanges = 0;
    QObject::connect(&widget, &GridWidget::topLeftChanged, [&] { ++topLeftChanges; });
    widget.verticalScrollBar()->setValue(10);
    widget.horizontalScrollBar()->setValue(4);
    EXPECT_EQ(QPoint(grid.LeftCol, grid.TopRow), QPoint(4, 10));
    EXPECT_EQ(topLeftChanges, 2);
    EXPECT_TRUE(widget.CellRect(3, 12).isEmpty());
    EXPECT_TRUE(widget.CellRect(5, 9).isEmpty());
    EXPECT_EQ(widget.CellRect(4, 10), QRect(0, 0, 14, 17));
    int c = -1, r = -1;
    ASSERT_TRUE(widget.CellAt(QPoint(15, 18), c, r));
    EXPECT_EQ(QPoint(c, r), QPoint(5, 11));
}

TEST_F(GridWidgetTest, ClickMovesTheCursorAfterReportingTheOldSelection)
{
    struct Seen { int col, row; TGridRect sel; };
    std::vector<Seen> seen;
    QObject::connect(&widget, &GridWidget::cellSelected,
                     [&](int c, int r, bool &) { seen.push_back({c, r, grid.Selection()}); });
    Drag(1, 1, 3, 2);
    EXPECT_EQ(Cur(), QPoint(3, 2));
    EXPECT_EQ(Sel(grid.Selection()), R4({1, 1, 3, 2}));
    // Selecting a cell after the range reports the range while it still stands.
    Click(5, 4);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].col, 1);
    EXPECT_EQ(seen[1].col, 3);
    EXPECT_EQ(Sel(seen[1].sel), R4({1, 1, 1, 1}));
    EXPECT_EQ(QPoint(seen[2].col, seen[2].row), QPoint(5, 4));
    EXPECT_EQ(Sel(seen[2].sel), R4({1, 1, 3, 2}));
    EXPECT_EQ(Cur(), QPoint(5, 4));
    EXPECT_EQ(Sel(grid.Selection()), R4({5, 4, 5, 4}));
    // Shift+click stretches the selection from the cursor.
    Click(7, 6, Qt::ShiftModifier);
    EXPECT_EQ(Sel(grid.Selection()), R4({5, 4, 7, 6}));
}

TEST_F(GridWidgetTest, DoubleClickSelectsThenSignalsAndARefusedSelectionKeepsTheCursor)
{
    int doubles = 0;
    QObject::connect(&widget, &GridWidget::doubleClicked, [&] { ++doubles; });
    Click(2, 2);
    Mouse(QEvent::MouseButtonDblClick, CenterOf(2, 2), Qt::LeftButton);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(grid.Col(), 2);
    QObject::connect(&widget, &GridWidget::cellSelected, [](int, int, bool &can) { can = false; });
    Click(4, 4);
    EXPECT_EQ(Cur(), QPoint(2, 2));
}

TEST_F(GridWidgetTest, CursorMovedElsewhereIsScrolledIntoView)
{
    grid.SetCol(60);
    grid.SetRow(50);
    EXPECT_FALSE(widget.CellRect(60, 50).isEmpty());
    EXPECT_EQ(grid.LeftCol, 60 - widget.VisibleColCount() + 1);
    grid.SetCol(0);
    EXPECT_EQ(grid.LeftCol, 0);
}

TEST_F(GridWidgetTest, KeysGoToTheWindowFirst)
{
    // The key translation has its own tests; here: what reaches the window and when.
    struct Case { Qt::Key key; Qt::KeyboardModifiers mods; QString text; uint16_t vk; TShiftState shift; char ch; };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, "a", 'A', 0, 'a'},
        {Qt::Key_A, Qt::ControlModifier, "", 'A', ssCtrl, 1},
        {Qt::Key_1, Qt::ControlModifier, "1", '1', ssCtrl, 0},                 // a key without a character
        {Qt::Key_ParenLeft, Qt::ShiftModifier, "(", '9', ssShift, '('},
        {Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier, "", 123, ssCtrl | ssShift, 0},
        {Qt::Key_currency, Qt::NoModifier, QString(QChar(0x20AC)), 0, 0, char(0x80)},  // a character only
        {Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x3A9)), 0, 0, 0},              // neither
    };
    uint16_t gotKey = 0;
    TShiftState gotShift = 0;
    char gotChar = 0;
    QObject::connect(&widget, &GridWidget::keyDown, [&](uint16_t &k, TShiftState s) {
        gotKey = k;
        gotShift = s;
    });
    QObject::connect(&widget, &GridWidget::keyPress, [&](char &c) { gotChar = c; });
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << "key " << k.key);
        gotKey = 0;
        gotShift = 0xFF;
        gotChar = 0;
        QKeyEvent e(QEvent::KeyPress, k.key, k.mods, k.text);
        QApplication::sendEvent(&widget, &e);
        EXPECT_EQ(gotKey, k.vk);
        EXPECT_EQ(gotShift, k.vk ? k.shift : 0xFF);
        EXPECT_EQ(gotChar, k.ch);
    }
}

TEST_F(GridWidgetTest, GridMovesOnKeysTheWindowLeaves)
{
    bool swallow = false;
    QObject::connect(&widget, &GridWidget::keyDown, [&](uint16_t &k, TShiftState) {
        if (swallow)
            k = 0;
    });
    QTest::keyClick(&widget, Qt::Key_Right);
    QTest::keyClick(&widget, Qt::Key_Down);
    EXPECT_EQ(Cur(), QPoint(1, 1));
    swallow = true;
    QTest::keyClick(&widget, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 1);
    swallow = false;
    QTest::keyClick(&widget, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&widget, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Sel(grid.Selection()), R4({1, 1, 2, 2}));
    QTest::keyClick(&widget, Qt::Key_Left);
    EXPECT_EQ(Sel(grid.Selection()), R4({1, 2, 1, 2}));
    QTest::keyClick(&widget, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Cur(), QPoint(71, 71));
    EXPECT_FALSE(widget.CellRect(71, 71).isEmpty());
    QTest::keyClick(&widget, Qt::Key_Home);
    EXPECT_EQ(Cur(), QPoint(0, 71));
}

TEST_F(GridWidgetTest, VisibleCellsAreDrawnThroughThePainter)
{
    EditText.Cells[1][12].Ch = 'W';
    EditText.Cells[1][12].SetFlags(cfResult);
    EditText.Cells[2][12].Ch = '7';
    EditText.Cells[2][12].SetFlags(cfGreen);
    widget.verticalScrollBar()->setValue(10);
    widget.horizontalScrollBar()->setValue(1);
    QApplication::processEvents();
    const QImage img = widget.viewport()->grab().toImage();
    auto count = [&](const QRect &r, auto pred) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += pred(img.pixelColor(x, y));
        return n;
    };
    auto blue = [](const QColor &c) { return c.blue() > 180 && c.red() < 90 && c.green() < 90; };
    auto green = [](const QColor &c) { return c.green() > 80 && c.red() < 70 && c.blue() < 70; };
    EXPECT_EQ(widget.CellRect(1, 12).topLeft(), QPoint(0, 34));
    EXPECT_GT(count(widget.CellRect(1, 12), blue), 5);
    EXPECT_GT(count(widget.CellRect(2, 12), green), 5);
    EXPECT_EQ(count(widget.CellRect(3, 12), blue), 0);
    EXPECT_GT(painted, 0);
    EXPECT_EQ(QPoint(EditText.UsedColExt, EditText.UsedRowExt), QPoint(2, 12));
}

}  // namespace
