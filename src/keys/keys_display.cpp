#include "keys/keys_display.h"

#include "shell/look.h"
#include "shell/twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kRowBackground(0xf9, 0xf9, 0xf9);
const QColor kRight(0, 0, 255);
const QColor kWrong(255, 0, 0);
constexpr int kMarkDropTwips = 120; // the cursor mark is drawn this far below the line

// The two bars of the progress meter: the empty one in blue, the filled one in green.
class ProgressPiece : public QWidget {
  public:
    ProgressPiece(const QString& name, QColor top, QColor bottom, QWidget* parent)
        : QWidget(parent), m_top(top), m_bottom(bottom) {
        setObjectName(name);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, height());
        fill.setColorAt(0, m_top);
        fill.setColorAt(1, m_bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(rect()), height() / 2.0, height() / 2.0);
    }

  private:
    QColor m_top, m_bottom;
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
    p.fillRect(rect(), kRowBackground);
    p.setFont(font());
    const QFontMetrics metrics(font());
    p.setPen(Look::kLine);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The panel keeps its own light look under every skin, so its ink is fixed too.
    p.setPen(Look::kInk);
    p.drawText(0, metrics.ascent(), m_line);
    p.setPen(kWrong);
    p.drawText(cursorMarkPosition(), QStringLiteral("_"));
}

void PracticeLinePanel::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved();
    QWidget::mouseMoveEvent(event);
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
    p.fillRect(rect(), kRowBackground);
    p.setPen(Look::kLine);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(font());
    const int baseline = QFontMetrics(font()).ascent();
    p.setPen(kRight);
    p.drawText(0, baseline, m_right);
    if (!m_wrong.isEmpty()) {
        p.setPen(kWrong);
        p.drawText(m_nextCellX, baseline, m_wrong);
    }
}

void TypedRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}

void TypedRow::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved();
    QWidget::mouseMoveEvent(event);
}

KeysStatusBar::KeysStatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture8"));
    resize(twipsSize(10845, 630));
    auto field = [this](const char* name, const char* text, int leftTwips, int widthTwips) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(Look::uiFont(8.5, true));
        label->setStyleSheet(
            QStringLiteral("QLabel { color: #404040; background: white; border: 1px solid #d5dee8;"
                           " border-radius: 4px; }"));
        const int h = twips(216) + 4;
        label->setGeometry(twips(leftTwips), height() / 2 - h / 2 + twips(11), twips(widthTwips),
                           h);
        return label;
    };
    m_time = field("Label40", "0:00:00", 1155, 1080);
    m_speed = field("Label45", "0 WPM", 3728, 1200);
    m_accuracy = field("Label38", "0 %", 10290 - 330, 870);
    m_empty = new ProgressPiece(QStringLiteral("Image8"), QColor(0x7d, 0xa7, 0xe0),
                                QColor(0x4f, 0x83, 0xcc), this);
    m_empty->setGeometry(twips(6090), height() / 2 - 9 / 2, 148, 9);
    m_filled = new ProgressPiece(QStringLiteral("Image9"), QColor(0x7d, 0xd8, 0x6c),
                                 QColor(0x3f, 0xb0, 0x3c), this);
    m_filled->setGeometry(m_empty->geometry().x(), m_empty->y(), 0, 9);
    m_filled->hide();
}

void KeysStatusBar::setTime(const QString& text) {
    m_time->setText(text);
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
    const QRectF bar = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0xf4, 0xf7, 0xfb));
    fill.setColorAt(1, QColor(0xe3, 0xea, 0xf3));
    p.setPen(QColor(0xc9, 0xd5, 0xe3));
    p.setBrush(fill);
    p.drawRoundedRect(bar, 8, 8);
    p.setFont(Look::uiFont(8.5));
    p.setPen(Look::kMutedInk);
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
