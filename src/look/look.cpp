#include "look/look.h"

#include "core/twips.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

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
QString ownColours(QString sheet) {
    static const struct {
        const char* name;
        QPalette::ColorRole role;
    } kRoles[] = {{"alternate-base", QPalette::AlternateBase},
                  {"highlighted-text", QPalette::HighlightedText},
                  {"highlight", QPalette::Highlight},
                  {"link-visited", QPalette::LinkVisited},
                  {"link", QPalette::Link},
                  {"base", QPalette::Base},
                  {"text", QPalette::Text},
                  {"midlight", QPalette::Midlight},
                  {"mid", QPalette::Mid},
                  {"dark", QPalette::Dark}};
    const QPalette own = basePalette();
    for (const auto& r : kRoles)
        sheet.replace(QStringLiteral("palette(%1)").arg(QLatin1String(r.name)),
                      own.color(r.role).name());
    return sheet;
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

void addMeters(QWidget* parent, std::initializer_list<Meter> meters, MeterLayout layout,
               int leftTwips, int topTwips, int chipWidthTwips) {
    int left = leftTwips;
    int top = topTwips;
    for (const Meter& meter : meters) {
        auto* caption = new QLabel(QString::fromLatin1(meter.caption), parent);
        styleCaption(caption);
        auto* value = new QLabel(QString::fromLatin1(meter.initial), parent);
        value->setObjectName(QString::fromLatin1(meter.name));
        value->setStyleSheet(
            QStringLiteral("QLabel { color: palette(text); background: palette(base);"
                           " border: 1px solid palette(mid); border-radius: 7px; }"));
        value->setFont(uiFont(11, true));
        value->setAlignment(Qt::AlignCenter);
        if (layout == MeterLayout::CaptionBefore) {
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            caption->setGeometry(twipsRect(left, top + 30, 1200, 420));
            value->setGeometry(twipsRect(left + 1320, top, chipWidthTwips, 480));
            left += 1440 + chipWidthTwips;
        } else {
            caption->setGeometry(twipsRect(left, top, chipWidthTwips, 300));
            value->setGeometry(twipsRect(left, top + 300, chipWidthTwips, 480));
            top += 1035;
        }
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
    drawKeycap(p, cap, accent.lighter(125), accent.darker(125), accent.darker(170), 8, 3);
    p.setPen(palette.color(QPalette::HighlightedText));
    p.setFont(uiFont(17, true));
    p.drawText(cap, Qt::AlignCenter, QStringLiteral("Z"));

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

void paintMarkStrip(QPainter& p, const QRect& area) {
    const QPalette own = basePalette();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(own.color(QPalette::Mid), 1));
    p.setBrush(own.color(QPalette::Base));
    p.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, 4), 6, 6);
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

QColor fingerTint(int finger) {
    // Soft tints mirrored left and right; the thumbs share a lavender.
    static const QColor tints[] = {QColor(0xf7, 0xd9, 0xe3), QColor(0xfa, 0xe6, 0xc8),
                                   QColor(0xdc, 0xef, 0xd2), QColor(0xd4, 0xe6, 0xf8)};
    if (finger == 8)
        return QColor(0xe6, 0xe1, 0xf6);
    if (finger < 0 || finger > 8)
        return QColor(0xe9, 0xed, 0xf2);
    return tints[finger < 4 ? finger : 7 - finger];
}

// --- styled controls ---

KeyColours keyColours(KeyFace face) {
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
    label->setStyleSheet(QStringLiteral(
        "QLabel { color: palette(text); background: palette(base); border: 1px solid palette(mid);"
        " border-radius: 4px; }"));
    label->setFont(uiFont(8.5, true));
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

void styleNotice(QLabel* label) {
    label->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1;"
                                        " border-radius: 6px; }")
                             .arg(kWrong.name()));
    label->setFont(uiFont(11, true));
    label->setAlignment(Qt::AlignCenter);
}

QString labelStyle(const QColor& colour) {
    return QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour.name());
}

QString navigationEntryStyle(bool own, const QPalette& palette) {
    // The other entries are black, or the skin's ink where black would vanish on its banner.
    const QColor ink = palette.color(QPalette::WindowText);
    const QColor other = ink.lightnessF() < 0.35 ? QColor(Qt::black) : ink;
    return QStringLiteral("QLabel { color: %1; background: transparent; }"
                          "QLabel:hover { text-decoration: underline; }")
        .arg(own ? kWrong.name() : other.name());
}

