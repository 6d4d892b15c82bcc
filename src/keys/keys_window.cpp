#include "keys/keys_window.h"

#include "shell/click_label.h"
#include "shell/look.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
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

// Which finger strikes a key, left little finger (0) to right little finger (7); 8 for the
// thumbs and -1 for the keys the lessons leave alone.
enum Finger {
    LeftLittle,
    LeftRing,
    LeftMiddle,
    LeftIndex,
    RightIndex,
    RightMiddle,
    RightRing,
    RightLittle,
    Thumbs,
    NoFinger = -1
};

struct KeyCap {
    const char* label;
    const char* shifted;
    double units;
    int finger;
};

// A full-size main block, fifteen units wide on every row.
const KeyCap kRow0[] = {
    {"`", "~", 1, LeftLittle},  {"1", "!", 1, LeftLittle},     {"2", "@", 1, LeftRing},
    {"3", "#", 1, LeftMiddle},  {"4", "$", 1, LeftIndex},      {"5", "%", 1, LeftIndex},
    {"6", "^", 1, RightIndex},  {"7", "&", 1, RightIndex},     {"8", "*", 1, RightMiddle},
    {"9", "(", 1, RightRing},   {"0", ")", 1, RightLittle},    {"-", "_", 1, RightLittle},
    {"=", "+", 1, RightLittle}, {"Backspace", "", 2, NoFinger}};
const KeyCap kRow1[] = {
    {"Tab", "", 1.5, NoFinger}, {"Q", "", 1, LeftLittle},     {"W", "", 1, LeftRing},
    {"E", "", 1, LeftMiddle},   {"R", "", 1, LeftIndex},      {"T", "", 1, LeftIndex},
    {"Y", "", 1, RightIndex},   {"U", "", 1, RightIndex},     {"I", "", 1, RightMiddle},
    {"O", "", 1, RightRing},    {"P", "", 1, RightLittle},    {"[", "{", 1, RightLittle},
    {"]", "}", 1, RightLittle}, {"\\", "|", 1.5, RightLittle}};
const KeyCap kRow2[] = {
    {"Caps", "", 1.75, NoFinger}, {"A", "", 1, LeftLittle},   {"S", "", 1, LeftRing},
    {"D", "", 1, LeftMiddle},     {"F", "", 1, LeftIndex},    {"G", "", 1, LeftIndex},
    {"H", "", 1, RightIndex},     {"J", "", 1, RightIndex},   {"K", "", 1, RightMiddle},
    {"L", "", 1, RightRing},      {";", ":", 1, RightLittle}, {"'", "\"", 1, RightLittle},
    {"Enter", "", 2.25, NoFinger}};
const KeyCap kRow3[] = {
    {"Shift", "", 2.25, NoFinger}, {"Z", "", 1, LeftLittle},   {"X", "", 1, LeftRing},
    {"C", "", 1, LeftMiddle},      {"V", "", 1, LeftIndex},    {"B", "", 1, LeftIndex},
    {"N", "", 1, RightIndex},      {"M", "", 1, RightIndex},   {",", "<", 1, RightMiddle},
    {".", ">", 1, RightRing},      {"/", "?", 1, RightLittle}, {"Shift", "", 2.75, NoFinger}};
const KeyCap kRow4[] = {{"Ctrl", "", 1.5, NoFinger},
                        {"Alt", "", 1.5, NoFinger},
                        {"", "", 9, Thumbs},
                        {"Alt", "", 1.5, NoFinger},
                        {"Ctrl", "", 1.5, NoFinger}};

struct KeyRow {
    const KeyCap* begin;
    const KeyCap* end;
};
const KeyRow kRows[] = {{std::begin(kRow0), std::end(kRow0)},
                        {std::begin(kRow1), std::end(kRow1)},
                        {std::begin(kRow2), std::end(kRow2)},
                        {std::begin(kRow3), std::end(kRow3)},
                        {std::begin(kRow4), std::end(kRow4)}};
constexpr double kRowUnits = 15;

// Soft tints, one per finger, mirrored left and right; the thumbs share a lavender.
QColor fingerTint(int finger) {
    static const QColor tints[] = {QColor(0xf7, 0xd9, 0xe3), QColor(0xfa, 0xe6, 0xc8),
                                   QColor(0xdc, 0xef, 0xd2), QColor(0xd4, 0xe6, 0xf8)};
    if (finger == Thumbs)
        return QColor(0xe6, 0xe1, 0xf6);
    if (finger < 0)
        return QColor(0xe9, 0xed, 0xf2);
    return tints[finger < 4 ? finger : 7 - finger];
}

} // namespace

