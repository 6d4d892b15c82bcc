#!/usr/bin/env bash
# Under a window manager (openbox), moving between the practice windows opens each new window
# exactly where the old one was: Word -> Keys -> Article -> Word.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
E2E_WAIT=300
source "$here/common.sh"
begin_e2e 1280x1024
pid= wm_pid=
trap 'kill $pid $wm_pid 2>/dev/null; sleep 0.3; kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
start_wm

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
start_program "$folder" place "Common words 1"
before=$(settled_place "$wid")
# A place away from where a window manager would put a new window on its own.
xdotool windowmove "$wid" 237 151
for _ in $(seq "$E2E_WAIT"); do
    [ "$(place "$wid")" != "$before" ] && break
    sleep 0.1
done
first=$(settled_place "$wid")
echo "Word practice at $first"

step() { # entry, previous window: opens the entry's window and checks its place
    local next at
    next=$(open_entry "$1" "$2")
    at=$(settled_place "$next")
    echo "$1 at $at" >&2
    [ "$at" = "$first" ] || fail "$1 opened at $at, not at $first"
    echo "$next"
}
keys=$(step keys "$wid")
article=$(step article "$keys")
step words "$article" >/dev/null
kill -0 "$pid" || fail "the program ended on the way"
echo "window place: all passed"
