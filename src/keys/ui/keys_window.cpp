#include "keys/ui/keys_window.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "core/maker.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/eliding_combo_box.h"
#include "frame/input_box.h"
#include "frame/navigator.h"
#include "frame/settings_panel.h"
#include "frame/shortcut.h"
#include "keys/model/key_lesson_plan.h"
#include "keys/model/weak_key_drill.h"
#include "keys/ui/drill_maker.h"
#include "keys/ui/key_chooser.h"
#include "keys/ui/keys_display.h"
#include "keys/ui/keys_keyboard.h"
#include "keys/ui/keys_look.h"
#include "look/look.h"
#include "platform/key_mapping.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

namespace {

// Design values, twips.
constexpr int kHeadingLeft = 1290, kHeadingTop = 1170, kHeadingWidth = 4875, kHeadingHeight = 255;
constexpr int kLineLeft = 1080, kLineTop = 2010;
constexpr int kPanelExtraHeight = 188;
constexpr int kRowGap = 44, kRowHeight = 630;
constexpr int kStatusLeft = 585, kStatusTop = 3720;
constexpr int kKeyboardLeft = 780, kKeyboardTop = 4752;
constexpr int kKeyNoteTop = 8220, kKeyNoteHeight = 330;
constexpr int kCardBottom = KeysWindow::kCardBottomTwips;
constexpr int kOutOfSight = -6000;
// Below the heading: the note of a drill. Below the keyboard: the finger line.
constexpr int kNoteTop = 1500, kNoteHeight = 300;
constexpr int kFingerLineGap = 90, kFingerLineHeight = 330;

// The finger that strikes a key, as a learner reads it ("left index").
QString fingerName(KeyboardTable::Finger finger) {
    using F = KeyboardTable::Finger;
    switch (finger) {
    case F::LeftLittle:
        return QStringLiteral("left little");
    case F::LeftRing:
        return QStringLiteral("left ring");
    case F::LeftMiddle:
        return QStringLiteral("left middle");
    case F::LeftIndex:
        return QStringLiteral("left index");
    case F::RightIndex:
        return QStringLiteral("right index");
    case F::RightMiddle:
        return QStringLiteral("right middle");
    case F::RightRing:
        return QStringLiteral("right ring");
    case F::RightLittle:
        return QStringLiteral("right little");
    case F::Thumbs:
        return QStringLiteral("thumb");
    case F::None:
        break;
    }
    return QString();
}

bool isLeftHand(KeyboardTable::Finger finger) {
    using F = KeyboardTable::Finger;
    return finger == F::LeftLittle || finger == F::LeftRing || finger == F::LeftMiddle ||
           finger == F::LeftIndex;
}

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
        // The card carries the lesson's own controls, which keep their look under every
        // skin; so does the card, as the word panel of Word practice does.
        Look::paintPaper(p, QRect(0, 0, width(), twips(kCardBottom)), Look::basePalette());
    }
};

} // namespace

const QString KeysWindow::kFingerStateResource = QStringLiteral("\\sz0-finger.txt");

