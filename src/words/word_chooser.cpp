#include "words/word_chooser.h"

#include "shell/look.h"
#include "shell/platform.h"
#include "words/word_lessons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

WordChooser::WordChooser(Platform* platform, const QString& gamesPage, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Form3yj"));
    setWindowTitle(QStringLiteral(" Select lesson"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Choose a word lesson"), this);
    heading->setFont(Look::uiFont(11, true));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->addItems(WordLessons::catalogue());
    m_list->setCurrentRow(0);
    m_list->setFont(Look::uiFont(10));
    m_list->setMinimumSize(440, 300);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* games = new QPushButton(QStringLiteral("Online Typing Game"), this);
    games->setObjectName(QStringLiteral("Command3"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(games);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &WordChooser::accept);
    connect(cancel, &QPushButton::clicked, this, &WordChooser::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &WordChooser::accept);
    connect(games, &QPushButton::clicked, this, [this, platform, gamesPage] {
        if (platform)
            platform->openUrl(gamesPage);
        reject();
    });
}

void WordChooser::accept() {
    if (QListWidgetItem* item = m_list->currentItem())
        m_chosen = item->text();
    QDialog::accept();
}
