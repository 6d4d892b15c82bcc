#!/usr/bin/env bash
# Under a window manager (openbox), moving between the practice windows opens each new window
# exactly where the old one was: Word -> Keys -> Article -> Word.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
E2E_WAIT=200
source "$here/common.sh"
begin_e2e 1280x1024
pid= wm_pid=
trap 'kill $pid $wm_pid 2>/dev/null; sleep 0.3; kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!

place() { xdotool getwindowgeometry "$1" | sed -n 's/ *Position: \([0-9]*,[0-9]*\).*/\1/p'; }
# Waits for the window manager to settle the window, then reports its place.
settled_place() {
    local last= now
    for _ in $(seq 30); do
        now=$(place "$1")
        [ -n "$now" ] && [ "$now" = "$last" ] && { echo "$now"; return 0; }
        last=$now
        sleep 0.1
    done
    echo "$last"
}

folder="$work/zephkin"
cp -r "$program_dir" "$folder"
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"
"$folder/zephkin" 2>"$work/stderr" &
pid=$!
wid=$(find_window "Common words 1") || fail "the Word practice window did not open"
first=$(settled_place "$wid")
# A place away from where a window manager would put a new window on its own.
xdotool windowmove "$wid" 237 151
sleep 0.5
first=$(settled_place "$wid")
echo "Word practice at $first"

# The navigation entries: Keys, Article and Word practice (their places in the 800 x 600 window).
step() { # entry x, title of the target, previous window
    sleep 0.5
    xdotool mousemove --window "$3" "$1" 39 click 1
    local next
    # On a loaded machine the first click can come before the window takes clicks.
    next=$(find_window "$2" "$3" 50) ||
        { xdotool mousemove --window "$3" "$1" 39 click 1; next=$(find_window "$2" "$3"); } ||
        fail "$2 did not open"
    local at
    at=$(settled_place "$next")
    echo "$2 at $at" >&2
    [ "$at" = "$first" ] || fail "$2 opened at $at, not at $first"
    echo "$next"
}
keys=$(step 228 "Keys practice" "$wid" | tail -n1)
article=$(step 456 "Article practice" "$keys" | tail -n1)
word=$(step 338 "Common words 1" "$article" | tail -n1)
kill -0 "$pid" || fail "the program ended on the way"
echo "window place: all passed"
