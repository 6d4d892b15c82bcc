#include "game/game_window.h"

#include "game/elf_sprite.h"
#include "shell/click_label.h"
#include "shell/key_codes.h"
#include "shell/look.h"
#include "shell/maker.h"
#include "shell/platform.h"
#include "shell/state_file.h"
#include "shell/twips.h"

#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Design places, twips. The field keeps its design size and sits just under the banner; the
// status line follows it.
constexpr int kFieldTop = 860;
constexpr int kStatusTop = kFieldTop + TypingGame::kFieldHeight + 45;
constexpr int kStatusHeight = 540;
constexpr int kPanelLeft = 1620;
constexpr int kPanelTop = kFieldTop + 795;

// Timer7 asks for 5 ms, but the sprite's pace follows the real tick rate, and the platform
// the game was first made for ticked at about 15.6 ms: 16 ms keeps the pace players knew, at
// a third of the processor time of a 5 ms tick.
struct TimerRow {
    const char* name;
    int interval;
    void (TypingGame::*tick)();
    bool (TypingGame::*on)() const;
};
constexpr TimerRow kTimers[] = {
    {"Timer7", 16, &TypingGame::Timer7, &TypingGame::timer7On},
    {"Timer1", 66, &TypingGame::Timer1, &TypingGame::timer1On},
    {"Timer2", 1000, &TypingGame::Timer2, &TypingGame::timer2On},
};

// A row of pine trees along a ridge: `base` is the ridge line, heights vary with `seed`.
void drawForest(QPainter& p, const QRectF& area, qreal base, qreal treeHeight, QColor colour,
                quint32 seed) {
    QRandomGenerator random(seed);
    QPainterPath forest;
    forest.moveTo(area.left(), area.bottom());
    forest.lineTo(area.left(), base);
    qreal x = area.left() - 10;
    while (x < area.right() + 20) {
        const qreal h = treeHeight * (0.6 + random.bounded(0.55));
        const qreal w = h * 0.42;
        const qreal ground = base + random.bounded(6.0);
        forest.lineTo(x, ground);
        // Three tiers of branches narrowing to the tip.
        for (int tier = 0; tier < 3; ++tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 - half, y + h * 0.1);
            forest.lineTo(x + w / 2 - half * 0.45, y);
        }
        forest.lineTo(x + w / 2, ground - h);
        for (int tier = 2; tier >= 0; --tier) {
            const qreal y = ground - h * (0.18 + tier * 0.27);
            const qreal half = w * (0.5 - tier * 0.12);
            forest.lineTo(x + w / 2 + half * 0.45, y);
            forest.lineTo(x + w / 2 + half, y + h * 0.1);
        }
        forest.lineTo(x + w, ground);
        x += w * (0.7 + random.bounded(0.5));
    }
    forest.lineTo(area.right(), base);
    forest.lineTo(area.right(), area.bottom());
    forest.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(forest);
}

void paintNightScene(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x0b, 0x14, 0x2e));
    sky.setColorAt(0.55, QColor(0x1b, 0x2c, 0x5a));
    sky.setColorAt(1, QColor(0x3a, 0x4f, 0x86));
    p.fillRect(r, sky);

    // Stars, thinning towards the horizon; the same sky every time.
    QRandomGenerator random(7);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 140; ++i) {
        const qreal x = random.bounded(r.width());
        const qreal y = r.height() * 0.75 * std::pow(random.bounded(1.0), 1.6);
        const qreal size = 0.6 + random.bounded(1.3);
        p.setBrush(QColor(255, 255, 255, 110 + random.bounded(145)));
        p.drawEllipse(QPointF(x, y), size, size);
    }

    // The moon with its glow.
    const QPointF moon(r.width() * 0.86, r.height() * 0.3);
    QRadialGradient glow(moon, 90);
    glow.setColorAt(0, QColor(255, 244, 214, 90));
    glow.setColorAt(1, QColor(255, 244, 214, 0));
    p.setBrush(glow);
    p.drawEllipse(moon, 90, 90);
    p.setBrush(QColor(0xfb, 0xf3, 0xdc));
    p.drawEllipse(moon, 30, 30);
    p.setBrush(QColor(0xe9, 0xdf, 0xc2));
    p.drawEllipse(moon + QPointF(-9, -7), 6, 6);
    p.drawEllipse(moon + QPointF(8, 9), 4.5, 4.5);
    p.drawEllipse(moon + QPointF(11, -11), 3, 3);

    drawForest(p, r, r.height() * 0.8, 70, QColor(0x22, 0x35, 0x5c), 11);
    drawForest(p, r, r.height() * 0.92, 95, QColor(0x10, 0x1c, 0x33), 23);
    p.setBrush(QColor(0x0b, 0x13, 0x24));
    p.drawRect(QRectF(0, r.height() - 8, r.width(), 8));
}

