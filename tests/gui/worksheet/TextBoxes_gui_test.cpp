// Text boxes and pictures: made new, from files and from the clipboard,
// rendered to pictures and edited again, and the box menu.
#include <tuple>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

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
    EXPECT_EQ(edit->toPlainText(), "NEW TEXT BOX");
    EXPECT_EQ(edit->geometry(), QRect(50, 50, 200, 120));
    EXPECT_EQ(std::tuple(box->Kind, box->State, box->Width, box->Height), std::tuple(bkTextEdit, bsTextBox, 200, 120));
    EXPECT_TRUE(edit->hasFocus() && BaseOf(edit) == BoxEditingColor);
    ClickGrid();
    EXPECT_EQ(std::tuple(box->Kind, box->State, edit->isVisible()), std::tuple(bkPicture, bsTextBox, false));
    EXPECT_EQ(box->Image->geometry(), QRect(50, 50, 200, 120));
    const QImage shot = grid.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 150), BoxHighlightColor);  // the box's own background
    EXPECT_EQ(shot.pixelColor(251, 150), QColor(Qt::white));  // the grid beside it
    EXPECT_GT(InkIn(shot, {50, 50, 150, 20}).dark, 20);       // the text's first line
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
    ASSERT_EQ(box->Image->pos(), QPoint(80, 67));
    TObjBox *picture = Picture(250, 150);  // newer, over the text box's corner
    DoubleClick(box->Image, {10, 10});
    EXPECT_EQ(std::tuple(box->Kind, box->State, box->Image->isVisible()), std::tuple(bkTextEdit, bsTextBox, false));
    EXPECT_EQ(box->Edit->geometry(), QRect(80, 67, 200, 120));
    EXPECT_TRUE(box->Edit->hasFocus() && BaseOf(box->Edit) == BoxEditingColor);
    DoubleClick(box->Edit, {10, 10});  // a double click in the edit renders it
    EXPECT_EQ(box->Kind, bkPicture);
    EXPECT_EQ(grid.viewport()->childAt(260, 160), picture->Image);  // rendered anew, still under the newer box

    DoubleClick(picture->Image, {5, 5});
    EXPECT_EQ(std::tuple(picture->Kind, picture->State), std::tuple(bkPicture, bsPicture));
}

TEST_F(TextBoxes, BoxAtTheRightEdgeRendersWhollyAtItsOwnPlace)
{
    TObjBox *left = head.InsertNewTextBox();
    ClickGrid();
    TObjBox *right = head.InsertNewTextBox();
    right->Edit->move(500, 50);
    ClickGrid();
    EXPECT_EQ(right->Image->geometry(), QRect(500, 50, 200, 120));
    EXPECT_EQ(right->Picture(), left->Picture());
    EXPECT_GT(InkIn(right->Picture(), {0, 0, 150, 20}).dark, 20);
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
        if (i < 3)
            EXPECT_EQ(BaseOf(box->Edit), BoxEditingColor);
    }
}

TEST_F(TextBoxes, FocusMovingToTheBoxMenuKeepsTheBoxEditing)
{
    TObjBox *box = head.InsertNewTextBox();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {20, 20}, box->Edit->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(box->Edit->viewport(), &menu);
    EXPECT_TRUE(box->Menu->Popup->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(box->Kind, bkTextEdit);
    box->Menu->Popup->close();
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box->Edit, &toMenu);
    EXPECT_EQ(box->Kind, bkTextEdit);
    QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box->Edit, &away);
    EXPECT_EQ(box->Kind, bkPicture);
}

