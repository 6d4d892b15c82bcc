// The built program started on a folder of hostile and broken files, one case at a time, in
// a child process: it must start, show its window, close when asked, leave whole state files
// and write nothing outside its folder. A hang fails through the time-outs. The Article cases
// run the program switched to Article practice (article_host).

#include "articles/model/article_state.h"
#include "fakes.h"
#include "hostile_files.h"
#include "words/model/word_lessons.h"

#include <QProcess>
#include <QTest>

namespace {

// Type and bytes of every entry of a folder, links not followed.
QStringList snapshot(const QString& dir) {
    QStringList entries;
    for (const QFileInfo& info : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString kind = info.isSymLink() ? "link " + info.symLinkTarget()
                             : info.isFile()  ? QString::fromLatin1(readAll(info.filePath()))
                                              : QStringLiteral("other");
        entries << info.fileName() + ": " + kind;
    }
    return entries;
}

// A whole state file: a regular file (not a link) of one line ended by CR LF.
QString stateLine(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return QString();
    const QByteArray bytes = readAll(path);
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != 1)
        return QString();
    return QString::fromLatin1(bytes.chopped(2));
}

// A copy of the program folder, and a folder beside it holding a file of the learner's.
struct Folders {
    Folders() {
        copyTree(QStringLiteral(PROGRAM_DIR), folder);
        QDir().mkpath(outside);
        writeBytes(outside + "/keep.txt", "the learner's own file\n");
        QFile::remove(folder + "/sz1-yj.txt");
    }
    QTemporaryDir root;
    const QString folder = root.filePath("program");
    const QString outside = root.filePath("outside");
};

struct Run {
    bool shown = false;
    bool ended = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray output;
};

// Starts `program`, waits until `shown` holds, then asks it to end as a logout would (its
// window closes as its close button would).
Run runUntilShown(const QString& program, const QStringList& arguments,
                  const std::function<bool(const QByteArray& output)>& shown) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run run;
    if (!process.waitForStarted())
        return run;
    QByteArray out;
    run.shown = QTest::qWaitFor(
        [&] {
            out += process.readAllStandardOutput();
            return shown(out);
        },
        30000);
    process.terminate();
    run.ended = process.waitForFinished(30000);
    if (!run.ended) {
        process.kill();
        process.waitForFinished();
    }
    run.output = out + process.readAllStandardOutput() + process.readAllStandardError();
    run.exitStatus = process.exitStatus();
    run.exitCode = process.exitCode();
    return run;
}

} // namespace

class HostileTest : public QObject {
    Q_OBJECT
  private slots:
    void startsShowsAndKeepsToItsFolder_data() {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < Hostile::cases().size(); ++i)
            QTest::newRow(Hostile::cases()[i].name) << int(i);
    }
    void startsShowsAndKeepsToItsFolder() {
        QFETCH(int, index);
        Folders dirs;
        const QString& folder = dirs.folder;
        Hostile::cases()[index].setUp(folder, dirs.outside);
        const QStringList before = snapshot(dirs.outside);

        // The Word practice window, once shown and loaded, hands its lesson over in
        // sz1-yj.txt.
        const Run run = runUntilShown(folder + "/zephkin", {}, [&](const QByteArray&) {
            return !stateLine(folder + "/sz1-yj.txt").isEmpty();
        });
        QVERIFY2(run.shown, "no window: the start hangs\n" + run.output);
        QVERIFY2(run.ended, "the program does not close\n" + run.output);
        QCOMPARE(run.exitStatus, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);

        const QString sz1 = stateLine(folder + "/sz1.txt");
        QCOMPARE(WordLessons::Sz1::parse(sz1).format(), sz1);
        QVERIFY(WordLessons::isKnownLesson(stateLine(folder + "/sz1-yj.txt")));
        // face.txt is written only when there was none; whatever else stood there stays.
        const QFileInfo face(folder + "/face.txt");
        if (face.isFile() && !face.isSymLink())
            QVERIFY(!stateLine(face.filePath()).isEmpty());
        QCOMPARE(snapshot(dirs.outside), before);
        QVERIFY(!QFile::exists(dirs.outside + "/face.txt"));
    }

    void articlePracticeOpensAndKeepsToItsFolder_data() {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < Hostile::articleCases().size(); ++i)
            QTest::newRow(Hostile::articleCases()[i].name) << int(i);
    }
    void articlePracticeOpensAndKeepsToItsFolder() {
        QFETCH(int, index);
        const Hostile::ArticleCase& c = Hostile::articleCases()[index];
        Folders dirs;
        c.setUp(dirs.folder, dirs.outside);
        const QStringList before = snapshot(dirs.outside);

        const Run run = runUntilShown(QStringLiteral(ARTICLE_HOST), {dirs.folder},
                                      [](const QByteArray& out) { return out.contains('\n'); });
        QVERIFY2(run.shown, "no Article window: opening it hangs\n" + run.output);
        QVERIFY2(run.ended, "the program does not close\n" + run.output);
        QCOMPARE(run.exitStatus, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output.left(run.output.indexOf('\n')),
                 "shown: Article practice --- " + QByteArray(c.shownTitle));

        QCOMPARE(stateLine(dirs.folder + "/sz2.txt"), "0" + QString::fromLatin1(c.shownTitle));
        // new.txt is the folder's own file, whatever stood there, and holds the article.
        const QFileInfo scratch(dirs.folder + "/new.txt");
        QVERIFY(scratch.isFile() && !scratch.isSymLink());
        QVERIFY(readAll(scratch.filePath()).endsWith(QByteArray(192, '\xA1') + "\r\n"));
        QCOMPARE(snapshot(dirs.outside), before);
        QVERIFY(!QFile::exists(dirs.outside + "/new.txt"));
    }
};

QTEST_GUILESS_MAIN(HostileTest)
#include "test_hostile.moc"
