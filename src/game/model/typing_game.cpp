#include "game/model/typing_game.h"

#include "core/key_codes.h"

#include <algorithm>
#include <climits>

const QString TypingGame::kTitle = QStringLiteral("Typing Zephkin");
const QString TypingGame::kCaptionPrefix = QStringLiteral("Typing game: ");
const QString TypingGame::kParked = QStringLiteral("end!!!");
const QString TypingGame::kGameOverText = QStringLiteral("Game over, again?");
const QString TypingGame::kPromptTitle = QStringLiteral("Prompt");

namespace {

constexpr int kTargetSpan = TypingGame::kFieldWidth - 2639; // sprite targets 820 to 9980
constexpr int kTargetLeft = 820;
constexpr int kSlowStep = 50;  // the sprite's stroll, twips per Timer7 tick
constexpr int kFastStep = 500; // its dash to a new place after a hit or a miss
constexpr int kSpriteDownLine = TypingGame::kFieldHeight - 600;
constexpr int kSpacingPush = 116;
constexpr int kFieldRight = TypingGame::kFieldLeft + TypingGame::kFieldWidth;
const QString kTenBlanks = QStringLiteral("          ");

// Minimum distance between the lefts of two items.
int spacingGap(int setKind, int itemLength) {
    if (setKind <= 3)
        return 333;
    return itemLength == 2 ? 1555 : itemLength == 3 ? 2000 : 2100;
}

} // namespace

TypingGame::TypingGame(quint32 seed, QObject* parent)
    : PracticeModel(parent), m_generator(seed), m_caption(kTitle) {
    const GameItemSet& first = GameItemSets::table()[0];
    m_setKind = first.setKind;
    m_itemLength = first.itemLength;
    m_itemSource = first.itemSource;
    for (ItemSlot& s : m_slots) {
        s.text = QStringLiteral("  ");
        s.left = kParkedLeft;
        s.top = kParkedTop;
    }
}

double TypingGame::draw() {
    if (m_random)
        return std::clamp(m_random(), 0.0, 0.9999999999);
    return double(m_generator()) / 4294967296.0;
}

bool TypingGame::isLive(int i) const {
    const QString& text = m_slots[size_t(i)].text;
    return !text.isEmpty() && text != kParked;
}

void TypingGame::showMessage(const QString& text) {
    message(kPromptTitle, text);
}

// Each game is a run of its own: its counters start again with the next game.
void TypingGame::endGame() {
    runEnded();
    resettingCounters();
    m_ended = m_play;
    m_play = {};
}

RunTotals TypingGame::totals() const {
    const int typed = m_play.hits + m_play.errors;
    return {m_play.seconds, typed, m_play.errors,
            m_play.seconds > 0 ? int(qint64(m_play.hits) * 60 / m_play.seconds) : 0,
            typed > 0 ? int(qint64(m_play.hits) * 100 / typed) : 0};
}

QString TypingGame::runItem() const {
    return m_caption.startsWith(kCaptionPrefix) ? m_caption.mid(kCaptionPrefix.size()) : m_caption;
}

QString TypingGame::runState() const {
    switch (m_state) {
    case RunState::Running:
        return QStringLiteral("zt");
    case RunState::Paused:
        return QStringLiteral("jx");
    case RunState::Over:
        return QStringLiteral("00");
    case RunState::NotStarted:
        break;
    }
    return QString();
}

void TypingGame::load(const QString& settingsLine) {
    const Batch batch(this);
    m_spriteStep = kSlowStep;
    m_settings.applyLine(settingsLine);
    m_hitSound = m_errorSound = m_settings.keySound;
    m_score = QStringLiteral("0");
    m_clockValue =
        m_settings.spriteDownEnd ? QStringLiteral("0") : QString::number(m_settings.timeLimit);
    m_shownSpeed = QString::number(m_settings.startSpeed);
    touch(Status | Settings | Controls);
}

// --- item sets ---

void TypingGame::chooseSet(int index) {
    const Batch batch(this);
    if (index < 0 || index >= GameItemSets::kCount)
        return;
    const GameItemSet& set = GameItemSets::table()[size_t(index)];
    QString source = set.itemSource;
    if (!set.wordFile.isEmpty()) {
        const std::optional<QString> read =
            m_readWordList ? m_readWordList(set.wordFile) : std::nullopt;
        // Without its word list the set cannot be played: keep the set in play.
        if (!read || read->isEmpty()) {
            showMessage(QStringLiteral("The word list %1 could not be read. The game keeps its"
                                       " items.")
                            .arg(set.wordFile));
            return;
        }
        source = *read;
    }
    m_checkedSet = index;
    m_caption = kCaptionPrefix + set.caption;
    m_setKind = set.setKind;
    m_itemLength = set.itemLength;
    m_itemSource = source;
    touch(Caption);
    newGame();
}