QColor toColor(const ItemColour& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

// The input box Text1: reports the keys the game answers when they are let go.
class GameInput : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    std::function<void(int)> keyReleased;

  protected:
    void keyReleaseEvent(QKeyEvent* event) override {
        QLineEdit::keyReleaseEvent(event);
        if (event->isAutoRepeat() || !keyReleased)
            return;
        switch (event->key()) {
        case Qt::Key_F2:
            keyReleased(TypingGame::kF2);
            break;
        case Qt::Key_F3:
            keyReleased(TypingGame::kF3);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            keyReleased(KeyCode::Enter);
            break;
        default:
            break;
        }
    }
};

// The elf sprite Picture1, showing Image1 (facing right) or its mirror Image2.
class ElfSpriteWidget : public QWidget {
  public:
    explicit ElfSpriteWidget(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture1"));
        resize(twipsSize(TypingGame::kSpriteWidth, TypingGame::kSpriteHeight));
    }
    std::function<void()> clicked;

    void setFacingLeft(bool left) {
        if (left == m_facingLeft)
            return;
        m_facingLeft = left;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const qreal dpr = devicePixelRatioF();
        QPixmap& picture = m_pictures[m_facingLeft ? 1 : 0];
        if (picture.isNull() || picture.devicePixelRatio() != dpr)
            picture = ElfSprite::picture(size(), dpr, m_facingLeft);
        QPainter(this).drawPixmap(0, 0, picture);
    }
    // The sprite takes its own presses, so a right button on it opens no theme menu.
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && clicked)
            clicked();
    }
    void mouseReleaseEvent(QMouseEvent*) override {}

  private:
    bool m_facingLeft = false;
    QPixmap m_pictures[2];
};

