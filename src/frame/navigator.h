#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class PracticeWindow;

// What one window hands to the next, as values the navigator passes along.
struct HandOver {
    // Word practice: the lesson named in sz1-yj.txt; none when the lesson of sz1.txt stays.
    std::optional<QString> wordLesson;
    // Keys practice: a drill of the learner's weak keys.
    bool weakKeyDrill = false;
};

// What the window frame needs from the application: the switch to another window, the theme
// pop-up and the end of the program. Only the application knows every window.
class Navigator {
  public:
    // The modal windows (About, Progress) open over the window; the others replace it.
    enum Entry {
        KeysEntry = 0,
        WordsEntry = 1,
        ArticlesEntry = 2,
        GameEntry = 3,
        AboutEntry = 4,
        ProgressEntry = 5,
        DrillEntry = 6 // "Practise weak keys": Keys practice with a drill of the weak keys
    };
    static bool opensModal(int entry) { return entry == AboutEntry || entry == ProgressEntry; }

    virtual ~Navigator() = default;
    virtual void navigate(PracticeWindow* from, int entry) = 0;
    // Shows the theme menu at a screen position; the chosen item runs before it returns.
    virtual void popThemeMenu(PracticeWindow* from, QPoint globalPos) = 0;
    virtual void endProgram() = 0;
};
