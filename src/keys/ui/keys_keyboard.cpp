#include "keys/ui/keys_keyboard.h"

#include "core/key_codes.h"
#include "core/keyboard_table.h"
#include "look/look.h"
#include "core/state_file.h"
#include "keys/ui/keys_look.h"
#include "core/twips.h"

#include <QBuffer>
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

QRectF toPixels(const QRect& twips, QSize size) {
    return QRectF(twips.x() * scaleX(size), twips.y() * scaleY(size), twips.width() * scaleX(size),
                  twips.height() * scaleY(size));
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

QImage draw(Role role, QSize logicalSize, qreal devicePixelRatio, const KeyboardLayout& layout,
            bool fingers) {
    QImage image((QSizeF(logicalSize) * devicePixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The pictures are kept in files, so they take the program's own colours, not a skin's.
    Look::paintKeyboardBody(p, QRectF(QPointF(0, 0), QSizeF(logicalSize)), Look::basePalette(), 0);

    const qreal unit = logicalSize.width() / 695.0; // one pixel at the design size
    const qreal gap = 2 * unit;
    const qreal radius = 5 * unit;
    const qreal lift = 2.5 * unit; // room for the cap's edge below it
    auto shapeOf = [&](const QRectF& r) {
        QPainterPath path;
        path.addRoundedRect(r.adjusted(gap, gap, -gap, -gap - lift), radius, radius);
        return path;
    };

    for (const Place& place : KeyboardTable::keysKeyboardUnlabelled()) {
        const QRectF r = toPixels(place.twips, logicalSize);
        drawKey(p, shapeOf(r), r.adjusted(gap, gap, -gap, -gap - lift), place.code,
                faceOf(role, kindOf(place.code)), unit, layout, fingers);
    }
    for (const Place& place : KeyboardTable::keysKeyboardLabels()) {
        if (place.index == KeyboardTable::kEnterLowerLabel)
            continue; // drawn with the upper part
        const QRectF r = toPixels(place.twips, logicalSize);
        QPainterPath shape = shapeOf(r);
        if (place.index == KeyCode::Enter) {
            // The L-shaped Enter key: its lower-left part joins the upper and right part.
            const QRectF lower =
                labelRect(KeyboardTable::kEnterLowerLabel, logicalSize).adjusted(0, 0, gap * 2, 0);
            shape = shape.united(shapeOf(lower)).simplified();
        }
        drawKey(p, shape, r.adjusted(gap, gap, -gap, -gap - lift), place.code,
                faceOf(role, kindOf(place.code)), unit, layout, fingers);
    }
    return image;
}

QString resource(Role role, const KeyboardLayout& layout) {
    const QString suffix = layout.isUs() ? QString() : u'-' + layout.fileName();
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
    // A copy of another size (an older window or another screen scale) would put the marks
    // beside the keys; it is drawn again.
    QImage copy = readCopy(path, wanted);
    if (!copy.isNull()) {
        copy.setDevicePixelRatio(devicePixelRatio);
        return copy;
    }
    const QImage image = draw(role, logicalSize, devicePixelRatio, layout);
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

  protected:
    void resizeEvent(QResizeEvent*) override { m_image->setGeometry(rect()); }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal unit = width() / 79.0;
        const QRectF cap = QRectF(rect()).adjusted(2 * unit, 2 * unit, -2 * unit, -4.5 * unit);
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

void KeysKeyboard::loadBase(const QString& path) {
    m_base = KeysPictures::loadOrWrite(Role::Base, path, size(), devicePixelRatioF(), nullptr,
                                       m_layout);
    m_caps->setGeometry(labelRect(KeyCode::CapsLock));
    update();
}

void KeysKeyboard::completePictures(const ProgramFolder& folder) {
    const KeyPicture order[] = {KeyPicture::Tip, KeyPicture::Press, KeyPicture::WrongPress,
                                KeyPicture::WrongKey};
    for (KeyPicture picture : order) {
        const Role role = roleOf(picture);
        m_pictures[size_t(picture)] =
            KeysPictures::loadOrWrite(role, folder.path(KeysPictures::resource(role, m_layout)),
                                      size(), devicePixelRatioF(), nullptr, m_layout);
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
