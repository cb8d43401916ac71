// Pixel probes for images of drawn cells (GUI tests only).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <climits>

inline const auto Dark = [](const QColor &c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; };
inline const auto Blue = [](const QColor &c) { return c.blue() > 180 && c.red() < 90 && c.green() < 90; };
inline const auto White = [](const QColor &c) { return c == QColor(Qt::white); };

// The pixels of an area that are not white: how many, their rows, their colours.
struct Ink {
    int top = INT_MAX, bottom = -1, count = 0, blue = 0, green = 0, dark = 0;
};

inline Ink InkIn(const QImage &img, const QRect &area)
{
    Ink k;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (White(c))
                continue;
            ++k.count, k.blue += Blue(c), k.dark += Dark(c);
            k.top = std::min(k.top, y), k.bottom = std::max(k.bottom, y);
            k.green += c.green() > 80 && c.red() < 70 && c.blue() < 70;
        }
    return k;
}
