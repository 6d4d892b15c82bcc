#include "frame/closing_mark.h"

#include "core/timer_table.h"
#include "frame/click_label.h"

#include "core/twips.h"
#include <QTimer>

namespace {
constexpr int kHotZoneWidth = 510;
constexpr int kHotZoneHeight = 105;
} // namespace

ClosingMark::ClosingMark(QWidget* window, TimerTable& timers) : QObject(window) {
    m_label = new QLabel(kFend, window);
    m_label->setObjectName(QStringLiteral("Label38t"));
    m_label->hide();

    m_hotZone = new ClickLabel(QString(), window);
    m_hotZone->setObjectName(QStringLiteral("Label5pp"));
    m_hotZone->setMouseTracking(true);
    m_hotZone->setAttribute(Qt::WA_TranslucentBackground);
    m_hotZone->setGeometry(
        twipsRect(kWindowWidthTwips - kHotZoneWidth, 0, kHotZoneWidth, kHotZoneHeight));
    connect(m_hotZone, &ClickLabel::mouseMoved, this, [this] { set(kTend); });

    m_timer3t = timers.add("Timer3t", 11, TimerTable::OneShot, [this] {
        set(kTend);
        emit turned();
    });
}

QString ClosingMark::text() const {
    return m_label->text();
}

void ClosingMark::set(const QString& mark) {
    m_label->setText(mark);
}

void ClosingMark::arm() {
    m_timer3t->start();
}

void ClosingMark::raiseHotZone() {
    m_hotZone->raise();
}
