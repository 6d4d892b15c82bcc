#include "words/ui/word_window.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/maker.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "frame/navigation_banner.h"
#include "frame/navigator.h"
#include "frame/settings_panel.h"
#include "look/look.h"
#include "platform/platform.h"
#include "words/model/word_lessons.h"
#include "words/ui/keyboard_panel.h"
#include "words/ui/word_chooser.h"
#include "words/ui/word_look.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

namespace {

// Design values, twips. Positions inside the word panel are relative to the panel.
constexpr int kPanelTop = 860;
constexpr int kPanelHeight = 2100;
constexpr int kMetersTop = 3060; // in the window, below the word panel
constexpr int kArrowTop = 900;
constexpr int kArrowSize = 660;
constexpr int kWordAboveArrow = 144;
constexpr int kWordHeight = 960;
constexpr int kBandTop = 600;
constexpr int kBandHeight = 1272;
constexpr int kInputTop = 4260;
constexpr int kInputHeight = 690;
constexpr int kMarksAboveInput = 288;
constexpr int kHintAboveInput = 180;
constexpr int kHintHeight = 360;
constexpr int kKeyboardTop = 5160;
constexpr int kReferenceHeight = 780;
constexpr int kWordPadding = 12;    // pixels each side of the word, overlays included
constexpr int kBandInset = 90;      // the teal band stays this far inside the window
constexpr int kInputTextMargin = 7; // pixels each side of the typed text: frame and margin

// The font at its size, or smaller in half points, so that `text` is at most `width` wide.
QFont fitted(QFont font, const QString& text, qreal width) {
    while (font.pointSizeF() > 6 && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

} // namespace

// The word panel: a calm card with the teal band behind the word and its arrows.
class WordPanel : public QWidget {
  public:
    explicit WordPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture2"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setBand(const QRect& band) {
        if (band != m_band) {
            m_band = band;
            setProperty("band", band);
            update();
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        Look::paintPaper(p, rect(), palette());
        p.setPen(Qt::NoPen);
        p.setBrush(WordLook::kTeal);
        p.drawRoundedRect(QRectF(m_band), 14, 14);
        p.setBrush(WordLook::onTeal(28));
        p.drawRoundedRect(QRectF(m_band.adjusted(0, 0, 0, -m_band.height() / 2)), 14, 14);
    }

  private:
    QRect m_band;
};

// A round arrow button left or right of the word.
class ArrowPicture : public ClickLabel {
  public:
    ArrowPicture(const QString& name, bool pointsLeft, QWidget* parent)
        : ClickLabel(QString(), parent), m_left(pointsLeft) {
        setObjectName(name);
        setCursor(Qt::PointingHandCursor);
        setToolTip(QStringLiteral("You can use the right and left direction key fast operation"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
        const bool on = isEnabled();
        p.setPen(QPen(WordLook::onTeal(on ? 235 : 90), 2));
        p.setBrush(WordLook::onTeal(on ? 40 : 10));
        p.drawEllipse(r);
        QPainterPath chevron;
        const QPointF c = r.center();
        const qreal s = r.width() * 0.18;
        const qreal dir = m_left ? 1 : -1;
        chevron.moveTo(c.x() + dir * s * 0.6, c.y() - s * 1.2);
        chevron.lineTo(c.x() - dir * s * 0.8, c.y());
        chevron.lineTo(c.x() + dir * s * 0.6, c.y() + s * 1.2);
        p.setPen(
            QPen(WordLook::onTeal(on ? 255 : 90), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(chevron);
    }

  private:
    bool m_left;
};

// A row of marks over the typed characters: "." for a right one, "_" for a wrong one.
// The text is the marks themselves; they are drawn to sit exactly above the input's
// characters, which share the row's monospaced font.
class MarksRow : public QLabel {
  public:
    MarksRow(const QString& name, QColor colour, QWidget* parent)
        : QLabel(parent), m_colour(colour) {
        setObjectName(name);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setStyleSheet(QStringLiteral("QLabel { background: transparent; }"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QString marks = text();
        if (marks.trimmed().isEmpty())
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_colour);
        const qreal advance = QFontMetricsF(font()).horizontalAdvance(u'M');
        const qreal dot = std::min(3.2, advance * 0.19);
        for (qsizetype i = 0; i < marks.size(); ++i) {
            const qreal x = i * advance;
            if (marks[i] == u'.')
                p.drawEllipse(QPointF(x + advance / 2, height() - 6.5), dot, dot);
            else if (marks[i] == u'_')
                p.drawRoundedRect(QRectF(x + 2, height() - 5.5, advance - 4, 4), 1.5, 1.5);
        }
    }

  private:
    QColor m_colour;
};

// The light strip the two mark rows lie on, so that the blue and the red marks stand out
// under every skin.
class MarkStrip : public QWidget {
  public:
    explicit MarkStrip(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("markStrip"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        WordLook::paintMarkStrip(p, rect());
    }
};

WordWindow::WordWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form1"), 1, parent) {
    setWindowTitle(QStringLiteral("Word practice"));
    buildWidgets();

    // The word display and its overlays share one monospaced font, cell by cell.
    m_wordFont = monospaceFont(fontChoice(PracticeFontWindow::Words));
    for (QLabel* label : {m_word, m_correctOverlay, m_wrongOverlay})
        label->setFont(m_wordFont);
    m_keyboard->loadScaling(m_reference->height());
    m_keyboard->move((width() - m_keyboard->width()) / 2, twips(kKeyboardTop));

    TimerTable& t = timers();
    m_loaderTimer = t.add("Timer1", 55, TimerTable::OneShot, [this] { runLoader(); });
    QTimer* clock =
        t.add("Timer6", 1000, TimerTable::Repeating, [this] { m_exercise.clockTick(); });
    QTimer* idle = t.add("Timer2", 1000, TimerTable::Repeating, [this] { m_exercise.idleTick(); });
    m_messageTimer =
        t.add("Timer2ts", 2222, TimerTable::OneShot, [this] { m_exercise.messageTimeout(); });
    // A late click is worse than none.
    m_soundTimers[0] = t.add("Timer4", 11, TimerTable::PreciseOneShot,
                             [this] { soundTick(PracticeSound::Keystroke); });
    m_soundTimers[1] = t.add("Timer5", 11, TimerTable::PreciseOneShot,
                             [this] { soundTick(PracticeSound::Error); });
    attachModel(&m_exercise, PracticeMode::Words, clock);
    route({
        {this, Route::On::Move, Route::HidePanel},
        {this, Route::On::Press, Route::HidePanel | Route::FocusInput},
        {this, Route::On::RightRelease, Route::ThemeMenu},
        {m_keyboard->picture(), Route::On::Move, Route::HidePanel},
        {m_selectLesson, Route::On::Move, Route::HidePanel},
        {m_themes, Route::On::Release, Route::ThemeMenu},
    });

    m_exercise.restore(WordLessons::Sz1::parse(
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz1.txt")))));
    // The hint keyboard is the learner's: its caps and frames follow their layout. (Asked for
    // last: at the first start in a layout, it is read while the window is built.)
    m_keyboard->setKeyboardLayout(keyboardLayout(m_context));
    m_exercise.setKeyboardLayout(keyboardLayout(m_context));
    if (m_context.keyboard) {
        // The keyboard of the desktop changed while the window is open.
        connect(m_context.keyboard, &KeyboardChoice::layoutChanged, this, [this] {
            m_keyboard->setKeyboardLayout(keyboardLayout(m_context));
            m_exercise.setKeyboardLayout(keyboardLayout(m_context));
        });
    }
    idle->start();
    startLoader();
}

void WordWindow::buildWidgets() {
    m_wordPanel = new WordPanel(this);
    m_wordPanel->setGeometry(twipsRect(0, kPanelTop, kWindowWidthTwips, kPanelHeight));
    Look::setOwnStyle(m_wordPanel, QStringLiteral("QLabel { background: transparent; }"));

    auto* itemCaption = new QLabel(QStringLiteral("No."), m_wordPanel);
    Look::styleCaption(itemCaption, 9, true);
    itemCaption->setGeometry(twipsRect(360, 210, 480, 300));
    m_itemNumber = new QLabel(QStringLiteral("1"), m_wordPanel);
    m_itemNumber->setObjectName(QStringLiteral("Label777"));
    Look::styleBadge(m_itemNumber);
    m_itemNumber->setGeometry(twipsRect(840, 200, 900, 300));

    m_word = new QLabel(m_wordPanel);
    m_word->setObjectName(QStringLiteral("Label6ts"));
    WordLook::styleWordDisplay(m_word);
    m_correctOverlay = new QLabel(m_wordPanel);
    m_correctOverlay->setObjectName(QStringLiteral("Label4"));
    m_correctOverlay->setStyleSheet(Look::labelStyle(WordLook::kCorrect));
    m_wrongOverlay = new QLabel(m_wordPanel);
    m_wrongOverlay->setObjectName(QStringLiteral("Label6"));
    m_wrongOverlay->setStyleSheet(Look::labelStyle(Look::kWrong));
    for (QLabel* label : {m_word, m_correctOverlay, m_wrongOverlay}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setContentsMargins(kWordPadding, 0, kWordPadding, 0);
        label->setTextFormat(Qt::PlainText);
    }
    m_correctOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_wrongOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_previous = new ArrowPicture(QStringLiteral("Image4"), true, m_wordPanel);
    m_next = new ArrowPicture(QStringLiteral("Image5"), false, m_wordPanel);
    for (ClickLabel* arrow : {m_previous, m_next})
        arrow->resize(twipsSize(kArrowSize, kArrowSize));
    connect(m_previous, &ClickLabel::clicked, &m_exercise, &WordExercise::stepPrevious);
    connect(m_next, &ClickLabel::clicked, &m_exercise, &WordExercise::stepNext);

    // Meters below the panel, on the window's own ground, so that they follow the skin.
    Look::addMeters(this,
                    {{"Time (s)", "Label23", "0", &m_seconds},
                     {"Speed", "Label1", "0 WMP", &m_speed},
                     {"Accuracy", "Label5", "0 %", &m_accuracy}},
                    2100, kMetersTop);
    m_speed->setToolTip(kSpeedToolTip);

    // The exercise owns the typed text: the box feeds it the user's keys and edits and
    // mirrors what it holds.
    m_input = new InputBox(QStringLiteral("Text1"), this);
    m_input->setToolTip(QStringLiteral(
        "Type the character above, the space bar to determine, enter the key to empty."));
    m_inputFont = monospaceFont(QStringLiteral("Consolas"), 26, true);
    m_input->setFont(m_inputFont);
    m_input->onKeyDown([this](int code) {
        m_exercise.keyDown(code);
        return (code == KeyCode::Enter || code == KeyCode::Space) && m_exercise.keyPress(code);
    });
    connect(m_input, &InputBox::pressed, &m_exercise, &WordExercise::clickInput);
    connect(m_input, &QLineEdit::textEdited, &m_exercise, &WordExercise::textChanged);

    m_markStrip = new MarkStrip(this);
    m_correctMarks = new MarksRow(QStringLiteral("Label4dc"), Look::kRightMark, this);
    m_wrongMarks = new MarksRow(QStringLiteral("Label5dc"), Look::kWrong, this);

    m_readyHint = new QLabel(WordExercise::kReadyHint, this);
    m_readyHint->setObjectName(QStringLiteral("Label8dc"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("Label5zd"));
    for (QLabel* label : {m_readyHint, m_message}) {
        Look::styleStatusLine(label);
        label->hide();
    }

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command3kcsz"));
    m_selectLesson->setGeometry(twipsRect(8520, 4365, 1800, 510));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command2"));
    m_settings->setGeometry(twipsRect(10440, 4365, 1260, 510));
    for (QPushButton* button : {m_selectLesson, m_settings})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_selectLesson, &QPushButton::clicked, this, &WordWindow::openChooser);
    connect(m_settings, &QPushButton::clicked, this, &WordWindow::openSettings);
    addShortcut(m_selectLesson, QKeySequence(Qt::ALT | Qt::Key_L));
    addShortcut(m_settings, QKeySequence(Qt::ALT | Qt::Key_S));

    m_keyboard = new KeyboardPanel(this);
    m_reference = new QPushButton(this);
    m_reference->setObjectName(QStringLiteral("Command1"));
    m_reference->setGeometry(twipsRect(0, 0, 1200, kReferenceHeight));
    m_reference->hide();

    SettingsPanel* panel = addSettingsPanel(QStringLiteral("Picture7"), 2760, 1680);
    m_themes = panel->addThemesButton(QStringLiteral("Command4"));
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
    m_keyedTips = panel->addSwitch(QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 1170);
    // The switches belong to the exercise: a click tells it, and the boxes mirror it.
    connect(m_sound, &QCheckBox::clicked, &m_exercise, &WordExercise::setKeystrokeSound);
    connect(m_keyedTips, &QCheckBox::clicked, &m_exercise, &WordExercise::setKeyedTips);
}

QWidget* WordWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> WordWindow::exemptControls() const {
    return {m_wordPanel, m_keyboard, m_input};
}

void WordWindow::saveState() {
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz1.txt")),
                         m_exercise.state().format());
}

void WordWindow::startLoader() {
    m_loaderTimer->start();
}

void WordWindow::runLoader() {
    m_exercise.loadList(
        WordLessons::readList(m_context.folder, m_exercise.lessonName(), m_exercise.wordIndex()));
    setWindowTitle(m_exercise.caption().isEmpty() ? QStringLiteral("Word practice")
                                                  : m_exercise.caption());
    focusInputBox();
    banner()->markOwnEntry();
    m_selectLesson->show();
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz1-yj.txt")),
                         m_exercise.lessonName());
}

void WordWindow::takeHandOver(const HandOver& handOver) {
    if (!handOver.wordLesson)
        return;
    m_exercise.takeLesson(*handOver.wordLesson);
    startLoader();
}

void WordWindow::openChooser() {
    hideSettingsPanel();
    WordChooser chooser(m_context.platform, Maker::kGamesPage, window());
    if (chooser.exec() == QDialog::Accepted && !chooser.chosenCaption().isEmpty())
        applyChoice(chooser.chosenCaption());
    focusInputBox();
}

void WordWindow::applyChoice(const QString& caption) {
    m_exercise.startLesson(WordLessons::lessonNameFromCaption(caption));
    startLoader();
}

void WordWindow::openSettings() {
    const QRect button = m_settings->geometry();
    const QPoint topLeft(button.left() + button.width() - settingsPanel()->width() + twips(66),
                         button.top() - twips(111));
    showSettingsPanel(topLeft);
}

void WordWindow::timer3tWork() {
    banner()->markOwnEntry();
    m_selectLesson->show();
    layoutForTarget();
}

void WordWindow::layoutForTarget() {
    const QString& target = m_exercise.targetWord();
    const int boxWidth = std::clamp(330 * int(std::min<qsizetype>(target.size(), 100)), 1980, 4200);
    const int boxLeft = twips((kWindowWidthTwips - boxWidth) / 2);
    m_input->setGeometry(boxLeft, twips(kInputTop), twips(boxWidth), twips(kInputHeight));
    // A long item is typed in a smaller font, so that all of it stays in view.
    const QFont inputFont =
        fitted(m_inputFont, target + u' ', twips(boxWidth) - 2 * kInputTextMargin);
    if (m_input->font() != inputFont)
        m_input->setFont(inputFont);

    // The word, its arrows and the band behind them stay inside the window: the side of the
    // band, the arrow and its gap, then the word's own padding.
    const int aside = twips(kBandInset + 630 + kArrowSize + 260) + 1;
    const QFont wordFont =
        fitted(m_wordFont, target, width() - 2 * aside - 2 * kWordPadding - 2 * twips(50));
    const QFontMetrics metrics(wordFont);
    const int wordWidth = metrics.horizontalAdvance(target) + 2 * kWordPadding;
    const int wordLeft = (width() - wordWidth) / 2 - twips(50);
    const int arrowTop = twips(kArrowTop);
    const QRect word(wordLeft, arrowTop - twips(kWordAboveArrow), wordWidth, twips(kWordHeight));
    for (QLabel* label : {m_word, m_correctOverlay, m_wrongOverlay}) {
        if (label->font() != wordFont)
            label->setFont(wordFont);
        label->setGeometry(word);
    }
    m_word->lower();
    m_previous->move(word.left() - m_previous->width() - twips(260), arrowTop);
    m_next->move(word.right() + 1 + twips(260), arrowTop);
    m_wordPanel->setBand(
        QRect(QPoint(m_previous->x() - twips(630), twips(kBandTop)),
              QPoint(m_next->geometry().right() + twips(620), twips(kBandTop + kBandHeight))));

    // The marks share the input's font, so each sits over the character it judges.
    const QFontMetricsF inputMetrics(inputFont);
    const int marksWidth = int(inputMetrics.horizontalAdvance(u'M') * (target.size() + 20));
    const int marksTop = twips(kInputTop - kMarksAboveInput);
    for (QLabel* marks :
         {static_cast<QLabel*>(m_correctMarks), static_cast<QLabel*>(m_wrongMarks)}) {
        marks->setFont(inputFont);
        marks->setGeometry(boxLeft + twips(66), marksTop, marksWidth, twips(kMarksAboveInput));
    }
    m_markStrip->setGeometry(boxLeft, marksTop - 2, twips(boxWidth),
                             twips(kInputTop) - marksTop + 1);
    m_markStrip->lower();
    const int hintTop = twips(kInputTop - kHintAboveInput - kHintHeight);
    for (QLabel* label : {m_readyHint, m_message}) {
        const int w = label->sizeHint().width();
        label->setGeometry((width() - w) / 2, hintTop, w, twips(kHintHeight));
    }
}

// One change of the exercise, rendered in one pass.
void WordWindow::render(const ModelEvents& events) {
    const auto what = WordExercise::Changes::fromInt(events.display);
    if (what & WordExercise::TypedText && m_input->text() != m_exercise.typedText())
        m_input->setText(m_exercise.typedText());
    if (what & WordExercise::Target)
        layoutForTarget();
    if (what & WordExercise::Display)
        renderDisplay();
    if (what & WordExercise::Clock)
        renderClock();
    if (what & WordExercise::MessageShown)
        m_messageTimer->start();
}

// A request while a sound timer is armed joins it: one sound for keys that come together.
void WordWindow::requestSound(PracticeSound sound) {
    TimerTable::run(m_soundTimers[sound == PracticeSound::Keystroke ? 0 : 1], true);
}

void WordWindow::renderDisplay() {
    const WordExercise& e = m_exercise;
    if (m_word->text() != e.targetWord())
        m_word->setText(e.targetWord());
    m_correctOverlay->setText(e.correctOverlay());
    m_wrongOverlay->setText(e.wrongOverlay());
    m_correctMarks->setText(e.correctMarks());
    m_wrongMarks->setText(e.wrongMarks());
    m_readyHint->setVisible(e.readyHintVisible());
    if (m_message->text() != e.messageText()) {
        m_message->setText(e.messageText());
        const int w = m_message->sizeHint().width();
        m_message->setGeometry((width() - w) / 2, m_message->y(), w, m_message->height());
    }
    m_message->setVisible(e.messageVisible());
    m_itemNumber->setText(QString::number(e.wordIndex()));
    m_previous->setEnabled(e.previousAllowed());
    m_next->setEnabled(e.nextAllowed());
    m_keyedTips->setChecked(e.keyedTips());
    m_sound->setChecked(e.keystrokeSound());
    m_keyboard->showHint(e.hintKey());
}

void WordWindow::renderClock() {
    m_seconds->setText(QString::number(m_exercise.activeSeconds()));
    m_speed->setText(m_exercise.speedText());
    m_accuracy->setText(m_exercise.accuracyText());
}

// The sound timers ask the exercise whether "Keystroke sound" is still on when they fire.
void WordWindow::soundTick(PracticeSound sound) {
    if (m_exercise.keystrokeSound())
        playSound(sound);
}
