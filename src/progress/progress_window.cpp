#include "progress/progress_window.h"

#include "core/twips.h"
#include "frame/shortcut.h"
#include "history/history_store.h"
#include "history/progress_summary.h"
#include "look/look.h"
#include "progress/key_heat_map.h"
#include "progress/progress_chart.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A table of figures to read, one row picked at a time, without a grid or row numbers.
void setUpReadOnlyTable(QTableWidget* table) {
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(22);
    table->setShowGrid(false);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->setWordWrap(false);
}

// Design values, twips.
constexpr int kWidth = 11400;
constexpr int kHeight = 9000;

QString duration(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

// A run's length as a clock shows it: "4:54", "1:02:03".
QString clockTime(qint64 seconds) {
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return seconds < 3600 ? minutesAndSeconds
                          : QStringLiteral("%1:%2").arg(seconds / 3600).arg(
                                minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}

// When a run began: this year's by day and time, an earlier year's by its date.
QString startedAt(const QDateTime& started) {
    const bool thisYear = started.date().year() == QDate::currentDate().year();
    return QLocale().toString(started, thisYear ? QStringLiteral("d MMM  HH:mm")
                                                : QStringLiteral("d MMM yyyy"));
}

// A practice mode as the buttons above the chart and the table of runs name it.
QString shortName(PracticeMode mode) {
    const char* const names[] = {"Keys", "Words", "Articles", "Game"};
    return QString::fromLatin1(names[int(mode)]);
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(Look::uiFont(10, true));
    return label;
}

} // namespace

ProgressWindow::ProgressWindow(HistoryStore* store, PracticeMode initialMode, QWidget* parent,
                               const KeyboardLayout& keyboard)
    : QDialog(parent), m_store(store), m_mode(initialMode) {
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral(" Progress"));
    setModal(true);
    setFixedSize(twipsSize(kWidth, kHeight));
    setFont(Look::uiFont(9));

    QList<KeyTally> tallies;
    QList<PracticeRun> recent;
    HistoryStore::Totals totals;
    KeyWeakness::Report figures;
    if (store) {
        store->writePending(); // the runs that waited for the history are shown too
        recent = store->recentRuns(kRecentRuns);
        tallies = store->keyTallies();
        totals = store->totals();
        figures = KeyWeakness::fromHistory(*store);
    }

    // --- widgets ---
    auto* title = new QLabel(QStringLiteral("Your progress"), this);
    title->setObjectName(QStringLiteral("ProgressTitle"));
    title->setFont(Look::uiFont(15, true));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("ProgressSummary"));
    m_summary->setText(
        totals.runs == 0
            ? QStringLiteral("No practice recorded yet.")
            : QStringLiteral("%1 %2 in %3 of practice since %4")
                  .arg(totals.runs)
                  .arg(totals.runs == 1 ? QStringLiteral("run") : QStringLiteral("runs"))
                  .arg(duration(totals.activeSeconds))
                  .arg(QLocale().toString(totals.first.date(), QStringLiteral("d MMMM yyyy"))));

    m_modes = new QButtonGroup(this);
    auto* modeRow = new QHBoxLayout;
    modeRow->setSpacing(6);
    for (PracticeMode mode : PracticeModes::kAll) {
        auto* button = new QPushButton(shortName(mode), this);
        button->setToolTip(PracticeModes::title(mode));
        button->setObjectName(QStringLiteral("Mode_") + PracticeModes::key(mode));
        button->setCheckable(true);
        button->setProperty("mode", true);
        button->setFocusPolicy(Qt::TabFocus);
        m_modes->addButton(button, int(mode));
        modeRow->addWidget(button);
    }
    modeRow->addStretch();
    m_chart = new ProgressChart(this);

    auto* heatMap = new KeyHeatMap(this, keyboard);
    heatMap->setObjectName(QStringLiteral("KeyHeatMap"));
    const QList<KeyTally> weakest = ProgressSummary::weakestKeys(tallies);
    QList<int> weakCodes;
    for (const KeyTally& key : weakest)
        weakCodes << key.code;
    heatMap->setTallies(tallies, weakCodes);
    auto* weakList = new WeakestKeysView(this, keyboard);
    weakList->setObjectName(QStringLiteral("WeakestKeys"));
    weakList->setKeys(weakest, QStringLiteral("The keys you miss most show here once you have "
                                              "typed each of them a few times."));

    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("RecentRuns"));
    // The long headers take two lines, so that every column fits the window.
    const QStringList headers{"Date", "Practice",           "Lesson",        "Time",
                              "Keys", "Characters\n/ min", "Words\n/ min", "Accuracy"};
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(int(recent.size()));
    for (int row = 0; row < recent.size(); ++row) {
        const PracticeRun& run = recent[row];
        const QString cells[] = {
            startedAt(run.started),
            shortName(run.mode),
            run.item,
            clockTime(run.activeSeconds),
            QString::number(run.keystrokes),
            QString::number(run.speed),
            QString::number(run.speed / 5),
            QStringLiteral("%1 %").arg(run.accuracy)};
        for (int column = 0; column < headers.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column >= 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == 0)
                item->setToolTip(QLocale().toString(run.started, QLocale::LongFormat));
            if (column == 1)
                item->setToolTip(PracticeModes::title(run.mode));
            if (column == 3)
                item->setToolTip(duration(run.activeSeconds));
            table->setItem(row, column, item);
        }
    }
    table->horizontalHeaderItem(5)->setToolTip(QStringLiteral(
        "Characters per minute, as the practice window showed it at the end of the run"));
    table->horizontalHeaderItem(6)->setToolTip(
        QStringLiteral("Words per minute: characters per minute divided by five"));
    table->horizontalHeaderItem(7)->setToolTip(
        QStringLiteral("The keystrokes that were right, in per cent. In the typing game: hits "
                       "divided by hits and wrong inputs together"));
    setUpReadOnlyTable(table);
    // Every column shows all it holds at the window's width: the lesson takes the room the
    // figures leave, a long name on a second line.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    table->setWordWrap(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("HistoryNotice"));
    noticeLabel->setWordWrap(true);
    noticeLabel->setFont(Look::uiFont(8.5));

    QStringList weakNames;
    for (const KeyWeakness::Figure& figure : std::as_const(figures.weakest))
        weakNames << KeyWeakness::displayName(figure.gram());
    auto* weakGrams = new QLabel(this);
    weakGrams->setObjectName(QStringLiteral("WeakestGrams"));
    weakGrams->setText(weakNames.isEmpty() ? QString()
                                           : QStringLiteral("Weakest lately: ") +
                                                 weakNames.join(QStringLiteral("  \u00b7  ")));
    weakGrams->setFont(Look::uiFont(9, true));
    auto* drill = new QPushButton(QStringLiteral("Practise weak keys"), this);
    drill->setObjectName(QStringLiteral("PractiseWeakKeys"));
    drill->setFocusPolicy(Qt::TabFocus);
    addShortcut(drill, QKeySequence(Qt::CTRL | Qt::Key_6), [drill] { drill->click(); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    ok->setMinimumWidth(twips(1350));

    // --- layout ---
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(8);
    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addSpacing(12);
    header->addWidget(m_summary, 1, Qt::AlignBottom);
    layout->addLayout(header);

    auto* middle = new QGridLayout;
    middle->setHorizontalSpacing(16);
    middle->setVerticalSpacing(6);
    middle->addWidget(heading(QStringLiteral("Speed and accuracy"), this), 0, 0);
    middle->addLayout(modeRow, 1, 0);
    middle->addWidget(m_chart, 2, 0, 3, 1);
    auto* keysColumn = new QVBoxLayout;
    keysColumn->setSpacing(6);
    keysColumn->addWidget(heatMap);
    keysColumn->addSpacing(4);
    keysColumn->addWidget(heading(QStringLiteral("Weakest keys"), this));
    keysColumn->addWidget(weakList);
    keysColumn->addStretch();
    middle->addWidget(heading(QStringLiteral("Keys that go wrong"), this), 0, 1);
    middle->addLayout(keysColumn, 1, 1, 4, 1);
    middle->setColumnStretch(0, 5);
    middle->setColumnStretch(1, 4);
    middle->setRowStretch(2, 1);
    layout->addLayout(middle, 3);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("ProgressTabs"));
    tabs->addTab(table, QStringLiteral("Recent runs"));
    tabs->addTab(buildKeyFigures(figures, keyboard), QStringLiteral("Your keys"));
    tabs->setFocusPolicy(Qt::TabFocus);
    tabs->setDocumentMode(true);
    layout->addWidget(tabs, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(noticeLabel, 1);
    bottom->addStretch();
    bottom->addWidget(weakGrams);
    bottom->addSpacing(8);
    bottom->addWidget(drill);
    bottom->addWidget(ok);
    layout->addLayout(bottom);

    // --- connections ---
    // A look at a mode's chart may come upon damage the looks above did not.
    const auto showNotice = [this, noticeLabel] {
        const QString now = m_store ? m_store->notice() : QString();
        noticeLabel->setText(now);
        noticeLabel->setVisible(!now.isEmpty());
    };
    connect(m_modes, &QButtonGroup::idClicked, this, [this, showNotice](int id) {
        showMode(PracticeMode(id));
        showNotice();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(drill, &QPushButton::clicked, this, [this] {
        m_drillWanted = true;
        accept();
    });

    buildStyle();
    // Open on the mode just practised when it has runs, else on the latest one practised.
    showMode(initialMode);
    if (m_chart->points().isEmpty() && !recent.isEmpty())
        showMode(recent.first().mode);
    showNotice();
}

namespace {

// A key's misses and time in one week, when it was typed often enough to tell.
QString missesAndTime(const QHash<QString, KeyWeakness::Figure>& week, const QString& gram) {
    const auto figure = week.constFind(gram);
    if (figure == week.cend() || !figure->counts())
        return QStringLiteral("\u2013");
    const QString missed = QStringLiteral("%1 %").arg(int(figure->stats.missRate() * 100 + 0.5));
    return figure->medianMs < 0 ? missed
                                : QStringLiteral("%1, %2 ms").arg(missed).arg(figure->medianMs);
}

} // namespace

// Every key with its misses and median time over the latest weeks, and how its latest week
// went against the week before; the weakest first.
QWidget* ProgressWindow::buildKeyFigures(const KeyWeakness::Report& report,
                                         const KeyboardLayout& keyboard) {
    QList<KeyWeakness::Figure> keys = report.keys;
    std::stable_sort(
        keys.begin(), keys.end(), [](const KeyWeakness::Figure& a, const KeyWeakness::Figure& b) {
            return a.score != b.score ? a.score > b.score : a.stats.expected > b.stats.expected;
        });
    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("KeyFigures"));
    const QStringList headers{"Key",         "Typed",       "Missed", "Median time",
                              "Latest week", "Week before", "Trend"};
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(int(keys.size()));
    for (int row = 0; row < keys.size(); ++row) {
        const KeyWeakness::Figure& key = keys[row];
        const QChar c = key.gram().front();
        const KeyWeakness::Trend trend = report.trend(key.gram());
        const char* const trends[] = {"", "better", "steady", "worse"};
        const QString cells[] = {
            keyboard.codeOf(c) ? keyboard.keyName(keyboard.codeOf(c)) : QString(c),
            QString::number(key.stats.expected),
            QStringLiteral("%1 %").arg(key.stats.missRate() * 100, 0, 'f', 1),
            key.medianMs < 0 ? QStringLiteral("\u2013") : QStringLiteral("%1 ms").arg(key.medianMs),
            missesAndTime(report.latestWeek, key.gram()),
            missesAndTime(report.weekBefore, key.gram()),
            QString::fromLatin1(trends[int(trend)])};
        for (int column = 0; column < headers.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column >= 1 && column <= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->horizontalHeaderItem(1)->setToolTip(
        QStringLiteral("How often the key was due in the latest four weeks with practice"));
    table->horizontalHeaderItem(3)->setToolTip(
        QStringLiteral("The middle one of the times from the keystroke before to the key typed "
                       "right; pauses of more than two seconds leave no time"));
    table->horizontalHeaderItem(6)->setToolTip(
        QStringLiteral("The latest week with practice against the week before it: its misses "
                       "and its time together"));
    setUpReadOnlyTable(table);
    // Each column as wide as its heading and figures; the trend takes the room left.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void ProgressWindow::showMode(PracticeMode mode) {
    m_mode = mode;
    if (QAbstractButton* button = m_modes->button(int(mode)))
        button->setChecked(true);
    m_chart->setPoints(m_store ? m_store->chartPoints(mode) : QList<ChartPoint>(),
                       QStringLiteral("No runs of %1 yet. Every practice of ten seconds or more "
                                      "shows here.")
                           .arg(PracticeModes::title(mode)));
}

void ProgressWindow::buildStyle() {
    // Colours from the active skin, so the window belongs to it and a high-contrast skin
    // keeps every part readable.
    const QPalette pal = palette();
    auto name = [&pal](QPalette::ColorRole role) { return pal.color(role).name(); };
    const QString muted = name(QPalette::PlaceholderText);
    setStyleSheet(
        QStringLiteral(
            "#FormProgress QLabel { color: %1; background: transparent; }"
            "#ProgressSummary { color: %7; }"
            "#HistoryNotice { color: %1; border-left: 3px solid %5; padding-left: 6px; }"
            "QTableWidget { background: %2; alternate-background-color: %3; color: %4;"
            " border: 1px solid %6; border-radius: 4px; selection-background-color: %5;"
            " selection-color: %8; }"
            "QTableWidget::item { padding: 0 6px; }"
            "QHeaderView::section { background: %3; color: %4; border: none;"
            " border-bottom: 1px solid %6; padding: 3px 6px; font-weight: bold; }"
            "QTableCornerButton::section { background: %3; border: none; }"
            "QPushButton[mode=\"true\"]:checked { background: %5; color: %8; border-color: %5; }")
            .arg(name(QPalette::WindowText), name(QPalette::Base), name(QPalette::AlternateBase),
                 name(QPalette::Text), name(QPalette::Highlight), name(QPalette::Mid), muted,
                 name(QPalette::HighlightedText)));
}