// The playing field Picture2: the night scene, the items and the elf sprite. It repaints only
// the places where something moved or changed.
class GameField : public QWidget {
  public:
    GameField(const TypingGame& game, const QFont& itemFont, QWidget* parent)
        : QWidget(parent), m_game(game), m_itemFont(itemFont),
          m_itemHeight(QFontMetrics(itemFont).height()) {
        setObjectName(QStringLiteral("Picture2"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        m_sprite = new ElfSpriteWidget(this);
        m_sprite->clicked = [this] {
            if (spriteOrItemClicked)
                spriteOrItemClicked();
        };
    }

    std::function<void()> spriteOrItemClicked;
    std::function<void()> fieldClicked;
    std::function<void(QPoint)> rightReleased;

    // Items fall a whole step every fall tick, which looks jerky on a modern screen. Between
    // ticks they are drawn gliding from where the last tick found them to where it left them,
    // one tick behind; the game's own places, hits and misses are untouched.
    void noteFallTick(std::chrono::milliseconds interval) {
        for (int i = 0; i < TypingGame::kSlots; ++i)
            m_fallFrom[size_t(i)] = {m_game.slot(i).text, m_game.slot(i).top};
        m_fallInterval = interval;
        m_sinceFall.start();
    }

    // Schedules a repaint of what changed since the last call.
    void refresh() {
        QRegion dirty;
        for (int i = 0; i < TypingGame::kSlots; ++i) {
            const Shown now = shownItem(i);
            if (now != m_items[size_t(i)]) {
                dirty += m_items[size_t(i)].rect;
                dirty += now.rect;
                m_items[size_t(i)] = now;
            }
        }
        if (!dirty.isEmpty())
            update(dirty);
        m_sprite->move(qRound(m_game.spriteLeft() / 15.0), qRound(m_game.spriteTop() / 15.0));
        m_sprite->setFacingLeft(m_game.spriteFacesLeft());
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        m_scene = QPixmap();
        QWidget::resizeEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        const qreal dpr = devicePixelRatioF();
        if (m_scene.isNull() || m_scene.devicePixelRatio() != dpr) {
            m_scene = QPixmap((QSizeF(size()) * dpr).toSize());
            m_scene.setDevicePixelRatio(dpr);
            QPainter scene(&m_scene);
            paintNightScene(scene, rect());
        }
        QPainter p(this);
        for (const QRect& r : event->region())
            p.drawPixmap(r, m_scene, QRectF(QRectF(r).topLeft() * dpr, QSizeF(r.size()) * dpr));

        // Items: coloured bold text on black.
        p.setFont(m_itemFont);
        for (const Shown& item : m_items) {
            if (item.rect.isEmpty() || !event->region().intersects(item.rect))
                continue;
            p.fillRect(item.rect, Qt::black);
            p.setPen(toColor(item.colour));
            p.drawText(item.rect, Qt::AlignCenter, item.text);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        const QPoint at = event->position().toPoint();
        const bool onItem = std::any_of(m_items.begin(), m_items.end(),
                                        [at](const Shown& item) { return item.rect.contains(at); });
        if (onItem && spriteOrItemClicked)
            spriteOrItemClicked();
        else if (!onItem && fieldClicked)
            fieldClicked();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::RightButton && rightReleased)
            rightReleased(event->globalPosition().toPoint());
    }

  private:
    struct Shown {
        QRect rect;
        QString text;
        ItemColour colour;
        bool operator==(const Shown&) const = default;
    };

    // Items are shown once a game has begun, while they are live and on the field.
    Shown shownItem(int i) const {
        if (m_game.gameStarted() != u"1" || !m_game.isLive(i))
            return {};
        const ItemSlot& s = m_game.slot(i);
        double top = s.top;
        const FallStart& from = m_fallFrom[size_t(i)];
        if (m_game.timer1On() && m_sinceFall.isValid() && from.text == s.text && from.top < s.top) {
            const double part =
                std::min(1.0, double(m_sinceFall.elapsed()) / double(m_fallInterval.count()));
            top = from.top + (s.top - from.top) * part;
        }
        const QRect r(qRound(s.left / 15.0), qRound(top / 15.0), qRound(s.width / 15.0),
                      m_itemHeight);
        if (!r.intersects(rect()))
            return {};
        return {r, s.text, s.colour};
    }

    struct FallStart {
        QString text;
        double top = 0;
    };

    const TypingGame& m_game;
    QFont m_itemFont;
    int m_itemHeight;
    std::array<FallStart, TypingGame::kSlots> m_fallFrom{};
    QElapsedTimer m_sinceFall;
    std::chrono::milliseconds m_fallInterval{66};
    QPixmap m_scene;
    std::array<Shown, TypingGame::kSlots> m_items{};
    ElfSpriteWidget* m_sprite = nullptr;
};

GameWindow::GameWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form10"), 3, parent),
      m_game(quint32(QDateTime::currentMSecsSinceEpoch())) {
    setWindowTitle(TypingGame::kTitle);

    // Items: bold 21.75-point Consolas, sized to their text.
    const QFont itemFont = monospaceFont(QStringLiteral("Consolas"), 21.75, true);
    m_field = new GameField(m_game, itemFont, this);
    m_field->setGeometry(twipsRect(TypingGame::kFieldLeft, kFieldTop, TypingGame::kFieldWidth,
                                   TypingGame::kFieldHeight));
    m_field->spriteOrItemClicked = [this] {
        m_game.clickSpriteOrItem();
        focusInputBox();
    };
    m_field->fieldClicked = [this] { focusInputBox(); };
    m_field->rightReleased = [this](QPoint at) { popThemeMenu(at); };

    buildStatusLine();
    buildFieldControls();
    buildMenu();
    buildSettingsPanel();
    buildTimers();

    const QFontMetrics itemMetrics(itemFont);
    m_game.setMeasure([itemMetrics](const QString& text) {
        return toTwips(itemMetrics.horizontalAdvance(text) + 6);
    });
    m_game.setWordListReader([this](const QString& name) { return readWordList(name); });
    connect(&m_game, &TypingGame::changed, this, &GameWindow::render);
    connect(&m_game, &TypingGame::soundRequested, this, [this](PracticeSound sound) {
        playWave(sound == PracticeSound::Error ? errorSoundPath : keySoundPath);
    });
    connect(&m_game, &TypingGame::messageShown, this,
            [this](const QString& title, const QString& text) {
                if (m_context.platform)
                    m_context.platform->tell(this, title, text);
                focusInputBox();
            });

    bool found = false;
    const QString settings =
        StateFile::readText(m_context.folder.path(QStringLiteral("\\GameSet.txt")), &found);
    m_game.load(found ? settings : QString());
    render(TypingGame::Changes(0xff));
    commonLoadChores();
}

void GameWindow::buildStatusLine() {
    struct Heading {
        const char* caption;
        const char* name;
        int left, width;
        QLabel** value;
    };
    const Heading headings[] = {{"integral", "Label4", 0, 1095, &m_score},
                                {"Time", "Label8", 1125, 1005, &m_clock},
                                {"Speed", "Label16", 2160, 915, &m_speed}};
    for (const Heading& h : headings) {
        auto* caption = new QLabel(QString::fromLatin1(h.caption), this);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setFont(Look::uiFont(8.5));
        caption->setGeometry(twipsRect(h.left, kStatusTop, h.width, kStatusHeight));
        Look::setOwnStyle(caption, QStringLiteral("QLabel { color: #5b6b7c; background: white;"
                                                  " border: 1px solid #d5dee8;"
                                                  " border-radius: 6px; padding-top: 2px; }"));
        auto* value = new QLabel(QStringLiteral("0"), this);
        value->setObjectName(QString::fromLatin1(h.name));
        value->setAlignment(Qt::AlignCenter);
        value->setFont(Look::uiFont(10.5, true));
        value->setGeometry(twipsRect(h.left + 45, kStatusTop + 240, h.width - 90, 270));
        Look::setOwnStyle(value, Look::labelStyle(QStringLiteral("#e00000")));
        *h.value = value;
    }

    auto makeButton = [this](const QString& caption, const char* name, QRect place) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(place);
        return button;
    };
    m_settings = makeButton(QStringLiteral("Settings"), "Command9",
                            twipsRect(3105, kStatusTop, 1080, kStatusHeight));
    m_settings->setFont(Look::uiFont(9));
    Look::setOwnStyle(m_settings, QStringLiteral("QPushButton { padding: 0 2px; }"));
    m_newGame = makeButton(QStringLiteral("New game(F2)"), "Command8",
                           twipsRect(7935, kStatusTop, 1995, kStatusHeight));
    m_pause = makeButton(QStringLiteral("Pause(F3)"), "Command6",
                         twipsRect(9945, kStatusTop, 1950, kStatusHeight));
    m_continue = makeButton(QStringLiteral("Continue(F3)"), "Command7",
                            twipsRect(9945, kStatusTop, 1950, kStatusHeight));
    connect(m_settings, &QPushButton::clicked, this, [this] {
        m_game.openSettings();
        focusInputBox();
    });
    connect(m_newGame, &QPushButton::clicked, this, [this] { m_game.newGameButton(); });
    connect(m_pause, &QPushButton::clicked, this, [this] {
        m_game.pause();
        focusInputBox();
    });
    connect(m_continue, &QPushButton::clicked, this, [this] {
        m_game.continueGame();
        focusInputBox();
    });

    m_input = new GameInput(this);
    m_input->setObjectName(QStringLiteral("Text1"));
    m_input->setToolTip(QStringLiteral("Type the falling letters."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 18, false));
    m_input->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_input->setGeometry(twipsRect(4230, kStatusTop, 3660, kStatusHeight));
    Look::setOwnStyle(
        m_input,
        QStringLiteral("QLineEdit { color: #1f2a37; background: white; border: 2px solid #8fb0d3;"
                       " border-radius: 7px; padding: 0 8px; selection-background-color: #2f6fb8; }"
                       "QLineEdit:focus { border-color: #f0c75e; }"));
    connect(m_input, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_game.textChanged(text);
    });
    m_input->keyReleased = [this](int code) { m_game.keyUp(code); };

