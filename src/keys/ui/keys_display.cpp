#include "keys/ui/keys_display.h"

#include "keys/ui/keys_look.h"
#include "core/twips.h"
#include "look/look.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kMarkDropTwips = 120; // the cursor mark is drawn this far below the line

// The two bars of the progress meter: the empty one and the filled one.
class ProgressPiece : public QWidget {
  public:
    ProgressPiece(const QString& name, bool filled, QWidget* parent)
        : QWidget(parent), m_filled(filled) {
        setObjectName(name);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        KeysLook::paintProgress(p, QRectF(rect()), m_filled);
    }

  private:
    bool m_filled;
};

} // namespace

PracticeLinePanel::PracticeLinePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture11"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PracticeLinePanel::setLine(const QString& line) {
    m_line = line;
    m_typed = 0;
    update();
}

void PracticeLinePanel::setCursorAfter(int typed) {
    if (typed == m_typed)
        return;
    // Only the old and the new place of the mark are painted again.
    const QFontMetrics metrics(font());
    const int advance = metrics.horizontalAdvance(u'M');
    for (int n : {m_typed, typed})
        update(QRect(n * advance - 1, 0, advance + 2, height()));
    m_typed = typed;
}

QPointF PracticeLinePanel::cursorMarkPosition() const {
    const QFontMetrics metrics(font());
    return QPointF(metrics.horizontalAdvance(QString(m_typed, u' ')),
                   metrics.ascent() + twips(kMarkDropTwips));
}

void PracticeLinePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    KeysLook::paintLinePanel(p, rect(), palette());
    p.setFont(font());
    const QFontMetrics metrics(font());
    p.setPen(palette().color(QPalette::Text));
    p.drawText(0, metrics.ascent(), m_line);
    p.setPen(Look::kWrong);
    p.drawText(cursorMarkPosition(), QStringLiteral("_"));
}

TypedRow::TypedRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture10"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TypedRow::setRow(const QString& right, const QString& wrong, int nextCellX) {
    if (right == m_right && wrong == m_wrong && nextCellX == m_nextCellX)
        return;
    // A keystroke changes the current cell and the one before it; a new line clears all.
    const bool grows = right.startsWith(m_right) && right.size() <= m_right.size() + 1;
    const int from = grows ? std::min(m_nextCellX, nextCellX) : 0;
    const int advance = QFontMetrics(font()).horizontalAdvance(u'M');
    m_right = right;
    m_wrong = wrong;
    const int oldCell = m_nextCellX;
    m_nextCellX = nextCellX;
    if (grows)
        update(QRect(from - 1, 0, std::max(oldCell, nextCellX) - from + 2 * advance + 2, height()));
    else
        update();
}

void TypedRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    KeysLook::paintLinePanel(p, rect(), palette());
    p.setFont(font());
    const int baseline = QFontMetrics(font()).ascent();
    p.setPen(Look::kRightMark);
    p.drawText(0, baseline, m_right);
    if (!m_wrong.isEmpty()) {
        p.setPen(Look::kWrong);
        p.drawText(m_nextCellX, baseline, m_wrong);
    }
}

KeysStatusBar::KeysStatusBar(QWidget* parent) : QWidget(parent) {
    constexpr int kWidthTwips = 10845;
    // The accuracy field keeps clear of the bar's rounded end.
    constexpr int kAccuracyWidthTwips = 870, kRightMarginTwips = 360;
    setObjectName(QStringLiteral("Picture8"));
    resize(twipsSize(kWidthTwips, 630));
    auto field = [this](const char* name, const char* text, int leftTwips, int widthTwips) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setObjectName(QString::fromLatin1(name));
        KeysLook::styleStatusField(label);
        const int h = twips(216) + 4;
        label->setGeometry(twips(leftTwips), height() / 2 - h / 2 + twips(11), twips(widthTwips),
                           h);
        return label;
    };
    m_time = field("Label40", "0:00:00", 1155, 1080);
    m_speed = field("Label45", "0 WPM", 3728, 1200);
    m_accuracy = field("Label38", "0 %", kWidthTwips - kRightMarginTwips - kAccuracyWidthTwips,
                       kAccuracyWidthTwips);
    m_empty = new ProgressPiece(QStringLiteral("Image8"), false, this);
    m_empty->setGeometry(twips(6090), height() / 2 - 9 / 2, 148, 9);
    m_filled = new ProgressPiece(QStringLiteral("Image9"), true, this);
    m_filled->setGeometry(m_empty->geometry().x(), m_empty->y(), 0, 9);
    m_filled->hide();
}

void KeysStatusBar::setTime(const QString& text) {
    m_time->setText(text);
}
void KeysStatusBar::setSpeedToolTip(const QString& text) {
    m_speed->setToolTip(text);
}

void KeysStatusBar::setSpeed(const QString& text) {
    m_speed->setText(text);
}
void KeysStatusBar::setAccuracy(const QString& text) {
    m_accuracy->setText(text);
}

void KeysStatusBar::setProgress(int percent) {
    const int w = percent * m_empty->width() / 100;
    m_filled->resize(w, m_filled->height());
    m_filled->setVisible(w > 0);
}

int KeysStatusBar::progressWidth() const {
    return m_filled->isVisible() ? m_filled->width() : 0;
}

void KeysStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    KeysLook::paintStatusBar(p, rect(), palette());
    p.setFont(Look::uiFont(8.5));
    p.setPen(palette().color(QPalette::PlaceholderText));
    const struct {
        const char* caption;
        const QWidget* field;
    } captions[] = {
        {"Time", m_time}, {"Speed", m_speed}, {"Schedule", m_empty}, {"Accuracy", m_accuracy}};
    for (const auto& c : captions) {
        const QRect f = c.field->geometry();
        p.drawText(QRect(f.left() - 80, 0, 74, height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromLatin1(c.caption));
    }
}
