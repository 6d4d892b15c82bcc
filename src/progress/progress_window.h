#pragma once

#include "core/keyboard_layout.h"
#include "history/practice_run.h"

#include <QDialog>

class HistoryStore;
class KeyHeatMap;
class ProgressChart;
class QButtonGroup;
class QLabel;
class QTableWidget;

// The learner's progress: speed and accuracy over time for each mode, the recent runs and
// the keys that go wrong most. A modal window, opened from the navigation bar.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kRecentRuns = 100;

    // The keys are drawn and named as the `keyboard` layout labels them.
    ProgressWindow(HistoryStore* store, PracticeMode initialMode, QWidget* parent = nullptr,
                   const KeyboardLayout& keyboard = KeyboardLayout::us());

    void showMode(PracticeMode mode);
    PracticeMode shownMode() const { return m_mode; }

  private:
    void buildStyle();

    HistoryStore* m_store;
    PracticeMode m_mode;
    ProgressChart* m_chart = nullptr;
    QButtonGroup* m_modes = nullptr;
    QLabel* m_summary = nullptr;
};
