#include "VelmoraMenus.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>

#include "platform/GridWidget.h"
#include "platform/MessageBox.h"
#include "shell/Preferences.h"
#include "worksheet/CellPainter.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/UndoEd.h"

namespace {

// Far beyond any sheet with its boxes; a larger file is not read into memory.
constexpr qint64 MaxFileSize = qint64(256) << 20;

QString Quoted(const std::string &path)
{
    return "\"" + QString::fromStdString(path) + "\"";
}

}  // namespace

std::vector<TFileBox> TObjBoxFiles::FileBoxes()
{
    std::vector<TFileBox> boxes;
    for (TObjBox *b = head_ ? head_->NextBox() : nullptr; b; b = b->NextBox()) {
        const TBoxGeometry &g = b->Geometry();
        TFileBox box{
            b->Kind, b->State, {g.Col, g.Row, g.DX, g.DY, g.Left, g.Top, g.DragX, g.DragY, g.Width, g.Height}, {}, {}};
        if (box.SavedAsText()) {
            const std::string rtf = b->RichText();
            box.Text.assign(rtf.begin(), rtf.end());
        } else if (box.Saved()) {
            QByteArray bmp;
            QBuffer buffer(&bmp);
            buffer.open(QIODevice::WriteOnly);
            (b->Picture().isNull() ? b->Bitmap : b->Picture()).save(&buffer, "BMP");
            box.Picture.assign(bmp.begin(), bmp.end());
        }
        boxes.push_back(std::move(box));
    }
    return boxes;
}

void TObjBoxFiles::DeleteBoxes()
{
    if (head_)
        head_->DeleteBoxesOf(head_->GetEditor());
}

void TObjBoxFiles::AddFileBox(const TFileBox &box, const QImage &picture)
{
    if (!head_)
        return;
    const auto &g = box.Geometry;
    TBoxGeometry geometry{g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7], g[8], g[9]};
    // Opening places every box from its cell and offsets anyway; the stored
    // Left and Top, which may lie anywhere, do not even make the control.
    ::PlaceBox(geometry, head_->Metrics());
    if (box.SavedAsText())
        head_->AddTextBox(std::string_view(reinterpret_cast<const char *>(box.Text.data()), box.Text.size()), geometry);
    else
        head_->AddPictureBox(picture, geometry);
}

bool TObjBoxFiles::PasteBox()
{
    return head_ && head_->PasteBox();
}

void TObjBoxFiles::SetHighlight(bool on)
{
    if (head_)
        head_->SetHighlight(on);
}

void TObjBoxFiles::RefreshTextBoxes()
{
    if (head_)
        head_->RefreshTextBoxes();
}

QString SheetTextToUnicode(const std::string &text)
{
    QString out;
    out.reserve(qsizetype(text.size()));
    for (char c : text) {
        const auto ch = uint8_t(c);
        const char16_t u = TextFontChar(ch);
        // Control characters and the code page's holes keep their code.
        out += QChar(u != 0 ? u : char16_t(ch));
    }
    return out;
}

std::string UnicodeToSheetText(const QString &text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    for (QChar q : text) {
        const char16_t u = q.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            byte = char(u);
        else
            for (int ch = 0x80; ch < 0xA0; ++ch)
                if (TextFontChar(uint8_t(ch)) == u || (TextFontChar(uint8_t(ch)) == 0 && u == ch)) {
                    byte = char(ch);
                    break;
                }
        out += byte;
    }
    return out;
}

bool TVelmoraMenus::TQtClipboardText::HasText() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::string TVelmoraMenus::TQtClipboardText::Text() const
{
    return UnicodeToSheetText(QApplication::clipboard()->text());
}

void TVelmoraMenus::TQtClipboardText::SetText(const std::string &text)
{
    QApplication::clipboard()->setText(SheetTextToUnicode(text));
}

TVelmoraMenus::TVelmoraMenus(GridWidget &grid, TBoxAdapter &boxes, QWidget *dialogParent)
    : grid_(grid), boxes_(boxes), dialogParent_(dialogParent)
{
}

QString TVelmoraMenus::ChooseFile(bool save, const QString &title, const QString &filter)
{
    const TFileDialogRequest request{save, title, filter, "rec"};
    if (FileDialog)
        return FileDialog(request);
    QFileDialog dialog(dialogParent_, title, QString(), filter);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void TVelmoraMenus::Message(const QString &title, const QString &text)
{
    ShowMessageBox(dialogParent_, text, title);
}

bool TVelmoraMenus::OpenFile()
{
    const QString path = ChooseFile(false, "Open File :", "rec (*.rec);;all (*.*)");
    return !path.isEmpty() && OpenFileNamed(path);
}

bool TVelmoraMenus::OpenFileNamed(const QString &path)
{
    const std::string name = path.toStdString();
    // Only a file has an end: a pipe would block the opening, a device such
    // as /dev/zero would be read until memory runs out.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        Message("Open File", Quoted(name) + " cannot be opened: it is not a file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Message("Open File", Quoted(name) + " cannot be opened: " + file.errorString() + ".");
        return false;
    }
    if (file.size() > MaxFileSize) {
        Message("Open File", Quoted(name) + " cannot be opened: it is too large to be a worksheet.");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Message("Open File", Quoted(name) + " cannot be read: " + file.errorString() + ".");
        return false;
    }
    const TReadResult read = ReadWorksheet(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()),
                                           EditText.ColMax, EditText.RowMax);
    std::vector<QImage> pictures;
    QString error = QString::fromStdString(read.Error);
    for (const TFileBox &box : read.Sheet.Boxes) {
        if (!error.isEmpty())
            break;
        QImage picture;
        if (!box.SavedAsText() && !picture.loadFromData(box.Picture.data(), qsizetype(box.Picture.size()), "BMP"))
            error = "a picture cannot be decoded";
        pictures.push_back(picture);
    }
    if (!error.isEmpty()) {
        Message("Open File", Quoted(name) + " cannot be opened: " + error + ".");
        return false;
    }

    ApplyLoadedSheet(read.Sheet, EditText);
    boxes_.DeleteBoxes();
    // The file holds the newest box first. Each box read goes to the front
    // of the list and gets its control over the ones made before: taken
    // oldest first, they lie as they lay when they were saved.
    for (size_t i = read.Sheet.Boxes.size(); i-- > 0;)
        boxes_.AddFileBox(read.Sheet.Boxes[i], pictures[i]);
    EditText.FileName = name;
    SetTitleFromFileName(EditText);
    ResetUndo();
    SyncShowTextBox();
    if (!read.Warning.empty())
        Message("Open File", Quoted(name) + " is incomplete: " + QString::fromStdString(read.Warning) + ".");
    return true;
}

