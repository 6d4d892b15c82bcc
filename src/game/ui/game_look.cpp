#include "game/ui/game_look.h"

#include "look/look.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QWidget>
#include <cmath>

namespace GameLook {

namespace {

// A row of pine trees along a ridge: `base` is the ridge line, heights vary with `seed`.
void drawForest(QPainter& p, const QRectF& area, qreal base, qreal treeHeight, QColor colour,
                quint32 seed) {
    QRandomGenerator random(seed);
    QPainterPath forest;
    forest.moveTo(area.left(), area.bottom());
    forest.lineTo(area.left(), base);
    qreal x = area.left() - 10;
    while (x < area.right() + 20) {
        const qreal h = treeHeight * (0.6 + random.bounded(0.55));
        const qreal w = h * 0.42;
        const qreal ground = base + random.bounded(6.0);
        forest.lineTo(x, ground);
        // Three tiers of branches narrowing to the tip.
        for (int tier = 0; tier < 3; ++tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 - half, y + h * 0.1);
            forest.lineTo(x + w / 2 - half * 0.45, y);
        }
        forest.lineTo(x + w / 2, ground - h);
        for (int tier = 2; tier >= 0; --tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 + half * 0.45, y);
            forest.lineTo(x + w / 2 + half, y + h * 0.1);
        }
        forest.lineTo(x + w, ground);
        x += w * (0.7 + random.bounded(0.5));
    }
    forest.lineTo(area.right(), base);
    forest.lineTo(area.right(), area.bottom());
    forest.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(forest);
}

} // namespace

// The game's night: its own artwork, kept under every skin.
void paintNightScene(QPainter& p, const QRect& area) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = area;
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x0b, 0x14, 0x2e));
    sky.setColorAt(0.55, QColor(0x1b, 0x2c, 0x5a));
    sky.setColorAt(1, QColor(0x3a, 0x4f, 0x86));
    p.fillRect(r, sky);

    // Stars, thinning towards the horizon; the same sky every time.
    QRandomGenerator random(7);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 140; ++i) {
        const qreal x = random.bounded(r.width());
        const qreal y = r.height() * 0.75 * std::pow(random.bounded(1.0), 1.6);
        const qreal size = 0.6 + random.bounded(1.3);
        p.setBrush(QColor(255, 255, 255, 110 + random.bounded(145)));
        p.drawEllipse(QPointF(x, y), size, size);
    }

    // The moon with its glow.
    const QPointF moon(r.width() * 0.8, r.height() * 0.2);
    QRadialGradient glow(moon, 90);
    glow.setColorAt(0, QColor(255, 244, 214, 90));
    glow.setColorAt(1, QColor(255, 244, 214, 0));
    p.setBrush(glow);
    p.drawEllipse(moon, 90, 90);
    p.setBrush(QColor(0xfb, 0xf3, 0xdc));
    p.drawEllipse(moon, 30, 30);
    p.setBrush(QColor(0xe9, 0xdf, 0xc2));
    p.drawEllipse(moon + QPointF(-9, -7), 6, 6);
    p.drawEllipse(moon + QPointF(8, 9), 4.5, 4.5);
    p.drawEllipse(moon + QPointF(11, -11), 3, 3);

    drawForest(p, r, r.height() * 0.78, 70, QColor(0x22, 0x35, 0x5c), 11);
    drawForest(p, r, r.height() * 0.9, 95, QColor(0x10, 0x1c, 0x33), 23);
    p.setBrush(QColor(0x0b, 0x13, 0x24));
    p.drawRect(QRectF(0, r.height() - 10, r.width(), 10));
}

void styleHeading(QLabel* label) {
    label->setStyleSheet(Look::fieldStyle(6, QStringLiteral(" padding-top: 2px;")));
    label->setFont(Look::uiFont(8.5));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void styleValue(QLabel* label) {
    Look::setOwnStyle(label, Look::labelStyle(Look::kWrong));
    label->setFont(Look::uiFont(10.5, true));
    label->setAlignment(Qt::AlignCenter);
}

void styleGameOver(QLabel* label, double pointSize) {
    Look::setOwnStyle(label,
                      QStringLiteral("QLabel { color: %1; background: %2; border-radius: 10px; }")
                          .arg(kGameOverInk.name(), kItemBackground.name()));
    QFont font = Look::uiFont(pointSize, true);
    const int room = label->width() - label->height() / 2;
    while (font.pointSizeF() > 12 && QFontMetrics(font).horizontalAdvance(label->text()) > room)
        font.setPointSizeF(font.pointSizeF() - 1);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
}

void styleButton(QWidget* button) {
    Look::setOwnStyle(
        button,
        QStringLiteral("QPushButton { color: #1b2540; background: qlineargradient(x1:0, y1:0,"
                       " x2:0, y2:1, stop:0 #ffe08a, stop:1 #f2b94a);"
                       " border: 1px solid #c98f22; border-radius: 10px; }"
                       "QPushButton:hover { background: #ffe7a3; }"
                       "QPushButton:pressed { background: #e9a93a; }"));
    button->setFont(Look::uiFont(11, true));
    button->setCursor(Qt::PointingHandCursor);
}

void styleNarrowButton(QWidget* button) {
    button->setStyleSheet(QStringLiteral("QPushButton { padding-left: 1px; padding-right: 1px; }"));
}

void stylePanel(QWidget* panel) {
    panel->setStyleSheet(
        QString(
            QStringLiteral("#%1 { background: palette(alternate-base);"
                           " border: 1px solid palette(mid); border-radius: 10px; }"
                           "QGroupBox { font-weight: bold; color: palette(text);"
                           " border: 1px solid palette(mid); border-radius: 7px;"
                           " margin-top: 9px; background: palette(base); }"
                           "QGroupBox::title { subcontrol-origin: margin; left: 10px;"
                           " padding: 0 4px; }"
                           "QRadioButton, QCheckBox, QLabel { color: palette(text);"
                           " background: transparent; }"
                           "QRadioButton::indicator { width: 12px; height: 12px;"
                           " border: 1px solid palette(dark); border-radius: 7px;"
                           " background: palette(base); }"
                           "QRadioButton::indicator:checked { background: qradialgradient("
                           "cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 palette(highlight),"
                           " stop:0.55 palette(highlight), stop:0.65 palette(base)); }"
                           "QRadioButton:disabled, QCheckBox:disabled { color: palette(dark); }"))
            .arg(panel->objectName()));
}

} // namespace GameLook
