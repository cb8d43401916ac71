// The block clipboard and the commands on blocks of cells: copy, cut, paste
// and delete, page lock and unlocked cells, and the sheet sizes. The window
// owns the system clipboard and the menus; it reaches the clipboard's text
// through TClipboardText, in the sheet's own 8-bit characters.
#pragma once

#include <cstdint>
#include <string>

#include "Edit.h"

// The block of the last Copy, cell layer only, [column offset][row offset].
class TVelmoraClipBoard {
public:
    TCell Cells[SheetCells][SheetCells];
    bool Valid = false;
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    std::string Text;  // what the last Copy put on the system clipboard

    void CopyBlock(const TGridRect &sel);
    void PasteBlock(int col, int row);
    void Clear();
};

extern TVelmoraClipBoard ClipBuffer;

// The system clipboard's text, already in the sheet's 8-bit character set.
class TClipboardText {
public:
    virtual ~TClipboardText() = default;
    virtual bool HasText() const = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string &text) = 0;
};

// Rows top to bottom joined by CR LF; in a row one byte a cell, the
// character when it lies in 32..128, else a blank.
std::string BlockText(const TEditText &sheet, const TGridRect &sel);

// The commands that act on EditText and ClipBuffer.
class TSheetCommands {
public:
    explicit TSheetCommands(TClipboardText &clipboard) : clipboard_(clipboard) {}

    void Copy(const TGridRect &sel);
    void Cut(const TGridRect &sel);
    void Delete(const TGridRect &sel);
    // Erases exactly the block's cells, right to left as Backspace would;
    // the cursor ends in the block's right column.
    void DeleteBlock(const TGridRect &sel);
    // The buffered block when the clipboard still holds the last own copy,
    // else the clipboard's text typed in from (col, row).
    void Paste(int col, int row);
    void TypeText(const std::string &text);
    void LockPage(bool locked);
    // Toggles the unlock mark of the block's cells; only on a locked page.
    void UnlockCells(const TGridRect &sel);
    // An empty sheet of the given size.
    void SetSheetSize(int colCount, int rowCount);

private:
    TClipboardText &clipboard_;
};
