#pragma once

#include <QPoint>

class PracticeWindow;

// What the window frame needs from the application: the switch to another window, the theme
// pop-up and the end of the program. Only the application knows every window.
class Navigator {
  public:
    enum Entry { KeysEntry = 0, WordsEntry = 1, ArticlesEntry = 2, GameEntry = 3, AboutEntry = 4 };

    virtual ~Navigator() = default;
    virtual void navigate(PracticeWindow* from, int entry) = 0;
    // Shows the theme menu at a screen position; the chosen item runs before it returns.
    virtual void popThemeMenu(PracticeWindow* from, QPoint globalPos) = 0;
    virtual void endProgram() = 0;
};
