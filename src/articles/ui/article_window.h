#pragma once

#include "articles/model/article_exercise.h"
#include "articles/model/article_state.h"
#include "frame/navigator.h"
#include "frame/practice_window.h"

class ArticlePage;
class ClickLabel;
class InputBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The Article practice window: an article typed page by page, each keystroke written under
// the character it answers. The window routes events and timer ticks into the exercise and
// draws what it holds.
class ArticleWindow : public PracticeWindow {
    Q_OBJECT
  public:
    static const QString kPickerTitle;
    static const QString kPickerFilter;

    // The hand-over names the article to start from, which the title saved in sz2.txt then
    // replaces.
    explicit ArticleWindow(const AppContext& context, const HandOver& handOver = {},
                           QWidget* parent = nullptr);
    ~ArticleWindow() override;

    QWidget* inputBox() const override;
    QList<QWidget*> exemptControls() const override;

    const ArticleExercise& exercise() const { return *m_exercise; }
    const QString& articleTitle() const { return m_exercise->articleTitle(); }
    // The article file now practised, relative to the program folder or a full path.
    const QString& articlePath() const { return m_exercise->articlePath(); }
    bool articlePathRelative() const { return m_exercise->articlePathRelative(); }

    void openChooser();  // "Select lesson"
    void openSettings() override; // "Settings"

  protected:
    void render(const ModelEvents& events) override;
    void saveState() override;

  private:
    void buildWidgets();
    void buildSettingsPanel();
    void buildTimers();
    void geng();
    void label4Click();  // the picker, then the file picked
    void label10Click(); // the catalogue article chosen

    FolderArticleFiles m_files;
    std::unique_ptr<ArticleExercise> m_exercise;
    QString m_chosenTitle;

    ArticlePage* m_page = nullptr;         // Picture2
    QWidget* m_topBar = nullptr;           // Picture3
    QLabel* m_title = nullptr;             // Label10, hidden
    QLabel* m_fileNotice = nullptr;        // a long file was cut
    QLabel* m_pageNumber = nullptr;        // Label18
    QLabel* m_clock = nullptr;             // Label40
    QLabel* m_speed = nullptr;             // Label16
    QLabel* m_accuracy = nullptr;          // Label22z
    InputBox* m_input = nullptr;           // Text3, takes each keystroke
    QLineEdit* m_typed = nullptr;          // Text2, the keystroke being judged, hidden
    QPushButton* m_previous = nullptr;     // Command2
    QPushButton* m_next = nullptr;         // Command3
    QPushButton* m_selectLesson = nullptr; // Command4
    QPushButton* m_settings = nullptr;     // Command6
    ClickLabel* m_gamesLink = nullptr;     // Label6
    QCheckBox* m_sound = nullptr;          // Check1qq
    QPushButton* m_themes = nullptr;       // Command7
    QTimer* m_pickerTimer = nullptr;       // Timer1
    QTimer* m_catalogueTimer = nullptr;    // Timer2
    QTimer* m_clockTimer = nullptr;        // Timer4
    QTimer* m_meterResetTimer = nullptr;   // Timer5
};
