#include "words/word_window.h"

#include "shell/click_label.h"
#include "shell/key_codes.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/state_file.h"
#include "shell/twips.h"
#include "words/keyboard_panel.h"
#include "words/word_chooser.h"
#include "words/word_lessons.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

// Design values, twips. Positions inside the word panel are relative to the panel.
constexpr int kPanelTop = 860;
constexpr int kPanelHeight = 2700;
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
constexpr int kWordPadding = 12; // pixels each side of the word, overlays included

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
            update();
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient paper(0, 0, 0, height());
        paper.setColorAt(0, QColor(0xf7, 0xfa, 0xfd));
        paper.setColorAt(1, QColor(0xec, 0xf2, 0xf8));
        p.fillRect(rect(), paper);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 128));
        p.drawRoundedRect(QRectF(m_band), 14, 14);
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(m_band.adjusted(0, 0, 0, -m_band.height() / 2)), 14, 14);
        p.setPen(QColor(0xd5, 0xde, 0xe8));
        p.drawLine(0, height() - 1, width(), height() - 1);
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
        p.setPen(QPen(QColor(255, 255, 255, on ? 235 : 90), 2));
        p.setBrush(QColor(255, 255, 255, on ? 40 : 10));
        p.drawEllipse(r);
        QPainterPath chevron;
        const QPointF c = r.center();
        const qreal s = r.width() * 0.18;
        const qreal dir = m_left ? 1 : -1;
        chevron.moveTo(c.x() + dir * s * 0.6, c.y() - s * 1.2);
        chevron.lineTo(c.x() - dir * s * 0.8, c.y());
        chevron.lineTo(c.x() + dir * s * 0.6, c.y() + s * 1.2);
        p.setPen(QPen(QColor(255, 255, 255, on ? 255 : 90), 3.2, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
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
        for (qsizetype i = 0; i < marks.size(); ++i) {
            const qreal x = i * advance;
            if (marks[i] == u'.')
                p.drawEllipse(QPointF(x + advance / 2, height() - 6.5), 3.2, 3.2);
            else if (marks[i] == u'_')
                p.drawRoundedRect(QRectF(x + 2, height() - 5, advance - 4, 3.5), 1.5, 1.5);
        }
    }

  private:
    QColor m_colour;
};

WordWindow::WordWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form1"), 1, parent) {
    setWindowTitle(QStringLiteral("Word practice"));
    buildWidgets();
    connectModel();
    commonLoadChores();

    // The word display and its overlays share one monospaced font, cell by cell.
    const QFont wordFont = monospaceFont(fontChoice(PracticeFontWindow::Words));
    for (QLabel* label : {m_word, m_correctOverlay, m_wrongOverlay})
        label->setFont(wordFont);
    m_keyboard->loadScaling(m_reference->height());
    m_keyboard->move((width() - m_keyboard->width()) / 2, twips(kKeyboardTop));

    restoreState();
    m_idle->start();
    startLoader();
}

