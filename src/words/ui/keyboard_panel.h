#pragma once

#include "core/keyboard_layout.h"

#include <QWidget>

class QLabel;

// The keyboard below the Word practice input box: the picture, the 26 letter squares and
// their red and white frames. The frame of one key at a time shows the next letter to type:
// a letter square, or in a layout that types letters elsewhere, one of the keys around them.
// The frames are drawn over the squares rather than being widgets of their own; frame()
// answers for each by its name.
class KeyboardPanel : public QWidget {
    Q_OBJECT
  public:
    // Design size of the panel before the load scaling.
    static constexpr int kDesignWidthTwips = 9408;
    static constexpr int kDesignHeightTwips = 2960;

    explicit KeyboardPanel(QWidget* parent = nullptr);

    // Scales the panel by the letter squares' height against the reference height.
    void loadScaling(int referenceHeightPixels);
    // The caps labelled as `layout` types.
    void setKeyboardLayout(const KeyboardLayout& layout);
    const KeyboardLayout& keyboardLayout() const { return m_layout; }
    // Frames key `index` (KeyboardHint's index: 0..25 the squares), or none for -1.
    void showHint(int index);
    int shownHint() const { return m_shown; }
    double scale() const { return m_scale; }

    QWidget* picture() const { return m_picture; }
    QLabel* square(int index) const { return m_squares[index]; }

    // A hint frame by its name: "Shape1(index)" the red frame of key `index`, "Shape2(index)"
    // the white one around it. An unknown name gives an empty, hidden frame.
    struct Frame {
        QRect geometry;
        bool shown = false;
    };
    Frame frame(const QString& name) const;
    QRect redFrame(int index) const;
    QRect whiteFrame(int index) const;

  private:
    KeyboardLayout m_layout = KeyboardLayout::us();
    QWidget* m_picture = nullptr;
    QWidget* m_frames = nullptr; // draws the shown hint's frames over the squares
    QLabel* m_squares[26] = {};
    int m_shown = -1;
    double m_scale = 1.0;
};
