#pragma once

#include "frame/list_chooser.h"

// The modal key-lesson chooser Form2: the sixteen lessons, the first one selected. The titles
// name the keys of the learner's layout; without them they are the shipped ones.
class KeyChooser : public ListChooser {
    Q_OBJECT
  public:
    KeyChooser(Platform* platform, const QString& gamesPage, QWidget* parent = nullptr,
               const QStringList& titles = {});

    // The index chosen with OK or a double click; -1 after Cancel, the link or the close box.
    int chosenIndex() const { return chosenRow(); }
};
