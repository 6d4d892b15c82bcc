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

// A skin is small and flat: these bound what one file can make the engine do.
namespace SkinLimits {
constexpr int kMaxKeys = 256;               // header lines with a key
constexpr int kMaxKeyLength = 64;           // characters in a key
constexpr int kMaxSheetLength = 256 * 1024; // characters in the style section once expanded
} // namespace SkinLimits

// Parses a .urf file; false when it is not a valid skin of a version we read, or when it
// breaks a limit above.
bool parseSkin(const QByteArray& bytes, const QPalette& basePalette, Skin* skin,
               QString* error = nullptr);

// Checks every url() of a parsed style sheet: each must name a regular picture file (not a
// link) beside the skin, in `skinDir`; it is rewritten to that file's full path. False, with
// the sheet untouched, when one names anything else.
bool checkSkinPictures(QString* styleSheet, const QString& skinDir, QString* error = nullptr);

// True when Qt reads `styleSheet` without a parse error. Needs a QApplication.
bool styleSheetParses(const QString& styleSheet);

// Themes the whole application from .urf skin files.
//  SkinStart(path, 2, ...) applies a skin: nonzero when applied, 0 when the file is missing,
//    unreadable, too big, not a valid skin, names a picture it may not or has a style sheet
//    Qt cannot read (the current look then stays).
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