void styleTextPanel(QLabel* label, bool emphasised) {
    setOwnStyle(label, QStringLiteral("QLabel { color: palette(text);"
                                      " background: palette(base); border: 1px solid"
                                      " palette(%1); border-radius: 8px;"
                                      " padding: 0 12px; }")
                           .arg(emphasised ? QStringLiteral("dark") : QStringLiteral("mid")));
}

void paintHintSquare(QPainter& p, const QRect& area, const QFont& font, const QString& letter) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kHintSquare);
    p.drawRoundedRect(QRectF(area), 6, 6);
    p.setFont(font);
    p.setPen(Qt::white);
    const QRectF outline = QFontMetricsF(font).tightBoundingRect(letter);
    p.drawText(QRectF(area).center() - outline.center(), letter);
}

void styleWordDisplay(QLabel* label) {
    label->setStyleSheet(
        QStringLiteral("QLabel { color: black; background: white; border-radius: 8px; }"));
}

void styleKeyLabel(QLabel* label) {
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(
        QStringLiteral(
            "QLabel { color: white; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
            " stop:0 %1, stop:1 %2); border-bottom: 4px solid %3; border-radius: 12px; }")
            .arg(kTeal.lighter(116).name(), kTeal.darker(114).name(), kTeal.darker(152).name()));
}

void stylePaperPanel(QWidget* panel) {
    setOwnStyle(panel, QStringLiteral("#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                                      " stop:0 palette(alternate-base), stop:1 palette(midlight));"
                                      " border: 1px solid palette(mid); border-radius: 10px; }")
                           .arg(panel->objectName()));
}

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

void styleGameHeading(QLabel* label) {
    label->setStyleSheet(QStringLiteral("QLabel { color: palette(text); background: palette(base);"
                                        " border: 1px solid palette(mid); border-radius: 6px;"
                                        " padding-top: 2px; }"));
    label->setFont(uiFont(8.5));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void styleGameValue(QLabel* label) {
    setOwnStyle(label, labelStyle(kWrong));
    label->setFont(uiFont(10.5, true));
    label->setAlignment(Qt::AlignCenter);
}

void styleGameOver(QLabel* label, double pointSize) {
    setOwnStyle(label, QStringLiteral("QLabel { color: %1; background: %2; border-radius: 10px; }")
                           .arg(kGameOverInk.name(), kItemBackground.name()));
    QFont font = uiFont(pointSize, true);
    const int room = label->width() - label->height() / 2;
    while (font.pointSizeF() > 12 && QFontMetrics(font).horizontalAdvance(label->text()) > room)
        font.setPointSizeF(font.pointSizeF() - 1);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
}

void styleGameButton(QWidget* button) {
    setOwnStyle(button, QStringLiteral(
                            "QPushButton { color: #1b2540; background: qlineargradient(x1:0, y1:0,"
                            " x2:0, y2:1, stop:0 #ffe08a, stop:1 #f2b94a);"
                            " border: 1px solid #c98f22; border-radius: 10px; }"
                            "QPushButton:hover { background: #ffe7a3; }"
                            "QPushButton:pressed { background: #e9a93a; }"));
    button->setFont(uiFont(11, true));
    button->setCursor(Qt::PointingHandCursor);
}

void styleNarrowButton(QWidget* button) {
    button->setStyleSheet(QStringLiteral("QPushButton { padding-left: 1px; padding-right: 1px; }"));
}

void styleGamePanel(QWidget* panel) {
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

QColor heatColour(const QPalette& palette, double share) {
    const bool dark = palette.color(QPalette::Base).lightnessF() < 0.5;
    const QColor cool = dark ? QColor(0x1d, 0x3b, 0x2a) : QColor(0xe3, 0xf4, 0xe6);
    const QColor hot = dark ? QColor(0xff, 0x5a, 0x3c) : QColor(0xd9, 0x3a, 0x25);
    const double t = std::clamp(share, 0.0, 1.0);
    return QColor::fromRgbF(float(cool.redF() + (hot.redF() - cool.redF()) * t),
                            float(cool.greenF() + (hot.greenF() - cool.greenF()) * t),
                            float(cool.blueF() + (hot.blueF() - cool.blueF()) * t));
}

QColor inkOn(const QColor& fill) {
    const double luminance = 0.2126 * fill.redF() + 0.7152 * fill.greenF() + 0.0722 * fill.blueF();
    return luminance > 0.5 ? QColor(0x11, 0x11, 0x11) : QColor(Qt::white);
}

} // namespace Look