KeysWindow::KeysWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("form1yy"), Navigator::KeysEntry, parent),
      m_exercise(context.folder) {
    setWindowTitle(QStringLiteral("Keys practice"));
    buildWidgets();
    buildSettingsPanel();
    TimerTable& t = timers();
    m_capsProbeTimer =
        t.add("Timer1", 5, TimerTable::OneShot, [this] { m_exercise.capsProbeTick(); });
    m_tabMarkTimer =
        t.add("Timer2", 555, TimerTable::OneShot, [this] { m_exercise.tabMarkTick(); });
    m_picturesTimer = t.add("Timer3", 55, TimerTable::OneShot, [this] { completePictures(); });
    QTimer* clock =
        t.add("Timer4", 1000, TimerTable::Repeating, [this] { m_exercise.clockTick(); });
    route({
        {m_background, Route::On::Move, Route::HidePanel},
        {m_background, Route::On::LeftPress, Route::HidePanel | Route::FocusInput},
        {m_background, Route::On::RightRelease, Route::ThemeMenu},
        {m_typedRow, Route::On::Move, Route::HidePanel},
        {m_typedRow, Route::On::Press, Route::HidePanel | Route::FocusInput | Route::Swallow},
        {m_linePanel, Route::On::Move, Route::HidePanel | Route::FocusInput},
        {m_linePanel, Route::On::Press, Route::Swallow},
        // A click on a key label gives the input box the focus, nothing else.
        {m_keyboard, Route::On::Press, Route::FocusInput | Route::Swallow},
        {m_themes, Route::On::Release, Route::ThemeMenu},
    });

    const QFont lineFont = monospaceFont(fontChoice(PracticeFontWindow::Keys));
    for (QWidget* w : {static_cast<QWidget*>(m_lineLabel), static_cast<QWidget*>(m_linePanel),
                       static_cast<QWidget*>(m_typedRow)})
        w->setFont(lineFont);
    m_exercise.setMeasure([metrics = QFontMetrics(lineFont)](const QString& text) {
        return metrics.horizontalAdvance(text);
    });
    m_exercise.setCapsLockQuery(
        [platform = m_context.platform] { return platform && platform->capsLockOn(); });
    attachModel(&m_exercise, PracticeMode::Keys, clock);

    useLayout();
    m_keyboard->loadBase(m_context.folder);
    if (m_context.keyboard) {
        connect(m_context.keyboard, &KeyboardChoice::layoutChanged, this,
                &KeysWindow::keyboardChanged);
        connect(m_context.keyboard, &KeyboardChoice::systemLayoutChanged, this,
                &KeysWindow::fillLayoutChoice);
    }
    m_exercise.restore(
        Sz0::parse(StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz0.txt")))));
    m_exercise.setFingerColours(
        StateFile::readFirstField(m_context.folder.path(kFingerStateResource)).startsWith(u'1'));
    m_picturesTimer->start();
}

void KeysWindow::buildWidgets() {
    m_background = new KeysBackground(this);
    m_background->setGeometry(rect());
    m_background->lower(); // under the banner too

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("Label8"));
    m_heading->setFont(Look::uiFont(9.5, true));
    m_heading->setStyleSheet(Look::labelStyle(Look::basePalette().color(QPalette::Text)));
    m_heading->setGeometry(
        twipsRect(kHeadingLeft, kHeadingTop - 40, kHeadingWidth, kHeadingHeight + 80));
    m_heading->setAttribute(Qt::WA_TransparentForMouseEvents);

    // "Select lesson" is a little wider than at design, to the left, so that no skin's padding
    // cuts its caption.
    const int selectLeft = kHeadingLeft + kHeadingWidth + 1622;
    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command1"));
    m_selectLesson->setGeometry(twipsRect(selectLeft - 240, kHeadingTop - 111, 1620 + 240, 510));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command2"));
    m_settings->setGeometry(twipsRect(selectLeft + 1620 + 160, kHeadingTop - 111, 1260, 510));
    for (QPushButton* button : {m_selectLesson, m_settings})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_selectLesson, &QPushButton::clicked, this, &KeysWindow::openChooser);
    connect(m_settings, &QPushButton::clicked, this, &KeysWindow::openSettings);
    addShortcut(m_selectLesson, QKeySequence(Qt::ALT | Qt::Key_L));
    addShortcut(m_settings, QKeySequence(Qt::ALT | Qt::Key_S));

    m_drillNote = new QLabel(this);
    m_drillNote->setObjectName(QStringLiteral("DrillNote"));
    m_drillNote->setFont(Look::uiFont(8.5));
    m_drillNote->setStyleSheet(
        Look::labelStyle(Look::basePalette().color(QPalette::PlaceholderText).darker(130)));
    m_drillNote->setGeometry(
        twipsRect(kHeadingLeft, kNoteTop, kWindowWidthTwips - 2 * kHeadingLeft, kNoteHeight));
    m_drillNote->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_drillNote->hide();

    m_lineLabel = new QLabel(this);
    m_lineLabel->setObjectName(QStringLiteral("Label3"));
    m_lineLabel->move(twipsPoint(kLineLeft, kLineTop));
    m_lineLabel->hide();
    m_linePanel = new PracticeLinePanel(this);
    m_typedRow = new TypedRow(this);

    m_status = new KeysStatusBar(this);
    m_status->setSpeedToolTip(kSpeedToolTip);
    m_status->move(twipsPoint(kStatusLeft, kStatusTop));

    m_keyboard = new KeysKeyboard(this);
    m_keyboard->setGeometry(twipsRect(kKeyboardLeft, kKeyboardTop,
                                      KeyboardTable::kKeysKeyboardWidthTwips,
                                      KeyboardTable::kKeysKeyboardHeightTwips));
    // Under the keyboard: why the character to type has no key marked, when it has none.
    m_keyNote = new QLabel(this);
    m_keyNote->setObjectName(QStringLiteral("KeyNote"));
    Look::styleStatusLine(m_keyNote);
    m_keyNote->hide();

    m_fingerLine = new QLabel(this);
    m_fingerLine->setObjectName(QStringLiteral("FingerLine"));
    Look::styleCaption(m_fingerLine, 9.5, true);
    m_fingerLine->setGeometry(twipsRect(
        kKeyboardLeft, kKeyboardTop + KeyboardTable::kKeysKeyboardHeightTwips + kFingerLineGap,
        KeyboardTable::kKeysKeyboardWidthTwips, kFingerLineHeight));
    m_fingerLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fingerLine->hide();

    // The input boxes lie out of sight; Text1 keeps the focus and holds what was typed,
    // newest first.
    m_input = new InputBox(QStringLiteral("Text1"), this);
    m_input->setContextMenuPolicy(Qt::NoContextMenu);
    m_input->onKeyDown([this](int code) { return keyDown(code); });
    m_input->onKeyUp([this](int code) { keyUp(code); });
    connect(m_input, &QLineEdit::textEdited, &m_exercise, &KeysExercise::textChanged);
    m_readIn = new QLineEdit(this);
    m_readIn->setObjectName(QStringLiteral("Text2"));
    m_capitals = new QLineEdit(this);
    m_capitals->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit* box : {static_cast<QLineEdit*>(m_input), m_readIn, m_capitals})
        box->setGeometry(twips(kOutOfSight), twips(kOutOfSight), 80, 24);
    for (QLineEdit* box : {m_readIn, m_capitals}) {
        Look::styleTextHolder(box);
        box->setFocusPolicy(Qt::NoFocus);
    }
}

