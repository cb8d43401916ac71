// Text boxes and pictures: made new, from files and from the clipboard,
// rendered to pictures and edited again, and the box menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include "BoxFixture.h"
#include "support/Pixels.h"

namespace {

using TextBoxes = BoxTest;

bool Editing(QTextEdit *e)
{
    return e->isVisible() && e->hasFocus() && e->palette().color(QPalette::Base) == BoxEditingColor;
}

TEST_F(TextBoxes, NewTextBoxIsRenderedInPlaceWhenTheGridIsClicked)
{
    head.SetHighlight(true);
    TObjBox *box = head.InsertNewTextBox();
    EXPECT_EQ(std::tuple(box->Edit->toPlainText(), box->Edit->geometry(), box->Kind, Editing(box->Edit)),
              std::tuple("NEW TEXT BOX", QRect(50, 50, 200, 120), bkTextEdit, true));
    ClickGrid();
    EXPECT_EQ(std::tuple(box->Kind, box->State, box->Edit->isVisible(), box->Image->geometry()),
              std::tuple(bkPicture, bsTextBox, false, QRect(50, 50, 200, 120)));
    const QImage shot = grid.viewport()->grab().toImage();  // the box's background, the grid beside it
    EXPECT_EQ(std::pair(shot.pixelColor(200, 150), shot.pixelColor(251, 150)),
              std::pair(BoxHighlightColor, QColor(Qt::white)));
    EXPECT_GT(InkIn(shot, {50, 50, 150, 20}).dark, 20);  // the text's first line
    head.SetHighlight(false);
    head.RefreshTextBoxes();
    TObjBox *right = head.InsertNewTextBox();  // at the right edge: rendered wholly at its own place
    right->Edit->move(500, 50);
    ClickGrid();
    EXPECT_EQ(std::tuple(right->Image->geometry(), right->Picture(), box->Picture().pixelColor(190, 110)),
              std::tuple(QRect(500, 50, 200, 120), box->Picture(), BoxWindowColor));
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

TEST_F(TextBoxes, DoubleClickEditsATextBoxAgainButNotAPictureMadeOfText)
{
    TObjBox *box = head.InsertNewTextBox();
    ClickGrid();
    Drag(box->Image, {{10, 10}, {25, 18}, {40, 27}});
    head.SetHighlight(true);
    TObjBox *picture = head.InsertNewTextBox();  // newer, over the text box's corner, made a plain picture
    picture->Edit->move(250, 150);
    head.RenderEditing();
    EXPECT_EQ(std::tuple(picture->State, picture->Edit.isNull(), picture->Picture().pixelColor(190, 110)),
              std::tuple(bsPicture, true, BoxWindowColor));
    QTest::mouseDClick(box->Image, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(std::tuple(box->Kind, box->Image->isVisible(), box->Edit->geometry(), Editing(box->Edit)),
              std::tuple(bkTextEdit, false, QRect(80, 67, 200, 120), true));
    QTest::mouseDClick(box->Edit->viewport(), Qt::LeftButton, {}, {10, 10});  // a double click in the edit renders it
    EXPECT_EQ(std::pair(box->Kind, grid.viewport()->childAt(260, 160)),
              std::pair(uint8_t(bkPicture), (QWidget *)picture->Image.data()));
    QTest::mouseDClick(picture->Image, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(std::tuple(picture->Kind, picture->State, picture->RichText()), std::tuple(bkPicture, bsPicture, ""));
}

TEST_F(TextBoxes, TooLargeBoxGivesTheMessageOnEveryFocusLoss)
{
    TObjBox *box = head.InsertNewTextBox();
    for (int i = 1; i <= 3; ++i) {  // twice too wide, then narrow enough to render
        box->Edit->resize(grid.width() - (i < 3 ? 10 : 25), 120);
        grid.activateWindow();  // the message box took the activation for a moment
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        box->Edit->setFocus();
        ClickGrid();
        EXPECT_EQ(std::tuple(messages.size(), box->Kind, box->Edit->isVisible()),
                  std::tuple(size_t(std::min(i, 2)), i < 3 ? bkTextEdit : bkPicture, i < 3));
    }
    EXPECT_EQ(messages.back(),
              std::pair(QString("Reduce the box or enlarge the window"), QString("Text Box To Large")));
}

TEST_F(TextBoxes, BoxMenuTogglesItsSettingsAndDeletesWhileItStaysEditing)
{
    TObjBox *a = Picture(10, 10), *box = head.InsertNewTextBox();
    TGridObjectMenu *m = box->Menu;
    QPointer<QTextEdit> e = box->Edit;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {20, 20}, e->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(e->viewport(), &menu);
    QStringList texts{m->Popup->isVisible() ? "shown" : "hidden"};
    for (QAction *a : m->Popup->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(texts.join('|'), "shown|Wrap Word|Lock Text|Scroll Bars|-|Delete TextBox");
    m->Popup->close();
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(e, &toMenu);
    EXPECT_EQ(box->Kind, bkTextEdit);
    auto state = [&] {
        return std::tuple(e->lineWrapMode() == QTextEdit::WidgetWidth, m->WrapWordItem->isChecked(), e->isReadOnly(),
                          m->LockTextItem->isChecked(), e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn,
                          m->ScrollBarsItem->isChecked());
    };
    m->ScrollBarsItem->trigger(), m->WrapWordItem->trigger(), m->LockTextItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, true, true));
    m->ScrollBarsItem->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, true, true, false, false));
    m->DeleteItem->trigger();
    EXPECT_EQ(std::pair(Boxes(), e.isNull()), std::pair(std::vector<TObjBox *>{a}, false));  // the menu still runs
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(e.isNull());
}

TEST_F(TextBoxes, PasteToBoxPrefersThePicture)
{
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::blue);
    auto *both = new QMimeData;
    both->setImageData(img), both->setText("text too");
    QGuiApplication::clipboard()->setMimeData(both);
    ASSERT_TRUE(head.PasteBox());
    EXPECT_EQ(std::tuple(head.NextBox()->State, head.NextBox()->Image->geometry(), head.NextBox()->Picture()),
              std::tuple(bsPicture, QRect(50, 50, 30, 20), img));
    QGuiApplication::clipboard()->setText("pasted words");
    ASSERT_TRUE(head.PasteBox());
    EXPECT_EQ(std::tuple(head.NextBox()->Kind, head.NextBox()->State, head.NextBox()->Edit->toPlainText()),
              std::tuple(bkPicture, bsTextBox, QString("pasted words")));
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(head.PasteBox());
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(TextBoxes, FilesBecomeBoxes)
{
    QTemporaryDir dir;
    QImage img(24, 16, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir.filePath("p.png")));
    QString title;
    BoxFileDialogHook = [&](QWidget *, const QString &t, const QString &) { return title = t, dir.filePath("p.png"); };
    ASSERT_TRUE(head.InsertPictureFile(&grid));
    EXPECT_EQ(std::pair(title, head.NextBox()->Picture()), std::pair(QString("Import Picture :"), img));
    const std::pair<const char *, const char *> texts[] = {
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs30\\b Fett\\b0  \\'e9\\par zwei}", "Fett é\nzwei"},
        {"Grüße\n{\\rtf not at the start", "Grüße\n{\\rtf not at the start"},
        {"caf\xe9 \x80", "café €"},  // Windows-1252
    };
    for (auto [bytes, text] : texts) {
        ASSERT_TRUE(head.LoadTextFile(WriteFile(dir.filePath("t"), {bytes, bytes + strlen(bytes)})));
        EXPECT_EQ(std::tuple(head.NextBox()->State, head.NextBox()->Edit->toPlainText()), std::tuple(bsTextBox, text));
    }
    EXPECT_FALSE(head.LoadPictureFile(WriteFile(dir.filePath("bad.bmp"), {'B', 'M', '!'})));
    EXPECT_FALSE(head.LoadTextFile(dir.filePath("missing.txt")));
    EXPECT_EQ(std::pair(messages[0].first, messages[1].first.left(12)),
              std::pair(QString("Image Load Error"), QString("Cannot read ")));
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
    EXPECT_EQ(std::tuple(text->State, text->Geometry(), text->Image->geometry(), ReadRtf(text->RichText())),
              std::tuple(bsTextBox, g, QRect(58, 56, 180, 90), doc));
}

}  // namespace
