#!/usr/bin/env bash
# The practice history, end to end, in a fresh copy of the program folder under Xvfb:
#  1. words are typed in Word practice for more than ten active seconds, the window closed:
#     history.db holds one Word practice run with its keystrokes and the keys' counts;
#  2. the program is started again and its "Progress" entry clicked: the Progress window
#     opens over the practice window and shows that run.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e

copy_program "$program_dir"
rm -f "$folder/history.db"*
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"

# --- 1: fourteen seconds of words, then close ---
start_program "$folder" 1 "Common words 1"
wait_focus "$wid"
start=$SECONDS
line=2
while [ $((SECONDS - start)) -lt 14 ]; do
    word=$(sed -n "${line}p" "$folder/2/Lesson 1.txt" | tr -d '\r')
    [ -n "$word" ] || { line=2; continue; }
    xdotool type --delay 90 "$word"
    xdotool key space
    line=$((line + 1))
done
sleep 1.2 # the last counted second
python3 "$here/close_window.py" "$wid"
wait_exit "$pid" || fail "the program did not end when its window was closed"
[ -f "$folder/history.db" ] || fail "no history.db was written"
runs=$(history "SELECT count(*) FROM runs WHERE mode = 'words' AND item LIKE '%Common words 1%'")
[ "$runs" = 1 ] || fail "expected one Word practice run, found $runs"
active=$(history "SELECT active_seconds FROM runs")
[ "$active" -ge 10 ] || fail "the run holds $active active seconds"
keys=$(history "SELECT keystrokes, wrong FROM runs")
[ "${keys%|*}" -gt 20 ] && [ "${keys#*|}" = 0 ] || fail "the run holds keystrokes|wrong $keys"
counted=$(history "SELECT sum(expected) FROM key_counts")
[ "$counted" = "${keys%|*}" ] || fail "key counts $counted differ from the run's $keys"

# --- 2: started again, the Progress entry opens the window over Word practice ---
start_program "$folder" 2 "Common words 1"
progress=$(open_entry progress "$wid")
kill -0 "$pid" || fail "opening Progress ended the program"
python3 "$here/close_window.py" "$progress"
sleep 0.3
kill -0 "$pid" || fail "closing Progress ended the program"
python3 "$here/close_window.py" "$wid"
wait_exit "$pid" || fail "the program did not end when its window was closed"
runs=$(history "SELECT count(*) FROM runs")
[ "$runs" = 1 ] || fail "a look at the history changed it: $runs runs"
echo "progress end-to-end: all passed"
