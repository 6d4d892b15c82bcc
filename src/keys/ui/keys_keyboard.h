#pragma once

#include "keys/model/keys_exercise.h"
#include "core/keyboard_layout.h"
#include "core/program_folder.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>
#include <array>

// The five pictures of the Keys practice keyboard, each the whole keyboard drawn in one role.
// A mark copies a key's rectangle from one of them onto the keyboard area.
namespace KeysPictures {

enum class Role { Base, Tip, Press, WrongPress, WrongKey };

// What a key's cap shows: its label, and the small shifted one above it ("" for none).
struct Cap {
    QString label;
    QString shifted;
};
Cap capOf(int code, const KeyboardLayout& layout);

// The picture drawn in memory for a keyboard of `logicalSize`, its caps labelled as `layout`
// types. With `fingers`, the keys at rest take the colours of their fingers.
QImage draw(Role role, QSize logicalSize, qreal devicePixelRatio,
            const KeyboardLayout& layout = KeyboardLayout::us(), bool fingers = false);

// The scaled copy's file: "\test5.bmp" for the base picture, "\test2.bmp" ... "\test6.bmp";
// another layout's copies carry its name: "\test5-de.bmp", and copies for a screen scaled by
// another factor carry it: "\test5@2x.bmp", "\test5-de@1.5x.bmp".
QString resource(Role role, const KeyboardLayout& layout = KeyboardLayout::us(),
                 qreal devicePixelRatio = 1.0);

// The copy at `path` when it is a BMP of `wanted` device pixels; else a null image.
QImage readCopy(const QString& path, QSize wanted);

// Loads the copy at `path` when it has the size wanted; otherwise draws the picture, and
// writes it there when no file is there yet. A file that is there is never replaced, whatever
// it holds. `written` tells whether the file was written.
QImage loadOrWrite(Role role, const QString& path, QSize logicalSize, qreal devicePixelRatio,
                   bool* written = nullptr, const KeyboardLayout& layout = KeyboardLayout::us());

// The key rectangle of label `index` in a keyboard of `logicalSize`, in its pixels; an empty
// rectangle for an index without a label.
QRectF labelRect(int index, QSize logicalSize);
// The cap drawn for label `index`, with its edge below it, in the same pixels: inside the
// label's rectangle. An empty rectangle for an index without a label.
QRectF capRect(int index, QSize logicalSize);

} // namespace KeysPictures

// The keyboard area Picture5: the base picture with the marks of the exercise copied over it.
// Changing the marks repaints only the keys whose mark changed.
class KeysKeyboard : public QWidget {
    Q_OBJECT
  public:
    explicit KeysKeyboard(QWidget* parent = nullptr);

    // The layout the caps are labelled with; the pictures of another are put aside.
    void setKeyboardLayout(const KeyboardLayout& layout);
    const KeyboardLayout& keyboardLayout() const { return m_layout; }
    // The base picture from its scaled copy in the folder, written when needed.
    void loadBase(const ProgramFolder& folder);
    // The four mark pictures from their copies in the folder, written when needed.
    void completePictures(const ProgramFolder& folder);
    bool picturesComplete() const { return m_complete; }

    void setMarks(const QList<KeyMark>& marks);
    QList<KeyMark> marks() const { return m_marks; }
    void setCapsIndicator(bool shown);
    // "Finger colours": the keys at rest in their fingers' colours, the marks over them.
    void setFingerColours(bool on);
    bool fingerColours() const { return m_fingers; }
    QWidget* capsIndicator() const { return m_caps; }
    QRect labelRect(int index) const {
        return KeysPictures::labelRect(index, size()).toAlignedRect();
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QImage& picture(KeyPicture picture);
    void updateKey(int index);

    KeyboardLayout m_layout = KeyboardLayout::us();
    QImage m_base;
    QImage m_fingerBase; // drawn when first wanted; never kept in a file
    bool m_fingers = false;
    std::array<QImage, 4> m_pictures; // by KeyPicture
    bool m_complete = false;
    QList<KeyMark> m_marks;
    QWidget* m_caps = nullptr; // Picture1, holding Image7
};
