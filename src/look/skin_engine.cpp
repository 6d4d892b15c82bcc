#include "look/skin_engine.h"

#include "core/state_file.h"
#include "look/palette_roles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

constexpr int kFormatVersion = 1;

// Style sheets name palette roles (palette(base)), which Qt reads against the application
// palette, the skin's; in a control that keeps its own look they name the program's own
// colours instead. The sheet a widget was given stays the source of what it shows, so that a
// sheet the program sets later (a key turning red) is the one resolved at the next call.
void keepOwnSheet(QWidget* widget, const QPalette& palette) {
    const QString current = widget->styleSheet();
    QString source = widget->property("paletteSheet").toString();
    if (current != widget->property("resolvedSheet").toString())
        source = current;
    if (!source.contains(QLatin1String("palette(")))
        return;
    const QString resolved = resolvePaletteRoles(source, palette);
    widget->setProperty("paletteSheet", source);
    widget->setProperty("resolvedSheet", resolved);
    widget->setStyleSheet(resolved);
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace {

// "URF 1" -> 1; -1 when the line is not a magic line.
int magicVersion(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1String("URF")) || trimmed.size() < 5 || !trimmed[3].isSpace())
        return -1;
    const QString digits = trimmed.mid(4).trimmed();
    if (digits.isEmpty() || digits.size() > 6)
        return -1;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return digits.toInt();
}

// Replaces each @Key by the header value of Key in one pass: at every '@' the longest key
// that follows it wins, and the inserted value is never scanned again, so a value naming
// another variable stays as written. False when the result would pass `maxLength`.
bool expandVariables(const QString& sheet, const QHash<QString, QString>& vars, qsizetype maxLength,
                     QString* out) {
    std::vector<qsizetype> lengths;
    for (auto it = vars.cbegin(); it != vars.cend(); ++it) {
        if (std::find(lengths.begin(), lengths.end(), it.key().size()) == lengths.end())
            lengths.push_back(it.key().size());
    }
    std::sort(lengths.begin(), lengths.end(), std::greater<>());
    QString result;
    result.reserve(std::min(sheet.size(), maxLength));
    qsizetype done = 0;
    qsizetype at = sheet.indexOf(u'@');
    while (at >= 0) {
        qsizetype next = at + 1;
        for (qsizetype length : lengths) {
            if (at + 1 + length > sheet.size())
                continue;
            const auto value = vars.constFind(sheet.mid(at + 1, length));
            if (value == vars.cend())
                continue;
            if (result.size() + (at - done) + value->size() > maxLength)
                return false;
            result += QStringView(sheet).mid(done, at - done);
            result += *value;
            done = next = at + 1 + length;
            break;
        }
        at = sheet.indexOf(u'@', next);
    }
    if (result.size() + (sheet.size() - done) > maxLength)
        return false;
    result += QStringView(sheet).mid(done);
    *out = std::move(result);
    return true;
}

