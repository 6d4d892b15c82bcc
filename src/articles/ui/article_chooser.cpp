#include "articles/ui/article_chooser.h"

#include "articles/model/article_catalogue.h"

#include <QPushButton>

ArticleChooser::ArticleChooser(QWidget* parent)
    : ListChooser({.name = QStringLiteral("Form4"),
                   .heading = QStringLiteral("Choose an article"),
                   .items = ArticleCatalogue::titles(),
                   .extraCaption = QStringLiteral("Optional article"),
                   .listMinimum = QSize(440, 340)},
                  parent) {
    connect(extraButton(), &QPushButton::clicked, this, [this] {
        m_optional = true;
        accept();
    });
}

ArticleChooser::Choice ArticleChooser::choice() const {
    if (m_optional)
        return Choice::Optional;
    return chosenRow() >= 0 ? Choice::Catalogue : Choice::None;
}
