// The built program started on a folder of hostile and broken files, one case at a time, in
// a child process: it must start, show its window, close when asked, leave whole state files
// and write nothing outside its folder. A hang fails through the time-outs. The Article and
// Keys cases run the program switched to that practice (article_host). Every writer of the
// program meets the same hostile entries in place of its file, in this process.

#include "articles/model/article_state.h"
#include "articles/model/article_text.h"
#include "fakes.h"
#include "history/history_store.h"
#include "hostile_files.h"
#include "keys/ui/keys_keyboard.h"
#include "words/model/word_lessons.h"

#include <QDirIterator>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// What may stand where a writer puts its file.
enum class Obstacle { LinkOut, Dangling, LinkToDevice, Folder, Fifo };

// A writer of the program: the file it writes, and whether it puts its own file in place of
// what stands there (a write) or leaves an entry it finds alone (seeding a user's folder).
struct Writer {
    const char* file;
    bool replaces;
    std::function<void(const QString& folder)> prepare; // before the obstacle goes in
    std::function<void(const QString& folder)> write;
};

PracticeRun someRun() {
    PracticeRun run;
    run.mode = PracticeMode::Words;
    run.item = QStringLiteral("Lesson 2");
    run.started = QDateTime::fromSecsSinceEpoch(1796000000);
    run.activeSeconds = 20;
    run.keystrokes = 80;
    run.computeMeters();
    return run;
}

void recordARun(const QString& folder) {
    HistoryStore(folder + "/history.db").record(someRun(), {{'A', 3, 1}});
}

// Another program holding the history's write lock while `work` runs.
void whileLocked(const QString& path, const std::function<void()>& work) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery lock(db);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        work();
        QVERIFY(lock.exec("ROLLBACK"));
        lock.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("holder");
}

void writeState(const QString& folder, const char* name, const char* line) {
    StateFile::writeLine(folder + u'/' + QLatin1String(name), QLatin1String(line));
}

KeysPictures::Role pictureRole(const QString& file) {
    for (auto role : {KeysPictures::Role::Base, KeysPictures::Role::Tip, KeysPictures::Role::Press,
                      KeysPictures::Role::WrongPress, KeysPictures::Role::WrongKey})
        if (KeysPictures::resource(role) == u'\\' + file)
            return role;
    return KeysPictures::Role::Base;
}

void writePicture(const QString& folder, const QString& file) {
    KeysPictures::loadOrWrite(pictureRole(file), folder + u'/' + file, QSize(240, 90), 1.0);
}

const std::vector<Writer>& writers() {
    static const auto none = [](const QString&) {};
    static const std::vector<Writer> all = {
        {"sz0.txt", true, none, [](const QString& f) { writeState(f, "sz0.txt", "110Lesson  1"); }},
        {"sz1.txt", true, none,
         [](const QString& f) { writeState(f, "sz1.txt", "1100005Lesson 2"); }},
        {"sz1-yj.txt", true, none,
         [](const QString& f) { writeState(f, "sz1-yj.txt", "Lesson 2"); }},
        {"sz2.txt", true, none, [](const QString& f) { writeState(f, "sz2.txt", "0lunch"); }},
        {"face.txt", true, none, [](const QString& f) { writeState(f, "face.txt", "Slate.urf"); }},
        {"GameSet.txt", true, none,
         [](const QString& f) { writeState(f, "GameSet.txt", "1,60,2,1,1"); }},
        {"new.txt", true, none,
         [](const QString& f) {
             FolderArticleFiles(ProgramFolder(f)).writeScratch("Lunch is at noon.\r\n");
         }},
        {"test2.bmp", true, none, [](const QString& f) { writePicture(f, "test2.bmp"); }},
        {"test3.bmp", true, none, [](const QString& f) { writePicture(f, "test3.bmp"); }},
        {"test4.bmp", true, none, [](const QString& f) { writePicture(f, "test4.bmp"); }},
        {"test5.bmp", true, none, [](const QString& f) { writePicture(f, "test5.bmp"); }},
        {"test6.bmp", true, none, [](const QString& f) { writePicture(f, "test6.bmp"); }},
        {"history.db", true, none, recordARun},
        {"history.db-wal", true, recordARun, recordARun},
        {"history-pending.txt", true, recordARun,
         [](const QString& f) {
             whileLocked(f + "/history.db", [&] { recordARun(f); });
         }},
        // The first start of a read-only install fills the user's folder: an entry there is
        // the user's own, whatever it is.
        {"sz1.txt (seeded)", false, none,
         [](const QString& f) {
             QTemporaryDir shipped;
             writeBytes(shipped.filePath("sz1.txt"), "1100001Lesson 1\r\n");
             ProgramFolder::choose(shipped.path(), false, f);
         }},
    };
    return all;
}

