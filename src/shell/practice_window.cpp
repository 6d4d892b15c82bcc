#include "shell/practice_window.h"

#include "shell/click_label.h"
#include "shell/look.h"
#include "shell/navigator.h"
#include "shell/platform.h"
#include "shell/sound_player.h"
#include "shell/twips.h"
#include "themes/skin_engine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

const QString PracticeWindow::kFend = QStringLiteral("Fend");
const QString PracticeWindow::kTend = QStringLiteral("Tend");

namespace {

struct NavigationEntry {
    const char* caption;
    int width;
};

constexpr NavigationEntry kEntries[PracticeWindow::kNavigationEntries] = {
    {"Keys practice", 1500},
    {"Word practice", 1500},
    {"Article practice", 1740},
    {"Typing Zephkin", 1680},
    {"About", 780}};
constexpr int kEntryTop = 420;
constexpr int kEntryHeight = 330;
constexpr int kEntryGap = 150;
constexpr int kHotZoneWidth = 510;
constexpr int kHotZoneHeight = 105;

QString entryStyle(bool own) {
    return QStringLiteral("QLabel { color: %1; background: transparent; }"
                          "QLabel:hover { text-decoration: underline; }")
        .arg(own ? QStringLiteral("#ff0000") : QStringLiteral("#000000"));
}

} // namespace

Banner::Banner(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0xfd, 0xfe, 0xff));
    sky.setColorAt(1, QColor(0xe4, 0xee, 0xf8));
    p.fillRect(r, sky);

    p.setPen(Qt::NoPen);
    // The logo: a keycap with a Z, then the program's name.
    const QRectF cap(20, (r.height() - 38) / 2 - 2, 38, 38);
    Look::drawKeycap(p, cap, QColor(0x4a, 0x8b, 0xd4), QColor(0x23, 0x5c, 0x9e),
                     QColor(0x1b, 0x44, 0x77), 8, 3);
    p.setPen(Qt::white);
    p.setFont(Look::uiFont(17, true));
    p.drawText(cap, Qt::AlignCenter, QStringLiteral("Z"));

    p.setPen(QColor(0x1b, 0x3b, 0x63));
    p.setFont(Look::uiFont(17, true));
    const QRectF name(cap.right() + 12, cap.top() - 4, 260, 28);
    p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zephkin"));
    p.setPen(Look::kMutedInk);
    p.setFont(Look::uiFont(8.5));
    p.drawText(QRectF(name.left() + 1, name.bottom() - 2, 260, 16),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("typing tutor"));

    p.setPen(QPen(QColor(0x2f, 0x6f, 0xb8), 2));
    p.drawLine(QPointF(0, r.height() - 1), QPointF(r.width(), r.height() - 1));
}

PracticeWindow::PracticeWindow(const AppContext& context, const QString& objectName, int ownEntry,
                               QWidget* parent)
    : QWidget(parent), m_context(context), m_ownEntry(ownEntry) {
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("practiceWindow", true);

    m_banner = new Banner(this);
    int left = kWindowWidthTwips - 300 - kEntryGap * (kNavigationEntries - 1);
    for (const NavigationEntry& entry : kEntries)
        left -= entry.width;
    for (int i = 0; i < kNavigationEntries; ++i) {
        auto* label = new ClickLabel(QString::fromLatin1(kEntries[i].caption), this);
        label->setObjectName(QStringLiteral("Label22a(%1)").arg(i));
        label->setFont(Look::uiFont(10, true));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(twipsRect(left, kEntryTop, kEntries[i].width, kEntryHeight));
        left += kEntries[i].width + kEntryGap;
        connect(label, &ClickLabel::clicked, this, [this, i] { navigationClick(i); });
        m_navigation[i] = label;
    }

    m_closingMark = new QLabel(kFend, this);
    m_closingMark->setObjectName(QStringLiteral("Label38t"));
    m_closingMark->hide();

    m_hotZone = new ClickLabel(QString(), this);
    m_hotZone->setObjectName(QStringLiteral("Label5pp"));
    m_hotZone->setMouseTracking(true);
    m_hotZone->setAttribute(Qt::WA_TranslucentBackground);
    connect(m_hotZone, &ClickLabel::mouseMoved, this, [this] { setClosingMark(kTend); });

    m_timer3t = new QTimer(this);
    m_timer3t->setObjectName(QStringLiteral("Timer3t"));
    m_timer3t->setSingleShot(true);
    m_timer3t->setInterval(11);
    connect(m_timer3t, &QTimer::timeout, this, [this] {
        setClosingMark(kTend);
        timer3tWork();
    });
}

PracticeWindow::~PracticeWindow() = default;

