// Boxes reached from the window: the Insert menu, Clear and Undo, and the pictures printing puts on the page.
#include <QImage>
#include <QTextEdit>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/VMPrinter.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/TextBoxes.h"

namespace {

using WindowBoxesTest = FreshWindowTest;

TEST_F(WindowBoxesTest, InsertMenuMakesBoxesThatClearRemovesAndShowTextBoxFollowsTheResetSheet)
{
    Start();
    const QString png = dir.filePath(QStringLiteral("dot.png"));
    QImage dot(30, 20, QImage::Format_RGB32);
    dot.fill(Qt::red);
    ASSERT_TRUE(dot.save(png));
    BoxFileDialogHook = [png](QWidget *, const QString &, const QString &) { return png; };
    Item("Menu_InsertBitmapFile")->trigger();
    Item("Menu_InsertTextbox")->trigger();
    BoxFileDialogHook = nullptr;
    const TObjBox *text = ObjBoxList->NextBox();
    EXPECT_EQ(text->Edit->toPlainText().toStdString(), "NEW TEXT BOX");
    Item("Menu_InsertTextToBitmap1")->trigger();
    EXPECT_EQ(std::tuple(int(text->Kind), int(text->State)), std::tuple(int(bkPicture), int(bsPicture)));
    const std::vector<TBoxPicture> pictures = SheetPrinter.OnBoxPictures();  // on the printed page, newest first
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1].Image.pixelColor(5, 5), QColor(Qt::red));

    // Clear, confirmed by Enter, takes the boxes with the sheet; it and Undo turn Show TextBox off.
    QAction *show = Item("Menu_InsertShowTextBox");
    const auto state = [&] { return std::tuple(show->isChecked(), EditText.ShowTextBoxes != 0, ObjBoxList->Color); };
    show->trigger();
    EXPECT_EQ(state(), std::tuple(true, true, BoxHighlightColor));
    form->Calc().PRButtonClearClick();
    form->Calc().PRButtonEnterClick();
    EXPECT_EQ(std::tuple(ObjBoxList->NextBox(), state()),
              std::tuple(nullptr, std::tuple(false, false, BoxWindowColor)));
    show->trigger();
    QTest::keyClicks(form->Grid(), QStringLiteral("ab"));
    form->undo1Click();
    EXPECT_EQ(state(), std::tuple(false, false, BoxWindowColor));
}

}  // namespace
