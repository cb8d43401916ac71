// Snapshots are sparse (only non-empty cells), since one is taken on every key
// press; each replaces the stream of its slot, never the ring.
#include "UndoEd.h"

#include <algorithm>
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

int32_t GetInt32(const uint8_t *p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
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

void TMemoryStream::WriteBuffer(const void *data, size_t count)
{
    const auto *p = static_cast<const uint8_t *>(data);
    if (pos_ + count > data_.size())
        data_.resize(pos_ + count);
    std::copy(p, p + count, data_.begin() + std::ptrdiff_t(pos_));
    pos_ += count;
}

bool TMemoryStream::ReadBuffer(void *data, size_t count)
{
    if (pos_ > data_.size() || data_.size() - pos_ < count)
        return false;
    std::memcpy(data, data_.data() + pos_, count);
    pos_ += count;
    return true;
}

void TMemoryStream::Seek(size_t position)
{
    pos_ = std::min(position, data_.size());
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

    TMemoryStream &s = UndoStreams[UndoIndex];
    s = TMemoryStream();
    uint8_t header[UndoHeaderSize];
    PutInt32(header, EditText.UsedColExt);
    PutInt32(header + 4, EditText.UsedRowExt);
    PutInt32(header + 8, EditText.CursorCol());
    PutInt32(header + 12, EditText.CursorRow());
    s.WriteBuffer(header, sizeof header);

    uint8_t rec[UndoCellRecordSize] = {};
    for (int32_t c = 0; c <= colMax; ++c)
        for (int32_t r = 0; r <= rowMax; ++r) {
            const TCell &cell = EditText.Cells[c][r];
            const TAttrCell &attr = EditText.Attrs[c][r];
            if (cell.AllZero() && attr.AllZero())
                continue;
            PutInt32(rec, c);
            PutInt32(rec + 4, r);
            std::memcpy(rec + 8, &cell, sizeof cell);
            std::memcpy(rec + 16, &attr, sizeof attr);
            s.WriteBuffer(rec, sizeof rec);
        }
    std::memset(rec, 0, sizeof rec);
    PutInt32(rec, -1);
    s.WriteBuffer(rec, sizeof rec);

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
