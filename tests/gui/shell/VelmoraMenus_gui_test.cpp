// The file and block commands with real files, the real clipboard and real
// menu items; dialogs and message boxes answered by hooks.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "gui/worksheet/BoxFixture.h"
#include "platform/GridWidget.h"
#include "platform/MessageBox.h"
#include "shell/VelmoraMenus.h"
#include "support/SheetPicture.h"
#include "worksheet/UndoEd.h"

namespace {

// Boxes as plain records: the list runs from the most recently added box.
struct FakeBoxes : TBoxAdapter {
    std::vector<TFileBox> list;
    std::string calls;
    std::vector<TFileBox> FileBoxes() override { return list; }
    void DeleteBoxes() override { list.clear(), calls += "delete "; }
    void AddFileBox(const TFileBox &box, const QImage &) override { list.insert(list.begin(), box); }
    bool PasteBox() override { return calls += "paste ", true; }
    void SetHighlight(bool on) override { calls += on ? "light " : "dark "; }
    void RefreshTextBoxes() override { calls += "refresh "; }
};

std::vector<uint8_t> Bmp(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return {bytes.begin(), bytes.end()};
}

QByteArray Contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

struct Menus : ::testing::Test {
    SheetSetup setup;
    GridWidget widget{setup.grid};
    FakeBoxes boxes;
    TVelmoraMenus menus{widget, boxes};
    QTemporaryDir dir;
    QString chosen;  // the dialog's answer
    std::vector<TFileDialogRequest> dialogs;
    std::vector<std::string> messages;

    Menus()
    {
        FontSize = 14;
        ResetUndo();
        ClipBuffer.Clear(), ClipBuffer.Text.clear();
        EditText.FileName = EditText.Title = "";
        menus.FileDialog = [this](const TFileDialogRequest &r) { return dialogs.push_back(r), chosen; };
        MessageBoxHook = [this](const QString &text, const QString &title) {
            messages.push_back((title + "|" + text).toStdString());
        };
    }
    ~Menus() override
    {
        MessageBoxHook = nullptr;
        EditText.FileName = EditText.Title = "";
        ResetUndo();
    }
    QString Path(const char *name) const { return dir.filePath(name); }
    bool SaveAs(const QString &path) { return chosen = path, menus.SaveFileAs(); }
    bool Open(const QString &path) { return chosen = path, menus.OpenFile(); }
    void Write(const char *name, const std::vector<uint8_t> &bytes) { WriteFile(Path(name), bytes); }
};

}  // namespace

TEST_F(Menus, RefusedFilesChangeNothingAndCutShortOnesSaySo)
{
    std::vector<uint8_t> bmp = Bmp(2, 2);
    bmp[26] = 2;  // two colour planes: the decoder refuses
    Write("bad.rec", {7, 'V', 'E', 'R', 'S', 'I', 'O', 'N', 17, 0, 0, 0});
    Write("pic.rec", SaveWorksheet(EditText, 14, {{1, 0, {}, bmp, {}}}));
    Write("huge.rec", {});
    QFile::resize(Path("huge.rec"), (qint64(256) << 20) + 1);
    LoadPicture(EditText, " k");
    EditText.FileName = "/keep/me.rec", EditText.Title = "me";
    boxes.list = {{1, 0, {}, Bmp(1, 1), {}}};
    const SheetBytes before;
    ASSERT_EQ(mkfifo(Path("pipe.rec").toLocal8Bit().constData(), 0600), 0);
    for (const char *name : {"bad.rec", "pic.rec", "huge.rec", "missing.rec", "pipe.rec"})
        EXPECT_FALSE(Open(Path(name)));
    chosen.clear();
    EXPECT_FALSE(menus.OpenFile());  // cancelled
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(EditText.FileName + EditText.Title + std::to_string(boxes.list.size()), "/keep/me.recme1");
    const std::string file = "Open File|\"" + dir.path().toStdString() + "/";
    EXPECT_EQ(messages, (std::vector<std::string>{
                            file + "bad.rec\" cannot be opened: the chunk \"VERSION\" claims 17 bytes, more than the "
                                   "16 of its record.",
                            file + "pic.rec\" cannot be opened: a picture cannot be decoded.",
                            file + "huge.rec\" cannot be opened: it is too large to be a worksheet.",
                            file + "missing.rec\" cannot be opened: No such file or directory.",
                            file + "pipe.rec\" cannot be opened: it is not a file."}));

    messages.clear();
    ASSERT_TRUE(SaveAs(Path("cut.rec")));
    QFile::resize(Path("cut.rec"), 28 + 16 + 44 + 16 + 10);  // inside "EQUAL"
    SheetSetup fresh;
    ASSERT_TRUE(Open(Path("cut.rec")));
    EXPECT_EQ(SheetToPicture(EditText), " k\n");
    EXPECT_EQ(messages, std::vector<std::string>{file + "cut.rec\" is incomplete: the file ends inside the chunk "
                                                        "\"EQUAL\"; what came before it was read."});
}

