// Snapshots are sparse (only non-empty cells), since one is taken on every key
// press; each is written into the buffer its slot keeps.
#include "UndoEd.h"

#include <algorithm>
#include <bit>
#include <cstring>

TMemoryStream UndoStreams[UndoSlots];
int32_t UndoIndex = 2;
int32_t RedoLimit = 2;
int32_t UndoOldest = 0;
bool UndoEmpty = true;
bool RedoEmpty = true;

namespace {

// Sheet size (last column and row) the ring's snapshots were taken at; -1
// while the ring holds none. Snapshots of another size are never restored.
int32_t ringColMax = -1;
int32_t ringRowMax = -1;

struct UndoEdInit {
    UndoEdInit()
    {
        InitUndo();
        SaveUndoProc = SaveUndo;
        UndoProc = Undo;
        RedoProc = Redo;
    }
} undoEdInit;

int32_t NextSlot(int32_t slot)
{
    return slot == UndoSlots - 1 ? 0 : slot + 1;
}

int32_t PrevSlot(int32_t slot)
{
    return slot == 0 ? UndoSlots - 1 : slot - 1;
}

// The part of the sheet in use: the sheet's own bounds, never past the grid
// or the arrays.
void SheetLimits(int32_t &colMax, int32_t &rowMax)
{
    colMax = std::min(EditText.ColMax, int32_t(SheetLast));
    rowMax = std::min(EditText.RowMax, int32_t(SheetLast));
    if (EditText.Grid) {
        colMax = std::min(colMax, int32_t(EditText.Grid->ColCount() - 1));
        rowMax = std::min(rowMax, int32_t(EditText.Grid->RowCount() - 1));
    }
}

// True (and the ring emptied) when the sheet changed size since the ring's
// snapshots were taken: their cells may lie outside the new grid.
bool DropRingOfOtherSize()
{
    int32_t colMax, rowMax;
    SheetLimits(colMax, rowMax);
    if (ringColMax < 0 || (ringColMax == colMax && ringRowMax == rowMax))
        return false;
    ResetUndo();
    return true;
}

void PutInt32(uint8_t *p, int32_t v)
{
    const uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(u >> (8 * i));
}

// Two little-endian Integers in one store where the machine is little-endian.
void PutInt32Pair(uint8_t *p, int32_t a, int32_t b)
{
    if constexpr (std::endian::native == std::endian::little) {
        const uint64_t v = uint64_t(uint32_t(a)) | uint64_t(uint32_t(b)) << 32;
        std::memcpy(p, &v, sizeof v);
    } else {
        PutInt32(p, a);
        PutInt32(p + 4, b);
    }
}

int32_t GetInt32(const uint8_t *p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

static_assert(sizeof(TCell) == 8 && sizeof(TAttrCell) == 8);

// Any of the 16 bytes of the cell and its structure cell not 0.
bool InUse(const TCell &cell, const TAttrCell &attr)
{
    uint64_t a, b;
    std::memcpy(&a, &cell, 8);
    std::memcpy(&b, &attr, 8);
    return (a | b) != 0;
}

void RestoreStream(TMemoryStream &s)
{
    int32_t colMax, rowMax;
    SheetLimits(colMax, rowMax);
    s.Seek(0);
    uint8_t header[UndoHeaderSize];
    if (!s.ReadBuffer(header, sizeof header))
        return;
    EditText.UsedColExt = std::clamp(GetInt32(header), int32_t(0), std::max(colMax, int32_t(0)));
    EditText.UsedRowExt = std::clamp(GetInt32(header + 4), int32_t(0), std::max(rowMax, int32_t(0)));
    EditText.SetCursorCol(GetInt32(header + 8));
    EditText.SetCursorRow(GetInt32(header + 12));

    uint8_t rec[UndoCellRecordSize];
    while (s.ReadBuffer(rec, sizeof rec)) {
        const int32_t col = GetInt32(rec);
        const int32_t row = GetInt32(rec + 4);
        if (col == -1)
            break;
        if (col < 0 || col > colMax || row < 0 || row > rowMax)
            continue;  // never write outside the grid
        std::memcpy(&EditText.Cells[col][row], rec + 8, sizeof(TCell));
        std::memcpy(&EditText.Attrs[col][row], rec + 16, sizeof(TAttrCell));
    }
}

}  // namespace

void TMemoryStream::Reserve(size_t capacity)
{
    if (capacity <= capacity_)
        return;
    capacity = std::max(capacity, 2 * capacity_);
    auto bigger = std::make_unique_for_overwrite<uint8_t[]>(capacity);
    if (size_ > 0)
        std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
}

void TMemoryStream::WriteBuffer(const void *data, size_t count)
{
    Reserve(pos_ + count);
    if (count > 0)
        std::memcpy(data_.get() + pos_, data, count);
    pos_ += count;
    size_ = std::max(size_, pos_);
}

bool TMemoryStream::ReadBuffer(void *data, size_t count)
{
    if (pos_ > size_ || size_ - pos_ < count)
        return false;
    if (count > 0)
        std::memcpy(data, data_.get() + pos_, count);
    pos_ += count;
    return true;
}

void TMemoryStream::Seek(size_t position)
{
    pos_ = std::min(position, size_);
}

void TMemoryStream::Clear()
{
    size_ = 0;
    pos_ = 0;
}

uint8_t *TMemoryStream::Room(size_t count)
{
    Reserve(size_ + count);
    return data_.get() + size_;
}

void TMemoryStream::Append(size_t count)
{
    size_ = std::min(size_ + count, capacity_);
    pos_ = size_;
}

void InitUndo()
{
    for (TMemoryStream &s : UndoStreams)
        s = TMemoryStream();
    UndoIndex = 2;
    RedoLimit = 2;
    UndoOldest = 0;
    UndoEmpty = true;
    RedoEmpty = true;
    ringColMax = -1;
    ringRowMax = -1;
}

void ResetUndo()
{
    InitUndo();
}

void SaveUndo()
{
    DropRingOfOtherSize();
    int32_t colMax, rowMax;
    SheetLimits(colMax, rowMax);
    ringColMax = colMax;
    ringRowMax = rowMax;

    // Written in place into the buffer the slot keeps, a column at a time.
    TMemoryStream &s = UndoStreams[UndoIndex];
    s.Clear();
    uint8_t *p = s.Room(UndoHeaderSize);
    PutInt32(p, EditText.UsedColExt);
    PutInt32(p + 4, EditText.UsedRowExt);
    PutInt32(p + 8, EditText.CursorCol());
    PutInt32(p + 12, EditText.CursorRow());
    s.Append(UndoHeaderSize);
    for (int32_t c = 0; c <= colMax; ++c) {
        uint8_t *const start = s.Room(size_t(rowMax + 1) * UndoCellRecordSize);
        p = start;
        for (int32_t r = 0; r <= rowMax; ++r) {
            const TCell &cell = EditText.Cells[c][r];
            const TAttrCell &attr = EditText.Attrs[c][r];
            if (!InUse(cell, attr))
                continue;
            PutInt32Pair(p, c, r);
            std::memcpy(p + 8, &cell, sizeof cell);
            std::memcpy(p + 16, &attr, sizeof attr);
            p += UndoCellRecordSize;
        }
        s.Append(size_t(p - start));
    }
    p = s.Room(UndoCellRecordSize);
    std::memset(p, 0, UndoCellRecordSize);
    PutInt32(p, -1);
    s.Append(UndoCellRecordSize);

    UndoIndex = NextSlot(UndoIndex);
    RedoLimit = UndoIndex;
    if (UndoOldest == UndoIndex)
        UndoOldest = NextSlot(UndoOldest);
    UndoEmpty = false;
    RedoEmpty = true;
}

void Undo()
{
    if (UndoEmpty || DropRingOfOtherSize())
        return;
    UndoIndex = PrevSlot(UndoIndex);  // the slot of the state being left
    const int32_t slot = PrevSlot(UndoIndex);
    UndoEmpty = slot == UndoOldest;
    if (UndoStreams[slot].Size() > 0)
        RestoreStream(UndoStreams[slot]);
    else
        UndoEmpty = true;  // the empty sheet before the first snapshot
    RedoEmpty = false;
}

void Redo()
{
    if (RedoEmpty || DropRingOfOtherSize())
        return;
    RestoreStream(UndoStreams[UndoIndex]);
    UndoIndex = NextSlot(UndoIndex);
    RedoEmpty = UndoIndex == RedoLimit;
    UndoEmpty = false;
}
