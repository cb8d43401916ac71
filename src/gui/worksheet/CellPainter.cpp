#include "CellPainter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QString>

#include "worksheet/Edit.h"

int MinFontSize = 8;
int MaxFontSize = 512;
int LineWidth = 0;
bool DisplayBuffer = false;

TPaintHost PaintHost;
void (*SetFontSizeProc)(int size) = nullptr;

int ClampFontSize(int size)
{
    return std::max(std::min(size, MaxFontSize), MinFontSize);
}

int FontPixelHeight(int size, int dpi)
{
    // Rounded half away from zero, as the system's MulDiv does.
    const long long num = static_cast<long long>(size) * dpi;
    return static_cast<int>((num + (num >= 0 ? 36 : -36)) / 72);
}

TSheetCellSize ApplySheetFontSize(int size, int dpi)
{
    TSheetCellSize s;
    s.Size = ClampFontSize(size);
    FontSize = s.Size;
    CellFontSize = s.Size;
    LineUnit = s.Size;
    // The divisor is 1.33333 on purpose, not 4/3: column widths follow it.
    s.ColWidth = static_cast<int>(std::trunc(FontPixelHeight(s.Size, dpi) / 1.33333));
    s.RowHeight = s.Size * 5 / 4;
    return s;
}

void PrintSetFontSize(int size)
{
    if (SetFontSizeProc)
        SetFontSizeProc(size);
    else
        ApplySheetFontSize(size);
}

// ---------------------------------------------------------------------------
// Glyphs

namespace {

// Windows-1252 between 0x80 and 0x9F; 0 where the code page has no character.
const char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The symbol font's characters from 0x20 to 0x7E. Letters follow the font's own
// correspondence ('p' pi, 'q' theta, 'c' chi, 'J' script theta, 'V' final sigma);
// 'j' is the looped phi and 'f' the stroked one, as the font draws them.
const char16_t symbolLow[95] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212,
    0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
    0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5,
    0x03D5, 0x03B3, 0x03B7, 0x03B9, 0x03C6, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C,
};

// The symbol font's characters from 0xA0 to 0xFF; 0 where it has none.
const char16_t symbolHigh[96] = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191,
    0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283,
    0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x27E8, 0x00AE, 0x00A9, 0x2122, 0x2211,
    0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x27E9, 0x222B, 0x2320,
    0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};

}  // namespace

char16_t TextFontChar(unsigned char ch)
{
    if (ch < 0x20)
        return 0;
    if (ch >= 0x80 && ch < 0xA0)
        return cp1252High[ch - 0x80];
    return ch;
}

char16_t SymbolFontChar(unsigned char ch)
{
    if (ch >= 0x20 && ch < 0x7F)
        return symbolLow[ch - 0x20];
    if (ch >= 0xA0)
        return symbolHigh[ch - 0xA0];
    return 0;
}

// ---------------------------------------------------------------------------
// Painting