// The on-screen keyboard: every key of the main block, tinted by the finger that strikes it,
// with the bumps on F and J where the index fingers rest.
class KeysKeyboard : public ClickLabel {
  public:
    explicit KeysKeyboard(QWidget* parent) : ClickLabel(QString(), parent) {
        setObjectName(QStringLiteral("Image3"));
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient bodyFill(body.topLeft(), body.bottomLeft());
        bodyFill.setColorAt(0, QColor(0x55, 0x60, 0x70));
        bodyFill.setColorAt(1, QColor(0x3b, 0x44, 0x52));
        p.setPen(QColor(0x2a, 0x31, 0x3b));
        p.setBrush(bodyFill);
        p.drawRoundedRect(body, 12, 12);

        const qreal pad = 9;
        const qreal unit = (width() - 2 * pad) / kRowUnits;
        const qreal rowHeight = (height() - 2 * pad) / std::size(kRows);
        const qreal gap = 4;
        qreal top = pad;
        for (const KeyRow& row : kRows) {
            qreal left = pad;
            for (const KeyCap* key = row.begin; key != row.end; ++key) {
                const QRectF cap(left + gap / 2, top + gap / 2, key->units * unit - gap,
                                 rowHeight - gap - 2);
                drawCap(p, cap, *key);
                left += key->units * unit;
            }
            top += rowHeight;
        }
    }

  private:
    void drawCap(QPainter& p, const QRectF& cap, const KeyCap& key) {
        const QColor tint = fingerTint(key.finger);
        Look::drawKeycap(p, cap, tint.lighter(106), tint.darker(106), QColor(0x2b, 0x32, 0x3c), 6,
                         2);

        const QString label = QString::fromUtf8(key.label);
        const QString shifted = QString::fromUtf8(key.shifted);
        p.setPen(QColor(0x3a, 0x47, 0x57));
        if (label.size() > 1) {
            p.setFont(Look::uiFont(7.5, true));
            p.setPen(QColor(0x5b, 0x6b, 0x7c));
            p.drawText(cap.adjusted(7, 4, -6, -4), Qt::AlignLeft | Qt::AlignBottom, label);
        } else if (!shifted.isEmpty()) {
            p.setFont(Look::uiFont(8, true));
            p.drawText(cap.adjusted(0, 3, 0, -cap.height() / 2), Qt::AlignCenter, shifted);
            p.setFont(Look::uiFont(10, true));
            p.drawText(cap.adjusted(0, cap.height() / 2 - 5, 0, -3), Qt::AlignCenter, label);
        } else if (!label.isEmpty()) {
            p.setFont(Look::uiFont(13, true));
            p.drawText(cap, Qt::AlignCenter, label);
        }
        if (label == u"F" || label == u"J") {
            p.setPen(QPen(QColor(0x3a, 0x47, 0x57), 2, Qt::SolidLine, Qt::RoundCap));
            const qreal y = cap.bottom() - 6;
            p.drawLine(QPointF(cap.center().x() - 5, y), QPointF(cap.center().x() + 5, y));
        }
    }
};

// The practice card: a quiet paper gradient, like the Word practice window's word panel.
class KeysCard : public QWidget {
  public:
    explicit KeysCard(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture5"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient paper(0, 0, 0, height());
        paper.setColorAt(0, QColor(0xf7, 0xfa, 0xfd));
        paper.setColorAt(1, QColor(0xec, 0xf2, 0xf8));
        p.fillRect(rect(), paper);
        p.setPen(QColor(0xd5, 0xde, 0xe8));
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
};

KeysWindow::KeysWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("form1yy"), 0, parent) {
    setWindowTitle(QStringLiteral("Keys practice"));
    buildWidgets();
    buildSettingsPanel();
    commonLoadChores();

    const QFont keysFont = monospaceFont(fontChoice(PracticeFontWindow::Keys));
    for (QLabel* label :
         {static_cast<QLabel*>(m_sourceLine), static_cast<QLabel*>(m_typedLine), m_nextKey})
        label->setFont(keysFont);
    restoreState();
}

