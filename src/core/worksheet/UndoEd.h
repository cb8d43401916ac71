// The undo ring: the last states of the sheet as snapshots in 100 memory
// streams, restored by Edit/Undo and Edit/Redo. The window reaches the ring
// through SaveUndoProc, UndoProc and RedoProc, which this unit sets at start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Edit.h"

// A growable block of bytes with a read position. Emptied, it keeps its
// buffer, so a stream that is written again and again allocates only while
// it grows past its largest size so far.
class TMemoryStream {
public:
    void WriteBuffer(const void *data, size_t count);
    // Reads count bytes at the position; false, reading nothing, when fewer remain.
    bool ReadBuffer(void *data, size_t count);
    void Seek(size_t position);
    size_t Position() const { return pos_; }
    size_t Size() const { return size_; }
    const uint8_t *Memory() const { return data_.get(); }

    // Size and position 0; the buffer stays.
    void Clear();
    // Room for count more bytes after the end, not yet part of the stream:
    // fill some of them, then Append as many.
    uint8_t *Room(size_t count);
    // Takes the first count bytes of the room into the stream; the position
    // moves to the new end.
    void Append(size_t count);

private:
    void Reserve(size_t capacity);
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t pos_ = 0;
};

constexpr int UndoSlots = 100;

// Snapshot layout, little-endian: a 16-byte header, then one 24-byte record
// per non-empty cell in column order, then a record with column -1.
constexpr size_t UndoHeaderSize = 16;      // UsedColExt, UsedRowExt, grid Col, grid Row
constexpr size_t UndoCellRecordSize = 24;  // column, row, TCell, TAttrCell

extern TMemoryStream UndoStreams[UndoSlots];
extern int32_t UndoIndex;   // slot the next snapshot goes to
extern int32_t RedoLimit;   // UndoIndex right after the latest snapshot
extern int32_t UndoOldest;  // restoring this slot ends the undo chain
extern bool UndoEmpty;
extern bool RedoEmpty;

void InitUndo();
void ResetUndo();
void SaveUndo();
// Undo and Redo write only the recorded cells: the caller clears the sheet
// (TEditText::Reset) first. They do nothing while UndoEmpty / RedoEmpty.
// A ring taken on a sheet of another size is dropped, not restored.
void Undo();
void Redo();
