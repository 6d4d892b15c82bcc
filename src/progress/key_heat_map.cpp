#include "progress/key_heat_map.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "look/look.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>

namespace {

// The colour of a share that goes wrong, from 0 (calm) to 1 (alarming), on the skin's ground;
// bright enough to read on a dark ground too.
QColor heatOf(const QPalette& palette, double share) {
    const bool dark = palette.color(QPalette::Base).lightnessF() < 0.5;
    const QColor cool = dark ? QColor(0x1d, 0x3b, 0x2a) : QColor(0xe3, 0xf4, 0xe6);
    const QColor hot = dark ? QColor(0xff, 0x5a, 0x3c) : QColor(0xd9, 0x3a, 0x25);
    const double t = std::clamp(share, 0.0, 1.0);
    return QColor::fromRgbF(float(cool.redF() + (hot.redF() - cool.redF()) * t),
                            float(cool.greenF() + (hot.greenF() - cool.greenF()) * t),
                            float(cool.blueF() + (hot.blueF() - cool.blueF()) * t));
}

// Near-black or white, whichever reads better on `fill`.
QColor inkOn(const QColor& fill) {
    const double luminance = 0.2126 * fill.redF() + 0.7152 * fill.greenF() + 0.0722 * fill.blueF();
    return luminance > 0.5 ? QColor(0x11, 0x11, 0x11) : QColor(Qt::white);
}

} // namespace

QList<KeyHeatMap::Key> KeyHeatMap::keyboardKeys(const KeyboardLayout& layout) {
    // The Keys practice keyboard, from the one keyboard table: its labelled keys, then
    // Shift, Ctrl and Alt. The two parts of the L-shaped Enter key share one count.
    QList<Key> keys;
    auto add = [&keys, &layout](const KeyboardTable::Place& place) {
        QString label = layout.label(place.code);
        if (place.code == KeyCode::Space)
            label = QStringLiteral("Space");
        else if (place.code == KeyCode::Backspace)
            label = QStringLiteral("\u2190"); // the word does not fit the narrow key
        if (place.index == KeyboardTable::kEnterLowerLabel)
            label.clear();
        keys.append({place.code, label, QRectF(place.twips)});
    };
    for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels())
        add(place);
    for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardUnlabelled())
        add(place);
    return keys;
}