TEST_F(TextBoxes, TextboxToImageMakesAPlainPictureForGood)
{
    head.RenderEditing();  // no text box being edited: nothing
    TObjBox *rendered = head.InsertNewTextBox();
    ClickGrid();
    TObjBox *box = head.InsertNewTextBox();
    head.SetHighlight(true);
    head.RenderEditing();
    EXPECT_EQ(std::tuple(box->Kind, box->State, box->Edit.isNull(), box->Menu),
              std::tuple(bkPicture, bsPicture, true, nullptr));
    EXPECT_EQ(box->Picture().pixelColor(190, 110), BoxWindowColor);  // rendered without the highlight
    EXPECT_EQ(head.Color, BoxHighlightColor);
    EXPECT_EQ(std::tuple(rendered->Kind, rendered->State), std::tuple(bkPicture, bsTextBox));
    DoubleClick(box->Image, {10, 10});
    EXPECT_EQ(std::pair(box->Kind, box->RichText()), std::pair(uint8_t(bkPicture), std::string()));
}

TEST_F(TextBoxes, HighlightRendersTextBoxesAgain)
{
    TObjBox *box = head.InsertNewTextBox();
    ClickGrid();
    EXPECT_EQ(box->Picture().pixelColor(190, 110), BoxWindowColor);
    head.SetHighlight(true);
    head.RefreshTextBoxes();
    EXPECT_EQ(std::tuple(box->Kind, box->Picture().pixelColor(190, 110)), std::tuple(bkPicture, BoxHighlightColor));
    head.SetHighlight(false);
    head.RefreshTextBoxes();
    EXPECT_EQ(box->Picture().pixelColor(190, 110), BoxWindowColor);
}

TEST_F(TextBoxes, MenuItemsToggleTheirSettings)
{
    TObjBox *box = head.InsertNewTextBox();
    TGridObjectMenu *m = box->Menu;
    QTextEdit *e = box->Edit;
    QStringList texts;
    for (QAction *a : m->Popup->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(texts, QStringList({"Wrap Word", "Lock Text", "Scroll Bars", "-", "Delete TextBox"}));
    auto state = [&] {
        return std::tuple(e->lineWrapMode() == QTextEdit::WidgetWidth, m->WrapWordItem->isChecked(), e->isReadOnly(),
                          m->LockTextItem->isChecked(),
                          e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn &&
                              e->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn,
                          m->ScrollBarsItem->isChecked());
    };
    EXPECT_EQ(state(), std::tuple(true, true, false, false, false, false));
    m->ScrollBarsItem->trigger();
    m->WrapWordItem->trigger();
    m->LockTextItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, true, true));
    m->ScrollBarsItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, false, false));
    EXPECT_EQ(e->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    ClickGrid();
    m->LockTextItem->trigger();  // only while the box is edited
    EXPECT_TRUE(e->isReadOnly());
}

