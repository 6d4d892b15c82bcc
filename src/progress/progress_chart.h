#pragma once

#include "history/practice_run.h"

#include <QWidget>

// Speed and accuracy over time: two plots, one above the other, over one date axis.
class ProgressChart : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressChart(QWidget* parent = nullptr);

    void setPoints(const QList<ChartPoint>& points, const QString& emptyText);
    const QList<ChartPoint>& points() const { return m_points; }

    // The ticks of a date axis from `from` to `to`: at most `maxTicks` round moments (hours,
    // days, weeks or months, whichever fits), each with its label.
    struct Tick {
        QDateTime when;
        QString label;
    };
    static QList<Tick> dateTicks(const QDateTime& from, const QDateTime& to, int maxTicks = 6);

    QSize sizeHint() const override { return {440, 250}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<ChartPoint> m_points;
    QString m_emptyText;
};
