#pragma once

#include <QPalette>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

// A parsed .urf skin file. See docs/skin-format.md.
struct Skin {
    QString name;
    QPalette palette;
    QString styleSheet;
};

// Parses a .urf file; false when it is not a valid skin of a version we read.
bool parseSkin(const QByteArray& bytes, const QPalette& basePalette, Skin* skin,
               QString* error = nullptr);

// Themes the whole application from .urf skin files.
//  SkinStart(path, 2, ...) applies a skin: nonzero when applied, 0 when the file is missing,
//    unreadable or not a valid skin (the current look then stays).
//  SkinStart(path, 1, ...) starts without a skin; SkinStart("", 0, ...) removes the skin.
//  SkinWindowSet(widget, 0) keeps that widget's own look under every skin.
//  SkinRemove() releases everything.
class SkinEngine {
  public:
    SkinEngine();
    virtual ~SkinEngine() = default;

    virtual int SkinStart(const QString& skinPath, int mode, const QString& text, int flag,
                          int handle, int* out);
    virtual int SkinWindowSet(QWidget* window, int mode);
    virtual int SkinRemove();

    bool skinApplied() const { return m_applied; }
    const QString& currentSkinName() const { return m_current.name; }

  private:
    void captureBase();
    void applyBase();

    bool m_baseCaptured = false;
    QPalette m_basePalette;
    QString m_baseStyleSheet;
    bool m_applied = false;
    Skin m_current;
};