    // Hidden mirrors of the run state and the wrong-input log.
    m_runState = new QLabel(this);
    m_runState->setObjectName(QStringLiteral("Label18"));
    m_runState->hide();
    m_wrongLog = new QLineEdit(this);
    m_wrongLog->setObjectName(QStringLiteral("Text2"));
    m_wrongLog->hide();
}

void GameWindow::buildFieldControls() {
    m_gameOver = new QLabel(TypingGame::kGameOverText, m_field);
    m_gameOver->setObjectName(QStringLiteral("Label6"));
    m_gameOver->setAlignment(Qt::AlignCenter);
    m_gameOver->setGeometry(twipsRect(2880, 1035, 6435, 930));
    // 36 points, or less where the system's font runs wider than the box.
    QFont large = Look::uiFont(36, true);
    while (large.pointSizeF() > 12 &&
           QFontMetrics(large).horizontalAdvance(TypingGame::kGameOverText) >
               m_gameOver->width() - twips(360))
        large.setPointSizeF(large.pointSizeF() - 1);
    m_gameOver->setFont(large);
    Look::setOwnStyle(m_gameOver, QStringLiteral("QLabel { color: white; background: black;"
                                                 " border-radius: 10px; }"));

    m_gamesLink = new ClickLabel(QStringLiteral("Online Typing Games"), m_field);
    m_gamesLink->setObjectName(QStringLiteral("Label15"));
    m_gamesLink->setFont(Look::uiFont(10));
    m_gamesLink->setAlignment(Qt::AlignCenter);
    m_gamesLink->setCursor(Qt::PointingHandCursor);
    m_gamesLink->setGeometry(twipsRect(4410, 2205, 2850, 330));
    Look::setOwnStyle(m_gamesLink,
                      QStringLiteral("QLabel { color: #9cc4ff; background: transparent; }"
                                     "QLabel:hover { color: #cfe2ff; text-decoration: underline; }"));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });

    m_select = new QPushButton(QStringLiteral("Select game item"), m_field);
    m_select->setObjectName(QStringLiteral("Command1"));
    m_select->setFocusPolicy(Qt::NoFocus);
    m_select->setFont(Look::uiFont(11, true));
    m_select->setCursor(Qt::PointingHandCursor);
    m_select->setGeometry(twipsRect(4230, 2880, 3240, 705));
    Look::setOwnStyle(
        m_select,
        QStringLiteral("QPushButton { color: #1b2540; background: qlineargradient(x1:0, y1:0,"
                       " x2:0, y2:1, stop:0 #ffe08a, stop:1 #f2b94a); border: 1px solid #c98f22;"
                       " border-radius: 10px; }"
                       "QPushButton:hover { background: #ffe7a3; }"
                       "QPushButton:pressed { background: #e9a93a; }"));
    connect(m_select, &QPushButton::clicked, this, [this] {
        m_gameMenu->exec(QCursor::pos());
        focusInputBox();
    });
}

