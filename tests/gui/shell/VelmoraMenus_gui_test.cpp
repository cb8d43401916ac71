// The file and block commands with real files, the real clipboard and the
// real box list; dialogs and message boxes answered by hooks.
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "gui/worksheet/BoxFixture.h"
#include "shell/VelmoraMenus.h"
#include "worksheet/UndoEd.h"

namespace {

struct Menus : BoxTest {
    TObjBox *list = &head;
    TObjBoxFiles files{list};
    TVelmoraMenus menus{grid, files};
    QTemporaryDir dir;
    QString chosen;  // the dialog's answer
    QStringList dialogs;
    Menus()
    {
        FontSize = 14, ResetUndo(), ClipBuffer.Clear(), ClipBuffer.Text.clear();
        menus.FileDialog = [this](const TFileDialogRequest &r) {
            return dialogs.push_back(r.Title + "|" + r.Filter + "|" + r.DefaultSuffix), chosen;
        };
    }
    ~Menus() override { EditText.FileName = EditText.Title = "", ResetUndo(); }
    QString Path(const char *name) const { return dir.filePath(name); }
    static QByteArray Contents(const QString &p)
    {
        QFile f(p);
        return f.open(QFile::ReadOnly) ? f.readAll() : "";
    }
    bool SaveAs(const QString &path) { return chosen = path, menus.SaveFileAs(); }
    bool Open(const QString &path) { return chosen = path, menus.OpenFile(); }
    // The messages shown so far as "title|text", the folder's path written as "~".
    std::vector<std::string> Said()
    {
        std::vector<std::string> v;
        for (const auto &[text, title] : std::exchange(messages, {}))
            v.push_back((title + "|" + QString(text).replace(dir.path(), QStringLiteral("~"))).toStdString());
        return v;
    }
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

TEST_F(Menus, RefusedFilesChangeNothingAndCutShortOnesSaySo)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && QImage(2, 2, QImage::Format_RGB32).save(&buffer, "BMP"));
    bmp[26] = 2;  // two colour planes: the decoder refuses
    WriteFile(Path("pic.rec"), SaveWorksheet(EditText, 14, {{1, 0, {}, {bmp.begin(), bmp.end()}, {}}}));
    QFile::resize(WriteFile(Path("huge.rec"), {}), (qint64(256) << 20) + 1);
    ASSERT_EQ(mkfifo(Path("pipe.rec").toLocal8Bit().constData(), 0600), 0);
    LoadPicture(EditText, " k"), Picture(10, 10);
    EditText.FileName = "/keep/me.rec", EditText.Title = "me";
    const SheetBytes before;
    for (const char *name : {"pic.rec", "huge.rec", "missing.rec", "pipe.rec", ""})
        EXPECT_FALSE(Open(*name ? Path(name) : QString())) << name;  // "": cancelled
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(EditText.FileName + EditText.Title + std::to_string(Boxes().size()), "/keep/me.recme1");
    EXPECT_EQ(Said(),
              (std::vector<std::string>{"Open File|\"~/pic.rec\" cannot be opened: a picture cannot be decoded.",
                                        "Open File|\"~/huge.rec\" cannot be opened: it is too large to be a worksheet.",
                                        "Open File|\"~/missing.rec\" cannot be opened: No such file or directory.",
                                        "Open File|\"~/pipe.rec\" cannot be opened: it is not a file."}));
    ASSERT_TRUE(SaveAs(Path("cut.rec")));
    QFile::resize(Path("cut.rec"), 28 + 16 + 44 + 16 + 10), EditText.Reset();  // cut inside "EQUAL"
    ASSERT_TRUE(Open(Path("cut.rec")));
    EXPECT_EQ(std::pair(SheetToPicture(EditText), Said()),
              std::pair(std::string(" k\n"), std::vector<std::string>{"Open File|\"~/cut.rec\" is incomplete: the file "
                                                                      "ends inside the chunk \"EQUAL\"; what came "
                                                                      "before it was read."}));
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
    WriteFile(Path("folder"), {});
    EXPECT_FALSE(SaveAs(Path("folder/new.rec")));
    menus.WriteHook = [](QIODevice &file, const char *data, qint64 n) { return file.write(data, n / 2); };
    EXPECT_FALSE(menus.SaveFile());
    EXPECT_FALSE(SaveAs(QString()));  // cancelled
    EXPECT_EQ(std::tuple(Contents(Path("old.rec")), QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                         EditText.FileName + "|" + EditText.Title),
              std::tuple(old, QStringList({"folder", "old.rec"}), Path("old.rec").toStdString() + "|old"));
    EXPECT_EQ(Said(), (std::vector<std::string>{
                          "Save File|\"~/folder/new.rec\" cannot be saved: Not a directory. The file on disk is "
                          "unchanged.",
                          "Save File|\"~/old.rec\" cannot be saved: only " + std::to_string(old.size() / 2) + " of " +
                              std::to_string(old.size()) + " bytes could be written. The file on disk is unchanged."}));
}

