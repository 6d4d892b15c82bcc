#include "words/ui/word_chooser.h"

#include "words/model/word_lessons.h"

WordChooser::WordChooser(Platform* platform, const QString& gamesPage, QWidget* parent)
    : ListChooser({.name = QStringLiteral("Form3yj"),
                   .heading = QStringLiteral("Choose a word lesson"),
                   .items = WordLessons::catalogue(),
                   .extraCaption = QStringLiteral("Online Typing Game"),
                   .listMinimum = QSize(440, 300)},
                  parent) {
    linkExtraToGames(platform, gamesPage);
}
