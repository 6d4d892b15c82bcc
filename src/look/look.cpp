#include "look/look.h"

#include "core/twips.h"
#include "look/palette_roles.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QWidget>

namespace Look {

QFont uiFont(double pointSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QPalette basePalette() {
    QPalette palette =
        QApplication::style() ? QApplication::style()->standardPalette() : QPalette();
    const auto set = [&palette](QPalette::ColorRole role, QRgb rgb) {
        palette.setColor(role, QColor(rgb));
    };
    set(QPalette::WindowText, 0x1f2a37);
    set(QPalette::Text, 0x1f2a37);
    set(QPalette::PlaceholderText, 0x5b6b7c);
    set(QPalette::Base, 0xffffff);
    set(QPalette::AlternateBase, 0xf7fafd);
    set(QPalette::Midlight, 0xecf2f8);
    set(QPalette::Mid, 0xd5dee8);
    set(QPalette::Dark, 0x5b6b7c);
    set(QPalette::Shadow, 0x3b4452);
    set(QPalette::Highlight, 0x2f6fb8);
    set(QPalette::HighlightedText, 0xffffff);
    set(QPalette::Link, 0x2f6fb8);
    set(QPalette::LinkVisited, 0x23568f);
    return palette;
}

namespace {

// A style sheet in the program's own colours: each palette(role) becomes the colour of that
// role in basePalette(). Style sheets would otherwise take the application's palette, which
// a skin replaces, and the controls that keep their own look would follow the skin.
QString ownColours(const QString& sheet) {
    return resolvePaletteRoles(sheet, basePalette());
}

} // namespace

QCursor navigationCursor() {
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int size = 24;
    QPixmap pixmap(int(size * dpr), int(size * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A pointing hand: one raised finger over a rounded palm.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(7, 1.5, 4, 12), 2, 2);
    hand.addRoundedRect(QRectF(6, 9, 13, 11), 4, 4);
    hand.addRoundedRect(QRectF(3, 10, 5, 7), 2.5, 2.5);
    hand = hand.simplified();
    p.setPen(QPen(QColor(20, 30, 40), 1.3));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(hand);
    p.setPen(QPen(QColor(120, 130, 140), 1));
    p.drawLine(QPointF(11, 12), QPointF(11, 15));
    p.drawLine(QPointF(14.5, 12), QPointF(14.5, 15));
    p.end();
    return QCursor(pixmap, 9, 2);
}

QString baseStyleSheet() {
    return QStringLiteral(R"(
QToolTip { color: #1f2a37; background: #fffbe6; border: 1px solid #d9c98a; padding: 3px; }
#Shape3 { border: 1px solid #8fa3b8; }
)");
}

void drawKeycap(QPainter& painter, const QRectF& cap, const QColor& top, const QColor& bottom,
                const QColor& edge, qreal radius, qreal depth) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawRoundedRect(cap.translated(0, depth), radius, radius);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    painter.setBrush(face);
    painter.drawRoundedRect(cap, radius, radius);
}

void drawLogoKey(QPainter& painter, const QRectF& cap, const KeyColours& colours, double pointSize,
                 qreal radius) {
    drawKeycap(painter, cap, colours.top, colours.bottom, colours.edge, radius, 3);
    painter.setPen(colours.ink);
    painter.setFont(uiFont(pointSize, true));
    painter.drawText(cap, Qt::AlignCenter, QStringLiteral("Z"));
}

void addMeters(QWidget* parent, std::initializer_list<Meter> meters, int leftTwips, int topTwips,
               int chipWidthTwips) {
    int left = leftTwips;
    for (const Meter& meter : meters) {
        auto* caption = new QLabel(QString::fromLatin1(meter.caption), parent);
        styleCaption(caption);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setGeometry(twipsRect(left, topTwips + 30, 1200, 420));
        auto* value = new QLabel(QString::fromLatin1(meter.initial), parent);
        value->setObjectName(QString::fromLatin1(meter.name));
        value->setStyleSheet(fieldStyle(7));
        value->setFont(uiFont(11, true));
        value->setAlignment(Qt::AlignCenter);
        value->setGeometry(twipsRect(left + 1320, topTwips, chipWidthTwips, 480));
        left += 1440 + chipWidthTwips;
        *meter.value = value;
    }
}

void setStyleSheet(QWidget* widget, const QString& styleSheet) {
    if (widget->styleSheet() != styleSheet)
        widget->setStyleSheet(styleSheet);
}

void setOwnStyle(QWidget* widget, const QString& styleSheet) {
    widget->setProperty("ownStyle", styleSheet);
    setStyleSheet(widget, styleSheet);
}

// --- painted parts ---

void paintBanner(QPainter& p, const QRect& area, const QPalette& palette) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = area;
    const QColor accent = palette.color(QPalette::Highlight);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, palette.color(QPalette::Base));
    sky.setColorAt(1, palette.color(QPalette::Midlight));
    p.fillRect(r, sky);

    // The logo: a keycap with a Z, then the program's name.
    const QRectF cap(20, (r.height() - 38) / 2 - 2, 38, 38);
    drawLogoKey(p, cap,
                {accent.lighter(125), accent.darker(125), accent.darker(170),
                 palette.color(QPalette::HighlightedText)},
                17, 8);

    p.setPen(palette.color(QPalette::Text));
    const QRectF name(cap.right() + 12, cap.top() - 4, 260, 28);
    p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zephkin"));
    p.setPen(palette.color(QPalette::PlaceholderText));
    p.setFont(uiFont(8.5));
    p.drawText(QRectF(name.left() + 1, name.bottom() - 2, 260, 16),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("typing tutor"));

    p.setPen(QPen(accent, 2));
    p.drawLine(QPointF(0, r.height() - 1), QPointF(r.width(), r.height() - 1));
}

void paintPaper(QPainter& p, const QRect& area, const QPalette& palette) {
    QLinearGradient paper(0, area.top(), 0, area.bottom());
    paper.setColorAt(0, palette.color(QPalette::AlternateBase));
    paper.setColorAt(1, palette.color(QPalette::Midlight));
    p.fillRect(area, paper);
    p.setPen(palette.color(QPalette::Mid));
    p.drawLine(area.left(), area.bottom(), area.right() + 1, area.bottom());
}

void paintKeyboardBody(QPainter& p, const QRectF& area, const QPalette& palette, qreal radius) {
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, palette.color(QPalette::Dark).darker(106));
    body.setColorAt(1, palette.color(QPalette::Shadow));
    p.setPen(palette.color(QPalette::Shadow).darker(140));
    if (radius > 0) {
        p.setBrush(body);
        p.drawRoundedRect(r, radius, radius);
        return;
    }
    // A square slab: opaque to the corners, so no skin shows through.
    p.fillRect(area, body);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(r.topLeft() + QPointF(1, 1), r.topRight() + QPointF(-1, 1));
}

