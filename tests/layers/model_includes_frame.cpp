// Built as part of a model library by the test `layers_model_sees_no_frame`, which passes
// when this file fails to compile: the frame's headers are not on a model's include path.
#include "keys/model/keys_exercise.h"

#include "frame/practice_window.h"

int probe() { return 0; }
