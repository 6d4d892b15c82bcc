#pragma once

#include <QDialog>
#include <QSize>
#include <QStringList>

class Platform;
class QListWidget;
class QPushButton;

// The modal " Select lesson" dialog every practice mode offers: the list List1 with its first
// row selected, OK (Command1), Cancel (Command2) and one more button (Command3) whose work the
// mode gives. OK or a double click chooses the selected row.
class ListChooser : public QDialog {
    Q_OBJECT
  public:
    struct Setup {
        QString name{};    // the dialog's objectName
        QString heading{}; // a bold line over the list, laid out with it; empty: the mode places
                           // the parts itself
        QStringList items{};
        QString extraCaption{}; // Command3
        QSize listMinimum{};
        bool enterMovesToOk = false; // Enter in the list only moves on to OK
    };

    explicit ListChooser(const Setup& setup, QWidget* parent = nullptr);

    // The row chosen with OK or a double click; -1 after Cancel, Command3 or the close box.
    int chosenRow() const { return m_row; }
    QString chosenText() const;
    QListWidget* list() const { return m_list; }

  protected:
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* extraButton() const { return m_extra; }
    // Command3 opens the online games page and leaves without a choice.
    void linkExtraToGames(Platform* platform, const QString& gamesPage);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void chooseSelected();

    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_extra = nullptr;
    bool m_enterMovesToOk = false;
    int m_row = -1;
};
