#pragma once

#include "frame/list_chooser.h"

// The article chooser Form4: the catalogue in its own order, or a text file of the user's.
class ArticleChooser : public ListChooser {
    Q_OBJECT
  public:
    enum class Choice { None, Catalogue, Optional };

    explicit ArticleChooser(QWidget* parent = nullptr);

    Choice choice() const;
    QString chosenTitle() const { return chosenText(); }

  private:
    bool m_optional = false;
};
