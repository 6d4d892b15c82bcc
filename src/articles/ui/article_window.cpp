#include "articles/ui/article_window.h"

#include "articles/ui/article_chooser.h"
#include "articles/ui/article_page.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "core/key_codes.h"
#include "look/look.h"
#include "core/maker.h"
#include "platform/platform.h"
#include "frame/settings_panel.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QKeySequence>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

// Design values, twips.
constexpr int kPageLeft = 0;
constexpr int kPageTop = -540;
constexpr int kPageWidth = 13170;
constexpr int kPageHeight = 8145;
constexpr int kBarTop = 900;
constexpr int kBarHeight = 660;
constexpr int kButtonWidth = 1800;
constexpr int kBarButtonWidth = 1500;
constexpr int kButtonHeight = 450;
constexpr int kPageButtonsTop = 7860;
constexpr int kPanelLeftOfButton = 1000;

// The bar under the banner that carries the meters: paper across the whole window.
class PaperBar : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        Look::paintPaper(p, rect(), palette());
    }
};

} // namespace

const QString ArticleWindow::kPickerTitle = QStringLiteral("Please choose to practice the article");
const QString ArticleWindow::kPickerFilter = QStringLiteral("Text Files (*.txt)");

ArticleWindow::ArticleWindow(const AppContext& context, const HandOver&, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form11"), 2, parent), m_files(context.folder),
      m_exercise(std::make_unique<ArticleExercise>(m_files)),
      m_recorder(context.history, PracticeMode::Articles) {
    setWindowTitle(QStringLiteral("Article practice"));
    buildWidgets();
    buildSettingsPanel();
    buildTimers();
    // A right-button menu from the page or the bar leaves the focus where it was.
    constexpr Route::Actions close = Route::HidePanel | Route::FocusInput | Route::Swallow;
    constexpr Route::Actions menu = Route::ThemeMenuKeepFocus | Route::Swallow;
    route({
        {"Picture2", Route::On::Move, Route::HidePanel},
        {"Picture2", Route::On::Press, close},
        {"Picture2", Route::On::RightRelease, menu},
        {"Picture3", Route::On::Move, Route::HidePanel},
        {"Picture3", Route::On::Press, close},
        {"Picture3", Route::On::RightRelease, menu},
        {"Command4", Route::On::Move, Route::HidePanel},
        // A click on the window's background only brings the focus back to the input box.
        {"Form11", Route::On::Press, Route::FocusInput},
        {"Command7", Route::On::Release, Route::ThemeMenu},
    });

    const QFont pageFont = monospaceFont(fontChoice(PracticeFontWindow::Articles));
    m_page->setFont(pageFont);
    m_page->lower(); // under the banner, which it reaches into

    m_exercise->setQuestion([this](const QString& title, const QString& text) {
        if (text == ArticleExercise::kEndQuestion) // the end of the article: a run ends
            m_recorder.runEnded(m_exercise->articleTitle(), practiceTotals());
        return m_context.platform && m_context.platform->ask(this, title, text);
    });
    connect(m_exercise.get(), &ArticleExercise::changed, this, &ArticleWindow::render);
    m_exercise->restore(Articles::Sz2::parse(
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz2.txt")))));
}

ArticleWindow::~ArticleWindow() {
    // The page reads the exercise while it paints: it goes first.
    delete m_page;
    m_page = nullptr;
}

void ArticleWindow::buildWidgets() {
    m_page = new ArticlePage(*m_exercise, this);
    m_page->setGeometry(twipsRect(kPageLeft, kPageTop, kPageWidth, kPageHeight));
    m_page->notice()->setGeometry(QRect(560, 140, 180, 22));

    // The bar under the banner: the meters, then the lesson and settings buttons.
    m_topBar = new PaperBar(this);
    m_topBar->setObjectName(QStringLiteral("Picture3"));
    m_topBar->setGeometry(twipsRect(0, kBarTop, kWindowWidthTwips, kBarHeight));
    Look::addMeters(m_topBar,
                    {{"Time", "Label40", "0:00:00", &m_clock},
                     {"Speed", "Label16", "0 WPM", &m_speed},
                     {"Accuracy", "Label22z", "0 %", &m_accuracy}},
                    -240, (kBarHeight - 480) / 2, 1380);
    for (QLabel* label : m_topBar->findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Label10"));
    m_title->hide();

    // The input box follows the cursor (geng) and shows nothing itself: what is typed
    // appears on the page.
    m_input = new InputBox(QStringLiteral("Text3"), this);
    m_input->setContextMenuPolicy(Qt::NoContextMenu);
    m_input->setFrame(false);
    m_input->resize(2, 2);
    Look::setOwnStyle(m_input, QStringLiteral("QLineEdit { background: transparent; color: "
                                              "transparent; border: none; }"));
    m_input->onKeyDown([this](int code) {
        if (code == KeyCode::Backspace) {
            m_exercise->keyPress(KeyCode::Backspace);
            return true;
        }
        if (code == KeyCode::Space)
            m_exercise->keyPress(KeyCode::Space);
        return false;
    });
    connect(m_input, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty())
            return;
        {
            const QSignalBlocker blocker(m_input);
            m_input->clear();
        }
        m_exercise->textChanged(text);
        m_recorder.practising();
    });
    m_typed = new QLineEdit(this);
    m_typed->setObjectName(QStringLiteral("Text2"));
    Look::styleTextHolder(m_typed);
    m_typed->hide();

    const int barButtonsTop = kBarTop + (kBarHeight - kButtonHeight) / 2;
    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command4"));
    m_selectLesson->setGeometry(twipsRect(kWindowWidthTwips - kBarButtonWidth - kButtonWidth - 420,
                                          barButtonsTop, kButtonWidth, kButtonHeight));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command6"));
    m_settings->setGeometry(twipsRect(kWindowWidthTwips - kBarButtonWidth - 300, barButtonsTop,
                                      kBarButtonWidth, kButtonHeight));
    connect(m_selectLesson, &QPushButton::clicked, this, &ArticleWindow::openChooser);
    connect(m_settings, &QPushButton::clicked, this, &ArticleWindow::openSettings);
    addShortcut(m_selectLesson, QKeySequence(Qt::ALT | Qt::Key_L));
    addShortcut(m_settings, QKeySequence(Qt::ALT | Qt::Key_S));

    // Below the page: "Previous", the page number, "Next".
    const int middle = kWindowWidthTwips / 2;
    m_previous = new QPushButton(QStringLiteral("Previous"), this);
    m_previous->setObjectName(QStringLiteral("Command2"));
    m_previous->setGeometry(
        twipsRect(middle - 450 - kButtonWidth, kPageButtonsTop, kButtonWidth, kButtonHeight));
    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_next->setObjectName(QStringLiteral("Command3"));
    m_next->setGeometry(twipsRect(middle + 450, kPageButtonsTop, kButtonWidth, kButtonHeight));
    m_pageNumber = new QLabel(QStringLiteral("1"), this);
    m_pageNumber->setObjectName(QStringLiteral("Label18"));
    m_pageNumber->setAlignment(Qt::AlignCenter);
    m_pageNumber->setFont(Look::uiFont(10, true));
    m_pageNumber->setGeometry(twipsRect(middle - 360, kPageButtonsTop, 720, kButtonHeight));
    Look::styleBadge(m_pageNumber, 7);
    connect(m_previous, &QPushButton::clicked, this, [this] {
        m_exercise->previousPage();
        focusInputBox();
    });
    connect(m_next, &QPushButton::clicked, this, [this] {
        m_exercise->nextPage();
        focusInputBox();
    });
    for (QPushButton* button : {m_selectLesson, m_settings, m_previous, m_next})
        button->setFocusPolicy(Qt::NoFocus);

    // Under the page buttons: the word that only the beginning of a long file is practised.
    m_fileNotice = new QLabel(this);
    m_fileNotice->setObjectName(QStringLiteral("fileNotice"));
    Look::styleStatusLine(m_fileNotice);
    m_fileNotice->setGeometry(twipsRect(middle - 3600, kPageButtonsTop + kButtonHeight + 90,
                                        7200, 330));
    m_fileNotice->hide();

    m_gamesLink = new ClickLabel(QStringLiteral("Online Typing Game"), this);
    m_gamesLink->setObjectName(QStringLiteral("Label6"));
    Look::styleGamesLink(m_gamesLink);
    m_gamesLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_gamesLink->setGeometry(
        twipsRect(kWindowWidthTwips - 2700, kPageButtonsTop, 2400, kButtonHeight));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });
}

