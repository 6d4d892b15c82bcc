#include "game/ui/elf_sprite.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace ElfSprite {

namespace {

// The elf riding a small cloud, holding a lantern out in front, in a 40 x 30 unit box.
void drawElf(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // The lantern's glow, behind everything.
    QRadialGradient glow(QPointF(32.5, 17.5), 7);
    glow.setColorAt(0, QColor(255, 226, 120, 150));
    glow.setColorAt(1, QColor(255, 226, 120, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(32.5, 17.5), 7, 7);

    // Boots peeping over the cloud.
    p.setBrush(QColor(0x6b, 0x3e, 0x1f));
    p.drawEllipse(QPointF(17.2, 23.6), 2.2, 1.4);
    p.drawEllipse(QPointF(23.2, 23.6), 2.2, 1.4);

    // Tunic.
    QPainterPath tunic;
    tunic.moveTo(16.5, 13.5);
    tunic.lineTo(23.5, 13.5);
    tunic.lineTo(26.5, 23);
    tunic.lineTo(13.5, 23);
    tunic.closeSubpath();
    QLinearGradient cloth(0, 13.5, 0, 23);
    cloth.setColorAt(0, QColor(0x3c, 0xb3, 0x6b));
    cloth.setColorAt(1, QColor(0x1f, 0x7a, 0x47));
    p.setBrush(cloth);
    p.drawPath(tunic);
    // Belt and buckle.
    p.setBrush(QColor(0x5a, 0x34, 0x1a));
    p.drawRect(QRectF(14.6, 18.4, 10.8, 1.6));
    p.setBrush(QColor(0xf2, 0xc1, 0x4e));
    p.drawRect(QRectF(19.2, 18.2, 1.8, 2.0));

    // Arm out to the lantern.
    p.setPen(QPen(QColor(0x2a, 0x94, 0x58), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 15.5), QPointF(29.5, 16.5));
    p.setPen(QPen(QColor(0x4a, 0x3a, 0x2a), 0.6));
    p.drawLine(QPointF(30.2, 16.4), QPointF(32.5, 15.2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf6, 0xc9, 0xa0));
    p.drawEllipse(QPointF(30, 16.6), 1.1, 1.1);
    // The lantern.
    p.setBrush(QColor(0x3d, 0x2f, 0x22));
    p.drawRoundedRect(QRectF(31.1, 15.6, 2.8, 0.9), 0.3, 0.3);
    p.setBrush(QColor(0xff, 0xd8, 0x5a));
    p.drawRoundedRect(QRectF(31.3, 16.4, 2.4, 2.8), 0.6, 0.6);
    p.setBrush(QColor(0x3d, 0x2f, 0x22));
    p.drawRoundedRect(QRectF(31.1, 19.1, 2.8, 0.8), 0.3, 0.3);

    // Ears, then the head.
    p.setBrush(QColor(0xf0, 0xb8, 0x8c));
    QPainterPath ears;
    ears.moveTo(16.2, 9.6);
    ears.lineTo(12.6, 7.6);
    ears.lineTo(16.4, 11.6);
    ears.moveTo(23.8, 9.6);
    ears.lineTo(27.4, 7.6);
    ears.lineTo(23.6, 11.6);
    p.drawPath(ears);
    p.setBrush(QColor(0xf6, 0xc9, 0xa0));
    p.drawEllipse(QPointF(20, 10.6), 4.2, 4.0);
    // Looking ahead, with rosy cheeks and a smile.
    p.setBrush(QColor(0x2b, 0x1d, 0x14));
    p.drawEllipse(QPointF(19.2, 10.2), 0.55, 0.7);
    p.drawEllipse(QPointF(22.0, 10.2), 0.55, 0.7);
    p.setBrush(QColor(255, 120, 120, 140));
    p.drawEllipse(QPointF(23.2, 11.9), 0.9, 0.6);
    p.drawEllipse(QPointF(18.0, 11.9), 0.9, 0.6);
    p.setPen(QPen(QColor(0x8a, 0x3b, 0x2b), 0.45, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(19.4, 11.0, 2.6, 1.8), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);

    // A tall red hat that flops back, with a white brim and bobble.
    QPainterPath hat;
    hat.moveTo(15.4, 8.6);
    hat.cubicTo(15.8, 4.0, 18.0, 1.6, 13.0, 0.8);
    hat.cubicTo(18.5, 0.2, 24.0, 3.0, 24.6, 8.6);
    hat.closeSubpath();
    QLinearGradient felt(13, 0, 24, 8);
    felt.setColorAt(0, QColor(0xb8, 0x1f, 0x2e));
    felt.setColorAt(1, QColor(0xe8, 0x3e, 0x48));
    p.setBrush(felt);
    p.drawPath(hat);
    p.setBrush(QColor(0xfa, 0xfa, 0xf5));
    p.drawRoundedRect(QRectF(15.0, 7.7, 10.0, 1.9), 0.9, 0.9);
    p.drawEllipse(QPointF(12.8, 1.0), 1.4, 1.4);

    // The cloud it rides on.
    const QPointF puffs[] = {{11, 25.5}, {16, 24}, {21.5, 23.5}, {27, 24.2}, {31, 25.8}};
    const qreal radii[] = {3.6, 4.2, 4.6, 4.0, 3.2};
    QPainterPath cloud;
    for (int i = 0; i < 5; ++i)
        cloud.addEllipse(puffs[i], radii[i] * 1.15, radii[i] * 0.8);
    cloud.addRoundedRect(QRectF(8.5, 25, 25, 4), 2, 2);
    cloud.setFillRule(Qt::WindingFill);
    QLinearGradient mist(0, 20, 0, 29.5);
    mist.setColorAt(0, QColor(0xff, 0xff, 0xff));
    mist.setColorAt(1, QColor(0xb9, 0xc9, 0xe8));
    p.setBrush(mist);
    p.drawPath(cloud.simplified());
}

} // namespace

QPixmap picture(QSize logicalSize, qreal devicePixelRatio, bool facingLeft) {
    QPixmap pixmap((QSizeF(logicalSize) * devicePixelRatio).toSize());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const qreal scale = std::min(logicalSize.width() / 40.0, logicalSize.height() / 30.0);
    p.translate((logicalSize.width() - 40 * scale) / 2, (logicalSize.height() - 30 * scale) / 2);
    if (facingLeft) {
        p.translate(40 * scale, 0);
        p.scale(-1, 1);
    }
    p.scale(scale, scale);
    drawElf(p);
    return pixmap;
}

} // namespace ElfSprite
