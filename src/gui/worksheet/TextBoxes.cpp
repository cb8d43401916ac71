#include "TextBoxes.h"

#include <cmath>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "ObjectBoxes.h"
#include "platform/GridWidget.h"
#include "platform/MessageBox.h"

std::function<QString(QWidget *, const QString &, const QString &)> BoxFileDialogHook =
    [](QWidget *owner, const QString &title, const QString &filter) {
        return QFileDialog::getOpenFileName(owner, title, QString(), filter);
    };

namespace {

const QPoint newBoxPlace(50, 50);

void SetEditColor(QTextEdit *edit, const QColor &c)
{
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, c);
    edit->setPalette(pal);
}

// A text edit over the grid as every text box has it.
QTextEdit *MakeTextEdit(QWidget *parent, const QRect &geometry)
{
    auto *edit = new QTextEdit(parent);
    edit->setGeometry(geometry);
    QFont f = edit->font();
    f.setPointSize(10);
    edit->setFont(f);
    edit->setFrameStyle(QFrame::NoFrame);
    edit->setMinimumSize(40, 24);
    edit->show();
    return edit;
}

QLabel *MakePicture(QWidget *parent, const QImage &picture, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap::fromImage(picture));
    label->show();
    return label;
}

// The picture shows the text alone: the selection and the caret (on or off
// with the blink) are left out and given back afterwards.
void RenderTextOnly(QTextEdit *edit, QImage &picture)
{
    const QTextCursor cursor = edit->textCursor();
    const Qt::TextInteractionFlags flags = edit->textInteractionFlags();
    // Setting the cursor scrolls it into view: the text stays where the user left it.
    const int x = edit->horizontalScrollBar()->value(), y = edit->verticalScrollBar()->value();
    auto setCursor = [&](const QTextCursor &c) {
        edit->setTextCursor(c);
        edit->horizontalScrollBar()->setValue(x);
        edit->verticalScrollBar()->setValue(y);
    };
    QTextCursor plain = cursor;
    plain.clearSelection();
    edit->setTextInteractionFlags(Qt::NoTextInteraction);
    setCursor(plain);
    edit->render(&picture);
    setCursor(cursor);
    edit->setTextInteractionFlags(flags);
}

void CaretToStart(QTextEdit *edit)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(0);
    edit->setTextCursor(c);
}

// Text in any Unicode form that Qt recognises, else Windows-1252 bytes.
QString DecodePlainText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8(bytes);
    if (!utf8.hasError())
        return s;
    s.clear();
    for (const char c : bytes)
        s += QString::fromUcs4(std::u32string(1, FromCp1252(static_cast<unsigned char>(c))).data(), 1);
    return s;
}

void SetContent(QTextEdit *edit, const QByteArray &bytes)
{
    if (IsRtf(std::string_view(bytes.constData(), size_t(bytes.size()))))
        DocumentFromRtf(*edit->document(), ReadRtf(std::string_view(bytes.constData(), size_t(bytes.size()))));
    else
        edit->setPlainText(DecodePlainText(bytes));
}

}  // namespace

// ---------------------------------------------------------------------------
// Rich text of the text edit

TRtfDocument RtfFromDocument(const QTextDocument &doc)
{
    TRtfDocument rtf;
    const qreal defaultPoints = doc.defaultFont().pointSizeF();
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
        TRtfParagraph p;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid())
                continue;
            const QTextCharFormat cf = f.charFormat();
            TRtfRun r;
            r.Text = f.text().remove(QChar::ObjectReplacementCharacter).toStdString();
            if (const QStringList fam = cf.fontFamilies().toStringList(); !fam.isEmpty())
                r.Font = fam.first().toStdString();
            const qreal points = cf.hasProperty(QTextFormat::FontPointSize) ? cf.fontPointSize() : defaultPoints;
            r.HalfPoints = points > 0 ? int(std::lround(points * 2)) : 24;
            r.Bold = cf.fontWeight() >= QFont::Bold;
            r.Italic = cf.fontItalic();
            r.Underline = cf.fontUnderline();
            if (cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush) {
                r.HasColor = true;
                r.Color = cf.foreground().color().rgb() & 0xFFFFFF;
            }
            p.Runs.push_back(std::move(r));
        }
        rtf.Paragraphs.push_back(std::move(p));
    }
    return rtf;
}

