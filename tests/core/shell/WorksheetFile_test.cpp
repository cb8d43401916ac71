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
    for (const char *p = text; *p;) {
        if (*p == ' ' || *p == '\n') {
            ++p;
            continue;
        }
        out.push_back(uint8_t(std::stoi(std::string(p, 2), nullptr, 16)));
        p += 2;
    }
    return out;
}

void Int32(Bytes &b, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}
int32_t Int32At(const Bytes &b, size_t at)
{
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
void Name(Bytes &b, const char *name, int32_t size)
{
    b.push_back(uint8_t(std::strlen(name)));
    for (size_t i = 0; i < 7; ++i)
        b.push_back(uint8_t(i < std::strlen(name) ? name[i] : 0));
    Int32(b, size);
}

// A BMP file: 40-byte header, colour table when indexed, rows padded to 4.
Bytes Bitmap(int width, int height, int bits, uint32_t imageSize = 0)
{
    const uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
    const uint32_t pixels = stride * uint32_t(height < 0 ? -height : height);
    Bytes b{'B', 'M'};
    Int32(b, int32_t(54 + colors * 4 + pixels));
    Int32(b, 0);
    Int32(b, int32_t(54 + colors * 4));
    for (int32_t v : {40, width, height})
        Int32(b, v);
    b.insert(b.end(), {1, 0, uint8_t(bits), 0});
    for (int32_t v : {0, int32_t(imageSize), 2835, 2835, 0, 0})
        Int32(b, v);
    for (uint32_t i = 0; i < colors * 4 + pixels; ++i)
        b.push_back(uint8_t(i * 7));
    return b;
}

// Offsets in a file with no boxes: the GRID header, the first cell pair.
constexpr size_t GridHeaderAt = 28 + 16 + 12;
constexpr size_t PairsAt = GridHeaderAt + 32;

struct FileTest : ::testing::Test {
    SheetSetup setup;
    FileTest() { FontSize = 14; }
    static Bytes Save(std::vector<TFileBox> boxes = {}) { return SaveWorksheet(EditText, FontSize, boxes); }
    static TReadResult Read(const Bytes &b) { return ReadWorksheet(b); }
    // Opens the bytes into the sheet and checks they were good.
    static TLoadedSheet Open(const Bytes &b)
    {
        TReadResult r = Read(b);
        EXPECT_EQ(r.Error, "");
        EXPECT_EQ(r.Warning, "");
        ApplyLoadedSheet(r.Sheet, EditText);
        return r.Sheet;
    }
};

// A fraction, raised cells, results, a Symbol cell, a root with its area.
const char *const smallSheet = " \n 1 ^2\n-- --\n 2 $p  =  3* .*\n";

}  // namespace

