#pragma once

#include <QDialog>

class Platform;
class QListWidget;

// The modal word-lesson chooser: twelve lessons, the first one selected.
class WordChooser : public QDialog {
    Q_OBJECT
  public:
    WordChooser(Platform* platform, const QString& gamesPage, QWidget* parent = nullptr);

    // The caption chosen with OK or a double click; empty after Cancel or the link.
    QString chosenCaption() const { return m_chosen; }
    QListWidget* list() const { return m_list; }

  private:
    void accept() override;

    QListWidget* m_list = nullptr;
    QString m_chosen;
};
