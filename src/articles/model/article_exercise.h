#pragma once

#include "articles/model/article_state.h"
#include "articles/model/article_text.h"
#include "core/keyboard_layout.h"
#include "core/practice_clock.h"
#include "core/practice_model.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// What one input changed, for the window to redraw just that: the exercise's display flags and
// the cells to repaint.
struct ArticleUpdate {
    enum Flag {
        Page = 0x1,         // the page was cleared and its six lines drawn afresh
        Cells = 0x2,        // typed cells or the caret: see `cells`
        Cursor = 0x4,       // column / pageRow: the input box follows (geng)
        Meters = 0x8,       // clock, speed, accuracy
        Buttons = 0x10,     // "Previous", "Next", the page number, the notice
        Article = 0x20,     // caption, title, sound switch, file notice
        MeterReset = 0x40,  // start the one-shot reset timer
        OpenChooser = 0x80, // the end-of-text question was answered with OK
    };
    int flags = 0;
    QList<QPoint> cells; // (column 1-62, pageRow 2-7) of each cell to repaint
};

// The Article practice exercise: an article cut into display lines, a page of six of them,
// and the keystrokes typed under each character. It draws nothing: the window paints the page
// from what the exercise holds and repaints the cells each update names.
class ArticleExercise : public PracticeModel {
    Q_OBJECT
  public:
    static constexpr int kColumns = ArticleText::kLineWidth;
    static constexpr int kFirstRow = 2;
    static constexpr int kLastRow = 7;
    static constexpr int kRows = kLastRow - kFirstRow + 1;
    static constexpr int kNoticePage = 60;

    static const QString kPromptTitle;
    static const QString kEndQuestion;
    static const QString kNotice;
    static const QString kOptionalCaption;
    static const QString kBackspaceMark;
    static const QString kSpaceMark;

    enum class Ink { None, Match, Mismatch };
    struct Cell {
        QString text;
        Ink ink = Ink::None;
    };

    explicit ArticleExercise(ArticleFiles& files, QObject* parent = nullptr);

    // The end-of-text question was answered: OK opens the chooser, Cancel types the Space
    // that put it.
    void messageAnswered(bool ok) override;

    // --- loading ---
    // The window opens on the article saved in sz2.txt.
    void restore(const Articles::Sz2& state);
    Articles::Sz2 state() const;
    void openCatalogueArticle(const QString& title); // Label10_Click
    void openFile(const QString& path);              // Label4_Click after the picker
    void setKeystrokeSound(bool on);

    // --- events ---
    void keyPress(int keyAscii);           // Backspace and Space
    void textChanged(const QString& text); // the input box's text, emptied after each change
    void previousPage();                   // "Previous"
    void nextPage();                       // "Next"

    // --- timers ---
    void blinkTick();  // Timer3, 600 ms
    void clockTick();  // Timer4, 500 ms while the clock runs
    void meterReset(); // Timer5, the one-shot reset

    // --- state, by the names the rest of the program uses ---
    const QString& articleTitle() const { return m_articleTitle; }
    const QString& articlePath() const { return m_articlePath; }
    bool articlePathRelative() const { return m_articlePathRelative; }
    bool optionalArticle() const { return !m_articlePathRelative; }
    QString caption() const;
    bool keystrokeSound() const { return m_keystrokeSound; }
    const QStringList& articleLines() const { return m_articleLines; }
    int nextLine() const { return m_nextLine; }
    int column() const { return m_column; }
    int lineNumber() const { return m_lineNumber; }
    int pageRow() const { return m_pageRow; }
    int pageNumber() const { return m_pageNumber; }
    const QString& typedText() const { return m_typedText; }
    const QString& lastKeyMark() const { return m_lastKeyMark; }
    const QString& keyRecord() const { return m_keyRecord; }
    int tickCount() const { return m_tickCount; } // half-seconds since the meter reset
    int blinkCount() const { return m_blinkCount; }
    bool noticeVisible() const { return m_noticeVisible; }
    bool previousEnabled() const { return m_previousEnabled; }
    bool nextEnabled() const { return m_nextEnabled; }
    bool clockRunning() const override { return m_clockRunning; }
    // Seconds on the clock, characters typed and the wrong ones among them, and the
    // status bar's speed and accuracy.
    RunTotals totals() const override;
    QString runItem() const override { return m_articleTitle; }
    // The change being reported: the display flags with the cells it touched.
    ArticleUpdate update(const ModelEvents& events) const {
        return {int(events.display), m_reportedCells};
    }
    QString clockText() const { return m_clock.display(); }
    const QString& speedText() const { return m_speedText; }
    const QString& accuracyText() const { return m_accuracyText; }
    // A short word on the page when the article could not be shown; empty otherwise.
    const QString& pageMessage() const { return m_pageMessage; }
    // A one-line notice when only the beginning of a long article file is practised.
    const QString& fileNotice() const { return m_fileNotice; }

    // The learner's keyboard: a judged character counts for the key that types it there.
    void setKeyboardLayout(const KeyboardLayout& layout) { m_layout = layout; }

    // --- the page as drawn ---
    // The article line on page row r (2-7); empty below the last line.
    QString pageLine(int row) const;
    const Cell& cell(int column, int row) const;
    bool caretVisible() const { return m_caretVisible; }
    QPoint caretCell() const { return m_caretCell; }

  private:
    KeyboardLayout m_layout = KeyboardLayout::us();

    void loadtext();
    void clearPage();
    void tof();
    void pageTurn(int index); // Command1_Click
    void geng();
    void setCell(int column, int row, const QString& text, Ink ink);
    void eraseCell(int column, int row);
    void showCaret(int column, int row);
    void eraseCaret();
    void setKeyRecord(const QString& record);
    void setPageNumber(int number);
    void updateAccuracy();
    void requestMeterReset();
    void openArticle(const QString& path, bool relative);
    QString fileName() const;
    void setFileNotice(const QString& notice);
    void showOpenedArticle();
    QString characterAt(const QString& line, int column) const;
    void reporting() override;

    ArticleFiles& m_files;
    bool m_spaceAtEnd = false;    // a Space past the end of the text waits for the answer
    bool m_typingOnAtEnd = false; // the answer was Cancel: that Space is typed

    QString m_articleTitle = Articles::kDefaultTitle;
    QString m_articlePath;
    bool m_articlePathRelative = true;
    bool m_keystrokeSound = false;
    QStringList m_articleLines;
    int m_nextLine = 0;
    int m_column = 1;
    int m_lineNumber = 2;
    int m_pageRow = 2;
    int m_pageNumber = 1;
    int m_pageFirstLine = 0;
    QString m_typedText;
    QString m_lastKeyMark = QStringLiteral("Label3");
    QString m_keyRecord;
    int m_blinkCount = 0;
    bool m_noticeVisible = false;
    bool m_previousEnabled = false;
    bool m_nextEnabled = true;
    QString m_pageMessage;
    QString m_fileNotice;

    std::array<std::array<Cell, kColumns>, kRows> m_cells;
    bool m_caretVisible = false;
    QPoint m_caretCell{1, kFirstRow};

    HmsClock m_clock;
    bool m_clockRunning = false;
    int m_tickCount = 0;
    int m_phase = 0;
    QString m_speedText = QStringLiteral("0 WPM");
    QString m_accuracyText = QStringLiteral("0 %");

    QList<QPoint> m_changedCells;
    QList<QPoint> m_reportedCells;
};
