#pragma once

#include "articles/article_state.h"
#include "shell/navigator.h"
#include "shell/practice_window.h"

class ArticlePage;
class ClickLabel;
class InputBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Article practice window: a whole article typed line by line, page by page.
class ArticleWindow : public PracticeWindow {
    Q_OBJECT
  public:
    // The hand-over gives the article to start from, which the saved title then replaces.
    explicit ArticleWindow(const AppContext& context, const HandOver& handOver = {},
                           QWidget* parent = nullptr);

    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;

    const QString& articleTitle() const { return m_articleTitle; }
    // Takes an article by its title: caption, page heading and the article path.
    void setArticleTitle(const QString& title);
    // The article file now practised, relative to the program folder or a full path.
    const QString& articlePath() const { return m_articlePath; }
    bool articlePathRelative() const { return m_articlePathRelative; }

    void openSettings();

  protected:
    void saveState() override;

  private:
    void buildWidgets();
    void buildSettingsPanel();
    void restoreState();

    QString m_articleTitle;
    QString m_articlePath;
    bool m_articlePathRelative = true;

    ArticlePage* m_page = nullptr;         // Picture2
    QWidget* m_side = nullptr;             // Picture3, the meters beside the page
    QLabel* m_title = nullptr;             // Label10, hidden
    QLabel* m_pageNumber = nullptr;        // Label18
    QLabel* m_clock = nullptr;             // Label40
    QLabel* m_speed = nullptr;             // Label16
    QLabel* m_accuracy = nullptr;          // Label22z
    InputBox* m_input = nullptr;           // Text2, the line being typed
    QLineEdit* m_lineText = nullptr;       // Text3, the line to copy, kept hidden
    QPushButton* m_selectLesson = nullptr; // Command4
    QPushButton* m_settings = nullptr;     // Command6
    ClickLabel* m_gamesLink = nullptr;     // Label6
    QCheckBox* m_sound = nullptr;          // Check1qq
};
