// Buttons that show one of two glyphs: the normal one, or the "on" one
// while their mode is active. The glyph pictures are drawn here.
#pragma once

#include <QPixmap>
#include <QToolButton>

enum class TGlyph {
    Ansi,     // text font set
    Symbol,   // symbol font set (Greek)
    Super,    // superscript
    Sub,      // subscript
    Esc,      // function-name mode
    Clear,    // the Clear button; "on" while a Clear waits for Enter
    Deg,      // angles in degrees
    Rad,      // angles in radians
    Exp,      // engineering exponents
    Fix,      // fixed decimals
    Flt,      // significant digits
    Equal,    // multi-result mode
    DelLock,  // mixed fractions instead of implicit multiplication
};

// The picture of a glyph, normal or "on".
QPixmap DrawGlyph(TGlyph glyph, bool on);

class TModeButton : public QToolButton {
    Q_OBJECT
public:
    TModeButton(TGlyph glyph, const QString &hint, QWidget *parent = nullptr);

    TGlyph Glyph() const { return glyph_; }
    bool IsOn() const { return on_; }
    // Shows the "on" glyph when on, the normal glyph otherwise.
    void SetOn(bool on);

private:
    TGlyph glyph_;
    bool on_ = false;
    QIcon icons_[2];  // normal, on
};
