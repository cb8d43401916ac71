// The sheet's grid on screen: shows a TDrawGrid (cursor, selection, scrolling,
// cell size), draws its visible cells through the cell painter and turns mouse
// and keys into grid changes and signals for the main window.
#pragma once

#include <cstdint>

#include <QAbstractScrollArea>
#include <QRegion>

#include "worksheet/DrawGrid.h"
#include "worksheet/Edit.h"

class QKeyEvent;

class GridWidget : public QAbstractScrollArea, public TGridObserver {
    Q_OBJECT
public:
    explicit GridWidget(TDrawGrid &grid, QWidget *parent = nullptr);
    ~GridWidget() override;

    TDrawGrid &Grid() { return grid_; }

    // DefaultColWidth and DefaultRowHeight.
    int CellWidth() const { return cellW_; }
    int CellHeight() const { return cellH_; }
    void SetCellSize(int w, int h);
    // The sheet's font size: FontSize, CellFontSize, LineUnit and the cell
    // size; returns the size after clamping.
    int ApplyFontSize(int size);

    // Grid lines between the cells, one pixel wide.
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool on);
    int GridLineWidth() const { return gridLines_ ? 1 : 0; }

    // Rectangle of a cell in the viewport; empty when the cell is not in view.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false outside the grid's cells.
    bool CellAt(const QPoint &pos, int &col, int &row) const;
    // Columns and rows that fit into the viewport without being cut.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // Scrolls so that the cell is in view.
    void ShowCell(int col, int row);

    // Draws every cell that meets `area` (viewport coordinates) on the painter:
    // background, selection, lines, cells through the painter, focus frame.
    void PaintCells(QPainter &p, const QRect &area);
    // Cells handed to the cell painter so far.
    uint64_t CellsDrawn = 0;

    void GridCellChanged(int col, int row) override;
    void GridRepaint() override;
    void GridSheetChanged() override;
    void GridSizeChanged() override;
    void GridCursorMoved() override;

signals:
    // Before the current cell moves to (col, row); the grid's Selection is
    // still the old one. Clearing canSelect keeps the cursor where it is.
    void cellSelected(int col, int row, bool &canSelect);
    void doubleClicked();
    // Every key first goes here; a key set to 0 is not acted on by the grid.
    void keyDown(uint16_t &key, TShiftState shift);
    // The character of a key; set to 0 when handled.
    void keyPress(char &key);
    // LeftCol or TopRow changed.
    void topLeftChanged();

protected:
    void paintEvent(QPaintEvent *) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    void focusInEvent(QFocusEvent *) override;
    void focusOutEvent(QFocusEvent *) override;

private:
    void UpdateScrollBars();
    int ColStep() const { return cellW_ + GridLineWidth(); }
    int RowStep() const { return cellH_ + GridLineWidth(); }
    // Moves the current cell as a click or a key does: asks cellSelected first.
    bool MoveCurrent(int col, int row);
    void ExtendSelection(int col, int row);
    void KeyNavigate(uint16_t key, TShiftState shift);
    // The viewport's part of the marked rows, the full width of each.
    QRegion RowsRegion(const TSheetRows &rows) const;
    // Marks the rows of every cell that differs from what the view shows.
    bool CollectChanges(TSheetRows &rows);

    TDrawGrid &grid_;
    TShownSheet shown_;
    int cellW_ = 14;
    int cellH_ = 21;
    bool gridLines_ = false;
    bool dragging_ = false;
    bool moving_ = false;  // the widget itself moves the cursor
    int anchorCol_ = 0;
    int anchorRow_ = 0;
};
