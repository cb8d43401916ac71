#include "RouteOverlay.h"

#include <QEvent>
#include <QPainter>

#include "engine/Router.h"
#include "platform/GridWidget.h"
#include "worksheet/Edit.h"

TRouteOverlay::TRouteOverlay(GridWidget &grid) : QWidget(grid.viewport()), grid_(grid)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
    grid.viewport()->installEventFilter(this);
}

void TRouteOverlay::ShowRoute()
{
    if (RouterObj.ShownRoute.empty()) {
        HideRoute();
        return;
    }
    setGeometry(grid_.viewport()->rect());
    raise();
    show();
    update();
}

void TRouteOverlay::HideRoute()
{
    hide();
}

bool TRouteOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid_.viewport() && event->type() == QEvent::Resize && isVisible())
        setGeometry(grid_.viewport()->rect());
    return QWidget::eventFilter(watched, event);
}

QPoint TRouteOverlay::CellCentre(int col, int row) const
{
    // Cells out of view still give a point, so the line leaves the view.
    const TDrawGrid &g = const_cast<GridWidget &>(grid_).Grid();
    const int colStep = grid_.CellWidth() + grid_.GridLineWidth();
    const int rowStep = grid_.CellHeight() + grid_.GridLineWidth();
    return QPoint((col - g.LeftCol) * colStep + grid_.CellWidth() / 2,
                  (row - g.TopRow) * rowStep + grid_.CellHeight() / 2);
}

void TRouteOverlay::paintEvent(QPaintEvent *)
{
    const std::vector<TRoutePoint> &route = RouterObj.ShownRoute;
    if (route.empty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygon line;
    line.reserve(qsizetype(route.size()));
    for (const TRoutePoint &pt : route)
        line << CellCentre(pt.Col, pt.Row);
    p.setPen(QPen(QColor(0xE0, 0x20, 0x20), 1.5));
    p.drawPolyline(line);
    p.setBrush(QColor(0xE0, 0x20, 0x20));
    p.setPen(Qt::NoPen);
    for (const QPoint &pt : line)
        p.drawEllipse(pt, 2, 2);
}