void KeysWindow::buildSettingsPanel() {
    // The panel reaches below "Themes" for the switch of the finger colours. The switches
    // take the panel's width, which the layout list widens: a bold skin's captions fit.
    constexpr int kSwitchWidth = 3564;
    SettingsPanel* panel = addSettingsPanel(QStringLiteral("Picture7"), 2505, 2070);
    m_keyedTips = panel->addSwitch(QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 144);
    m_keyedTips->setGeometry(twipsRect(168, 144, kSwitchWidth, 345));
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 570);
    m_sound->setGeometry(twipsRect(168, 570, kSwitchWidth, 345));
    m_themes = panel->addThemesButton(QStringLiteral("Command3"));
    m_themes->setGeometry(twipsRect(360, 1095, 1725, 420));
    connect(m_keyedTips, &QCheckBox::clicked, &m_exercise, &KeysExercise::setKeyedTips);
    connect(m_sound, &QCheckBox::clicked, &m_exercise, &KeysExercise::setKeystrokeSound);
    m_fingerSwitch =
        panel->addSwitch(QStringLiteral("Check1fc"), QStringLiteral("Finger colours"), 1605);
    m_fingerSwitch->setGeometry(twipsRect(168, 1605, kSwitchWidth, 345));
    connect(m_fingerSwitch, &QCheckBox::clicked, &m_exercise, &KeysExercise::setFingerColours);

    // The keyboard layout, under the Themes button: the system's, or one of the common ones.
    // Alt+Y opens the list from the keyboard.
    m_layoutChoice = new ElidingComboBox(panel);
    m_layoutChoice->setObjectName(QStringLiteral("KeyboardLayout"));
    m_layoutChoice->setFocusPolicy(Qt::NoFocus);
    fillLayoutChoice();
    panel->resize(twipsSize(3900, 2520));
    m_layoutChoice->setGeometry(twipsRect(168, 2010, kSwitchWidth, 390));
    connect(m_layoutChoice, &QComboBox::activated, this, &KeysWindow::chooseLayout);
    ::addShortcut(m_layoutChoice, QKeySequence(Qt::ALT | Qt::Key_Y), [this] {
        if (!m_layoutChoice->isVisibleTo(this))
            openSettings();
        m_layoutChoice->showPopup();
    });
}

void KeysWindow::fillLayoutChoice() {
    const QSignalBlocker blocker(m_layoutChoice);
    m_layoutChoice->clear();
    KeyboardChoice* choice = m_context.keyboard;
    m_layoutChoice->addItem(
        choice ? choice->automaticCaption() : QStringLiteral("Automatic: English (US)"), QString());
    if (choice) {
        for (const KeyboardChoice::Option& option : choice->options()) {
            m_layoutChoice->addItem(option.caption, option.name);
            if (option.name == choice->choice())
                m_layoutChoice->setCurrentIndex(m_layoutChoice->count() - 1);
        }
    }
    m_layoutChoice->setToolTip(QStringLiteral("The keyboard layout the lessons teach: ") +
                               m_layoutChoice->currentText());
}

