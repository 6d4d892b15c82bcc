#include "keys/keys_window.h"

#include "keys/key_chooser.h"
#include "keys/keys_display.h"
#include "keys/keys_keyboard.h"
#include "shell/key_codes.h"
#include "shell/keyboard_table.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

// Design values, twips.
constexpr int kHeadingLeft = 1290, kHeadingTop = 1170, kHeadingWidth = 4875, kHeadingHeight = 255;
constexpr int kLineLeft = 1080, kLineTop = 2010;
constexpr int kPanelExtraHeight = 188;
constexpr int kRowGap = 44, kRowHeight = 630;
constexpr int kStatusLeft = 585, kStatusTop = 3720;
constexpr int kKeyboardLeft = 780, kKeyboardTop = 4752;
constexpr int kCardBottom = 4500;

// The window's background picture Image3: a paper card behind the lesson and the meters, the
// keyboard below it.
class KeysBackground : public QWidget {
  public:
    explicit KeysBackground(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Image3"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.setClipRegion(event->region());
        p.fillRect(rect(), palette().color(QPalette::Window));
        const int cardBottom = twips(kCardBottom);
        QLinearGradient paper(0, 0, 0, cardBottom);
        paper.setColorAt(0, QColor(0xf7, 0xfa, 0xfd));
        paper.setColorAt(1, QColor(0xec, 0xf2, 0xf8));
        p.fillRect(QRect(0, 0, width(), cardBottom), paper);
        p.setPen(Look::kLine);
        p.drawLine(0, cardBottom - 1, width(), cardBottom - 1);
    }
};

} // namespace

KeysWindow::KeysWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("form1yy"), 0, parent), m_exercise(context.folder) {
    setWindowTitle(QStringLiteral("Keys practice"));
    buildWidgets();
    buildSettingsPanel();
    buildTimers();
    commonLoadChores();
    m_background->setGeometry(rect());
    m_background->lower(); // under the banner too

    const QFont lineFont = monospaceFont(fontChoice(PracticeFontWindow::Keys));
    for (QWidget* w : {static_cast<QWidget*>(m_lineLabel), static_cast<QWidget*>(m_linePanel),
                       static_cast<QWidget*>(m_typedRow)})
        w->setFont(lineFont);
    m_exercise.setMeasure([metrics = QFontMetrics(lineFont)](const QString& text) {
        return metrics.horizontalAdvance(text);
    });
    m_exercise.setCapsLockQuery(
        [platform = m_context.platform] { return platform && platform->capsLockOn(); });
    connect(&m_exercise, &KeysExercise::changed, this, &KeysWindow::render);
    connect(&m_exercise, &KeysExercise::soundRequested, this, &KeysWindow::playSound);

    m_keyboard->loadBase(m_context.folder.path(KeysPictures::resource(KeysPictures::Role::Base)));
    m_exercise.restore(
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz0.txt"))));
    m_pictures->start();
}

void KeysWindow::buildWidgets() {
    m_background = new KeysBackground(this);
    m_background->setGeometry(rect());
    m_background->lower();
    m_background->installEventFilter(this);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("Label8"));
    m_heading->setFont(Look::uiFont(9.5, true));
    m_heading->setStyleSheet(Look::labelStyle(QStringLiteral("#1f2a37")));
    m_heading->setGeometry(
        twipsRect(kHeadingLeft, kHeadingTop - 40, kHeadingWidth, kHeadingHeight + 80));
    m_heading->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command1"));
    // A little wider than at design, to the left, so that no skin's padding cuts the caption.
    m_selectLesson->setGeometry(
        twipsRect(kHeadingLeft + kHeadingWidth + 1622 - 240, kHeadingTop - 111, 1620 + 240, 510));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command2"));
    m_settings->setGeometry(
        twipsRect(kHeadingLeft + kHeadingWidth + 1622 + 1620 + 160, kHeadingTop - 111, 1260, 510));
    for (QPushButton* button : {m_selectLesson, m_settings})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_selectLesson, &QPushButton::clicked, this, &KeysWindow::openChooser);
    connect(m_settings, &QPushButton::clicked, this, &KeysWindow::openSettings);

    m_lineLabel = new QLabel(this);
    m_lineLabel->setObjectName(QStringLiteral("Label3"));
    m_lineLabel->move(twipsPoint(kLineLeft, kLineTop));
    m_lineLabel->hide();

    m_linePanel = new PracticeLinePanel(this);
    m_typedRow = new TypedRow(this);
    connect(m_linePanel, &PracticeLinePanel::pointerMoved, this, &KeysWindow::closePanelAndFocus);
    connect(m_typedRow, &TypedRow::pointerMoved, this, [this] { hideSettingsPanel(); });
    connect(m_typedRow, &TypedRow::clicked, this, &KeysWindow::closePanelAndFocus);

    m_status = new KeysStatusBar(this);
    m_status->move(twipsPoint(kStatusLeft, kStatusTop));

    m_keyboard = new KeysKeyboard(this);
    m_keyboard->setGeometry(twipsRect(kKeyboardLeft, kKeyboardTop,
                                      KeyboardTable::kKeysKeyboardWidthTwips,
                                      KeyboardTable::kKeysKeyboardHeightTwips));
    connect(m_keyboard, &KeysKeyboard::clicked, this, [this] { focusInputBox(); });

    // The input boxes lie out of sight; Text1 keeps the focus and holds what was typed,
    // newest first.
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("Text1"));
    m_input->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_input->setContextMenuPolicy(Qt::NoContextMenu);
    m_input->setGeometry(-twips(6000), -twips(6000), 80, 24);
    m_input->installEventFilter(this);
    connect(m_input, &QLineEdit::textChanged, &m_exercise, &KeysExercise::textChanged);
    m_readIn = new QLineEdit(this);
    m_readIn->setObjectName(QStringLiteral("Text2"));
    m_capitals = new QLineEdit(this);
    m_capitals->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit* box : {m_readIn, m_capitals}) {
        box->setGeometry(-twips(6000), -twips(6000), 80, 24);
        box->setFocusPolicy(Qt::NoFocus);
    }
}

