#!/usr/bin/env bash
# Keys practice in a real X window, typed with real key events: a small fixture lesson with
# one wrong key, two keys that overlap and a capital, up to the lesson-end prompt. OK there
# opens the chooser, which picks the third lesson; closing the window leaves sz0.txt holding
# both switches and that lesson.
set -euo pipefail
program_dir=$1
fixture=$2
here=$(cd "$(dirname "$0")" && pwd)

source "$here/common.sh"
begin_e2e

copy_program "$program_dir"
cp "$fixture" "$folder/1/0.txt"
printf '1100\r\n' > "$folder/sz0.txt"

start_program "$folder" keys
keys=$(open_entry keys "$wid")
wait_focus "$keys"

# Line 1 "fj dk": f, a wrong g, j, Space, then d and k overlapping.
xdotool key --delay 60 f g j space
xdotool keydown d; sleep 0.05; xdotool keydown k; sleep 0.05
xdotool keyup d; sleep 0.05; xdotool keyup k; sleep 0.1
# Line 2 "As;": a capital with Shift, s, semicolon.
xdotool key --delay 60 shift+a s semicolon

prompt=$(find_window "^Prompt$") || fail "the lesson-end prompt did not appear"
wait_focus "$prompt"
xdotool key Return # OK
chooser=$(find_window "Select lesson") || fail "OK did not open the lesson chooser"
wait_focus "$chooser"
# Enter in the list moves to OK; the second Enter chooses.
xdotool key --delay 80 Down Down Return Return
sleep 0.5
python3 "$here/close_window.py" "$keys"
wait_exit "$pid" || fail "closing the Keys practice window did not end the program"
expect_bytes "$folder/sz0.txt" '1102\r\n'
echo "keys end-to-end: all passed"