void GameWindow::buildMenu() {
    m_gameMenu = new QMenu(QStringLiteral("\u6E38\u620F(&G)"), this);
    m_gameMenu->setObjectName(QStringLiteral("GAME"));
    QAction* fresh = m_gameMenu->addAction(QStringLiteral("New game(&N)"));
    fresh->setObjectName(QStringLiteral("new"));
    connect(fresh, &QAction::triggered, this, [this] { m_game.newGame(); });
    m_gameMenu->addSeparator();
    for (int k = 0; k < GameItemSets::kCount; ++k) {
        QAction* entry = m_gameMenu->addAction(GameItemSets::table()[size_t(k)].caption);
        entry->setObjectName(QStringLiteral("new1(%1)").arg(k));
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, k] {
            m_game.chooseSet(k);
            render(TypingGame::Caption); // the menu ticks its own entry; the game decides
        });
        m_sets[size_t(k)] = entry;
    }
}

void GameWindow::buildSettingsPanel() {
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Picture3"));
    m_panel->setAttribute(Qt::WA_StyledBackground);
    m_panel->setGeometry(twipsRect(kPanelLeft, kPanelTop, 8925, 5145));
    Look::setOwnStyle(m_panel,
                      QStringLiteral("#Picture3 { background: #f5f8fb; border: 1px solid #8fa3bd;"
                                     " border-radius: 10px; }"
                                     "QGroupBox { font-weight: bold; color: #1f2a37;"
                                     " border: 1px solid #d5dee8; border-radius: 7px;"
                                     " margin-top: 9px; background: white; }"
                                     "QGroupBox::title { subcontrol-origin: margin; left: 10px;"
                                     " padding: 0 4px; }"
                                     "QRadioButton, QCheckBox, QLabel { color: #1f2a37;"
                                     " background: transparent; }"
                                     "QRadioButton::indicator { width: 12px; height: 12px;"
                                     " border: 1px solid #7d90a8; border-radius: 7px;"
                                     " background: white; }"
                                     "QRadioButton::indicator:checked { background: qradialgradient("
                                     "cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #2f6fb8,"
                                     " stop:0.55 #2f6fb8, stop:0.65 white); }"
                                     "QRadioButton:disabled, QCheckBox:disabled { color: #8a96a3; }"));
    m_panel->hide();

    auto group = [this](const QString& title, const char* name, QRect place) {
        auto* box = new QGroupBox(title, m_panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFont(Look::uiFont(9, true));
        box->setGeometry(place);
        return box;
    };
    auto refocus = [this] { focusInputBox(); };
    auto option = [&](QWidget* parent, const QString& caption, const char* name, QRect place) {
        auto* button = new QRadioButton(caption, parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setFont(Look::uiFont(8.5));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(place);
        return button;
    };
    auto check = [&](QWidget* parent, const QString& caption, const char* name, QRect place,
                     void (TypingGame::*set)(bool)) {
        auto* box = new QCheckBox(caption, parent);
        box->setObjectName(QString::fromLatin1(name));
        box->setFont(Look::uiFont(8.5));
        box->setFocusPolicy(Qt::NoFocus);
        box->setGeometry(place);
        connect(box, &QCheckBox::clicked, this, [this, set, refocus](bool on) {
            (m_game.*set)(on);
            refocus();
        });
        return box;
    };
    auto valueChip = [&](QWidget* parent, const char* name, QRect place) {
        auto* label = new QLabel(parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(Look::uiFont(10, true));
        label->setGeometry(place);
        label->setStyleSheet(QStringLiteral("QLabel { color: #1f2a37; background: white;"
                                            " border: 1px solid #b9c6d6; border-radius: 5px; }"));
        return label;
    };
    auto stepButton = [&](QWidget* parent, const QString& caption, const char* name, QRect place,
                          std::function<void()> step) {
        auto* button = new QPushButton(caption, parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(place);
        connect(button, &QPushButton::clicked, this, [step, refocus] {
            step();
            refocus();
        });
        return button;
    };
    auto caption = [&](QWidget* parent, const QString& text, QRect place) {
        auto* label = new QLabel(text, parent);
        label->setFont(Look::uiFont(9));
        label->setGeometry(place);
        return label;
    };

    // How a game ends; the group for the chosen end sits beside the options.
    QGroupBox* ending = group(QStringLiteral("Setting Game over    "), "Frame3",
                              twipsRect(360, 315, 8175, 1440));
    m_spriteDown = option(ending, QStringLiteral("Elf fell to the bottom of the end of the game"),
                          "Option1", twipsRect(180, 315, 4440, 420));
    m_timed = option(ending, QStringLiteral("Set the time to end the game"), "Option2",
                     twipsRect(180, 855, 4440, 420));
    connect(m_spriteDown, &QRadioButton::clicked, this, [this, refocus] {
        m_game.setSpriteDownEnd(true);
        refocus();
    });
    connect(m_timed, &QRadioButton::clicked, this, [this, refocus] {
        m_game.setSpriteDownEnd(false);
        refocus();
    });
    m_dropGroup = new QWidget(ending);
    m_dropGroup->setObjectName(QStringLiteral("Frame7"));
    m_dropGroup->setGeometry(twipsRect(4650, 225, 3450, 1110));
    m_dropOnWrong = check(m_dropGroup, QStringLiteral("The whereabouts of a wrong input"), "Check1",
                          twipsRect(0, 120, 3450, 390), &TypingGame::setDropOnWrong);
    m_dropOnMiss = check(m_dropGroup, QStringLiteral("The whereabouts of a missing input"),
                         "Check2", twipsRect(0, 630, 3450, 390), &TypingGame::setDropOnMiss);
    m_timeGroup = new QWidget(ending);
    m_timeGroup->setObjectName(QStringLiteral("Frame8"));
    m_timeGroup->setGeometry(twipsRect(4650, 225, 3450, 1110));
    caption(m_timeGroup, QStringLiteral("Time:"), twipsRect(0, 150, 700, 390));
    m_timeLimit = valueChip(m_timeGroup, "Label5", twipsRect(720, 120, 1000, 420));
    caption(m_timeGroup, QStringLiteral("Second"), twipsRect(1800, 150, 900, 390));
    m_oneStep[0] = stepButton(m_timeGroup, QStringLiteral("+"), "Command2",
                              twipsRect(0, 630, 780, 420), [this] { m_game.stepTimeLimit(1); });
    m_oneStep[1] = stepButton(m_timeGroup, QStringLiteral("-"), "Command3",
                              twipsRect(840, 630, 780, 420), [this] { m_game.stepTimeLimit(-1); });
    stepButton(m_timeGroup, QStringLiteral("+50"), "Command10", twipsRect(1680, 630, 780, 420),
               [this] { m_game.stepTimeLimit(50); });
    stepButton(m_timeGroup, QStringLiteral("-50"), "Command11", twipsRect(2520, 630, 780, 420),
               [this] { m_game.stepTimeLimit(-50); });

    QGroupBox* other = group(QStringLiteral("Other settings "), "Frame4",
                             twipsRect(360, 1912, 8175, 1260));
    m_keySound = check(other, QStringLiteral("Keystroke sound"), "Check6",
                       twipsRect(225, 330, 2600, 390), &TypingGame::setKeySound);
    m_speedUp = check(other, QStringLiteral("Character falling faster and faster"), "Check3",
                      twipsRect(3000, 330, 4800, 390), &TypingGame::setSpeedUp);
    caption(other, QStringLiteral("Character drop start speed:"), twipsRect(225, 760, 2900, 390));
    m_startSpeed = valueChip(other, "Label11", twipsRect(3150, 730, 900, 420));
    m_oneStep[3] = stepButton(other, QStringLiteral("+"), "Command5",
                              twipsRect(4200, 730, 780, 420), [this] { m_game.stepStartSpeed(1); });
    m_oneStep[2] = stepButton(other, QStringLiteral("-"), "Command4", twipsRect(5100, 730, 780, 420),
                              [this] { m_game.stepStartSpeed(-1); });
    stepButton(other, QStringLiteral("+10"), "Command13", twipsRect(6000, 730, 780, 420),
               [this] { m_game.stepStartSpeed(10); });
    stepButton(other, QStringLiteral("-10"), "Command12", twipsRect(6900, 730, 780, 420),
               [this] { m_game.stepStartSpeed(-10); });

    QGroupBox* count = group(QStringLiteral("Practice character number "), "Frame5",
                             twipsRect(360, 3330, 8175, 855));
    const char* counts[] = {"One", "Two", "Three", "Four"};
    for (int i = 0; i < 4; ++i) {
        m_itemCount[size_t(i)] =
            option(count, QString::fromLatin1(counts[i]), qPrintable(QStringLiteral("Option%1").arg(i + 3)),
                   twipsRect(600 + 1900 * i, 330, 1500, 390));
        connect(m_itemCount[size_t(i)], &QRadioButton::clicked, this, [this, i, refocus] {
            m_game.setItemCount(i + 1);
            refocus();
        });
    }

    auto* save = stepButton(m_panel, QStringLiteral("Save settings"), "Command14",
                            twipsRect(2205, 4365, 2085, 510), [this] { saveSettings(); });
    auto* cancel = stepButton(m_panel, QStringLiteral("Cancel"), "Command15",
                              twipsRect(4455, 4365, 2085, 510), [this] { m_game.cancelSettings(); });
    save->setDefault(true);
    Q_UNUSED(cancel);
}

void GameWindow::buildTimers() {
    for (const TimerRow& row : kTimers) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(row.name));
        timer->setInterval(row.interval);
        connect(timer, &QTimer::timeout, this, [this, timer, tick = row.tick] {
            if (tick == &TypingGame::Timer1)
                m_field->noteFallTick(timer->intervalAsDuration());
            (m_game.*tick)();
            // Every other sprite tick is also a frame for the gliding items: about 30 frames
            // a second look smooth at the items' pace and keep the processor time low.
            if (tick == &TypingGame::Timer7 && m_game.timer1On() && (++m_frames & 1))
                m_field->refresh();
        });
        (row.tick == &TypingGame::Timer7 ? m_timer7
         : row.tick == &TypingGame::Timer1 ? m_timer1
                                           : m_timer2) = timer;
    }
}

void GameWindow::saveSettings() {
    const QString path = m_context.folder.path(QStringLiteral("\\GameSet.txt"));
    if (!StateFile::writeLine(path, m_game.settingsLine()) && m_context.platform)
        m_context.platform->tell(this, TypingGame::kPromptTitle,
                                 QStringLiteral("The settings could not be saved."));
    m_game.saveSettings();
}

std::optional<QString> GameWindow::readWordList(const QString& fileName) const {
    bool found = false;
    const QString field =
        StateFile::readFirstField(m_context.folder.path(QStringLiteral("\\") + fileName), &found);
    if (!found)
        return std::nullopt;
    return field;
}

void GameWindow::render(TypingGame::Changes what) {
    using C = TypingGame::Change;
    if (what & (C::Items | C::Sprite | C::Controls))
        m_field->refresh();
    if (what & C::Status) {
        m_score->setText(m_game.score());
        m_clock->setText(m_game.clockValue());
        m_speed->setText(m_game.shownSpeed());
    }
    if ((what & C::Input) && m_input->text() != m_game.inputText())
        m_input->setText(m_game.inputText());
    if (what & (C::Input | C::Controls))
        m_wrongLog->setText(m_game.wrongLog());
    if (what & C::Controls) {
        m_pause->setEnabled(m_game.pauseEnabled());
        m_pause->setVisible(m_game.pauseInFront());
        m_continue->setVisible(!m_game.pauseInFront());
        m_select->setVisible(m_game.selectVisible());
        m_gamesLink->setVisible(m_game.selectVisible());
        m_gameOver->setVisible(m_game.gameOverVisible());
        for (QPushButton* button : m_oneStep)
            button->setEnabled(m_game.oneStepButtonsEnabled());
        m_spriteDown->setEnabled(m_game.endModeOptionsEnabled());
        m_timed->setEnabled(m_game.endModeOptionsEnabled());
        m_runState->setText(m_game.runState());
        if (m_game.settingsPanelVisible() != m_panel->isVisible()) {
            m_panel->setVisible(m_game.settingsPanelVisible());
            m_panel->raise();
        }
    }
    if (what & (C::Settings | C::Controls))
        renderSettings();
    if (what & C::Caption) {
        setWindowTitle(m_game.caption());
        for (int k = 0; k < GameItemSets::kCount; ++k)
            m_sets[size_t(k)]->setChecked(k == m_game.checkedSet());
    }
    if (what & C::Timers) {
        QTimer* timers[] = {m_timer7, m_timer1, m_timer2};
        for (size_t i = 0; i < std::size(kTimers); ++i) {
            const bool on = (m_game.*kTimers[i].on)();
            if (on && !timers[i]->isActive())
                timers[i]->start();
            else if (!on && timers[i]->isActive())
                timers[i]->stop();
        }
    }
}

void GameWindow::renderSettings() {
    const GameSettings& s = m_game.settings();
    m_spriteDown->setChecked(s.spriteDownEnd);
    m_timed->setChecked(!s.spriteDownEnd);
    m_dropGroup->setVisible(s.spriteDownEnd);
    m_timeGroup->setVisible(!s.spriteDownEnd);
    m_dropOnWrong->setChecked(s.dropOnWrong);
    m_dropOnMiss->setChecked(s.dropOnMiss);
    m_timeLimit->setText(QString::number(s.timeLimit));
    m_keySound->setChecked(s.keySound);
    m_speedUp->setChecked(s.speedUp);
    m_startSpeed->setText(QString::number(s.startSpeed));
    for (int i = 0; i < 4; ++i)
        m_itemCount[size_t(i)]->setChecked(s.itemCount == i + 1);
}

QWidget* GameWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> GameWindow::exemptControls() const {
    return {m_field, m_input};
}

QList<QWidget*> GameWindow::reExemptControls() const {
    return {m_field, m_input};
}
