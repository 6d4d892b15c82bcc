#include "frame/navigation_banner.h"

#include "core/twips.h"
#include "frame/click_label.h"
#include "frame/navigator.h"
#include "frame/shortcut.h"
#include "look/look.h"

#include <QEvent>
#include <QPainter>

namespace {

struct NavigationEntry {
    int index; // Label22a(index), the entry's number for the navigator
    const char* caption;
    int width;
};

// Left to right; Progress stands beside About, the other window that opens over this one.
constexpr NavigationEntry kCaptions[NavigationBanner::kEntries] = {
    {0, "Keys practice", 1500},  {1, "Word practice", 1560}, {2, "Article practice", 1740},
    {3, "Typing Zephkin", 1680}, {5, "Progress", 1080},      {4, "About", 780}};
constexpr int kEntryTop = 420;
constexpr int kEntryHeight = 330;
constexpr int kEntryGap = 150;
constexpr int kBelowEntries = 110;

} // namespace

NavigationBanner::NavigationBanner(int ownEntry, QWidget* window)
    : QWidget(window), m_ownEntry(ownEntry) {
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, twips(kWindowWidthTwips), twips(kEntryTop + kEntryHeight + kBelowEntries));

    int left = kWindowWidthTwips - 300 - kEntryGap * (kEntries - 1);
    for (const NavigationEntry& entry : kCaptions)
        left -= entry.width;
    for (const NavigationEntry& entry : kCaptions) {
        const int i = entry.index;
        auto* label = new ClickLabel(QString::fromLatin1(entry.caption), this);
        label->setObjectName(QStringLiteral("Label22a(%1)").arg(i));
        label->setFont(Look::uiFont(10, true));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(twipsRect(left, kEntryTop, entry.width, kEntryHeight));
        left += entry.width + kEntryGap;
        connect(label, &ClickLabel::clicked, this, [this, i] { emit entryClicked(i); });
        // Ctrl+1 to Ctrl+4 for the four practice windows, F1 for About, Ctrl+5 for Progress.
        addShortcut(label,
                    i == 4   ? QKeySequence(Qt::Key_F1)
                    : i == 5 ? QKeySequence(Qt::CTRL | Qt::Key_5)
                             : QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)),
                    [this, i] { emit entryClicked(i); });
        m_entries[i] = label;
    }
    // Ctrl+6: Keys practice with a drill of the learner's weak keys.
    QLabel* keys = m_entries[Navigator::KeysEntry];
    const QString keysTip = keys->toolTip();
    addShortcut(keys, QKeySequence(Qt::CTRL | Qt::Key_6),
                [this] { emit entryClicked(Navigator::DrillEntry); });
    keys->setToolTip(
        keysTip + QStringLiteral("; a drill of your weak keys (%1)")
                      .arg(QKeySequence(Qt::CTRL | Qt::Key_6).toString(QKeySequence::NativeText)));
    markOwnEntry();
}

void NavigationBanner::markOwnEntry() {
    for (int i = 0; i < kEntries; ++i)
        Look::setStyleSheet(m_entries[i], Look::navigationEntryStyle(i == m_ownEntry, palette()));
}

bool NavigationBanner::event(QEvent* event) {
    // The pointing hand is drawn when the pointer first comes over the banner, which it
    // crosses on its way to any entry, not while the window is being built.
    if (event->type() == QEvent::Enter && !m_entries[0]->testAttribute(Qt::WA_SetCursor)) {
        const QCursor pointer = Look::navigationCursor();
        for (QLabel* label : m_entries)
            label->setCursor(pointer);
    }
    return QWidget::event(event);
}

void NavigationBanner::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        markOwnEntry();
}

void NavigationBanner::paintEvent(QPaintEvent*) {
    // The banner takes the skin's colours; the entries follow them (markOwnEntry).
    QPainter p(this);
    Look::paintBanner(p, rect(), palette());
}