bool TVelmoraMenus::SaveFile()
{
    const std::vector<uint8_t> bytes = SaveWorksheet(EditText, FontSize, boxes_.FileBoxes());
    const auto *data = reinterpret_cast<const char *>(bytes.data());
    const auto size = qint64(bytes.size());
    // Written next to the old file and put in its place only when complete.
    QSaveFile file(QString::fromStdString(EditText.FileName));
    qint64 written = 0;
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        written = WriteHook ? WriteHook(file, data, size) : file.write(data, size);
        ok = written == size && file.commit();
    }
    if (!ok) {
        // A short write that left no error of its own still says what happened.
        const QString reason =
            file.error() == QFileDevice::NoError && written != size
                ? QString("only %1 of %2 bytes could be written").arg(std::max(written, qint64(0))).arg(size)
                : file.errorString();
        Message("Save File",
                Quoted(EditText.FileName) + " cannot be saved: " + reason + ". The file on disk is unchanged.");
        file.cancelWriting();
    }
    return ok;
}

bool TVelmoraMenus::SaveFileAs()
{
    const QString path = ChooseFile(true, "Save as :", "rec (*.rec)");
    if (path.isEmpty())
        return false;
    const std::string previous = EditText.FileName;
    EditText.FileName = path.toStdString();
    if (!SaveFile()) {
        EditText.FileName = previous;
        return false;
    }
    SetTitleFromFileName(EditText);
    return true;
}

void TVelmoraMenus::Copy(const TGridRect &sel)
{
    commands_.Copy(sel);
}

void TVelmoraMenus::Cut(const TGridRect &sel)
{
    commands_.Cut(sel);
}

void TVelmoraMenus::Delete(const TGridRect &sel)
{
    commands_.Delete(sel);
}

void TVelmoraMenus::Paste(int col, int row)
{
    commands_.Paste(col, row);
}

void TVelmoraMenus::PasteToObject()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    const bool foreignText = clipboard_.HasText() && clipboard_.Text() != ClipBuffer.Text;
    if ((foreignText || (data && data->hasImage())) && boxes_.PasteBox())
        return;
    Beep();
}

void TVelmoraMenus::ToggleShowTextBox(QAction *item)
{
    EditText.ShowTextBoxes = EditText.ShowTextBoxes ? 0 : 1;
    if (item)
        item->setChecked(EditText.ShowTextBoxes != 0);
    boxes_.SetHighlight(EditText.ShowTextBoxes != 0);
    boxes_.RefreshTextBoxes();
}

void TVelmoraMenus::SyncShowTextBox()
{
    const bool on = EditText.ShowTextBoxes != 0;
    if (ShowTextBoxItem && ShowTextBoxItem->isChecked() == on)
        return;
    if (ShowTextBoxItem)
        ShowTextBoxItem->setChecked(on);
    boxes_.SetHighlight(on);
    boxes_.RefreshTextBoxes();
}

void TVelmoraMenus::LockPage(bool locked)
{
    commands_.LockPage(locked);
}

void TVelmoraMenus::UnlockCells(const TGridRect &sel)
{
    commands_.UnlockCells(sel);
}

void TVelmoraMenus::ToggleGrid(QAction *item)
{
    const bool on = !grid_.GridLines();
    grid_.SetGridLines(on);
    if (item)
        item->setChecked(on);
    Preferences.SetFlag(poShowGrid, on);
}

void TVelmoraMenus::SetSize(int cols, int rows, QAction *checked, std::initializer_list<QAction *> items)
{
    for (QAction *item : items)
        if (item)
            item->setChecked(item == checked);
    commands_.SetSheetSize(cols, rows);
    SyncShowTextBox();
}

void TVelmoraMenus::SetPortrait72x72(QAction *size144, QAction *size72, QAction *landscape)
{
    SetSize(72, 72, size72, {size144, size72, landscape});
}

void TVelmoraMenus::SetPortrait144x144(QAction *size144, QAction *size72, QAction *landscape)
{
    SetSize(144, 144, size144, {size144, size72, landscape});
}

void TVelmoraMenus::SetLandscape(QAction *size144, QAction *size72, QAction *landscape)
{
    SetSize(108, 48, landscape, {size144, size72, landscape});
}
