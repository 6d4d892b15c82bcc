#!/usr/bin/env bash
# Under a window manager (openbox), moving between the practice modes keeps the program's one
# window, in its place and at its size: Word -> Keys -> Article -> game -> Word.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
E2E_WAIT=300
source "$here/common.sh"
begin_e2e 1280x1024
pid= wm_pid=
trap 'kill $pid $wm_pid 2>/dev/null; sleep 0.3; stop_xvfb; rm -rf "$work"' EXIT
start_wm

geometry() { xdotool getwindowgeometry "$1" | sed -n 's/ *\(Position\|Geometry\): \([0-9x,]*\).*/\2/p' | paste -sd' '; }
# Waits for the window manager to settle the window, then reports its place and size.
settled_geometry() {
    local last= now
    for _ in $(seq 30); do
        now=$(geometry "$1")
        [ -n "$now" ] && [ "$now" = "$last" ] && { echo "$now"; return 0; }
        last=$now
        sleep 0.1
    done
    echo "$last"
}

copy_program "$program_dir"
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"
start_program "$folder" place "Common words 1"
before=$(settled_geometry "$wid")
# A place away from where a window manager would put a new window on its own.
xdotool windowmove "$wid" 237 151
for _ in $(seq "$E2E_WAIT"); do
    [ "$(geometry "$wid")" != "$before" ] && break
    sleep 0.1
done
first=$(settled_geometry "$wid")
echo "Word practice at $first"

for entry in keys article game words; do
    # open_entry checks that the page opened in this window.
    open_entry "$entry" "$wid" >/dev/null
    at=$(geometry "$wid")
    echo "$entry at $at"
    [ "$at" = "$first" ] || fail "the window moved or changed its size for $entry: $at, not $first"
done
[ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" = 1 ] ||
    fail "the program shows more than one window"
kill -0 "$pid" || fail "the program ended on the way"
echo "window place: all passed"
