#include "WorksheetFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

using TChunkName = std::array<uint8_t, 8>;

TChunkName MakeName(const char *text)
{
    TChunkName name{};
    const size_t n = std::strlen(text);
    name[0] = uint8_t(n);
    std::memcpy(name.data() + 1, text, n);
    return name;
}

const TChunkName nameVersion = MakeName("VERSION");
const TChunkName namePage = MakeName("PAGE");
const TChunkName nameGrid = MakeName("GRID");
const TChunkName nameEqual = MakeName("EQUAL");
const TChunkName namePageLock = MakeName("PAGELCK");
const TChunkName nameRad = MakeName("RAD");
const TChunkName nameFontSize = MakeName("FONTSZ");
const TChunkName nameImage = MakeName("IMAGE");
const TChunkName nameTextBox = MakeName("TEXTBOX");

constexpr uint8_t ImageKind = 2;
constexpr uint8_t TextBoxKind = 4;
constexpr int32_t MinFontSize = 8;
constexpr int32_t MaxFontSize = 512;
constexpr size_t BmpFileHeaderSize = 14;
// The widest and highest picture a file holds; no box is larger.
constexpr int32_t MaxPictureSide = 32767;
constexpr uint64_t MaxBitmapBytes = uint64_t(1) << 30;

void PutInt32(std::vector<uint8_t> &out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

uint32_t GetUInt(const uint8_t *p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

int32_t GetInt32(const uint8_t *p)
{
    return int32_t(GetUInt(p, 4));
}

void PutBytes(std::vector<uint8_t> &out, const void *data, size_t n)
{
    const auto *p = static_cast<const uint8_t *>(data);
    out.insert(out.end(), p, p + n);
}

void PutChunkHeader(std::vector<uint8_t> &out, const TChunkName &name, int32_t size)
{
    PutBytes(out, name.data(), name.size());
    PutInt32(out, size);
}

// The 48-byte box record: the ten geometry integers, the kind byte, three
// reserved bytes and the text size.
void PutBoxChunk(std::vector<uint8_t> &out, const TFileBox &box)
{
    const bool text = box.SavedAsText();
    const std::vector<uint8_t> &stream = text ? box.Text : box.Picture;
    PutChunkHeader(out, text ? nameTextBox : nameImage, int32_t(BoxRecordSize));
    for (int32_t v : box.Geometry)
        PutInt32(out, v);
    out.insert(out.end(), {text ? TextBoxKind : ImageKind, 0, 0, 0});
    PutInt32(out, text ? int32_t(stream.size()) : 0);
    PutBytes(out, stream.data(), stream.size());
}

// The name's characters; a name cut short by the end of the file shows the
// characters that are there.
std::string NameText(const TChunkName &name, size_t present = 8)
{
    std::string text;
    const int n = std::min<int>(name[0], int(std::max<size_t>(present, 1)) - 1);
    for (int i = 1; i <= n; ++i)
        text += (name[i] >= 32 && name[i] < 127) ? char(name[i]) : '?';
    return text;
}

std::string Range(int64_t first, int64_t last)
{
    return std::to_string(first) + " to " + std::to_string(last);
}

// The farthest a box may lie from its cell, in pixels: the whole sheet up to
// its last cell, cell -1 included, at the largest font size, where a row with
// its line is MaxFontSize * 5 / 4 + 1 pixels high and a column no wider; and
// past that the box's own size, as a box may hang off the sheet's first edges.
int64_t SheetReach(int32_t last)
{
    return (int64_t(last) + 2) * (MaxFontSize * 5 / 4 + 1) + MaxPictureSide;
}

// The bytes of one file; every take says whether the bytes were there.
class TReader {
public:
    TReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    const uint8_t *Take(size_t n)
    {
        if (n > Left())
            return nullptr;
        pos_ += n;
        return data_ + pos_ - n;
    }
    void Skip(size_t n) { pos_ += std::min(n, Left()); }
    const uint8_t *Here() const { return data_ + pos_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

// Reads into the result's sheet copy. Each step returns false when reading
// stops: an error (the file is refused) or the end of the bytes.
class TSheetReader {
public:
    TSheetReader(const uint8_t *data, size_t size, int32_t colMax, int32_t rowMax, TReadResult &result)
        : data_(data), size_(size), in_(data, size), result_(result), sheet_(result.Sheet)
    {
        sheet_.Cells.assign(size_t(SheetCells) * SheetCells, TCell{});
        sheet_.Attrs.assign(size_t(SheetCells) * SheetCells, TAttrCell{});
        sheet_.ColMax = colMax;
        sheet_.RowMax = rowMax;
    }

    void Read()
    {
        const uint8_t *first = in_.Take(nameVersion.size());
        if (first && std::equal(nameVersion.begin(), nameVersion.end(), first))
            ReadChunks();
        else
            ReadOldLayout();
        if (result_.Ok())
            CheckBoxPlaces();
        if (!result_.Ok())
            result_.Warning.clear();
    }

private:
    bool Fail(const std::string &what)
    {
        result_.Error = what;
        return false;
    }
    bool CutShort(const std::string &chunk)
    {
        result_.Warning = "the file ends inside the chunk \"" + chunk + "\"; what came before it was read";
        return false;
    }

    bool SetExtent(int32_t colMax, int32_t rowMax, int32_t firstCol, int32_t firstRow, int32_t lastCol, int32_t lastRow)
    {
        if (colMax < 0 || colMax > SheetLast || rowMax < 0 || rowMax > SheetLast)
            return Fail("the sheet size " + std::to_string(int64_t(colMax) + 1) + " x " +
                        std::to_string(int64_t(rowMax) + 1) + " is outside 1 x 1 to 145 x 145");
        if (firstCol < 0 || firstRow < 0 || lastCol < 0 || lastRow < 0 || lastCol > colMax || lastRow > rowMax)
            return Fail("the stored cells (columns " + Range(firstCol, lastCol) + ", rows " + Range(firstRow, lastRow) +
                        ") lie outside the sheet of " + std::to_string(colMax + 1) + " x " +
                        std::to_string(rowMax + 1) + " cells");
        sheet_.HasGrid = true;
        sheet_.ColMax = colMax;
        sheet_.RowMax = rowMax;
        sheet_.UsedColExt = lastCol;
        sheet_.UsedRowExt = lastRow;
        return true;
    }

    size_t Index(int c, int r) const { return size_t(c) * SheetCells + size_t(r); }

    // No chunks: four integers, then the cell layer of the whole sheet.
    void ReadOldLayout()
    {
        sheet_.OldLayout = true;
        in_ = TReader(data_, size_);
        const uint8_t *h = in_.Take(16);
        if (!h) {
            Fail("the file is too short to be a worksheet");
            return;
        }
        const int32_t colMax = GetInt32(h), rowMax = GetInt32(h + 4);
        if (!SetExtent(colMax, rowMax, 0, 0, GetInt32(h + 8), GetInt32(h + 12)))
            return;
        for (int c = 0; c <= colMax; ++c)
            for (int r = 0; r <= rowMax; ++r) {
                const uint8_t *p = in_.Take(sizeof(TCell));
                if (!p) {
                    result_.Warning = "the file ends inside the cells; what came before was read";
                    return;
                }
                std::memcpy(&sheet_.Cells[Index(c, r)], p, sizeof(TCell));
            }
    }

    void ReadChunks()
    {
        const uint8_t *p = in_.Take(4);
        if (!p) {
            CutShort("VERSION");
            return;
        }
        if (!CheckSize(nameVersion, GetInt32(p), VersionRecordSize))
            return;
        if (!in_.Take(size_t(GetInt32(p)))) {
            CutShort("VERSION");
            return;
        }
        while (in_.Left() > 0) {
            TChunkName name{};
            const size_t got = std::min(in_.Left(), name.size());
            std::memcpy(name.data(), in_.Take(got), got);
            const uint8_t *s = in_.Take(4);
            if (got < name.size() || !s) {
                CutShort(NameText(name, got));
                return;
            }
            if (!ReadChunk(name, GetInt32(s)))
                return;
        }
    }

    // A known chunk's size must fit its record; an unknown one has no limit.
    bool CheckSize(const TChunkName &name, int32_t size, size_t record = SIZE_MAX)
    {
        if (size < 0)
            return Fail("the chunk \"" + NameText(name) + "\" has a negative size (" + std::to_string(size) + ")");
        if (size_t(size) > record)
            return Fail("the chunk \"" + NameText(name) + "\" claims " + std::to_string(size) +
                        " bytes, more than the " + std::to_string(record) + " of its record");
        return true;
    }

    // The record of a known chunk: its own length whatever its size says.
    const uint8_t *Record(const TChunkName &name, int32_t size, size_t record)
    {
        if (!CheckSize(name, size, record))
            return nullptr;
        const uint8_t *p = in_.Take(record);
        if (!p)
            CutShort(NameText(name));
        return p;
    }

    bool ReadChunk(const TChunkName &name, int32_t size)
    {
        if (name == nameGrid)
            return ReadGrid(size);
        for (auto [known, mode] : {std::pair{&nameEqual, &sheet_.EqualMode}, std::pair{&namePageLock, &sheet_.PageLock},
                                   std::pair{&nameRad, &sheet_.RadMode}})
            if (name == *known) {
                const uint8_t *p = Record(name, size, 1);
                if (p)
                    *mode = *p;
                return p != nullptr;
            }
        if (name == nameFontSize) {
            const uint8_t *p = Record(name, size, 4);
            if (!p)
                return false;
            const int32_t fontSize = GetInt32(p);
            if (fontSize < MinFontSize || fontSize > MaxFontSize)
                return Fail("the font size " + std::to_string(fontSize) + " is outside " +
                            Range(MinFontSize, MaxFontSize));
            sheet_.FontSize = fontSize;
            return true;
        }
        if (name == nameImage || name == nameTextBox)
            return ReadBox(name, size);
        // Unknown chunks, "PAGE" among them, are passed over by their size.
        if (!CheckSize(name, size))
            return false;
        if (size_t(size) > in_.Left())
            return CutShort(NameText(name));
        in_.Skip(size_t(size));
        return true;
    }

    bool ReadGrid(int32_t size)
    {
        const uint8_t *h = Record(nameGrid, size, GridHeaderSize);
        if (!h)
            return false;
        const int32_t firstCol = GetInt32(h + 16), firstRow = GetInt32(h + 20);
        const int32_t lastCol = GetInt32(h + 24), lastRow = GetInt32(h + 28);
        if (!SetExtent(GetInt32(h + 8), GetInt32(h + 12), firstCol, firstRow, lastCol, lastRow))
            return false;
        // A later GRID replaces an earlier one whole, as every later chunk
        // does: no cell of the earlier may stay behind, outside the new size.
        std::fill(sheet_.Cells.begin(), sheet_.Cells.end(), TCell{});
        std::fill(sheet_.Attrs.begin(), sheet_.Attrs.end(), TAttrCell{});
        for (int c = firstCol; c <= lastCol; ++c)
            for (int r = firstRow; r <= lastRow; ++r) {
                const uint8_t *p = in_.Take(sizeof(TCell) + sizeof(TAttrCell));
                if (!p)
                    return CutShort("GRID");
                std::memcpy(&sheet_.Cells[Index(c, r)], p, sizeof(TCell));
                std::memcpy(&sheet_.Attrs[Index(c, r)], p + sizeof(TCell), sizeof(TAttrCell));
            }
        return true;
    }

    bool ReadBox(const TChunkName &name, int32_t size)
    {
        const bool text = name == nameTextBox;
        const uint8_t *rec = Record(name, size, BoxRecordSize);
        if (!rec)
            return false;
        TFileBox box;
        for (size_t i = 0; i < box.Geometry.size(); ++i)
            box.Geometry[i] = GetInt32(rec + 4 * i);
        if (box.Geometry[TFileBox::Width] < 0 || box.Geometry[TFileBox::Height] < 0)
            return Fail("a box has a negative width or height");
        for (auto [field, what] : {std::pair{TFileBox::Width, "wide"}, std::pair{TFileBox::Height, "high"}})
            if (box.Geometry[field] > MaxPictureSide)
                return Fail("a box is " + std::to_string(box.Geometry[field]) + " pixels " + what + ", more than " +
                            std::to_string(MaxPictureSide));
        size_t length = 0;
        if (text) {
            const int32_t textSize = GetInt32(rec + 44);
            if (textSize < 0 || size_t(textSize) > in_.Left())
                return Fail("a text box claims " + std::to_string(textSize) + " bytes of text, but " +
                            std::to_string(in_.Left()) + " bytes follow");
            length = size_t(textSize);
            box.Kind = 2;
            box.State = 2;
        } else {
            std::string error;
            length = BitmapStreamLength(in_.Here(), in_.Left(), error);
            if (length == 0)
                return Fail("a picture is not a bitmap: " + error);
            if (length > in_.Left())
                return CutShort(NameText(name));
            box.Kind = 1;
            box.State = 0;
        }
        const uint8_t *p = in_.Take(length);
        (text ? box.Text : box.Picture).assign(p, p + length);
        sheet_.Boxes.push_back(std::move(box));
        return true;
    }

    // Only once the whole file is read is the sheet known that the boxes lie
    // on: a later GRID replaces an earlier one. Each box lies on it, or on the
    // cells -1 just before it, and its offsets reach no farther than it does.
    bool CheckBoxPlaces()
    {
        for (const TFileBox &box : sheet_.Boxes)
            for (auto [cell, offset, last, cellName, offsetName] :
                 {std::tuple{TFileBox::Col, TFileBox::DX, sheet_.ColMax, "column", "horizontal"},
                  std::tuple{TFileBox::Row, TFileBox::DY, sheet_.RowMax, "row", "vertical"}}) {
                const int32_t at = box.Geometry[cell], by = box.Geometry[offset];
                const int64_t reach = SheetReach(last);
                if (at < -1 || at > last)
                    return Fail(std::string("a box is anchored at ") + cellName + " " + std::to_string(at) +
                                ", outside " + Range(-1, last));
                if (by < -reach || by > reach)
                    return Fail(std::string("a box's ") + offsetName + " offset " + std::to_string(by) +
                                " is outside " + Range(-reach, reach));
            }
        return true;
    }

    const uint8_t *data_;
    size_t size_;
    TReader in_;
    TReadResult &result_;
    TLoadedSheet &sheet_;
};

}  // namespace

void FindUsedOrigin(const TEditText &sheet, int32_t &firstCol, int32_t &firstRow)
{
    auto used = [&](int c, int r) { return !sheet.Cells[c][r].AllZero() || !sheet.Attrs[c][r].AllZero(); };
    const int colMax = std::clamp<int>(sheet.ColMax, 0, SheetLast);
    const int rowMax = std::clamp<int>(sheet.RowMax, 0, SheetLast);
    firstCol = 0;
    firstRow = 0;
    bool found = false;
    for (int r = 0; r <= rowMax && !found; ++r)
        for (int c = 0; c <= colMax && !found; ++c)
            if (used(c, r)) {
                firstRow = r;
                found = true;
            }
    found = false;
    for (int c = 0; c <= colMax && !found; ++c)
        for (int r = 0; r <= rowMax && !found; ++r)
            if (used(c, r)) {
                firstCol = c;
                found = true;
            }
}

std::vector<uint8_t> SaveWorksheet(const TEditText &sheet, int32_t fontSize, const std::vector<TFileBox> &boxes)
{
    std::vector<uint8_t> out;
    out.reserve(200);
    PutChunkHeader(out, nameVersion, int32_t(VersionRecordSize));
    out.push_back(uint8_t(std::strlen(FileVersionText)));
    PutBytes(out, FileVersionText, std::strlen(FileVersionText));
    out.resize(out.size() + VersionRecordSize - 1 - std::strlen(FileVersionText), 0);

    PutChunkHeader(out, namePage, 4);
    PutInt32(out, 1);

    // The stored range reaches every cell that holds something, even where
    // the used extent has not caught up with it.
    const int32_t colMax = std::clamp<int32_t>(sheet.ColMax, 0, SheetLast);
    const int32_t rowMax = std::clamp<int32_t>(sheet.RowMax, 0, SheetLast);
    int32_t firstCol, firstRow, lastCol, lastRow;
    FindUsedOrigin(sheet, firstCol, firstRow);
    sheet.FindUsedExtent(lastCol, lastRow);
    lastCol = std::clamp(std::max(lastCol, sheet.UsedColExt), int32_t(0), colMax);
    lastRow = std::clamp(std::max(lastRow, sheet.UsedRowExt), int32_t(0), rowMax);
    PutChunkHeader(out, nameGrid, int32_t(GridHeaderSize));
    for (int32_t v : {int32_t(0), int32_t(0), colMax, rowMax, firstCol, firstRow, lastCol, lastRow})
        PutInt32(out, v);
    const size_t pairs = size_t(std::max(0, lastCol - firstCol + 1)) * size_t(std::max(0, lastRow - firstRow + 1));
    size_t at = out.size();
    out.resize(at + pairs * (sizeof(TCell) + sizeof(TAttrCell)));
    for (int c = firstCol; c <= lastCol; ++c)
        for (int r = firstRow; r <= lastRow; ++r) {
            std::memcpy(out.data() + at, &sheet.Cells[c][r], sizeof(TCell));
            std::memcpy(out.data() + at + sizeof(TCell), &sheet.Attrs[c][r], sizeof(TAttrCell));
            at += sizeof(TCell) + sizeof(TAttrCell);
        }

    for (auto [name, value] : {std::pair{&nameEqual, sheet.EqualMode}, std::pair{&namePageLock, sheet.PageLock},
                               std::pair{&nameRad, sheet.RadMode}}) {
        PutChunkHeader(out, *name, 1);
        out.push_back(value);
    }
    PutChunkHeader(out, nameFontSize, 4);
    PutInt32(out, fontSize);

    for (const TFileBox &box : boxes)
        if (box.Saved())
            PutBoxChunk(out, box);
    return out;
}

TReadResult ReadWorksheet(const uint8_t *data, size_t size, int32_t colMax, int32_t rowMax)
{
    TReadResult result;
    TSheetReader(data, size, colMax, rowMax, result).Read();
    return result;
}

void ApplyLoadedSheet(const TLoadedSheet &loaded, TEditText &sheet)
{
    sheet.Reset();
    if (loaded.HasGrid) {
        if (sheet.Grid)
            sheet.Grid->SetSize(loaded.ColMax + 1, loaded.RowMax + 1);
        sheet.ColMax = loaded.ColMax;
        sheet.RowMax = loaded.RowMax;
    }
    // The copy is laid out column by column as the sheet's arrays are.
    static_assert(sizeof sheet.Cells == SheetCells * SheetCells * sizeof(TCell));
    std::memcpy(static_cast<void *>(sheet.Cells), loaded.Cells.data(), sizeof sheet.Cells);
    std::memcpy(static_cast<void *>(sheet.Attrs), loaded.Attrs.data(), sizeof sheet.Attrs);
    int32_t lastCol, lastRow;
    sheet.FindUsedExtent(lastCol, lastRow);
    sheet.UsedColExt = std::clamp(std::max(lastCol, loaded.UsedColExt), int32_t(0), sheet.ColMax);
    sheet.UsedRowExt = std::clamp(std::max(lastRow, loaded.UsedRowExt), int32_t(0), sheet.RowMax);
    if (loaded.EqualMode)
        sheet.EqualMode = *loaded.EqualMode;
    if (loaded.PageLock)
        sheet.PageLock = *loaded.PageLock;
    if (loaded.RadMode)
        sheet.RadMode = *loaded.RadMode;
    if (loaded.FontSize)
        FontSize = *loaded.FontSize;
}

void SetTitleFromFileName(TEditText &sheet)
{
    const std::string &name = sheet.FileName;
    if (name.empty())
        return;
    auto ends = [](unsigned char ch) { return ch < 32 || (ch >= 91 && ch <= 96) || ch == '/'; };
    size_t start = name.size();
    while (start > 0 && !ends(uint8_t(name[start - 1])))
        --start;
    const size_t dot = name.find('.', start);
    sheet.Title = name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

size_t BitmapStreamLength(const uint8_t *data, size_t size, std::string &error)
{
    if (size >= 2 && (data[0] != 'B' || data[1] != 'M')) {
        error = "it does not start with \"BM\"";
        return 0;
    }
    if (size < BmpFileHeaderSize + 4)
        return BmpFileHeaderSize + 4;
    const uint32_t headerSize = GetUInt(data + BmpFileHeaderSize, 4);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 && headerSize != 108 &&
        headerSize != 124) {
        error = "its bitmap header of " + std::to_string(headerSize) + " bytes is unknown";
        return 0;
    }
    if (size < BmpFileHeaderSize + headerSize)
        return BmpFileHeaderSize + headerSize;
    const uint8_t *h = data + BmpFileHeaderSize;
    const int64_t width = core ? int64_t(GetUInt(h + 4, 2)) : int64_t(GetInt32(h + 4));
    const int64_t height = core ? int64_t(GetUInt(h + 6, 2)) : int64_t(GetInt32(h + 8));
    const uint32_t bits = GetUInt(h + (core ? 10 : 14), 2);
    const uint32_t compression = core ? 0 : GetUInt(h + 16, 4);
    const uint32_t imageSize = core ? 0 : GetUInt(h + 20, 4);
    const uint32_t colorsUsed = core ? 0 : GetUInt(h + 32, 4);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "its bit depth " + std::to_string(bits) + " is unknown";
        return 0;
    }
    if (width <= 0 || width > MaxPictureSide || height == 0 || height < -MaxPictureSide || height > MaxPictureSide) {
        error = "its size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range";
        return 0;
    }
    if (compression > 6 || compression == 4 || compression == 5 ||
        ((compression == 1 || compression == 2) && imageSize == 0)) {
        error = "its compression " + std::to_string(compression) + " is unknown";
        return 0;
    }
    if (colorsUsed > 65536) {
        error = "its colour table of " + std::to_string(colorsUsed) + " entries is too large";
        return 0;
    }
    const uint64_t masks = headerSize == 40 ? (compression == 3 ? 12 : compression == 6 ? 16 : 0) : 0;
    const uint64_t colors = colorsUsed != 0 ? colorsUsed : (bits <= 8 ? uint64_t(1) << bits : 0);
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t pixels = imageSize != 0 ? imageSize : stride * uint64_t(height < 0 ? -height : height);
    const uint64_t total = BmpFileHeaderSize + headerSize + masks + colors * (core ? 3 : 4) + pixels;
    if (total > MaxBitmapBytes) {
        error = "it is larger than 1 GiB";
        return 0;
    }
    return size_t(total);
}
