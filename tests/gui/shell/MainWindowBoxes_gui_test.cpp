// Boxes reached from the window: the Insert menu, Clear and Undo, and the pictures printing puts on the page.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/MenuCommands.h"
#include "shell/VMPrinter.h"
#include "shell/VelmoraMenus.h"
#include "support/SheetPicture.h"
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

// Every key the grid acts on, typed into a text box, locked or not: the box
// takes it or nothing does. The sheet, its cursor, its modes and the undo ring
// stay as they were; a locked box keeps its text too.
TEST_F(WindowBoxesTest, KeysTypedIntoATextBoxNeverReachTheSheet)
{
    Start(true);
    form->Timer1->stop();
    QTest::keyClicks(form->Grid(), QStringLiteral("5+6="));
    const std::string sheet = SheetToPicture(EditText);
    ASSERT_EQ(sheet, " 5  +  6  =\n");
    TObjBox *box = ObjBoxList->InsertNewTextBox();
    QTextEdit *edit = box->Edit;
    const auto world = [&] {  // everything of the sheet a key could reach
        return std::tuple(SheetToPicture(EditText), form->SheetGrid().Col(), form->SheetGrid().Row(), UndoIndex,
                          UndoEmpty, RedoEmpty, int(EditText.EscMode), ScriptLevel, int(FontSet), int(EditState),
                          ShowNestingMarks, int(box->Kind), edit->hasFocus());
    };
    const struct {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } keys[] = {
        {"digit", Qt::Key_9, {}},
        {"letter", Qt::Key_X, {}},
        {"caret: superscript", Qt::Key_AsciiCircum, {}},
        {"underscore: subscript", Qt::Key_Underscore, {}},
        {"BackSpace", Qt::Key_Backspace, {}},
        {"Delete", Qt::Key_Delete, {}},
        {"Enter", Qt::Key_Return, {}},
        {"Ctrl+Enter: calculate", Qt::Key_Return, Qt::ControlModifier},
        {"Shift+Enter: next line", Qt::Key_Return, Qt::ShiftModifier},
        {"Left", Qt::Key_Left, {}},
        {"Right", Qt::Key_Right, {}},
        {"Up", Qt::Key_Up, {}},
        {"Down", Qt::Key_Down, {}},
        {"Home", Qt::Key_Home, {}},
        {"End", Qt::Key_End, {}},
        {"PageDown", Qt::Key_PageDown, {}},
        {"Insert: column", Qt::Key_Insert, {}},
        {"Shift+Insert: row", Qt::Key_Insert, Qt::ShiftModifier},
        {"F5: Clear", Qt::Key_F5, {}},
        {"F6: Reset", Qt::Key_F6, {}},
        {"F7: Refresh", Qt::Key_F7, {}},
        {"F8: calculate", Qt::Key_F8, {}},
        {"F9: rearrange", Qt::Key_F9, {}},
        {"Ctrl+F9: route", Qt::Key_F9, Qt::ControlModifier},
        {"Ctrl+comma: subscript", Qt::Key_Comma, Qt::ControlModifier},
        {"Ctrl+minus: subscript", Qt::Key_Minus, Qt::ControlModifier},
        {"Ctrl+period: symbol font", Qt::Key_Period, Qt::ControlModifier},
        {"Ctrl+Shift+F12", Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier},
        {"1 after it: nesting marks", Qt::Key_1, {}},
        {"Escape: function name", Qt::Key_Escape, {}},  // last: the sheet would take no other key after it
    };
    for (const bool locked : {true, false}) {
        box->Menu->LockTextItem->trigger();  // locked, then open again
        ASSERT_EQ(std::pair(edit->isReadOnly(), edit->hasFocus()), std::pair(locked, true));
        const QString first = edit->toPlainText();
        for (const auto &k : keys) {
            const auto before = world();
            const QString text = edit->toPlainText();
            QTest::keyClick(edit, k.key, k.mods);
            EXPECT_EQ(world(), before) << k.name << (locked ? " locked" : "");
            EXPECT_TRUE(!locked || edit->toPlainText() == text) << k.name;
        }
        EXPECT_EQ(edit->toPlainText() == first, locked);  // the open box took its keys
    }
    // The menu shortcuts stay the menu's: Undo and Redo act on the sheet from a locked box.
    box->Menu->LockTextItem->trigger();
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(SheetToPicture(EditText), " 5  +  6\n");
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(std::pair(SheetToPicture(EditText), edit->hasFocus()), std::pair(sheet, true));
}