TEST_F(Menus, ClipboardTextIsTheSheetsEightBitTextAndPasteToBoxTakesForeignTextOrABitmap)
{
    LoadPicture(EditText, " x  =  1\n y"), EditText.Cells[3][0].Ch = 128, menus.Copy({0, 0, 3, 1});
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("x=1€\r\ny   "));
    menus.Paste(10, 10);    // the own copy: the block itself
    menus.PasteToObject();  // the own copy is no box
    EXPECT_EQ(std::pair(EditText.Cells[13][10].Ch, SheetSetup::beeps), std::pair(uint8_t(128), 1));
    QApplication::clipboard()->setText(QString::fromUtf8("é€Ωž\nq"));
    EditText.Grid->SetCol(20), EditText.Grid->SetRow(20);
    menus.Paste(20, 20);
    EXPECT_EQ(std::vector<int>({EditText.Cells[20][20].Ch, EditText.Cells[21][20].Ch, EditText.Cells[22][20].Ch,
                                EditText.Cells[23][20].Ch, EditText.Cells[20][21].Ch}),
              std::vector<int>({0xE9, 0x80, '?', 0x9E, 'q'}));
    menus.PasteToObject();  // a picture box for a bitmap, a text box for foreign text, the newest first
    QApplication::clipboard()->setImage(QImage(3, 3, QImage::Format_RGB32));
    menus.PasteToObject();
    QApplication::clipboard()->clear();
    menus.Paste(0, 0);
    EXPECT_EQ(std::pair(Shape(), SheetSetup::beeps), std::pair(std::string("10 3x3 |12 200x120 é€Ωž\nq|"), 2));
}

TEST_F(Menus, SheetBoxesNameAndTitleComeBackAndTwoCyclesKeepTheBoxOrder)
{
    chosen = Path("boxes.rec");
    LoadPicture(EditText, " a  = ^2\n-- --\n b"), Picture(100, 80, 60, 40, Qt::red);
    ASSERT_TRUE(head.RenderTextBox(head.InsertNewTextBox()));  // a text box shown as its picture
    Picture(300, 200, 30, 20, Qt::blue);
    ASSERT_TRUE(menus.SaveFileAs());
    const QByteArray first = Contents(chosen);
    const std::string before = Shape();
    const SheetBytes cells;
    setup.grid.SetSize(144, 144), EditText.Reset(), EditText.ShowTextBoxes = 1;
    QAction show;
    show.setCheckable(true), show.setChecked(true), menus.ShowTextBoxItem = &show;
    SaveUndoProc(), SaveUndoProc(), UndoProc();  // something to undo and to redo
    ASSERT_FALSE(UndoEmpty || RedoEmpty);
    ASSERT_TRUE(menus.OpenFile());
    EXPECT_TRUE(SheetBytes() == cells);
    EXPECT_EQ(std::tuple(EditText.Title, setup.grid.ColCount(), UndoEmpty, RedoEmpty, show.isChecked(), dialogs),
              std::tuple("boxes", 72, true, true, false,
                         QStringList({"Save as :|rec (*.rec)|rec", "Open File :|rec (*.rec);;all (*.*)|rec"})));
    ASSERT_TRUE(menus.SaveFile() && menus.OpenFile());
    EXPECT_EQ(Shape(), before);
    ASSERT_TRUE(menus.SaveFile());
    EXPECT_EQ(std::pair(Contents(chosen), Said()), std::pair(first, std::vector<std::string>()));
}

TEST_F(Menus, ATextBoxTooLargeForTheWindowStaysEditingAfterItsMessage)
{
    const std::string rtf = "{\\rtf1 wide}";
    WriteFile(chosen = Path("wide.rec"),
              SaveWorksheet(EditText, 14, {{2, 2, {0, 0, 0, 0, 10, 10, 0, 0, 700, 50}, {}, {rtf.begin(), rtf.end()}}}));
    ASSERT_TRUE(menus.OpenFile());
    EXPECT_EQ(std::pair(Said(), Shape()), std::pair(std::vector<std::string>{"Text Box To Large|Reduce the box or "
                                                                             "enlarge the window"},
                                                    std::to_string(bkTextEdit) + "2 0x0 wide|"));
}

