#include "progress/progress_chart.h"

#include "look/look.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// A round upper bound for an axis: 1, 2 or 5 times a power of ten, four steps high.
int niceStep(int maximum) {
    const double raw = std::max(1, maximum) / 4.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw)
            return std::max(1, int(factor * power));
    }
    return int(10 * power);
}

QDateTime startOfDay(const QDateTime& moment) {
    return QDateTime(moment.date(), QTime(0, 0));
}

} // namespace

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setObjectName(QStringLiteral("ProgressChart"));
    setAccessibleName(QStringLiteral("Speed and accuracy over time"));
}

void ProgressChart::setPoints(const QList<ChartPoint>& points, const QString& emptyText) {
    m_points = points;
    m_emptyText = emptyText;
    // What the picture shows, for a screen reader.
    setAccessibleDescription(
        points.isEmpty()
            ? emptyText
            : QStringLiteral("%1 points from %2 to %3; the latest: %4 characters per minute, %5 %")
                  .arg(points.size())
                  .arg(QLocale().toString(points.first().when.date(), QLocale::ShortFormat),
                       QLocale().toString(points.last().when.date(), QLocale::ShortFormat))
                  .arg(points.last().speed)
                  .arg(points.last().accuracy));
    update();
}

QList<ProgressChart::Tick> ProgressChart::dateTicks(const QDateTime& from, const QDateTime& to,
                                                    int maxTicks) {
    QList<Tick> ticks;
    const qint64 span = std::max<qint64>(1, from.secsTo(to));
    constexpr qint64 hour = 3600, day = 24 * hour;
    // Hour steps within a day or two, then days and weeks, then months.
    for (qint64 step : {hour, 2 * hour, 3 * hour, 6 * hour, 12 * hour}) {
        if (span / step < maxTicks) {
            QDateTime t = startOfDay(from);
            while (t < from)
                t = t.addSecs(step);
            for (; t <= to; t = t.addSecs(step))
                ticks.append({t, t.toString(t.time() == QTime(0, 0) ? QStringLiteral("d MMM")
                                                                    : QStringLiteral("HH:mm"))});
            return ticks;
        }
    }
    for (int days : {1, 2, 7, 14}) {
        if (span / (days * day) < maxTicks) {
            QDateTime t = startOfDay(from);
            if (days == 7 || days == 14) // weeks start on Monday
                t = t.addDays(-(t.date().dayOfWeek() - 1));
            while (t < from)
                t = t.addDays(days);
            for (; t <= to; t = t.addDays(days))
                ticks.append({t, t.toString(QStringLiteral("d MMM"))});
            return ticks;
        }
    }
    for (int months : {1, 2, 3, 6, 12, 24, 60}) {
        if (span / (months * 30 * day) < maxTicks) {
            const QDate first(from.date().year(), from.date().month(), 1);
            QDateTime t(first, QTime(0, 0));
            while (t < from || (t.date().month() - 1) % months != 0)
                t = t.addMonths(1);
            for (; t <= to; t = t.addMonths(months))
                ticks.append({t, t.toString(t.date().month() == 1 ? QStringLiteral("MMM yyyy")
                                                                  : QStringLiteral("MMM"))});
            return ticks;
        }
    }
    return ticks;
}

void ProgressChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    const QColor ground = pal.color(QPalette::Base);
    const QColor ink = pal.color(QPalette::Text);
    const QColor muted = pal.color(QPalette::PlaceholderText);
    const QColor accent = pal.color(QPalette::Highlight);
    QColor grid = pal.color(QPalette::Mid);
    grid.setAlphaF(0.45f);

    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.setBrush(ground);
    p.drawRoundedRect(card, 6, 6);

    if (m_points.isEmpty()) {
        p.setPen(muted);
        p.setFont(Look::uiFont(9.5));
        p.drawText(card.adjusted(24, 0, -24, 0), Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
        return;
    }

    // The time span, padded so a lone point or a single day has room either side.
    QDateTime from = m_points.first().when;
    QDateTime to = m_points.last().when;
    const qint64 pad = std::max<qint64>(20 * 60, from.secsTo(to) / 25);
    from = from.addSecs(-pad);
    to = to.addSecs(pad);
    const double span = double(from.secsTo(to));

    const QFont labelFont = Look::uiFont(8);
    const QFont titleFont = Look::uiFont(8.5, true);
    const QFontMetricsF metrics(labelFont);
    const double left = card.left() + metrics.horizontalAdvance(QStringLiteral("1000")) + 16;
    const double right = card.right() - 14;
    const double axisHeight = metrics.height() + 8;
    const double top = card.top() + 8;
    const double bottom = card.bottom() - axisHeight;
    const double gap = 10;
    const double plotHeight = (bottom - top - gap) / 2;
    auto xOf = [&](const QDateTime& t) { return left + (right - left) * from.secsTo(t) / span; };

    int maxSpeed = 0, minAccuracy = 100;
    for (const auto& point : m_points) {
        maxSpeed = std::max(maxSpeed, point.speed);
        minAccuracy = std::min(minAccuracy, point.accuracy);
    }
    const int speedStep = niceStep(maxSpeed);
    // Accuracy runs up to 100 in four round steps, low enough for the worst point.
    int accuracyStep = 25;
    for (int step : {1, 2, 5, 10, 20}) {
        if (100 - 4 * step <= minAccuracy - 1) {
            accuracyStep = step;
            break;
        }
    }
    const int accuracyFloor = 100 - 4 * accuracyStep;

    struct Plot {
        QString title;
        double top;
        int low;
        int step;
        int (*value)(const ChartPoint&);
    };
    const Plot plots[] = {
        {QStringLiteral("Speed (characters per minute)"), top, 0, speedStep,
         [](const ChartPoint& point) { return point.speed; }},
        {QStringLiteral("Accuracy (%)"), top + plotHeight + gap, accuracyFloor, accuracyStep,
         [](const ChartPoint& point) { return point.accuracy; }},
    };
    QList<Tick> ticks = dateTicks(from, to);
    if (ticks.isEmpty()) { // a lone run within the hour: name its moment instead
        const QDateTime middle = from.addSecs(from.secsTo(to) / 2);
        ticks.append({middle, middle.toString(QStringLiteral("d MMM HH:mm"))});
    }

    for (const Plot& plot : plots) {
        const double plotTop = plot.top + metrics.height() + 2;
        const double plotBottom = plot.top + plotHeight;
        const int high = plot.low + 4 * plot.step;
        auto yOf = [&](int v) {
            return plotBottom - (plotBottom - plotTop) * (v - plot.low) / double(high - plot.low);
        };
        p.setFont(titleFont);
        p.setPen(ink);
        p.drawText(QRectF(left, plot.top, right - left, metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, plot.title);
        p.setFont(labelFont);
        for (int i = 0; i <= 4; ++i) {
            const int v = plot.low + i * plot.step;
            const double y = yOf(v);
            p.setPen(QPen(grid, 1));
            p.drawLine(QPointF(left, y), QPointF(right, y));
            p.setPen(muted);
            p.drawText(QRectF(card.left() + 4, y - metrics.height() / 2, left - card.left() - 10,
                              metrics.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        }
        for (const Tick& tick : ticks) {
            const double x = xOf(tick.when);
            p.setPen(QPen(grid, 1, Qt::DotLine));
            p.drawLine(QPointF(x, plotTop), QPointF(x, plotBottom));
        }
        QPainterPath line;
        for (int i = 0; i < m_points.size(); ++i) {
            const QPointF at(xOf(m_points[i].when), yOf(plot.value(m_points[i])));
            if (i == 0)
                line.moveTo(at);
            else
                line.lineTo(at);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(line);
        if (m_points.size() <= 60) {
            p.setBrush(ground);
            for (const auto& point : m_points)
                p.drawEllipse(QPointF(xOf(point.when), yOf(plot.value(point))), 3, 3);
        }
    }

    // The date axis under both plots.
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    p.setFont(labelFont);
    p.setPen(muted);
    for (const Tick& tick : ticks) {
        const double x = xOf(tick.when);
        const double width = metrics.horizontalAdvance(tick.label) + 4;
        p.drawLine(QPointF(x, bottom), QPointF(x, bottom + 3));
        p.drawText(QRectF(x - width / 2, bottom + 3, width, metrics.height()), Qt::AlignCenter,
                   tick.label);
    }
}
