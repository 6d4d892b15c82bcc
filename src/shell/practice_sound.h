#pragma once

// The two sounds a practice mode can ask for: the keystroke click and the error tone.
enum class PracticeSound { Keystroke, Error };
