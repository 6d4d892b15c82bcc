#include "keys/keys_window.h"

#include "shell/input_box.h"
#include "shell/keyboard_table.h"
#include "shell/look.h"
#include "shell/settings_panel.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

// Design values, twips.
constexpr int kCardTop = 860;
constexpr int kCardHeight = 2700;
constexpr int kLinesLeft = 2220;
constexpr int kLineWidth = 9360;
constexpr int kLineHeight = 660;
constexpr int kInputTop = 3780;
constexpr int kInputHeight = 630;
constexpr int kButtonTop = 3840;
constexpr int kButtonHeight = 510;
constexpr int kKeyboardTop = 4620;
constexpr int kKeyboardMargin = 210;

} // namespace

// The on-screen keyboard, drawn from the keyboard table: every key at its label rectangle,
// tinted by the finger that strikes it, with the bumps where the index fingers rest.
class KeysKeyboard : public QWidget {
  public:
    explicit KeysKeyboard(QWidget* parent) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        Look::paintKeyboardBody(p, rect(), palette(), 12);
        const qreal pad = 9;
        const qreal sx = (width() - 2 * pad) / KeyboardTable::kKeysKeyboardWidthTwips;
        const qreal sy = (height() - 2 * pad) / KeyboardTable::kKeysKeyboardHeightTwips;
        const qreal gap = 4;
        auto draw = [&](const KeyboardTable::Place& place) {
            const QRect t = place.twips;
            const QRectF cap(pad + t.x() * sx + gap / 2, pad + t.y() * sy + gap / 2,
                             t.width() * sx - gap, t.height() * sy - gap - 2);
            drawCap(p, cap, *KeyboardTable::find(place.code),
                    place.index != KeyboardTable::kEnterLowerLabel);
        };
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardUnlabelled())
            draw(place);
        for (const KeyboardTable::Place& place : KeyboardTable::keysKeyboardLabels())
            draw(place);
    }

  private:
    void drawCap(QPainter& p, const QRectF& cap, const KeyboardTable::Key& key, bool labelled) {
        Look::drawLightKey(p, cap, palette(), Look::fingerTint(int(key.finger)), 6);
        if (!labelled)
            return;
        const QString label = QString::fromLatin1(key.label);
        const QString shifted = QString::fromLatin1(key.shifted);
        const QColor ink = Look::keyLabelInk(palette());
        p.setPen(ink);
        if (label.size() > 1) {
            const QRectF room = cap.adjusted(7, 4, -6, -4);
            QFont font = Look::uiFont(7.5, true);
            // Narrow keys take their name smaller rather than cut.
            const qreal width = QFontMetricsF(font).horizontalAdvance(label);
            if (width > room.width())
                font.setPointSizeF(font.pointSizeF() * room.width() / width);
            p.setFont(font);
            p.setPen(palette().color(QPalette::Dark));
            p.drawText(room, Qt::AlignLeft | Qt::AlignBottom, label);
        } else if (!shifted.isEmpty()) {
            p.setFont(Look::uiFont(8, true));
            p.drawText(cap.adjusted(0, 3, 0, -cap.height() / 2), Qt::AlignCenter, shifted);
            p.setFont(Look::uiFont(10, true));
            p.drawText(cap.adjusted(0, cap.height() / 2 - 5, 0, -3), Qt::AlignCenter, label);
        } else if (!label.isEmpty()) {
            p.setFont(Look::uiFont(13, true));
            p.drawText(cap, Qt::AlignCenter, label);
        }
        if (key.bump) {
            p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
            const qreal y = cap.bottom() - 6;
            p.drawLine(QPointF(cap.center().x() - 5, y), QPointF(cap.center().x() + 5, y));
        }
    }
};

// The practice card: a quiet paper gradient, like the Word practice window's word panel.
class KeysCard : public QWidget {
  public:
    explicit KeysCard(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture9"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        Look::paintPaper(p, rect(), palette());
    }
};

