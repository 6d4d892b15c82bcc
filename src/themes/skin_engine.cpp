#include "themes/skin_engine.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QWidget>

namespace {

constexpr int kFormatVersion = 1;

struct RoleName {
    const char* name;
    QPalette::ColorRole role;
};

constexpr RoleName kRoles[] = {
    {"Window", QPalette::Window},
    {"WindowText", QPalette::WindowText},
    {"Base", QPalette::Base},
    {"AlternateBase", QPalette::AlternateBase},
    {"Text", QPalette::Text},
    {"Button", QPalette::Button},
    {"ButtonText", QPalette::ButtonText},
    {"Highlight", QPalette::Highlight},
    {"HighlightedText", QPalette::HighlightedText},
    {"ToolTipBase", QPalette::ToolTipBase},
    {"ToolTipText", QPalette::ToolTipText},
    {"Light", QPalette::Light},
    {"Midlight", QPalette::Midlight},
    {"Mid", QPalette::Mid},
    {"Dark", QPalette::Dark},
    {"Shadow", QPalette::Shadow},
    {"Link", QPalette::Link},
    {"LinkVisited", QPalette::LinkVisited},
    {"PlaceholderText", QPalette::PlaceholderText},
};

// Style sheets name palette roles (palette(base)), which Qt resolves against the application
// palette, the skin's. In a control that keeps its own look they name the program's own
// colours instead.
QString resolvePaletteRoles(QString sheet, const QPalette& palette) {
    static const struct {
        const char* name;
        QPalette::ColorRole role;
    } kSheetRoles[] = {{"alternate-base", QPalette::AlternateBase},
                       {"bright-text", QPalette::BrightText},
                       {"button-text", QPalette::ButtonText},
                       {"button", QPalette::Button},
                       {"highlighted-text", QPalette::HighlightedText},
                       {"highlight", QPalette::Highlight},
                       {"link-visited", QPalette::LinkVisited},
                       {"link", QPalette::Link},
                       {"base", QPalette::Base},
                       {"window-text", QPalette::WindowText},
                       {"window", QPalette::Window},
                       {"text", QPalette::Text},
                       {"midlight", QPalette::Midlight},
                       {"mid", QPalette::Mid},
                       {"dark", QPalette::Dark},
                       {"light", QPalette::Light},
                       {"shadow", QPalette::Shadow}};
    for (const auto& r : kSheetRoles)
        sheet.replace(QStringLiteral("palette(%1)").arg(QLatin1String(r.name)),
                      palette.color(r.role).name());
    return sheet;
}

void keepOwnSheet(QWidget* widget, const QPalette& palette) {
    QVariant sheet = widget->property("paletteSheet");
    if (!sheet.isValid()) {
        if (!widget->styleSheet().contains(QLatin1String("palette(")))
            return;
        sheet = widget->styleSheet();
        widget->setProperty("paletteSheet", sheet);
    }
    widget->setStyleSheet(resolvePaletteRoles(sheet.toString(), palette));
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

bool parseSkin(const QByteArray& bytes, const QPalette& basePalette, Skin* skin, QString* error) {
    const QString text = QString::fromUtf8(bytes);
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (lines.isEmpty())
        return fail(error, QStringLiteral("empty file"));
    static const QRegularExpression magic(QStringLiteral("^URF\\s+(\\d+)\\s*$"));
    const auto m = magic.match(lines.first().trimmed());
    if (!m.hasMatch())
        return fail(error, QStringLiteral("not a skin file"));
    if (m.captured(1).toInt() != kFormatVersion)
        return fail(error, QStringLiteral("unsupported skin version"));

    Skin result;
    result.palette = basePalette;
    QHash<QString, QString> vars;
    qsizetype i = 1;
    bool separator = false;
    for (; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line == u"%%") {
            separator = true;
            ++i;
            break;
        }
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            return fail(error, QStringLiteral("bad header line %1").arg(i + 1));
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        vars.insert(key, value);
        if (key == u"Name") {
            result.name = value;
            continue;
        }
        for (const RoleName& role : kRoles) {
            if (key == QLatin1String(role.name)) {
                const QColor colour = QColor::fromString(value);
                if (!colour.isValid())
                    return fail(error, QStringLiteral("bad colour for %1").arg(key));
                result.palette.setColor(role.role, colour);
            }
        }
    }
    if (!separator)
        return fail(error, QStringLiteral("no style section"));
    if (result.name.isEmpty())
        return fail(error, QStringLiteral("no Name"));

    QString sheet = lines.mid(i).join(u'\n');
    // @Key in the style sheet stands for the header value of Key; longest keys first so
    // that @AccentDark is not read as @Accent followed by "Dark".
    QStringList keys = vars.keys();
    std::sort(keys.begin(), keys.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& key : keys)
        sheet.replace(u'@' + key, vars.value(key));
    if (sheet.trimmed().isEmpty())
        return fail(error, QStringLiteral("empty style section"));
    result.styleSheet = sheet;
    *skin = result;
    return true;
}

SkinEngine::SkinEngine() = default;

void SkinEngine::captureBase() {
    if (m_baseCaptured || !qApp)
        return;
    // Every role marked as set, so that a widget given this palette keeps it when the
    // application palette changes under a skin.
    m_basePalette = QApplication::palette();
    m_basePalette.setResolveMask(~QPalette::ResolveMask(0));
    m_baseStyleSheet = qApp->styleSheet();
    m_baseCaptured = true;
}

void SkinEngine::applyBase() {
    if (!qApp)
        return;
    qApp->setStyleSheet(m_baseStyleSheet);
    QApplication::setPalette(m_basePalette);
    m_applied = false;
    m_current = Skin();
}

int SkinEngine::SkinStart(const QString& skinPath, int mode, const QString&, int, int, int*) {
    captureBase();
    if (mode != 2) {
        // Mode 1 starts unskinned, mode 0 takes the skin off.
        if (m_applied || mode == 0)
            applyBase();
        return 1;
    }
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    Skin skin;
    if (!parseSkin(file.read(1 << 20), m_basePalette, &skin))
        return 0;
    if (!qApp)
        return 0;
    QApplication::setPalette(skin.palette);
    qApp->setStyleSheet(m_baseStyleSheet + u'\n' + skin.styleSheet);
    m_current = skin;
    m_applied = true;
    return 1;
}

int SkinEngine::SkinWindowSet(QWidget* window, int) {
    if (!window)
        return 0;
    captureBase();
    // The widget's own style sheet outranks the application's, and an explicitly set palette
    // no longer follows the application palette: together they keep the widget's own look.
    // Under an application style sheet a child takes the application palette rather than its
    // parent's, so the children are given the palette too.
    window->setPalette(m_basePalette);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        child->setPalette(m_basePalette);
        keepOwnSheet(child, m_basePalette);
    }
    const QVariant own = window->property("ownStyle");
    window->setStyleSheet(resolvePaletteRoles(
        own.isValid() ? own.toString() : QStringLiteral("/* own look */"), m_basePalette));
    return 1;
}

int SkinEngine::SkinRemove() {
    if (m_applied)
        applyBase();
    return 1;
}
