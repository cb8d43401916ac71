#include "ClipBoard.h"

#include <algorithm>

TVelmoraClipBoard ClipBuffer;

namespace {

// Flags a pasted cell takes from its copy: font, line, script level, bold,
// bracket pieces and function names; never zone marks, results or tokens.
constexpr uint32_t PastedFlags = 0xE703;
constexpr uint8_t IntegralMiddle = 244;

// The selection within the sheet; Right < Left or Bottom < Top stays empty.
TGridRect Inside(const TEditText &sheet, const TGridRect &sel)
{
    return {std::max(sel.Left, int32_t(0)), std::max(sel.Top, int32_t(0)), std::min(sel.Right, sheet.ColMax),
            std::min(sel.Bottom, sheet.RowMax)};
}

}  // namespace

void TVelmoraClipBoard::Clear()
{
    ColCount = 0;
    RowCount = 0;
    Valid = false;
}

void TVelmoraClipBoard::CopyBlock(const TGridRect &sel)
{
    const TGridRect s = Inside(EditText, sel);
    ColCount = std::max(s.Right - s.Left + 1, int32_t(0));
    RowCount = std::max(s.Bottom - s.Top + 1, int32_t(0));
    if (ColCount == 0 || RowCount == 0)
        ColCount = RowCount = 0;
    for (int i = 0; i < ColCount; ++i)
        for (int j = 0; j < RowCount; ++j)
            Cells[i][j] = EditText.Cells[s.Left + i][s.Top + j];
    Valid = true;
}

void TVelmoraClipBoard::PasteBlock(int col, int row)
{
    for (int i = 0; i < RowCount; ++i)
        for (int j = 0; j < ColCount; ++j) {
            const int c = col + j, r = row + i;
            const TCell &b = Cells[j][i];
            if (c < 0 || r < 0 || c > EditText.ColMax || r > EditText.RowMax || b.Has(cfBracketPart))
                continue;
            // A bracket middle comes back with its pieces, which lie in the
            // rows above and below it: a middle in the block's first or last
            // row has no pieces in the block and is left out.
            const bool middle = b.Has(cfTallBracket) || b.Ch == IntegralMiddle;
            const bool inner = i > 0 && i < RowCount - 1;
            int written = c;
            bool put = false;
            if (middle)
                put = inner && EditText.InsertBrackets(Cells[j][i - 1].Ch, b.Ch, Cells[j][i + 1].Ch, c, r);
            else if (b.Has(cfFractionLine)) {
                int shift = 0;
                put = EditText.PutFractionLine(c, r, shift, false);
                written = c + shift;
            } else
                put = EditText.PutChar(b.Ch, c, r, written);
            // A refused cell stays as it was; the flags go to the cell written.
            // A line cell is finished even when the cursor cannot follow it.
            if (!put && !(b.Has(cfFractionLine) && EditText.Cells[written][r].Code() == scFractionLine))
                continue;
            EditText.Cells[written][r].Add(b.Flags() & PastedFlags);
            EditText.NoteUsed(written, r);
        }
}

std::string BlockText(const TEditText &sheet, const TGridRect &sel)
{
    const TGridRect s = Inside(sheet, sel);
    std::string text;
    for (int r = s.Top; r <= s.Bottom; ++r) {
        if (r > s.Top)
            text += "\r\n";
        for (int c = s.Left; c <= s.Right; ++c) {
            const uint8_t ch = sheet.Cells[c][r].Ch;
            text += char(ch >= 32 && ch <= 128 ? ch : 32);
        }
    }
    return text;
}

void TSheetCommands::Copy(const TGridRect &sel)
{
    ClipBuffer.CopyBlock(sel);
    const std::string text = BlockText(EditText, sel);
    clipboard_.SetText(text);
    ClipBuffer.Text = text;
}

void TSheetCommands::Cut(const TGridRect &sel)
{
    Copy(sel);
    DeleteBlock(sel);
    EditText.RepaintGrid();
}

void TSheetCommands::Delete(const TGridRect &sel)
{
    DeleteBlock(sel);
    EditText.RepaintGrid();
}

void TSheetCommands::DeleteBlock(const TGridRect &sel)
{
    const TGridRect s = Inside(EditText, sel);
    if (s.Right < s.Left || s.Bottom < s.Top)
        return;
    for (int r = s.Top; r <= s.Bottom; ++r) {
        EditText.SetCursorRow(r);
        for (int c = s.Right; c >= s.Left; --c) {
            EditText.SetCursorCol(c);
            EditText.DeleteAtCursor();
        }
    }
    EditText.SetCursorCol(s.Right);
}

void TSheetCommands::Paste(int col, int row)
{
    if (!clipboard_.HasText()) {
        Beep();
        return;
    }
    const std::string text = clipboard_.Text();
    if (text == ClipBuffer.Text) {
        ClipBuffer.PasteBlock(col, row);
        EditText.RepaintGrid();
    } else {
        TypeText(text);
    }
}

void TSheetCommands::TypeText(const std::string &text)
{
    const int startCol = EditText.CursorCol();
    int row = EditText.CursorRow();
    for (char ch : text) {
        if (ch == '\n') {
            // Lines below the last row have nowhere to go.
            if (row >= EditText.RowMax)
                return;
            EditText.SetCursorCol(startCol);
            EditText.SetCursorRow(++row);
        } else if (ch != '\r') {
            int written = 0;
            EditText.PutChar(uint8_t(ch), EditText.CursorCol(), EditText.CursorRow(), written);
            EditText.Next();
        }
    }
}

void TSheetCommands::LockPage(bool locked)
{
    EditText.PageLock = locked ? 1 : 0;
    EditText.RepaintGrid();
}

void TSheetCommands::UnlockCells(const TGridRect &sel)
{
    if (!EditText.PageLock)
        return;
    const TGridRect s = Inside(EditText, sel);
    if (s.Right < s.Left || s.Bottom < s.Top)
        return;
    for (int c = s.Left; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r)
            EditText.Attrs[c][r].Protection ^= 2;
    EditText.UsedColExt = std::max(EditText.UsedColExt, s.Right);
    EditText.UsedRowExt = std::max(EditText.UsedRowExt, s.Bottom);
    EditText.RepaintGrid();
}

void TSheetCommands::SetSheetSize(int colCount, int rowCount)
{
    if (EditText.Grid)
        EditText.Grid->SetSize(colCount, rowCount);
    EditText.Reset();
}
