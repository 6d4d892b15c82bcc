#!/usr/bin/env bash
# Runs the built program in a fresh copy of its folder under Xvfb and drives it like a user:
#  1. first run without face.txt: face.txt is created, the Word practice window opens;
#     the first word of the lesson is typed with Space, the window is closed, and the state
#     files hold the next word;
#  2. the "Keys practice" entry is clicked, the Keys window closed: both windows' state files
#     are written and the program has ended.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e

copy_program "$program_dir"
rm -f "$folder/face.txt" "$folder/sz0.txt"
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"
first_word=$(sed -n 2p "$folder/2/Lesson 1.txt" | tr -d '\r')

# --- 1: type the first word, then close ---
start_program "$folder" 1 "Common words 1"
expect_bytes "$folder/face.txt" 'pixos.urf\r\n'
wait_focus "$wid"
xdotool type --delay 40 "$first_word"
xdotool key space
sleep 0.5
python3 "$here/close_window.py" "$wid"
wait_exit "$pid" || fail "the program did not end when its window was closed"
expect_bytes "$folder/sz1.txt" '1100002Lesson 1\r\n'
expect_bytes "$folder/sz1-yj.txt" 'Lesson 1\r\n'

# --- 2: Word practice -> Keys practice, then close ---
start_program "$folder" 2 "Common words 1"
# This run clicks the banner's entry, as a user with a mouse does.
keys=$(open_entry keys "$wid" click)
kill -0 "$pid" || fail "switching windows ended the program"
expect_bytes "$folder/sz1.txt" '1100002Lesson 1\r\n'
python3 "$here/close_window.py" "$keys"
wait_exit "$pid" || fail "closing the Keys practice window did not end the program"
[ -f "$folder/sz0.txt" ] || fail "sz0.txt was not written"
# --- 3: asked to stop from outside (a logout): the place is saved all the same ---
start_program "$folder" 3 "Common words 1"
sleep 0.3
second_word=$(sed -n 3p "$folder/2/Lesson 1.txt" | tr -d '\r')
wait_focus "$wid"
xdotool type --delay 40 "$second_word"
xdotool key space
sleep 0.5
kill -TERM "$pid"
wait_exit "$pid" || fail "the program did not end on SIGTERM"
expect_bytes "$folder/sz1.txt" '1100003Lesson 1\r\n'
echo "end-to-end: all passed"
