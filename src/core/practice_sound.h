#pragma once

// The two sounds a practice mode asks for; the window plays them when "Keystroke sound" is on.
enum class PracticeSound { Keystroke, Error };
