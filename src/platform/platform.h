#pragma once

#include "look/fonts.h"

#include <QString>
#include <memory>

class CapsLockTracker;
class QWidget;

// Everything the program asks of the operating system beyond plain widgets. The real
// implementation uses Qt; tests script a fake.
class Platform {
  public:
    virtual ~Platform() = default;

    // A modal message box with one OK button; `details`, when given, stand beneath the text.
    virtual void tell(QWidget* parent, const QString& title, const QString& text,
                      const QString& details = QString()) = 0;
    // A modal question with OK and Cancel; true for OK.
    virtual bool ask(QWidget* parent, const QString& title, const QString& text,
                     const QString& details = QString()) = 0;
    // Opens a web page or a mailto: address in the user's programs.
    virtual void openUrl(const QString& url) = 0;
    // The open-file dialog for text files; empty when cancelled.
    virtual QString pickTextFile(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& startDir) = 0;
    virtual WindowsVersion windowsVersion() const = 0;
    // Whether Caps Lock is on: false when the system cannot tell.
    virtual bool capsLockOn() const = 0;
};

class QtPlatform final : public Platform {
  public:
    // `programDir` holds the README that the maker's addresses open for now. Made after the
    // QApplication, it follows the keys the application gets, for Caps Lock.
    explicit QtPlatform(QString programDir = QString());
    ~QtPlatform() override;
    void tell(QWidget* parent, const QString& title, const QString& text,
              const QString& details = QString()) override;
    bool ask(QWidget* parent, const QString& title, const QString& text,
             const QString& details = QString()) override;
    void openUrl(const QString& url) override;
    QString pickTextFile(QWidget* parent, const QString& title, const QString& filter,
                         const QString& startDir) override;
    WindowsVersion windowsVersion() const override;
    bool capsLockOn() const override;

  private:
    class KeyWatch;

    QString m_programDir;
    std::unique_ptr<CapsLockTracker> m_capsLock; // where no X server can be asked
    std::unique_ptr<KeyWatch> m_keyWatch;
};
