#include "keys/model/keys_state.h"

Sz0 Sz0::parse(const QString& field) {
    Sz0 state;
    state.keyedTips = field.size() > 0 && field[0] == u'1';
    state.keystrokeSound = field.size() > 1 && field[1] == u'1';
    int index = 0;
    for (const QChar c : field.mid(2, 2)) {
        if (c < u'0' || c > u'9')
            break;
        index = index * 10 + (c.unicode() - u'0');
    }
    state.lessonIndex = index < kLessons ? index : 0;
    return state;
}

QString Sz0::format() const {
    const QString digits = (QStringLiteral("0") + QString::number(lessonIndex)).right(2);
    return QString(keyedTips ? u'1' : u'0') + QString(keystrokeSound ? u'1' : u'0') + digits;
}