void WordWindow::buildWidgets() {
    setMouseTracking(true);

    m_wordPanel = new WordPanel(this);
    m_wordPanel->setGeometry(twipsRect(0, kPanelTop, kWindowWidthTwips, kPanelHeight));
    Look::setOwnStyle(m_wordPanel, QStringLiteral("QLabel { background: transparent; }"));

    auto* itemCaption = new QLabel(QStringLiteral("No."), m_wordPanel);
    itemCaption->setStyleSheet(Look::labelStyle("#5b6b7c"));
    itemCaption->setFont(Look::uiFont(9, true));
    itemCaption->setGeometry(twipsRect(360, 210, 480, 300));
    m_itemNumber = new QLabel(QStringLiteral("1"), m_wordPanel);
    m_itemNumber->setObjectName(QStringLiteral("Label777"));
    m_itemNumber->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: #2f6fb8; border-radius: 9px; padding: 0 8px; }"));
    m_itemNumber->setFont(Look::uiFont(9.5, true));
    m_itemNumber->setAlignment(Qt::AlignCenter);
    m_itemNumber->setGeometry(twipsRect(840, 200, 900, 300));

    m_word = new QLabel(m_wordPanel);
    m_word->setObjectName(QStringLiteral("Label6ts"));
    m_word->setStyleSheet(
        QStringLiteral("QLabel { color: black; background: white; border-radius: 8px; }"));
    m_correctOverlay = new QLabel(m_wordPanel);
    m_correctOverlay->setObjectName(QStringLiteral("Label4"));
    m_correctOverlay->setStyleSheet(Look::labelStyle("rgb(0, 192, 192)"));
    m_wrongOverlay = new QLabel(m_wordPanel);
    m_wrongOverlay->setObjectName(QStringLiteral("Label6"));
    m_wrongOverlay->setStyleSheet(Look::labelStyle("rgb(255, 0, 0)"));
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
    connect(m_previous, &ClickLabel::clicked, this, [this] { m_exercise.stepPrevious(); });
    connect(m_next, &ClickLabel::clicked, this, [this] { m_exercise.stepNext(); });

    // Meters along the bottom of the panel.
    Look::addMeters(m_wordPanel,
                    {{"Time (s)", "Label23", "0", &m_seconds},
                     {"Speed", "Label1", "0 WMP", &m_speed},
                     {"Accuracy", "Label5", "0 %", &m_accuracy}},
                    Look::MeterLayout::CaptionBefore, 2100, 2070);

    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("Text1"));
    m_input->setToolTip(QStringLiteral(
        "Type the character above, the space bar to determine, enter the key to empty."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 26, true));
    m_input->setAttribute(Qt::WA_InputMethodEnabled, false);
    Look::setOwnStyle(
        m_input,
        QStringLiteral("QLineEdit { color: #1f2a37; background: white; border: 2px solid #8fb0d3;"
                       " border-radius: 7px; padding: 0; selection-background-color: #2f6fb8; }"
                       "QLineEdit:focus { border-color: #2f6fb8; }"));
    m_input->installEventFilter(this);

    m_correctMarks = new MarksRow(QStringLiteral("Label4dc"), QColor(0, 0, 255), this);
    m_wrongMarks = new MarksRow(QStringLiteral("Label5dc"), QColor(255, 0, 0), this);

    m_readyHint = new QLabel(WordExercise::kReadyHint, this);
    m_readyHint->setObjectName(QStringLiteral("Label8dc"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("Label5zd"));
    for (QLabel* label : {m_readyHint, m_message}) {
        label->setStyleSheet(QStringLiteral(
            "QLabel { color: white; background: rgb(255, 128, 0); border-radius: 9px;"
            " padding: 0 14px; }"));
        label->setFont(Look::uiFont(10, true));
        label->setAlignment(Qt::AlignCenter);
        label->hide();
    }

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command3kcsz"));
    m_selectLesson->setGeometry(twipsRect(8520, 4365, 1800, 510));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command2"));
    m_settings->setGeometry(twipsRect(10440, 4365, 1260, 510));
    for (QPushButton* button : {m_selectLesson, m_settings}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
    connect(m_selectLesson, &QPushButton::clicked, this, &WordWindow::openChooser);
    connect(m_settings, &QPushButton::clicked, this, &WordWindow::openSettings);

    m_keyboard = new KeyboardPanel(this);
    Look::setOwnStyle(m_keyboard, QString());
    m_keyboard->picture()->setMouseTracking(true);
    m_keyboard->picture()->installEventFilter(this);
    m_reference = new QPushButton(this);
    m_reference->setObjectName(QStringLiteral("Command1"));
    m_reference->setGeometry(twipsRect(0, 0, 1200, kReferenceHeight));
    m_reference->hide();

    QWidget* panel = makeSettingsPanel(QStringLiteral("Picture7"), 2760, 1680);
    makeThemesButton(panel, QStringLiteral("Command4"));
    m_sound = makeSwitch(panel, QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 750);
    m_keyedTips = makeSwitch(panel, QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 1170);
    connect(m_keyedTips, &QCheckBox::clicked, &m_exercise, &WordExercise::setKeyedTips);

    auto timer = [this](const char* name, int interval, bool singleShot) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        t->setSingleShot(singleShot);
        return t;
    };
    m_loader = timer("Timer1", 55, true);
    m_clock = timer("Timer6", 1000, false);
    m_idle = timer("Timer2", 1000, false);
    m_messageTimer = timer("Timer2ts", 2222, true);
    m_keySound = timer("Timer4", 11, true);
    m_errorSound = timer("Timer5", 11, true);
    m_keySound->setTimerType(Qt::PreciseTimer); // a late click is worse than none
    m_errorSound->setTimerType(Qt::PreciseTimer);
    connect(m_loader, &QTimer::timeout, this, &WordWindow::runLoader);
    connect(m_clock, &QTimer::timeout, &m_exercise, &WordExercise::clockTick);
    connect(m_idle, &QTimer::timeout, &m_exercise, &WordExercise::idleTick);
    connect(m_messageTimer, &QTimer::timeout, &m_exercise, &WordExercise::messageTimeout);
    connect(m_keySound, &QTimer::timeout, this, [this] {
        if (m_sound->isChecked())
            playWave(keySoundPath);
    });
    connect(m_errorSound, &QTimer::timeout, this, [this] {
        if (m_sound->isChecked())
            playWave(errorSoundPath);
    });
}

