#!/usr/bin/env bash
# Plays the typing game in the built program under Xvfb: with a GameSet.txt that ends a game
# after five seconds, the game window is opened from the navigation bar, F2 starts a game,
# letters are typed, the "Prompt" result box appears and is closed, and after the program
# ends GameSet.txt is as it was (the game writes it only when the settings are saved).
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e

copy_program "$program_dir"
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"
# Five seconds, one item, no sounds, ended by the time limit.
printf '5,0,1,0,1,60,1,2\r\n' > "$folder/GameSet.txt"
settings_before=$(od -An -c "$folder/GameSet.txt")

start_program "$folder" game "Common words 1"
game=$(open_entry game "$wid")
wait_focus "$game"
xdotool key F2
find_window "^Typing game: Key exercises" >/dev/null || fail "F2 did not start a game"
xdotool type --delay 120 "asdfjklqwertyuiop"
prompt=$(find_window "^Prompt$") || fail "no result box after the time limit"
wait_focus "$prompt"
xdotool key Return
sleep 0.5
xdotool search --onlyvisible --name "^Prompt$" >/dev/null 2>&1 && fail "the result box did not close"
python3 "$here/close_window.py" "$game"
wait_exit "$pid" || fail "closing the game window did not end the program"
[ "$(od -An -c "$folder/GameSet.txt")" = "$settings_before" ] || fail "GameSet.txt changed"
echo "game end-to-end: passed"