namespace {

const QColor clBlue(0, 0, 255);
const QColor clGreen(0, 128, 0);
const QColor clBlack(0, 0, 0);
const QColor clRed(255, 0, 0);
const QColor clSilver(0xC0, 0xC0, 0xC0);

// "Courier New" resolves to a metric-compatible face; the symbol font does not
// exist here, so its characters come from a face that has them all.
const char *const textFamily = "Courier New";
const char *const symbolFamily = "DejaVu Sans";
// The symbol font's ascent, per em: its glyphs hang from the top of the text
// origin by this much whichever face stands in for it.
constexpr double symbolAscent = 1.005;

struct FontSlot {
    int pixel = -1;
    QFont font;
    QRawFont raw;
    int ascent = 0;
    int height = 0;
    // One prepared glyph per character byte: drawing a glyph run skips the
    // text layout that a full repaint of thousands of cells cannot afford.
    QGlyphRun runs[256];
    uint8_t runState[256] = {};  // 0 not yet looked up, 1 ready, 2 the face lacks it
};

// One slot per face, style and script size: the sheet draws a handful of fonts.
FontSlot fontSlots[2][2][2];
std::unordered_map<uint64_t, QImage> pieceCache;

// Fonts and images must go before the application object that they belong to.
void ReleaseCaches()
{
    for (auto &bySymbol : fontSlots)
        for (auto &byBold : bySymbol)
            for (FontSlot &slot : byBold)
                slot = FontSlot();
    pieceCache.clear();
}

void RegisterRelease()
{
    static bool registered = false;
    if (!registered) {
        qAddPostRoutine(ReleaseCaches);
        registered = true;
    }
}

FontSlot &FontFor(bool symbol, bool bold, bool small, int pixel)
{
    FontSlot &s = fontSlots[symbol][bold][small];
    if (s.pixel != pixel) {
        RegisterRelease();
        s.pixel = pixel;
        s.font = QFont(symbol ? symbolFamily : textFamily);
        if (!symbol)
            s.font.setStyleHint(QFont::TypeWriter);
        s.font.setPixelSize(pixel);
        s.font.setBold(bold);
        const QFontMetrics fm(s.font);
        s.ascent = symbol ? int(std::lround(symbolAscent * pixel)) : fm.ascent();
        s.height = symbol ? s.ascent + int(std::lround(0.216 * pixel)) : fm.height();
        s.raw = QRawFont::fromFont(s.font);
        std::fill(std::begin(s.runState), std::end(s.runState), uint8_t(0));
    }
    return s;
}

const QString &GlyphString(bool symbol, unsigned char ch);

// The prepared glyph of a character, or null when the face lacks it and the
// text path with its font fallback must draw it.
const QGlyphRun *GlyphRunFor(FontSlot &s, bool symbol, unsigned char ch)
{
    if (s.runState[ch] == 0) {
        s.runState[ch] = 2;
        const QString &text = GlyphString(symbol, ch);
        if (!text.isEmpty() && s.raw.isValid()) {
            const QList<quint32> glyphs = s.raw.glyphIndexesForString(text);
            if (glyphs.size() == 1 && glyphs[0] != 0) {
                s.runs[ch].setRawFont(s.raw);
                s.runs[ch].setGlyphIndexes(glyphs);
                s.runs[ch].setPositions({QPointF(0, 0)});
                s.runState[ch] = 1;
            }
        }
    }
    return s.runState[ch] == 1 ? &s.runs[ch] : nullptr;
}

const QString &GlyphString(bool symbol, unsigned char ch)
{
    static QString glyphs[2][256];
    static bool made = false;
    if (!made) {
        for (int i = 0; i < 256; ++i) {
            const char16_t t = TextFontChar(uint8_t(i)), s = SymbolFontChar(uint8_t(i));
            glyphs[0][i] = t ? QString(QChar(t)) : QString();
            glyphs[1][i] = s ? QString(QChar(s)) : QString();
        }
        made = true;
    }
    return glyphs[symbol][ch];
}

// Cell edges as the grid hands them: right and bottom lie just outside.
struct Edges {
    int L, T, R, B;
    explicit Edges(const QRect &r) : L(r.left()), T(r.top()), R(r.left() + r.width()), B(r.top() + r.height()) {}
};

// A pen of width w drawn from x1 to x2 (x2 not included, as the system's
// LineTo leaves the end point out), centred on y.
void HLine(QPainter &p, int x1, int x2, int y, int w, const QColor &c)
{
    if (x2 > x1)
        p.fillRect(QRect(x1, y - w / 2, x2 - x1, w), c);
}

void VLine(QPainter &p, int x, int y1, int y2, int w, const QColor &c)
{
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (y1 < y2)
        p.fillRect(QRect(x - w / 2, top, w, bottom - top), c);
    else if (y1 > y2)
        p.fillRect(QRect(x - w / 2, top + 1, w, bottom - top), c);
}

QColor TextColor(const TCell &cell)
{
    if (cell.Has(cfResult))
        return clBlue;
    if (cell.Has(cfGreen))
        return clGreen;
    return clBlack;
}

QRect RectOf(const TCellCanvas &cv, int col, int row, const QRect &painted, int paintedRow)
{
    if (cv.CellRect)
        return cv.CellRect(col, row);
    return painted.translated(0, (row - paintedRow) * painted.height());
}

// Tall bracket and integral pieces as strokes scaled to the cell, so the three
// pieces join into one sign at any size: every stem runs one pixel past the
// cell's top and bottom, into the rows that the neighbour pieces draw.
void DrawPiece(QPainter &p, unsigned char ch, const Edges &e, int U, const QColor &colour)
{
    int base;
    int kind;  // 0 round, 1 square, 2 curly, 3 integral
    bool closing = false;
    if (ch >= 230 && ch <= 238) {
        base = 230 + (ch - 230) / 3 * 3;
        kind = (ch - 230) / 3;
    } else if (ch >= 246 && ch <= 254) {
        base = 246 + (ch - 246) / 3 * 3;
        kind = (ch - 246) / 3;
        closing = true;
    } else {
        base = 243;
        kind = 3;
    }
    const int piece = ch - base;  // 0 top, 1 middle, 2 bottom
    const int w = e.R - e.L, h = e.B - e.T;
    const int sw = U / 12 + 1;
    static const int stemAt[4] = {40, 35, 50, 45};  // stem centre, per cent of the width
    const int x0 = e.L + w * stemAt[kind] / 100 - sw / 2;
    const double xc = x0 + sw / 2.0;
    auto X = [&](int percent) { return e.L + w * percent / 100.0; };
    auto Y = [&](int percent) { return e.T + h * percent / 100.0; };
    auto Yi = [&](int percent) { return e.T + h * percent / 100; };

    p.save();
    // Closing pieces mirror the opening ones and bottoms mirror tops, pixel for
    // pixel; the integral's bottom is its top turned half round its own stem.
    QTransform t;
    if (closing)
        t = QTransform(-1, 0, 0, 1, e.L + e.R, 0);
    else if (kind == 3 && piece == 2)
        t = QTransform(-1, 0, 0, 1, 2 * x0 + sw, 0);
    if (piece == 2)
        t = t * QTransform(1, 0, 0, -1, 0, e.T + e.B);
    p.setTransform(t, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(colour, sw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto stem = [&](int y1, int y2) {  // rows y1..y2 inclusive
        if (y2 >= y1)
            p.fillRect(QRect(x0, y1, sw, y2 - y1 + 1), colour);
    };
    // One row past the cell; on a mirrored bottom that is the row above it.
    const int below = e.B;
    if (piece == 1) {
        if (kind == 2) {
            stem(e.T - 1, Yi(30));
            stem(Yi(70), below);
            QPainterPath path(QPointF(xc, Y(30)));
            path.quadTo(QPointF(xc, Y(50)), QPointF(X(15), Y(50)));
            path.quadTo(QPointF(xc, Y(50)), QPointF(xc, Y(70)));
            p.drawPath(path);
        } else {
            stem(e.T - 1, below);
        }
    } else {
        QPainterPath path;
        switch (kind) {
        case 0:
            stem(Yi(70), below);
            path.moveTo(X(78), Y(10));
            path.quadTo(QPointF(xc, Y(30)), QPointF(xc, Y(70)));
            break;
        case 1:
            stem(Yi(10), below);
            p.fillRect(QRect(x0, Yi(10), std::max(int(X(80)) - x0, sw), sw), colour);
            break;
        case 2:
            stem(Yi(45), below);
            path.moveTo(X(85), Y(10));
            path.quadTo(QPointF(xc, Y(10)), QPointF(xc, Y(45)));
            break;
        case 3:
            stem(Yi(35), below);
            path.moveTo(xc, Y(35));
            path.quadTo(QPointF(xc, Y(6)), QPointF(X(85), Y(12)));
            break;
        }
        if (!path.isEmpty())
            p.drawPath(path);
    }
    p.restore();
}

// On screen each piece is drawn once per size and colour and then copied.
void DrawPieceCached(QPainter &p, unsigned char ch, const Edges &e, int U, const QColor &colour)
{
    const int w = e.R - e.L, h = e.B - e.T;
    const int tone = colour == clBlack ? 0 : colour == clBlue ? 1 : colour == clGreen ? 2 : 3;
    if (tone == 3 || w <= 0 || h <= 0 || w > 4095 || h > 4095 || U > 4095) {
        DrawPiece(p, ch, e, U, colour);
        return;
    }
    auto &cache = pieceCache;
    const uint64_t key = uint64_t(ch) | uint64_t(w) << 8 | uint64_t(h) << 20 | uint64_t(U) << 32 | uint64_t(tone) << 44;
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 1024)
            cache.clear();
        QImage img(w, h + 2, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter ip(&img);
        DrawPiece(ip, ch, Edges(QRect(0, 1, w, h)), U, colour);
        ip.end();
        it = cache.emplace(key, std::move(img)).first;
    }
    p.drawImage(e.L, e.T - 1, it->second);
}

void DrawNesting(const TCellCanvas &cv, int c, int n, const QRect &painted, int paintedRow)
{
    QPainter &p = *cv.Canvas;
    const QRect rc = RectOf(cv, c, n, painted, paintedRow);
    // A cell that is not on this canvas has nothing to anchor lines to.
    if (rc.isEmpty())
        return;
    const Edges e(rc);
    const int U = LineUnit, W = LineWidth;
    const TAttrCell &a = EditText.Attrs[c][n];
    const QColor colour = EditText.Cells[c][n].Has(cfResult) ? clBlue : clBlack;
    const int y0 = e.T - U / 5 - W;
    for (int level = 1; level <= 7; ++level) {
        if (a.Overline & (1u << level))
            HLine(p, e.L - 1, e.R, y0 - (level - 1) * 3 * W, W, colour);
        if (a.RootLevel != level)
            continue;
        // Rows beyond the sheet come only from damaged data.
        if (a.RootTop > SheetLast || a.RootBottom > SheetLast)
            return;
        const QRect r1 = RectOf(cv, c, a.RootTop, painted, paintedRow);
        const QRect r2 = RectOf(cv, c, a.RootBottom, painted, paintedRow);
        if (!cv.PrintPath && (r1.height() != cv.DefaultRowHeight || r2.height() != cv.DefaultRowHeight))
            return;  // scrolled out of view: the next repaint with the rows in view draws it
        const int yt = r1.top() - U / 5 - W - (level - 1) * 3 * W;
        const int r2Bottom = r2.top() + r2.height();
        // Odd widths sit on pixel centres, so horizontal runs stay one row sharp.
        const double dy = W % 2 ? 0.5 : 0;
        const QPointF pts[5] = {
            {double(e.L), e.B - U + dy},
            {double(e.L + U / 6), e.B - U + dy},
            {double(e.L + U / 3), r2Bottom - U / 6 + dy},
            {double(e.R - U / 8), yt + dy},
            {double(e.R), yt + dy},
        };
        const bool aa = p.testRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(colour, W, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawPolyline(pts, 5);
        p.setRenderHint(QPainter::Antialiasing, aa);
    }
}

// Overlines belong to the cell below them and a radical spans its rows:
// painting a cell repaints what the neighbours drew into it. This is the row
// whose overlines and root the cell (c, r) draws; arm tells whether the cell
// borders a root's area.
int NestingRow(int c, int r, bool &arm)
{
    const TAttrCell *col = EditText.Attrs[c];
    int rp = r;
    if (r < SheetLast && col[r + 1].Overline != 0)
        rp = r + 1;
    // A root row beyond the sheet (damaged data) names no root.
    int rootAbove = -1;
    if (rp > 0) {
        const int k = col[rp - 1].RootRow;
        if (k <= SheetLast && col[k].RootBottom == rp - 1) {
            arm = true;
            rootAbove = k;
        }
    }
    if (rp < SheetLast) {
        const int k = col[rp + 1].RootRow;
        if (k <= SheetLast && col[k].RootTop == rp + 1)
            arm = true;
    }
    if (r > 0 && rootAbove >= 0)
        rp = rootAbove;
    return rp;
}

bool DrawsNesting(const TAttrCell *col, int rp)
{
    return col[rp].Overline != 0 || (rp < SheetLast && col[rp + 1].Overline != 0);
}

void NestingRedraw(const TCellCanvas &cv, int c, int r, const QRect &rect)
{
    bool arm = false;
    const int rp = NestingRow(c, r, arm);
    if (PaintHost.CellPainted)
        PaintHost.CellPainted(arm);
    if (DrawsNesting(EditText.Attrs[c], rp))
        DrawNesting(cv, c, rp, rect, r);
}

void DrawOverlay(QPainter &p, const TAttrCell &a, const Edges &e)
{
    for (int i = 0; i < 8; ++i) {
        const int x = e.L + 4 * i;
        VLine(p, x, e.T, e.T + ((a.Overline >> i) & 1 ? 12 : 2), 2, clRed);
        VLine(p, x, e.B, e.B - ((a.Nesting >> i) & 1 ? 12 : 2), 2, clBlue);
    }
}

}  // namespace

int CellRadicalRow(int col, int row)
{
    if (!InSheet(col, row))
        return -1;
    bool arm = false;
    const int rp = NestingRow(col, row, arm);
    return EditText.Attrs[col][rp].RootLevel != 0 && DrawsNesting(EditText.Attrs[col], rp) ? rp : -1;
}

void DrawSheetCell(const TCellCanvas &cv, int c, int r, const QRect &rect)
{
    if (PaintHost.SuspendDraw && *PaintHost.SuspendDraw)
        return;
    if (!cv.Canvas || !InSheet(c, r))
        return;
    QPainter &p = *cv.Canvas;
    const bool current = !cv.PrintPath && c == cv.CurCol && r == cv.CurRow;
    const int U = LineUnit;
    LineWidth = U / 25 + 1;
    const TCell &cell = EditText.Cells[c][r];
    const TAttrCell &attr = EditText.Attrs[c][r];
    const Edges e(rect);
    if (cell.Ch != 0)
        EditText.NoteUsed(c, r);

    const bool symbol = cell.Has(cfSymbolFont);
    int x = e.L;
    int y = symbol ? e.T - U / 3 : e.T - U / 8;
    if (symbol && cell.Code() == 430)
        x -= U / 4;
    if (cell.Has(cfLowered))
        y += U * 60 / 100;

    if (cell.Ch == 190) {
        HLine(p, e.L - 1, e.R, e.T + (e.B - e.T) / 2, LineWidth, cell.Has(cfResult) ? clBlue : clBlack);
    } else {
        const bool small = cell.Has(cfRaised | cfLowered);
        const int size = small ? CellFontSize * 60 / 100 : CellFontSize;
        const int dpi = p.device() ? p.device()->logicalDpiY() : 96;
        FontSlot &font = FontFor(symbol, cell.Has(cfBold), small, std::max(1, FontPixelHeight(size, dpi)));
        const QColor colour = TextColor(cell);
        const uint8_t ch = cell.Ch;
        const QString &glyph = GlyphString(symbol, ch);
        // The current cell keeps the grid's brush under its text.
        auto opaqueBox = [&](const QString &text) {
            if (current) {
                const int advance = text.isEmpty() ? QFontMetrics(font.font).horizontalAdvance(QChar(' '))
                                                   : QFontMetrics(font.font).horizontalAdvance(text);
                p.fillRect(QRect(x, y, advance, font.height), cv.CurrentBrush);
            }
        };
        auto text = [&](const QString &s) {
            if (s.isEmpty())
                return;
            p.setPen(colour);
            if (const QGlyphRun *run = GlyphRunFor(font, symbol, ch)) {
                p.drawGlyphRun(QPointF(x, y + font.ascent), *run);
            } else {
                p.setFont(font.font);
                p.drawText(QPoint(x, y + font.ascent), s);
            }
        };
        if (cell.Code() == scRootSign && (attr.Overline & 1)) {
            opaqueBox(QString());  // the sign itself is the radical that DrawNesting draws
        } else if (cell.Code() == 0) {
            if (current)
                p.fillRect(rect, cv.CurrentBrush);
        } else if ((ch >= 230 && ch <= 238) || (ch >= 243 && ch <= 254)) {
            const QRect widened(e.L, e.T - 1, e.R - e.L, e.B - e.T + 2);
            if (current)
                p.fillRect(widened, cv.CurrentBrush);
            // Symbol pieces are strokes fitted to the cell: no glyph offsets apply.
            if (symbol && cv.PrintPath) {
                DrawPiece(p, ch, e, U, colour);
            } else if (symbol) {
                DrawPieceCached(p, ch, e, U, colour);
            } else {
                p.save();
                p.setClipRect(widened, Qt::IntersectClip);
                text(glyph);
                p.restore();
            }
        } else {
            opaqueBox(glyph);
            text(glyph);
        }
    }

    NestingRedraw(cv, c, r, rect);

    if (PaintHost.ShowNestingMarks && *PaintHost.ShowNestingMarks)
        DrawOverlay(p, attr, e);

    if (EditText.PageLock && (attr.Protection & 2))
        HLine(p, e.L - 1, e.R + 1, e.B, U / 8 + 1, clSilver);
}

void PrintDrawCell(QPainter &canvas, int col, int row, const QRect &rect, const TCellRectFunc &cellRect)
{
    TCellCanvas cv;
    cv.Canvas = &canvas;
    cv.PrintPath = true;
    cv.CellRect = cellRect;
    DrawSheetCell(cv, col, row, rect);
}