TEST_F(FileTest, EmptySheetAtFirstStartIs159Bytes)
{
    EditText.RadMode = 1;
    EXPECT_EQ(Save(), Hex(R"(07 56 45 52 53 49 4F 4E 10 00 00 00 08 30 31 2E 33 33 2E 30 30 00 00 00 00 00 00 00
        04 50 41 47 45 00 00 00 04 00 00 00 01 00 00 00
        04 47 52 49 44 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00 47 00 00 00 47 00 00 00
        00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
        00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
        05 45 51 55 41 4C 00 00 01 00 00 00 00
        07 50 41 47 45 4C 43 4B 01 00 00 00 00
        03 52 41 44 00 00 00 00 01 00 00 00 01
        06 46 4F 4E 54 53 5A 00 04 00 00 00 0E 00 00 00)"));
    EXPECT_EQ(Save().size(), 159u);
}

TEST_F(FileTest, StoredRangeStartsAtTheFirstUsedCellAndRunsToTheExtent)
{
    struct Case {
        const char *name;
        int col, row;
        bool onlyUnlocked;
        int lastCol, lastRow;  // the used extent before saving
    } const cases[] = {
        {"character", 5, 3, false, 5, 3},
        {"extent beyond", 5, 3, false, 9, 4},
        {"unlocked cell of a locked page", 7, 9, true, 7, 9},
        {"extent behind the cells", 5, 3, false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SheetSetup fresh;
        if (c.onlyUnlocked)
            EditText.Attrs[c.col][c.row].Protection = 2;
        else
            EditText.Cells[c.col][c.row].Ch = 'q';
        EditText.UsedColExt = c.lastCol;
        EditText.UsedRowExt = c.lastRow;
        const Bytes b = Save();
        const int lastCol = std::max(c.lastCol, c.col), lastRow = std::max(c.lastRow, c.row);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(Int32At(b, GridHeaderAt + 4 * i),
                      (std::vector<int>{0, 0, 71, 71, c.col, c.row, lastCol, lastRow}[i]));
        EXPECT_EQ(b.size(), 159u - 16 + 16u * (lastCol - c.col + 1) * (lastRow - c.row + 1));
        EXPECT_EQ(b[PairsAt + (c.onlyUnlocked ? 14 : 0)], c.onlyUnlocked ? 2 : 'q');
    }
}

TEST_F(FileTest, SheetModesAndFontSizeComeBackAndSaveAgainToTheSameBytes)
{
    LoadPicture(EditText, smallSheet);
    EditText.Attrs[2][4] = {1, 4, 4, 0, 0, 1, 0, 0};  // a root area's marks
    EditText.Attrs[3][4] = {0, 0, 0, 4, 2, 2, 2, 0};
    EditText.EqualMode = 1, EditText.PageLock = 1, EditText.RadMode = 0;
    FontSize = 20;
    const Bytes saved = Save();
    const SheetBytes before;

    SheetSetup other(144, 144);
    EditText.RadMode = 1;
    FontSize = 14;
    Open(saved);
    EXPECT_TRUE(SheetBytes() == before);
    EXPECT_EQ(std::vector<int>({setup.grid.ColCount(), other.grid.ColCount(), other.grid.RowCount()}),
              std::vector<int>({72, 72, 72}));
    EXPECT_EQ(std::vector<int>({EditText.EqualMode, EditText.PageLock, EditText.RadMode, FontSize}),
              std::vector<int>({1, 1, 0, 20}));
    EXPECT_EQ(Save(), saved);
}

TEST_F(FileTest, OpeningASmallerSheetLeavesNothingOfTheLargerOne)
{
    SheetSetup small(108, 48);
    const Bytes smallFile = Save();
    SheetSetup large(144, 144);
    EditText.Cells[120][100].Ch = 'z';
    EditText.Cells[10][10].Ch = 'y';
    Open(smallFile);
    EXPECT_EQ(std::vector<int>({EditText.ColMax, EditText.RowMax}), std::vector<int>({107, 47}));
    const SheetBytes after;
    SheetSetup empty;
    EXPECT_TRUE(SheetBytes() == after);
}

TEST_F(FileTest, BoxesAreWrittenInListOrderAndReadInFileOrder)
{
    TFileBox picture{1, 0, {3, 4, 1, 2, 50, 60, 0, 0, 8, 4}, Bitmap(8, 4, 24), {}};
    TFileBox shownText{1, 2, {0, 1, 0, 0, 5, 6, 7, 8, 90, 30}, {}, Bytes{'{', '\\', 'r', 't', 'f', '1', '}'}};
    TFileBox editedText{2, 2, {-1, -1, 0, 0, 1, 2, 3, 4, 40, 24}, {}, Bytes{'{', '}'}};
    TFileBox head{0, 0, {}, {}, {}};
    const Bytes saved = Save({shownText, head, picture, editedText});
    const Bytes plain = Save();
    ASSERT_EQ(saved.size(), plain.size() + 3 * 60 + picture.Picture.size() + 7 + 2);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), saved.begin()));
    // The first box chunk, byte for byte.
    Bytes first;
    Name(first, "TEXTBOX", 48);
    for (int32_t v : shownText.Geometry)
        Int32(first, v);
    first.insert(first.end(), {4, 0, 0, 0, 7, 0, 0, 0});
    first.insert(first.end(), shownText.Text.begin(), shownText.Text.end());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), saved.begin() + ptrdiff_t(plain.size())));
    EXPECT_EQ(saved[plain.size() + 67 + 12 + 40], 2);  // the picture's kind byte

    const TReadResult r = Read(saved);
    ASSERT_EQ(r.Error, "");
    shownText.Kind = 2;  // read back as a text box to be rendered
    EXPECT_EQ(r.Sheet.Boxes, (std::vector<TFileBox>{shownText, picture, editedText}));
}

TEST_F(FileTest, OldLayoutHoldsTheCellLayerOnly)
{
    SheetSetup before(144, 144);
    EditText.EqualMode = 1;
    Bytes old;
    for (int32_t v : {9, 4, 0, 0})  // the extent stored is behind the cells
        Int32(old, v);
    for (int c = 0; c <= 9; ++c)
        for (int r = 0; r <= 4; ++r)
            old.insert(old.end(),
                       {uint8_t(c == 6 && r == 3 ? 'k' : 0), 0, uint8_t(c == 6 && r == 3 ? 1 : 0), 0, 0, 0, 0, 0});
    const TLoadedSheet loaded = Open(old);
    EXPECT_TRUE(loaded.OldLayout);
    EXPECT_FALSE(loaded.FontSize || loaded.RadMode || loaded.EqualMode || loaded.PageLock);
    EXPECT_EQ(std::vector<int>({EditText.ColMax, EditText.RowMax, EditText.UsedColExt, EditText.UsedRowExt,
                                EditText.EqualMode, EditText.Cells[6][3].Ch, int(EditText.Cells[6][3].Flags())}),
              std::vector<int>({9, 4, 6, 3, 1, 'k', 0x100}));
}