KeysWindow::KeysWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("form1yy"), 0, parent) {
    setWindowTitle(QStringLiteral("Keys practice"));
    buildWidgets();
    buildSettingsPanel();
    route({
        {"Image3", Route::On::Move, Route::HidePanel},
        {"Image3", Route::On::RightRelease, Route::ThemeMenu},
        {"Picture10", Route::On::Move, Route::HidePanel},
        {"Picture10", Route::On::Press, Route::HidePanel | Route::FocusInput | Route::Swallow},
        {"Picture11", Route::On::Move, Route::HidePanel | Route::FocusInput},
        {"Picture11", Route::On::Press, Route::Swallow},
        {"Picture5", Route::On::Move, Route::HidePanel},
        {"Picture5", Route::On::LeftPress, Route::HidePanel | Route::FocusInput},
        {"Picture5", Route::On::Press, Route::Swallow},
        // The background picture, and the card over it.
        {"form1yy", Route::On::Press, Route::HidePanel | Route::FocusInput},
        {"Command3", Route::On::Release, Route::ThemeMenu},
    });

    const QFont keysFont = monospaceFont(fontChoice(PracticeFontWindow::Keys));
    for (QLabel* label :
         {static_cast<QLabel*>(m_practiceLine), static_cast<QLabel*>(m_typedRow), m_nextKey})
        label->setFont(keysFont);
    restoreState();
}

void KeysWindow::buildWidgets() {
    // The background picture, under everything.
    m_background = new QLabel(this);
    m_background->setObjectName(QStringLiteral("Image3"));
    m_background->setGeometry(rect());
    m_background->lower();

    m_card = new KeysCard(this);
    m_card->setGeometry(twipsRect(0, kCardTop, kWindowWidthTwips, kCardHeight));
    Look::setOwnStyle(m_card, QStringLiteral("QLabel { background: transparent; }"));

    auto* lessonCaption = new QLabel(QStringLiteral("Lesson"), m_card);
    Look::styleCaption(lessonCaption, 9, true);
    lessonCaption->setGeometry(twipsRect(360, 210, 780, 300));
    m_lessonBadge = new QLabel(m_card);
    Look::styleBadge(m_lessonBadge);
    m_lessonBadge->setGeometry(twipsRect(1140, 200, 720, 300));

    // The next key, shown as a key cap left of the two lines.
    m_nextKey = new QLabel(m_card);
    m_nextKey->setObjectName(QStringLiteral("Label3"));
    Look::styleKeyLabel(m_nextKey);
    m_nextKey->setGeometry(twipsRect(540, 690, 1320, 1320));
    auto* nextKeyCaption = new QLabel(QStringLiteral("Next key"), m_card);
    Look::styleCaption(nextKeyCaption, 8.5);
    nextKeyCaption->setAlignment(Qt::AlignCenter);
    nextKeyCaption->setGeometry(twipsRect(540, 2100, 1320, 420));

    auto makeLine = [this](const QString& name, int top, bool emphasised) {
        auto* line = new QLabel(m_card);
        line->setObjectName(name);
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        line->setGeometry(twipsRect(kLinesLeft, top, kLineWidth, kLineHeight));
        Look::styleTextPanel(line, emphasised);
        return line;
    };
    m_practiceLine = makeLine(QStringLiteral("Picture11"), 690, true);
    m_typedRow = makeLine(QStringLiteral("Picture10"), 1410, false);

    // The status bar along the bottom of the card.
    m_statusBar = new QWidget(m_card);
    m_statusBar->setObjectName(QStringLiteral("Picture8"));
    m_statusBar->setGeometry(twipsRect(0, 2100, kWindowWidthTwips, 540));
    Look::setOwnStyle(m_statusBar, QStringLiteral("#Picture8 { background: transparent; }"));
    Look::addMeters(m_statusBar,
                    {{"Time", "Label40", "0:00:00", &m_clock},
                     {"Speed", "Label45", "0 WPM", &m_speed},
                     {"Accuracy", "Label38", "0 %", &m_accuracy}},
                    Look::MeterLayout::CaptionBefore, 2100, 0);

    m_input = new InputBox(QStringLiteral("Text1"), this);
    m_input->setToolTip(QStringLiteral("Type the keys shown above."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 20, true));
    m_input->setTextMargins(8, 0, 8, 0);
    m_input->setGeometry(twipsRect(kLinesLeft, kInputTop, 4800, kInputHeight));

    // The lesson's characters and the typed ones, kept as text for the practice to come.
    m_lessonText = new QLineEdit(this);
    m_lessonText->setObjectName(QStringLiteral("Text2"));
    m_typedText = new QLineEdit(this);
    m_typedText->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit* box : {m_lessonText, m_typedText}) {
        Look::styleTextHolder(box);
        box->hide();
    }

    m_selectLesson = new QPushButton(QStringLiteral("Select lesson"), this);
    m_selectLesson->setObjectName(QStringLiteral("Command1"));
    m_selectLesson->setGeometry(twipsRect(7440, kButtonTop, 1800, kButtonHeight));
    m_settings = new QPushButton(QStringLiteral("Settings"), this);
    m_settings->setObjectName(QStringLiteral("Command2"));
    m_settings->setGeometry(twipsRect(9360, kButtonTop, 1260, kButtonHeight));
    for (QPushButton* button : {m_selectLesson, m_settings})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_selectLesson, &QPushButton::clicked, this, &KeysWindow::closePanelAndFocus);
    connect(m_settings, &QPushButton::clicked, this, &KeysWindow::openSettings);

    m_keyboardArea = new QWidget(this);
    m_keyboardArea->setObjectName(QStringLiteral("Picture5"));
    m_keyboardArea->setGeometry(twipsRect(kKeyboardMargin, kKeyboardTop,
                                          kWindowWidthTwips - 2 * kKeyboardMargin,
                                          kWindowHeightTwips - kKeyboardTop - kKeyboardMargin));
    Look::setOwnStyle(m_keyboardArea, QStringLiteral("#Picture5 { background: transparent; }"));
    m_keyboard = new KeysKeyboard(m_keyboardArea);
    m_keyboard->setGeometry(m_keyboardArea->rect());
}

