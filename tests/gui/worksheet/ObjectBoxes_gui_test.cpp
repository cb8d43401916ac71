// Boxes over the grid moved, resized and deleted with the mouse; where the
// pixels put them is the box geometry's own test.
#include <tuple>

#include "BoxFixture.h"

namespace {

using ObjectBoxes = BoxTest;

TEST_F(ObjectBoxes, MoveByDragSnapsAndAnchorsAgain)
{
    TObjBox *box = Picture(50, 50);
    Drag(box->Image, {5, 5}, {33, 20});
    EXPECT_EQ(box->Image->pos(), QPoint(83, 70));
    EXPECT_EQ(std::tuple(box->Col, box->Row, box->DX, box->DY), std::tuple(5, 4, -13, -2));
    EXPECT_EQ(std::tuple(box->MouseIsDown, box->Moving, QGuiApplication::overrideCursor()), std::tuple(0, 0, nullptr));
    // Far right and down: back to 50 pixels inside the last cell.
    Drag(box->Image, {5, 5}, {5000, 5000});
    EXPECT_EQ(box->Image->pos(), QPoint(72 * 14 - 50, 72 * 17 - 50));
}

TEST_F(ObjectBoxes, EditedTextBoxResizesFromItsCorner)
{
    TObjBox *box = head.InsertNewTextBox();
    QTextEdit *edit = box->Edit;
    Drag(edit, {100, 60}, {30, 30});  // outside the corner zone: neither moves nor resizes
    EXPECT_EQ(edit->geometry(), QRect(50, 50, 200, 120));
    Drag(edit, {171, 91}, {49, 39});
    EXPECT_EQ(std::tuple(edit->geometry(), box->Width, box->Height), std::tuple(QRect(50, 50, 220, 130), 220, 130));
    Mouse(edit, QEvent::MouseButtonPress, {215, 125}, Qt::LeftButton);
    for (QPoint at : {QPoint(216, 126), QPoint(41, 25), QPoint(40, 24)})  // below the smallest size: nothing
        Mouse(edit, QEvent::MouseMove, at, Qt::LeftButton);
    Mouse(edit, QEvent::MouseButtonRelease, {40, 24}, Qt::NoButton);
    EXPECT_EQ(std::tuple(edit->size(), box->Width, box->Sizing), std::tuple(QSize(41, 25), 41, 0));
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
