// Boxes reached from the window: the Insert menu, Clear and the pictures
// that printing puts on the page.
#include <QImage>
#include <QLabel>
#include <QTextEdit>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/VMPrinter.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/TextBoxes.h"

namespace {

class WindowBoxesTest : public FreshWindowTest {
protected:
    int Boxes() const
    {
        int n = 0;
        for (const TObjBox *b = ObjBoxList->NextBox(); b; b = b->NextBox())
            ++n;
        return n;
    }
};

TEST_F(WindowBoxesTest, InsertMenuMakesBoxesThatClearRemoves)
{
    Start();
    const QString png = dir.filePath(QStringLiteral("dot.png"));
    QImage dot(30, 20, QImage::Format_RGB32);
    dot.fill(Qt::red);
    ASSERT_TRUE(dot.save(png));
    BoxFileDialogHook = [png](QWidget *, const QString &, const QString &) { return png; };
    form->Action(QStringLiteral("Menu_InsertBitmapFile"))->trigger();
    form->Action(QStringLiteral("Menu_InsertTextbox"))->trigger();
    ASSERT_EQ(Boxes(), 2);
    const TObjBox *text = ObjBoxList->NextBox();
    EXPECT_EQ(text->Edit->toPlainText().toStdString(), "NEW TEXT BOX");
    form->Action(QStringLiteral("Menu_InsertTextToBitmap1"))->trigger();
    EXPECT_EQ(std::tuple(int(text->Kind), int(text->State)), std::tuple(int(bkPicture), int(bsPicture)));

    // Both show on the printed page, newest first.
    const std::vector<TBoxPicture> pictures = SheetPrinter.OnBoxPictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1].Image.pixelColor(5, 5), QColor(Qt::red));

    // Clear, confirmed by Enter, takes the boxes with the sheet.
    form->Calc().PRButtonClearClick();
    form->Calc().PRButtonEnterClick();
    EXPECT_EQ(Boxes(), 0);
    BoxFileDialogHook = nullptr;
}

// Clear and Undo reset the sheet, which turns Show TextBox off: the menu
// check and the highlight follow.
TEST_F(WindowBoxesTest, ShowTextBoxFollowsTheResetSheet)
{
    Start();
    QAction *show = form->Action(QStringLiteral("Menu_InsertShowTextBox"));
    const auto state = [&] { return std::tuple(show->isChecked(), EditText.ShowTextBoxes != 0, ObjBoxList->Color); };
    show->trigger();
    EXPECT_EQ(state(), std::tuple(true, true, BoxHighlightColor));
    form->Calc().PRButtonClearClick();
    form->Calc().PRButtonEnterClick();
    EXPECT_EQ(state(), std::tuple(false, false, BoxWindowColor));
    show->trigger();
    QTest::keyClicks(form->Grid(), QStringLiteral("ab"));
    form->undo1Click();
    EXPECT_EQ(state(), std::tuple(false, false, BoxWindowColor));
}

}  // namespace
