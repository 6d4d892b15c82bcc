#pragma once

#include <QDialog>

class Platform;
class QListWidget;
class QPushButton;

// The modal key-lesson chooser Form2: the sixteen lessons, the first one selected.
class KeyChooser : public QDialog {
    Q_OBJECT
  public:
    KeyChooser(Platform* platform, const QString& gamesPage, QWidget* parent = nullptr);

    // The index chosen with OK or a double click; -1 after Cancel, the link or the close box.
    int chosenIndex() const { return m_chosen; }
    QListWidget* list() const { return m_list; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void accept() override;

    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    int m_chosen = -1;
};