KeyHeatMap::KeyHeatMap(QWidget* parent, const KeyboardLayout& layout)
    : QWidget(parent), m_layout(layout), m_keys(keyboardKeys(layout)) {
    for (const Key& key : m_keys)
        m_bounds = m_bounds.united(key.place);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void KeyHeatMap::setTallies(const QList<KeyTally>& tallies, const QList<int>& weakest) {
    m_tallies.clear();
    for (const KeyTally& tally : tallies)
        m_tallies.insert(tally.code, tally);
    m_weakest = weakest;
    update();
}

QSize KeyHeatMap::sizeHint() const {
    return QSize(420, heightForWidth(420));
}

int KeyHeatMap::heightForWidth(int width) const {
    return int((width - 2 * kBodyMargin) * m_bounds.height() / m_bounds.width()) + 2 * kBodyMargin +
           kLegendHeight;
}

QTransform KeyHeatMap::unitsToWidget() const {
    const QRectF area = QRectF(rect()).adjusted(kBodyMargin, kBodyMargin, -kBodyMargin,
                                                -kBodyMargin - kLegendHeight);
    const double unit =
        std::min(area.width() / m_bounds.width(), area.height() / m_bounds.height());
    const double left = area.left() + (area.width() - unit * m_bounds.width()) / 2;
    QTransform transform;
    transform.translate(left, area.top());
    transform.scale(unit, unit);
    transform.translate(-m_bounds.left(), -m_bounds.top());
    return transform;
}

QRectF KeyHeatMap::keyRect(int code) const {
    for (const Key& key : m_keys) {
        if (key.code == code)
            return unitsToWidget().mapRect(key.place).adjusted(1, 1, -1, -3);
    }
    return {};
}

QColor KeyHeatMap::heatColour(double rate) const {
    return heatOf(palette(), rate / kFullHeat);
}

void KeyHeatMap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    const QTransform transform = unitsToWidget();
    const double unit = transform.m11() * kLetterKeyTwips;
    const QColor accent = pal.color(QPalette::Highlight);
    // The program's keyboard: its slab, and light keys tinted by how often they went wrong.
    const QRectF body = transform.mapRect(m_bounds).adjusted(-kBodyMargin + 1, -kBodyMargin + 1,
                                                             kBodyMargin - 1, kBodyMargin - 1);
    Look::paintKeyboardBody(p, body, pal, 6);
    for (const Key& key : m_keys) {
        const QRectF cap = transform.mapRect(key.place).adjusted(1, 1, -1, -3);
        const auto tally = m_tallies.constFind(key.code);
        const bool counted = tally != m_tallies.constEnd() && tally->expected > 0;
        const QColor fill = counted ? heatColour(tally->errorRate()) : QColor();
        Look::drawLightKey(p, cap, pal, fill, unit * 0.12);
        // The label as large as the cap allows.
        QFont font = Look::uiFont(8, counted);
        font.setPixelSize(std::max(7, int(cap.height() * 0.5)));
        const double textWidth = QFontMetricsF(font).horizontalAdvance(key.label);
        if (textWidth > cap.width() - 4)
            font.setPixelSize(std::max(6, int(font.pixelSize() * (cap.width() - 4) / textWidth)));
        p.setFont(font);
        p.setPen(counted ? inkOn(fill) : Look::keyLabelInk(pal));
        p.drawText(cap, Qt::AlignCenter, key.label);
    }
    // The weakest keys ringed in the accent colour, so they stand out without colour vision.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, std::max(2.0, unit * 0.09)));
    for (int code : m_weakest) {
        const QRectF cap = keyRect(code);
        if (!cap.isEmpty())
            p.drawRoundedRect(cap.adjusted(-1, -1, 1, -1), unit * 0.16, unit * 0.16);
    }

    // The legend: the scale of the colours, and what a ring means.
    const QFont legendFont = Look::uiFont(8);
    const QFontMetricsF metrics(legendFont);
    p.setFont(legendFont);
    const double y = body.bottom() + 6;
    const double h = kLegendHeight - 8;
    double x = body.left();
    const QString low = QStringLiteral("missed 0 %");
    const QString high = QStringLiteral("%1 % or more").arg(int(kFullHeat * 100));
    p.setPen(pal.color(QPalette::WindowText));
    p.drawText(QRectF(x, y, metrics.horizontalAdvance(low) + 2, h), Qt::AlignVCenter, low);
    x += metrics.horizontalAdvance(low) + 6;
    QLinearGradient scale(x, 0, x + 80, 0);
    for (int i = 0; i <= 4; ++i)
        scale.setColorAt(i / 4.0, heatColour(kFullHeat * i / 4));
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.setBrush(scale);
    p.drawRoundedRect(QRectF(x, y + 2, 80, h - 4), 3, 3);
    x += 86;
    p.setPen(pal.color(QPalette::WindowText));
    p.drawText(QRectF(x, y, metrics.horizontalAdvance(high) + 2, h), Qt::AlignVCenter, high);
    x += metrics.horizontalAdvance(high) + 14;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, 2));
    p.drawRoundedRect(QRectF(x, y + 1, 16, h - 2), 3, 3);
    p.setPen(pal.color(QPalette::WindowText));
    p.drawText(QRectF(x + 22, y, body.right() - x - 22, h), Qt::AlignVCenter,
               QStringLiteral("weakest"));
}

