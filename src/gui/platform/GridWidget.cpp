#include "GridWidget.h"

#include <algorithm>
#include <bitset>

#include <QBackingStore>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>

#include "KeyMap.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"
#include "worksheet/VirtualKeys.h"

namespace {

const QColor gridBackground(Qt::white);
const QColor selectionColour(0x99, 0xC9, 0xFF);
const QColor gridLineColour(0xC0, 0xC0, 0xC0);

}  // namespace

GridWidget::GridWidget(TDrawGrid &grid, QWidget *parent) : QAbstractScrollArea(parent), grid_(grid)
{
    grid_.Observer = this;
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    anchorCol_ = grid_.Col();
    anchorRow_ = grid_.Row();
    UpdateScrollBars();
}

GridWidget::~GridWidget()
{
    if (grid_.Observer == this)
        grid_.Observer = nullptr;
}

// ---------------------------------------------------------------------------
// Geometry

void GridWidget::SetCellSize(int w, int h)
{
    cellW_ = std::max(w, 1);
    cellH_ = std::max(h, 1);
    UpdateScrollBars();
    viewport()->update();
}

int GridWidget::ApplyFontSize(int size)
{
    const TSheetCellSize s = ApplySheetFontSize(size, logicalDpiY());
    SetCellSize(s.ColWidth, s.RowHeight);
    return s.Size;
}

void GridWidget::SetGridLines(bool on)
{
    gridLines_ = on;
    UpdateScrollBars();
    viewport()->update();
}

int GridWidget::VisibleColCount() const
{
    return std::max(1, (viewport()->width() + GridLineWidth()) / ColStep());
}

int GridWidget::VisibleRowCount() const
{
    return std::max(1, (viewport()->height() + GridLineWidth()) / RowStep());
}

QRect GridWidget::CellRect(int col, int row) const
{
    if (col < grid_.LeftCol || row < grid_.TopRow || col >= grid_.ColCount() || row >= grid_.RowCount())
        return {};
    const int x = (col - grid_.LeftCol) * ColStep(), y = (row - grid_.TopRow) * RowStep();
    if (x >= viewport()->width() || y >= viewport()->height())
        return {};
    return {x, y, cellW_, cellH_};
}

bool GridWidget::CellAt(const QPoint &pos, int &col, int &row) const
{
    if (pos.x() < 0 || pos.y() < 0)
        return false;
    col = grid_.LeftCol + pos.x() / ColStep();
    row = grid_.TopRow + pos.y() / RowStep();
    return col < grid_.ColCount() && row < grid_.RowCount();
}

void GridWidget::UpdateScrollBars()
{
    const int visCols = VisibleColCount(), visRows = VisibleRowCount();
    horizontalScrollBar()->setRange(0, std::max(0, grid_.ColCount() - visCols));
    verticalScrollBar()->setRange(0, std::max(0, grid_.RowCount() - visRows));
    horizontalScrollBar()->setPageStep(visCols);
    verticalScrollBar()->setPageStep(visRows);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    // The bars may have clamped their values without a scroll.
    scrollContentsBy(0, 0);
}

void GridWidget::ShowCell(int col, int row)
{
    int left = grid_.LeftCol, top = grid_.TopRow;
    if (col < left)
        left = col;
    else if (col >= left + VisibleColCount())
        left = col - VisibleColCount() + 1;
    if (row < top)
        top = row;
    else if (row >= top + VisibleRowCount())
        top = row - VisibleRowCount() + 1;
    horizontalScrollBar()->setValue(left);
    verticalScrollBar()->setValue(top);
}

void GridWidget::scrollContentsBy(int, int)
{
    const int left = horizontalScrollBar()->value(), top = verticalScrollBar()->value();
    if (left == grid_.LeftCol && top == grid_.TopRow)
        return;
    grid_.LeftCol = left;
    grid_.TopRow = top;
    viewport()->update();
    emit topLeftChanged();
}

void GridWidget::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

// ---------------------------------------------------------------------------
// Observer

// Cells draw into their neighbours (glyphs, overlines, radicals): a change
// repaints the full width of every row it may reach.
QRegion GridWidget::RowsRegion(const TSheetRows &rows) const
{
    QRegion region;
    const int width = viewport()->width();
    const int lastRow = std::min(grid_.RowCount() - 1, grid_.TopRow + viewport()->height() / RowStep());
    for (int r = grid_.TopRow; r <= lastRow; ++r) {
        if (!rows.test(size_t(r)))
            continue;
        int last = r;
        while (last < lastRow && rows.test(size_t(last + 1)))
            ++last;
        region += QRect(0, (r - grid_.TopRow) * RowStep(), width, (last - r + 1) * RowStep());
        r = last;
    }
    return region;
}

bool GridWidget::CollectChanges(TSheetRows &rows)
{
    return shown_.Changes(EditText.Cells, EditText.Attrs, grid_.ColCount(), grid_.RowCount(), rows);
}

