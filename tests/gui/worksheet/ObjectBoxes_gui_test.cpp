// Boxes over the grid moved, resized and deleted with the mouse (the pixels are the box geometry's own test).
#include "BoxFixture.h"

namespace {

using ObjectBoxes = BoxTest;

TEST_F(ObjectBoxes, MoveByDragSnapsAndAnchorsAgain)
{
    TObjBox *box = Picture(50, 50);
    Drag(box->Image, {{5, 5}, {21, 15}, {38, 25}});
    EXPECT_EQ(std::tuple(box->Image->pos(), box->Col, box->Row, box->DX, box->DY),
              std::tuple(QPoint(83, 70), 5, 4, -13, -2));
    EXPECT_EQ(std::tuple(box->MouseIsDown, box->Moving, QGuiApplication::overrideCursor()), std::tuple(0, 0, nullptr));
    Drag(box->Image, {{5, 5}, {2505, 2505}, {5005, 5005}});  // far off: back to 50 pixels inside the last cell
    EXPECT_EQ(box->Image->pos(), QPoint(72 * 14 - 50, 72 * 17 - 50));
}

TEST_F(ObjectBoxes, EditedTextBoxResizesFromItsCorner)
{
    TObjBox *box = head.InsertNewTextBox();
    QTextEdit *edit = box->Edit;
    Drag(edit, {{100, 60}, {115, 75}, {130, 90}});  // outside the corner zone: neither moves nor resizes
    EXPECT_EQ(edit->geometry(), QRect(50, 50, 200, 120));
    Drag(edit, {{171, 91}, {195, 110}, {220, 130}});
    EXPECT_EQ(std::tuple(edit->geometry(), box->Width, box->Height), std::tuple(QRect(50, 50, 220, 130), 220, 130));
    Drag(edit, {{215, 125}, {216, 126}, {41, 25}, {40, 24}});  // below the smallest size: nothing
    EXPECT_EQ(std::tuple(edit->size(), box->Width, box->Sizing), std::tuple(QSize(41, 25), 41, 0));
}

TEST_F(ObjectBoxes, ClickWhileClearIsArmedDeletes)
{
    TObjBox *a = Picture(10, 10), *b = Picture(100, 100);
    EditState = esClearArmed, EditText.PageLock = 1;
    Drag(a->Image, {{3, 3}}, Qt::RightButton);
    EXPECT_EQ(std::tuple(Boxes().size(), SheetSetup::beeps), std::tuple(2u, 1));
    EditState = esEditing;
    Drag(b->Image, {{3, 3}, {43, 43}});  // a locked page keeps its boxes where they are
    EXPECT_EQ(b->Image->pos(), QPoint(100, 100));
    EditState = esClearArmed, EditText.PageLock = 0;
    QPointer<QLabel> control = a->Image;
    Drag(a->Image, {{3, 3}}, Qt::RightButton);
    EXPECT_EQ(std::pair(Boxes(), control.isNull()),
              std::pair(std::vector<TObjBox *>{b}, false));  // gone after its click
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(control.isNull());
}

}  // namespace
