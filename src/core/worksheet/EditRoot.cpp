// Root areas: the radicand area of a root sign with its nesting level, the
// overline bits that draw it, and the levels of enclosing areas that move
// when one is set or cleared.
#include <algorithm>
#include <cstring>

#include "Edit.h"

namespace {

constexpr int MaxLevel = 7;

// Bit of a nesting level in Nesting and Overline; 0 for a level that has none.
uint8_t LevelBit(int level)
{
    return (level >= 1 && level <= MaxLevel) ? uint8_t(1u << level) : 0;
}

bool HasLevel(const TAttrCell &a, int level)
{
    const uint8_t bit = LevelBit(level);
    return bit != 0 && (a.Overline & bit) != 0;
}

// Moves one level bit to another (dropped when the target level has no bit).
void MoveBit(uint8_t &byte, int from, int to)
{
    const uint8_t f = LevelBit(from);
    if (f == 0 || (byte & f) == 0)
        return;
    byte = uint8_t(byte & ~f);
    byte = uint8_t(byte | LevelBit(to));
}

// Snapshot of the structure layer, to take back a root range that turns out
// to need a level beyond the last one.
TAttrCell savedAttrs[SheetCells][SheetCells];

}  // namespace

void TEditText::MoveEnclosingLevel(int m, int delta, int col, int t)
{
    if (!InSheet(col, t) || LevelBit(m) == 0)
        return;
    int right = col;
    while (right <= ColMax && HasLevel(Attrs[right][t], m))
        ++right;
    int left = col - 1;
    while (left >= 0 && HasLevel(Attrs[left][t], m))
        --left;
    // `left` is the enclosing root's column; its root cell is the first one
    // with a level from the area's top row down.
    int rootRow = -1;
    if (left >= 0)
        for (int y = t; y <= RowMax; ++y)
            if (Attrs[left][y].RootLevel != 0) {
                rootRow = y;
                break;
            }
    // Renumber the whole area, every row of it, so its level stays the same
    // in all its rows.
    int top = t, bottom = t;
    if (rootRow >= 0) {
        top = std::min(int(Attrs[left][rootRow].RootTop), int(RowMax));
        bottom = std::min(int(Attrs[left][rootRow].RootBottom), int(RowMax));
        if (bottom < top)
            bottom = top;
    }
    for (int x = left + 1; x < right; ++x) {
        MoveBit(Attrs[x][t].Overline, m, m + delta);
        for (int y = top; y <= bottom; ++y)
            MoveBit(Attrs[x][y].Nesting, m, m + delta);
    }
    if (rootRow >= 0)
        Attrs[left][rootRow].RootLevel = uint8_t(Attrs[left][rootRow].RootLevel + delta);
}

void TEditText::SetNesting(int level, int col, int row)
{
    if (!InSheet(col, row))
        return;
    TAttrCell &root = Attrs[col][row];
    root.Overline |= 1;
    if (level < 1 || level > MaxLevel) {
        RepaintChanged();
        return;
    }
    root.RootLevel = uint8_t(level);
    const int t = root.RootTop;
    if (InSheet(col, t))
        for (int m = MaxLevel; m >= level; --m)
            if (HasLevel(Attrs[col][t], m))
                MoveEnclosingLevel(m, +1, col, t);
    RepaintChanged();
}