TEST_F(TextBoxes, MenuDeleteLeavesTheListIntact)
{
    TObjBox *a = Picture(10, 10);
    TObjBox *t = head.InsertNewTextBox();
    TObjBox *c = Picture(300, 10);
    QPointer<QTextEdit> edit = t->Edit;
    t->Menu->DeleteItem->trigger();
    EXPECT_EQ(Boxes(), (std::vector<TObjBox *>{c, a}));
    EXPECT_TRUE(c->Prev == &head && a->Prev == c && a->Next == nullptr);
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
    EXPECT_EQ(std::tuple(pic->Kind, pic->State, pic->Image->geometry()),
              std::tuple(bkPicture, bsPicture, QRect(50, 50, 30, 20)));
    EXPECT_EQ(std::pair(pic->Picture().pixelColor(5, 5), pic->Bitmap.size()),
              std::pair(QColor(Qt::blue), QSize(30, 20)));

    QGuiApplication::clipboard()->setText("pasted words");
    ASSERT_TRUE(head.PasteBox());
    TObjBox *text = head.NextBox();
    EXPECT_EQ(std::tuple(text->Kind, text->State), std::tuple(bkPicture, bsTextBox));
    EXPECT_EQ(std::pair(text->Edit->toPlainText(), text->Edit->textCursor().position()),
              std::pair(QString("pasted words"), 0));

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
    ASSERT_TRUE(head.LoadPictureFile(dir.filePath("p.png")));
    EXPECT_EQ(std::tuple(head.NextBox()->Kind, head.NextBox()->Image->geometry()),
              std::tuple(bkPicture, QRect(50, 50, 24, 16)));
    EXPECT_FALSE(head.LoadPictureFile(write("bad.bmp", "BM not a picture")));
    EXPECT_EQ(messages.back().first, "Image Load Error");

    const std::pair<const char *, const char *> texts[] = {
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs30\\b Fett\\b0  \\'e9\\par zwei}", "Fett é\nzwei"},
        {"Grüße\n{\\rtf not at the start", "Grüße\n{\\rtf not at the start"},
        {"caf\xe9 \x80", "café €"},  // Windows-1252
    };
    for (auto [bytes, text] : texts) {
        ASSERT_TRUE(head.LoadTextFile(write("t", bytes)));
        TObjBox *box = head.NextBox();
        EXPECT_EQ(std::tuple(box->Kind, box->State, box->Edit->toPlainText()), std::tuple(bkPicture, bsTextBox, text));
    }
    EXPECT_GE(
        head.NextBox()->NextBox()->NextBox()->Edit->document()->begin().begin().fragment().charFormat().fontWeight(),
        QFont::Bold);
    const size_t count = Boxes().size();
    EXPECT_FALSE(head.LoadTextFile(dir.filePath("missing.txt")));
    EXPECT_TRUE(messages.back().first.startsWith("Cannot read "));
    EXPECT_EQ(Boxes().size(), count);

    QString title, filter;
    BoxFileDialogHook = [&](QWidget *, const QString &t, const QString &f) {
        title = t, filter = f;
        return QString();
    };
    EXPECT_FALSE(head.InsertPictureFile(&grid));
    EXPECT_EQ(title, "Import Picture :");
    EXPECT_TRUE(filter.contains("*.png") && filter.contains("*.bmp") && filter.contains("*.jpg"));
    EXPECT_FALSE(head.InsertTextFile(&grid));
    EXPECT_EQ(std::tuple(title, filter, Boxes().size()), std::tuple(QString(), QString(), count));
    BoxFileDialogHook = [&](QWidget *, const QString &, const QString &) { return dir.filePath("p.png"); };
    EXPECT_TRUE(head.InsertPictureFile(&grid));
}

TEST_F(TextBoxes, WorksheetFileBoxesKeepGeometryAndRichText)
{
    TRtfRun a, b, c;
    a.Text = "Bold ", a.Font = "DejaVu Sans", a.HalfPoints = 28, a.Bold = true;
    b.Text = "red italic", b.Font = "DejaVu Serif", b.HalfPoints = 20, b.Italic = true, b.HasColor = true,
    b.Color = 0xFF0000;
    c.Text = "under ΩΣ\xE2\x80\xA8line", c.Font = "DejaVu Sans", c.HalfPoints = 21, c.Underline = true;
    const TRtfDocument doc{{{{a, b}}, {{}}, {{c}}}};
    const TBoxGeometry g{4, 3, -2, -5, 58, 56, 700, 400, 180, 90};  // anchor, offset, place, drag, size
    TObjBox *text = head.AddTextBox(WriteRtf(doc), g);
    EXPECT_EQ(std::tuple(text->Kind, text->State, text->Geometry()), std::tuple(bkPicture, bsTextBox, g));
    EXPECT_EQ(text->Image->geometry(), QRect(58, 56, 180, 90));
    EXPECT_EQ(ReadRtf(text->RichText()), doc);

    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::yellow);
    TObjBox *pic = head.AddPictureBox(img, g);
    EXPECT_EQ(std::tuple(pic->Kind, pic->State, pic->Geometry()), std::tuple(bkPicture, bsPicture, g));
    EXPECT_EQ(pic->Picture(), img);
    DoubleClick(pic->Image, {2, 2});
    EXPECT_EQ(pic->Kind, bkPicture);
}

}  // namespace