void TypingGame::spawn(int i) {
    ItemSlot& s = m_slots[size_t(i)];
    const double u1 = draw();
    const double u2 = draw();
    const double u3 = draw();
    s.colour = GameItemSets::colour(u1, u2, u3, i == 3 ? 250 : 255);
    s.text = GameItemSets::cutItem(m_itemSource, m_itemLength, draw());
    s.width = m_measure ? m_measure(s.text) : 0;
    s.left = m_spriteLeft + (kSpriteWidth - s.width) / 2.0;
    s.top = m_spriteTop + kSpriteHeight * 2.0 / 3.0;
    touch(Items);
}

void TypingGame::park(int i) {
    ItemSlot& s = m_slots[size_t(i)];
    s.top = kParkedTop;
    s.left = kParkedLeft;
    s.text = kParked;
    touch(Items);
}

// --- run states ---

void TypingGame::setState(RunState state) {
    if (state == m_state)
        return;
    m_state = state;
    touch(Motion | Controls);
}

void TypingGame::setFallSpeed(int speed) {
    m_fallSpeed = std::clamp(speed, 0, GameSettings::kMaxStartSpeed);
}

void TypingGame::setScore(const QString& text) {
    if (text == m_score)
        return;
    m_score = text;
    touch(Status);
    // The fall quickens at the 5th, 15th, 25th ... hit.
    if (m_settings.speedUp && m_score.endsWith(u'5'))
        setFallSpeed(m_fallSpeed + 1);
}

void TypingGame::setInput(const QString& text) {
    if (text != m_input)
        touch(Input);
    m_input = text;
}

void TypingGame::newSpriteTarget() {
    m_spriteTarget = int(kTargetSpan * draw()) + kTargetLeft;
}

void TypingGame::newGame() {
    const Batch batch(this);
    // A game left for a new one is a run of its own, never a part of the next.
    if (m_play.seconds > 0 || m_play.hits > 0 || m_play.errors > 0) {
        runEnded();
        resettingCounters();
        m_play = {};
    }
    setState(RunState::Running);
    m_spriteTop = 0;
    m_spriteLeft = kSpriteStartLeft;
    m_hitCount = 0;
    m_wrongLog.clear();
    setFallSpeed(m_settings.startSpeed);
    m_gameOverVisible = false;
    for (ItemSlot& s : m_slots)
        s.text.clear();
    spawn(0);
    for (int i = 1; i < m_settings.itemCount; ++i)
        spawn(i);
    setScore(QStringLiteral("0"));
    m_clockValue =
        m_settings.spriteDownEnd ? QStringLiteral("0") : QString::number(m_settings.timeLimit);
    m_shownSpeed = QString::number(m_settings.startSpeed);
    m_gameStarted = true;
    m_spriteWalking = true;
    setInput(QString());
    touch(Items | Sprite | Controls | Status | Motion);
}

void TypingGame::newGameButton() {
    const Batch batch(this);
    if (m_caption == kTitle)
        chooseSet(0);
    else
        newGame();
}

void TypingGame::endPause() {
    setState(RunState::Paused);
    m_oneStepEnabled = true;
    m_optionsEnabled = true;
    touch(Controls);
}

void TypingGame::pause() {
    const Batch batch(this);
    endPause();
}

void TypingGame::continueGame() {
    const Batch batch(this);
    m_spriteWalking = true;
    setState(RunState::Running);
    setFallSpeed(m_shownSpeed.toInt());
    touch(Controls);
}

void TypingGame::clickSpriteOrItem() {
    const Batch batch(this);
    if (m_pauseEnabled)
        pause();
}

// --- typing ---

void TypingGame::textChanged(const QString& text) {
    const Batch batch(this);
    keystroke();
    setInput(text);
    const int n = m_itemLength;
    const bool wordSet = n >= 2 && n <= 4;
    if (wordSet && text.size() < n + 2) {
        if (m_errorSound)
            sound(PracticeSound::Keystroke);
        return;
    }
    if (text.isEmpty() || !m_pauseEnabled)
        return;
    for (int i = 0; i < kSlots; ++i) {
        // A parked slot reads "end!!!", which is no item to shoot.
        if (!isLive(i))
            continue;
        const QString& item = m_slots[size_t(i)].text;
        const bool hit = m_setKind == 0 ? text.toUpper() == item.toUpper() : text == item;
        if (!hit)
            continue;
        setInput(QString());
        park(i);
        m_spriteStep = kFastStep;
        newSpriteTarget();
        m_hitCount = std::min(m_hitCount + 1, int(SHRT_MAX)); // a 16-bit counter; never wraps
        ++m_play.hits;
        setScore(QString::number(m_hitCount));
        touch(Sprite);
        if (m_hitSound)
            sound(PracticeSound::Keystroke);
        return;
    }
    setInput(QString());
    m_wrongLog = text + u' ' + m_wrongLog;
    ++m_play.errors;
    if (m_settings.spriteDownEnd && m_settings.dropOnWrong) {
        m_spriteTop += kSpriteDrop;
        touch(Sprite);
    }
    if (m_errorSound)
        sound(PracticeSound::Error);
    else if (m_hitSound)
        sound(PracticeSound::Keystroke);
}

