#include "keys/key_chooser.h"

#include "keys/key_lessons.h"
#include "shell/fonts.h"
#include "shell/platform.h"
#include "shell/twips.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

KeyChooser::KeyChooser(Platform* platform, const QString& gamesPage, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(" Select lesson"));
    setModal(true);
    setFixedSize(twipsSize(6720, 5250));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setFont(monospaceFont(QStringLiteral("Consolas"), 10.5, false));
    m_list->addItems(KeyLessons::catalogue());
    m_list->setCurrentRow(0);
    m_list->setGeometry(twipsRect(60, 0, 6540, 4395));
    m_list->installEventFilter(this);

    auto* games = new QPushButton(QStringLiteral("Online Typing Game"), this);
    games->setObjectName(QStringLiteral("Command3"));
    games->setGeometry(twipsRect(90, 4635, 2370, 420));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setGeometry(twipsRect(3240, 4635, 1515, 420));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setGeometry(twipsRect(4830, 4635, 1515, 420));

    connect(m_ok, &QPushButton::clicked, this, &KeyChooser::accept);
    connect(cancel, &QPushButton::clicked, this, &KeyChooser::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &KeyChooser::accept);
    connect(games, &QPushButton::clicked, this, [this, platform, gamesPage] {
        if (platform)
            platform->openUrl(gamesPage);
        reject();
    });
    m_list->setFocus();
}

bool KeyChooser::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the list only moves on to OK; a second Enter presses it.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_ok->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KeyChooser::accept() {
    m_chosen = m_list->currentRow();
    QDialog::accept();
}