void WordWindow::connectModel() {
    connect(m_input, &QLineEdit::textChanged, &m_exercise, &WordExercise::textChanged);
    connect(&m_exercise, &WordExercise::typedTextChanged, this, [this](const QString& text) {
        const QSignalBlocker blocker(m_input);
        m_input->setText(text);
    });
    connect(&m_exercise, &WordExercise::displayChanged, this, &WordWindow::render);
    connect(&m_exercise, &WordExercise::targetChanged, this, &WordWindow::layoutForTarget);
    connect(&m_exercise, &WordExercise::soundRequested, this, &WordWindow::requestSound);
    connect(&m_exercise, &WordExercise::messageShown, m_messageTimer, qOverload<>(&QTimer::start));
    connect(&m_exercise, &WordExercise::clockChanged, this, &WordWindow::renderClock);
    connect(&m_exercise, &WordExercise::projectCompleted, this, [this] {
        if (m_context.platform)
            m_context.platform->tell(this, WordExercise::kCompletionTitle,
                                     WordExercise::kCompletionText);
    });
}

QWidget* WordWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> WordWindow::exemptControls() const {
    return {m_wordPanel, m_keyboard, m_input};
}

void WordWindow::restoreState() {
    const QString field =
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz1.txt")));
    const WordLessons::Sz1 state = WordLessons::Sz1::parse(field);
    m_keyedTips->setChecked(state.keyedTips);
    m_sound->setChecked(state.keystrokeSound);
    m_exercise.keyedTips = state.keyedTips;
    m_exercise.wordIndex = state.wordIndex;
    m_exercise.lessonName = state.lessonName;
}

void WordWindow::saveState() {
    WordLessons::Sz1 state;
    state.keyedTips = m_keyedTips->isChecked();
    state.keystrokeSound = m_sound->isChecked();
    state.wordIndex = m_exercise.wordIndex;
    state.lessonName = m_exercise.lessonName;
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz1.txt")), state.format());
}

void WordWindow::startLoader() {
    m_loader->start();
}

void WordWindow::runLoader() {
    m_loader->stop();
    bool found = false;
    QString text = StateFile::readText(
        m_context.folder.path(WordLessons::listResource(m_exercise.lessonName)), &found);
    if (!found && m_exercise.lessonName != u"Lesson 1") {
        // A lesson whose list is gone starts the first lesson instead of an empty screen.
        m_exercise.lessonName = QStringLiteral("Lesson 1");
        m_exercise.wordIndex = 1;
        text = StateFile::readText(
            m_context.folder.path(WordLessons::listResource(m_exercise.lessonName)));
    }
    const QStringList lines = WordLessons::splitList(text);
    // A stored word beyond the end of the list starts the list again.
    if (WordLessons::TextBoxGetLine(lines, m_exercise.wordIndex).isEmpty())
        m_exercise.wordIndex = 1;
    m_exercise.loadList(lines);
    setWindowTitle(m_exercise.caption().isEmpty() ? QStringLiteral("Word practice")
                                                  : m_exercise.caption());
    focusInputBox();
    markNavigation();
    m_selectLesson->show();
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz1-yj.txt")),
                         m_exercise.lessonName);
}

void WordWindow::takeLessonFromHandOver() {
    const QString lesson =
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz1-yj.txt")));
    if (WordLessons::isKnownLesson(lesson))
        m_exercise.lessonName = lesson;
    startLoader();
}

void WordWindow::openChooser() {
    hideSettingsPanel();
    WordChooser chooser(m_context.platform, Maker::kGamesPage, this);
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
    markNavigation();
    m_selectLesson->show();
    layoutForTarget();
}

