// The reading order drawn over the grid (Ctrl+F9): a line through the
// centres of the routed cells, until the next key or click in the grid.
#pragma once

#include <QWidget>

class GridWidget;

class TRouteOverlay : public QWidget {
    Q_OBJECT
public:
    explicit TRouteOverlay(GridWidget &grid);

    // Shows RouterObj's shown route; an empty route hides the overlay.
    void ShowRoute();
    void HideRoute();

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint CellCentre(int col, int row) const;
    GridWidget &grid_;
};
