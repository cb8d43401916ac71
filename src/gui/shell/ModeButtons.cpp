// The mode buttons of the tool bar: their glyphs and their handlers.
#include "ModeButtons.h"

#include <QPainter>

#include "MainWindow.h"
#include "platform/GridWidget.h"
#include "worksheet/Edit.h"

namespace {

const QColor glyphInk(0, 0, 0x80);           // navy strokes of a normal glyph
const QColor glyphOnFill(0x20, 0x60, 0xC0);  // blue plate of an "on" glyph
const QColor clearArmedFill(0xD0, 0x10, 0x10);

QSize GlyphSize(TGlyph g)
{
    return g == TGlyph::Clear ? QSize(44, 20) : QSize(24, 20);
}

QFont GlyphFont(int pixels, bool bold = true)
{
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A letter with a small "2" raised or lowered beside it.
void DrawScript(QPainter &p, const QRect &r, bool raised)
{
    p.setFont(GlyphFont(14));
    p.drawText(QRect(r.left() + 3, r.top(), 12, r.height()), Qt::AlignCenter, QStringLiteral("x"));
    p.setFont(GlyphFont(9));
    const QRect small(r.left() + 14, raised ? r.top() + 1 : r.bottom() - 10, 8, 10);
    p.drawText(small, Qt::AlignCenter, QStringLiteral("2"));
}

}  // namespace

QPixmap DrawGlyph(TGlyph glyph, bool on)
{
    const QSize size = GlyphSize(glyph);
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect r(QPoint(0, 0), size);

    QColor ink = glyphInk;
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(glyph == TGlyph::Clear ? clearArmedFill : glyphOnFill);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        ink = Qt::white;
    }
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);

    switch (glyph) {
    case TGlyph::Ansi:
        p.setFont(GlyphFont(15));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("A"));
        break;
    case TGlyph::Symbol:
        p.setFont(GlyphFont(15));
        p.drawText(r, Qt::AlignCenter, QString(QChar(0x03B1)) + QChar(0x03B2));  // alpha beta
        break;
    case TGlyph::Super:
        DrawScript(p, r, true);
        break;
    case TGlyph::Sub:
        DrawScript(p, r, false);
        break;
    case TGlyph::Esc:
        p.setFont(GlyphFont(13, false));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("f("));
        break;
    case TGlyph::Clear:
        p.setFont(GlyphFont(12));
        p.drawText(r, Qt::AlignCenter, on ? QStringLiteral("Clear?") : QStringLiteral("Clear"));
        break;
    }
    return pm;
}

TModeButton::TModeButton(TGlyph glyph, const QString &hint, QWidget *parent) : QToolButton(parent), glyph_(glyph)
{
    setToolTip(hint);
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setIconSize(GlyphSize(glyph));
    setIcon(QIcon(DrawGlyph(glyph_, false)));
}

void TModeButton::SetOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    setIcon(QIcon(DrawGlyph(glyph_, on_)));
}

// ---------------------------------------------------------------------------
// Handlers of the mode buttons (TForm2)

void TForm2::SetGridFontName(const char *name)
{
    FontName = name;
    QFont f = grid->font();
    f.setFamily(QString::fromLatin1(name));
    grid->setFont(f);
}

void TForm2::TB1ButtonAnsiClick()
{
    SetGridFontName("Courier New");
    FontSet = 0;
    SyncModeGlyphs();
}

void TForm2::TB1ButtonSymbolClick()
{
    SetGridFontName("SYMBOL");
    FontSet = 2;
    SyncModeGlyphs();
}

void TForm2::TB1ButtonSuperClick()
{
    ScriptLevel = ScriptLevel >= 0 ? -1 : 0;
    SyncModeGlyphs();
}

void TForm2::TB1ButtonSubClick()
{
    ScriptLevel = ScriptLevel <= 0 ? CellFontSize * 60 / 100 : 0;
    SyncModeGlyphs();
}

void TForm2::TB1ButtonESCClick()
{
    EditText.EscMode = EditText.EscMode ? 0 : 1;
    SyncModeGlyphs();
}

// The glyphs follow the modes themselves, so a mode changed anywhere (keys,
// the calculate command, a later file load) never leaves a stale glyph.
void TForm2::SyncModeGlyphs()
{
    TB1ButtonAnsi->SetOn(FontSet == 0);
    TB1ButtonSymbol->SetOn(FontSet == 2);
    TB1ButtonSuper->SetOn(ScriptLevel < 0);
    TB1ButtonSub->SetOn(ScriptLevel > 0);
    TB1ButtonESC->SetOn(EditText.EscMode != 0);
}
