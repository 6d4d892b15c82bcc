#pragma once

// The sounds a practice mode asks for; the window plays them through the sound player.
enum class PracticeSound { Keystroke, Error };
