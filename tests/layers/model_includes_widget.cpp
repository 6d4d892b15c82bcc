// Built as part of a model library by the test `layers_model_sees_no_widgets`, which passes
// when this file fails to compile: a model sees QtCore and core/ only.
#include "words/model/word_exercise.h"

#include <QtWidgets/QWidget>

int probe() { return sizeof(QWidget); }