void KeysWindow::buildWidgets() {
    m_card = new KeysCard(this);
    m_card->setGeometry(twipsRect(0, kCardTop, kWindowWidthTwips, kCardHeight));
    Look::setOwnStyle(m_card, QStringLiteral("QLabel { background: transparent; }"));

    auto* lessonCaption = new QLabel(QStringLiteral("Lesson"), m_card);
    lessonCaption->setStyleSheet(Look::labelStyle("#5b6b7c"));
    lessonCaption->setFont(Look::uiFont(9, true));
    lessonCaption->setGeometry(twipsRect(360, 210, 780, 300));
    m_lessonBadge = new QLabel(m_card);
    m_lessonBadge->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: #2f6fb8; border-radius: 9px; padding: 0 8px; }"));
    m_lessonBadge->setFont(Look::uiFont(9.5, true));
    m_lessonBadge->setAlignment(Qt::AlignCenter);
    m_lessonBadge->setGeometry(twipsRect(1140, 200, 720, 300));

    // The next key, shown as a key cap left of the two lines.
    m_nextKey = new QLabel(m_card);
    m_nextKey->setObjectName(QStringLiteral("Label3"));
    m_nextKey->setAlignment(Qt::AlignCenter);
    m_nextKey->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #1a9494, stop:1 #007070); border-bottom: 4px solid #005454;"
                       " border-radius: 12px; }"));
    m_nextKey->setGeometry(twipsRect(540, 690, 1320, 1320));
    auto* nextKeyCaption = new QLabel(QStringLiteral("Next key"), m_card);
    nextKeyCaption->setStyleSheet(Look::labelStyle("#5b6b7c"));
    nextKeyCaption->setFont(Look::uiFont(8.5));
    nextKeyCaption->setAlignment(Qt::AlignCenter);
    nextKeyCaption->setGeometry(twipsRect(540, 2100, 1320, 420));

    auto makeLine = [this](const QString& name, int top, const char* border) {
        auto* line = new ClickLabel(QString(), m_card);
        line->setObjectName(name);
        line->setMouseTracking(true);
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        line->setGeometry(twipsRect(kLinesLeft, top, kLineWidth, kLineHeight));
        Look::setOwnStyle(
            line, QStringLiteral("QLabel { color: #1f2a37; background: white; border: 1px solid %1;"
                                 " border-radius: 8px; padding: 0 12px; }")
                      .arg(QLatin1String(border)));
        line->installEventFilter(this);
        return line;
    };
    m_sourceLine = makeLine(QStringLiteral("Picture10"), 690, "#b9cde2");
    m_typedLine = makeLine(QStringLiteral("Picture11"), 1410, "#d5dee8");

    // Meters along the bottom of the card.
    m_meters = new QWidget(m_card);
    m_meters->setObjectName(QStringLiteral("Picture9"));
    m_meters->setGeometry(twipsRect(0, 2100, kWindowWidthTwips, 540));
    Look::setOwnStyle(m_meters, QStringLiteral("#Picture9 { background: transparent; }"));
    Look::addMeters(m_meters,
                    {{"Time", "Label40", "0:00:00", &m_clock},
                     {"Speed", "Label45", "0 WPM", &m_speed},
                     {"Accuracy", "Label38", "0 %", &m_accuracy}},
                    Look::MeterLayout::CaptionBefore, 2100, 0);

    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("Text1"));
    m_input->setToolTip(QStringLiteral("Type the keys shown above."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 20, true));
    m_input->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_input->setGeometry(twipsRect(kLinesLeft, kInputTop, 4800, kInputHeight));
    Look::setOwnStyle(
        m_input,
        QStringLiteral("QLineEdit { color: #1f2a37; background: white; border: 2px solid #8fb0d3;"
                       " border-radius: 7px; padding: 0 8px; selection-background-color: #2f6fb8; }"
                       "QLineEdit:focus { border-color: #2f6fb8; }"));

    // The lesson's characters and the typed ones, kept as text for the practice to come.
    m_lessonText = new QLineEdit(this);
    m_lessonText->setObjectName(QStringLiteral("Text2"));
    m_typedText = new QLineEdit(this);
    m_typedText->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit* box : {m_lessonText, m_typedText}) {
        Look::setOwnStyle(box, QStringLiteral("QLineEdit { color: #1f2a37; background: white; }"));
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

    m_keyboardFrame = new QWidget(this);
    m_keyboardFrame->setObjectName(QStringLiteral("Picture8"));
    m_keyboardFrame->setGeometry(twipsRect(kKeyboardMargin, kKeyboardTop,
                                           kWindowWidthTwips - 2 * kKeyboardMargin,
                                           kWindowHeightTwips - kKeyboardTop - kKeyboardMargin));
    Look::setOwnStyle(m_keyboardFrame, QStringLiteral("#Picture8 { background: transparent; }"));
    m_keyboard = new KeysKeyboard(m_keyboardFrame);
    m_keyboard->setGeometry(m_keyboardFrame->rect());
    m_keyboard->installEventFilter(this);
}

void KeysWindow::buildSettingsPanel() {
    QWidget* panel = makeSettingsPanel(QStringLiteral("Picture7"), 2760, 1680);
    makeThemesButton(panel, QStringLiteral("Command3"));
    m_keyedTips = makeSwitch(panel, QStringLiteral("Check1"), QStringLiteral("Keyed tips"), 750);
    m_sound =
        makeSwitch(panel, QStringLiteral("Check1qq"), QStringLiteral("Keystroke sound"), 1170);
}

QWidget* KeysWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> KeysWindow::exemptControls() const {
    return {m_card,          m_meters,     m_sourceLine, m_typedLine,
            m_keyboardFrame, m_lessonText, m_typedText,  m_input};
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

bool KeysWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_keyboard || watched == m_sourceLine || watched == m_typedLine) {
        if (type == QEvent::MouseMove) {
            hideSettingsPanel();
        } else if (type == QEvent::MouseButtonPress) {
            // The keyboard and the line to type close the panel; the typed line leaves it.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched != m_typedLine && mouse->button() == Qt::LeftButton)
                closePanelAndFocus();
            return true;
        } else if (type == QEvent::MouseButtonRelease && watched == m_keyboard) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton)
                popThemeMenu(mouse->globalPosition().toPoint());
        }
    }
    return PracticeWindow::eventFilter(watched, event);
}

void KeysWindow::mousePressEvent(QMouseEvent* event) {
    // The background and the practice card close the settings panel.
    closePanelAndFocus();
    PracticeWindow::mousePressEvent(event);
}
