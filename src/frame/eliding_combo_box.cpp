#include "frame/eliding_combo_box.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

QRect ElidingComboBox::textField() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                   this);
}

QString ElidingComboBox::shownText() const {
    // The style draws the caption one pixel in from each side of its field.
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, textField().width() - 2);
}

void ElidingComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void ElidingComboBox::showPopup() {
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + view()->frameWidth() * 2 + 8);
    QComboBox::showPopup();
}
