// Text boxes and pictures: made new, from files and the clipboard, rendered and edited again, the box menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include "BoxFixture.h"
#include "support/Pixels.h"

namespace {

using TextBoxes = BoxTest;

TEST_F(TextBoxes, TextBoxIsRenderedInPlaceWithoutSelectionOrCaretUnlessTooLarge)
{
    QApplication::setCursorFlashTime(0);  // the caret shows all the time while focused
    head.SetHighlight(true);
    TObjBox *box = head.InsertNewTextBox();
    EXPECT_EQ(std::pair(box->Edit->hasFocus(), box->Edit->palette().color(QPalette::Base)),
              std::pair(true, BoxEditingColor));
    ClickGrid();
    EXPECT_EQ(std::tuple(box->Kind, box->State, box->Edit->isVisible(), box->Image->geometry()),
              std::tuple(bkPicture, bsTextBox, false, QRect(50, 50, 200, 120)));
    const QImage shot = grid.viewport()->grab().toImage();  // the box's background, the grid beside it
    EXPECT_EQ(std::pair(shot.pixelColor(200, 150), shot.pixelColor(251, 150)),
              std::pair(BoxHighlightColor, QColor(Qt::white)));
    EXPECT_GT(InkIn(shot, {50, 50, 150, 20}).dark, 20);                             // the text's first line
    for (const auto anchor : {QTextCursor::KeepAnchor, QTextCursor::MoveAnchor}) {  // with a selection, then without
        head.EditTextBox(box);
        box->Edit->setFocus();
        box->Edit->moveCursor(QTextCursor::End, anchor);
        ASSERT_TRUE(box->Edit->hasFocus() && head.RenderTextBox(box)) << anchor;
        const QImage shown = box->Picture();
        box->Edit->setTextCursor(QTextCursor(box->Edit->document()));  // hidden: no caret, no selection
        head.RefreshTextBoxes();
        EXPECT_EQ(shown, box->Picture()) << anchor;
    }
    QApplication::setCursorFlashTime(1000);
    head.SetHighlight(false), head.RefreshTextBoxes();
    TObjBox *right = head.InsertNewTextBox();
    for (int i = 1; i <= 3; ++i) {  // twice too wide, the message each time; then at the right edge
        right->Edit->setGeometry(i < 3 ? QRect(50, 50, grid.width() - 24, 120) : QRect(500, 50, 200, 120));
        grid.activateWindow();  // the message box took the activation for a moment
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        right->Edit->setFocus();
        ClickGrid();
        EXPECT_EQ(std::tuple(messages.size(), right->Kind),
                  std::tuple(size_t(std::min(i, 2)), i < 3 ? bkTextEdit : bkPicture));
    }
    EXPECT_EQ(messages.back(),
              std::pair(QString("Reduce the box or enlarge the window"), QString("Text Box To Large")));
    EXPECT_EQ(std::tuple(right->Image->geometry(), right->Picture(), box->Picture().pixelColor(190, 110)),
              std::tuple(QRect(500, 50, 200, 120), box->Picture(), BoxWindowColor));  // rendered wholly in place
}

TEST_F(TextBoxes, ABoxOnePixelUnderTheWindowsLimitIsRendered)
{
    const QSize limit = grid.size() - QSize(24, 24);  // as wide or as high as this: too large
    const std::pair<QSize, bool> rows[] = {
        {{limit.width() - 1, 120}, true},
        {{200, limit.height() - 1}, true},
        {{200, limit.height()}, false},
    };  // the box's size, then whether it is rendered without a message
    for (const auto &[size, rendered] : rows) {
        TObjBox *box = head.InsertNewTextBox();
        box->Edit->resize(size), messages.clear();
        const bool done = head.RenderTextBox(box);
        EXPECT_EQ(std::tuple(done, box->Kind == bkPicture, messages.empty()), std::tuple(rendered, rendered, rendered))
            << size.width() << " x " << size.height();
    }
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
    EXPECT_EQ(std::tuple(box->Kind, box->Image->isVisible(), box->Edit->geometry(), box->Edit->hasFocus(),
                         box->Edit->palette().color(QPalette::Base)),
              std::tuple(bkTextEdit, false, QRect(80, 67, 200, 120), true, BoxEditingColor));
    QTest::mouseDClick(box->Edit->viewport(), Qt::LeftButton, {}, {10, 10});  // a double click in the edit renders it
    EXPECT_EQ(std::pair(box->Kind, grid.viewport()->childAt(260, 160)),
              std::pair(uint8_t(bkPicture), (QWidget *)picture->Image.data()));
    QTest::mouseDClick(picture->Image, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(std::tuple(picture->Kind, picture->State, picture->RichText()), std::tuple(bkPicture, bsPicture, ""));
}

TEST_F(TextBoxes, BoxMenuTogglesItsSettingsAndDeletesWhileItStaysEditing)
{
    TObjBox *a = Picture(10, 10), *box = head.InsertNewTextBox();
    TGridObjectMenu *m = box->Menu;
    QPointer<QTextEdit> e = box->Edit;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {20, 20}, e->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(e->viewport(), &menu);
    auto state = [&] {  // the items, checked ones starred; then wrapped, read-only, scroll bars
        QString s = m->Popup->isVisible() ? "shown" : "";
        for (QAction *a : m->Popup->actions())
            s += "|" + (a->isSeparator() ? "-" : a->text() + (a->isChecked() ? "*" : ""));
        return s + QString::asprintf("|%d%d%d", e->lineWrapMode() == QTextEdit::WidgetWidth, e->isReadOnly(),
                                     e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn);
    };
    EXPECT_EQ(state(), "shown|Wrap Word*|Lock Text|Scroll Bars|-|Delete TextBox|100");
    m->Popup->close();
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(e, &toMenu);
    m->ScrollBarsItem->trigger(), m->WrapWordItem->trigger(), m->LockTextItem->trigger();
    EXPECT_EQ(std::tuple(box->Kind, state()),
              std::tuple(bkTextEdit, QString("|Wrap Word|Lock Text*|Scroll Bars*|-|Delete TextBox|011")));
    m->DeleteItem->trigger();
    EXPECT_EQ(std::pair(Boxes(), e.isNull()), std::pair(std::vector<TObjBox *>{a}, false));  // the menu still runs
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(e.isNull());
}

TEST_F(TextBoxes, ClipboardFilesAndTheWorksheetFileBecomeBoxes)
{
    QTemporaryDir dir;
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(dir.filePath("p.png")));
    auto *both = new QMimeData;  // the picture is preferred
    both->setImageData(img), both->setText("text too");
    QGuiApplication::clipboard()->setMimeData(both);
    ASSERT_TRUE(head.PasteBox());
    EXPECT_EQ(std::tuple(head.NextBox()->State, head.NextBox()->Picture()), std::tuple(bsPicture, img));
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(head.PasteBox());
    QString title;
    BoxFileDialogHook = [&](QWidget *, const QString &t, const QString &) { return title = t, dir.filePath("p.png"); };
    ASSERT_TRUE(head.InsertPictureFile(&grid));
    EXPECT_EQ(std::pair(title, head.NextBox()->Picture()), std::pair(QString("Import Picture :"), img));
    BoxFileDialogHook = nullptr;
    const std::pair<const char *, const char *> texts[] = {
        {nullptr, "pasted words"},  // from the clipboard
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs30\\b Fett\\b0  \\'e9\\par zwei}", "Fett é\nzwei"},
        {"Grüße\n{\\rtf not at the start", "Grüße\n{\\rtf not at the start"},
        {"caf\xe9 \x80", "café €"},  // Windows-1252
    };
    for (auto [bytes, text] : texts) {
        ASSERT_TRUE(bytes ? head.LoadTextFile(WriteFile(dir.filePath("t"), {bytes, bytes + strlen(bytes)}))
                          : (QGuiApplication::clipboard()->setText(text), head.PasteBox()));
        EXPECT_EQ(std::tuple(head.NextBox()->Kind, head.NextBox()->State, head.NextBox()->Edit->toPlainText()),
                  std::tuple(bkPicture, bsTextBox, text));
    }
    EXPECT_FALSE(head.LoadPictureFile(WriteFile(dir.filePath("bad.bmp"), {'B', 'M', '!'})));
    EXPECT_FALSE(head.LoadTextFile(dir.filePath("missing.txt")));
    EXPECT_EQ(messages[0].first + "|" + messages[1].first.left(12), "Image Load Error|Cannot read ");
    EXPECT_EQ(Boxes().size(), 6u);
    // A text box as the worksheet file gives it keeps its geometry and its rich text.
    const TRtfRun a{"Bold ", "DejaVu Sans", 28, true},
        b{"red ΩΣ\xE2\x80\xA8line", "DejaVu Serif", 21, false, true, true, true, 0xFF0000};
    const TRtfDocument doc{{{{a}}, {{}}, {{b}}}};
    const TBoxGeometry g{4, 3, -2, -5, 58, 56, 700, 400, 180, 90};  // anchor, offset, place, drag, size
    TObjBox *text = head.AddTextBox(WriteRtf(doc), g);
    EXPECT_EQ(std::tuple(text->State, text->Geometry(), text->Image->geometry(), ReadRtf(text->RichText())),
              std::tuple(bsTextBox, g, QRect(58, 56, 180, 90), doc));
}

}  // namespace
