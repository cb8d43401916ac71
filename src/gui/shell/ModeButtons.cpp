// The mode buttons of the tool bar: their glyphs and their handlers.
#include "ModeButtons.h"

#include <QComboBox>
#include <QPainter>
#include <algorithm>

#include "MainWindow.h"
#include "engine/NumFormat.h"
#include "platform/GridWidget.h"
#include "shell/Preferences.h"
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
    case TGlyph::Deg:
        p.setFont(GlyphFont(11));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("deg"));
        break;
    case TGlyph::Rad:
        p.setFont(GlyphFont(11));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("rad"));
        break;
    case TGlyph::Exp:
        // A power of ten whose exponent is a multiple of three.
        p.setFont(GlyphFont(11));
        p.drawText(QRect(r.left() + 1, r.top() + 3, 15, r.height() - 3), Qt::AlignCenter, QStringLiteral("10"));
        p.setFont(GlyphFont(8));
        p.drawText(QRect(r.left() + 15, r.top() + 1, 8, 9), Qt::AlignCenter, QStringLiteral("3"));
        break;
    case TGlyph::Fix:
        p.setFont(GlyphFont(11));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("Fix"));
        break;
    case TGlyph::Flt:
        p.setFont(GlyphFont(11));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("Flt"));
        break;
    case TGlyph::Equal:
        // Several results: two lines, each ending in '='.
        p.setFont(GlyphFont(9));
        p.drawText(QRect(r.left(), r.top(), r.width(), 10), Qt::AlignCenter, QStringLiteral("a="));
        p.drawText(QRect(r.left(), r.top() + 10, r.width(), 10), Qt::AlignCenter, QStringLiteral("b="));
        break;
    case TGlyph::DelLock:
        p.setFont(GlyphFont(10));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("1\u00BD"));
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
    // Drawn once: a new icon at every switch would fill the pixmap cache
    // with scaled copies of the same two pictures.
    icons_[0] = QIcon(DrawGlyph(glyph_, false));
    icons_[1] = QIcon(DrawGlyph(glyph_, true));
    setIcon(icons_[0]);
}

void TModeButton::SetOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    setIcon(icons_[on_ ? 1 : 0]);
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

void TForm2::SetRadMode(bool rad)
{
    EditText.RadMode = rad ? 1 : 0;
    Preferences.SetFlag(poRadMode, rad);
    SyncModeGlyphs();
}

void TForm2::TB1ButtonDegClick()
{
    SetRadMode(false);
}

void TForm2::TB1ButtonRadClick()
{
    SetRadMode(true);
}

void TForm2::TB1ButtonExpClick()
{
    UIExpMode = !UIExpMode;
    SetExpMode(UIExpMode);
    Preferences.SetFlag(poExpMode, UIExpMode);
    SyncModeGlyphs();
}

// Fix mode shows and sets the Fix places, Flt mode the Flt places.
void TForm2::SetFixMode(bool fix)
{
    SetPlacesText(fix ? UIFixPlaces : UIFltPlaces);
    UIFixMode = fix;
    SetFltMode(!fix);
    Preferences.SetFlag(poFixMode, fix);
    SyncModeGlyphs();
}

void TForm2::TB1ButtonFixClick()
{
    SetFixMode(true);
}

void TForm2::TB1ButtonFltClick()
{
    SetFixMode(false);
}

void TForm2::TB1ButtonEqualClick()
{
    EditText.EqualMode = EditText.EqualMode ? 0 : 1;
    Preferences.SetFlag(poEqualMode, EditText.EqualMode != 0);
    SyncModeGlyphs();
}

void TForm2::TB1ButtonDelLockClick()
{
    const bool mixed = EditText.MixedFraction != 0;
    EditText.MixedFraction = mixed ? 0 : 1;
    EditText.ImplicitMult = mixed ? 1 : 0;
    SyncModeGlyphs();
}

// ---------------------------------------------------------------------------
// Combo boxes

namespace {

// The run-time conversion: leading blanks, then a decimal integer.
bool ComboNumber(const QComboBox *combo, int &n)
{
    QString text = combo->currentText();
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    bool ok = false;
    n = text.toInt(&ok, 10);
    return ok;
}

// Two blanks before numbers of fewer than three characters.
QString PaddedNumber(int n)
{
    const QString text = QString::number(n);
    return text.size() < 3 ? QStringLiteral("  ") + text : text;
}

}  // namespace

void TForm2::SetPlacesText(int32_t places)
{
    // The list opens on the count, as the font-size list opens on the size;
    // its items are the counts 0..MaxPlaces in order.
    ComboPlaces->setCurrentIndex(places >= 0 && places <= MaxPlaces ? places : -1);
    ComboPlaces->setEditText(QStringLiteral("  ") + QString::number(places));
}

void TForm2::ComboFontSizeClick()
{
    int n = 0;
    if (ComboNumber(ComboFontSize, n))
        SetFontSize(n);
}

void TForm2::ComboPlacesClick()
{
    int n = 0;
    if (!ComboNumber(ComboPlaces, n))
        return;
    // Counts outside 0..15 only arrive typed: the formatter keeps its own
    // range, the window the typed number until the combo is left.
    if (UIFixMode) {
        UIFixPlaces = n;
        SetFixPlaces(n);
        Preferences.SetNumber(poFixPlaces, n);
    } else {
        UIFltPlaces = n;
        SetFltPlaces(n);
        Preferences.SetNumber(poFltPlaces, n);
    }
}

void TForm2::ComboPlacesExit()
{
    int n = 0;
    if (!ComboNumber(ComboPlaces, n))
        return;
    n = std::clamp(n, 0, int(MaxPlaces));
    SetPlacesText(n);
    ComboPlacesClick();
}

void TForm2::SetFontSize(int size)
{
    const int applied = grid->ApplyFontSize(size);
    QFont f = grid->font();
    f.setPointSize(applied);
    grid->setFont(f);
    // The list opens on the size when it is one of its items.
    ComboFontSize->setCurrentIndex(ComboFontSize->findText(QString::number(applied)));
    ComboFontSize->setEditText(PaddedNumber(applied));
    Preferences.SetNumber(poFontSize, applied);
    if (PlaceBoxes)
        PlaceBoxes();
}

void TForm2::setFontSizeOfForm2(int size)
{
    if (Form2)
        Form2->SetFontSize(size);
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
    TB1ButtonDeg->SetOn(EditText.RadMode == 0);
    TB1ButtonRad->SetOn(EditText.RadMode != 0);
    TB1ButtonExp->SetOn(UIExpMode);
    TB1ButtonFix->SetOn(UIFixMode);
    TB1ButtonFlt->SetOn(!UIFixMode);
    TB1ButtonEqual->SetOn(EditText.EqualMode != 0);
    TB1ButtonDelLock->SetOn(EditText.MixedFraction != 0);
}
