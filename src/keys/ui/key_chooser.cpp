#include "keys/ui/key_chooser.h"

#include "keys/model/key_lessons.h"
#include "look/fonts.h"
#include "core/twips.h"

#include <QListWidget>
#include <QPushButton>

KeyChooser::KeyChooser(Platform* platform, const QString& gamesPage, QWidget* parent,
                       const QStringList& titles)
    : ListChooser({.name = QStringLiteral("Form2"),
                   .items = titles.isEmpty() ? KeyLessons::catalogue() : titles,
                   .extraCaption = QStringLiteral("Online Typing Game"),
                   .enterMovesToOk = true},
                  parent) {
    setFixedSize(twipsSize(6720, 5250));
    list()->setFont(monospaceFont(QStringLiteral("Consolas"), 10.5, false));
    list()->setGeometry(twipsRect(60, 0, 6540, 4395));
    extraButton()->setGeometry(twipsRect(90, 4635, 2370, 420));
    okButton()->setGeometry(twipsRect(3240, 4635, 1515, 420));
    cancelButton()->setGeometry(twipsRect(4830, 4635, 1515, 420));
    linkExtraToGames(platform, gamesPage);
    list()->setFocus();
}
