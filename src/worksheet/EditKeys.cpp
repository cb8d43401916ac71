// Key editing: placeholder bodies until the real ones land.
#include "Edit.h"

void TEditText::KeyDown(TShiftState, uint16_t &, TDrawGrid &) {}
void TEditText::KeyPress(TShiftState, char &) {}
