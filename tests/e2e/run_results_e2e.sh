#!/usr/bin/env bash
# What a learner is told at the end of a run is what the history keeps, with real X events in
# a fresh copy of the program folder:
#  1. Keys practice is opened and left for 15 s without a keystroke, then closed: no run;
#  2. Alt+S opens the Keys settings panel and Esc closes it: the window looks as it did, and
#     the keys typed next are judged (the lesson below reaches its end);
#  3. a lesson is typed to its end over more than ten seconds, one key wrong: the figures
#     under the "Prompt" (copied from the box with Ctrl+C) are the run history.db holds;
#  4. a timed game is played to its result: the speed it tells and the figures beneath are
#     the game's run in history.db, and the history holds these two runs and no other.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e

# The figures of a run as its results show them, in the order of the query below.
shown_figures() { # results text
    local time speed accuracy keystrokes wrong
    time=$(grep -oP '^Time: \K[0-9]+(?= s$)' <<<"$1") || fail "no time in [$1]"
    speed=$(grep -oP '^Speed: \K[0-9]+(?= characters per minute)' <<<"$1") || fail "no speed in [$1]"
    accuracy=$(grep -oP '^Accuracy: \K[0-9]+' <<<"$1") || fail "no accuracy in [$1]"
    keystrokes=$(grep -oP '^Keystrokes: \K[0-9]+' <<<"$1") || fail "no keystrokes in [$1]"
    wrong=$(grep -oP '^Keystrokes: [0-9]+, \K[0-9]+(?= of them wrong)' <<<"$1") ||
        fail "no wrong keystrokes in [$1]"
    echo "$time|$speed|$accuracy|$keystrokes|$wrong"
}
stored_figures() { # mode
    history "SELECT active_seconds, speed, accuracy, keystrokes, wrong FROM runs WHERE mode = '$1'"
}
# How many pixels of two screenshots differ.
pixels_apart() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

copy_program "$program_dir"
rm -f "$folder/history.db"*
printf '1100\r\n' > "$folder/sz0.txt"
lesson='fjdk slfj dksl fjdk sldk'
printf 'Results\r\n%s\r\nfjdk sl\r\n' "$lesson" > "$folder/1/0.txt"
# Twelve seconds, one item, no sounds, ended by the time limit.
printf '12,0,1,0,1,60,1,2\r\n' > "$folder/GameSet.txt"

# --- 1: a visit without a keystroke ---
start_program "$folder" idle
keys=$(open_entry keys "$wid")
sleep 15
python3 "$here/close_window.py" "$keys"
wait_exit "$pid" || fail "closing the window did not end the program"
if [ -f "$folder/history.db" ]; then
    runs=$(history "SELECT count(*) FROM runs")
    [ "$runs" = 0 ] || fail "a visit without a keystroke recorded $runs runs"
fi

# --- 2: Alt+S, then Esc ---
start_program "$folder" run
keys=$(open_entry keys "$wid")
wait_focus "$keys"
sleep 0.5
import -window "$keys" "$work/before.png"
xdotool key alt+s
sleep 0.5
import -window "$keys" "$work/panel.png"
[ "$(pixels_apart "$work/before.png" "$work/panel.png")" -gt 1000 ] ||
    fail "Alt+S did not open the settings panel"
xdotool key Escape
sleep 0.5
import -window "$keys" "$work/after.png"
# The input box's caret may blink between two screenshots, and nothing else may change.
apart=$(pixels_apart "$work/before.png" "$work/after.png")
[ "$apart" -lt 60 ] || fail "after Alt+S and Esc, $apart pixels differ from before"

# --- 3: a lesson to its end ---
xdotool type --delay 800 "fjdk slfj"
xdotool key g # where a space is due
xdotool type --delay 800 " dksl fjdk sldkfjdk sl"
prompt=$(find_window "^Prompt$") || fail "the lesson-end prompt did not appear"
results=$(box_text "$prompt")
xdotool key Escape # Cancel: the lesson starts again
sleep 0.3
shown=$(shown_figures "$results")
[ "$(stored_figures keys)" = "$shown" ] ||
    fail "Keys practice showed [$shown] (time|speed|accuracy|keys|wrong), history.db holds [$(stored_figures keys)]"
[ "${shown##*|}" = 1 ] || fail "the wrong key was not counted: [$shown]"

# --- 4: a timed game to its result ---
game=$(open_entry game "$keys")
wait_focus "$game"
xdotool key F2
find_window "^Typing game: Key exercises" >/dev/null || fail "F2 did not start a game"
prompt=
for _ in $(seq 40); do
    xdotool type --delay 60 "asdfghjkl"
    prompt=$(find_window "^Prompt$" "" 1) && break
done
[ -n "$prompt" ] || prompt=$(find_window "^Prompt$") || fail "no result box after the time limit"
results=$(box_text "$prompt")
xdotool key Return
told=$(grep -oP 'Your typing speed is: \K[0-9]+' <<<"$results") || fail "no speed told in [$results]"
shown=$(shown_figures "$results")
[ "$(stored_figures game)" = "$shown" ] ||
    fail "the game showed [$shown] (time|speed|accuracy|keys|wrong), history.db holds [$(stored_figures game)]"
speed=$(cut -d'|' -f2 <<<"$shown")
[ "$told" = "$speed" ] || fail "the game told a speed of $told, its results $speed"

python3 "$here/close_window.py" "$game"
wait_exit "$pid" || fail "closing the window did not end the program"
runs=$(history "SELECT group_concat(mode) FROM runs ORDER BY id")
[ "$runs" = "keys,game" ] || fail "history.db holds the runs [$runs], expected keys and game"
echo "keys: $(stored_figures keys), game: $(stored_figures game) (time|speed|accuracy|keys|wrong)"
echo "results end-to-end: all passed"
