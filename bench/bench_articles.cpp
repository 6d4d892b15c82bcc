// Article practice, offscreen:
//  - loading the largest article and drawing its first page, and one page turn (which reads
//    the article file again);
//  - one keystroke to the finished repaint (median and 99th percentile over 10,000);
//  - the CPU the window uses while it sits idle for 10 s (caret blink and clock).
// Usage: bench_articles PROGRAM_FOLDER

#include "articles/model/article_exercise.h"
#include "articles/ui/article_window.h"
#include "bench_support.h"
#include "core/state_file.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_articles PROGRAM_FOLDER\n");
        return 2;
    }
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());

    // The largest article of the catalogue.
    QFileInfo largest;
    for (const QFileInfo& info : QDir(dir.filePath(QStringLiteral("text")))
                                     .entryInfoList({QStringLiteral("*.txt")}, QDir::Files)) {
        if (info.size() > largest.size())
            largest = info;
    }
    const QString title = largest.completeBaseName();
    std::printf("largest article: \"%s\", %lld bytes\n", qPrintable(title), largest.size());

    // The loader alone: read, new.txt, display lines, first page.
    {
        FolderArticleFiles files{ProgramFolder(dir.path())};
        ArticleExercise exercise(files);
        std::vector<double> loads;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer t;
            t.start();
            exercise.openCatalogueArticle(title);
            loads.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("model_first_load_ms %.3f (new.txt written)\n", loads.front());
        Bench::report("model_reload_ms", loads);
    }

    StateFile::writeLine(dir.filePath(QStringLiteral("sz2.txt")), QStringLiteral("0") + title);
    QElapsedTimer clock;
    clock.start();
    AppContext context;
    context.folder = ProgramFolder(dir.path());
    auto* window = new ArticleWindow(context);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->repaint();
    std::printf("window_open_and_first_page_ms %.2f\n", clock.nsecsElapsed() / 1e6);
    QTest::qWait(200);

    // Page turns: "Next" then "Previous", each to the finished repaint.
    auto* next = window->findChild<QPushButton*>(QStringLiteral("Command3"));
    auto* previous = window->findChild<QPushButton*>(QStringLiteral("Command2"));
    std::vector<double> turns;
    for (int i = 0; i < 100; ++i) {
        QPushButton* button = i % 2 == 0 ? next : previous;
        const qint64 t0 = clock.nsecsElapsed();
        button->click();
        QCoreApplication::processEvents();
        turns.push_back((clock.nsecsElapsed() - t0) / 1e6);
    }
    Bench::report("page_turn_to_repaint_ms", turns);

    // Keystrokes: the article's own characters, every tenth one wrong and taken back.
    auto* input = window->findChild<QLineEdit*>(QStringLiteral("Text3"));
    const ArticleExercise& e = window->exercise();
    std::vector<double> costs, turnCosts; // turnCosts: the keystrokes that turned the page
    std::vector<double> cpuCosts;
    costs.reserve(10000);
    for (int n = 0; costs.size() < 10000; ++n) {
        const QString line = e.articleLines().value(e.lineNumber() - 2);
        QString c = line.mid(e.column() - 1, 1);
        const bool wrong = n % 10 == 9;
        if (wrong || c == QString(ArticleText::kFill))
            c = QStringLiteral("#");
        const int page = e.pageNumber();
        const qint64 t0 = clock.nsecsElapsed();
        const double cpu0 = Bench::threadCpuMs();
        Bench::type(input, c[0]);
        QCoreApplication::processEvents(); // the repaint of the cells that changed
        costs.push_back((clock.nsecsElapsed() - t0) / 1e6);
        cpuCosts.push_back(Bench::threadCpuMs() - cpu0);
        if (e.pageNumber() != page)
            turnCosts.push_back(costs.back());
        if (wrong) {
            Bench::press(input, Qt::Key_Backspace, QString());
            QCoreApplication::processEvents();
        }
    }
    Bench::report("keystroke_to_repaint_ms", costs);
    Bench::report("keystroke_to_repaint_cpu_ms", cpuCosts);
    Bench::report("  of which page-turning keystrokes (wall)", turnCosts);
    std::printf(
        "  keystrokes over 1 ms: %zu\n",
        size_t(std::count_if(costs.begin(), costs.end(), [](double ms) { return ms > 1; })));
    std::printf("pages typed: %d\n", e.pageNumber());

    // Idle: ten seconds with nothing typed; the caret blinks and the clock runs.
    QElapsedTimer idle;
    idle.start();
    const double used = Bench::cpuSecondsOver(10000);
    std::printf("idle_cpu over %.1f s: %.1f ms CPU (%.3f %%), clock %s\n", idle.elapsed() / 1000.0,
                used * 1000, used * 100 / (idle.elapsed() / 1000.0),
                e.clockRunning() ? "running" : "stopped");
    delete window;
    return 0;
}
