#pragma once

// The two sounds a practice window asks for.
enum class PracticeSound { Keystroke, Error };