bool isPictureName(const QString& name) {
    static const char* const kExtensions[] = {".png", ".jpg", ".jpeg", ".bmp", ".gif"};
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'"' || c == u'\'' || c == u'(' ||
            c == u')' || c.unicode() < 0x20)
            return false;
    }
    for (const char* extension : kExtensions) {
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

bool parseSkin(const QByteArray& bytes, const QPalette& basePalette, Skin* skin, QString* error) {
    if (bytes.size() > StateFile::kSkinCap)
        return fail(error, QStringLiteral("skin file too big"));
    const QString text = QString::fromUtf8(bytes);
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (lines.isEmpty())
        return fail(error, QStringLiteral("empty file"));
    const int version = magicVersion(lines.first());
    if (version < 0)
        return fail(error, QStringLiteral("not a skin file"));
    if (version != kFormatVersion)
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
        if (key.size() > SkinLimits::kMaxKeyLength)
            return fail(error, QStringLiteral("key too long on line %1").arg(i + 1));
        vars.insert(key, value);
        if (vars.size() > SkinLimits::kMaxKeys)
            return fail(error, QStringLiteral("too many keys"));
        if (key == u"Name") {
            result.name = value;
            continue;
        }
        for (const PaletteRoleName& role : kPaletteRoleNames) {
            if (role.skinKey && key == QLatin1String(role.skinKey)) {
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

    QString sheet;
    if (!expandVariables(lines.mid(i).join(u'\n'), vars, SkinLimits::kMaxSheetLength, &sheet))
        return fail(error, QStringLiteral("style section too long"));
    if (sheet.trimmed().isEmpty())
        return fail(error, QStringLiteral("empty style section"));
    result.styleSheet = sheet;
    *skin = result;
    return true;
}

bool checkSkinPictures(QString* styleSheet, const QString& skinDir, QString* error) {
    const QString& sheet = *styleSheet;
    // A back-slash could spell url( with an escape the search below would not see.
    if (sheet.contains(u'\\'))
        return fail(error, QStringLiteral("back-slash in style section"));
    const QString dir = QDir(skinDir).absolutePath();
    if (dir.contains(u'"'))
        return fail(error, QStringLiteral("skin folder name has a quote"));
    QString result;
    qsizetype done = 0;
    qsizetype at = sheet.indexOf(QLatin1String("url("), 0, Qt::CaseInsensitive);
    while (at >= 0) {
        qsizetype p = at + 4;
        while (p < sheet.size() && sheet[p].isSpace())
            ++p;
        qsizetype close;
        QString name;
        if (p < sheet.size() && (sheet[p] == u'"' || sheet[p] == u'\'')) {
            const qsizetype quote = sheet.indexOf(sheet[p], p + 1);
            if (quote < 0)
                return fail(error, QStringLiteral("unclosed url()"));
            name = sheet.mid(p + 1, quote - p - 1);
            close = quote + 1;
            while (close < sheet.size() && sheet[close].isSpace())
                ++close;
            if (close >= sheet.size() || sheet[close] != u')')
                return fail(error, QStringLiteral("unclosed url()"));
        } else {
            close = sheet.indexOf(u')', p);
            if (close < 0)
                return fail(error, QStringLiteral("unclosed url()"));
            name = sheet.mid(p, close - p).trimmed();
        }
        if (!isPictureName(name))
            return fail(error, QStringLiteral("url() must name a picture beside the skin"));
        const QFileInfo picture(dir + u'/' + name);
        if (picture.isSymLink() || !StateFile::isRegularFile(picture.filePath()) ||
            picture.size() > StateFile::kPictureCap)
            return fail(error, QStringLiteral("url() names no regular picture file: %1").arg(name));
        result += QStringView(sheet).mid(done, at - done);
        result += QStringLiteral("url(\"%1\")").arg(picture.filePath());
        done = close + 1;
        at = sheet.indexOf(QLatin1String("url("), done, Qt::CaseInsensitive);
    }
    result += QStringView(sheet).mid(done);
    *styleSheet = result;
    return true;
}

namespace {

QtMessageHandler g_previousHandler = nullptr;
bool g_parseFailed = false;

void catchParseWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Could not parse"))) {
        g_parseFailed = true;
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

bool styleSheetParses(const QString& styleSheet) {
    if (!qApp)
        return false;
    // Qt has no call that checks a style sheet. A widget that is never shown parses it on
    // polish and warns when it cannot; the warning is caught here and kept off the log.
    g_parseFailed = false;
    g_previousHandler = qInstallMessageHandler(catchParseWarning);
    {
        QWidget probe;
        probe.setStyleSheet(styleSheet);
        probe.ensurePolished();
    }
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
    return !g_parseFailed;
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
    // The palette first, as a skin is put on: the style sheet's change then polishes every
    // widget again against the program's own palette. The other way round, the widgets the
    // skin's sheet had styled kept the skin's colours until the program started again.
    QApplication::setPalette(m_basePalette);
    qApp->setStyleSheet(m_baseStyleSheet);
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
    // A skin is small: a longer file is refused, not cut.
    const StateFile::ReadResult file = StateFile::readBytes(skinPath, StateFile::kSkinCap);
    if (!file.found() || file.cut() || !qApp)
        return 0;
    Skin skin;
    if (!parseSkin(file.bytes, m_basePalette, &skin) ||
        !checkSkinPictures(&skin.styleSheet, QFileInfo(skinPath).absolutePath()))
        return 0;
    // An application style sheet that Qt cannot parse is dropped whole, the program's own
    // base sheet with it: such a skin is refused before it is applied.
    const QString sheet = m_baseStyleSheet + u'\n' + skin.styleSheet;
    if (!styleSheetParses(sheet))
        return 0;
    QApplication::setPalette(skin.palette);
    qApp->setStyleSheet(sheet);
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
