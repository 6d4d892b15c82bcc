#pragma once

#include "frame/list_chooser.h"

// The modal word-lesson chooser: twelve lessons, the first one selected.
class WordChooser : public ListChooser {
    Q_OBJECT
  public:
    WordChooser(Platform* platform, const QString& gamesPage, QWidget* parent = nullptr);

    // The caption chosen with OK or a double click; empty after Cancel or the link.
    QString chosenCaption() const { return chosenText(); }
};
