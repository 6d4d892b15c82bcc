#pragma once

#include <QDialog>

class QListWidget;

// The article chooser Form4: the catalogue in its own order, or a text file of the user's.
class ArticleChooser : public QDialog {
    Q_OBJECT
  public:
    enum class Choice { None, Catalogue, Optional };

    explicit ArticleChooser(QWidget* parent = nullptr);

    Choice choice() const { return m_choice; }
    QString chosenTitle() const { return m_title; }

  private:
    void chooseSelected();

    QListWidget* m_list = nullptr; // List1
    Choice m_choice = Choice::None;
    QString m_title;
};