void PracticeWindow::commonLoadChores() {
    setFixedSize(twipsSize(kWindowWidthTwips, kWindowHeightTwips));
    const QRect entry = m_navigation[0]->geometry();
    m_banner->setGeometry(0, 0, width(), entry.top() + entry.height() + twips(110));
    m_banner->lower();
    const QCursor pointer = Look::navigationCursor();
    for (QLabel* label : m_navigation)
        label->setCursor(pointer);
    markNavigation();

    keySoundPath = m_context.folder.path(QStringLiteral("\\type.wav"));
    errorSoundPath = m_context.folder.path(QStringLiteral("\\error.wav"));
    if (m_context.sound) {
        m_context.sound->preload(keySoundPath);
        m_context.sound->preload(errorSoundPath);
    }
    if (m_context.platform)
        versionText = ::versionText(m_context.platform->windowsVersion());

    reExempt();
    m_hotZone->setGeometry(
        twipsRect(kWindowWidthTwips - kHotZoneWidth, 0, kHotZoneWidth, kHotZoneHeight));
    m_hotZone->raise();
}

FontChoice PracticeWindow::fontChoice(PracticeFontWindow window) const {
    const WindowsVersion version =
        m_context.platform ? m_context.platform->windowsVersion() : WindowsVersion{};
    return practiceFontChoice(window, version);
}

QString PracticeWindow::closingMark() const {
    return m_closingMark->text();
}

void PracticeWindow::setClosingMark(const QString& mark) {
    m_closingMark->setText(mark);
}

void PracticeWindow::rearm() {
    m_timer3t->start();
}

void PracticeWindow::markNavigation() {
    for (int i = 0; i < kNavigationEntries; ++i)
        Look::setStyleSheet(m_navigation[i], entryStyle(i == m_ownEntry));
}

void PracticeWindow::navigationClick(int entry) {
    if (entry != Navigator::AboutEntry)
        setClosingMark(kFend);
    if (m_context.navigator)
        m_context.navigator->navigate(this, entry);
}

void PracticeWindow::unload() {
    m_navigating = true;
    close();
}

void PracticeWindow::closeEvent(QCloseEvent* event) {
    if (m_unloaded) {
        event->accept();
        return;
    }
    m_unloaded = true;
    // Closed by the user or the system in the moment before the mark turns to "Tend" (just
    // after a load or a click on the own entry): still the end of the program, never a
    // process left running without a window.
    if (!m_navigating)
        setClosingMark(kTend);
    saveState();
    event->accept();
    if (closingMark() == kTend) {
        if (m_context.skin)
            m_context.skin->SkinRemove();
        if (m_context.navigator)
            m_context.navigator->endProgram();
        else
            QCoreApplication::exit(0);
    }
}

void PracticeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_timer3t->start();
    }
}

void PracticeWindow::reExempt() {
    if (!m_context.skin)
        return;
    const QList<QWidget*> controls = m_shownOnce ? reExemptControls() : exemptControls();
    for (QWidget* control : controls)
        m_context.skin->SkinWindowSet(control, 0);
}

void PracticeWindow::popThemeMenu(QPoint globalPos, bool focusInput) {
    if (m_context.navigator)
        m_context.navigator->popThemeMenu(this, globalPos);
    reExempt();
    if (focusInput)
        focusInputBox();
}

void PracticeWindow::focusInputBox() {
    QWidget* box = inputBox();
    if (box && box->isVisible()) {
        box->setFocus(Qt::OtherFocusReason);
        if (isVisible())
            activateWindow();
    }
}

void PracticeWindow::playWave(const QString& path) {
    if (m_context.sound)
        m_context.sound->PlayWave(path);
}

QWidget* PracticeWindow::makeSettingsPanel(const QString& name, int widthTwips, int heightTwips) {
    auto* panel = new QWidget(this);
    panel->setObjectName(name);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setAutoFillBackground(true);
    panel->resize(twipsSize(widthTwips, heightTwips));
    auto* frame = new QWidget(panel);
    frame->setObjectName(QStringLiteral("Shape3"));
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setAttribute(Qt::WA_StyledBackground);
    panel->hide();
    m_settingsPanel = panel;
    return panel;
}

QPushButton* PracticeWindow::makeThemesButton(QWidget* panel, const QString& name) {
    auto* button = new QPushButton(QStringLiteral("Themes"), panel);
    button->setObjectName(name);
    button->setGeometry(twipsRect(240, 180, 2280, 450));
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty("themeTrigger", true);
    button->installEventFilter(this);
    return button;
}

QCheckBox* PracticeWindow::makeSwitch(QWidget* panel, const QString& name, const QString& caption,
                                      int topTwips) {
    auto* box = new QCheckBox(caption, panel);
    box->setObjectName(name);
    box->setGeometry(twipsRect(240, topTwips, 2400, 360));
    box->setFocusPolicy(Qt::NoFocus);
    connect(box, &QCheckBox::clicked, this, [this] { focusInputBox(); });
    return box;
}

bool PracticeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched->property("themeTrigger").toBool())
        popThemeMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    return QWidget::eventFilter(watched, event);
}

void PracticeWindow::showSettingsPanel(QPoint topLeft) {
    QWidget* panel = m_settingsPanel;
    if (!panel)
        return;
    panel->move(topLeft);
    if (QWidget* frame = panel->findChild<QWidget*>(QStringLiteral("Shape3")))
        frame->setGeometry(1, 1, panel->width() - 1, panel->height() - 1);
    panel->show();
    panel->raise();
    focusInputBox();
}

void PracticeWindow::hideSettingsPanel() {
    if (m_settingsPanel)
        m_settingsPanel->hide();
}
