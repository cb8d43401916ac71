// The sheet's grid on screen: shows a TDrawGrid and feeds it events.
#pragma once

#include <QAbstractScrollArea>

#include "DrawGrid.h"

class GridWidget : public QAbstractScrollArea, public TGridObserver {
    Q_OBJECT
public:
    explicit GridWidget(TDrawGrid &grid, QWidget *parent = nullptr);
    ~GridWidget() override;

    TDrawGrid &Grid() { return grid_; }
    int CellWidth() const { return cellW_; }
    int CellHeight() const { return cellH_; }
    void SetCellSize(int w, int h);

    void GridCellChanged(int col, int row) override;
    void GridRepaint() override;
    void GridSizeChanged() override;

protected:
    void paintEvent(QPaintEvent *) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *) override;

private:
    void UpdateScrollBars();
    TDrawGrid &grid_;
    int cellW_ = 12;
    int cellH_ = 20;
};
