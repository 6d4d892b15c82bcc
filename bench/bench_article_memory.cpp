// Article practice over a long session, offscreen: the window is typed into for a simulated
// stretch of hours (its clock and caret timers fired as the time would pass) and the memory
// the process holds is read as it goes. A window that keeps something for every keystroke
// shows here as a steady growth per character; a sound one levels off after the first pages.
// Usage: bench_article_memory PROGRAM_FOLDER [characters, default 120000]

#include "articles/model/article_exercise.h"
#include "articles/ui/article_window.h"
#include "bench_support.h"
#include "core/state_file.h"
#include "core/timer_table.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>

namespace {

// Kilobytes of a field of /proc/self/status ("VmRSS", "RssAnon", ...).
qint64 statusKb(const char* field) {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Sample {
    qint64 typed = 0;
    qint64 rssKb = 0;
    qint64 anonKb = 0;
    qint64 heapKb = 0;   // in use in the malloc arenas
    qint64 mappedKb = 0; // malloc blocks large enough to get mappings of their own
};

Sample sample(qint64 typed) {
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return {typed, statusKb("VmRSS"), statusKb("RssAnon"), qint64(info.uordblks / 1024),
            qint64(info.hblkhd / 1024)};
}

void print(const Sample& s) {
    std::printf("typed %7lld  rss %7lld kB  anon %7lld kB  heap %6lld kB  malloc-mapped %6lld kB\n",
                s.typed, s.rssKb, s.anonKb, s.heapKb, s.mappedKb);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_article_memory PROGRAM_FOLDER [characters]\n");
        return 2;
    }
    const qint64 total = argc > 2 ? QByteArray(argv[2]).toLongLong() : 120000;
    QTemporaryDir dir;
    Bench::copyProgramFolder(argv[1], dir.path());
    StateFile::writeLine(dir.filePath(QStringLiteral("sz2.txt")),
                         QStringLiteral("0a girl selling matches"));

    AppContext context;
    context.folder = ProgramFolder(dir.path());
    auto* window = new ArticleWindow(context);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->repaint();
    auto* input = window->findChild<QLineEdit*>(QStringLiteral("Text3"));
    const ArticleExercise& e = window->exercise();

    // A learner at 300 characters a minute: the clock ticks every 500 ms, so every 2.5
    // characters, and the caret blinks every 600 ms. Every tenth character is wrong and
    // taken back.
    constexpr double kCharsPerSecond = 5.0;
    double clock = 0, blink = 0;
    auto typeOne = [&](qint64 n) {
        const QString line = e.articleLines().value(e.lineNumber() - 2);
        QString c = line.mid(e.column() - 1, 1);
        const bool wrong = n % 10 == 9;
        if (wrong || c.isEmpty() || c == QString(ArticleText::kFill))
            c = QStringLiteral("#");
        Bench::type(input, c[0]);
        if (wrong)
            Bench::press(input, Qt::Key_Backspace, QString());
        for (clock += 1 / kCharsPerSecond; clock >= 0.5; clock -= 0.5)
            window->timers().fire("Timer4");
        for (blink += 1 / kCharsPerSecond; blink >= 0.6; blink -= 0.6)
            window->timers().fire("Timer3");
        QCoreApplication::processEvents(); // the repaint of the cells that changed
    };

    // The first pages fill the caches of fonts, glyphs and the backing store.
    const qint64 warmUp = 5000;
    for (qint64 n = 0; n < warmUp; ++n)
        typeOne(n);
    const Sample first = sample(0);
    print(first);
    Sample last = first;
    for (qint64 n = 1; n <= total; ++n) {
        typeOne(warmUp + n);
        if (n % (total / 6) == 0) {
            last = sample(n);
            print(last);
        }
    }
    const double perChar = (last.anonKb - first.anonKb) * 1024.0 / double(last.typed);
    const double hours = double(last.typed) / kCharsPerSecond / 3600;
    std::printf("simulated %.1f h of typing, %lld characters, %d pages\n", hours, last.typed,
                e.pageNumber());
    std::printf("anon_growth_bytes_per_char %.2f\n", perChar);
    std::printf("anon_growth_kb_per_hour %.0f\n", perChar * kCharsPerSecond * 3600 / 1024);
    std::printf("heap_growth_kb %lld  malloc_mapped_growth_kb %lld\n",
                last.heapKb - first.heapKb, last.mappedKb - first.mappedKb);
    delete window;
    return 0;
}
