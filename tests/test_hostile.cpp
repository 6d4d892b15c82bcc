// The built program started on a folder of hostile and broken files, one case at a time, in
// a child process: it must start, show its window, close when asked, leave whole state files
// and write nothing outside its folder. A hang fails through the time-outs.

#include "fakes.h"
#include "hostile_files.h"
#include "words/word_lessons.h"

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
        QTemporaryDir root;
        const QString folder = root.filePath("program");
        const QString outside = root.filePath("outside");
        copyTree(QStringLiteral(PROGRAM_DIR), folder);
        QDir().mkpath(outside);
        writeBytes(outside + "/keep.txt", "the learner's own file\n");
        QFile::remove(folder + "/sz1-yj.txt");
        Hostile::cases()[index].setUp(folder, outside);
        const QStringList before = snapshot(outside);

        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(folder + "/zephkin", {});
        QVERIFY(program.waitForStarted());
        // The Word practice window, once shown and loaded, hands its lesson over in
        // sz1-yj.txt.
        const bool shown =
            QTest::qWaitFor([&] { return !stateLine(folder + "/sz1-yj.txt").isEmpty(); }, 30000);
        program.terminate(); // closes the window as its close button would
        const bool ended = program.waitForFinished(30000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        const QByteArray output = program.readAll();
        QVERIFY2(shown, "no window: the start hangs\n" + output);
        QVERIFY2(ended, "the program does not close\n" + output);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        const QString sz1 = stateLine(folder + "/sz1.txt");
        QCOMPARE(WordLessons::Sz1::parse(sz1).format(), sz1);
        QVERIFY(WordLessons::isKnownLesson(stateLine(folder + "/sz1-yj.txt")));
        // face.txt is written only when there was none; whatever else stood there stays.
        const QFileInfo face(folder + "/face.txt");
        if (face.isFile() && !face.isSymLink())
            QVERIFY(!stateLine(face.filePath()).isEmpty());
        QCOMPARE(snapshot(outside), before);
        QVERIFY(!QFile::exists(outside + "/face.txt"));
    }
};

QTEST_GUILESS_MAIN(HostileTest)
#include "test_hostile.moc"