TEST_F(Menus, SavesThatFailKeepTheOldFileAndName)
{
    LoadPicture(EditText, " a");
    ASSERT_TRUE(SaveAs(Path("old.rec")));
    ASSERT_TRUE(QFile::setPermissions(Path("old.rec"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(Path("old.rec"));
    LoadPicture(EditText, " b  c");
    ASSERT_TRUE(menus.SaveFile());  // the file put in place keeps the old one's permissions
    EXPECT_EQ(QFile::permissions(Path("old.rec")), permissions);
    const QByteArray old = Contents(Path("old.rec"));
    const std::string size = std::to_string(old.size()), tail = " The file on disk is unchanged.";
    Write("folder", {});
    std::vector<qint64> taken;  // the disk takes half the bytes, then none
    const std::string quoted = "Save File|\"" + dir.path().toStdString() + "/";
    EXPECT_FALSE(SaveAs(Path("folder/new.rec")));
    menus.WriteHook = [&](QIODevice &file, const char *data, qint64 n) {
        return taken.push_back(file.write(data, taken.empty() ? n / 2 : 0)), taken.back();
    };
    EXPECT_FALSE(menus.SaveFile());
    EXPECT_FALSE(SaveAs(Path("new.rec")));
    chosen.clear();
    EXPECT_FALSE(menus.SaveFileAs());  // cancelled
    EXPECT_EQ(Contents(Path("old.rec")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"folder", "old.rec"}));
    EXPECT_EQ(EditText.FileName + "|" + EditText.Title, Path("old.rec").toStdString() + "|old");
    EXPECT_EQ(messages,
              (std::vector<std::string>{quoted + "folder/new.rec\" cannot be saved: Not a directory." + tail,
                                        quoted + "old.rec\" cannot be saved: only " + std::to_string(old.size() / 2) +
                                            " of " + size + " bytes could be written." + tail,
                                        quoted + "new.rec\" cannot be saved: only 0 of " + size +
                                            " bytes could be written." + tail}));
}

TEST_F(Menus, ClipboardTextIsTheSheetsEightBitText)
{
    LoadPicture(EditText, " x  =  1\n y");
    EditText.Cells[3][0].Ch = 128;
    menus.Copy({0, 0, 3, 1});
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("x=1€\r\ny   "));
    menus.Paste(10, 10);  // the own copy: the block itself
    EXPECT_EQ(EditText.Cells[13][10].Ch, 128);
    EXPECT_EQ(SheetSetup::beeps, 0);

    QApplication::clipboard()->setText(QString::fromUtf8("é€\nq"));
    EditText.Grid->SetCol(20), EditText.Grid->SetRow(20);
    menus.Paste(20, 20);
    EXPECT_EQ(std::vector<int>({EditText.Cells[20][20].Ch, EditText.Cells[21][20].Ch, EditText.Cells[20][21].Ch}),
              std::vector<int>({0xE9, 0x80, 'q'}));
    EXPECT_EQ(UnicodeToSheetText(QString::fromUtf8("a\r\n€Ωž")), std::string("a\r\n\x80?\x9E"));

    QApplication::clipboard()->clear();
    menus.Paste(0, 0);
    EXPECT_EQ(SheetSetup::beeps, 1);
}

TEST_F(Menus, PasteToBoxTakesForeignTextOrABitmap)
{
    LoadPicture(EditText, " x");
    menus.Copy({0, 0, 0, 0});
    menus.PasteToObject();  // the own copy, no bitmap
    EXPECT_EQ(std::make_pair(boxes.calls, SheetSetup::beeps), std::make_pair(std::string(), 1));
    QApplication::clipboard()->setText("foreign");
    menus.PasteToObject();
    QApplication::clipboard()->setImage(QImage(3, 3, QImage::Format_RGB32));
    menus.PasteToObject();
    EXPECT_EQ(std::make_pair(boxes.calls, SheetSetup::beeps), std::make_pair(std::string("paste paste "), 1));
}

namespace {

// The menu commands on the real box list.
struct RealBoxes : BoxTest {
    TObjBox *list = &head;
    TObjBoxFiles files{list};
    TVelmoraMenus menus{grid, files};
    QTemporaryDir dir;
    const QString path = dir.filePath("boxes.rec");
    QStringList dialogs;
    RealBoxes()
    {
        FontSize = 14;
        menus.FileDialog = [this](const TFileDialogRequest &r) {
            dialogs.push_back(r.Title + "|" + r.Filter + "|" + r.DefaultSuffix);
            return path;
        };
    }
    ~RealBoxes() override { EditText.FileName = EditText.Title = ""; }
    // Each box as kind, state, picture size and text, in list order.
    std::string Shape()
    {
        std::string s;
        for (TObjBox *b : Boxes())
            s += std::to_string(b->Kind) + std::to_string(b->State) + " " + std::to_string(b->Picture().width()) + "x" +
                 std::to_string(b->Picture().height()) + " " + (b->Edit ? b->Edit->toPlainText().toStdString() : "") +
                 "|";
        return s;
    }
};

}  // namespace

TEST_F(RealBoxes, SheetBoxesNameAndTitleComeBackAndTwoCyclesKeepTheBoxOrder)
{
    LoadPicture(EditText, " a  = ^2\n-- --\n b");
    Picture(100, 80, 60, 40, Qt::red);
    ASSERT_TRUE(head.RenderTextBox(head.InsertNewTextBox()));  // a text box shown as its picture
    Picture(300, 200, 30, 20, Qt::blue);
    ASSERT_TRUE(menus.SaveFileAs());
    EXPECT_EQ(EditText.Title, "boxes");
    const QByteArray first = Contents(path);
    const std::string before = Shape();
    const SheetBytes cells;

    setup.grid.SetSize(144, 144);
    EditText.Reset();
    EditText.ShowTextBoxes = 1;
    QAction show;
    show.setCheckable(true), show.setChecked(true);
    menus.ShowTextBoxItem = &show;
    SaveUndoProc();
    ASSERT_TRUE(menus.OpenFile());  // each box goes to the front as it is read: the list is reversed
    EXPECT_TRUE(SheetBytes() == cells);
    EXPECT_EQ(std::vector<bool>({setup.grid.ColCount() == 72, UndoEmpty, show.isChecked()}),
              std::vector<bool>({true, true, false}));
    EXPECT_EQ(dialogs, QStringList({"Save as :|rec (*.rec)|rec", "Open File :|rec (*.rec);;all (*.*)|rec"}));
    ASSERT_TRUE(menus.SaveFile());
    ASSERT_TRUE(menus.OpenFile());
    EXPECT_EQ(Shape(), before);
    ASSERT_TRUE(menus.SaveFile());
    EXPECT_EQ(Contents(path), first);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RealBoxes, ATextBoxTooLargeForTheWindowStaysEditingAfterItsMessage)
{
    const std::string rtf = "{\\rtf1 wide}";
    WriteFile(path,
              SaveWorksheet(EditText, 14, {{2, 2, {0, 0, 0, 0, 10, 10, 0, 0, 700, 50}, {}, {rtf.begin(), rtf.end()}}}));
    ASSERT_TRUE(menus.OpenFile());
    EXPECT_EQ(messages, (std::vector<std::pair<QString, QString>>{
                            {"Reduce the box or enlarge the window", "Text Box To Large"}}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->Kind, bkTextEdit);
    EXPECT_EQ(Boxes()[0]->Edit->toPlainText(), "wide");
}
