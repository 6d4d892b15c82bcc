#pragma once

#include "articles/model/article_exercise.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

class QLabel;
class QPainter;

// The page surface Picture2: a clean white sheet with the six article lines of the page and
// the keystrokes typed under them. Every character sits on a grid of 0.75 layout units
// (180 twips) per column, so each typed cell stands exactly under the character it answers.
class ArticlePage : public QWidget {
    Q_OBJECT
  public:
    // Page coordinates, in pixels of the page surface.
    static QPointF articleCharAt(int column, int row); // top left of the article character
    static QPointF typingCellAt(int column, int row);  // top left of the typing cell
    static constexpr qreal kCellWidth = 180.0 / 15;

    ArticlePage(const ArticleExercise& exercise, QWidget* parent);

    // Repaints what the update names: the whole page, or only its cells.
    void apply(const ArticleUpdate& change);
    QRect cellRect(int column, int row) const;
    QLabel* notice() const { return m_notice; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void measure();
    void wchar(QPainter& p, const QString& text, QPointF at, const QColor& colour) const;

    const ArticleExercise& m_exercise;
    QLabel* m_notice = nullptr; // Label15
    qreal m_ascent = 0;
    qreal m_lineHeight = 0;
};
