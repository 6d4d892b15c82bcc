#include "articles/ui/article_window.h"

#include "articles/ui/article_chooser.h"
#include "articles/ui/article_page.h"
#include "core/key_codes.h"
#include "core/maker.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "frame/settings_panel.h"
#include "look/look.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
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
      m_exercise(std::make_unique<ArticleExercise>(m_files)) {
    setWindowTitle(QStringLiteral("Article practice"));
    buildWidgets();
    buildSettingsPanel();
    buildTimers();
    // A right-button menu from the page or the bar leaves the focus where it was.
    constexpr Route::Actions close = Route::HidePanel | Route::FocusInput | Route::Swallow;
    constexpr Route::Actions menu = Route::ThemeMenuKeepFocus | Route::Swallow;
    route({
        {m_page, Route::On::Move, Route::HidePanel},
        {m_page, Route::On::Press, close},
        {m_page, Route::On::RightRelease, menu},
        {m_topBar, Route::On::Move, Route::HidePanel},
        {m_topBar, Route::On::Press, close},
        {m_topBar, Route::On::RightRelease, menu},
        {m_selectLesson, Route::On::Move, Route::HidePanel},
        // A click on the window's background only brings the focus back to the input box.
        {this, Route::On::Press, Route::FocusInput},
        {m_themes, Route::On::Release, Route::ThemeMenu},
    });

    const QFont pageFont = monospaceFont(fontChoice(PracticeFontWindow::Articles));
    m_page->setFont(pageFont);
    m_page->lower(); // under the banner, which it reaches into

    attachModel(m_exercise.get(), PracticeMode::Articles, m_clockTimer);
    m_exercise->setKeyboardLayout(keyboardLayout(m_context));
    if (m_context.keyboard) {
        connect(m_context.keyboard, &KeyboardChoice::layoutChanged, this,
                [this] { m_exercise->setKeyboardLayout(keyboardLayout(m_context)); });
    }
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
    m_topBar->setToolTip(kSpeedToolTip); // its meters let the pointer through to it

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
            // setText, not clear(): clear() is an edit the box keeps for undo, so every
            // character typed would stay in its undo list for as long as the window is open.
            const QSignalBlocker blocker(m_input);
            m_input->setText(QString());
        }
        m_exercise->textChanged(text);
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
    m_fileNotice->setGeometry(
        twipsRect(middle - 3600, kPageButtonsTop + kButtonHeight + 90, 7200, 330));
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
    m_themes = panel->addThemesButton(QStringLiteral("Command7"));
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
    connect(m_sound, &QCheckBox::toggled, this,
            [this](bool on) { m_exercise->setKeystrokeSound(on); });
}

void ArticleWindow::buildTimers() {
    TimerTable& t = timers();
    m_pickerTimer = t.add("Timer1", 6, TimerTable::OneShot, [this] { label4Click(); });
    m_catalogueTimer = t.add("Timer2", 6, TimerTable::OneShot, [this] { label10Click(); });
    QTimer* blink =
        t.add("Timer3", 600, TimerTable::Repeating, [this] { m_exercise->blinkTick(); });
    m_clockTimer = t.add("Timer4", 500, TimerTable::Repeating, [this] { m_exercise->clockTick(); });
    m_meterResetTimer =
        t.add("Timer5", 11, TimerTable::OneShot, [this] { m_exercise->meterReset(); });
    blink->start();
}

// --- rendering -----------------------------------------------------------------------------

void ArticleWindow::render(const ModelEvents& events) {
    const ArticleExercise& e = *m_exercise;
    const ArticleUpdate update = e.update(events);
    m_page->apply(update);
    if (update.flags & ArticleUpdate::Cursor)
        geng();
    if (update.flags & ArticleUpdate::Meters) {
        m_clock->setText(e.clockText());
        m_speed->setText(e.speedText());
        m_accuracy->setText(e.accuracyText());
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
        m_meterResetTimer->start();
    if (m_typed->text() != e.typedText())
        m_typed->setText(e.typedText());
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
    ArticleChooser chooser(window());
    chooser.exec();
    if (chooser.choice() == ArticleChooser::Choice::Catalogue) {
        m_chosenTitle = chooser.chosenTitle();
        m_catalogueTimer->start();
    } else if (chooser.choice() == ArticleChooser::Choice::Optional) {
        m_pickerTimer->start();
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
        path = m_context.platform->pickTextFile(window(), kPickerTitle, kPickerFilter,
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

void ArticleWindow::saveState() {
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz2.txt")),
                         m_exercise->state().format());
}

void ArticleWindow::openSettings() {
    const QRect button = m_settings->geometry();
    showSettingsPanel(QPoint(button.left() - twips(kPanelLeftOfButton), button.top()));
}