TEST_F(FileTest, UnknownChunksArePassedOverByTheirSize)
{
    Bytes b = Save();
    EditText.EqualMode = 1;
    const Bytes withEqual = Save();
    const size_t equalAt = PairsAt + 16;
    Bytes extra;
    Name(extra, "ZZZ", 10);
    extra.insert(extra.end(), 10, 0xEE);
    b = withEqual;
    b.insert(b.begin() + ptrdiff_t(equalAt), extra.begin(), extra.end());
    SheetSetup fresh;
    const TLoadedSheet loaded = Open(b);
    EXPECT_EQ(loaded.EqualMode, 1);
    EXPECT_EQ(loaded.FontSize, 14);
}

TEST_F(FileTest, AFileThatDoesNotStartWithVersionIsReadAsOldLayout)
{
    Bytes b = Save();
    b[0] = 6;  // "VERSION" with another length byte
    const TReadResult r = Read(b);
    EXPECT_TRUE(r.Sheet.OldLayout);
    EXPECT_EQ(r.Error, "the sheet size 1380275719 x 1313818964 is outside 1 x 1 to 145 x 145");
}

TEST_F(FileTest, MalformedFilesAreRefusedWithWhatIsWrong)
{
    EditText.Cells[1][1].Ch = 'a';
    const Bytes good = Save({{1, 2, {}, {}, {'x'}}});
    const size_t boxAt = good.size() - 61;
    struct Case {
        const char *name;
        size_t at;
        Bytes bytes;  // written over the good file at `at`
        const char *error;
    } const cases[] = {
        {"version size", 8, {17}, "the chunk \"VERSION\" claims 17 bytes, more than the 16 of its record"},
        {"grid size", GridHeaderAt - 4, {33}, "the chunk \"GRID\" claims 33 bytes, more than the 32 of its record"},
        {"negative page size", 36, {0xFF, 0xFF, 0xFF, 0xFF}, "the chunk \"PAGE\" has a negative size (-1)"},
        {"sheet too wide", GridHeaderAt + 8, {145}, "the sheet size 146 x 72 is outside 1 x 1 to 145 x 145"},
        {"negative rows",
         GridHeaderAt + 12,
         {0xFF, 0xFF, 0xFF, 0xFF},
         "the sheet size 72 x 0 is outside 1 x 1 to 145 x 145"},
        {"range beyond the sheet",
         GridHeaderAt + 24,
         {72},
         "the stored cells (columns 1 to 72, rows 1 to 1) lie outside the sheet of 72 x 72 cells"},
        {"negative first row",
         GridHeaderAt + 20,
         {0xFE, 0xFF, 0xFF, 0xFF},
         "the stored cells (columns 1 to 1, rows -2 to 1) lie outside the sheet of 72 x 72 cells"},
        {"equal size", PairsAt + 16 + 8, {2}, "the chunk \"EQUAL\" claims 2 bytes, more than the 1 of its record"},
        {"font size", boxAt - 4, {1, 2}, "the font size 513 is outside 8 to 512"},
        {"box size", boxAt + 8, {49}, "the chunk \"TEXTBOX\" claims 49 bytes, more than the 48 of its record"},
        {"negative box width", boxAt + 12 + 32, {0xFF, 0xFF, 0xFF, 0xFF}, "a box has a negative width or height"},
        {"text beyond the file", boxAt + 12 + 44, {2}, "a text box claims 2 bytes of text, but 1 bytes follow"},
        {"negative text size",
         boxAt + 12 + 47,
         {0x80},
         "a text box claims -2147483647 bytes of text, but 1 bytes follow"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = good;
        std::copy(c.bytes.begin(), c.bytes.end(), b.begin() + ptrdiff_t(c.at));
        const TReadResult r = Read(b);
        EXPECT_EQ(r.Error, c.error);
        EXPECT_EQ(r.Warning, "");
    }
    // One byte less than the limit is fine.
    Bytes b = good;
    b[boxAt - 4] = 0xFF, b[boxAt - 3] = 1;
    EXPECT_EQ(Read(b).Error, "");
    EXPECT_EQ(Read(Bytes(15, 0)).Error, "the file is too short to be a worksheet");
}

TEST_F(FileTest, PicturesThatAreNoBitmapAreRefused)
{
    struct Case {
        const char *name;
        Bytes picture;
        const char *error;
    } const cases[] = {
        {"no signature", Bytes{'P', 'N', 'G', 0}, "a picture is not a bitmap: it does not start with \"BM\""},
        {"header size",
         [] {
             Bytes b = Bitmap(2, 2, 24);
             b[14] = 20;
             return b;
         }(),
         "a picture is not a bitmap: its bitmap header of 20 bytes is unknown"},
        {"bit depth",
         [] {
             Bytes b = Bitmap(2, 2, 24);
             b[28] = 7;
             return b;
         }(),
         "a picture is not a bitmap: its bit depth 7 is unknown"},
        {"zero height", Bitmap(2, 0, 24), "a picture is not a bitmap: its size 2 x 0 is out of range"},
        {"run length without size",
         [] {
             Bytes b = Bitmap(2, 2, 8);
             b[30] = 1;
             return b;
         }(),
         "a picture is not a bitmap: its compression 1 is unknown"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(Save({{1, 0, {}, c.picture, {}}})).Error, c.error);
    }
}

TEST_F(FileTest, BitmapLengthComesFromItsHeaders)
{
    struct Case {
        const char *name;
        Bytes bmp;
        size_t length;
    } const cases[] = {
        {"24 bits, row padding", Bitmap(3, 2, 24), 54 + 2 * 12},
        {"8 bits with colour table", Bitmap(5, 3, 8), 54 + 1024 + 3 * 8},
        {"1 bit, top down", Bitmap(33, -2, 1), 54 + 8 + 2 * 8},
        {"image size field", Bitmap(2, 2, 32, 20), 54 + 20},
        {"bit fields",
         [] {
             Bytes b = Bitmap(2, 2, 16);
             b[30] = 3;
             b.insert(b.begin() + 54, 12, 0);
             return b;
         }(),
         54 + 12 + 8},
        {"core header", Hex("42 4D 00 00 00 00 00 00 00 00 00 00 00 00 0C 00 00 00 02 00 02 00 01 00 04 00"),
         26 + 48 + 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(BitmapStreamLength(c.bmp.data(), c.bmp.size(), error), c.length);
        EXPECT_EQ(error, "");
    }
}

TEST_F(FileTest, AFileCutShortKeepsTheChunksReadCompletely)
{
    LoadPicture(EditText, " a  b\n c");
    EditText.RadMode = 1;
    const TFileBox picture{1, 0, {1, 1, 0, 0, 0, 0, 0, 0, 4, 4}, Bitmap(4, 4, 24), {}};
    const Bytes good = Save({picture, picture});
    const size_t radEnd = PairsAt + 4 * 16 + 13 * 3;
    struct Case {
        size_t length;
        const char *chunk;
        int pairs;  // cell pairs read
        bool rad;
        size_t boxes;
    } const cases[] = {
        {20, "VERSION", 0, false, 0},
        {GridHeaderAt + 3, "GRID", 0, false, 0},
        {PairsAt + 16 * 3 + 15, "GRID", 3, false, 0},
        {radEnd - 1, "RAD", 4, false, 0},
        {radEnd + 5, "FONT", 4, true, 0},
        {radEnd + 10, "FONTSZ", 4, true, 0},
        {good.size() - 1, "IMAGE", 4, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chunk);
        const TReadResult r = Read(Bytes(good.begin(), good.begin() + ptrdiff_t(c.length)));
        EXPECT_EQ(r.Error, "");
        EXPECT_EQ(r.Warning,
                  std::string("the file ends inside the chunk \"") + c.chunk + "\"; what came before it was read");
        EXPECT_EQ(r.Sheet.Cells[SheetCells].Ch, c.pairs >= 3 ? 'b' : 0);  // (1, 0), the third pair
        EXPECT_EQ(r.Sheet.RadMode.has_value(), c.rad);
        EXPECT_EQ(r.Sheet.Boxes.size(), c.boxes);
    }
    Bytes oldLayout;
    for (int32_t v : {71, 71, 0, 0})
        Int32(oldLayout, v);
    oldLayout.resize(100, 'x');
    const TReadResult r = Read(oldLayout);
    EXPECT_EQ(r.Warning, "the file ends inside the cells; what came before was read");
    EXPECT_EQ(r.Sheet.Cells[9].Ch, 'x');
    EXPECT_EQ(r.Sheet.Cells[10].Ch, 0);
}

TEST(FileTitle, FromTheNameAfterTheLastSeparatorUpToTheFirstDot)
{
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\sheets\\orbit.rec", "orbit"},
        {"C:\\sheets\\orbit", "orbit"},
        {"C:\\sheets\\my_orbit.rec", "orbit"},
        {"C:\\a.b\\c.d.rec", "c"},
        {"C:\\sheets\\", ""},
        {"/home/u/orbit.rec", "orbit"},
        {"orbit.rec", "orbit"},
        {"/home/u.v/[x]orbit", "orbit"},
        {"", "kept"},
    };
    for (auto [file, title] : cases) {
        EditText.FileName = file;
        EditText.Title = "kept";
        SetTitleFromFileName(EditText);
        EXPECT_EQ(EditText.Title, title) << file;
    }
    EditText.FileName.clear();
    EditText.Title.clear();
}