void DocumentFromRtf(QTextDocument &doc, const TRtfDocument &rtf)
{
    doc.clear();
    QTextCursor cur(&doc);
    for (size_t i = 0; i < rtf.Paragraphs.size(); ++i) {
        if (i > 0)
            cur.insertBlock();
        for (const TRtfRun &r : rtf.Paragraphs[i].Runs) {
            QTextCharFormat f;
            if (!r.Font.empty())
                f.setFontFamilies(QStringList{QString::fromStdString(r.Font)});
            f.setFontPointSize(r.HalfPoints / 2.0);
            f.setFontWeight(r.Bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.Italic);
            f.setFontUnderline(r.Underline);
            if (r.HasColor)
                f.setForeground(QColor::fromRgb(QRgb(r.Color)));
            cur.insertText(QString::fromStdString(r.Text), f);
        }
    }
}

// ---------------------------------------------------------------------------
// The box menu

TGridObjectMenu::TGridObjectMenu(TObjBox *box, QTextEdit *edit) : QObject(edit), Box(box)
{
    Popup = new QMenu(edit);
    auto item = [this](const char *text, bool checked, void (TGridObjectMenu::*click)()) {
        QAction *a = Popup->addAction(QString::fromLatin1(text));
        a->setCheckable(checked);
        a->setChecked(checked);
        connect(a, &QAction::triggered, this, click);
        return a;
    };
    WrapWordItem = item("Wrap Word", true, &TGridObjectMenu::WrapWordClick);
    LockTextItem = item("Lock Text", false, &TGridObjectMenu::LockTextClick);
    ScrollBarsItem = item("Scroll Bars", false, &TGridObjectMenu::ScrollBarsClick);
    LockTextItem->setCheckable(true);
    ScrollBarsItem->setCheckable(true);
    SeparatorItem = Popup->addSeparator();
    DeleteItem = item("Delete TextBox", false, &TGridObjectMenu::DeleteTextBoxClick);
    edit->setLineWrapMode(QTextEdit::WidgetWidth);
    edit->setReadOnly(false);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TGridObjectMenu::WrapWordClick()
{
    if (!Box || Box->Kind != bkTextEdit)
        return;
    const bool wrap = Box->Edit->lineWrapMode() == QTextEdit::NoWrap;
    Box->Edit->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    WrapWordItem->setChecked(wrap);
}

void TGridObjectMenu::LockTextClick()
{
    if (!Box || Box->Kind != bkTextEdit)
        return;
    Box->Edit->setReadOnly(!Box->Edit->isReadOnly());
    LockTextItem->setChecked(Box->Edit->isReadOnly());
}

void TGridObjectMenu::ScrollBarsClick()
{
    if (!Box || Box->Kind != bkTextEdit)
        return;
    QTextEdit *e = Box->Edit;
    const bool none = e->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
                      e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
    const Qt::ScrollBarPolicy p = none ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    e->setHorizontalScrollBarPolicy(p);
    e->setVerticalScrollBarPolicy(p);
    ScrollBarsItem->setChecked(none);
}

void TGridObjectMenu::DeleteTextBoxClick()
{
    if (Box)
        Box->Head()->DeleteBox(Box);
}

// ---------------------------------------------------------------------------
// Making boxes

bool TObjBox::NewTextBox(QTextEdit *&edit, TObjBox *&box)
{
    edit = MakeTextEdit(Grid->viewport(), QRect(newBoxPlace, QSize(200, 120)));
    box = AddBox(edit);
    if (!box) {
        delete edit;
        edit = nullptr;
        return false;
    }
    CreateBoxMenu(box);
    return true;
}

bool TObjBox::NewPictureBox(QLabel *&image)
{
    image = new QLabel(Grid->viewport());
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return true;
}

bool TObjBox::SetPicture(QLabel *image, const QImage &bitmap)
{
    image->setGeometry(QRect(newBoxPlace, bitmap.size()));
    image->setPixmap(QPixmap::fromImage(bitmap));
    image->show();
    TObjBox *box = AddBox(image);
    if (!box) {
        delete image;
        return false;
    }
    box->Bitmap = bitmap;
    return true;
}

TObjBox *TObjBox::InsertNewTextBox()
{
    QTextEdit *edit;
    TObjBox *box;
    if (!NewTextBox(edit, box))
        return nullptr;
    box->State = bsTextBox;
    EditTextBox(box);
    edit->setPlainText(QStringLiteral("NEW TEXT BOX"));
    SetEditColor(edit, BoxEditingColor);
    edit->setFocus(Qt::OtherFocusReason);
    return box;
}

bool TObjBox::InsertTextFile(QWidget *owner)
{
    const QString path = BoxFileDialogHook(owner, QString(), QString());
    return !path.isEmpty() && LoadTextFile(path);
}

bool TObjBox::LoadTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageBox(Grid->window(), QStringLiteral("Cannot read %1:\n%2").arg(path, file.errorString()),
                       QGuiApplication::applicationDisplayName());
        return false;
    }
    const QByteArray bytes = file.readAll();
    QTextEdit *edit;
    TObjBox *box;
    if (!NewTextBox(edit, box))
        return false;
    SetContent(edit, bytes);
    CaretToStart(edit);
    box->State = bsTextBox;
    edit->repaint();
    return RenderTextBox(box);
}

