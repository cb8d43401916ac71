// Structural editing: placeholder bodies until the real ones land.
#include "Edit.h"

bool TEditText::AdvanceWrap() { return false; }
bool TEditText::Advance() { return false; }
bool TEditText::Next() { return Advance(); }
void TEditText::DeleteAtCursor() {}
bool TEditText::DeleteAt(int, int) { return false; }
void TEditText::Backspace() {}
void TEditText::FindBlockRows(int &, int &) {}
bool TEditText::InsertColumn() { return false; }
void TEditText::DeleteColumn() {}
void TEditText::InsertRow() {}
void TEditText::DeleteRow() {}
bool TEditText::PutFractionLine(int, int, int &, bool) { return false; }
void TEditText::InsertFraction(bool) {}
bool TEditText::InsertBrackets(uint8_t, uint8_t, uint8_t, int, int) { return false; }
bool TEditText::InsertIntegral(int, int) { return false; }
void TEditText::SetRootRange() {}
void TEditText::SetNesting(int, int, int) {}
void TEditText::ClearNesting(int, int, int) {}
void TEditText::ColumnRowRange(int &, int &) {}
bool TEditText::RowIsEmpty(int) const { return true; }
