#pragma once

// Test doubles for the edges of the program: the operating system, sounds, the skin engine
// and the navigator. They only record what was asked of them.

#include "frame/app_context.h"
#include "frame/navigator.h"
#include "look/skin_engine.h"
#include "platform/platform.h"
#include "platform/sound_player.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class FakePlatform final : public Platform {
  public:
    void tell(QWidget*, const QString& title, const QString& text,
              const QString& shownDetails = QString()) override {
        told << title + u'|' + text;
        details << shownDetails;
    }
    bool ask(QWidget*, const QString& title, const QString& text,
             const QString& shownDetails = QString()) override {
        asked << title;
        askedText << text;
        details << shownDetails;
        if (onAsk)
            onAsk();
        return answer;
    }
    void openUrl(const QString& url) override { opened << url; }
    QString pickTextFile(QWidget*, const QString& title, const QString& filter,
                         const QString& startDir) override {
        pickedWith = {title, filter, startDir};
        return picked;
    }
    WindowsVersion windowsVersion() const override { return version; }
    bool capsLockOn() const override { return capsLock; }

    QStringList told, asked, askedText, opened, pickedWith;
    QStringList details; // what stood beneath each message told or asked
    bool answer = true;
    std::function<void()> onAsk; // what the user does before answering
    bool capsLock = false;
    QString picked;
    WindowsVersion version{10, 0};
};

class FakeSound final : public SoundPlayer {
  public:
    void preload(const QString& path) override { preloaded << path; }
    void PlayWave(const QString& path) override { played << path; }
    QStringList preloaded, played;
};

// The real engine, with a record of its calls.
class CountingSkinEngine final : public SkinEngine {
  public:
    int SkinStart(const QString& path, int mode, const QString& text, int flag, int handle,
                  int* out) override {
        starts << QStringLiteral("%1:%2").arg(mode).arg(QFileInfo(path).fileName());
        return SkinEngine::SkinStart(path, mode, text, flag, handle, out);
    }
    int SkinRemove() override {
        ++removes;
        return SkinEngine::SkinRemove();
    }
    QStringList starts;
    int removes = 0;
};

inline QByteArray readAll(const QString& path);
inline void writeBytes(const QString& path, const QByteArray& bytes);

// A program folder in a temporary directory, holding a copy of the shipped data. Plain
// writes: QFile::copy syncs every file to disk, which a throw-away folder does not need.
inline void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& info :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + u'/' + info.fileName();
        if (info.isDir())
            copyTree(info.filePath(), target);
        else {
            writeBytes(target, readAll(info.filePath()));
            QFile::setPermissions(target, info.permissions()); // the program stays runnable
        }
    }
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

class FakeNavigator final : public Navigator {
  public:
    void navigate(PracticeWindow*, int entry) override { entries << entry; }
    void popThemeMenu(PracticeWindow*, QPoint at) override {
        ++menus;
        menuAt = at;
    }
    void endProgram() override { ++ended; }
    QList<int> entries;
    int menus = 0;
    QPoint menuAt; // where the latest menu popped up, on the screen
    int ended = 0;
};

// What a test that opens practice windows starts from: an empty program folder in a temporary
// directory and the fakes wired into the context the windows get.
struct WindowFixture {
    QTemporaryDir m_dir;
    FakePlatform m_platform;
    FakeSound m_sound;
    FakeNavigator m_navigator;

    AppContext context() {
        AppContext c;
        c.folder = ProgramFolder(m_dir.path());
        c.platform = &m_platform;
        c.sound = &m_sound;
        c.navigator = &m_navigator;
        return c;
    }
    QString file(const QString& name) const { return m_dir.filePath(name); }
};
