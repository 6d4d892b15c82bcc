#include "articles/ui/article_page.h"

#include "look/look.h"
#include "articles/ui/article_look.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr qreal kUnitPx = 240.0 / 15; // layoutUnit in pixels

const QColor& kArticleInk = ArticleLook::kPageInk;
const QColor& kMatchInk = Look::kRightMark;
const QColor& kMismatchInk = Look::kWrong;

} // namespace

QPointF ArticlePage::articleCharAt(int column, int row) {
    return QPointF((1.5 + 0.75 * (column - 1)) * kUnitPx, (10 + 4 * (row - 2)) * kUnitPx);
}

QPointF ArticlePage::typingCellAt(int column, int row) {
    return QPointF((0.75 * column + 0.8) * kUnitPx, (4 * (row - 2) + 11.5) * kUnitPx);
}

ArticlePage::ArticlePage(const ArticleExercise& exercise, QWidget* parent)
    : QWidget(parent), m_exercise(exercise) {
    setObjectName(QStringLiteral("Picture2"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    m_notice = new QLabel(ArticleExercise::kNotice, this);
    m_notice->setObjectName(QStringLiteral("Label15"));
    ArticleLook::styleNotice(m_notice);
    m_notice->hide();
    measure();
}

void ArticlePage::measure() {
    const QFontMetricsF metrics(font());
    m_ascent = metrics.ascent();
    m_lineHeight = metrics.height();
}

void ArticlePage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        measure();
    QWidget::changeEvent(event);
}

QRect ArticlePage::cellRect(int column, int row) const {
    const QPointF at = typingCellAt(column, row);
    // A little room either side: a glyph of this font is slightly wider than its cell.
    return QRectF(at.x() - 2, at.y(), kCellWidth + 5, m_lineHeight + 1).toAlignedRect();
}

void ArticlePage::apply(const ArticleUpdate& change) {
    if (change.flags & ArticleUpdate::Page) {
        update();
    } else {
        for (const QPoint& cell : change.cells)
            update(cellRect(cell.x(), cell.y()));
    }
    if (change.flags & (ArticleUpdate::Buttons | ArticleUpdate::Page))
        m_notice->setVisible(m_exercise.noticeVisible());
}

// Writes text with its top left corner at `at`, in `colour`, on a transparent background.
void ArticlePage::wchar(QPainter& p, const QString& text, QPointF at, const QColor& colour) const {
    p.setPen(colour);
    p.drawText(QPointF(at.x(), at.y() + m_ascent), text);
}

void ArticlePage::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    p.fillRect(dirty, ArticleLook::kPageSheet);
    p.setFont(font());

    for (int row = ArticleExercise::kFirstRow; row <= ArticleExercise::kLastRow; ++row) {
        const QPointF lineAt = articleCharAt(1, row);
        const QPointF cellAt = typingCellAt(1, row);
        const QRectF band(0, lineAt.y(), width(), cellAt.y() + m_lineHeight + 3 - lineAt.y());
        if (!band.intersects(dirty))
            continue;

        // A faint rule under each typing row, the only mark on the sheet.
        const qreal ruleY = cellAt.y() + m_lineHeight + 1.5;
        p.setPen(QPen(palette().color(QPalette::Midlight), 1));
        p.drawLine(QPointF(articleCharAt(1, row).x(), ruleY),
                   QPointF(articleCharAt(ArticleExercise::kColumns, row).x() + kCellWidth, ruleY));

        // Only the columns the dirty rectangle reaches.
        const int first = qMax(1, int((dirty.left() - articleCharAt(1, row).x()) / kCellWidth));
        const int last = qMin(ArticleExercise::kColumns,
                              int((dirty.right() - articleCharAt(1, row).x()) / kCellWidth) + 2);

        const QString line = m_exercise.pageLine(row);
        for (int c = first; c <= last && c <= line.size(); ++c) {
            const QChar ch = line[c - 1];
            if (ch == ArticleText::kFill || ch == u' ')
                continue;
            wchar(p, QString(ch), articleCharAt(c, row), kArticleInk);
        }

        for (int c = first; c <= last; ++c) {
            const ArticleExercise::Cell& cell = m_exercise.cell(c, row);
            const QPointF at = typingCellAt(c, row);
            if (cell.ink != ArticleExercise::Ink::None) {
                const QColor ink =
                    cell.ink == ArticleExercise::Ink::Match ? kMatchInk : kMismatchInk;
                const QChar ch = cell.text.isEmpty() ? QChar(u' ') : cell.text[0];
                if (ch.isSpace() && cell.ink == ArticleExercise::Ink::Mismatch) {
                    // A wrong blank: a short red bar, so the slip shows.
                    p.fillRect(QRectF(at.x() + 1, at.y() + m_lineHeight - 3, kCellWidth - 2, 2),
                               ink);
                } else {
                    wchar(p, QString(ch), at, ink);
                }
            }
            if (m_exercise.caretVisible() && m_exercise.caretCell() == QPoint(c, row))
                wchar(p, QStringLiteral("|"), at, kMismatchInk);
        }
    }

    const QString message = m_exercise.pageMessage();
    if (!message.isEmpty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.setFont(Look::uiFont(12));
        const QPointF top = articleCharAt(1, 3);
        p.drawText(QRectF(top.x(), top.y(), kCellWidth * ArticleExercise::kColumns, 3 * kUnitPx),
                   Qt::AlignCenter, message);
    }
}
