#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

// The practice line panel Picture11: the line to type, with a red cursor mark under the
// character to type next.
class PracticeLinePanel : public QWidget {
    Q_OBJECT
  public:
    explicit PracticeLinePanel(QWidget* parent = nullptr);
    void setLine(const QString& line);
    // The mark stands under character `typed` + 1.
    void setCursorAfter(int typed);
    QString line() const { return m_line; }
    int cursorAfter() const { return m_typed; }
    // Where the mark is drawn, for tests: its left edge and its baseline.
    QPointF cursorMarkPosition() const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString m_line;
    int m_typed = 0;
};

// The typed row Picture10: the right characters of the line in blue, and in the current cell
// the wrong character in red.
class TypedRow : public QWidget {
    Q_OBJECT
  public:
    explicit TypedRow(QWidget* parent = nullptr);
    void setRow(const QString& right, const QString& wrong, int nextCellX);
    QString right() const { return m_right; }
    QString wrong() const { return m_wrong; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString m_right;
    QString m_wrong;
    int m_nextCellX = 0;
};

// The status bar Picture8: time, speed, progress ("Schedule") and accuracy.
class KeysStatusBar : public QWidget {
    Q_OBJECT
  public:
    explicit KeysStatusBar(QWidget* parent = nullptr);
    void setTime(const QString& text);
    void setSpeed(const QString& text);
    void setSpeedToolTip(const QString& text);
    void setAccuracy(const QString& text);
    // Filled part of the progress bar: percent of the empty bar's width, not limited to 100.
    void setProgress(int percent);
    int progressWidth() const;
    QWidget* emptyBar() const { return m_empty; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QLabel* m_time = nullptr;     // Label40
    QLabel* m_speed = nullptr;    // Label45
    QLabel* m_accuracy = nullptr; // Label38
    QWidget* m_empty = nullptr;   // Image8
    QWidget* m_filled = nullptr;  // Image9
};
