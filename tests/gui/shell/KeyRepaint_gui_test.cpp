// Typing in the main window repaints the rows of the key, Undo the whole view.
#include <QPaintEvent>

#include "FreshWindow.h"
#include "platform/GridWidget.h"

namespace {

struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

class KeyRepaintTest : public FreshWindowTest {};

TEST_F(KeyRepaintTest, AKeyRepaintsItsRowsAndUndoTheView)
{
    Start();
    GridWidget *grid = form->Grid();
    for (int c = 0; c <= EditText.ColMax; ++c)
        for (int r = 0; r <= EditText.RowMax; ++r)
            EditText.Cells[c][r].Ch = uint8_t('a' + (c + r) % 26);
    form->SheetGrid().Repaint();
    form->SheetGrid().SetCol(4);
    form->SheetGrid().SetRow(8);
    grid->setFocus();
    PaintSpy spy;
    auto painted = [&] {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        const QRegion got = spy.painted;
        spy.painted = QRegion();
        return got;
    };
    painted();
    grid->viewport()->installEventFilter(&spy);
    const QRect view = grid->viewport()->rect();
    const int step = grid->CellHeight() + grid->GridLineWidth();

    QTest::keyClick(grid, Qt::Key_Z);
    EXPECT_EQ(EditText.Cells[4][8].Ch, 'z');
    EXPECT_EQ(painted(), QRegion(0, 7 * step, view.width(), 3 * step));
    form->undo1Click();
    EXPECT_EQ(EditText.Cells[4][8].Ch, 0);  // back to the empty sheet before the one snapshot
    EXPECT_EQ(painted(), QRegion(view));
}

}  // namespace