QColor keyWell(const QPalette& palette) {
    return palette.color(QPalette::Shadow).darker(138);
}

void drawLightKey(QPainter& p, const QRectF& cap, const QPalette& palette, const QColor& tint,
                  qreal radius) {
    const QColor face = tint.isValid() ? tint : palette.color(QPalette::AlternateBase);
    const QColor shade = tint.isValid() ? tint.darker(106) : palette.color(QPalette::Mid);
    drawKeycap(p, cap, tint.isValid() ? tint.lighter(106) : face, shade, keyWell(palette), radius,
               2);
}

QColor keyLabelInk(const QPalette& palette) {
    return palette.color(QPalette::Dark).darker(125);
}

// --- styled controls ---

void styleInputBox(QLineEdit* box) {
    setOwnStyle(box, ownColours(QStringLiteral(
                         "QLineEdit { color: palette(text); background: palette(base);"
                         " border: 2px solid palette(mid); border-radius: 7px; padding: 0;"
                         " selection-background-color: palette(highlight); }"
                         "QLineEdit:focus { border-color: palette(highlight); }")));
}

void styleTextHolder(QLineEdit* box) {
    setOwnStyle(box, ownColours(QStringLiteral(
                         "QLineEdit { color: palette(text); background: palette(base); }")));
}

void styleBadge(QLabel* label, int radius) {
    label->setStyleSheet(QStringLiteral("QLabel { color: palette(highlighted-text);"
                                        " background: palette(highlight);"
                                        " border-radius: %1px; padding: 0 8px; }")
                             .arg(radius));
    label->setFont(uiFont(9.5, true));
    label->setAlignment(Qt::AlignCenter);
}

void styleCaption(QLabel* label, double pointSize, bool bold) {
    label->setStyleSheet(
        QStringLiteral("QLabel { color: palette(dark); background: transparent; }"));
    label->setFont(uiFont(pointSize, bold));
}

void styleGamesLink(QLabel* label, bool onDark) {
    label->setFont(uiFont(9));
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(
        onDark ? QStringLiteral("QLabel { color: #9cc4ff; background: transparent; }"
                                "QLabel:hover { color: #cfe2ff; text-decoration: underline; }")
               : QStringLiteral("QLabel { color: palette(link); background: transparent; }"
                                "QLabel:hover { color: palette(link-visited);"
                                " text-decoration: underline; }"));
}

void styleStatusLine(QLabel* label) {
    label->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1;"
                                        " border-radius: 9px; padding: 0 14px; }")
                             .arg(kOrange.name()));
    label->setFont(uiFont(10, true));
    label->setAlignment(Qt::AlignCenter);
}

QString labelStyle(const QColor& colour) {
    return QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour.name());
}

QString fieldStyle(int radius, const QString& extra) {
    return QStringLiteral("QLabel { color: palette(text); background: palette(base);"
                          " border: 1px solid palette(mid); border-radius: %1px;%2 }")
        .arg(radius)
        .arg(extra);
}

QString navigationEntryStyle(bool own, const QPalette& palette) {
    // The other entries are black, or the skin's ink where black would vanish on its banner.
    const QColor ink = palette.color(QPalette::WindowText);
    const QColor other = ink.lightnessF() < 0.35 ? QColor(Qt::black) : ink;
    return QStringLiteral("QLabel { color: %1; background: transparent; }"
                          "QLabel:hover { text-decoration: underline; }")
        .arg(own ? kWrong.name() : other.name());
}

} // namespace Look
