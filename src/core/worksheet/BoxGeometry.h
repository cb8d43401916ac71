// Boxes on the sheet without their controls: the record every text box and
// picture keeps, the list that holds them, and the arithmetic that anchors a
// box to a cell and moves, resizes and snaps it. The widgets live elsewhere.
#pragma once

#include <cstdint>

#include "DrawGrid.h"

// What the anchoring needs of the grid.
struct TGridMetrics {
    int ColWidth = 14;   // DefaultColWidth
    int RowHeight = 21;  // DefaultRowHeight
    int LineWidth = 0;   // GridLineWidth
    bool VertLines = false;
    int LeftCol = 0;  // first visible column and row
    int TopRow = 0;
    int ColCount = 72;
    int RowCount = 72;
};

// The same line width serves rows and columns; it counts only with vertical lines on.
int BoxLineWidth(const TGridMetrics &g);

// The cell under a grid pixel; false, with -1, -1, outside the grid's cells.
bool CellUnder(const TGridMetrics &g, int x, int y, int &col, int &row);

// A cell's rectangle in grid pixels, also for cells scrolled out of view and
// for the extrapolated cells outside the grid (column or row -1).
TGridRect CellOrigin(const TGridMetrics &g, int col, int row);

// Kind: which control a box shows. State: whether it is a text box.
enum : uint8_t { bkHead = 0, bkPicture = 1, bkTextEdit = 2 };
enum : uint8_t { bsPicture = 0, bsTextBox = 2 };

// The ten geometry integers of a box, in the order the worksheet file keeps them.
struct TBoxGeometry {
    int32_t Col = 0;  // anchor cell under the top-left corner; -1 outside the cells
    int32_t Row = 0;
    int32_t DX = 0;  // anchor cell's left edge minus the box's left edge
    int32_t DY = 0;
    int32_t Left = 0;  // grid pixels
    int32_t Top = 0;
    int32_t DragX = 0;  // screen position of the mouse at the last drag step
    int32_t DragY = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TBoxGeometry &) const = default;
};

// One entry of the box list. The head is an entry of kind bkHead whose Prev
// is null; new boxes go right after it, so the list runs newest first.
struct TBoxNode : TBoxGeometry {
    TBoxNode *Next = nullptr;
    TBoxNode *Prev = nullptr;
    uint8_t Kind = bkHead;
    uint8_t State = bsPicture;
    uint8_t MouseIsDown = 0;
    uint8_t Moving = 0;
    uint8_t Sizing = 0;
    uint8_t Busy = 0;  // on the head: a text box is being rendered

    bool IsHead() const { return Prev == nullptr; }
    TBoxGeometry &Geometry() { return *this; }
    const TBoxGeometry &Geometry() const { return *this; }
};

void LinkAfterHead(TBoxNode &head, TBoxNode &box);
bool ListHolds(const TBoxNode &head, const TBoxNode *box);
// Takes a box out of its list; a box in no list is left alone.
void Unlink(TBoxNode &box);

// Anchor cell and offsets from Left and Top.
void AnchorBox(TBoxGeometry &b, const TGridMetrics &g);
// Left and Top from the anchor cell and the offsets.
void PlaceBox(TBoxGeometry &b, const TGridMetrics &g);
// After a drag: keeps the top-left corner at least 50 pixels inside the last
// cell's right and bottom edges and at least 30 pixels of the shown width and
// height over the first cell's, then anchors the box again.
void SnapBox(TBoxGeometry &b, const TGridMetrics &g, int colMax, int rowMax, int shownWidth, int shownHeight);

// What a button going down on a box does.
enum class TBoxPress { Ignore, Refuse, Delete, Drag };
TBoxPress BoxPressAction(bool busy, bool clearArmed, bool pageLocked);

// One mouse move while a button is down on a box. x, y are in the box's own
// pixels, screenX, screenY the cursor's screen position. A text box being
// edited resizes from its bottom-right corner zone; a picture moves.
enum : unsigned { dsNone = 0, dsResized = 1, dsMoved = 2 };
unsigned BoxDragStep(TBoxNode &b, bool leftHeld, int x, int y, int screenX, int screenY, int minWidth, int minHeight);