void GridWidget::GridCellChanged(int col, int row)
{
    TSheetRows rows;
    shown_.Reach(EditText.Attrs, col, row, rows);
    viewport()->update(RowsRegion(rows));
}

void GridWidget::GridSheetChanged()
{
    TSheetRows rows;
    if (CollectChanges(rows))
        viewport()->update(RowsRegion(rows));
}

void GridWidget::GridRepaint()
{
    viewport()->update();
}

void GridWidget::GridSizeChanged()
{
    UpdateScrollBars();
    viewport()->update();
}

void GridWidget::GridCursorMoved()
{
    if (moving_)
        return;
    anchorCol_ = grid_.Col();
    anchorRow_ = grid_.Row();
    ShowCell(grid_.Col(), grid_.Row());
}

// ---------------------------------------------------------------------------
// Painting

void GridWidget::paintEvent(QPaintEvent *e)
{
    QPainter p(viewport());
    // Cells changed without a word to the grid still get their rows redrawn
    // on screen; a grab of the widget paints elsewhere and leaves that alone.
    QBackingStore *store = viewport()->backingStore();
    TSheetRows rows;
    if (store && p.paintEngine() && p.paintEngine()->paintDevice() == store->paintDevice() && CollectChanges(rows)) {
        const QRegion missed = RowsRegion(rows) - e->region();
        if (!missed.isEmpty())
            viewport()->update(missed);
    }
    for (const QRect &area : e->region()) {
        p.save();
        p.setClipRect(area);
        PaintCells(p, area);
        p.restore();
    }
}

void GridWidget::PaintCells(QPainter &p, const QRect &area)
{
    p.fillRect(area, gridBackground);
    const int lastCol = std::min(grid_.ColCount() - 1, grid_.LeftCol + viewport()->width() / ColStep());
    const int lastRow = std::min(grid_.RowCount() - 1, grid_.TopRow + viewport()->height() / RowStep());
    const TGridRect &sel = grid_.Selection();
    const bool range = sel.Left != sel.Right || sel.Top != sel.Bottom;
    const int curCol = grid_.Col(), curRow = grid_.Row();
    // The focused current cell shows a frame; without focus it is highlighted.
    const bool focused = hasFocus();

    if (range || !focused)
        for (int r = std::max(sel.Top, grid_.TopRow); r <= std::min(sel.Bottom, lastRow); ++r)
            for (int c = std::max(sel.Left, grid_.LeftCol); c <= std::min(sel.Right, lastCol); ++c)
                if (!(focused && c == curCol && r == curRow))
                    p.fillRect(CellRect(c, r), selectionColour);

    if (gridLines_) {
        const int right = (lastCol - grid_.LeftCol + 1) * ColStep();
        const int bottom = (lastRow - grid_.TopRow + 1) * RowStep();
        for (int c = grid_.LeftCol; c <= lastCol; ++c) {
            const int x = (c - grid_.LeftCol) * ColStep() + cellW_;
            p.fillRect(QRect(x, 0, 1, bottom), gridLineColour);
        }
        for (int r = grid_.TopRow; r <= lastRow; ++r) {
            const int y = (r - grid_.TopRow) * RowStep() + cellH_;
            p.fillRect(QRect(0, y, right, 1), gridLineColour);
        }
    }

    TCellCanvas cv;
    cv.Canvas = &p;
    // Cells scrolled out above or left have no rectangle; those just past the
    // bottom or right edge still place the overlines they draw into view.
    cv.CellRect = [this, lastCol, lastRow](int c, int r) {
        if (c < grid_.LeftCol || r < grid_.TopRow || c > lastCol + 1 || r > lastRow + 1 || c >= grid_.ColCount() ||
            r >= grid_.RowCount())
            return QRect();
        return QRect((c - grid_.LeftCol) * ColStep(), (r - grid_.TopRow) * RowStep(), cellW_, cellH_);
    };
    cv.CurCol = curCol;
    cv.CurRow = curRow;
    cv.CurrentBrush = focused ? gridBackground : selectionColour;
    cv.DefaultRowHeight = cellH_;
    // A cell draws into the rows above and below it; a root sign, and a cell
    // that redraws one, over all the rows of the radical and its overlines.
    const int areaTop = grid_.TopRow + std::max(area.top(), 0) / RowStep();
    const int areaBottom = grid_.TopRow + std::max(area.bottom(), 0) / RowStep();
    std::bitset<SheetCells> rootCols;
    for (int c = grid_.LeftCol; c <= lastCol; ++c)
        for (int r = 0; r < grid_.RowCount() && !rootCols.test(size_t(c)); ++r)
            rootCols.set(size_t(c), EditText.Attrs[c][r].RootLevel != 0);
    auto drawsRadicalHere = [&](int c, int r) {
        const int k = CellRadicalRow(c, r);
        if (k < 0)
            return false;
        const TRowSpan span = RootReach(EditText.Attrs[c][k], k);
        return span.First <= areaBottom && span.Last >= areaTop;
    };
    for (int r = grid_.TopRow; r <= lastRow; ++r) {
        const bool nearRow = r >= areaTop - 1 && r <= areaBottom + 1;
        if (!nearRow && rootCols.none())
            continue;
        for (int c = grid_.LeftCol; c <= lastCol; ++c) {
            if (!nearRow && !rootCols.test(size_t(c)))
                continue;
            const QRect rect = CellRect(c, r);
            if ((nearRow && rect.adjusted(0, -RowStep(), 0, RowStep()).intersects(area)) ||
                (rootCols.test(size_t(c)) && drawsRadicalHere(c, r))) {
                DrawSheetCell(cv, c, r, rect);
                ++CellsDrawn;
            }
        }
    }

    if (focused) {
        const QRect cur = CellRect(curCol, curRow);
        if (!cur.isEmpty()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cur.adjusted(0, 0, -1, -1));
        }
    }
}

