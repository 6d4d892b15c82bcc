#include "game/ui/game_window.h"

#include "core/maker.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "frame/navigator.h"
#include "frame/shortcut.h"
#include "game/ui/elf_sprite.h"
#include "game/ui/game_look.h"
#include "look/look.h"
#include "platform/direct_painter.h"
#include "platform/platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// Design places, twips. The field keeps its design size and sits just under the banner; the
// status line follows it.
constexpr int kFieldTop = 860;
constexpr int kStatusTop = kFieldTop + TypingGame::kFieldHeight + 45;
constexpr int kStatusHeight = 540;
constexpr int kPanelLeft = 1620;
constexpr int kPanelTop = kFieldTop + 795;

// The game's clocks, milliseconds: the sprite's step, which is also a frame while only the
// sprite moves; the fall tick; and the frames between two fall ticks, three of them.
constexpr int kSpriteTickMs = 16;
constexpr int kFallMs = 66;
constexpr int kFrameMs = kSpriteTickMs;
constexpr int kBetweenFallsMs = 17;
constexpr int kMostTicksAFrame = 6;

QColor toColor(const ItemColour& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

// The playing field Picture2: the night scene, the items and the elf sprite (Picture1, showing
// Image1 facing right or its mirror Image2). It repaints only the places where something moved
// or changed, and nothing when nothing moved by a whole pixel.
class GameField : public QWidget {
  public:
    GameField(const TypingGame& game, const QFont& itemFont, QWidget* parent)
        : QWidget(parent), m_game(game), m_itemFont(itemFont),
          m_itemHeight(QFontMetrics(itemFont).height()),
          m_spriteSize(twipsSize(TypingGame::kSpriteWidth, TypingGame::kSpriteHeight)) {
        setObjectName(QStringLiteral("Picture2"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // A left press on the sprite or an item.
    std::function<void()> spriteOrItemClicked;

    bool onSprite(QPoint at) const { return m_sprite.rect.contains(at); }

    // Items fall a whole step every fall tick, which looks jerky on a modern screen. Between
    // ticks they are drawn gliding from where the last tick found them to where it left them,
    // one tick behind; the game's own places, hits and misses are untouched.
    void noteFallTick(std::chrono::milliseconds interval) {
        for (int i = 0; i < TypingGame::kSlots; ++i)
            m_fallFrom[size_t(i)] = {m_game.slot(i).text, m_game.slot(i).top};
        m_fallInterval = interval;
        m_sinceFall.start();
    }

    // Schedules a repaint of what changed since the last call: for each thing that moved, the
    // one rectangle that covers where it was and where it is.
    void refresh() {
        QRegion dirty;
        const auto note = [&dirty](const QRect& before, const QRect& now) {
            if (before.intersects(now))
                dirty += before.united(now);
            else
                dirty += before, dirty += now;
        };
        for (int i = 0; i < TypingGame::kSlots; ++i) {
            Shown now = shownItem(i);
            Shown& before = m_items[size_t(i)];
            if (now == before)
                continue;
            note(before.rect, now.rect);
            before = std::move(now);
        }
        const SpriteShown sprite = shownSprite();
        if (sprite != m_sprite) {
            note(m_sprite.rect, sprite.rect);
            m_sprite = sprite;
        }
        // Straight to the screen where it can, a repaint where it cannot.
        const QRegion left =
            m_direct.paint(dirty, [this](QPainter& p, const QRect& r) { draw(p, QRegion(r)); });
        if (!left.isEmpty())
            update(left);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        m_scene = QPixmap();
        QWidget::resizeEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        draw(p, event->region());
    }

    // A press on the sprite or an item pauses a running game; the field's own triggers are
    // routes.
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (event->button() == Qt::LeftButton && spriteOrItemClicked &&
            (onSprite(at) || std::any_of(m_items.begin(), m_items.end(), [at](const Shown& item) {
                 return item.rect.contains(at);
             })))
            spriteOrItemClicked();
    }

  private:
    // The scene, the items and the sprite over them, in `region`.
    void draw(QPainter& p, const QRegion& region) {
        const qreal dpr = p.device()->devicePixelRatioF();
        if (m_scene.isNull() || m_scene.devicePixelRatio() != dpr) {
            m_scene = QPixmap((QSizeF(size()) * dpr).toSize());
            m_scene.setDevicePixelRatio(dpr);
            QPainter scene(&m_scene);
            GameLook::paintNightScene(scene, rect());
        }
        for (const QRect& r : region)
            p.drawPixmap(r, m_scene, QRectF(QRectF(r).topLeft() * dpr, QSizeF(r.size()) * dpr));

        // Items: coloured bold text on black, drawn once per item and then copied.
        for (size_t i = 0; i < m_items.size(); ++i) {
            const Shown& item = m_items[i];
            if (item.rect.isEmpty() || !region.intersects(item.rect))
                continue;
            ItemPicture& picture = m_pictures[i];
            if (picture.text != item.text || picture.colour != item.colour ||
                picture.pixmap.deviceIndependentSize().toSize() != item.rect.size() ||
                picture.pixmap.devicePixelRatio() != dpr) {
                picture = {item.text, item.colour, renderItem(item, dpr)};
            }
            p.drawPixmap(item.rect.topLeft(), picture.pixmap);
        }

        // The sprite over the items.
        if (region.intersects(m_sprite.rect)) {
            QPixmap& picture = m_spritePictures[m_sprite.facingLeft ? 1 : 0];
            if (picture.isNull() || picture.devicePixelRatio() != dpr)
                picture = ElfSprite::picture(m_spriteSize, dpr, m_sprite.facingLeft);
            p.drawPixmap(m_sprite.rect.topLeft(), picture);
        }
    }

    struct Shown {
        QRect rect;
        QString text;
        ItemColour colour;
        bool operator==(const Shown&) const = default;
    };
    struct SpriteShown {
        QRect rect;
        bool facingLeft = false;
        bool operator==(const SpriteShown&) const = default;
    };
    struct ItemPicture {
        QString text;
        ItemColour colour;
        QPixmap pixmap;
    };

    QPixmap renderItem(const Shown& item, qreal dpr) const {
        QPixmap pixmap((QSizeF(item.rect.size()) * dpr).toSize());
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(GameLook::kItemBackground);
        QPainter p(&pixmap);
        p.setFont(m_itemFont);
        p.setPen(toColor(item.colour));
        p.drawText(QRect(QPoint(), item.rect.size()), Qt::AlignCenter, item.text);
        return pixmap;
    }

    // Items are shown once a game has begun, while they are live and on the field.
    Shown shownItem(int i) const {
        if (!m_game.gameStarted().startsWith(u'1') || !m_game.isLive(i))
            return {};
        const ItemSlot& s = m_game.slot(i);
        double top = s.top;
        const FallStart& from = m_fallFrom[size_t(i)];
        if (m_game.falling() && m_sinceFall.isValid() && from.text == s.text && from.top < s.top) {
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

    SpriteShown shownSprite() const {
        const QRect r(QPoint(qRound(m_game.spriteLeft() / 15.0), qRound(m_game.spriteTop() / 15.0)),
                      m_spriteSize);
        return {r.intersects(rect()) ? r : QRect(), m_game.spriteFacesLeft()};
    }

    struct FallStart {
        QString text;
        double top = 0;
    };

    const TypingGame& m_game;
    QFont m_itemFont;
    int m_itemHeight;
    QSize m_spriteSize;
    std::array<FallStart, TypingGame::kSlots> m_fallFrom{};
    std::array<ItemPicture, TypingGame::kSlots> m_pictures{};
    QPixmap m_spritePictures[2];
    QElapsedTimer m_sinceFall;
    std::chrono::milliseconds m_fallInterval{66};
    QPixmap m_scene;
    std::array<Shown, TypingGame::kSlots> m_items{};
    SpriteShown m_sprite;
    DirectPainter m_direct{this};
};

GameWindow::GameWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form10"), Navigator::GameEntry, parent),
      m_game(quint32(QDateTime::currentMSecsSinceEpoch())),
      m_steps(kSpriteTickMs, kMostTicksAFrame) {
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
    buildStatusLine();
    buildFieldControls();
    buildMenu();
    buildSettingsPanel();

    // Timer7 asks for 5 ms, but the sprite's pace follows the real tick rate, and the system
    // the game was first made for ticked at about 15.6 ms: the sprite steps once every 16 ms
    // of real time, the pace players knew, and each frame takes the steps whose time has come.
    // While the items fall, each fall tick (Timer1) is a frame and sets off three more, 17 ms
    // apart, in which the items glide on to where the tick left them: about 60 frames a
    // second, one wakeup each.
    TimerTable& t = timers();
    m_spriteTimer = t.add("Timer7", kFrameMs, TimerTable::Repeating, [this] { frame(false); });
    m_fallTimer = t.add("Timer1", kFallMs, TimerTable::Repeating, [this] {
        m_spriteTimer->start(kBetweenFallsMs);
        frame(true);
    });
    m_spriteTimer->setTimerType(Qt::PreciseTimer);
    m_fallTimer->setTimerType(Qt::PreciseTimer);
    QTimer* clock = t.add("Timer2", 1000, TimerTable::Repeating, [this] { m_game.Timer2(); });
    // The sprite is a control of its own: a right button on it opens no theme menu.
    route({{m_field, Route::On::RightRelease, Route::ThemeMenu,
            [this](QPoint at) { return !m_field->onSprite(at); }},
           {m_field, Route::On::LeftPress, Route::FocusInput}});

    const QFontMetrics itemMetrics(itemFont);
    m_game.setMeasure([itemMetrics](const QString& text) {
        return toTwips(itemMetrics.horizontalAdvance(text) + 6);
    });
    m_game.setWordListReader([this](const QString& name) { return readWordList(name); });
    attachModel(&m_game, PracticeMode::Game, clock);

    bool found = false;
    const QString settings = StateFile::readText(
        m_context.folder.path(QStringLiteral("\\GameSet.txt")), &found, StateFile::kStateCap);
    m_game.load(found ? settings : QString());
    mirror(TypingGame::Changes(0xff));
}

GameWindow::~GameWindow() {
    if (m_caretFlashTime >= 0)
        QApplication::setCursorFlashTime(m_caretFlashTime);
}

// The caret in the input box keeps still while the game is in view: the player watches the
// field, and a blinking caret would wake the program twice a second, a paused game too.
void GameWindow::showEvent(QShowEvent* event) {
    PracticeWindow::showEvent(event);
    if (m_caretFlashTime < 0) {
        m_caretFlashTime = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
    }
}

void GameWindow::hideEvent(QHideEvent* event) {
    if (m_caretFlashTime >= 0) {
        QApplication::setCursorFlashTime(m_caretFlashTime);
        m_caretFlashTime = -1;
    }
    PracticeWindow::hideEvent(event);
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
        GameLook::styleHeading(caption);
        caption->setGeometry(twipsRect(h.left, kStatusTop, h.width, kStatusHeight));
        auto* value = new QLabel(QStringLiteral("0"), this);
        value->setObjectName(QString::fromLatin1(h.name));
        GameLook::styleValue(value);
        value->setGeometry(twipsRect(h.left + 45, kStatusTop + 240, h.width - 90, 270));
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
    m_settings->setFont(Look::uiFont(8.5));
    GameLook::styleNarrowButton(m_settings);
    m_newGame = makeButton(QStringLiteral("New game(F2)"), "Command8",
                           twipsRect(7935, kStatusTop, 1995, kStatusHeight));
    m_pause = makeButton(QStringLiteral("Pause(F3)"), "Command6",
                         twipsRect(9945, kStatusTop, 1950, kStatusHeight));
    m_continue = makeButton(QStringLiteral("Continue(F3)"), "Command7",
                            twipsRect(9945, kStatusTop, 1950, kStatusHeight));
    connect(m_settings, &QPushButton::clicked, this, [this] {
        // A second Alt+S closes the panel as Cancel does.
        if (!m_panel->isHidden()) {
            showSettingsPanel(false);
            return;
        }
        m_game.openSettings();
        showSettingsPanel(true);
        focusInputBox();
    });
    addShortcut(m_settings, QKeySequence(Qt::ALT | Qt::Key_S));
    connect(m_newGame, &QPushButton::clicked, this, [this] { m_game.newGameButton(); });
    connect(m_pause, &QPushButton::clicked, this, [this] {
        m_game.pause();
        focusInputBox();
    });
    connect(m_continue, &QPushButton::clicked, this, [this] {
        m_game.continueGame();
        focusInputBox();
    });

    m_input = new InputBox(QStringLiteral("Text1"), this);
    m_input->setToolTip(QStringLiteral("Type the falling letters."));
    m_input->setFont(monospaceFont(QStringLiteral("Consolas"), 18, false));
    m_input->setGeometry(twipsRect(4230, kStatusTop, 3660, kStatusHeight));
    connect(m_input, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_game.textChanged(text); });
    m_input->onKeyUp([this](int code) { m_game.keyUp(code); });

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
    m_gameOver->setGeometry(twipsRect(2880, 1035, 6435, 930));
    GameLook::styleGameOver(m_gameOver, 36);
    // A paused game says so over the field, quietly.
    m_paused = new QLabel(QStringLiteral("Paused (F3)"), m_field);
    m_paused->setObjectName(QStringLiteral("pausedNote"));
    m_paused->setAlignment(Qt::AlignCenter);
    m_paused->setGeometry(twipsRect(4400, 4300, 3000, 600)); // below "Select game item"
    GameLook::styleGameOver(m_paused, 18);
    m_paused->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_paused->hide();

    m_gamesLink = new ClickLabel(QStringLiteral("Online Typing Games"), m_field);
    m_gamesLink->setObjectName(QStringLiteral("Label15"));
    Look::styleGamesLink(m_gamesLink, true);
    m_gamesLink->setAlignment(Qt::AlignCenter);
    m_gamesLink->setGeometry(twipsRect(4410, 2205, 2850, 330));
    connect(m_gamesLink, &ClickLabel::clicked, this, [this] {
        if (m_context.platform)
            m_context.platform->openUrl(Maker::kGamesPage);
    });

    m_select = new QPushButton(QStringLiteral("Select game item"), m_field);
    m_select->setObjectName(QStringLiteral("Command1"));
    m_select->setFocusPolicy(Qt::NoFocus);
    GameLook::styleButton(m_select);
    m_select->setGeometry(twipsRect(4230, 2880, 3240, 705));
    // The menu opens under the button, for a click as for Alt+L.
    connect(m_select, &QPushButton::clicked, this, [this] {
        m_gameMenu->exec(m_select->mapToGlobal(QPoint(0, m_select->height())));
        focusInputBox();
    });
    addShortcut(m_select, QKeySequence(Qt::ALT | Qt::Key_L));
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
            mirror(TypingGame::Caption); // the menu ticks its own entry; the game decides
        });
        m_sets[size_t(k)] = entry;
    }
}

void GameWindow::buildSettingsPanel() {
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Picture3"));
    m_panel->setAttribute(Qt::WA_StyledBackground);
    m_panel->setGeometry(twipsRect(kPanelLeft, kPanelTop, 8925, 5145));
    GameLook::stylePanel(m_panel);
    m_panel->hide();
    closeWithEscape(m_panel, [this] {
        showSettingsPanel(false);
        focusInputBox();
    });

    auto refocus = [this] { focusInputBox(); };
    auto group = [this](const QString& title, const char* name, QRect place) {
        auto* box = new QGroupBox(title, m_panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFont(Look::uiFont(9, true));
        box->setGeometry(place);
        return box;
    };
    auto option = [](QWidget* parent, const QString& caption, const QString& name, QRect place) {
        auto* button = new QRadioButton(caption, parent);
        button->setObjectName(name);
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
    auto valueChip = [](QWidget* parent, const char* name, QRect place) {
        auto* label = new QLabel(parent);
        label->setObjectName(QString::fromLatin1(name));
        Look::styleBadge(label, 6);
        label->setGeometry(place);
        return label;
    };
    auto button = [&](QWidget* parent, const QString& caption, const char* name, QRect place,
                      std::function<void()> click) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(Look::uiFont(9));
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(place);
        // The small step buttons keep their caption whole under skins with wide padding.
        if (caption.size() <= 3)
            GameLook::styleNarrowButton(b);
        connect(b, &QPushButton::clicked, this, [click, refocus] {
            click();
            refocus();
        });
        return b;
    };
    auto caption = [](QWidget* parent, const QString& text, QRect place) {
        auto* label = new QLabel(text, parent);
        label->setFont(Look::uiFont(9));
        label->setGeometry(place);
    };

    // How a game ends. Frame7 and Frame8 share one place beside the options: the group that
    // belongs to the chosen end is shown.
    QGroupBox* ending =
        group(QStringLiteral("Setting Game over    "), "Frame3", twipsRect(225, 315, 8475, 1440));
    m_spriteDown = option(ending, QStringLiteral("Elf fell to the bottom of the end of the game"),
                          QStringLiteral("Option1"), twipsRect(180, 315, 4470, 420));
    m_timed = option(ending, QStringLiteral("Set the time to end the game"),
                     QStringLiteral("Option2"), twipsRect(180, 855, 4470, 420));
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
    m_dropGroup->setGeometry(twipsRect(4650, 225, 3750, 1110));
    m_dropOnWrong = check(m_dropGroup, QStringLiteral("The whereabouts of a wrong input"), "Check1",
                          twipsRect(0, 120, 3750, 390), &TypingGame::setDropOnWrong);
    m_dropOnMiss = check(m_dropGroup, QStringLiteral("The whereabouts of a missing input"),
                         "Check2", twipsRect(0, 630, 3750, 390), &TypingGame::setDropOnMiss);
    m_timeGroup = new QWidget(ending);
    m_timeGroup->setObjectName(QStringLiteral("Frame8"));
    m_timeGroup->setGeometry(twipsRect(4650, 225, 3750, 1110));
    caption(m_timeGroup, QStringLiteral("Time:"), twipsRect(0, 150, 700, 390));
    m_timeLimit = valueChip(m_timeGroup, "Label5", twipsRect(720, 120, 1000, 420));
    caption(m_timeGroup, QStringLiteral("Second"), twipsRect(1800, 150, 900, 390));
    m_oneStep[0] = button(m_timeGroup, QStringLiteral("+"), "Command2", twipsRect(0, 630, 840, 420),
                          [this] { m_game.stepTimeLimit(1); });
    m_oneStep[1] = button(m_timeGroup, QStringLiteral("-"), "Command3",
                          twipsRect(870, 630, 840, 420), [this] { m_game.stepTimeLimit(-1); });
    button(m_timeGroup, QStringLiteral("+50"), "Command10", twipsRect(1740, 630, 840, 420),
           [this] { m_game.stepTimeLimit(50); });
    button(m_timeGroup, QStringLiteral("-50"), "Command11", twipsRect(2610, 630, 840, 420),
           [this] { m_game.stepTimeLimit(-50); });

    QGroupBox* other =
        group(QStringLiteral("Other settings "), "Frame4", twipsRect(225, 1912, 8475, 1260));
    m_keySound = check(other, QStringLiteral("Keystroke sound"), "Check6",
                       twipsRect(225, 330, 2600, 390), &TypingGame::setKeySound);
    m_speedUp = check(other, QStringLiteral("Character falling faster and faster"), "Check3",
                      twipsRect(3000, 330, 4800, 390), &TypingGame::setSpeedUp);
    caption(other, QStringLiteral("Character drop start speed:"), twipsRect(225, 760, 2900, 390));
    m_startSpeed = valueChip(other, "Label11", twipsRect(3150, 730, 900, 420));
    m_oneStep[3] = button(other, QStringLiteral("+"), "Command5", twipsRect(4140, 730, 870, 420),
                          [this] { m_game.stepStartSpeed(1); });
    m_oneStep[2] = button(other, QStringLiteral("-"), "Command4", twipsRect(5070, 730, 870, 420),
                          [this] { m_game.stepStartSpeed(-1); });
    button(other, QStringLiteral("+10"), "Command13", twipsRect(6000, 730, 870, 420),
           [this] { m_game.stepStartSpeed(10); });
    button(other, QStringLiteral("-10"), "Command12", twipsRect(6930, 730, 870, 420),
           [this] { m_game.stepStartSpeed(-10); });

    QGroupBox* count = group(QStringLiteral("Practice character number "), "Frame5",
                             twipsRect(225, 3330, 8475, 855));
    const char* counts[] = {"One", "Two", "Three", "Four"};
    for (int i = 0; i < 4; ++i) {
        m_itemCount[size_t(i)] =
            option(count, QString::fromLatin1(counts[i]), QStringLiteral("Option%1").arg(i + 3),
                   twipsRect(600 + 1900 * i, 330, 1500, 390));
        connect(m_itemCount[size_t(i)], &QRadioButton::clicked, this, [this, i, refocus] {
            m_game.setItemCount(i + 1);
            refocus();
        });
    }

    button(m_panel, QStringLiteral("Save settings"), "Command14", twipsRect(2205, 4365, 2085, 510),
           [this] { saveSettings(); });
    button(m_panel, QStringLiteral("Cancel"), "Command15", twipsRect(4455, 4365, 2085, 510),
           [this] { showSettingsPanel(false); });
}

void GameWindow::showSettingsPanel(bool show) {
    if (show) {
        m_panel->show();
        m_panel->raise();
    } else {
        m_panel->hide();
    }
    // The paused note gives way to the panel.
    m_paused->setVisible(m_game.state() == TypingGame::RunState::Paused && !show);
}

void GameWindow::saveSettings() {
    const QString path = m_context.folder.path(QStringLiteral("\\GameSet.txt"));
    if (!StateFile::writeLine(path, m_game.settingsLine()) && m_context.platform)
        m_context.platform->tell(window(), TypingGame::kPromptTitle,
                                 QStringLiteral("The settings could not be saved."));
    m_game.saveSettings();
    showSettingsPanel(false);
}

std::optional<QString> GameWindow::readWordList(const QString& fileName) const {
    bool found = false;
    const QString field = StateFile::readFirstField(
        m_context.folder.path(QStringLiteral("\\") + fileName), &found, StateFile::kListCap);
    if (!found)
        return std::nullopt;
    return field;
}

void GameWindow::render(const ModelEvents& events) {
    mirror(TypingGame::Changes::fromInt(events.display));
}

void GameWindow::mirror(TypingGame::Changes what) {
    using C = TypingGame::Change;
    // A frame draws once, after all of its ticks.
    if ((what & (C::Items | C::Sprite | C::Controls)) && !m_inFrame)
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
        m_pause->setVisible(pauseInFront(m_game));
        m_continue->setVisible(!pauseInFront(m_game));
        m_select->setVisible(selectShown(m_game));
        m_gamesLink->setVisible(selectShown(m_game));
        m_gameOver->setVisible(m_game.gameOverVisible());
        m_paused->setVisible(m_game.state() == TypingGame::RunState::Paused && m_panel->isHidden());
        for (QPushButton* button : m_oneStep)
            button->setEnabled(m_game.oneStepButtonsEnabled());
        m_spriteDown->setEnabled(m_game.endModeOptionsEnabled());
        m_timed->setEnabled(m_game.endModeOptionsEnabled());
        m_runState->setText(m_game.runState());
    }
    if (what & (C::Settings | C::Controls))
        mirrorSettings();
    if (what & C::Caption) {
        setWindowTitle(m_game.caption());
        for (int k = 0; k < GameItemSets::kCount; ++k)
            m_sets[size_t(k)]->setChecked(k == m_game.checkedSet());
    }
    // The game clock, Timer2, follows the game through the frame.
    if (what & C::Motion)
        runFrames();
}

void GameWindow::runFrames() {
    const bool wasRunning = m_spriteTimer->isActive();
    if (m_game.falling()) {
        if (!m_fallTimer->isActive()) {
            m_fallTimer->start();
            m_spriteTimer->start(kBetweenFallsMs);
        }
    } else {
        m_fallTimer->stop();
        if (!m_game.spriteWalking())
            m_spriteTimer->stop();
        else if (!wasRunning || m_spriteTimer->interval() != kFrameMs)
            m_spriteTimer->start(kFrameMs);
    }
    // The sprite's pace is counted from the moment its frames start.
    if (!wasRunning && m_spriteTimer->isActive()) {
        m_frameClock.start();
        m_steps.restart(0);
    }
}

void GameWindow::frame(bool fallTick) {
    const bool outer = !m_inFrame;
    m_inFrame = true;
    // A frame of Timer7 takes one step at least, as one tick of it would.
    if (!m_frameClock.isValid()) {
        m_frameClock.start();
        m_steps.restart(0);
    }
    const int ticks = m_steps.due(m_frameClock.elapsed(), fallTick ? 0 : 1);
    for (int i = 0; i < ticks && m_game.spriteWalking(); ++i)
        m_game.Timer7();
    if (fallTick) {
        m_field->noteFallTick(m_fallTimer->intervalAsDuration());
        m_game.Timer1();
    }
    if (outer)
        m_inFrame = false;
    m_field->refresh();
}

void GameWindow::mirrorSettings() {
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

bool GameWindow::pauseInFront(const TypingGame& game) {
    return game.state() != TypingGame::RunState::Paused;
}

bool GameWindow::selectShown(const TypingGame& game) {
    using S = TypingGame::RunState;
    return game.state() == S::NotStarted || game.state() == S::Paused || game.gameOverVisible();
}

QWidget* GameWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> GameWindow::exemptControls() const {
    return {m_field, m_input};
}
