#include "keys/ui/keys_look.h"

#include "look/look.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace KeysLook {

Look::KeyColours keyColours(KeyFace face) {
    switch (face) {
    case KeyFace::Character:
        return {QColor(0xe8, 0xf1, 0xfc), QColor(0xcf, 0xe0, 0xf5), QColor(0x2a, 0x31, 0x3b),
                QColor(0x23, 0x3a, 0x57)};
    case KeyFace::Function:
        return {QColor(0xe4, 0xdf, 0xf7), QColor(0xcc, 0xc4, 0xec), QColor(0x2a, 0x31, 0x3b),
                QColor(0x4a, 0x3f, 0x78)};
    case KeyFace::Tip:
        return {QColor(0x9b, 0xe3, 0x9f), QColor(0x6c, 0xcb, 0x74), QColor(0x2f, 0x7d, 0x3a),
                QColor(0x10, 0x3d, 0x18)};
    case KeyFace::Pressed:
        return {QColor(0x2f, 0xa8, 0x4f), QColor(0x22, 0x8c, 0x3f), QColor(0x16, 0x5c, 0x2a),
                Qt::white};
    case KeyFace::Wrong:
        return {QColor(0xf4, 0x6a, 0x6a), QColor(0xdc, 0x45, 0x45), QColor(0x86, 0x1d, 0x1d),
                Qt::white};
    case KeyFace::WrongPressed:
        return {QColor(0xc0, 0x2c, 0x2c), QColor(0xa3, 0x1f, 0x1f), QColor(0x62, 0x12, 0x12),
                Qt::white};
    }
    return {};
}

bool hasFingerColour(KeyboardTable::Finger finger) {
    return finger != KeyboardTable::Finger::Thumbs && finger != KeyboardTable::Finger::None;
}

Look::KeyColours fingerColours(KeyboardTable::Finger finger) {
    using F = KeyboardTable::Finger;
    // Eight colours that stay apart from each other and from the plain keys for every eye,
    // also for those who tell no red from green: lightness and the blue-yellow axis part
    // them, not only hue. The dark ones carry white ink.
    struct Finger {
        QColor face;
        bool whiteInk;
    };
    Finger c;
    switch (finger) {
    case F::LeftLittle:
        c = {QColor(0x7f, 0x2b, 0x42), true}; // wine
        break;
    case F::LeftRing:
        c = {QColor(0xe4, 0x95, 0x28), false}; // amber
        break;
    case F::LeftMiddle:
        c = {QColor(0xfe, 0xff, 0xad), false}; // cream
        break;
    case F::LeftIndex:
        c = {QColor(0x5c, 0xb0, 0x99), false}; // jade
        break;
    case F::RightIndex:
        c = {QColor(0x6a, 0x92, 0xe6), false}; // cornflower
        break;
    case F::RightMiddle:
        c = {QColor(0x1f, 0x4a, 0x91), true}; // navy
        break;
    case F::RightRing:
        c = {QColor(0x9e, 0x69, 0x40), true}; // copper
        break;
    case F::RightLittle:
        c = {QColor(0x3f, 0x7b, 0x81), true}; // teal
        break;
    case F::Thumbs:
    case F::None:
        return keyColours(KeyFace::Character);
    }
    return {c.face.lighter(106), c.face.darker(108), c.face.darker(150),
            c.whiteInk ? QColor(Qt::white) : QColor(0x23, 0x2b, 0x36)};
}

void paintCapsLamp(QPainter& p, const QPointF& centre, qreal radius) {
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0, QColor(0xe9, 0xff, 0xd8));
    glow.setColorAt(0.45, QColor(0x5d, 0xf0, 0x3c));
    glow.setColorAt(1, QColor(0x5d, 0xf0, 0x3c, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
}

void paintLinePanel(QPainter& p, const QRect& area, const QPalette& palette) {
    p.fillRect(area, kLineBackground);
    p.setPen(palette.color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}

void paintStatusBar(QPainter& p, const QRect& area, const QPalette& palette) {
    const QRectF bar = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, bar.top(), 0, bar.bottom());
    fill.setColorAt(0, palette.color(QPalette::AlternateBase));
    fill.setColorAt(1, palette.color(QPalette::Midlight).darker(104));
    p.setPen(palette.color(QPalette::Mid).darker(106));
    p.setBrush(fill);
    p.drawRoundedRect(bar, 8, 8);
}

void styleStatusField(QLabel* label) {
    label->setStyleSheet(Look::fieldStyle(4));
    label->setFont(Look::uiFont(8.5, true));
    label->setAlignment(Qt::AlignCenter);
}

void paintProgress(QPainter& p, const QRectF& area, bool filled) {
    QLinearGradient fill(0, area.top(), 0, area.bottom());
    fill.setColorAt(0, filled ? QColor(0x7d, 0xd8, 0x6c) : QColor(0x7d, 0xa7, 0xe0));
    fill.setColorAt(1, filled ? QColor(0x3f, 0xb0, 0x3c) : QColor(0x4f, 0x83, 0xcc));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(area, area.height() / 2, area.height() / 2);
}

} // namespace KeysLook