// ---------------------------------------------------------------------------
// Mouse

bool GridWidget::MoveCurrent(int col, int row)
{
    bool canSelect = true;
    emit cellSelected(col, row, canSelect);
    if (!canSelect)
        return false;
    moving_ = true;
    grid_.SetCol(col);
    grid_.SetRow(row);
    moving_ = false;
    anchorCol_ = col;
    anchorRow_ = row;
    ShowCell(col, row);
    return true;
}

void GridWidget::ExtendSelection(int col, int row)
{
    col = std::clamp(col, 0, grid_.ColCount() - 1);
    row = std::clamp(row, 0, grid_.RowCount() - 1);
    if (col == grid_.Col() && row == grid_.Row())
        return;
    bool canSelect = true;
    emit cellSelected(col, row, canSelect);
    if (!canSelect)
        return;
    moving_ = true;
    grid_.SetCol(col);
    grid_.SetRow(row);
    grid_.SetSelection({anchorCol_, anchorRow_, col, row});
    moving_ = false;
    ShowCell(col, row);
}

// The current cell looks different with and without focus.
void GridWidget::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void GridWidget::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

void GridWidget::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    int col, row;
    if (!CellAt(e->position().toPoint(), col, row))
        return;
    if (e->modifiers() & Qt::ShiftModifier) {
        ExtendSelection(col, row);
    } else {
        MoveCurrent(col, row);
    }
    dragging_ = true;
}

void GridWidget::mouseMoveEvent(QMouseEvent *e)
{
    if (!dragging_ || !(e->buttons() & Qt::LeftButton))
        return;
    // Past the edges the selection follows into the cells beyond, scrolling.
    const QPoint pos = e->position().toPoint();
    auto cellOf = [](int p, int first, int step) { return first + (p < 0 ? -1 : p / step); };
    ExtendSelection(cellOf(pos.x(), grid_.LeftCol, ColStep()), cellOf(pos.y(), grid_.TopRow, RowStep()));
}

void GridWidget::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        dragging_ = false;
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent *e)
{
    mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
}

// ---------------------------------------------------------------------------
// Keys

void GridWidget::KeyNavigate(uint16_t key, TShiftState shift)
{
    int col = grid_.Col(), row = grid_.Row();
    const bool ctrl = shift & ssCtrl;
    switch (key) {
    case vkLeft:
        --col;
        break;
    case vkRight:
        ++col;
        break;
    case vkUp:
        --row;
        break;
    case vkDown:
        ++row;
        break;
    case vkPrior:
        row -= VisibleRowCount();
        break;
    case vkNext:
        row += VisibleRowCount();
        break;
    case vkHome:
        col = 0;
        if (ctrl)
            row = 0;
        break;
    case vkEnd:
        col = grid_.ColCount() - 1;
        if (ctrl)
            row = grid_.RowCount() - 1;
        break;
    default:
        return;
    }
    col = std::clamp(col, 0, grid_.ColCount() - 1);
    row = std::clamp(row, 0, grid_.RowCount() - 1);
    if (shift & ssShift)
        ExtendSelection(col, row);
    else if (col != grid_.Col() || row != grid_.Row())
        MoveCurrent(col, row);
}

void GridWidget::keyPressEvent(QKeyEvent *e)
{
    uint16_t key = VirtualKeyFromQt(*e);
    const TShiftState shift = ShiftFromQt(e->modifiers());
    if (key != 0) {
        emit keyDown(key, shift);
        if (key != 0)
            KeyNavigate(key, shift);
    }
    if (const std::optional<uint8_t> c = CharFromQt(*e)) {
        char ch = char(*c);
        emit keyPress(ch);
    }
    e->accept();
}