void ArticleWindow::buildSettingsPanel() {
    SettingsPanel* panel = addSettingsPanel(QStringLiteral("Picture1"), 2760, 1260);
    panel->addThemesButton(QStringLiteral("Command7"));
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
    connect(m_sound, &QCheckBox::toggled, this,
            [this](bool on) { m_exercise->setKeystrokeSound(on); });
}

void ArticleWindow::buildTimers() {
    timers().add({
        {"Timer1", 6, TimerTable::OneShot, [this] { label4Click(); }},
        {"Timer2", 6, TimerTable::OneShot, [this] { label10Click(); }},
        {"Timer3", 600, TimerTable::Repeating, [this] { m_exercise->blinkTick(); }},
        {"Timer4", 500, TimerTable::Repeating, [this] { m_exercise->clockTick(); }},
        {"Timer5", 11, TimerTable::OneShot,
         [this] {
             m_recorder.countersReset(practiceTotals());
             m_exercise->meterReset();
         }},
    });
    timers().start("Timer3");
}

// --- rendering -----------------------------------------------------------------------------

void ArticleWindow::render(const ArticleUpdate& update) {
    const ArticleExercise& e = *m_exercise;
    m_page->apply(update);
    if (update.flags & ArticleUpdate::Cursor)
        geng();
    if (update.flags & ArticleUpdate::Meters) {
        m_clock->setText(e.clockText());
        m_speed->setText(e.speedText());
        m_accuracy->setText(e.accuracyText());
        if (e.clockRunning() != timers().isActive("Timer4"))
            e.clockRunning() ? timers().start("Timer4") : timers().stop("Timer4");
    }
    if (update.flags & ArticleUpdate::Buttons) {
        m_pageNumber->setText(QString::number(e.pageNumber()));
        m_previous->setEnabled(e.previousEnabled());
        m_next->setEnabled(e.nextEnabled());
    }
    if (update.flags & ArticleUpdate::Article) {
        setWindowTitle(e.caption());
        m_title->setText(e.articleTitle());
        m_fileNotice->setText(e.fileNotice());
        m_fileNotice->setVisible(!e.fileNotice().isEmpty());
        if (m_sound->isChecked() != e.keystrokeSound()) {
            const QSignalBlocker blocker(m_sound);
            m_sound->setChecked(e.keystrokeSound());
        }
    }
    if (update.flags & ArticleUpdate::MeterReset)
        timers().start("Timer5");
    if (m_typed->text() != e.typedText())
        m_typed->setText(e.typedText());
    for (PracticeSound sound : update.sounds)
        playSound(sound);
    if (update.flags & ArticleUpdate::OpenChooser)
        QTimer::singleShot(0, this, &ArticleWindow::openChooser);
}