void TypingGame::keyUp(int code) {
    const Batch batch(this);
    if (code == KeyCode::F3) {
        if (m_state == RunState::Running)
            pause();
        else if (m_state == RunState::Paused)
            continueGame();
    } else if (code == KeyCode::F2) {
        newGameButton();
    } else if (code == KeyCode::Enter) {
        setInput(QString());
    }
}

// --- timers ---

void TypingGame::Timer7() {
    const Batch batch(this);
    // Button states follow the fall timer.
    const bool running = falling();
    if (m_oneStepEnabled == running || m_optionsEnabled == running || m_pauseEnabled != running)
        touch(Controls);
    m_oneStepEnabled = !running;
    m_optionsEnabled = !running;
    m_pauseEnabled = running;

    // The sprite walks towards its target; within a step right of it, it steps left and back.
    const int leftBefore = m_spriteLeft;
    const bool facingBefore = m_spriteFacesLeft;
    const int stepBefore = m_spriteStep;
    bool moved = false;
    if (m_spriteLeft > m_spriteTarget) {
        m_spriteFacesLeft = true;
        m_spriteLeft -= m_spriteStep;
    }
    if (m_spriteTarget > m_spriteLeft) {
        m_spriteFacesLeft = false;
        m_spriteLeft += m_spriteStep;
    }
    if (m_spriteLeft != leftBefore || m_spriteFacesLeft != facingBefore) {
        moved = true;
        touch(Sprite);
    }

    // Items too close side by side push each other apart, the lower slot to the left.
    const float gap = float(spacingGap(m_setKind, m_itemLength));
    for (int i = 0; i < kSlots; ++i) {
        for (int j = i + 1; j < kSlots; ++j) {
            ItemSlot& a = m_slots[size_t(i)];
            ItemSlot& b = m_slots[size_t(j)];
            if (!(float(a.left) - float(b.left) < gap && float(b.left) - float(a.left) < gap))
                continue;
            a.left -= kSpacingPush;
            b.left += kSpacingPush;
            for (ItemSlot* s : {&a, &b})
                s->left = std::max(s->left, 0.0);
            for (ItemSlot* s : {&a, &b}) {
                if (s->left + s->width > kFieldRight)
                    s->left = kFieldRight - s->width;
            }
            moved = true;
            touch(Items);
        }
    }

    // One shot-down or missed item comes back per tick.
    bool respawned = false;
    for (int i = 0; i < kSlots && !respawned; ++i) {
        if (m_slots[size_t(i)].text != kParked)
            continue;
        respawned = true;
        m_spriteStep = kFastStep;
        if (i < m_settings.itemCount) {
            spawn(i);
            moved = true;
        }
    }
    // Once the items stand still, a tick that moved nothing leaves the next one nothing to do.
    const bool idle =
        m_gameStarted ? !falling() && !moved && m_spriteStep == stepBefore : !respawned;
    if (idle && m_spriteWalking) {
        m_spriteWalking = false;
        touch(Motion);
    }
}

void TypingGame::Timer1() {
    const Batch batch(this);
    const QString speed = QString::number(m_fallSpeed);
    if (speed != m_shownSpeed) {
        m_shownSpeed = speed;
        touch(Status);
    }
    for (int i = 0; i < kSlots; ++i) {
        if (i > 0 && !isLive(i))
            continue;
        ItemSlot& s = m_slots[size_t(i)];
        // Fresh items fall at double speed until they are clear of the sprite.
        s.top += s.top < m_spriteTop + 2 * kSpriteHeight ? 2 * m_fallSpeed : m_fallSpeed;
        touch(Items);
        if (s.top > kFieldHeight) {
            park(i);
            m_spriteStep = kFastStep;
            if (m_settings.spriteDownEnd && m_settings.dropOnMiss) {
                m_spriteTop += kSpriteDrop;
                touch(Sprite);
            }
        }
    }
    if (m_spriteTop > kSpriteDownLine && m_settings.spriteDownEnd) {
        m_gameOverVisible = true;
        setState(RunState::Over);
        m_pauseEnabled = false;
        touch(Controls);
        endGame();
        showMessage(ci1());
    }
}