void WordWindow::layoutForTarget() {
    const QString& target = m_exercise.targetWord;
    const int boxWidth = std::clamp(330 * int(target.size()), 1980, 4200);
    const int boxLeft = twips((kWindowWidthTwips - boxWidth) / 2);
    m_input->setGeometry(boxLeft, twips(kInputTop), twips(boxWidth), twips(kInputHeight));

    const QFontMetrics metrics(m_word->font());
    const int wordWidth = metrics.horizontalAdvance(target) + 2 * kWordPadding;
    const int wordLeft = (width() - wordWidth) / 2 - twips(50);
    const int arrowTop = twips(kArrowTop);
    const QRect word(wordLeft, arrowTop - twips(kWordAboveArrow), wordWidth, twips(kWordHeight));
    for (QLabel* label : {m_word, m_correctOverlay, m_wrongOverlay})
        label->setGeometry(word);
    m_word->lower();
    m_previous->move(word.left() - m_previous->width() - twips(260), arrowTop);
    m_next->move(word.right() + 1 + twips(260), arrowTop);
    m_wordPanel->setBand(
        QRect(QPoint(m_previous->x() - twips(630), twips(kBandTop)),
              QPoint(m_next->geometry().right() + twips(620), twips(kBandTop + kBandHeight))));

    const QFontMetricsF inputMetrics(m_input->font());
    const int marksWidth = int(inputMetrics.horizontalAdvance(u'M') * (target.size() + 20));
    for (QLabel* marks :
         {static_cast<QLabel*>(m_correctMarks), static_cast<QLabel*>(m_wrongMarks)}) {
        marks->setFont(m_input->font());
        marks->setGeometry(boxLeft + twips(66), twips(kInputTop - kMarksAboveInput), marksWidth,
                           twips(kMarksAboveInput));
    }
    const int hintTop = twips(kInputTop - kHintAboveInput - kHintHeight);
    for (QLabel* label : {m_readyHint, m_message}) {
        const int w = label->sizeHint().width();
        label->setGeometry((width() - w) / 2, hintTop, w, twips(kHintHeight));
    }
}

void WordWindow::render() {
    const WordExercise& e = m_exercise;
    if (m_word->text() != e.targetWord)
        m_word->setText(e.targetWord);
    m_correctOverlay->setText(e.correctOverlay);
    m_wrongOverlay->setText(e.wrongOverlay);
    m_correctMarks->setText(e.correctMarks);
    m_wrongMarks->setText(e.wrongMarks);
    m_readyHint->setVisible(e.readyHintVisible);
    if (m_message->text() != e.messageText) {
        m_message->setText(e.messageText);
        const int w = m_message->sizeHint().width();
        m_message->setGeometry((width() - w) / 2, m_message->y(), w, m_message->height());
    }
    m_message->setVisible(e.messageVisible);
    m_itemNumber->setText(QString::number(e.wordIndex));
    m_previous->setEnabled(e.previousAllowed);
    m_next->setEnabled(e.nextAllowed);
    refreshHint();
}

void WordWindow::refreshHint() {
    m_keyboard->showHint(m_exercise.hintKey());
}

void WordWindow::renderClock() {
    if (m_exercise.clockRunning() && !m_clock->isActive())
        m_clock->start();
    else if (!m_exercise.clockRunning())
        m_clock->stop();
    m_seconds->setText(QString::number(m_exercise.activeSeconds()));
    m_speed->setText(m_exercise.speedText);
    m_accuracy->setText(m_exercise.accuracyText);
}

void WordWindow::requestSound(PracticeSound sound) {
    // A request while the timer is armed joins it: one sound for keys that come together.
    QTimer* timer = sound == PracticeSound::Keystroke ? m_keySound : m_errorSound;
    if (!timer->isActive())
        timer->start();
}

bool WordWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_input) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int code = virtualKeyCode(key);
            m_exercise.keyDown(code);
            if ((code == KeyCode::Enter || code == KeyCode::Space) &&
                m_exercise.keyPress(code))
                return true;
        } else if (event->type() == QEvent::MouseButtonPress) {
            m_exercise.clickInput();
        }
        return false;
    }
    if ((watched == m_keyboard->picture() || watched == m_selectLesson) &&
        event->type() == QEvent::MouseMove) {
        hideSettingsPanel();
    }
    return PracticeWindow::eventFilter(watched, event);
}

void WordWindow::mousePressEvent(QMouseEvent* event) {
    // The background and the word panel close the settings panel.
    hideSettingsPanel();
    focusInputBox();
    PracticeWindow::mousePressEvent(event);
}

void WordWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        popThemeMenu(event->globalPosition().toPoint());
    PracticeWindow::mouseReleaseEvent(event);
}

void WordWindow::mouseMoveEvent(QMouseEvent* event) {
    hideSettingsPanel();
    PracticeWindow::mouseMoveEvent(event);
}
