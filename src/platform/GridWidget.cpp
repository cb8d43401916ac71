#include "GridWidget.h"

#include <QPainter>
#include <QScrollBar>

GridWidget::GridWidget(TDrawGrid &grid, QWidget *parent) : QAbstractScrollArea(parent), grid_(grid)
{
    grid_.Observer = this;
    setFocusPolicy(Qt::StrongFocus);
    UpdateScrollBars();
}

GridWidget::~GridWidget()
{
    if (grid_.Observer == this)
        grid_.Observer = nullptr;
}

void GridWidget::SetCellSize(int w, int h)
{
    cellW_ = std::max(w, 1);
    cellH_ = std::max(h, 1);
    UpdateScrollBars();
    viewport()->update();
}

void GridWidget::GridCellChanged(int, int)
{
    viewport()->update();
}

void GridWidget::GridRepaint()
{
    viewport()->update();
}

void GridWidget::GridSizeChanged()
{
    UpdateScrollBars();
}

void GridWidget::UpdateScrollBars()
{
    const int visCols = std::max(1, viewport()->width() / cellW_);
    const int visRows = std::max(1, viewport()->height() / cellH_);
    horizontalScrollBar()->setRange(0, std::max(0, grid_.ColCount() - visCols));
    verticalScrollBar()->setRange(0, std::max(0, grid_.RowCount() - visRows));
    horizontalScrollBar()->setPageStep(visCols);
    verticalScrollBar()->setPageStep(visRows);
}

void GridWidget::scrollContentsBy(int, int)
{
    grid_.LeftCol = horizontalScrollBar()->value();
    grid_.TopRow = verticalScrollBar()->value();
    viewport()->update();
}

void GridWidget::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

void GridWidget::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), Qt::white);
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    const int cols = grid_.ColCount() - grid_.LeftCol;
    const int rows = grid_.RowCount() - grid_.TopRow;
    for (int c = 0; c <= cols; ++c)
        p.drawLine(c * cellW_, 0, c * cellW_, rows * cellH_);
    for (int r = 0; r <= rows; ++r)
        p.drawLine(0, r * cellH_, cols * cellW_, r * cellH_);
    const int cc = grid_.Col() - grid_.LeftCol, cr = grid_.Row() - grid_.TopRow;
    p.setPen(Qt::black);
    p.drawRect(cc * cellW_, cr * cellH_, cellW_, cellH_);
}