void KeysWindow::buildSettingsPanel() {
    SettingsPanel* panel = addSettingsPanel(QStringLiteral("Picture7"), 2760, 1680);
    panel->addThemesButton(QStringLiteral("Command3"));
    m_keyedTips = panel->addSwitch(QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 750);
    m_sound = panel->addSwitch(QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 1170);
}

QWidget* KeysWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> KeysWindow::exemptControls() const {
    return {m_keyboardArea, m_card,       m_practiceLine, m_typedRow,
            m_statusBar,    m_lessonText, m_typedText,    m_input};
}

// The card counts the lessons from 1 for the reader.
void KeysWindow::setLessonIndex(int index) {
    m_lessonIndex = index >= 0 && index < Sz0::kLessons ? index : 0;
    m_lessonBadge->setText(QString::number(m_lessonIndex + 1));
}

void KeysWindow::restoreState() {
    const Sz0 state =
        Sz0::parse(StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\sz0.txt"))));
    m_keyedTips->setChecked(state.keyedTips);
    m_sound->setChecked(state.keystrokeSound);
    setLessonIndex(state.lessonIndex);
}

void KeysWindow::saveState() {
    Sz0 state;
    state.keyedTips = m_keyedTips->isChecked();
    state.keystrokeSound = m_sound->isChecked();
    state.lessonIndex = m_lessonIndex;
    StateFile::writeLine(m_context.folder.path(QStringLiteral("\\sz0.txt")), state.format());
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
