#include "ObjectBoxes.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTextEdit>

#include "TextBoxes.h"
#include "platform/GridWidget.h"
#include "worksheet/Edit.h"

TObjBox *ObjBoxList = nullptr;

TObjBox::TObjBox(GridWidget *grid, TEditText *editor, QObject *parent) : QObject(parent), Grid(grid), Editor(editor)
{
}

TObjBox::~TObjBox()
{
    if (IsHead()) {
        // The boxes are children of the head and go with it; take them out first.
        while (Next)
            Unlink(*Next);
        if (ObjBoxList == this)
            ObjBoxList = nullptr;
        return;
    }
    Unlink(*this);
    delete Edit.data();
    delete Image.data();
}

TObjBox *TObjBox::Head() const
{
    const TBoxNode *n = this;
    while (n->Prev)
        n = n->Prev;
    return static_cast<TObjBox *>(const_cast<TBoxNode *>(n));
}

TGridMetrics TObjBox::Metrics() const
{
    const TDrawGrid &g = Grid->Grid();
    return {.ColWidth = Grid->CellWidth(),
            .RowHeight = Grid->CellHeight(),
            .LineWidth = 1,
            .VertLines = Grid->GridLines(),
            .LeftCol = g.LeftCol,
            .TopRow = g.TopRow,
            .ColCount = g.ColCount(),
            .RowCount = g.RowCount()};
}

void TObjBox::Watch(QWidget *control)
{
    control->installEventFilter(this);
    if (auto *edit = qobject_cast<QTextEdit *>(control)) {
        edit->viewport()->installEventFilter(this);
        // Keys a text box leaves alone pass the grid's viewport on their way up.
        Grid->viewport()->installEventFilter(this);
    }
}

TObjBox *TObjBox::AddBox(QWidget *control)
{
    if (!IsHead())
        return nullptr;
    auto *box = new TObjBox(Grid, Editor, this);
    LinkAfterHead(*this, *box);
    if (auto *label = qobject_cast<QLabel *>(control)) {
        box->Image = label;
        box->Kind = bkPicture;
    } else if (auto *edit = qobject_cast<QTextEdit *>(control)) {
        box->Edit = edit;
        box->Kind = bkTextEdit;
    } else {
        return box;
    }
    Watch(control);
    box->Left = control->x();
    box->Top = control->y();
    box->Width = control->width();
    box->Height = control->height();
    AnchorBox(*box, Metrics());
    return box;
}

void TObjBox::DeleteBox(TObjBox *box)
{
    if (!box || !ListHolds(*this, box))
        return;
    Unlink(*box);
    box->Kind = bkHead;
    ReleaseFocus(box->Edit);
    // The controls may be dispatching the event that deletes them.
    for (QWidget *w : {static_cast<QWidget *>(box->Edit.data()), static_cast<QWidget *>(box->Image.data())})
        if (w) {
            w->hide();
            w->deleteLater();
        }
    box->deleteLater();
}

TObjBox *TObjBox::FindBox(const QWidget *control) const
{
    if (!control)
        return nullptr;
    for (TBoxNode *n = Next; n; n = n->Next) {
        auto *b = static_cast<TObjBox *>(n);
        if ((b->Kind == bkPicture && b->Image == control) || (b->Kind == bkTextEdit && b->Edit == control))
            return b;
    }
    return nullptr;
}

void TObjBox::DeleteBoxesOf(const TEditText *editor)
{
    for (TBoxNode *n = Next; n;) {
        auto *b = static_cast<TObjBox *>(n);
        n = n->Next;
        if (b->Editor == editor)
            DeleteBox(b);
    }
}

// A hidden text edit keeps the keyboard (it refuses to pass the focus on)
// and would take keys nobody sees; the sheet takes them instead, as after a
// click on it. A focus already on its way elsewhere is left alone.
void TObjBox::ReleaseFocus(const QWidget *control)
{
    const QWidget *focus = control ? control->window()->focusWidget() : nullptr;
    if (focus && (focus == control || control->isAncestorOf(focus)))
        Grid->setFocus(Qt::OtherFocusReason);
}

QWidget *TObjBox::ShownControl() const
{
    if (Kind == bkPicture)
        return Image;
    if (Kind == bkTextEdit)
        return Edit;
    return nullptr;
}

void TObjBox::PlaceBox(TObjBox *box)
{
    ::PlaceBox(*box, Metrics());
    if (QWidget *c = box->ShownControl())
        c->move(box->Left, box->Top);
}

