#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/WorksheetFile.h"
#include "support/SheetPicture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const char *text)
{
    Bytes out;
    for (const char *p = text; *p; ++p)
        if (std::isxdigit(uint8_t(*p)))
            out.push_back(uint8_t(std::stoi(std::string(p, 2), nullptr, 16))), ++p;
    return out;
}
void Int32(Bytes &b, std::initializer_list<int32_t> values)
{
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}
// A BMP file with a 40-byte header, a colour table when indexed, rows padded to 4 bytes.
Bytes Bitmap(int width, int height, int bits, int32_t imageSize = 0)
{
    const int32_t table = bits <= 8 ? 4 << bits : 0, stride = (width * bits + 31) / 32 * 4;
    const int32_t pixels = stride * (height < 0 ? -height : height);
    Bytes b{'B', 'M'};
    Int32(b, {54 + table + pixels, 0, 54 + table, 40, width, height, 1 | bits << 16, 0, imageSize, 0, 0, 0, 0});
    b.resize(b.size() + size_t(table + pixels), 0x5A);
    return b;
}

// Offsets in a file: the GRID header, the first cell pair.
constexpr size_t GridAt = 28 + 16 + 12, PairsAt = GridAt + 32;

struct FileTest : ::testing::Test {
    SheetSetup setup;
    FileTest() { FontSize = 14; }
    static Bytes Save(const std::vector<TFileBox> &boxes = {}) { return SaveWorksheet(EditText, FontSize, boxes); }
    static TReadResult Open(const Bytes &b)
    {
        TReadResult r = ReadWorksheet(b);
        return r.Ok() ? (ApplyLoadedSheet(r.Sheet, EditText), r) : r;
    }
};

}  // namespace

TEST_F(FileTest, EmptySheetAtFirstStartIs159Bytes)
{
    EditText.RadMode = 1;
    EXPECT_EQ(Save(), Hex(R"(07 56 45 52 53 49 4F 4E 10 00 00 00 08 30 31 2E 33 33 2E 30 30 00 00 00 00 00 00 00
        04 50 41 47 45 00 00 00 04 00 00 00 01 00 00 00
        04 47 52 49 44 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00 47 00 00 00 47 00 00 00
        00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
        05 45 51 55 41 4C 00 00 01 00 00 00 00  07 50 41 47 45 4C 43 4B 01 00 00 00 00
        03 52 41 44 00 00 00 00 01 00 00 00 01  06 46 4F 4E 54 53 5A 00 04 00 00 00 0E 00 00 00)"));
}

TEST_F(FileTest, BoxesAreWrittenInListOrderByteForByte)
{
    TFileBox picture{1, 0, {3, 4, 1, 2, 50, 60, 0, 0, 8, 4}, Bitmap(8, 4, 24), {}};
    TFileBox shown{1, 2, {0, 1, 0, 0, 5, 6, 7, 8, 90, 30}, {}, Bytes{'{', '\\', 'r', 't', 'f', '1', '}'}};
    const Bytes plain = Save(), saved = Save({shown, TFileBox{0, 0, {}, {}, {}}, picture});
    ASSERT_EQ(saved.size(), plain.size() + 2 * 60 + picture.Picture.size() + 7);
    Bytes first(plain);  // the first box chunk, byte for byte
    first.insert(first.end(), {7, 'T', 'E', 'X', 'T', 'B', 'O', 'X'});
    Int32(first, {48, 0, 1, 0, 0, 5, 6, 7, 8, 90, 30, 4, 7});
    first.insert(first.end(), shown.Text.begin(), shown.Text.end());
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + ptrdiff_t(first.size())), first);
    EXPECT_EQ(ReadWorksheet(saved).Sheet.Boxes[1].Geometry, picture.Geometry);
}

TEST_F(FileTest, AttributesAndTheStoredRangeComeBack)
{
    EditText.Cells[3][71].Ch = 'z', EditText.Attrs[71][6].Protection = 2;
    const Bytes b = Save();
    ASSERT_TRUE(Open(b).Ok());
    EXPECT_EQ(std::tuple(int(b[GridAt + 16]), int(EditText.Attrs[71][6].Protection), EditText.Cells[3][71].Ch),
              std::tuple(3, 2, 'z'));
}