void KeysWindow::buildSettingsPanel() {
    QWidget* panel = makeSettingsPanel(QStringLiteral("Picture7"), 2505, 1680);
    m_keyedTips = makeSwitch(panel, QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 144);
    m_keyedTips->setGeometry(twipsRect(168, 144, 1770, 345));
    m_sound = makeSwitch(panel, QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 570);
    m_sound->setGeometry(twipsRect(168, 570, 2145, 345));
    QPushButton* themes = makeThemesButton(panel, QStringLiteral("Command3"));
    themes->setGeometry(twipsRect(360, 1095, 1725, 420));
    connect(m_keyedTips, &QCheckBox::clicked, &m_exercise, &KeysExercise::setKeyedTips);
    connect(m_sound, &QCheckBox::clicked, &m_exercise, &KeysExercise::setKeystrokeSound);
}

void KeysWindow::buildTimers() {
    // The window's timers: name, interval, one-shot, and what a tick does.
    struct TimerRow {
        const char* name;
        int interval;
        bool singleShot;
        QTimer** timer;
        std::function<void()> tick;
    };
    const TimerRow rows[] = {
        {"Timer1", 5, true, &m_capsProbe, [this] { m_exercise.capsProbeTick(); }},
        {"Timer2", 555, true, &m_tabMark, [this] { m_exercise.tabMarkTick(); }},
        {"Timer3", 55, true, &m_pictures, [this] { completePictures(); }},
        {"Timer4", 1000, false, &m_clock, [this] { m_exercise.clockTick(); }},
    };
    for (const TimerRow& row : rows) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(row.name));
        t->setInterval(row.interval);
        t->setSingleShot(row.singleShot);
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, row.tick);
        *row.timer = t;
    }
}

QWidget* KeysWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> KeysWindow::exemptControls() const {
    return {m_keyboard, m_typedRow, m_linePanel, m_status, m_readIn, m_capitals, m_input};
}