bool TObjBox::InsertPictureFile(QWidget *owner)
{
    QStringList patterns;
    for (const QByteArray &f : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(f);
    const QString path = BoxFileDialogHook(owner, QStringLiteral("Import Picture :"),
                                           QStringLiteral("Pictures (%1)").arg(patterns.join(' ')));
    return !path.isEmpty() && LoadPictureFile(path);
}

bool TObjBox::LoadPictureFile(const QString &path)
{
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        ShowMessageBox(Grid->window(), QStringLiteral("Image Load Error"), QGuiApplication::applicationDisplayName());
        return false;
    }
    QLabel *image;
    return NewPictureBox(image) && SetPicture(image, picture);
}

bool TObjBox::PasteBox()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    if (data->hasImage()) {
        const QImage picture = qvariant_cast<QImage>(data->imageData());
        QLabel *image;
        if (!picture.isNull())
            return NewPictureBox(image) && SetPicture(image, picture);
    }
    if (data->hasText()) {
        QTextEdit *edit;
        TObjBox *box;
        if (!NewTextBox(edit, box))
            return false;
        edit->paste();
        CaretToStart(edit);
        box->State = bsTextBox;
        edit->repaint();
        return RenderTextBox(box);
    }
    return false;
}

void TObjBox::CreateBoxMenu(TObjBox *box)
{
    if (box && box->Edit)
        box->Menu = new TGridObjectMenu(box, box->Edit);
}

TObjBox *TObjBox::AddPictureBox(const QImage &picture, const TBoxGeometry &geometry)
{
    QLabel *label =
        MakePicture(Grid->viewport(), picture, QRect(geometry.Left, geometry.Top, geometry.Width, geometry.Height));
    TObjBox *box = AddBox(label);
    if (!box) {
        delete label;
        return nullptr;
    }
    box->Geometry() = geometry;
    return box;
}

TObjBox *TObjBox::AddTextBox(std::string_view rtf, const TBoxGeometry &geometry)
{
    QTextEdit *edit =
        MakeTextEdit(Grid->viewport(), QRect(geometry.Left, geometry.Top, geometry.Width, geometry.Height));
    SetContent(edit, QByteArray(rtf.data(), qsizetype(rtf.size())));
    CaretToStart(edit);
    TObjBox *box = AddBox(edit);
    if (!box) {
        delete edit;
        return nullptr;
    }
    CreateBoxMenu(box);
    box->Geometry() = geometry;
    box->State = bsTextBox;
    RenderTextBox(box);
    return box;
}

