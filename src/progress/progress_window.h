#pragma once

#include "core/keyboard_layout.h"
#include "history/key_weakness.h"
#include "history/practice_run.h"

#include <QDialog>

class HistoryStore;
class KeyHeatMap;
class ProgressChart;
class QButtonGroup;
class QLabel;
class QTableWidget;

// The learner's progress: speed and accuracy over time for each mode, the recent runs, the
// keys that go wrong most, and each key's misses and time with their trend. A modal window,
// opened from the navigation bar; "Practise weak keys" leads on to a drill of the weakest.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kRecentRuns = 100;

    // The keys are drawn and named as the `keyboard` layout labels them.
    ProgressWindow(HistoryStore* store, PracticeMode initialMode, QWidget* parent = nullptr,
                   const KeyboardLayout& keyboard = KeyboardLayout::us());

    void showMode(PracticeMode mode);
    PracticeMode shownMode() const { return m_mode; }
    // "Practise weak keys" (Ctrl+6) closed the window: the drill is wanted.
    bool drillWanted() const { return m_drillWanted; }

  private:
    void buildStyle();
    QWidget* buildKeyFigures(const KeyWeakness::Report& report, const KeyboardLayout& keyboard);

    HistoryStore* m_store;
    PracticeMode m_mode;
    ProgressChart* m_chart = nullptr;
    QButtonGroup* m_modes = nullptr;
    QLabel* m_summary = nullptr;
    bool m_drillWanted = false;
};