// A character device of the test's own where it may make one (root), so that a writer that
// followed the link could only ever replace that; else the system's null device.
QString deviceNode(const QString& outside) {
    const QString node = outside + "/null";
    if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return node;
    return QStringLiteral("/dev/null");
}

bool isNullDevice(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode) &&
           st.st_rdev == makedev(1, 3);
}

// How an entry stands: its kind, and a link's target.
QString entryKind(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("absent");
    if (S_ISLNK(st.st_mode))
        return "link " + QFileInfo(path).symLinkTarget();
    if (S_ISREG(st.st_mode))
        return QStringLiteral("file");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("folder");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("fifo");
    return QStringLiteral("other");
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

    // Every writer against every entry a learner's folder may hold in place of its file: the
    // write never goes through the entry out of the folder, never waits on a FIFO, and leaves
    // no temporary file behind.
    void noWriterGoesOutOfTheFolder_data() {
        QTest::addColumn<int>("writer");
        QTest::addColumn<int>("obstacle");
        const char* obstacles[] = {"link out of the folder", "dangling link", "link to a device",
                                   "folder", "FIFO"};
        for (size_t w = 0; w < writers().size(); ++w)
            for (int o = 0; o < 5; ++o)
                QTest::addRow("%s, %s", writers()[w].file, obstacles[o]) << int(w) << o;
    }
    void noWriterGoesOutOfTheFolder() {
        QFETCH(int, writer);
        QFETCH(int, obstacle);
        const Writer& w = writers()[size_t(writer)];
        QTemporaryDir root;
        const QString folder = root.filePath("folder");
        const QString outside = root.filePath("outside");
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(outside));
        w.prepare(folder);
        const QString entry = folder + u'/' + QString::fromLatin1(w.file).section(u' ', 0, 0);
        QFile::remove(entry);
        writeBytes(outside + "/precious", "the learner's own file\n");
        const QString device = deviceNode(outside);
        switch (Obstacle(obstacle)) {
        case Obstacle::LinkOut:
            QVERIFY(QFile::link(outside + "/precious", entry));
            break;
        case Obstacle::Dangling:
            QVERIFY(QFile::link(outside + "/absent", entry));
            break;
        case Obstacle::LinkToDevice:
            QVERIFY(QFile::link(device, entry));
            break;
        case Obstacle::Folder:
            QVERIFY(QDir().mkpath(entry));
            writeBytes(entry + "/inside", "kept\n");
            break;
        case Obstacle::Fifo:
            QCOMPARE(::mkfifo(QFile::encodeName(entry).constData(), 0600), 0);
            break;
        }
        const QStringList outsideBefore = snapshot(outside);
        const QString entryBefore = entryKind(entry);

        w.write(folder);

        QCOMPARE(snapshot(outside), outsideBefore);
        QVERIFY(isNullDevice(device));
        const QString after = entryKind(entry);
        if (!w.replaces)
            QCOMPARE(after, entryBefore);
        else if (Obstacle(obstacle) != Obstacle::Folder)
            QVERIFY2(after == "file" || after == "absent", qPrintable(after));
        // What stood in a folder is kept, where it was or put aside with it.
        if (Obstacle(obstacle) == Obstacle::Folder) {
            int kept = 0;
            for (QDirIterator it(folder, {"inside"}, QDir::Files, QDirIterator::Subdirectories);
                 it.hasNext(); it.next())
                ++kept;
            QCOMPARE(kept, 1);
        }
        for (const QString& name :
             QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
            QVERIFY2(StateFile::temporaryTarget(name).isEmpty(), qPrintable(name));
    }

    // Keys practice opens on a folder whose keyboard pictures are hostile entries, and writes
    // its pictures in the folder itself.
    void keysPracticeOpensAndKeepsToItsFolder_data() {
        QTest::addColumn<QString>("entry");
        QTest::newRow("test5.bmp a link out of the folder") << "link";
        QTest::newRow("test5.bmp a dangling link out of the folder") << "dangling";
        QTest::newRow("test3.bmp a FIFO") << "fifo";
        QTest::newRow("test6.bmp a folder") << "folder";
    }
    void keysPracticeOpensAndKeepsToItsFolder() {
        QFETCH(QString, entry);
        Folders dirs;
        writeBytes(dirs.outside + "/picture.bmp", "the learner's own picture\n");
        if (entry == "link")
            Hostile::link(dirs.outside + "/picture.bmp", dirs.folder + "/test5.bmp");
        else if (entry == "dangling")
            Hostile::link(dirs.outside + "/test5.bmp", dirs.folder + "/test5.bmp");
        else if (entry == "fifo")
            Hostile::fifo(dirs.folder + "/test3.bmp");
        else
            QVERIFY(QDir().mkpath(dirs.folder + "/test6.bmp"));
        const QStringList before = snapshot(dirs.outside);

        const Run run = runUntilShown(QStringLiteral(ARTICLE_HOST), {dirs.folder, "keys"},
                                      [](const QByteArray& out) { return out.contains('\n'); });
        QVERIFY2(run.shown, "no Keys window: opening it hangs\n" + run.output);
        QVERIFY2(run.ended, "the program does not close\n" + run.output);
        QCOMPARE(run.exitStatus, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.output.startsWith("shown: "), run.output);

        QCOMPARE(snapshot(dirs.outside), before);
        for (const char* name : {"test2.bmp", "test3.bmp", "test4.bmp", "test5.bmp"}) {
            const QFileInfo picture(dirs.folder + u'/' + QLatin1String(name));
            QVERIFY2(picture.isFile() && !picture.isSymLink(), name);
            QVERIFY(readAll(picture.filePath()).startsWith("BM"));
        }
        QVERIFY(!QFileInfo::exists(dirs.outside + "/test5.bmp"));
    }

    // An installed copy that ships oversized defaults: the first start copies only what fits
    // the caps of its kind into the user's folder, and none of the history.
    void aReadOnlyInstallSeedsOnlyWhatFitsItsCaps() {
        QTemporaryDir root;
        QVERIFY(QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther));
        const QString program = root.filePath("program");
        const QString home = root.filePath("home");
        copyTree(QStringLiteral(PROGRAM_DIR), program);
        QFile::remove(program + "/sz1-yj.txt"); // written by the Word window once it is up
        QVERIFY(QDir().mkpath(home));
        for (const char* name : {"sz1.txt", "history.db"}) {
            QFile big(program + u'/' + QLatin1String(name));
            QVERIFY(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(big.resize(qint64(1) << 30)); // 1 GB, sparse: no disk taken
        }
        QStringList command{program + "/zephkin"};
        if (::geteuid() == 0) {
            // Root writes anywhere: the install is read-only only to an ordinary user.
            if (QStandardPaths::findExecutable("setpriv").isEmpty())
                QSKIP("root without setpriv: no ordinary user to run the program as");
            command = QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup",
                                  "--clear-groups"} +
                      command;
            QVERIFY(QProcess::execute("chown", {"-R", "nobody:nogroup", home}) == 0);
        }
        QVERIFY(QProcess::execute("chmod", {"-R", "a-w", program}) == 0);

        QProcess process;
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(command.first(), command.mid(1));
        QVERIFY(process.waitForStarted());
        const QString data = home + "/.local/share/Zephkin";
        const bool shown =
            QTest::qWaitFor([&] { return QFileInfo::exists(data + "/sz1-yj.txt"); }, 30000);
        process.terminate();
        QVERIFY(process.waitForFinished(30000));
        QProcess::execute("chmod", {"-R", "u+w", program});
        QVERIFY2(shown, process.readAllStandardError());
        QCOMPARE(process.exitCode(), 0);

        qint64 bytes = 0, allocated = 0;
        for (QDirIterator it(data, QDir::Files | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            struct stat st {};
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
            bytes += st.st_size;
            allocated += qint64(st.st_blocks) * 512;
        }
        QVERIFY2(bytes < 1024 * 1024 && allocated < 1024 * 1024,
                 qPrintable(QStringLiteral("%1 bytes written").arg(bytes)));
        QVERIFY(!QFileInfo::exists(data + "/history.db"));
    }
};

QTEST_MAIN(HostileTest)
#include "test_hostile.moc"
