#pragma once

#include "shell/practice_window.h"

class ClickLabel;
class GameField;
class InputBox;
class QLabel;
class QLineEdit;

// The typing game: letters fall over a night forest and are shot down by typing them.
class GameWindow : public PracticeWindow {
    Q_OBJECT
  public:
    explicit GameWindow(const AppContext& context, QWidget* parent = nullptr);

    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;
    QList<QWidget*> reExemptControls() const override;

  private:
    void buildWidgets();

    GameField* m_field = nullptr;      // Picture2, the playing field
    QWidget* m_bar = nullptr;          // Picture1, the bar under the field
    QLabel* m_clock = nullptr;         // Label8
    InputBox* m_input = nullptr;       // Text1
    ClickLabel* m_gamesLink = nullptr; // Label15
};
