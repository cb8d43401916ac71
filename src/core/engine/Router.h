// The reading order: links the used cells of the sheet into one chain, the
// route, in the order in which the formula is to be read.
#pragma once

#include <cstdint>
#include <vector>

#include "worksheet/Cell.h"

// One entry of the route: where the next routed cell is. (0, 0) = no successor.
struct TLink {
    uint8_t Zero[2] = {0, 0};
    uint8_t NextCol = 0;
    uint8_t NextRow = 0;

    bool IsEnd() const { return NextCol == 0 && NextRow == 0; }
};
static_assert(sizeof(TLink) == 4);

struct TRoutePoint {
    int32_t Col = 0;
    int32_t Row = 0;
    friend bool operator==(const TRoutePoint &, const TRoutePoint &) = default;
};

class TRouter {
public:
    TLink Links[SheetCells][SheetCells];  // [col][row]
    uint8_t RowUsed[SheetCells] = {};
    int32_t WalkCol = 0;
    int32_t WalkRow = 0;
    TCell Current;
    bool IntegralMode = false;
    uint8_t PrevCol = 0;
    uint8_t PrevRow = 0;

    // The route as ShowRoute found it, from (0, 0) to the last cell; the grid
    // widget draws it over the cells.
    std::vector<TRoutePoint> ShownRoute;

    // Rebuilds the whole route of EditText; False when a layout error was set
    // (or when the sheet has fewer than two rows).
    bool BuildRoute();
    // Collects the current route into ShownRoute and asks the grid to repaint.
    void ShowRoute();
    void Clear();
    void MarkUsedRows();
    bool RouteBlock(int colBound, int firstRow, int lastRow);
    bool NextCell(TCell &cell, int &col, int &row, int lastRow, int firstRow, int colBound);
    void SetPosition(const TCell &cell, int col, int row);
    int FractionLineEnd(int col, int row);
    void Link(int col, int row);

private:
    const TCell &SheetCell(int col, int row) const;
    void NoteUsedRows(bool forRoute);
    bool WalkPlainRun(TCell &cell, int &col, int &row, int lastRow, int firstRow, int colBound);
    void LinkFrom(uint8_t &prevCol, uint8_t &prevRow, int32_t &linked, int col, int row);
    int FirstStop(int col, int from, int to) const;

    // While BuildRoute runs: bit r of Stops[c] is set when the walk outside
    // an integral's limits stops at grid cell (c, r). The walk itself never
    // changes what it stops at: it writes positions and line ends only.
    static constexpr int StopWords = (SheetCells + 63) / 64;
    uint64_t Stops[SheetCells][StopWords] = {};
    bool StopsValid = false;

    // The linked cells (col << 8 | row) in the order they were linked since
    // Clear. While Links is untouched this is the chain from (0, 0); the
    // scanner checks each step against Links, and reads ahead through this
    // array instead of waiting for each link before the next.
    static constexpr int OrderSize = SheetCells * SheetCells;
    uint16_t Order[OrderSize];
    int32_t Linked = 0;
    friend class TScanner;
    bool RouteFraction(int c, int r, int colBound, int firstRow, int lastRow, bool &walkDone);
    bool RouteIntegral(int c, int r, int colBound, int firstRow, int lastRow);
};

extern TRouter RouterObj;
