#include "keys/ui/keys_keyboard.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "look/look.h"
#include "core/state_file.h"
#include "keys/ui/keys_look.h"
#include "core/twips.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace KeysPictures {

namespace {

using KeyboardTable::Place;

enum class Kind { Character, Space, Shift, Tab, Caps, Enter, Backspace, Ctrl, Alt, Win, Menu };

Kind kindOf(int code) {
    switch (code) {
    case KeyCode::Space:
        return Kind::Space;
    case KeyCode::Shift:
        return Kind::Shift;
    case KeyCode::Tab:
        return Kind::Tab;
    case KeyCode::CapsLock:
        return Kind::Caps;
    case KeyCode::Enter:
        return Kind::Enter;
    case KeyCode::Backspace:
        return Kind::Backspace;
    case 17:
        return Kind::Ctrl;
    case 18:
        return Kind::Alt;
    case 91:
    case 92:
        return Kind::Win;
    case 93:
        return Kind::Menu;
    default:
        return Kind::Character;
    }
}

// How a key looks in a picture.
enum class Face { Plain, Tip, Pressed, Wrong, WrongPressed };

Face faceOf(Role role, Kind kind) {
    const bool typing = kind == Kind::Character || kind == Kind::Space;
    switch (role) {
    case Role::Base:
        return Face::Plain;
    case Role::Tip:
        return typing || kind == Kind::Shift ? Face::Tip : Face::Plain;
    case Role::Press:
        return Face::Pressed;
    case Role::WrongPress:
        if (typing)
            return Face::WrongPressed;
        return kind == Kind::Tab || kind == Kind::Shift || kind == Kind::Ctrl || kind == Kind::Alt
                   ? Face::Plain
                   : Face::Pressed;
    case Role::WrongKey:
        if (typing)
            return Face::Wrong;
        return kind == Kind::Caps ? Face::Tip : Face::Plain;
    }
    return Face::Plain;
}

Look::KeyColours coloursOf(Face face, Kind kind, int code, bool fingers) {
    if (fingers && face == Face::Plain) {
        const KeyboardTable::Key* key = KeyboardTable::find(code);
        if (key && KeysLook::hasFingerColour(key->finger))
            return KeysLook::fingerColours(key->finger);
    }
    switch (face) {
    case Face::Tip:
        return KeysLook::keyColours(KeysLook::KeyFace::Tip);
    case Face::Pressed:
        return KeysLook::keyColours(KeysLook::KeyFace::Pressed);
    case Face::Wrong:
        return KeysLook::keyColours(KeysLook::KeyFace::Wrong);
    case Face::WrongPressed:
        return KeysLook::keyColours(KeysLook::KeyFace::WrongPressed);
    case Face::Plain:
        break;
    }
    return KeysLook::keyColours(kind == Kind::Character ? KeysLook::KeyFace::Character
                                                        : KeysLook::KeyFace::Function);
}

// A few keys reach a little past the documented width; the scale keeps them all inside.
int tableWidthTwips() {
    static const int width = [] {
        int right = KeyboardTable::kKeysKeyboardWidthTwips;
        for (const Place& place : KeyboardTable::keysKeyboardLabels())
            right = std::max(right, place.twips.x() + place.twips.width() + 15);
        for (const Place& place : KeyboardTable::keysKeyboardUnlabelled())
            right = std::max(right, place.twips.x() + place.twips.width() + 15);
        return right;
    }();
    return width;
}

qreal scaleX(QSize size) {
    return size.width() / qreal(tableWidthTwips());
}
qreal scaleY(QSize size) {
    return size.height() / qreal(KeyboardTable::kKeysKeyboardHeightTwips);
}

QRectF toPixels(const QRectF& twips, QSize size) {
    return QRectF(twips.x() * scaleX(size), twips.y() * scaleY(size), twips.width() * scaleX(size),
                  twips.height() * scaleY(size));
}

// --- where the caps stand ---
// The labels were placed by hand over a picture: their edges wander by a few twips, and some
// overlap their neighbours. The caps stand on a regular grid inside them instead. Each cap
// lies within its own label and clear of every other label, so a mark copies its whole key
// and nothing of the next; the caps of a row share their top and height; one gap parts every
// two neighbours, across a row and between the rows.

constexpr int kRows = 5;
constexpr qreal kCapHeightTwips = 516; // the cap with its edge below it
constexpr qreal kKeyPitchTwips = 696;  // a character key's label

struct Span {
    qreal lo;
    qreal hi;
};
struct Grid {
    qreal start;
    qreal pitch;
};

// Items of `size` at start + k × pitch, the k-th inside span k, each as far from the ends of
// its span as the spans allow.
Grid fitGrid(const std::vector<Span>& spans, qreal size) {
    const int n = int(spans.size());
    if (n == 1)
        return {(spans[0].lo + spans[0].hi - size) / 2, 0};
    const qreal guess =
        (spans.back().lo + spans.back().hi - spans.front().lo - spans.front().hi) / 2 / (n - 1);
    Grid best{spans[0].lo, guess};
    qreal bestSlack = -1e9;
    for (qreal pitch = guess * 0.95; pitch <= guess * 1.05; pitch += 0.25) {
        qreal low = -1e9, high = 1e9;
        for (int k = 0; k < n; ++k) {
            low = std::max(low, spans[size_t(k)].lo - k * pitch);
            high = std::min(high, spans[size_t(k)].hi - size - k * pitch);
        }
        if ((high - low) / 2 > bestSlack) {
            bestSlack = (high - low) / 2;
            best = {(low + high) / 2, pitch};
        }
    }
    return best;
}

struct CapPlace {
    const Place* place;
    bool labelled;
    QRectF twips; // the cap with its edge, in the keyboard's twips
};

const std::vector<CapPlace>& capPlaces() {
    static const std::vector<CapPlace> caps = [] {
        std::vector<CapPlace> all;
        for (const Place& place : KeyboardTable::keysKeyboardLabels())
            all.push_back({&place, true, {}});
        for (const Place& place : KeyboardTable::keysKeyboardUnlabelled())
            all.push_back({&place, false, {}});
        // The five rows: a label belongs to the rows it covers more than half of.
        const qreal rowHeight = KeyboardTable::kKeysKeyboardHeightTwips / qreal(kRows);
        const auto topRow = [rowHeight](const QRect& r) {
            return int((r.top() + rowHeight / 2) / rowHeight);
        };
        const auto bottomRow = [rowHeight](const QRect& r) {
            return int((r.y() + r.height() - rowHeight / 2) / rowHeight);
        };
        const auto right = [](const QRect& r) { return qreal(r.x() + r.width()); };
        const auto bottom = [](const QRect& r) { return qreal(r.y() + r.height()); };

        // Each row's band: below the labels of the row above, above those of the row below.
        std::vector<Span> bands(kRows, Span{0, qreal(KeyboardTable::kKeysKeyboardHeightTwips)});
        for (const CapPlace& cap : all) {
            if (!cap.labelled)
                continue;
            const QRect& r = cap.place->twips;
            const int top = topRow(r), last = bottomRow(r);
            bands[size_t(top)].lo = std::max(bands[size_t(top)].lo, qreal(r.top()));
            bands[size_t(last)].hi = std::min(bands[size_t(last)].hi, bottom(r));
            if (last + 1 < kRows)
                bands[size_t(last + 1)].lo = std::max(bands[size_t(last + 1)].lo, bottom(r));
            if (top > 0)
                bands[size_t(top - 1)].hi = std::min(bands[size_t(top - 1)].hi, qreal(r.top()));
        }
        const Grid rows = fitGrid(bands, kCapHeightTwips);
        const qreal gap = rows.pitch - kCapHeightTwips;
        const qreal width = kKeyPitchTwips - gap;
        const auto band = [&rows](int row) { return rows.start + row * rows.pitch; };

        // The keys of every row share the left edge and the right edge of the narrowest row.
        qreal leftEdge = 1e9, rightEdge = 1e9;
        std::vector<qreal> rowRight(kRows, 0);
        for (const CapPlace& cap : all) {
            leftEdge = std::min(leftEdge, qreal(cap.place->twips.x()));
            for (int row = topRow(cap.place->twips); row <= bottomRow(cap.place->twips); ++row)
                rowRight[size_t(row)] = std::max(rowRight[size_t(row)], right(cap.place->twips));
        }
        for (qreal r : rowRight)
            rightEdge = std::min(rightEdge, r);
        leftEdge += gap / 2;
        rightEdge -= gap / 2;

        // Across each row: a key is the labels of one code that overlap there (the two parts
        // of Enter); the character keys stand on a grid, the others fill the rest.
        struct Key {
            int code;
            qreal lo, hi;      // its labels' extent
            qreal left, right; // its cap's
        };
        std::vector<std::vector<Key>> keysOfRow(kRows);
        for (int row = 0; row < kRows; ++row) {
            std::vector<Key>& keys = keysOfRow[size_t(row)];
            for (const CapPlace& cap : all) {
                const QRect& r = cap.place->twips;
                if (row < topRow(r) || row > bottomRow(r))
                    continue;
                auto same = std::find_if(keys.begin(), keys.end(), [&](const Key& k) {
                    return k.code == cap.place->code && k.lo < right(r) && r.x() < k.hi;
                });
                if (same == keys.end())
                    keys.push_back({cap.place->code, qreal(r.x()), right(r), 0, 0});
                else
                    *same = {same->code, std::min(same->lo, qreal(r.x())),
                             std::max(same->hi, right(r)), 0, 0};
            }
            std::sort(keys.begin(), keys.end(),
                      [](const Key& a, const Key& b) { return a.lo < b.lo; });
            const int n = int(keys.size());
            int first = n, last = -1;
            for (int k = 0; k < n; ++k)
                if (kindOf(keys[size_t(k)].code) == Kind::Character) {
                    first = std::min(first, k);
                    last = k;
                }
            qreal rowGap = gap;
            if (last >= 0) {
                std::vector<Span> spans;
                for (int k = first; k <= last; ++k) {
                    const qreal before = k > 0 ? keys[size_t(k - 1)].hi : leftEdge;
                    const qreal after = k + 1 < n ? keys[size_t(k + 1)].lo : rightEdge;
                    spans.push_back({std::max(keys[size_t(k)].lo, before),
                                     std::min(keys[size_t(k)].hi, after)});
                }
                const Grid grid = fitGrid(spans, width);
                rowGap = grid.pitch - width;
                for (int k = first; k <= last; ++k) {
                    keys[size_t(k)].left = grid.start + (k - first) * grid.pitch;
                    keys[size_t(k)].right = keys[size_t(k)].left + width;
                }
            }
            const auto inRun = [first, last](int k) { return k >= first && k <= last; };
            if (!inRun(0))
                keys.front().left = leftEdge;
            if (!inRun(n - 1))
                keys.back().right = rightEdge;
            for (int k = 0; k + 1 < n; ++k) {
                Key& a = keys[size_t(k)];
                Key& b = keys[size_t(k + 1)];
                if (inRun(k) && inRun(k + 1))
                    continue;
                if (inRun(k + 1)) {
                    a.right = b.left - rowGap;
                } else if (inRun(k)) {
                    b.left = a.right + rowGap;
                } else {
                    const qreal middle = (a.hi + b.lo) / 2;
                    a.right = middle - rowGap / 2;
                    b.left = middle + rowGap / 2;
                }
            }
        }

        // A label's cap: the span of its key in its top row, down to the band of its last.
        for (CapPlace& cap : all) {
            const QRect& r = cap.place->twips;
            const int top = topRow(r), last = bottomRow(r);
            for (const Key& key : keysOfRow[size_t(top)]) {
                if (key.code == cap.place->code && key.lo <= r.x() && right(r) <= key.hi)
                    cap.twips = QRectF(QPointF(key.left, band(top)),
                                       QPointF(key.right, band(last) + kCapHeightTwips));
            }
        }
        return all;
    }();
    return caps;
}

void drawKey(QPainter& p, const QPainterPath& shape, const QRectF& labelArea, int code, Face face,
             qreal unit, const KeyboardLayout& layout, bool fingers) {
    const Kind kind = kindOf(code);
    const Look::KeyColours c = coloursOf(face, kind, code, fingers);
    const bool pressed = face == Face::Pressed || face == Face::WrongPressed;
    const qreal depth = pressed ? unit * 0.6 : unit * 2.2;
    const QPainterPath capShape = shape.translated(0, pressed ? unit * 1.6 : 0);

    p.setPen(Qt::NoPen);
    p.setBrush(c.edge);
    p.drawPath(capShape.translated(0, depth));
    QLinearGradient fill(capShape.boundingRect().topLeft(), capShape.boundingRect().bottomLeft());
    fill.setColorAt(0, c.top);
    fill.setColorAt(1, c.bottom);
    p.setBrush(fill);
    p.drawPath(capShape);

    const QRectF area = labelArea.translated(0, pressed ? unit * 1.6 : 0);
    const KeyboardTable::Key* key = KeyboardTable::find(code);
    const auto [label, shifted] = KeysPictures::capOf(code, layout);
    p.setPen(c.ink);
    if (code == KeyCode::Backspace) {
        p.setFont(Look::uiFont(12, true));
        p.drawText(area, Qt::AlignCenter, label);
    } else if (label.size() > 1) {
        p.setFont(Look::uiFont(7, true));
        p.drawText(area.adjusted(unit * 4, 0, -unit * 3, -unit * 3),
                   Qt::AlignLeft | Qt::AlignBottom, label);
    } else if (!shifted.isEmpty()) {
        p.setFont(Look::uiFont(7.5, true));
        p.drawText(area.adjusted(0, unit, 0, -area.height() / 2), Qt::AlignCenter, shifted);
        p.setFont(Look::uiFont(9.5, true));
        p.drawText(area.adjusted(0, area.height() / 2 - unit * 3, 0, -unit * 2), Qt::AlignCenter,
                   label);
    } else if (!label.isEmpty()) {
        p.setFont(Look::uiFont(12, true));
        p.drawText(area, Qt::AlignCenter, label);
    }
    if (key && key->bump) {
        p.setPen(QPen(c.ink, unit * 1.6, Qt::SolidLine, Qt::RoundCap));
        const qreal y = area.bottom() - unit * 5;
        p.drawLine(QPointF(area.center().x() - unit * 4, y),
                   QPointF(area.center().x() + unit * 4, y));
    }
    if (face == Face::Wrong || face == Face::WrongPressed) {
        // The cross stands in the corners, clear of the key's own letter.
        p.setPen(QPen(KeysLook::kWrongCross, unit * 1.7, Qt::SolidLine, Qt::RoundCap));
        const QRectF b = area.adjusted(unit * 4, unit * 4, -unit * 4, -unit * 5);
        const qreal arm = std::min(b.width(), b.height()) * 0.28;
        for (const auto& [corner, dx, dy] :
             {std::tuple{b.topLeft(), 1.0, 1.0}, std::tuple{b.topRight(), -1.0, 1.0},
              std::tuple{b.bottomLeft(), 1.0, -1.0}, std::tuple{b.bottomRight(), -1.0, -1.0}})
            p.drawLine(corner, corner + QPointF(dx * arm, dy * arm));
    }
}

} // namespace