void KeysWindow::chooseLayout(int index) {
    // Another layout comes back through keyboardChanged().
    if (m_context.keyboard && index >= 0 && index < m_layoutChoice->count())
        m_context.keyboard->choose(m_layoutChoice->itemData(index).toString());
    fillLayoutChoice();
    focusInputBox();
}

void KeysWindow::keyboardChanged() {
    // The lessons of the new layout, built when they are missing; its keyboard drawn; the
    // lesson started again at its first line (the run so far goes into the history first).
    useLayout(m_context.keyboard->layoutCaption());
    m_keyboard->loadBase(m_context.folder);
    m_picturesTimer->start();
    fillLayoutChoice();
}

void KeysWindow::useLayout(const QString& changedTo) {
    const KeyboardLayout& layout = keyboardLayout(m_context);
    QString folder = KeyLessonPlan::lessonFolder(layout);
    m_titles = KeyLessonPlan::titles(layout);
    switch (KeyLessonPlan::prepare(m_context.folder, layout)) {
    case KeyLessonPlan::Prepared::Built:
        // New lessons mean the layout types something else now: its pictures are drawn again.
        for (auto role : {KeysPictures::Role::Base, KeysPictures::Role::Tip,
                          KeysPictures::Role::Press, KeysPictures::Role::WrongPress,
                          KeysPictures::Role::WrongKey})
            for (qreal scale : {1.0, m_keyboard->devicePixelRatioF()})
                QFile::remove(m_context.folder.path(KeysPictures::resource(role, layout, scale)));
        break;
    case KeyLessonPlan::Prepared::Failed:
        // A folder that cannot be written keeps the shipped lessons.
        folder = KeyLessonPlan::lessonFolder(KeyboardLayout::us());
        m_titles = KeyLessonPlan::titles(KeyboardLayout::us());
        break;
    case KeyLessonPlan::Prepared::Shipped:
    case KeyLessonPlan::Prepared::Kept:
        break;
    }
    m_keyboard->setKeyboardLayout(layout);
    if (changedTo.isEmpty())
        m_exercise.setLayout(layout, folder);
    else
        m_exercise.keyboardChanged(layout, folder, changedTo);
    showKeyNote();
}

void KeysWindow::showKeyNote() {
    const QString note = m_exercise.keyNote();
    if (note == m_keyNote->text() && m_keyNote->isVisible() == !note.isEmpty())
        return;
    m_keyNote->setText(note);
    const int w = m_keyNote->sizeHint().width();
    m_keyNote->setGeometry((width() - w) / 2, twips(kKeyNoteTop), w, twips(kKeyNoteHeight));
    m_keyNote->setVisible(!note.isEmpty());
    showFingerLine(); // the note stands where the finger line would
}

QWidget* KeysWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> KeysWindow::exemptControls() const {
    return {m_keyboard, m_typedRow, m_linePanel, m_readIn, m_capitals, m_input};
}

bool KeysWindow::keyDown(int code) {
    // Tab never reaches the rules of the input box: it is marked for a moment instead.
    if (code == KeyCode::Tab) {
        m_exercise.tabPressed();
        return true;
    }
    const QKeyEvent* key = m_input->currentKey();
    m_input->setCursorPosition(0); // each character goes in front of the earlier ones
    m_exercise.keyDown(layoutKeyCode(key, code, m_exercise.layout()),
                       key ? key->nativeScanCode() : 0);
    return false;
}

void KeysWindow::keyUp(int code) {
    const QKeyEvent* key = m_input->currentKey();
    if (code == KeyCode::Tab || (key && key->isAutoRepeat()))
        return;
    m_exercise.keyUp(layoutKeyCode(key, code, m_exercise.layout()),
                     key ? key->nativeScanCode() : 0);
}