void TypingGame::Timer2() {
    const Batch batch(this);
    newSpriteTarget();
    m_spriteStep = kSlowStep;
    const int seconds = m_clockValue.toInt();
    ++m_play.seconds;
    if (!m_settings.spriteDownEnd) {
        m_clockValue = QString::number(std::max(seconds - 1, 0));
        touch(Status);
        if (seconds - 1 <= 0) {
            // The game is over: F3 cannot take it up again.
            setState(RunState::Over);
            endGame();
            const QString result = ci();
            if (timedSpeed() >= 160) {
                m_pauseEnabled = false;
                m_optionsEnabled = true;
                touch(Controls);
            }
            setScore(QStringLiteral("0"));
            m_settings.timeLimit = 200;
            touch(Settings);
            showMessage(result);
        }
    } else {
        m_clockValue = QString::number(std::min(seconds, INT_MAX - 1) + 1);
        touch(Status);
    }
}

// --- results ---

int TypingGame::timedSpeed() const {
    // A time limit of 0 (possible from an edited GameSet.txt) gives a speed of 0.
    const int limit = m_settings.timeLimit;
    return limit > 0 ? int(qint64(m_score.toInt()) * 60 / limit) : 0;
}

QString TypingGame::ci() const {
    const int v = timedSpeed();
    QString grade;
    if (v <= 59)
        grade = QStringLiteral("Character / min,You have to continue to work hard!");
    else if (v < 100)
        grade = QStringLiteral("Character / min,Good grades!");
    else if (v < 160)
        grade = QStringLiteral("Character / min,You type very fast!");
    else
        grade = QStringLiteral("Character / min,You're typing too well. It's great!");
    return QStringLiteral("\nThe typing time has arrived! Your typing speed is: %1%2\n\n")
               .arg(v)
               .arg(grade) +
           kTenBlanks;
}

QString TypingGame::ci1() const {
    const int seconds = m_clockValue.toInt();
    const int v = seconds > 0 ? int(qint64(m_score.toInt()) * 60 / seconds) : 0;
    return QStringLiteral("\nYour typing speed is: %1 Character / min\uFF0CYou type a total of %2"
                          " seconds. Type the correct %3 characters\uFF0CTyping error  %4"
                          " characters\n\n")
               .arg(v)
               .arg(m_clockValue, m_score)
               .arg(m_wrongLog.size()) +
           kTenBlanks;
}

// --- settings ---

void TypingGame::openSettings() {
    const Batch batch(this);
    // Only a running game is paused: a game that is over or not begun stays so.
    if (m_pauseEnabled)
        endPause();
}

void TypingGame::saveSettings() {
    const Batch batch(this);
    setScore(QStringLiteral("0"));
    m_clockValue =
        m_settings.spriteDownEnd ? QStringLiteral("0") : QString::number(m_settings.timeLimit);
    m_shownSpeed = QString::number(m_settings.startSpeed);
    touch(Status);
}

#define GAME_SETTING_SETTER(name, field)                                                           \
    void TypingGame::name(bool on) {                                                               \
        const Batch batch(this);                                                                   \
        if (m_settings.field != on)                                                                \
            touch(Settings);                                                                       \
        m_settings.field = on;                                                                     \
    }
GAME_SETTING_SETTER(setSpriteDownEnd, spriteDownEnd)
GAME_SETTING_SETTER(setDropOnWrong, dropOnWrong)
GAME_SETTING_SETTER(setDropOnMiss, dropOnMiss)
GAME_SETTING_SETTER(setSpeedUp, speedUp)
#undef GAME_SETTING_SETTER

void TypingGame::setKeySound(bool on) {
    const Batch batch(this);
    m_settings.keySound = on;
    m_hitSound = m_errorSound = on;
    touch(Settings);
}

void TypingGame::setItemCount(int count) {
    const Batch batch(this);
    if (count >= 1 && count <= 4)
        m_settings.itemCount = count;
    touch(Settings);
    // A slot that waited for its turn may come back now.
    if (m_gameStarted && !m_spriteWalking) {
        m_spriteWalking = true;
        touch(Motion);
    }
}

void TypingGame::stepTimeLimit(int step) {
    const Batch batch(this);
    m_settings.timeLimit = GameSettings::stepped(
        m_settings.timeLimit, step, GameSettings::kTimeLimitFloor, GameSettings::kMaxTimeLimit);
    touch(Settings);
}

void TypingGame::stepStartSpeed(int step) {
    const Batch batch(this);
    m_settings.startSpeed = GameSettings::stepped(
        m_settings.startSpeed, step, GameSettings::kStartSpeedFloor, GameSettings::kMaxStartSpeed);
    touch(Settings);
}
