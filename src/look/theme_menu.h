#pragma once

#include "core/program_folder.h"

#include <QStringList>
#include <QWidget>

class QMenu;
class SkinEngine;

// The hidden window that carries the theme pop-up menu and the skin state of the run.
class ThemeMenu : public QWidget {
    Q_OBJECT
  public:
    static const QString kNoSkin;      // "Cancel theme.urf"
    static const QString kDefaultSkin; // "pixos.urf", written to a missing face.txt

    ThemeMenu(const ProgramFolder& folder, SkinEngine* engine, QWidget* parent = nullptr);

    static const QStringList& skinNames();

    // Start-up: creates face.txt when it is missing, then starts the skin it names, or
    // starts unskinned when that skin is missing or refused.
    void startSkin();

    // The menu's items.
    void fff_Click(int index);
    void noface_Click();
    void DoSkin(const QString& skinFile);

    // Pops the menu at a screen position; the chosen item has run when this returns.
    void popup(QPoint globalPos);
    // Built at its first use: most runs never open it.
    QMenu* menu();
    // Ticks the entry of the skin in use (popup does it before each showing).
    void markSkinInUse();

    QString SkinFileName;
    QString SkinFilePath;
    bool SkinActive = false;

  private:
    QString facePath() const;
    void writeFace();

    ProgramFolder m_folder;
    SkinEngine* m_engine;
    QMenu* m_menu = nullptr;
};
