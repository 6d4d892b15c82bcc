#pragma once

#include <QStringView>

// Lenient number parse for counters held as text: leading blanks are skipped, then an
// optional sign, digits and a decimal point are read as far as they go. No number gives 0.
double val(QStringView text);

// The same, cut to a whole number (towards zero), saturating at the int range.
int valInt(QStringView text);
