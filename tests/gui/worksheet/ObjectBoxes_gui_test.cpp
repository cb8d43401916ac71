// Boxes over the grid: the list, their anchoring to cells, and moving,
// resizing and deleting them with the mouse.
#include <tuple>

#include <QScrollBar>

#include "BoxFixture.h"

namespace {

using ObjectBoxes = BoxTest;

TEST_F(ObjectBoxes, ListOrderAfterAddsAndDeletes)
{
    TObjBox *a = Picture(10, 10), *b = Picture(100, 10), *c = Picture(200, 10);
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{c, b, a}));
    EXPECT_EQ(head.AddBox(nullptr)->Kind, bkHead);  // an unknown control: linked, no kind
    head.DeleteBox(head.NextBox());
    EXPECT_EQ(b->AddBox(new QLabel(grid.viewport())), nullptr);  // only the head adds
    head.DeleteBox(b);
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{c, a}));
    head.DeleteBox(b);  // no longer in the list
    head.DeleteBox(&head);
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{c, a}));
    EXPECT_EQ(head.FindBox(c->Image), c);
    EXPECT_EQ(head.FindBox(grid.viewport()), nullptr);
    QPointer<QLabel> image = a->Image;
    QPointer<TObjBox> gone = a;
    head.DeleteBoxesOf(&EditText);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(image.isNull() && gone.isNull());  // the box goes with its control and picture
}

TEST_F(ObjectBoxes, PlacementFollowsScrollingGridLinesAndFontSize)
{
    TObjBox *box = Picture(50, 50);
    EXPECT_EQ(std::tuple(box->Col, box->Row, box->DX, box->DY), std::tuple(3, 2, -8, -16));
    grid.horizontalScrollBar()->setValue(3);
    grid.verticalScrollBar()->setValue(1);
    head.PlaceBoxes();
    EXPECT_EQ(box->Image->pos(), QPoint(50 - 3 * 14, 50 - 17));
    EXPECT_EQ(std::tuple(box->Col, box->Row, box->DX, box->DY, box->Left), std::tuple(3, 2, -8, -16, 8));
    grid.SetGridLines(true);
    head.PlaceBoxes(box);
    EXPECT_EQ(box->Image->pos(), QPoint(8 + 0 * 15, 16 + 18));
    grid.SetGridLines(false);
    grid.horizontalScrollBar()->setValue(0);
    grid.verticalScrollBar()->setValue(0);
    grid.ApplyFontSize(28);
    head.PlaceBoxes();
    EXPECT_EQ(box->Image->pos(), QPoint(3 * grid.CellWidth() + 8, 2 * grid.CellHeight() + 16));
}

TEST_F(ObjectBoxes, MoveByDragSnapsAndAnchorsAgain)
{
    TObjBox *box = Picture(50, 50);
    Drag(box->Image, {5, 5}, {33, 20});
    EXPECT_EQ(box->Image->pos(), QPoint(83, 70));
    EXPECT_EQ(std::tuple(box->Col, box->Row, box->DX, box->DY), std::tuple(5, 4, -13, -2));
    EXPECT_EQ(std::tuple(box->MouseIsDown, box->Moving, box->Sizing), std::tuple(0, 0, 0));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // Up and left out of the cells: 30 pixels stay over the first cell; anchored outside the cells.
    Drag(box->Image, {5, 5}, {-500, -500});
    EXPECT_EQ(box->Image->pos(), QPoint(-60 + 30, -40 + 30));
    EXPECT_EQ(std::tuple(box->Col, box->Row, box->DX, box->DY), std::tuple(-1, -1, 16, -7));
    grid.verticalScrollBar()->setValue(2);
    head.PlaceBoxes();
    EXPECT_EQ(box->Image->pos(), QPoint(-30, -10 - 2 * 17));
    // Far right and down: back to 50 pixels inside the last cell.
    Drag(box->Image, {5, 5}, {5000, 5000});
    EXPECT_EQ(box->Image->pos(), QPoint(72 * 14 - 50, 70 * 17 - 50));
}

TEST_F(ObjectBoxes, EditedTextBoxResizesFromItsCorner)
{
    TObjBox *box = head.InsertNewTextBox();
    QTextEdit *edit = box->Edit;
    Drag(edit, {100, 60}, {30, 30});  // outside the corner zone: neither moves nor resizes
    EXPECT_EQ(edit->geometry(), QRect(50, 50, 200, 120));
    Drag(edit, {171, 91}, {49, 39});
    EXPECT_EQ(edit->geometry(), QRect(50, 50, 220, 130));
    EXPECT_EQ(std::tuple(box->Width, box->Height, box->Kind), std::tuple(220, 130, bkTextEdit));
    // Once resizing, the mouse may leave the zone; the size stays above the minimum.
    const struct {
        QPoint at;
        QSize size;
    } steps[] = {{{216, 126}, {216, 126}}, {{10, 10}, {216, 126}}, {{41, 25}, {41, 25}}, {{40, 24}, {41, 25}}};
    Mouse(edit, QEvent::MouseButtonPress, {215, 125}, Qt::LeftButton);
    for (const auto &s : steps) {
        Mouse(edit, QEvent::MouseMove, s.at, Qt::LeftButton);
        EXPECT_EQ(edit->size(), s.size) << s.at.x();
    }
    Mouse(edit, QEvent::MouseButtonRelease, {40, 24}, Qt::NoButton);
    EXPECT_EQ(std::tuple(box->Width, box->Height, box->Sizing), std::tuple(41, 25, 0));
}

TEST_F(ObjectBoxes, ClickWhileClearIsArmedDeletes)
{
    TObjBox *a = Picture(10, 10), *b = Picture(100, 100);
    EditState = esClearArmed;
    EditText.PageLock = 1;
    Mouse(a->Image, QEvent::MouseButtonPress, {3, 3}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(std::tuple(Boxes().size(), SheetSetup::beeps), std::tuple(2u, 1));
    EditState = esEditing;
    Drag(b->Image, {3, 3}, {40, 40});  // a locked page keeps its boxes where they are
    EXPECT_EQ(b->Image->pos(), QPoint(100, 100));
    EditState = esClearArmed;
    EditText.PageLock = 0;
    QPointer<QLabel> control = a->Image;
    Mouse(a->Image, QEvent::MouseButtonPress, {3, 3}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{b}));
    EXPECT_FALSE(control.isNull());  // still handling its own click
    Mouse(control, QEvent::MouseButtonRelease, {3, 3}, Qt::NoButton, Qt::RightButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(control.isNull());
    EditState = esEditing;
}

}  // namespace
