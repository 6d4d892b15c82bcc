#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;

// The drop-down settings panel of a practice window, framed by Shape3: a "Themes" button
// and the window's switches. "Settings" shows it; the window's routes hide it.
class SettingsPanel : public QWidget {
    Q_OBJECT
  public:
    SettingsPanel(const QString& name, int widthTwips, int heightTwips, QWidget* window);

    // "Themes": the window routes a released button on it to the theme menu; Alt+T asks for
    // the menu from the keyboard.
    QPushButton* addThemesButton(const QString& name);
    // A switch; a click asks for the input box's focus back. "Keyed tips" toggles with Alt+K,
    // "Keystroke sound" with Alt+O, also while the panel is hidden.
    QCheckBox* addSwitch(const QString& name, const QString& caption, int topTwips);
    // Places the panel, fits its frame and shows it over everything.
    void showAt(QPoint topLeft);
    QPushButton* themesButton() const { return m_themes; }

  signals:
    void switchClicked();
    void themesRequested();

  private:
    QWidget* m_frame = nullptr;
    QPushButton* m_themes = nullptr;
};