// A text box that stops being edited, in any way, leaves the keyboard to the
// sheet: the next keys go in at the sheet's cursor, and the box keeps (and
// saves) the text it shows.
TEST_F(WindowBoxesTest, KeysGoToTheSheetOnceATextBoxStopsBeingEdited)
{
    const QString rec = dir.filePath(QStringLiteral("five.rec"));
    const struct {
        const char *path;
        std::function<void(TForm2 &, TObjBox *)> end;  // ends the editing of the new box
        const char *sheet;                             // after "88" is typed
        const char *boxes;                             // text of every box left, newest first
    } paths[] = {
        {"double-click on the word TEXT",
         [](TForm2 &, TObjBox *box) {
             QTextCursor word(box->Edit->document());
             word.setPosition(6);
             QTest::mouseDClick(box->Edit->viewport(), Qt::LeftButton, {}, box->Edit->cursorRect(word).center());
         },
         " 5  +  6  =  8  8\n", "NEW TEXT BOX|"},
        {"Textbox To Image",
         [](TForm2 &f, TObjBox *) { f.Action(QStringLiteral("Menu_InsertTextToBitmap1"))->trigger(); },
         " 5  +  6  =  8  8\n", "|"},
        {"Delete TextBox", [](TForm2 &, TObjBox *box) { box->Menu->DeleteItem->trigger(); }, " 5  +  6  =  8  8\n", ""},
        {"a worksheet opened", [](TForm2 &f, TObjBox *) { f.Action(QStringLiteral("Open1"))->trigger(); },
         " 8  8  6  =\n", ""},
    };
    for (const auto &p : paths) {
        Start(true);
        QTest::keyClicks(form->Grid(), QStringLiteral("5+6="));
        MenuCommands->FileDialog = [rec](const TFileDialogRequest &) { return rec; };
        Item("SaveAs1")->trigger();
        Item("Menu_InsertTextbox")->trigger();
        TObjBox *box = ObjBoxList->NextBox();
        ASSERT_TRUE(box->Edit->hasFocus()) << p.path;
        p.end(*form, box);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::keyClicks(nullptr, QStringLiteral("88"));  // wherever the keyboard is
        std::string boxes;
        for (const TObjBox *b = ObjBoxList->NextBox(); b; b = b->NextBox())
            boxes += (b->Edit ? b->Edit->toPlainText().toStdString() : std::string()) + "|";
        EXPECT_EQ(std::tuple(SheetToPicture(EditText), boxes, QApplication::focusWidget() == form->Grid()),
                  std::tuple(std::string(p.sheet), std::string(p.boxes), true))
            << p.path;
    }
}

// A picture and a newer text box over it: the text box lies on top on the
// screen and on paper, before the save and after the open, and once it is
// edited again; the file saved after the open is the file that was opened.
TEST_F(WindowBoxesTest, OverlappingBoxesKeepTheirStackingThroughSaveAndOpen)
{
    Start(true);
    const QString png = dir.filePath(QStringLiteral("wide.png")), rec = dir.filePath(QStringLiteral("boxes.rec"));
    QImage wide(300, 60, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(png));
    BoxFileDialogHook = [png](QWidget *, const QString &, const QString &) { return png; };
    Item("Menu_InsertBitmapFile")->trigger();
    BoxFileDialogHook = nullptr;
    Item("Menu_InsertTextbox")->trigger();  // both at (50, 50): the text box covers the picture's left part
    form->Grid()->setFocus();               // and is rendered as it loses the focus
    MenuCommands->FileDialog = [rec](const TFileDialogRequest &) { return rec; };
    QWidget *sheet = form->Grid()->viewport();
    // The box on top at a point both cover, and at one only the picture covers;
    // the pictures on paper, the last drawn on top, by their colour.
    const auto stacking = [&] {
        const TObjBox *text = nullptr, *picture = nullptr;
        for (const TObjBox *b = ObjBoxList->NextBox(); b; b = b->NextBox())
            (b->State == bsTextBox ? text : picture) = b;
        std::string paper;
        for (const TBoxPicture &p : SheetPrinter.OnBoxPictures())
            paper.insert(0, p.Image.pixelColor(10, 10) == QColor(Qt::red) ? "picture " : "text ");
        return std::tuple(sheet->childAt(100, 60) == (QWidget *)text->Image.data(),
                          sheet->childAt(300, 60) == (QWidget *)picture->Image.data(), paper);
    };
    const auto onTop = std::tuple(true, true, std::string("picture text "));
    EXPECT_EQ(stacking(), onTop);
    Item("SaveAs1")->trigger();
    QFile file(rec);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    for (int cycle = 1; cycle <= 2; ++cycle) {
        Item("Open1")->trigger();
        EXPECT_EQ(stacking(), onTop) << cycle;
        Item("Save1")->trigger();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), saved) << cycle;
        file.close();
    }
    // Edited again, the text box comes up where its picture lay, over the older picture.
    TObjBox *text = ObjBoxList->NextBox();
    const QRect place = text->Image->geometry();
    QTest::mouseDClick(text->Image, Qt::LeftButton, {}, {50, 10});
    ASSERT_EQ(text->Kind, bkTextEdit);
    EXPECT_EQ(std::tuple(text->Edit->geometry(), sheet->childAt(100, 60) == text->Edit->viewport()),
              std::tuple(place, true));
}

}  // namespace
