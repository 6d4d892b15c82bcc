#pragma once

#include "core/keyboard_layout.h"
#include "history/practice_run.h"

#include <QHash>
#include <QList>
#include <QRectF>
#include <QWidget>

// The keyboard as a heat map: each key filled by how often it went wrong, the weakest keys
// ringed. Keys without counts are drawn empty.
class KeyHeatMap : public QWidget {
    Q_OBJECT
  public:
    // One key as drawn: its code, its cap label and its place in the keyboard, in twips.
    struct Key {
        int code;
        QString label;
        QRectF place;
    };
    // The keys of the keyboard the program draws, laid out for the heat map, their caps
    // labelled as `layout` types.
    static QList<Key> keyboardKeys(const KeyboardLayout& layout = KeyboardLayout::us());
    // The error rate at which a key is drawn in the full warning colour.
    static constexpr double kFullHeat = 0.2;
    // The width of a letter key, in twips of the keyboard.
    static constexpr double kLetterKeyTwips = 696;

    explicit KeyHeatMap(QWidget* parent = nullptr,
                        const KeyboardLayout& layout = KeyboardLayout::us());

    void setTallies(const QList<KeyTally>& tallies, const QList<int>& weakest);
    // The place of a key in widget coordinates; empty for a code not drawn.
    QRectF keyRect(int code) const;
    // The colour a key is filled with at this error rate, from the widget's palette.
    QColor heatColour(double rate) const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    static constexpr int kBodyMargin = 6;    // the keyboard's slab around its keys, pixels
    static constexpr int kLegendHeight = 24; // the colour scale under it
    QTransform unitsToWidget() const;

    KeyboardLayout m_layout;
    QList<Key> m_keys;
    QRectF m_bounds;
    QHash<int, KeyTally> m_tallies;
    QList<int> m_weakest;
};

// The weakest keys, one row each: the key, a bar of its error rate and its counts.
class WeakestKeysView : public QWidget {
    Q_OBJECT
  public:
    explicit WeakestKeysView(QWidget* parent = nullptr,
                             const KeyboardLayout& layout = KeyboardLayout::us());

    void setKeys(const QList<KeyTally>& keys, const QString& emptyText);
    const QList<KeyTally>& keys() const { return m_keys; }
    // The name a learner reads for a key code in a layout ("Q", "Space", ";").
    static QString keyName(int code, const KeyboardLayout& layout = KeyboardLayout::us());

    QSize sizeHint() const override { return {300, 5 * kRowHeight}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static constexpr int kRowHeight = 24;
    KeyboardLayout m_layout;
    QList<KeyTally> m_keys;
    QString m_emptyText;
};
