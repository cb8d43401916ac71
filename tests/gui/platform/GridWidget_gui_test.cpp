// The grid widget: cursor, selection, scrolling and keys as the window sees them.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "platform/GridWidget.h"
#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"

namespace {

using R4 = std::array<int, 4>;
R4 Sel(const TGridRect &g)
{
    return {g.Left, g.Top, g.Right, g.Bottom};
}

class GridWidgetTest : public ::testing::Test {
protected:
    SheetSetup setup{72, 72};
    GridWidget widget{setup.grid};
    TDrawGrid &grid = setup.grid;
    int painted = 0;

    void SetUp() override
    {
        PaintHost = {.CellPainted = [this](bool) { ++painted; }};
        widget.resize(400, 300);
        widget.ApplyFontSize(14);  // cells of 14 x 17
        widget.show();
        QApplication::processEvents();
    }
    void TearDown() override { PaintHost = {}; }

    QPoint Cur() const { return {grid.Col(), grid.Row()}; }
    // A mouse event on the centre of cell (c, r); the left button is down but on release.
    void Mouse(QEvent::Type type, int c, int r, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF pos = widget.CellRect(c, r).center();
        QMouseEvent e(type, pos, widget.viewport()->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, mods);
        QApplication::sendEvent(widget.viewport(), &e);
    }
    void Click(int c, int r, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, c, r, mods);
        Mouse(QEvent::MouseButtonRelease, c, r, mods);
    }
};

TEST_F(GridWidgetTest, ClicksMoveTheCursorAfterReportingTheOldSelection)
{
    using Seen = std::array<int, 6>;  // col, row, the selection then
    std::vector<Seen> seen;
    QObject::connect(&widget, &GridWidget::cellSelected, [&](int c, int r, bool &) {
        const R4 s = Sel(grid.Selection());
        seen.push_back({c, r, s[0], s[1], s[2], s[3]});
    });
    Mouse(QEvent::MouseButtonPress, 1, 1);  // a drag
    Mouse(QEvent::MouseMove, 3, 2);
    Mouse(QEvent::MouseButtonRelease, 3, 2);
    EXPECT_EQ(Cur(), QPoint(3, 2));
    EXPECT_EQ(Sel(grid.Selection()), R4({1, 1, 3, 2}));
    // Selecting a cell after the range reports the range while it still stands.
    Click(5, 4);
    EXPECT_EQ(seen, (std::vector<Seen>{{1, 1, 0, 0, 0, 0}, {3, 2, 1, 1, 1, 1}, {5, 4, 1, 1, 3, 2}}));
    EXPECT_EQ(Cur(), QPoint(5, 4));
    EXPECT_EQ(Sel(grid.Selection()), R4({5, 4, 5, 4}));
    // Shift+click stretches the selection from the cursor.
    Click(7, 6, Qt::ShiftModifier);
    EXPECT_EQ(Sel(grid.Selection()), R4({5, 4, 7, 6}));
    // A double click selects, then signals; a refused selection keeps the cursor.
    int doubles = 0;
    QObject::connect(&widget, &GridWidget::doubleClicked, [&] { ++doubles; });
    Click(2, 2);
    Mouse(QEvent::MouseButtonDblClick, 2, 2);
    EXPECT_EQ(std::tuple(doubles, Cur()), std::tuple(1, QPoint(2, 2)));
    QObject::connect(&widget, &GridWidget::cellSelected, [](int, int, bool &can) { can = false; });
    Click(4, 4);
    EXPECT_EQ(Cur(), QPoint(2, 2));
}

TEST_F(GridWidgetTest, KeysGoToTheWindowFirst)
{
    // The key translation has its own tests; here: what reaches the window and when.
    // the event, then the virtual key and shift state the window sees, the character
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString, uint16_t, TShiftState, char> cases[] = {
        {Qt::Key_A, Qt::ControlModifier, "", 'A', ssCtrl, 1},
        {Qt::Key_1, Qt::ControlModifier, "1", '1', ssCtrl, 0},                         // a key without a character
        {Qt::Key_currency, Qt::NoModifier, QString(QChar(0x20AC)), 0, 0, char(0x80)},  // a character only
    };
    uint16_t gotKey = 0;
    TShiftState gotShift = 0;
    char gotChar = 0;
    QObject::connect(&widget, &GridWidget::keyDown, [&](uint16_t &k, TShiftState s) { gotKey = k, gotShift = s; });
    QObject::connect(&widget, &GridWidget::keyPress, [&](char &c) { gotChar = c; });
    for (const auto &[key, mods, text, vk, shift, ch] : cases) {
        SCOPED_TRACE(testing::Message() << "key " << key);
        gotKey = 0, gotShift = 0xFF, gotChar = 0;
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(&widget, &e);
        EXPECT_EQ(std::tuple(gotKey, gotShift, gotChar), std::tuple(vk, vk ? shift : TShiftState(0xFF), ch));
    }
}

TEST_F(GridWidgetTest, GridMovesOnKeysTheWindowLeaves)
{
    bool swallow = false;
    QObject::connect(&widget, &GridWidget::keyDown, [&](uint16_t &k, TShiftState) { k = swallow ? 0 : k; });
    // the key, whether the window takes it, then the cursor and the selection
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, bool, QPoint, R4> steps[] = {
        {Qt::Key_Right, {}, false, {1, 0}, {1, 0, 1, 0}},
        {Qt::Key_Right, {}, true, {1, 0}, {1, 0, 1, 0}},  // the window took it
        {Qt::Key_Right, Qt::ShiftModifier, false, {2, 0}, {1, 0, 2, 0}},
        {Qt::Key_End, Qt::ControlModifier, false, {71, 71}, {71, 71, 71, 71}},
        {Qt::Key_Home, {}, false, {0, 71}, {0, 71, 0, 71}},
    };
    for (const auto &[key, mods, take, cur, sel] : steps) {
        SCOPED_TRACE(testing::Message() << "key " << key << " shift " << (mods == Qt::ShiftModifier));
        swallow = take;
        QTest::keyClick(&widget, key, mods);
        EXPECT_EQ(std::pair(Cur(), Sel(grid.Selection())), std::pair(cur, sel));
        EXPECT_FALSE(widget.CellRect(cur.x(), cur.y()).isEmpty());
    }
}

TEST_F(GridWidgetTest, VisibleCellsAreDrawnThroughThePainter)
{
    EditText.Cells[1][12].Ch = 'W';
    EditText.Cells[1][12].SetFlags(cfResult);
    EditText.Cells[2][12].Ch = '7';
    EditText.Cells[2][12].SetFlags(cfGreen);
    int topLeftChanges = 0;
    QObject::connect(&widget, &GridWidget::topLeftChanged, [&] { ++topLeftChanges; });
    widget.verticalScrollBar()->setValue(10);
    widget.horizontalScrollBar()->setValue(1);
    QApplication::processEvents();
    const QImage img = widget.viewport()->grab().toImage();
    auto ink = [&](int c) { return InkIn(img, widget.CellRect(c, 12)); };
    EXPECT_EQ(std::tuple(widget.CellRect(1, 12).topLeft(), grid.LeftCol, grid.TopRow, topLeftChanges),
              std::tuple(QPoint(0, 34), 1, 10, 2));
    EXPECT_GT(ink(1).blue, 5);
    EXPECT_GT(ink(2).green, 5);
    EXPECT_EQ(ink(3).blue, 0);
    EXPECT_GT(painted, 0);
    EXPECT_EQ(QPoint(EditText.UsedColExt, EditText.UsedRowExt), QPoint(2, 12));
}

}  // namespace