TEST_F(FileTest, OldLayoutAndUnknownChunks)
{
    Bytes old;
    Int32(old, {9, 4, 0, 0});  // the extent stored lies behind the cells
    old.resize(16 + 10 * 5 * 8);
    old[16 + (6 * 5 + 3) * 8] = 'k', old[16 + (6 * 5 + 3) * 8 + 1] = 1;
    SheetSetup before(144, 144);
    EditText.EqualMode = 1;
    const TReadResult r = Open(old);
    EXPECT_TRUE(r.Sheet.OldLayout && !r.Sheet.FontSize && !r.Sheet.RadMode && !r.Sheet.EqualMode);
    EXPECT_EQ(std::vector({EditText.ColMax, EditText.RowMax, EditText.UsedColExt, EditText.UsedRowExt,
                           int(EditText.EqualMode), int(EditText.Cells[6][3].Code())}),
              std::vector({9, 4, 6, 3, 1, 'k' + 256}));
    old.pop_back();
    EXPECT_EQ(ReadWorksheet(old).Warning, "the file ends inside the cells; what came before was read");

    Bytes b = Save();  // "VERSION" with another length byte: the old layout
    b[0] = 6;
    EXPECT_EQ(ReadWorksheet(b).Error, "the sheet size 1380275719 x 1313818964 is outside 1 x 1 to 145 x 145");

    EditText.EqualMode = 1;
    b = Save();
    const Bytes unknown{3, 'Z', 'Z', 'Z', 0, 0, 0, 0, 10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    b.insert(b.begin() + PairsAt + 16, unknown.begin(), unknown.end());
    EditText.EqualMode = 0;
    EXPECT_TRUE(Open(b).Ok());
    EXPECT_EQ(std::vector({int(EditText.EqualMode), FontSize}), std::vector({1, 14}));
}

TEST_F(FileTest, MalformedFilesAreRefusedWithWhatIsWrong)
{
    EditText.Cells[1][1].Ch = 'a';
    const Bytes good = Save({{1, 2, {}, {}, {'x'}}});
    const size_t boxAt = good.size() - 61;
    // Where the bytes are written over the good file, the bytes, the error: one row for each message.
    const std::tuple<size_t, Bytes, const char *> cases[] = {
        {36, {0xFF, 0xFF, 0xFF, 0xFF}, "the chunk \"PAGE\" has a negative size (-1)"},
        {GridAt + 8, {145}, "the sheet size 146 x 72 is outside 1 x 1 to 145 x 145"},
        {GridAt + 24, {72}, "the stored cells (columns 1 to 72, rows 1 to 1) lie outside the sheet of 72 x 72 cells"},
        {boxAt - 4, {1, 2}, "the font size 513 is outside 8 to 512"},
        {boxAt + 8, {49}, "the chunk \"TEXTBOX\" claims 49 bytes, more than the 48 of its record"},
        {boxAt + 44, {0xFF, 0xFF, 0xFF, 0xFF}, "a box has a negative width or height"},
        {boxAt + 56, {2}, "a text box claims 2 bytes of text, but 1 bytes follow"},
        {0, {1}, "the file is too short to be a worksheet"},  // cut to 15 bytes below
        {GridAt + 12, {0}, "the stored cells (columns 1 to 1, rows 1 to 1) lie outside the sheet of 72 x 1 cells"},
    };
    for (const auto &[at, bytes, error] : cases) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + ptrdiff_t(at));
        const TReadResult r = ReadWorksheet(at == 0 ? Bytes(15, 1) : b);
        EXPECT_EQ(r.Error + r.Warning, error);
    }
    const auto broken = [](size_t at, uint8_t value) {
        Bytes b = Bitmap(2, 2, 8);
        return b[at] = value, b;
    };
    const std::pair<Bytes, const char *> pictures[] = {
        {Bytes{'P', 'N', 'G', 0}, "it does not start with \"BM\""},
        {broken(14, 20), "its bitmap header of 20 bytes is unknown"},
        {broken(28, 7), "its bit depth 7 is unknown"},
        {Bitmap(2, 0, 24), "its size 2 x 0 is out of range"},
        {broken(30, 1), "its compression 1 is unknown"},  // run lengths without their size
        {broken(30, 2), "its compression 2 is unknown"},
    };
    for (const auto &[picture, error] : pictures)
        EXPECT_EQ(ReadWorksheet(Save({{1, 0, {}, picture, {}}})).Error,
                  std::string("a picture is not a bitmap: ") + error);
}