void TEditText::ClearNesting(int level, int col, int row)
{
    if (!InSheet(col, row))
        return;
    TAttrCell &root = Attrs[col][row];
    root.Overline = uint8_t(root.Overline & ~1u);
    root.RootLevel = 0;
    const int t = root.RootTop;
    const int b = std::min(int(root.RootBottom), int(RowMax));
    if (t <= RowMax) {
        for (int x = col + 1; x <= ColMax && HasLevel(Attrs[x][t], level); ++x) {
            Attrs[x][t].Overline = uint8_t(Attrs[x][t].Overline & ~LevelBit(level));
            for (int y = t; y <= b; ++y)
                Attrs[x][y].Nesting = uint8_t(Attrs[x][y].Nesting & ~LevelBit(level));
        }
        // Enclosing areas come down a level where the level below is free.
        for (int m = std::max(level, 2); m <= MaxLevel; ++m) {
            if (!HasLevel(Attrs[col][t], m))
                continue;
            bool free = true;
            for (int x = col; x >= 0 && HasLevel(Attrs[x][t], m); --x)
                free = free && !HasLevel(Attrs[x][t], m - 1);
            for (int x = col; x <= ColMax && HasLevel(Attrs[x][t], m); ++x)
                free = free && !HasLevel(Attrs[x][t], m - 1);
            if (free)
                MoveEnclosingLevel(m, -1, col, t);
        }
    }
    for (int y : {int(root.RootTop), int(root.RootBottom)})
        if (y <= RowMax)
            Attrs[col][y].RootRow = 0;
    root.RootTop = 0;
    root.RootBottom = 0;
    RepaintChanged();
}

void TEditText::SetRootRange()
{
    const int sc = SelCol, sr = SelRow;
    TGridRect &sel = Selection;
    if (sc < 0 || sr < 0 || sc > ColMax || sr > RowMax)
        return;
    if (sel.Left > sel.Right || sel.Top > sel.Bottom || sel.Top < 0 || sel.Bottom > RowMax || sel.Right > ColMax)
        return;
    if (Cells[sc][sr].Code() != scRootSign || sc > sel.Left)
        return;

    std::memcpy(static_cast<void *>(savedAttrs), Attrs, sizeof savedAttrs);
    // Eight levels have no bit: take everything back and refuse.
    auto refuse = [&] {
        std::memcpy(static_cast<void *>(Attrs), savedAttrs, sizeof savedAttrs);
        Beep();
    };

    TAttrCell &root = Attrs[sc][sr];
    if (root.RootLevel != 0) {
        const int old = root.RootLevel;
        root.RootLevel = 0;
        ClearNesting(old, sc, sr);
    }
    root.RootTop = uint8_t(sel.Top);
    root.RootBottom = uint8_t(sel.Bottom);
    Attrs[sc][sel.Top].RootRow = uint8_t(sr);
    Attrs[sc][sel.Bottom].RootRow = uint8_t(sr);

    const int t = sel.Top;
    int l = MaxLevel;
    for (int m = 1; m < MaxLevel; ++m)
        if (HasLevel(Attrs[sc][t], m)) {
            l = m;
            break;
        }
    const bool enclosedAtSeven = HasLevel(Attrs[sc][t], MaxLevel);
    if (HasLevel(Attrs[sc][t], 1)) {
        if (enclosedAtSeven)
            return refuse();
        SetNesting(1, sc, sr);
        l = 1;
    } else {
        const int enclosing = l;
        l = 1;
        for (int x = sc + 1; x <= sel.Right; ++x)
            while (HasLevel(Attrs[x][t], l)) {
                ++l;
                if (l == enclosing) {
                    if (enclosedAtSeven)
                        return refuse();
                    SetNesting(l, sc, sr);
                }
            }
        if (l > MaxLevel)
            return refuse();
    }
    root.RootLevel = uint8_t(l);
    root.Overline |= 1;

    if (EditState == esEditing)
        sel.Right = std::min(sel.Right, UsedColExt);
    const uint8_t bit = LevelBit(l);
    for (int x = sc + 1; x <= sel.Right; ++x) {
        Attrs[x][t].Overline |= bit;
        for (int y = sel.Top; y <= sel.Bottom; ++y) {
            Attrs[x][y].Nesting |= bit;
            if (EditState == esWritingResults)
                Cells[x][y].Add(cfResult);
            NoteCell(x, y);
        }
    }
    NoteCell(sc, sr);
    RepaintChanged();
}