void ArticleWindow::geng() {
    const int column = m_exercise->column();
    const int row = m_exercise->pageRow();
    m_input->move(twipsPoint(180 * column + 222, 955 * (row - 2) + 2500));
}

// --- loading -------------------------------------------------------------------------------

void ArticleWindow::openChooser() {
    hideSettingsPanel();
    ArticleChooser chooser(this);
    chooser.exec();
    if (chooser.choice() == ArticleChooser::Choice::Catalogue) {
        m_chosenTitle = chooser.chosenTitle();
        timers().start("Timer2");
    } else if (chooser.choice() == ArticleChooser::Choice::Optional) {
        timers().start("Timer1");
    }
    focusInputBox();
}

void ArticleWindow::label10Click() {
    m_exercise->openCatalogueArticle(m_chosenTitle);
    focusInputBox();
}

void ArticleWindow::label4Click() {
    QString path;
    if (m_context.platform)
        path = m_context.platform->pickTextFile(this, kPickerTitle, kPickerFilter,
                                                m_context.folder.path(QStringLiteral("\\text\\")));
    m_exercise->openFile(path);
    focusInputBox();
}

// --- the frame -----------------------------------------------------------------------------

QWidget* ArticleWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> ArticleWindow::exemptControls() const {
    return {m_page, m_typed, m_input};
}

ProgressRecorder::Totals ArticleWindow::practiceTotals() const {
    const QString& record = m_exercise->keyRecord();
    return {m_exercise->tickCount() / 2, record.size(), record.count(u'0')};
}

void ArticleWindow::saveState() {
    m_recorder.windowUnloaded(m_exercise->articleTitle(), practiceTotals());
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz2.txt")),
                         m_exercise->state().format());
}

void ArticleWindow::openSettings() {
    const QRect button = m_settings->geometry();
    showSettingsPanel(QPoint(button.left() - twips(kPanelLeftOfButton), button.top()));
}
