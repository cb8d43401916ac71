#include "BoxGeometry.h"

#include <algorithm>

int BoxLineWidth(const TGridMetrics &g)
{
    return g.VertLines ? g.LineWidth : 0;
}

bool CellUnder(const TGridMetrics &g, int x, int y, int &col, int &row)
{
    const int L = BoxLineWidth(g);
    col = row = -1;
    if (x < 0 || y < 0)
        return false;
    const int c = g.LeftCol + x / std::max(1, g.ColWidth + L);
    const int r = g.TopRow + y / std::max(1, g.RowHeight + L);
    if (c >= g.ColCount || r >= g.RowCount)
        return false;
    col = c;
    row = r;
    return true;
}

TGridRect CellOrigin(const TGridMetrics &g, int col, int row)
{
    const int L = BoxLineWidth(g);
    TGridRect r;
    r.Left = (g.ColWidth + L) * (col - g.LeftCol);
    r.Right = r.Left + g.ColWidth;
    r.Top = (g.RowHeight + L) * (row - g.TopRow);
    r.Bottom = r.Top + g.RowHeight;
    return r;
}

void LinkAfterHead(TBoxNode &head, TBoxNode &box)
{
    box.Next = head.Next;
    if (head.Next)
        head.Next->Prev = &box;
    box.Prev = &head;
    head.Next = &box;
}

bool ListHolds(const TBoxNode &head, const TBoxNode *box)
{
    for (const TBoxNode *b = head.Next; b; b = b->Next)
        if (b == box)
            return true;
    return false;
}

void Unlink(TBoxNode &box)
{
    if (!box.Prev)
        return;
    box.Prev->Next = box.Next;
    if (box.Next)
        box.Next->Prev = box.Prev;
    box.Next = box.Prev = nullptr;
}

void AnchorBox(TBoxGeometry &b, const TGridMetrics &g)
{
    CellUnder(g, b.Left, b.Top, b.Col, b.Row);
    const TGridRect r = CellOrigin(g, b.Col, b.Row);
    b.DX = r.Left - b.Left;
    b.DY = r.Top - b.Top;
}

void PlaceBox(TBoxGeometry &b, const TGridMetrics &g)
{
    const TGridRect r = CellOrigin(g, b.Col, b.Row);
    b.Left = r.Left - b.DX;
    b.Top = r.Top - b.DY;
}

void SnapBox(TBoxGeometry &b, const TGridMetrics &g, int colMax, int rowMax, int shownWidth, int shownHeight)
{
    const TGridRect last = CellOrigin(g, colMax, rowMax);
    b.Left = std::min(b.Left, last.Right - 50);
    b.Top = std::min(b.Top, last.Bottom - 50);
    const TGridRect first = CellOrigin(g, 0, 0);
    b.Left = std::max(b.Left, first.Left - shownWidth + 30);
    b.Top = std::max(b.Top, first.Top - shownHeight + 30);
    AnchorBox(b, g);
}

TBoxPress BoxPressAction(bool busy, bool clearArmed, bool pageLocked)
{
    if (busy)
        return TBoxPress::Ignore;
    if (clearArmed)
        return pageLocked ? TBoxPress::Refuse : TBoxPress::Delete;
    return pageLocked ? TBoxPress::Ignore : TBoxPress::Drag;
}

unsigned BoxDragStep(TBoxNode &b, bool leftHeld, int x, int y, int screenX, int screenY, int minWidth, int minHeight)
{
    if (!b.MouseIsDown)
        return dsNone;
    unsigned done = dsNone;
    if ((b.Kind == bkTextEdit && leftHeld && x > b.Width - 30 && y > b.Height - 30) || b.Sizing) {
        if (x > minWidth)
            b.Width = x;
        if (y > minHeight)
            b.Height = y;
        b.Sizing = 1;
        done |= dsResized;
    }
    if (b.Kind == bkPicture) {
        b.Moving = 1;
        b.Left += screenX - b.DragX;
        b.Top += screenY - b.DragY;
        b.DragX = screenX;
        b.DragY = screenY;
        done |= dsMoved;
    }
    return done;
}