bool KeyHeatMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const QPoint pos = static_cast<QHelpEvent*>(event)->pos();
        const QTransform transform = unitsToWidget();
        for (const Key& key : m_keys) {
            if (!transform.mapRect(key.place).contains(pos))
                continue;
            const auto tally = m_tallies.constFind(key.code);
            const QString name = WeakestKeysView::keyName(key.code, m_layout);
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                               tally == m_tallies.constEnd() || tally->expected == 0
                                   ? QStringLiteral("%1: not typed yet").arg(name)
                                   : QStringLiteral("%1: missed %2 of %3 times (%4 %)")
                                         .arg(name)
                                         .arg(tally->wrong)
                                         .arg(tally->expected)
                                         .arg(int(tally->errorRate() * 100)),
                               this);
            return true;
        }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

WeakestKeysView::WeakestKeysView(QWidget* parent, const KeyboardLayout& layout)
    : QWidget(parent), m_layout(layout) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(5 * kRowHeight);
}

QString WeakestKeysView::keyName(int code, const KeyboardLayout& layout) {
    return layout.keyName(code);
}

void WeakestKeysView::setKeys(const QList<KeyTally>& keys, const QString& emptyText) {
    m_keys = keys;
    m_emptyText = emptyText;
    QStringList names;
    for (const KeyTally& key : keys)
        names << QStringLiteral("%1 %2 %").arg(keyName(key.code, m_layout)).arg(int(key.errorRate() * 100));
    setAccessibleName(names.isEmpty()
                          ? emptyText
                          : QStringLiteral("Weakest keys: ") + names.join(QStringLiteral(", ")));
    update();
}

void WeakestKeysView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    const QColor ink = pal.color(QPalette::WindowText);
    const QColor muted = pal.color(QPalette::PlaceholderText);
    if (m_keys.isEmpty()) {
        p.setPen(muted);
        p.setFont(Look::uiFont(8.5));
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_emptyText);
        return;
    }
    const QFont capFont = Look::uiFont(9, true);
    const QFont textFont = Look::uiFont(8.5);
    const QFontMetricsF metrics(textFont);
    const double capWidth = 64;
    const double textWidth = metrics.horizontalAdvance(QStringLiteral("100 %  (9999 of 9999)")) + 8;
    const double barLeft = capWidth + 10;
    const double barWidth = std::max(20.0, width() - barLeft - textWidth);
    for (int i = 0; i < m_keys.size(); ++i) {
        const KeyTally& key = m_keys[i];
        const double top = i * kRowHeight;
        const QRectF cap(0.5, top + 2.5, capWidth, kRowHeight - 5);
        const QColor fill = heatOf(pal, key.errorRate() / KeyHeatMap::kFullHeat);
        p.setPen(QPen(pal.color(QPalette::Mid), 1));
        p.setBrush(fill);
        p.drawRoundedRect(cap, 4, 4);
        p.setPen(inkOn(fill));
        p.setFont(capFont);
        p.drawText(cap, Qt::AlignCenter, keyName(key.code, m_layout));

        const QRectF track(barLeft, top + 8, barWidth, kRowHeight - 16);
        p.setPen(Qt::NoPen);
        QColor trackColour = pal.color(QPalette::Mid);
        trackColour.setAlphaF(0.3f);
        p.setBrush(trackColour);
        p.drawRoundedRect(track, 3, 3);
        const double share = std::clamp(key.errorRate() / (2 * KeyHeatMap::kFullHeat), 0.0, 1.0);
        p.setBrush(fill);
        p.drawRoundedRect(
            QRectF(track.left(), track.top(), std::max(4.0, track.width() * share), track.height()),
            3, 3);
        p.setPen(ink);
        p.setFont(textFont);
        p.drawText(QRectF(track.right() + 8, top, textWidth, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("%1 %  (%2 of %3)")
                       .arg(int(key.errorRate() * 100))
                       .arg(key.wrong)
                       .arg(key.expected));
    }
}