TEST_F(FileTest, BitmapLengthComesFromItsHeaders)
{
    Bytes fields = Bitmap(2, 2, 16);
    fields[30] = 3, fields.insert(fields.begin() + 54, 12, 0);
    const std::pair<Bytes, size_t> cases[] = {
        {Bitmap(3, 2, 24), 54 + 2 * 12},
        {Bitmap(5, 3, 8), 54 + 1024 + 3 * 8},
        {Bitmap(33, -2, 1), 54 + 8 + 2 * 8},
        {Bitmap(2, 2, 32, 20), 54 + 20},
        {fields, 54 + 12 + 8},
        {Hex("42 4D 00 00 00 00 00 00 00 00 00 00 00 00 0C 00 00 00 02 00 02 00 01 00 04 00"), 26 + 48 + 8},
        {Hex("42 4D 00 00 00 00 00 00 00 00 00 00 00 00 6C 00 00 00"), 14 + 108},  // more to read first
    };
    for (const auto &[bmp, length] : cases) {
        std::string error;
        EXPECT_EQ(std::pair(BitmapStreamLength(bmp.data(), bmp.size(), error), error),
                  std::pair(length, std::string()));
    }
}

TEST_F(FileTest, AFileCutShortKeepsWhatWasReadCompletely)
{
    LoadPicture(EditText, " a  b\n c");  // four cell pairs
    EditText.RadMode = 1;
    const TFileBox picture{1, 0, {1, 1, 0, 0, 0, 0, 0, 0, 4, 4}, Bitmap(4, 4, 24), {}};
    const Bytes good = Save({picture, picture});
    const size_t radEnd = PairsAt + 4 * 16 + 3 * 13;
    // The length kept, the chunk cut, then what was read: the third cell pair (1, 0), the angle mode, the boxes.
    // clang-format off
    const std::tuple<size_t, const char *, uint8_t, bool, size_t> cases[] = {
        {20, "VERSION", 0, false, 0}, {GridAt + 3, "GRID", 0, false, 0}, {PairsAt + 63, "GRID", 'b', false, 0},
        {radEnd - 1, "RAD", 'b', false, 0}, {radEnd + 5, "FONT", 'b', true, 0}, {radEnd + 10, "FONTSZ", 'b', true, 0},
        {good.size() - 1, "IMAGE", 'b', true, 1}};
    // clang-format on
    for (const auto &[length, chunk, thirdPair, rad, boxes] : cases) {
        const TReadResult r = ReadWorksheet(Bytes(good.begin(), good.begin() + ptrdiff_t(length)));
        EXPECT_EQ(r.Error + r.Warning,
                  std::string("the file ends inside the chunk \"") + chunk + "\"; what came before it was read");
        EXPECT_EQ(std::tuple(r.Sheet.Cells[SheetCells].Ch, r.Sheet.RadMode.has_value(), r.Sheet.Boxes.size()),
                  std::tuple(thirdPair, rad, boxes));
    }
}

// A damaged file with a second, smaller GRID: the sheet is the second one's
// alone, no cell of the first left outside it.
TEST_F(FileTest, ALaterGridReplacesTheEarlierWhole)
{
    LoadPicture(EditText, "\n\n\n\n\n             a");
    Bytes file = Save();
    SheetSetup small(10, 2);
    LoadPicture(EditText, "\n    b");
    const Bytes second = Save();
    const SheetBytes expected;
    const size_t chunkHeader = 12;  // 8-byte name, 32-bit size
    file.insert(file.end(), second.begin() + ptrdiff_t(GridAt - chunkHeader), second.end());
    EXPECT_EQ(Open(file).Error + Open(file).Warning, "");
    EXPECT_TRUE(SheetBytes() == expected);
    EXPECT_EQ(std::tuple(small.grid.ColCount(), small.grid.RowCount(), EditText.UsedColExt, EditText.UsedRowExt),
              std::tuple(10, 2, 1, 0));
}

TEST(FileTitle, TheNameAfterTheLastSeparatorUpToItsFirstDot)
{
    // clang-format off
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\sheets\\my_orbit.rec", "orbit"}, {"C:\\a.b\\c.d.rec", "c"}, {"C:\\sheets\\", ""},
        {"/home/u/orbit.rec", "orbit"}, {"orbit", "orbit"}, {"/home/u.v/[x]orbit", "orbit"}, {"", "kept"},
        {"a`my orbit", "my orbit"}};
    // clang-format on
    for (auto [file, title] : cases) {
        EditText.FileName = file, EditText.Title = "kept";
        SetTitleFromFileName(EditText);
        EXPECT_EQ(EditText.Title, title) << file;
    }
    EditText.FileName.clear(), EditText.Title.clear();
}
