#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Design sizes are in twips: 15 twips make one logical pixel. Qt's high-DPI scaling does
// the rest, so the 12000 x 9000 twip window is 800 x 600 logical pixels.
constexpr int twips(int t) {
    return t >= 0 ? (t + 7) / 15 : -((-t + 7) / 15);
}
constexpr QSize twipsSize(int w, int h) {
    return QSize(twips(w), twips(h));
}
constexpr QPoint twipsPoint(int x, int y) {
    return QPoint(twips(x), twips(y));
}
constexpr QRect twipsRect(int x, int y, int w, int h) {
    return QRect(twips(x), twips(y), twips(w), twips(h));
}
constexpr QRect twipsRect(const QRect& t) {
    return twipsRect(t.x(), t.y(), t.width(), t.height());
}

constexpr int toTwips(int pixels) {
    return pixels * 15;
}

// Every practice window has this fixed size.
constexpr int kWindowWidthTwips = 12000;
constexpr int kWindowHeightTwips = 9000;