void KeysWindow::render(const ModelEvents& events) {
    using C = KeysExercise::Change;
    const auto changes = KeysExercise::Changes::fromInt(events.display);
    if (changes & C::LessonChanged)
        m_heading->setText(m_exercise.heading());
    if (changes & C::LineChanged)
        layoutLine();
    if (changes & (C::CursorMoved | C::LineChanged)) {
        m_linePanel->setCursorAfter(m_exercise.cursorPos() - 1);
        showKeyNote();
    }
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
    if (changes & C::CapsIndicatorChanged)
        m_keyboard->setCapsIndicator(m_exercise.capsIndicatorShown());
    if (changes & C::SwitchesChanged) {
        m_keyedTips->setChecked(m_exercise.keyedTips());
        m_sound->setChecked(m_exercise.keystrokeSound());
        m_fingerSwitch->setChecked(m_exercise.fingerColours());
        m_keyboard->setFingerColours(m_exercise.fingerColours());
    }
    if (changes & C::LessonChanged)
        m_drillNote->setVisible(m_exercise.drilling() && !m_drillNote->text().isEmpty());
    if (changes & (C::SwitchesChanged | C::LineChanged | C::CursorMoved | C::LessonChanged))
        showFingerLine();
    if ((changes & C::HistoryChanged) && m_input->text() != m_exercise.typedHistory())
        m_input->setText(m_exercise.typedHistory());
    if (changes & C::TabMarkStarted)
        m_tabMarkTimer->start();
    if (changes & C::CapsProbeStarted)
        m_capsProbeTimer->start();
    if (changes & C::ChooserWanted)
        openChooser();
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

void KeysWindow::openChooser() {
    hideSettingsPanel();
    KeyChooser chooser(m_context.platform, Maker::kGamesPage, window(), m_titles);
    chooser.exec();
    m_exercise.chooserClosed(chooser.chosenIndex());
    focusInputBox();
}

void KeysWindow::completePictures() {
    m_keyboard->completePictures(m_context.folder);
}

void KeysWindow::saveState() {
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz0.txt")),
                         m_exercise.state().format());
    StateFile::writeLine(m_context.folder.path(kFingerStateResource),
                         m_exercise.fingerColours() ? QStringLiteral("1") : QStringLiteral("0"));
}

void KeysWindow::showFingerLine() {
    const KeyboardTable::Key* key = KeyboardTable::find(m_exercise.expectedKey());
    const QString character = m_exercise.expectedChar();
    if (!m_exercise.fingerColours() || !key || character.isEmpty() ||
        fingerName(key->finger).isEmpty() || m_keyNote->isVisibleTo(this)) {
        m_fingerLine->hide();
        return;
    }
    QString text =
        QStringLiteral("Next: %1, %2")
            .arg(character == u" " ? QStringLiteral("Space") : character, fingerName(key->finger));
    // A capital or a shifted mark: the little finger of the other hand holds Shift.
    const KeyboardLayout& layout = m_keyboard->keyboardLayout();
    const QChar c = character.front();
    if (layout.typed(key->code, false) != c && key->finger != KeyboardTable::Finger::Thumbs)
        text += isLeftHand(key->finger) ? QStringLiteral(", with the right Shift")
                                        : QStringLiteral(", with the left Shift");
    const QColor swatch = KeysLook::fingerColours(key->finger).top;
    m_fingerLine->setText(
        QStringLiteral("<span style=\"background:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp; %2")
            .arg(swatch.name(), text.toHtmlEscaped()));
    m_fingerLine->show();
}

void KeysWindow::takeHandOver(const HandOver& handOver) {
    if (handOver.weakKeyDrill)
        openDrill();
}

void KeysWindow::openDrill() {
    hideSettingsPanel();
    // The figures of the run so far count in the drill.
    recordRunSoFar();
    const DrillMaker::Made made =
        DrillMaker::make(m_context.history, m_context.folder,
                         quint32(QDateTime::currentMSecsSinceEpoch()), keyboardLayout(m_context));
    const QString text = made.drill.text();
    // Kept for the learner to look at; a drill that cannot be written is typed all the same. A
    // drill with letters outside ASCII (ö) is UTF-8 with its mark, as the layouts' lessons are.
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    StateFile::writeBytes(m_context.folder.path(WeakKeyDrill::kResource),
                          ascii ? text.toLatin1() : QByteArray("\xEF\xBB\xBF") + text.toUtf8(),
                          false);
    m_drillNote->setText(made.note);
    m_exercise.openDrill(KeyLessons::parseLesson(text, QStringLiteral("drill.txt")));
    focusInputBox();
}

void KeysWindow::timer3tWork() {
    focusInputBox();
}

void KeysWindow::openSettings() {
    const QRect button = m_settings->geometry();
    // The panel, wider for the layout list, stays inside the window.
    const int left = std::min(button.left() - settingsPanel()->width() / 6,
                              width() - settingsPanel()->width() - twips(60));
    showSettingsPanel(QPoint(left, button.top() - twips(50)));
}