QImage TObjBox::Picture() const
{
    return Image ? Image->pixmap().toImage() : QImage();
}

std::string TObjBox::RichText() const
{
    return Edit ? WriteRtf(RtfFromDocument(*Edit->document())) : std::string();
}

// ---------------------------------------------------------------------------
// Rendering and editing again

bool TObjBox::RenderTextBox(TObjBox *box)
{
    if (!box || box->Kind != bkTextEdit || !box->Edit)
        return false;
    QTextEdit *edit = box->Edit;
    if (edit->width() >= Grid->width() - 24 || edit->height() >= Grid->height() - 24) {
        ShowMessageBox(Grid->window(), QStringLiteral("Reduce the box or enlarge the window"),
                       QStringLiteral("Text Box To Large"));
        return false;
    }
    Busy = 1;
    if (box->Image) {
        box->Image->hide();
        box->Image->deleteLater();
    }
    // The document is drawn into an image of the box's size; a copy of the
    // screen would take whatever lies over the box.
    SetEditColor(edit, Color);
    QImage picture(edit->size(), QImage::Format_RGB32);
    if (picture.isNull()) {
        Busy = 0;
        return false;
    }
    picture.fill(Color);
    RenderTextOnly(edit, picture);
    QLabel *label = MakePicture(Grid->viewport(), picture, edit->geometry());
    label->hide();
    // In its box's place among the boxes: newer boxes stay over it, as on paper.
    label->stackUnder(edit);
    Watch(label);
    box->Image = label;
    box->Kind = bkPicture;
    ReleaseFocus(edit);
    edit->hide();
    label->show();
    Busy = 0;
    return true;
}

void TObjBox::EditTextBox(TObjBox *box)
{
    if (!box || box->Kind != bkPicture || !box->Edit)
        return;
    box->Edit->move(box->Image->pos());
    box->State = bsTextBox;
    box->Image->hide();
    box->Edit->show();
    box->Kind = bkTextEdit;
    SetEditColor(box->Edit, BoxEditingColor);
}

void TObjBox::RenderEditing()
{
    TObjBox *box = NextBox();
    while (box && box->Kind != bkTextEdit)
        box = box->NextBox();
    if (!box)
        return;
    const QColor saved = Color;
    Color = BoxWindowColor;
    if (RenderTextBox(box)) {
        box->State = bsPicture;
        box->Edit->deleteLater();
        box->Edit = nullptr;
        box->Menu = nullptr;
    }
    Color = saved;
}

void TObjBox::SetHighlight(bool on)
{
    Color = on ? BoxHighlightColor : BoxWindowColor;
}

void TObjBox::RefreshTextBoxes()
{
    for (TObjBox *b = NextBox(); b; b = b->NextBox())
        if (b->State == bsTextBox && b->Kind == bkPicture) {
            EditTextBox(b);
            RenderTextBox(b);
        }
}

void TObjBox::BoxEnter(QWidget *sender)
{
    if (TObjBox *box = FindBox(sender); box && box->Edit)
        SetEditColor(box->Edit, BoxEditingColor);
}

void TObjBox::BoxExit(QWidget *sender)
{
    // Rendering hides the edit, which moves the focus away from it.
    if (Busy)
        return;
    TObjBox *box = FindBox(sender);
    if (!box || !box->Edit)
        return;
    SetEditColor(box->Edit, Color);
    if (RenderTextBox(box))
        box->MouseIsDown = box->Moving = 0;
    else
        SetEditColor(box->Edit, BoxEditingColor);
}

void TObjBox::BoxDblClick(QWidget *sender)
{
    TObjBox *box = FindBox(sender);
    if (!box)
        return;
    if (box->Kind == bkPicture && box->State == bsTextBox && box->Edit) {
        EditTextBox(box);
        box->Edit->setFocus(Qt::MouseFocusReason);
    } else if (box->Kind == bkTextEdit) {
        RenderTextBox(box);
    }
}