void TObjBox::PlaceBoxes(TObjBox *box)
{
    if (box) {
        PlaceBox(box);
        return;
    }
    for (TBoxNode *n = Next; n; n = n->Next)
        PlaceBox(static_cast<TObjBox *>(n));
}

void TObjBox::SnapBox(TObjBox *box)
{
    if (Busy)
        return;
    QWidget *c = box->ShownControl();
    ::SnapBox(*box, Metrics(), Editor->ColMax, Editor->RowMax, c ? c->width() : 0, c ? c->height() : 0);
    if (c)
        c->move(box->Left, box->Top);
}

// ---------------------------------------------------------------------------
// Mouse

void TObjBox::BoxMouseDown(QWidget *sender, QMouseEvent *e)
{
    TObjBox *box = FindBox(sender);
    if (Busy || !box)
        return;
    switch (BoxPressAction(Busy, EditState == esClearArmed, Editor->PageLock)) {
    case TBoxPress::Refuse:
        Beep();
        break;
    case TBoxPress::Delete:
        DeleteBox(box);
        break;
    case TBoxPress::Drag: {
        box->MouseIsDown = 1;
        const QPoint p = e->globalPosition().toPoint();
        box->DragX = p.x();
        box->DragY = p.y();
        break;
    }
    case TBoxPress::Ignore:
        break;
    }
}

void TObjBox::BoxMouseMove(QWidget *sender, QMouseEvent *e)
{
    TObjBox *box = FindBox(sender);
    if (Busy || !box || !box->MouseIsDown)
        return;
    const QPoint p = e->globalPosition().toPoint();
    const QPoint local = e->position().toPoint();
    QWidget *c = box->ShownControl();
    const unsigned done = BoxDragStep(*box, e->buttons() & Qt::LeftButton, local.x(), local.y(), p.x(), p.y(),
                                      c->minimumWidth(), c->minimumHeight());
    const Qt::CursorShape shape = done & dsMoved ? Qt::SizeAllCursor : Qt::SizeFDiagCursor;
    if (done != dsNone) {
        if (cursorSet_)
            QGuiApplication::changeOverrideCursor(shape);
        else
            QGuiApplication::setOverrideCursor(shape);
        cursorSet_ = true;
    }
    if (done & dsResized)
        c->resize(box->Width, box->Height);
    if (done & dsMoved)
        c->move(box->Left, box->Top);
}

void TObjBox::BoxMouseUp(QWidget *sender, QMouseEvent *)
{
    TObjBox *box = FindBox(sender);
    if (Busy || !box)
        return;
    EndDrag();
    box->MouseIsDown = box->Moving = box->Sizing = 0;
    SnapBox(box);
}

void TObjBox::EndDrag()
{
    if (cursorSet_)
        QGuiApplication::restoreOverrideCursor();
    cursorSet_ = false;
}

// ---------------------------------------------------------------------------
// Events of the box controls

bool TObjBox::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !IsHead())
        return false;
    // A key typed into a text box that the box does not take (every key while
    // it is locked) would edit the sheet out of sight: it ends here. Menu
    // shortcuts are not keys by then and still reach their items.
    if (w == Grid->viewport() && event->type() == QEvent::KeyPress)
        return FindBox(QApplication::focusWidget()) != nullptr;
    // The text edit's mouse arrives at its viewport.
    QWidget *control = w;
    if (auto *edit = qobject_cast<QTextEdit *>(w->parentWidget()); edit && edit->viewport() == w)
        control = edit;
    const bool picture = qobject_cast<QLabel *>(control) != nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        BoxMouseDown(control, static_cast<QMouseEvent *>(event));
        return picture;
    case QEvent::MouseMove: {
        BoxMouseMove(control, static_cast<QMouseEvent *>(event));
        // While a text box is resized its text is not selected.
        const TObjBox *box = FindBox(control);
        return picture || (box && box->Sizing);
    }
    case QEvent::MouseButtonRelease:
        BoxMouseUp(control, static_cast<QMouseEvent *>(event));
        return picture;
    case QEvent::MouseButtonDblClick:
        BoxMouseDown(control, static_cast<QMouseEvent *>(event));
        BoxDblClick(control);
        return picture;
    case QEvent::FocusIn:
        if (w == control && !picture)
            BoxEnter(control);
        return false;
    case QEvent::FocusOut:
        // Opening the box's own menu takes the focus for a moment only.
        if (w == control && !picture && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            BoxExit(control);
        return false;
    case QEvent::ContextMenu:
        if (TObjBox *box = FindBox(control); box && box->Menu) {
            box->Menu->Popup->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        return false;
    default:
        return false;
    }
}
