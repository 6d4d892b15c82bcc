#pragma once

// Hostile and broken files in a program folder, as a learner's folder may hold them. Shared
// by the start-up test and the start-up benchmark.

#include "core/state_file.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <functional>
#include <sys/stat.h>
#include <vector>

namespace Hostile {

inline void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline void fifo(const QString& path) {
    QFile::remove(path);
    mkfifo(QFile::encodeName(path).constData(), 0600);
}

inline void link(const QString& target, const QString& path) {
    QFile::remove(path);
    QFile::link(target, path);
}

// A skin whose variables each name the next one eight times, 24 deep: a scan that expanded
// inserted text again would grow it to 8^24 characters.
inline QByteArray chainedSkin() {
    QByteArray skin = "URF 1\nName: Chain\n";
    for (int k = 0; k < 24; ++k)
        skin += "K" + QByteArray::number(k) + ": " +
                ("@K" + QByteArray::number(k + 1)).repeated(8) + "\n";
    return skin + "%%\nQPushButton { color: @K0; }\n";
}

// A 1 MB skin of 20,000 keys.
inline QByteArray hugeSkin() {
    QByteArray skin = "URF 1\nName: Huge\n";
    for (int k = 0; skin.size() < 1024 * 1024; ++k)
        skin += "Key" + QByteArray::number(k) + ": #" + QByteArray(40, 'a') + "\n";
    return skin + "%%\nQPushButton { color: @Key1; }\n";
}

inline void useSkin(const QString& folder, const QByteArray& skin) {
    put(folder + "/Hostile.urf", skin);
    StateFile::writeLine(folder + "/face.txt", "Hostile.urf");
}

struct Case {
    const char* name;
    // Lays the case out in `folder` (a copy of the program folder); `outside` is a folder
    // beside it that the program must leave alone.
    std::function<void(const QString& folder, const QString& outside)> setUp;
};

inline const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"normal", [](const QString&, const QString&) {}},
        {"face.txt FIFO", [](const QString& f, const QString&) { fifo(f + "/face.txt"); }},
        {"sz1.txt FIFO", [](const QString& f, const QString&) { fifo(f + "/sz1.txt"); }},
        {"face.txt to /dev/zero",
         [](const QString& f, const QString&) { link("/dev/zero", f + "/face.txt"); }},
        {"sz1.txt to /dev/zero",
         [](const QString& f, const QString&) { link("/dev/zero", f + "/sz1.txt"); }},
        {"sz1.txt out of the folder",
         [](const QString& f, const QString& o) {
             StateFile::writeLine(o + "/sz1.txt", "1100003Lesson 4");
             link(o + "/sz1.txt", f + "/sz1.txt");
         }},
        {"face.txt dangling out of the folder",
         [](const QString& f, const QString& o) { link(o + "/face.txt", f + "/face.txt"); }},
        {"word list FIFO",
         [](const QString& f, const QString&) {
             StateFile::writeLine(f + "/sz1.txt", "1100001Lesson 3");
             fifo(f + "/2/Lesson 3.txt");
         }},
        {"word list to /dev/zero",
         [](const QString& f, const QString&) {
             StateFile::writeLine(f + "/sz1.txt", "1100001Lesson 3");
             link("/dev/zero", f + "/2/Lesson 3.txt");
         }},
        {"oversized word list",
         [](const QString& f, const QString&) {
             StateFile::writeLine(f + "/sz1.txt", "1100001Lesson 3");
             put(f + "/2/Lesson 3.txt", QByteArray(8 * 1024 * 1024, 'w'));
         }},
        {"oversized state file",
         [](const QString& f, const QString&) {
             put(f + "/sz1.txt", "1100002Lesson 2" + QByteArray(8 * 1024 * 1024, ' ') + "\r\n");
         }},
        {"sounds FIFO and /dev/zero",
         [](const QString& f, const QString&) {
             fifo(f + "/type.wav");
             link("/dev/zero", f + "/error.wav");
         }},
        {"chained skin variables",
         [](const QString& f, const QString&) { useSkin(f, chainedSkin()); }},
        {"skin file FIFO",
         [](const QString& f, const QString&) {
             fifo(f + "/Hostile.urf");
             StateFile::writeLine(f + "/face.txt", "Hostile.urf");
         }},
        {"huge skin", [](const QString& f, const QString&) { useSkin(f, hugeSkin()); }},
        {"skin picture FIFO",
         [](const QString& f, const QString&) {
             fifo(f + "/pipe.png");
             useSkin(f, "URF 1\nName: P\n%%\nQPushButton { image: url(pipe.png); }\n");
         }},
        {"skin picture outside",
         [](const QString& f, const QString& o) {
             QImage(4, 4, QImage::Format_RGB32).save(o + "/pic.png");
             useSkin(f, "URF 1\nName: P\n%%\nQPushButton { image: url(" + QFile::encodeName(o) +
                            "/pic.png); }\n");
         }},
        {"invalid style sheet",
         [](const QString& f, const QString&) {
             useSkin(f, "URF 1\nName: Bad\n%%\nQPushButton { color: red; \n");
         }},
    };
    return all;
}

// Article practice on hostile files: the window must open on the article `shownTitle`.
struct ArticleCase {
    const char* name;
    std::function<void(const QString& folder, const QString& outside)> setUp;
    const char* shownTitle;
};

inline const std::vector<ArticleCase>& articleCases() {
    static const char* const first = "a girl selling matches";
    static const auto lunch = [](const QString& f) {
        StateFile::writeLine(f + "/sz2.txt", "0lunch");
        return f + "/text/lunch.txt";
    };
    static const std::vector<ArticleCase> all = {
        {"normal", [](const QString& f, const QString&) { lunch(f); }, "lunch"},
        {"sz2.txt FIFO", [](const QString& f, const QString&) { fifo(f + "/sz2.txt"); }, first},
        {"sz2.txt to /dev/zero",
         [](const QString& f, const QString&) { link("/dev/zero", f + "/sz2.txt"); }, first},
        {"10 MB title in sz2.txt",
         [](const QString& f, const QString&) {
             put(f + "/sz2.txt", "0" + QByteArray(10 * 1024 * 1024, 't') + "\r\n");
         },
         first},
        {"article FIFO", [](const QString& f, const QString&) { fifo(lunch(f)); }, first},
        {"article to /dev/zero",
         [](const QString& f, const QString&) { link("/dev/zero", lunch(f)); }, first},
        {"article out of the folder",
         [](const QString& f, const QString& o) {
             put(o + "/lunch.txt", "Outside.\r\n");
             link(o + "/lunch.txt", lunch(f));
         },
         first},
        {"oversized article",
         [](const QString& f, const QString&) {
             put(lunch(f), QByteArray("Lunch is served at noon.\r\n").repeated(400000));
         },
         "lunch"},
        {"new.txt dangling out of the folder",
         [](const QString& f, const QString& o) {
             lunch(f);
             link(o + "/new.txt", f + "/new.txt");
         },
         "lunch"},
        {"new.txt out of the folder",
         [](const QString& f, const QString& o) {
             lunch(f);
             link(o + "/keep.txt", f + "/new.txt");
         },
         "lunch"},
        {"new.txt FIFO",
         [](const QString& f, const QString&) {
             lunch(f);
             fifo(f + "/new.txt");
         },
         "lunch"},
    };
    return all;
}

} // namespace Hostile