Cap capOf(int code, const KeyboardLayout& layout) {
    if (code == KeyCode::Backspace)
        return {QStringLiteral("\u2190"), QString()}; // the word does not fit the narrow key
    return {layout.label(code), layout.shiftedLabel(code)};
}

QRectF labelRect(int index, QSize logicalSize) {
    const Place* place = KeyboardTable::keysKeyboardLabel(index);
    return place ? toPixels(place->twips, logicalSize) : QRectF();
}

QRectF capRect(int index, QSize logicalSize) {
    for (const CapPlace& cap : capPlaces())
        if (cap.labelled && cap.place->index == index)
            return toPixels(cap.twips, logicalSize);
    return {};
}

QImage draw(Role role, QSize logicalSize, qreal devicePixelRatio, const KeyboardLayout& layout,
            bool fingers) {
    QImage image((QSizeF(logicalSize) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The pictures are kept in files, so they take the program's own colours, not a skin's.
    Look::paintKeyboardBody(p, QRectF(QPointF(0, 0), QSizeF(logicalSize)), Look::basePalette(), 0);

    const qreal unit = logicalSize.width() / 695.0; // one pixel at the design size
    const qreal radius = 5 * unit;
    const qreal lift = 2.5 * unit; // room for the cap's edge below it
    const auto faceOfCap = [&](const CapPlace& cap) {
        return toPixels(cap.twips, logicalSize).adjusted(0, 0, 0, -lift);
    };
    const auto shapeOf = [&](const QRectF& face) {
        QPainterPath path;
        path.addRoundedRect(face, radius, radius);
        return path;
    };
    QPainterPath enterLower;
    for (const CapPlace& cap : capPlaces())
        if (cap.labelled && cap.place->index == KeyboardTable::kEnterLowerLabel)
            enterLower = shapeOf(faceOfCap(cap));

    for (const CapPlace& cap : capPlaces()) {
        const int index = cap.labelled ? cap.place->index : 0;
        if (index == KeyboardTable::kEnterLowerLabel)
            continue; // drawn with the upper part
        const QRectF face = faceOfCap(cap);
        QPainterPath shape = shapeOf(face);
        if (index == KeyCode::Enter) // the L-shaped Enter key: its lower-left part joins it
            shape = shape.united(enterLower).simplified();
        drawKey(p, shape, face, cap.place->code, faceOf(role, kindOf(cap.place->code)), unit,
                layout, fingers);
    }
    return image;
}

QString resource(Role role, const KeyboardLayout& layout, qreal devicePixelRatio) {
    QString suffix = layout.isUs() ? QString() : u'-' + layout.fileName();
    if (!qFuzzyCompare(devicePixelRatio, 1.0))
        suffix += QStringLiteral("@%1x").arg(QString::number(devicePixelRatio, 'g', 4));
    switch (role) {
    case Role::Base:
        return QStringLiteral("\\test5%1.bmp").arg(suffix);
    case Role::Tip:
        return QStringLiteral("\\test2%1.bmp").arg(suffix);
    case Role::Press:
        return QStringLiteral("\\test3%1.bmp").arg(suffix);
    case Role::WrongPress:
        return QStringLiteral("\\test4%1.bmp").arg(suffix);
    case Role::WrongKey:
        return QStringLiteral("\\test6%1.bmp").arg(suffix);
    }
    return QString();
}

qint64 copyCap(QSize size) {
    // A 24-bit BMP: rows padded to four bytes, a header of at most a few hundred bytes.
    const qint64 row = (qint64(size.width()) * 3 + 3) / 4 * 4;
    return row * size.height() + 1024;
}

QImage readCopy(const QString& path, QSize wanted) {
    if (wanted.isEmpty())
        return {};
    // Read as every file of the folder is: a regular file, no larger than a copy of this size.
    const StateFile::ReadResult file = StateFile::readBytes(path, copyCap(wanted));
    if (file.status != StateFile::ReadStatus::Complete)
        return {};
    QBuffer buffer;
    buffer.setData(file.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setDecideFormatFromContent(false);
    // The header tells the size: a copy of another one is not decoded at all.
    if (reader.size() != wanted)
        return {};
    QImage copy;
    if (!reader.read(&copy) || copy.size() != wanted)
        return {};
    return copy.convertToFormat(QImage::Format_RGB32);
}

QImage loadOrWrite(Role role, const QString& path, QSize logicalSize, qreal devicePixelRatio,
                   bool* written, const KeyboardLayout& layout) {
    const QSize wanted = (QSizeF(logicalSize) * devicePixelRatio).toSize();
    if (written)
        *written = false;
    QImage copy = readCopy(path, wanted);
    if (!copy.isNull()) {
        copy.setDevicePixelRatio(devicePixelRatio);
        return copy;
    }
    // A copy of another size would put the marks beside the keys: the picture is drawn
    // afresh, and a file the learner has stays as it is. Only an entry that is no file of
    // the folder (a link, a pipe) is replaced.
    const QImage image = draw(role, logicalSize, devicePixelRatio, layout);
    const QFileInfo entry(path);
    if (entry.isFile() && !entry.isSymLink())
        return image;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The copy replaces the folder's own entry, as every state file does: a link there is
    // replaced, never followed out of the folder. A copy that cannot be written is only drawn
    // again next time, so its failure is not told.
    if (image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP") &&
        StateFile::writeBytes(path, bytes, false) && written)
        *written = true;
    return image;
}

} // namespace KeysPictures

using KeysPictures::Role;

namespace {

Role roleOf(KeyPicture picture) {
    switch (picture) {
    case KeyPicture::Tip:
        return Role::Tip;
    case KeyPicture::Press:
        return Role::Press;
    case KeyPicture::WrongPress:
        return Role::WrongPress;
    case KeyPicture::WrongKey:
        return Role::WrongKey;
    }
    return Role::Base;
}

// The lit Caps Lock key that covers the keyboard's own while Caps Lock is on.
class CapsIndicator : public QWidget {
  public:
    explicit CapsIndicator(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Picture1"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* image = new QWidget(this);
        image->setObjectName(QStringLiteral("Image7"));
        image->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_image = image;
    }

    // Where the keyboard's own Caps Lock cap stands, in this widget.
    void setCap(const QRectF& cap) {
        m_cap = cap;
        update();
    }

  protected:
    void resizeEvent(QResizeEvent*) override { m_image->setGeometry(rect()); }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal unit = parentWidget()->width() / 695.0;
        const QRectF cap = m_cap.adjusted(0, 0, 0, -2.5 * unit);
        const Look::KeyColours lit = KeysLook::keyColours(KeysLook::KeyFace::Tip);
        Look::drawKeycap(p, cap, lit.top, lit.bottom, lit.edge, 5 * unit, 2.2 * unit);
        KeysLook::paintCapsLamp(p, QPointF(cap.right() - 9 * unit, cap.top() + 8 * unit), 6 * unit);
        p.setPen(lit.ink);
        p.setFont(Look::uiFont(7, true));
        p.drawText(cap.adjusted(4 * unit, 0, 0, -3 * unit), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("Caps"));
    }

  private:
    QWidget* m_image;
    QRectF m_cap;
};

} // namespace

KeysKeyboard::KeysKeyboard(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture5"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_caps = new CapsIndicator(this);
    m_caps->hide();
}

void KeysKeyboard::setKeyboardLayout(const KeyboardLayout& layout) {
    m_layout = layout;
    m_base = QImage();
    m_fingerBase = QImage();
    m_pictures = {};
    m_complete = false;
    update();
}

void KeysKeyboard::loadBase(const ProgramFolder& folder) {
    const QString path =
        folder.path(KeysPictures::resource(Role::Base, m_layout, devicePixelRatioF()));
    m_base = KeysPictures::loadOrWrite(Role::Base, path, size(), devicePixelRatioF(), nullptr,
                                       m_layout);
    m_caps->setGeometry(labelRect(KeyCode::CapsLock));
    static_cast<CapsIndicator*>(m_caps)->setCap(
        KeysPictures::capRect(KeyCode::CapsLock, size()).translated(-m_caps->pos()));
    update();
}

void KeysKeyboard::completePictures(const ProgramFolder& folder) {
    const KeyPicture order[] = {KeyPicture::Tip, KeyPicture::Press, KeyPicture::WrongPress,
                                KeyPicture::WrongKey};
    for (KeyPicture picture : order) {
        const Role role = roleOf(picture);
        m_pictures[size_t(picture)] = KeysPictures::loadOrWrite(
            role, folder.path(KeysPictures::resource(role, m_layout, devicePixelRatioF())), size(),
            devicePixelRatioF(), nullptr, m_layout);
    }
    m_complete = true;
    for (const KeyMark& mark : m_marks)
        updateKey(mark.key);
}

const QImage& KeysKeyboard::picture(KeyPicture picture) {
    QImage& image = m_pictures[size_t(picture)];
    if (image.isNull()) // marks before the pictures are completed
        image = KeysPictures::draw(roleOf(picture), size(), devicePixelRatioF(), m_layout);
    return image;
}

void KeysKeyboard::updateKey(int index) {
    const QRect r = labelRect(index);
    if (!r.isEmpty())
        update(r.adjusted(-1, -1, 1, 1));
}

void KeysKeyboard::setMarks(const QList<KeyMark>& marks) {
    // Only the keys whose mark changed are painted again.
    for (const KeyMark& old : m_marks) {
        if (!marks.contains(old))
            updateKey(old.key);
    }
    for (const KeyMark& mark : marks) {
        if (!m_marks.contains(mark))
            updateKey(mark.key);
    }
    m_marks = marks;
}

void KeysKeyboard::setCapsIndicator(bool shown) {
    m_caps->setVisible(shown);
}

void KeysKeyboard::setFingerColours(bool on) {
    if (on == m_fingers)
        return;
    m_fingers = on;
    update();
}

void KeysKeyboard::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (m_base.isNull() || m_base.size() != pixels)
        m_base = KeysPictures::draw(Role::Base, size(), devicePixelRatioF(), m_layout);
    if (m_fingers && (m_fingerBase.isNull() || m_fingerBase.size() != pixels))
        m_fingerBase = KeysPictures::draw(Role::Base, size(), devicePixelRatioF(), m_layout, true);
    const QImage& base = m_fingers ? m_fingerBase : m_base;
    const qreal dpr = base.devicePixelRatio();
    const QRect dirty = event->rect();
    p.drawImage(
        QRectF(dirty), base,
        QRectF(dirty.x() * dpr, dirty.y() * dpr, dirty.width() * dpr, dirty.height() * dpr));
    for (const KeyMark& mark : m_marks) {
        const QRectF r = KeysPictures::labelRect(mark.key, size());
        if (r.isEmpty() || !r.intersects(QRectF(dirty)))
            continue;
        const QImage& source = picture(mark.picture);
        const qreal d = source.devicePixelRatio();
        p.drawImage(r, source, QRectF(r.x() * d, r.y() * d, r.width() * d, r.height() * d));
    }
}