// Each geometry field of a picture and of a text box, read from a 72 x 72 sheet
// with cells of 14 x 17. Opened boxes get Left and Top from their cell and
// offsets, whatever the file says; the other fields stay as stored.
TEST_F(Menus, BoxGeometryThatCannotLieOnTheSheetIsRefused)
{
    constexpr int32_t far = 0x7FFFFFF0;
    using F = TFileBox;
    struct Case {
        int field;
        int32_t value;
        const char *refused;  // nullptr: the file opens, the box at (left, top)
        int left = 41, top = 66;
    };
    // clang-format off
    const Case cases[] = {
        {F::Col, far, "a box is anchored at column 2147483632, outside -1 to 71"},
        {F::Col, -far, "a box is anchored at column -2147483632, outside -1 to 71"},
        {F::Col, 145, "a box is anchored at column 145, outside -1 to 71"},
        {F::Col, 72, "a box is anchored at column 72, outside -1 to 71"},
        {F::Col, -2, "a box is anchored at column -2, outside -1 to 71"},
        {F::Col, 71, nullptr, 993},
        {F::Col, -1, nullptr, -15},
        {F::Row, far, "a box is anchored at row 2147483632, outside -1 to 71"},
        {F::Row, -far, "a box is anchored at row -2147483632, outside -1 to 71"},
        {F::Row, 145, "a box is anchored at row 145, outside -1 to 71"},
        {F::Row, 72, "a box is anchored at row 72, outside -1 to 71"},
        {F::Row, -2, "a box is anchored at row -2, outside -1 to 71"},
        {F::Row, 71, nullptr, 41, 1205},
        {F::Row, -1, nullptr, 41, -19},
        {F::DX, far, "a box's horizontal offset 2147483632 is outside -79560 to 79560"},
        {F::DX, -far, "a box's horizontal offset -2147483632 is outside -79560 to 79560"},
        {F::DX, 79560, nullptr, -79518},
        {F::DY, far, "a box's vertical offset 2147483632 is outside -79560 to 79560"},
        {F::DY, -far, "a box's vertical offset -2147483632 is outside -79560 to 79560"},
        {F::DY, -79561, "a box's vertical offset -79561 is outside -79560 to 79560"},
        {F::Left, far, nullptr},
        {F::Left, -far, nullptr},
        {F::Top, far, nullptr},
        {F::Top, -far, nullptr},
        {F::DragX, far, nullptr},
        {F::DragY, -far, nullptr},
        {F::Width, far, "a box is 2147483632 pixels wide, more than 32767"},
        {F::Width, -far, "a box has a negative width or height"},
        {F::Height, far, "a box is 2147483632 pixels high, more than 32767"},
        {F::Height, -far, "a box has a negative width or height"},
    };
    // clang-format on
    QByteArray bmp;
    QBuffer buffer(&bmp);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && QImage(60, 40, QImage::Format_RGB32).save(&buffer, "BMP"));
    const std::string rtf = "{\\rtf1 t}";
    for (const bool text : {false, true})
        for (const Case &c : cases) {
            TFileBox box{1, uint8_t(text ? 2 : 0), {3, 4, 1, 2, 41, 66, 7, 8, 60, 40}, {bmp.begin(), bmp.end()}, {}};
            if (text)
                box.Text.assign(rtf.begin(), rtf.end()), box.Picture.clear();
            box.Geometry[size_t(c.field)] = c.value;
            WriteFile(chosen = Path("box.rec"), SaveWorksheet(EditText, 14, {box}));
            const std::string row = std::to_string(c.field) + " " + std::to_string(c.value) + (text ? " text" : "");
            std::vector<std::string> said;
            if (c.refused)
                said.push_back("Open File|\"~/box.rec\" cannot be opened: " + std::string(c.refused) + ".");
            const bool opened = menus.OpenFile();
            EXPECT_EQ(std::pair(opened, Said()), std::pair(!c.refused, said)) << row;
            if (c.refused)
                continue;
            box.Geometry[F::Left] = c.left, box.Geometry[F::Top] = c.top;
            const TBoxGeometry &g = Boxes().at(0)->Geometry();
            EXPECT_EQ((std::array{g.Col, g.Row, g.DX, g.DY, g.Left, g.Top, g.DragX, g.DragY, g.Width, g.Height}),
                      box.Geometry)
                << row;
            // The largest font, scrolled to the far corner: placed without overflowing.
            grid.ApplyFontSize(512), grid.ShowCell(71, 71), head.PlaceBoxes();
            grid.ApplyFontSize(14), grid.ShowCell(0, 0), head.PlaceBoxes();
        }
}
