// Text boxes and pictures: made new, from files and from the clipboard,
// rendered to pictures and edited again, and the box menu.
#include <tuple>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include "BoxFixture.h"
#include "support/Pixels.h"

namespace {

using TextBoxes = BoxTest;

QColor BaseOf(const QTextEdit *e)
{
    return e->palette().color(QPalette::Base);
}

TEST_F(TextBoxes, NewTextBoxIsRenderedInPlaceWhenTheGridIsClicked)
{
    head.SetHighlight(true);
    TObjBox *box = head.InsertNewTextBox();
    QTextEdit *edit = box->Edit;
    EXPECT_EQ(std::tuple(edit->toPlainText(), edit->geometry(), box->Kind),
              std::tuple("NEW TEXT BOX", QRect(50, 50, 200, 120), bkTextEdit));
    EXPECT_TRUE(edit->hasFocus() && BaseOf(edit) == BoxEditingColor);
    ClickGrid();
    EXPECT_EQ(std::tuple(box->Kind, box->State, edit->isVisible()), std::tuple(bkPicture, bsTextBox, false));
    EXPECT_EQ(box->Image->geometry(), QRect(50, 50, 200, 120));
    const QImage shot = grid.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 150), BoxHighlightColor);  // the box's own background
    EXPECT_EQ(shot.pixelColor(251, 150), QColor(Qt::white));  // the grid beside it
    EXPECT_GT(InkIn(shot, {50, 50, 150, 20}).dark, 20);       // the text's first line
    // A box at the right edge renders wholly at its own place.
    TObjBox *right = head.InsertNewTextBox();
    right->Edit->move(500, 50);
    ClickGrid();
    EXPECT_EQ(std::pair(right->Image->geometry(), right->Picture()),
              std::pair(QRect(500, 50, 200, 120), box->Picture()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TextBoxes, PictureShowsTheTextWithoutSelectionOrCaret)
{
    QApplication::setCursorFlashTime(0);  // the caret shows all the time while focused
    TObjBox *box = head.InsertNewTextBox();
    for (const bool select : {true, false}) {
        head.EditTextBox(box);
        box->Edit->setFocus();
        QTextCursor end(box->Edit->document());
        end.movePosition(QTextCursor::End, select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        box->Edit->setTextCursor(end);
        ASSERT_TRUE(box->Edit->hasFocus() && head.RenderTextBox(box)) << select;
        const QImage shown = box->Picture();
        box->Edit->setTextCursor(QTextCursor(box->Edit->document()));  // hidden: no caret, no selection
        head.RefreshTextBoxes();
        EXPECT_EQ(shown, box->Picture()) << select;
    }
    QApplication::setCursorFlashTime(1000);
}

TEST_F(TextBoxes, DoubleClickEditsARenderedTextBoxAgain)
{
    TObjBox *box = head.InsertNewTextBox();
    ClickGrid();
    Drag(box->Image, {10, 10}, {30, 17});
    TObjBox *picture = Picture(250, 150);  // newer, over the text box's corner
    DoubleClick(box->Image, {10, 10});
    EXPECT_EQ(std::tuple(box->Kind, box->Image->isVisible(), box->Edit->geometry()),
              std::tuple(bkTextEdit, false, QRect(80, 67, 200, 120)));
    EXPECT_TRUE(box->Edit->hasFocus() && BaseOf(box->Edit) == BoxEditingColor);
    DoubleClick(box->Edit, {10, 10});  // a double click in the edit renders it
    EXPECT_EQ(box->Kind, bkPicture);
    EXPECT_EQ(grid.viewport()->childAt(260, 160), picture->Image);  // rendered anew, still under the newer box
    DoubleClick(picture->Image, {5, 5});
    EXPECT_EQ(std::tuple(picture->Kind, picture->State), std::tuple(bkPicture, bsPicture));
}

TEST_F(TextBoxes, TooLargeBoxGivesTheMessageOnEveryFocusLoss)
{
    TObjBox *box = head.InsertNewTextBox();
    // Twice too wide, then narrow enough to render.
    for (int i = 1; i <= 3; ++i) {
        box->Edit->resize(grid.width() - (i < 3 ? 10 : 25), 120);
        grid.activateWindow();  // the message box took the activation for a moment
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        box->Edit->setFocus();
        ClickGrid();
        ASSERT_EQ(messages.size(), size_t(std::min(i, 2)));
        EXPECT_EQ(messages.back(),
                  std::pair(QString("Reduce the box or enlarge the window"), QString("Text Box To Large")));
        EXPECT_EQ(std::tuple(box->Kind, box->Edit->isVisible()), std::tuple(i < 3 ? bkTextEdit : bkPicture, i < 3));
    }
}

TEST_F(TextBoxes, HighlightRendersTextBoxesAgainButAPlainPictureIsMadeWithout)
{
    TObjBox *rendered = head.InsertNewTextBox();
    ClickGrid();
    for (bool on : {true, false}) {
        head.SetHighlight(on);
        head.RefreshTextBoxes();
        EXPECT_EQ(rendered->Picture().pixelColor(190, 110), on ? BoxHighlightColor : BoxWindowColor);
    }
    // Text to picture: the edited box becomes a plain picture for good.
    TObjBox *box = head.InsertNewTextBox();
    head.SetHighlight(true);
    head.RenderEditing();
    EXPECT_EQ(std::tuple(box->State, box->Edit.isNull(), box->Picture().pixelColor(190, 110)),
              std::tuple(bsPicture, true, BoxWindowColor));
    EXPECT_EQ(std::tuple(rendered->Kind, rendered->State), std::tuple(bkPicture, bsTextBox));
    DoubleClick(box->Image, {10, 10});
    EXPECT_EQ(std::pair(box->Kind, box->RichText()), std::pair(uint8_t(bkPicture), std::string()));
}

TEST_F(TextBoxes, BoxMenuTogglesItsSettingsAndDeletesWhileItStaysEditing)
{
    TObjBox *a = Picture(10, 10), *box = head.InsertNewTextBox();
    TGridObjectMenu *m = box->Menu;
    QTextEdit *e = box->Edit;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {20, 20}, e->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(e->viewport(), &menu);
    EXPECT_TRUE(m->Popup->isVisible());
    QStringList texts;
    for (QAction *a : m->Popup->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(texts, QStringList({"Wrap Word", "Lock Text", "Scroll Bars", "-", "Delete TextBox"}));
    m->Popup->close();
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(e, &toMenu);
    EXPECT_EQ(box->Kind, bkTextEdit);
    auto state = [&] {
        return std::tuple(e->lineWrapMode() == QTextEdit::WidgetWidth, m->WrapWordItem->isChecked(), e->isReadOnly(),
                          m->LockTextItem->isChecked(), e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn,
                          m->ScrollBarsItem->isChecked());
    };
    EXPECT_EQ(state(), std::tuple(true, true, false, false, false, false));
    m->ScrollBarsItem->trigger(), m->WrapWordItem->trigger(), m->LockTextItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, true, true));
    m->ScrollBarsItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, false, false));
    QPointer<QTextEdit> edit = e;
    m->DeleteItem->trigger();
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{a}));
    EXPECT_FALSE(edit.isNull());  // the menu is still handling its click
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(edit.isNull());
}

