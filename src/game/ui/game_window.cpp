#include "game/ui/game_window.h"

#include "game/ui/elf_sprite.h"
#include "game/ui/game_look.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "look/look.h"
#include "core/maker.h"
#include "core/state_file.h"
#include "core/timer_table.h"
#include "core/twips.h"
#include "frame/click_label.h"
#include "frame/input_box.h"
#include "frame/navigator.h"
#include "frame/shortcut.h"
#include "game/ui/elf_sprite.h"
#include "look/look.h"
#include "platform/platform.h"

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

QColor toColor(const ItemColour& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

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
            GameLook::paintNightScene(scene, rect());
        }
        QPainter p(this);
        for (const QRect& r : event->region())
            p.drawPixmap(r, m_scene, QRectF(QRectF(r).topLeft() * dpr, QSizeF(r.size()) * dpr));

        // Items: coloured bold text on black, drawn once per item and then copied.
        for (size_t i = 0; i < m_items.size(); ++i) {
            const Shown& item = m_items[i];
            if (item.rect.isEmpty() || !event->region().intersects(item.rect))
                continue;
            ItemPicture& picture = m_pictures[i];
            if (picture.text != item.text || picture.colour != item.colour ||
                picture.pixmap.deviceIndependentSize().toSize() != item.rect.size() ||
                picture.pixmap.devicePixelRatio() != dpr) {
                picture = {item.text, item.colour, renderItem(item, dpr)};
            }
            p.drawPixmap(item.rect.topLeft(), picture.pixmap);
        }
    }

    // A click on an item pauses a running game; the field's own triggers are routes.
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (event->button() == Qt::LeftButton && spriteOrItemClicked &&
            std::any_of(m_items.begin(), m_items.end(),
                        [at](const Shown& item) { return item.rect.contains(at); }))
            spriteOrItemClicked();
    }

  private:
    struct Shown {
        QRect rect;
        QString text;
        ItemColour colour;
        bool operator==(const Shown&) const = default;
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
        if (m_game.gameStarted() != u"1" || !m_game.isLive(i))
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

    struct FallStart {
        QString text;
        double top = 0;
    };

    const TypingGame& m_game;
    QFont m_itemFont;
    int m_itemHeight;
    std::array<FallStart, TypingGame::kSlots> m_fallFrom{};
    std::array<ItemPicture, TypingGame::kSlots> m_pictures{};
    QElapsedTimer m_sinceFall;
    std::chrono::milliseconds m_fallInterval{66};
    QPixmap m_scene;
    std::array<Shown, TypingGame::kSlots> m_items{};
    ElfSpriteWidget* m_sprite = nullptr;
};

GameWindow::GameWindow(const AppContext& context, QWidget* parent)
    : PracticeWindow(context, QStringLiteral("Form10"), Navigator::GameEntry, parent),
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
    buildStatusLine();
    buildFieldControls();
    buildMenu();
    buildSettingsPanel();

    // Timer7 asks for 5 ms, but the sprite's pace follows the real tick rate, and the system
    // the game was first made for ticked at about 15.6 ms: 16 ms keeps the pace players knew,
    // at a third of the processor time of a 5 ms tick. Each sprite tick is also a frame for
    // the gliding items, about 60 a second.
    TimerTable& t = timers();
    m_spriteTimer = t.add("Timer7", 16, TimerTable::Repeating, [this] {
        m_game.Timer7();
        if (m_game.falling())
            m_field->refresh();
    });
    m_fallTimer = t.add("Timer1", 66, TimerTable::Repeating, [this] {
        m_field->noteFallTick(m_fallTimer->intervalAsDuration());
        m_game.Timer1();
    });
    QTimer* clock = t.add("Timer2", 1000, TimerTable::Repeating, [this] { m_game.Timer2(); });
    route({{m_field, Route::On::RightRelease, Route::ThemeMenu},
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
        if (m_game.settingsPanelVisible()) {
            m_game.cancelSettings();
            return;
        }
        m_game.openSettings();
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
        m_game.cancelSettings();
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
           [this] { m_game.cancelSettings(); });
}

void GameWindow::saveSettings() {
    const QString path = m_context.folder.path(QStringLiteral("\\GameSet.txt"));
    if (!StateFile::writeLine(path, m_game.settingsLine()) && m_context.platform)
        m_context.platform->tell(window(), TypingGame::kPromptTitle,
                                 QStringLiteral("The settings could not be saved."));
    m_game.saveSettings();
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
        m_paused->setVisible(m_game.state() == TypingGame::RunState::Paused &&
                             !m_game.settingsPanelVisible());
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
        mirrorSettings();
    if (what & C::Caption) {
        setWindowTitle(m_game.caption());
        for (int k = 0; k < GameItemSets::kCount; ++k)
            m_sets[size_t(k)]->setChecked(k == m_game.checkedSet());
    }
    // The game clock, Timer2, follows the game through the frame.
    if (what & C::Motion) {
        TimerTable::run(m_spriteTimer, m_game.spriteWalking());
        TimerTable::run(m_fallTimer, m_game.falling());
    }
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

QWidget* GameWindow::inputBox() const {
    return m_input;
}

QList<QWidget*> GameWindow::exemptControls() const {
    return {m_field, m_input};
}
