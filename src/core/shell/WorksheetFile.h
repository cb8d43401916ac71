// The worksheet file (*.rec): named chunks holding the sheet's cells, its
// modes, the font size and every text box and picture; files of the older
// layout without chunks are still read. Reading and writing work on byte
// buffers; the window does the dialogs and the file handles.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "worksheet/Edit.h"

constexpr size_t ChunkHeaderSize = 12;  // 8-byte name, 32-bit size
constexpr size_t GridHeaderSize = 32;
constexpr size_t BoxRecordSize = 48;
constexpr size_t VersionRecordSize = 16;
constexpr const char *FileVersionText = "01.33.00";

// One text box or picture as the file holds it. The window maps its boxes to
// and from these records.
struct TFileBox {
    enum : int { Col, Row, DX, DY, Left, Top, DragX, DragY, Width, Height };

    uint8_t Kind = 1;                    // 1: the picture is shown; 2: the text box is being edited
    uint8_t State = 0;                   // 2: a text box (also while its picture is shown); 0: a plain picture
    std::array<int32_t, 10> Geometry{};  // in the order of the enum above
    std::vector<uint8_t> Picture;        // a plain picture: a BMP file
    std::vector<uint8_t> Text;           // a text box: its rich text

    // Saved as "TEXTBOX" (else as "IMAGE", when it is a picture at all).
    bool SavedAsText() const { return Kind == 2 || (Kind == 1 && State == 2); }
    bool Saved() const { return Kind == 1 || Kind == 2; }

    friend bool operator==(const TFileBox &, const TFileBox &) = default;
};

// First used column and row (0, 0 on an empty sheet); a cell is used when
// either of its two records is not all zero.
void FindUsedOrigin(const TEditText &sheet, int32_t &firstCol, int32_t &firstRow);

// The file bytes of the sheet, its font size and its boxes, in list order.
std::vector<uint8_t> SaveWorksheet(const TEditText &sheet, int32_t fontSize, const std::vector<TFileBox> &boxes);

// A file read into a copy of the sheet, applied only once all of it is read.
struct TLoadedSheet {
    bool OldLayout = false;
    bool HasGrid = false;  // the file set the sheet size
    int32_t ColMax = 0;    // the file's, else the sheet's it is read into
    int32_t RowMax = 0;
    int32_t UsedColExt = 0;
    int32_t UsedRowExt = 0;
    std::vector<TCell> Cells;  // SheetCells x SheetCells, [col * SheetCells + row]
    std::vector<TAttrCell> Attrs;
    std::optional<uint8_t> EqualMode;
    std::optional<uint8_t> PageLock;
    std::optional<uint8_t> RadMode;
    std::optional<int32_t> FontSize;
    std::vector<TFileBox> Boxes;  // in file order
};

struct TReadResult {
    // Not empty: the file is refused, and says what is wrong with it.
    std::string Error;
    // Not empty: the file ends inside a chunk; the chunks before it were read.
    std::string Warning;
    TLoadedSheet Sheet;
    bool Ok() const { return Error.empty(); }
};

// colMax and rowMax: the sheet the file is opened into, which a file without
// a GRID chunk keeps; its boxes must lie on that one.
TReadResult ReadWorksheet(const uint8_t *data, size_t size, int32_t colMax = SheetLast, int32_t rowMax = SheetLast);
inline TReadResult ReadWorksheet(const std::vector<uint8_t> &bytes, int32_t colMax = SheetLast,
                                 int32_t rowMax = SheetLast)
{
    return ReadWorksheet(bytes.data(), bytes.size(), colMax, rowMax);
}

// Empties the sheet and puts the loaded one in its place: the grid size, the
// cells, the modes the file carries and a used extent that covers every
// cell; the font size goes to FontSize. Boxes are the window's.
void ApplyLoadedSheet(const TLoadedSheet &loaded, TEditText &sheet);

// Title from FileName: the name after the last folder separator (or other
// character below 32 or in "[\]^_`"), up to its first '.'. An empty file
// name leaves the title alone.
void SetTitleFromFileName(TEditText &sheet);

// Length of the BMP file at data: file header, bitmap header, colour table
// and pixel data. 0 with `error` set when it is not a bitmap this reader
// knows; a length beyond `size` when the bytes end inside it.
size_t BitmapStreamLength(const uint8_t *data, size_t size, std::string &error);