TEST_F(TextBoxes, PasteToBoxPrefersThePicture)
{
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::blue);
    auto *both = new QMimeData;
    both->setImageData(img);
    both->setText("text too");
    QGuiApplication::clipboard()->setMimeData(both);
    ASSERT_TRUE(head.PasteBox());
    TObjBox *pic = head.NextBox();
    EXPECT_EQ(std::tuple(pic->State, pic->Image->geometry(), pic->Picture().pixelColor(5, 5)),
              std::tuple(bsPicture, QRect(50, 50, 30, 20), QColor(Qt::blue)));
    QGuiApplication::clipboard()->setText("pasted words");
    ASSERT_TRUE(head.PasteBox());
    TObjBox *text = head.NextBox();
    EXPECT_EQ(std::tuple(text->Kind, text->State, text->Edit->toPlainText()),
              std::tuple(bkPicture, bsTextBox, QString("pasted words")));
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(head.PasteBox());
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(TextBoxes, FilesBecomeBoxes)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const std::string &bytes) {
        return WriteFile(dir.filePath(name), {bytes.begin(), bytes.end()});
    };
    QImage img(24, 16, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir.filePath("p.png")));
    QString title;
    BoxFileDialogHook = [&](QWidget *, const QString &t, const QString &) { return title = t, dir.filePath("p.png"); };
    ASSERT_TRUE(head.InsertPictureFile(&grid));
    EXPECT_EQ(title, "Import Picture :");
    EXPECT_EQ(head.NextBox()->Image->geometry(), QRect(50, 50, 24, 16));
    EXPECT_FALSE(head.LoadPictureFile(write("bad.bmp", "BM not a picture")));
    EXPECT_EQ(messages.back().first, "Image Load Error");
    const std::pair<const char *, const char *> texts[] = {
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs30\\b Fett\\b0  \\'e9\\par zwei}", "Fett é\nzwei"},
        {"Grüße\n{\\rtf not at the start", "Grüße\n{\\rtf not at the start"},
        {"caf\xe9 \x80", "café €"},  // Windows-1252
    };
    for (auto [bytes, text] : texts) {
        ASSERT_TRUE(head.LoadTextFile(write("t", bytes)));
        EXPECT_EQ(std::tuple(head.NextBox()->State, head.NextBox()->Edit->toPlainText()), std::tuple(bsTextBox, text));
    }
    EXPECT_FALSE(head.LoadTextFile(dir.filePath("missing.txt")));
    EXPECT_TRUE(messages.back().first.startsWith("Cannot read "));
    EXPECT_EQ(Boxes().size(), 4u);
    BoxFileDialogHook = nullptr;
}

TEST_F(TextBoxes, WorksheetFileTextBoxKeepsItsGeometryAndRichText)
{
    TRtfRun a, b;
    a.Text = "Bold ", a.Font = "DejaVu Sans", a.HalfPoints = 28, a.Bold = true;
    b.Text = "red ΩΣ\xE2\x80\xA8line", b.Font = "DejaVu Serif", b.HalfPoints = 21, b.Italic = b.Underline = true;
    b.HasColor = true, b.Color = 0xFF0000;
    const TRtfDocument doc{{{{a}}, {{}}, {{b}}}};
    const TBoxGeometry g{4, 3, -2, -5, 58, 56, 700, 400, 180, 90};  // anchor, offset, place, drag, size
    TObjBox *text = head.AddTextBox(WriteRtf(doc), g);
    EXPECT_EQ(std::tuple(text->State, text->Geometry(), text->Image->geometry()),
              std::tuple(bsTextBox, g, QRect(58, 56, 180, 90)));
    EXPECT_EQ(ReadRtf(text->RichText()), doc);
}

}  // namespace
