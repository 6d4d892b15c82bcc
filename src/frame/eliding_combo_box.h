#pragma once

#include <QComboBox>

// A drop-down list whose closed caption ends in "…" where it is longer than its field, rather
// than being cut off at the field's edge; its list opens wide enough for every item.
class ElidingComboBox : public QComboBox {
  public:
    using QComboBox::QComboBox;

    // The caption as it is drawn in the closed list.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showPopup() override;

  private:
    QRect textField() const;
};
