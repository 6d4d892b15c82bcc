#pragma once

#include <QDialog>

class Platform;

// The About window: the program's name, version, author and where to find them.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    static const QString kVersion;

    explicit AboutWindow(Platform* platform, QWidget* parent = nullptr);

  private:
    Platform* m_platform;
};
