// The grid widget: cursor, selection, scrolling and keys as the window sees them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <bit>
#include <tuple>

#include "platform/GridWidget.h"
#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"

namespace {

using R4 = std::array<int, 4>;
constexpr Qt::KeyboardModifiers None = Qt::NoModifier, Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier;

class GridWidgetTest : public ::testing::Test {
protected:
    SheetSetup setup{72, 72};
    GridWidget widget{setup.grid};
    TDrawGrid &grid = setup.grid;
    GridWidgetTest() { widget.resize(400, 300), widget.ApplyFontSize(14); }  // cells of 14 x 17
    void SetUp() override { widget.show(), QApplication::processEvents(); }
    QPoint Cur() const { return {grid.Col(), grid.Row()}; }
    R4 Sel() const { return std::bit_cast<R4>(grid.Selection()); }  // left, top, right, bottom
    void Drag(QEvent::Type press, QPoint from, QPoint to, Qt::KeyboardModifiers mods)
    {
        for (auto [type, cell] : {std::pair{press, from}, {QEvent::MouseMove, to}, {QEvent::MouseButtonRelease, to}}) {
            const QPointF pos = widget.CellRect(cell.x(), cell.y()).center();
            QMouseEvent e(type, pos, pos, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, mods);
            QApplication::sendEvent(widget.viewport(), &e);
        }
    }
};

TEST_F(GridWidgetTest, ClicksAndKeysGoToTheWindowFirstThenMoveTheCursor)
{
    std::vector<int> seen;  // col, row, and the selection's top left then; -1 for a double click
    bool no = false;        // the window refuses the cell or takes the key
    QObject::connect(&widget, &GridWidget::cellSelected, [&](int c, int r, bool &can) {
        seen.insert(seen.end(), {c, r, Sel()[0], Sel()[1]}), can = !no;
    });
    QObject::connect(&widget, &GridWidget::doubleClicked, [&] { seen.push_back(-1); });
    constexpr QEvent::Type press = QEvent::MouseButtonPress;
    // a press on the centre of a cell, a move to another and the release there; then the cursor and the selection
    const std::tuple<QEvent::Type, QPoint, QPoint, Qt::KeyboardModifiers, bool, QPoint, R4> clicks[] = {
        {press, {1, 1}, {3, 2}, None, false, {3, 2}, {1, 1, 3, 2}},
        {press, {5, 4}, {5, 4}, None, false, {5, 4}, {5, 4, 5, 4}},   // reports the range while it still stands
        {press, {7, 6}, {7, 6}, Shift, false, {7, 6}, {5, 4, 7, 6}},  // stretches it from the cursor
        {QEvent::MouseButtonDblClick, {2, 2}, {2, 2}, None, false, {2, 2}, {2, 2, 2, 2}},  // selects, then signals
        {press, {4, 4}, {4, 4}, None, true, {2, 2}, {2, 2, 2, 2}},
    };
    for (const auto &[type, from, to, mods, refuse, cur, sel] : clicks) {
        no = refuse, Drag(type, from, to, mods);
        EXPECT_EQ(std::tuple(Cur(), Sel()), std::tuple(cur, sel)) << from.x();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 0, 0, 3, 2,  1, 1, 5, 4, 1, 1, 7, 6, 5,
                                      4, 2, 2, 5, 4, -1, 4, 4, 2, 2, 4, 4, 2, 2}));
    std::tuple<uint16_t, TShiftState, char> got;  // the virtual key, shift state and character the window sees
    QObject::connect(&widget, &GridWidget::keyDown, [&](uint16_t &k, TShiftState s) { got = {k, s, 0}, k *= !no; });
    QObject::connect(&widget, &GridWidget::keyPress, [&](char &c) { std::get<2>(got) = c; });
    // the key, whether the window takes it; then what it sees (a character alone: no key), the cursor, the selection
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString, bool, decltype(got), QPoint, R4> keys[] = {
        {Qt::Key_A, Ctrl, "", false, {'A', ssCtrl, 1}, {2, 2}, {2, 2, 2, 2}},
        {Qt::Key_currency, None, QString(QChar(0x20AC)), false, {0, 0xFF, char(0x80)}, {2, 2}, {2, 2, 2, 2}},
        {Qt::Key_Right, None, "", false, {39, 0, 0}, {3, 2}, {3, 2, 3, 2}},
        {Qt::Key_Right, None, "", true, {39, 0, 0}, {3, 2}, {3, 2, 3, 2}},
        {Qt::Key_Right, Shift, "", false, {39, ssShift, 0}, {4, 2}, {3, 2, 4, 2}},
        {Qt::Key_End, Ctrl, "", false, {35, ssCtrl, 0}, {71, 71}, {71, 71, 71, 71}},
        {Qt::Key_Home, None, "", false, {36, 0, 0}, {0, 71}, {0, 71, 0, 71}},
    };
    for (const auto &[key, mods, text, take, sees, cur, sel] : keys) {
        no = take, got = {0, 0xFF, 0};
        QTest::sendKeyEvent(QTest::Press, &widget, key, text, mods);
        EXPECT_EQ(std::tuple(got, Cur(), Sel(), widget.CellRect(cur.x(), cur.y()).isEmpty()),
                  std::tuple(sees, cur, sel, false));
    }
}

TEST_F(GridWidgetTest, VisibleCellsAreDrawnThroughThePainter)
{
    EditText.Cells[1][12].Ch = 'W', EditText.Cells[1][12].SetFlags(cfResult);
    EditText.Cells[2][12].Ch = '7', EditText.Cells[2][12].SetFlags(cfGreen);
    int moved = 0;
    QObject::connect(&widget, &GridWidget::topLeftChanged, [&] { ++moved; });
    widget.verticalScrollBar()->setValue(10), widget.horizontalScrollBar()->setValue(1), QApplication::processEvents();
    const QImage img = widget.viewport()->grab().toImage();
    auto ink = [&](int c) { return InkIn(img, widget.CellRect(c, 12)); };
    EXPECT_EQ(std::tuple(widget.CellRect(1, 12).topLeft(), grid.LeftCol, grid.TopRow, moved, EditText.UsedColExt,
                         EditText.UsedRowExt, ink(1).blue > 5, ink(2).green > 5, ink(3).blue),
              std::tuple(QPoint(0, 34), 1, 10, 2, 2, 12, true, true, 0));
}

}  // namespace
