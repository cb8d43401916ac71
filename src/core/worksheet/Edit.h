// The sheet: two layers of 145 x 145 eight-byte cells, the editing state of
// the unit, and the editing operations that every other unit goes through.
#pragma once

#include <cstdint>
#include <string>

#include "Cell.h"
#include "DrawGrid.h"

// ---------------------------------------------------------------------------
// Shift state of key events: the bit values the keyboard tables store.
using TShiftState = uint8_t;
enum : TShiftState { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

// ---------------------------------------------------------------------------
// The sheet

class TEditText {
public:
    TCell Cells[SheetCells][SheetCells];      // [col][row]
    TAttrCell Attrs[SheetCells][SheetCells];  // [col][row]
    int32_t ColMax = 0;
    int32_t RowMax = 0;
    int32_t LineStartCol = 0;
    int32_t UsedColExt = 0;
    int32_t UsedRowExt = 0;
    uint8_t EscMode = 0;
    uint8_t RadMode = 0;
    uint8_t ImplicitMult = 0;
    uint8_t MixedFraction = 0;
    uint8_t RangeSelected = 0;
    TGridRect Selection;
    int32_t SelCol = 0;
    int32_t SelRow = 0;
    std::string Title;
    std::string FileName;
    uint8_t EqualMode = 0;
    int32_t SavedCol = 0;
    int32_t SavedRow = 0;
    uint8_t PageLock = 0;
    uint8_t ShowTextBoxes = 0;
    TDrawGrid *Grid = nullptr;

    // Cells outside the sheet read as this empty cell, so neighbour tests at
    // the edges see "absent" and never touch memory outside the arrays.
    const TCell &CellAt(int col, int row) const;
    const TAttrCell &AttrAt(int col, int row) const;

    // Grows the used extent (a high-water mark) to cover (col, row).
    void NoteUsed(int col, int row);
    // Last column and row holding a cell that is not all zero in either
    // layer; -1 and -1 on an empty sheet.
    void FindUsedExtent(int32_t &lastCol, int32_t &lastRow) const;
    // The used extent, reaching also cells that hold something beyond it,
    // within the grid: the bound of row and column shifts.
    void CoveredExtent(int &lastCol, int &lastRow) const;

    // --- sheet model
    void Clear(TDrawGrid &grid);
    void Reset();
    bool CellLocked(int col, int row) const;
    bool PutChar(uint8_t ch, int col, int row, int &newCol);
    void Home();
    void CursorRight();
    void CursorLeft();
    void CursorDown();
    void SaveCursor();
    void RestoreCursor();
    void FindLineStart();
    void RefreshCursor();

    int CursorCol() const { return Grid ? Grid->Col() : 0; }
    int CursorRow() const { return Grid ? Grid->Row() : 0; }
    void SetCursorCol(int c);
    void SetCursorRow(int r);
    void RepaintGrid();     // the whole view
    void RepaintChanged();  // only the cells that changed

    // --- structural editing
    bool AdvanceWrap();
    bool Advance();
    bool Next();
    void DeleteAtCursor();
    bool DeleteAt(int col, int row);
    void Backspace();
    void FindBlockRows(int &first, int &last);
    bool InsertColumn();
    void DeleteColumn();
    void InsertRow();
    void DeleteRow();
    bool PutFractionLine(int col, int row, int &shift, bool isResult);
    void InsertFraction(bool isResult);
    bool InsertBrackets(uint8_t top, uint8_t middle, uint8_t bottom, int col, int row);
    bool InsertIntegral(int col, int row);
    void SetRootRange();
    void SetNesting(int level, int col, int row);
    void ClearNesting(int level, int col, int row);

    // --- key editing
    void KeyDown(TShiftState shift, uint16_t &key, TDrawGrid &grid);
    void KeyPress(TShiftState shift, char &key);

private:
    // Block rows and column-operation rows around a given row.
    void BlockRows(int row, int &first, int &last) const;
    void ColumnRowRange(int row, int &first, int &last) const;
    bool RowIsEmpty(int row) const;
    bool InsertColumnAt(int col, int row);
    // One fraction-line cell; col becomes the column actually written.
    bool PutLineCell(int &col, int row, int &shift, bool isResult);
    // Line cells from..to in row, following columns that writes insert.
    bool LineCells(int from, int &to, int row, bool isResult);
    // Moves level m of the area running over (col, t) by delta (+1 or -1).
    void MoveEnclosingLevel(int m, int delta, int col, int t);
    bool RootRowAtLimit() const;
    void ShiftRootRows(int row, int delta);
    void NoteCell(int col, int row);
};

// ---------------------------------------------------------------------------
// Unit-wide editing state

enum : uint8_t { esClearArmed = 1, esEditing = 2, esWritingResults = 6 };

extern TEditText EditText;
extern uint8_t EditState;
extern uint8_t FontSet;      // 0 text font, 2 symbol font
extern int32_t ScriptLevel;  // 0 baseline, <0 superscript, >0 subscript
extern std::string FontName;
extern int32_t FontSize;
extern int32_t CellFontSize;
extern int32_t LineUnit;
extern bool NewLineFlag;

using TProcedure = void (*)();
extern TProcedure SaveUndoProc;
extern TProcedure UndoProc;
extern TProcedure RedoProc;

// The refusal signal. The program points BeepHook at the system beep; tests
// point it at a counter.
void Beep();
extern TProcedure BeepHook;