void KeysWindow::render(KeysExercise::Changes changes) {
    using C = KeysExercise::Change;
    if (changes & C::LessonChanged)
        m_heading->setText(m_exercise.heading());
    if (changes & C::LineChanged)
        layoutLine();
    if (changes & (C::CursorMoved | C::LineChanged))
        m_linePanel->setCursorAfter(m_exercise.cursorPos() - 1);
    if (changes & (C::TypedRowChanged | C::LineChanged))
        m_typedRow->setRow(m_exercise.typedRowRight(), m_exercise.typedRowWrong(),
                           m_exercise.nextCellX());
    if (changes & C::MarksChanged)
        m_keyboard->setMarks(m_exercise.marks());
    if (changes & (C::MetersChanged | C::ClockChanged)) {
        m_status->setTime(m_exercise.timeText());
        m_status->setSpeed(m_exercise.speedText());
        m_status->setAccuracy(m_exercise.accuracyText());
        m_status->setProgress(m_exercise.progressPercent());
    }
    if (changes & C::ClockChanged) {
        if (!m_exercise.clockRunning())
            m_clock->stop();
        else if (!m_clock->isActive())
            m_clock->start();
    }
    if (changes & C::CapsIndicatorChanged)
        m_keyboard->setCapsIndicator(m_exercise.capsIndicatorShown());
    if (changes & C::SwitchesChanged) {
        m_keyedTips->setChecked(m_exercise.keyedTips());
        m_sound->setChecked(m_exercise.keystrokeSound());
    }
    if ((changes & C::HistoryChanged) && m_input->text() != m_exercise.typedHistory()) {
        const QSignalBlocker block(m_input);
        m_input->setText(m_exercise.typedHistory());
    }
    if (changes & C::TabMarkStarted)
        m_tabMark->start();
    if (changes & C::CapsProbeStarted)
        m_capsProbe->start();
    if (changes & C::LessonEnded)
        lessonEnd();
}

void KeysWindow::layoutLine() {
    // The line label sizes itself to the line; the panel and the typed row follow it.
    m_lineLabel->setFont(m_linePanel->font());
    m_lineLabel->setText(m_exercise.currentLine());
    m_lineLabel->adjustSize();
    const QRect line = m_lineLabel->geometry();
    const int width = std::min(std::max(line.width(), twips(600)), this->width() - line.left());
    m_linePanel->setGeometry(line.left(), line.top(), width,
                             line.height() + twips(kPanelExtraHeight));
    m_linePanel->setLine(m_exercise.currentLine());
    m_typedRow->setGeometry(line.left(), m_linePanel->geometry().bottom() + 1 + twips(kRowGap),
                            width, twips(kRowHeight));
}

void KeysWindow::lessonEnd() {
    const bool ok =
        m_context.platform &&
        m_context.platform->confirm(this, KeysExercise::kPromptTitle, KeysExercise::kPromptText);
    m_exercise.lessonEndAnswered(ok);
    if (ok)
        openChooser();
    focusInputBox();
}

void KeysWindow::openChooser() {
    hideSettingsPanel();
    KeyChooser chooser(m_context.platform, Maker::kGamesPage, this);
    chooser.exec();
    m_exercise.chooserClosed(chooser.chosenIndex());
    focusInputBox();
}

void KeysWindow::completePictures() {
    m_keyboard->completePictures(m_context.folder);
}

void KeysWindow::playSound(PracticeSound sound) {
    playWave(sound == PracticeSound::Keystroke ? keySoundPath : errorSoundPath);
}

void KeysWindow::saveState() {
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz0.txt")), m_exercise.sz0Line());
}

void KeysWindow::timer3tWork() {
    focusInputBox();
}

void KeysWindow::openSettings() {
    const QRect button = m_settings->geometry();
    showSettingsPanel(
        QPoint(button.left() - settingsPanel()->width() / 6, button.top() - twips(50)));
}

void KeysWindow::closePanelAndFocus() {
    hideSettingsPanel();
    focusInputBox();
}

bool KeysWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_input && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab never reaches the rules of the input box: it is marked for a moment instead.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            if (type == QEvent::KeyPress)
                m_exercise.tabPressed();
            return true;
        }
        const int code = virtualKeyCode(key);
        if (type == QEvent::KeyPress) {
            m_input->setCursorPosition(0); // each character goes in front of the earlier ones
            m_exercise.keyDown(code, key->nativeScanCode());
        } else if (!key->isAutoRepeat()) {
            m_exercise.keyUp(code, key->nativeScanCode());
        }
        return false;
    }
    if (watched == m_background) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseMove) {
            hideSettingsPanel();
        } else if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            closePanelAndFocus();
        } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton) {
            popThemeMenu(mouse->globalPosition().toPoint());
        }
    }
    return PracticeWindow::eventFilter(watched, event);
}
