#pragma once

#include "shell/app_context.h"
#include "shell/fonts.h"

#include <QList>
#include <QWidget>

class ClickLabel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class Banner;

// The frame every practice window shares: banner and navigation bar, the closing mark that
// decides whether closing the window ends the program, the hot zone, the theme pop-up with
// the re-exemption of the window's own controls, the settings panel and the unload chores.
class PracticeWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kNavigationEntries = 5;
    static const QString kFend;
    static const QString kTend;

    PracticeWindow(const AppContext& context, const QString& objectName, int ownEntry,
                   QWidget* parent = nullptr);
    ~PracticeWindow() override;

    int ownEntry() const { return m_ownEntry; }
    QString closingMark() const;
    void setClosingMark(const QString& mark);
    // Arms Timer3t again: the mark returns to "Tend" 11 ms later.
    void rearm();

    // A click on navigation entry `entry`.
    void navigationClick(int entry);
    // Closes the window for navigation, running the unload chores once.
    void unload();
    // Shows the theme menu, then gives the window's own controls their look back.
    void popThemeMenu(QPoint globalPos, bool focusInput = true);
    void reExempt();
    // All entries black, the window's own entry red.
    void markNavigation();

    // The input box that gets the focus back after menus and panels; may be null.
    virtual QWidget* inputBox() const { return nullptr; }
    // The child windows that keep their own look under every skin.
    virtual QList<QWidget*> exemptControls() const { return {}; }
    // After a theme pop-up; by default the same list as at load.
    virtual QList<QWidget*> reExemptControls() const { return exemptControls(); }

    QString keySoundPath;
    QString errorSoundPath;
    QString versionText;

  protected:
    // The common load chores; every window calls this at the end of its constructor.
    void commonLoadChores();
    // Writes the window's state file; called first by the unload chores.
    virtual void saveState() {}
    // The window's own work when Timer3t fires, after the mark is set to "Tend".
    virtual void timer3tWork() {}
    void focusInputBox();
    void playWave(const QString& path);
    FontChoice fontChoice(PracticeFontWindow window) const;

    // The drop-down settings panel: placed, framed and shown by its button.
    QWidget* makeSettingsPanel(const QString& name, int widthTwips, int heightTwips);
    // The panel's "Themes" button: any mouse button released on it opens the theme menu.
    QPushButton* makeThemesButton(QWidget* panel, const QString& name);
    // A switch in the panel; a click gives the input box the focus back.
    QCheckBox* makeSwitch(QWidget* panel, const QString& name, const QString& caption,
                          int topTwips);
    // Places the window's settings panel, sizes its frame, shows it and refocuses the input.
    void showSettingsPanel(QPoint topLeft);
    void hideSettingsPanel();
    QWidget* settingsPanel() const { return m_settingsPanel; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    AppContext m_context;
    QLabel* m_navigation[kNavigationEntries] = {};
    Banner* m_banner = nullptr;

  private:
    int m_ownEntry;
    QLabel* m_closingMark = nullptr;
    ClickLabel* m_hotZone = nullptr;
    QTimer* m_timer3t = nullptr;
    QWidget* m_settingsPanel = nullptr;
    bool m_unloaded = false;
    bool m_navigating = false;
    bool m_shownOnce = false;
};

// The picture across the top of every practice window.
class Banner : public QWidget {
    Q_OBJECT
  public:
    explicit Banner(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
