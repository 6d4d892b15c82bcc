#include "articles/article_chooser.h"

#include "articles/article_catalogue.h"
#include "shell/look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ArticleChooser::ArticleChooser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral(" Select lesson"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Choose an article"), this);
    heading->setFont(Look::uiFont(11, true));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->addItems(ArticleCatalogue::titles());
    m_list->setCurrentRow(0);
    m_list->setFont(Look::uiFont(10));
    m_list->setMinimumSize(440, 340);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* optional = new QPushButton(QStringLiteral("Optional article"), this);
    optional->setObjectName(QStringLiteral("Command3"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(optional);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &ArticleChooser::chooseSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ArticleChooser::chooseSelected);
    connect(cancel, &QPushButton::clicked, this, &ArticleChooser::reject);
    connect(optional, &QPushButton::clicked, this, [this] {
        m_choice = Choice::Optional;
        accept();
    });
}

void ArticleChooser::chooseSelected() {
    if (QListWidgetItem* item = m_list->currentItem()) {
        m_choice = Choice::Catalogue;
        m_title = item->text();
    }
    accept();
}
