#!/usr/bin/env bash
# Article practice in a real X window: the window opens on the article saved in sz2.txt, the
# first line is typed with one mistake left in and one taken back with Backspace, the window
# is closed; sz2.txt and new.txt then hold their bytes, and the page showed blue and red ink.
set -euo pipefail
program_dir=$1
fixtures=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    display=$(head -n1 "$work/displayfd" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
done
export DISPLAY=":$display"
unset QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }
find_window() { # title pattern
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$wid" ] && { echo "$wid"; return 0; }
        sleep 0.1
    done
    return 1
}
wait_exit() { # pid
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$1" 2>/dev/null || true
    return 1
}
pixels() { # image, colour: how many pixels of that colour
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:int(mean*w*h)]' info:
}

folder="$work/zephkin"
cp -r "$program_dir" "$folder"
cp "$fixtures/text/river.txt" "$folder/text/river.txt"
printf '0river\r\n' > "$folder/sz2.txt"

"$folder/zephkin" 2>"$work/stderr" &
pid=$!
wid=$(find_window "Common words|Word practice") || fail "the program did not open"
sleep 0.3
# The "Article practice" entry of the navigation bar.
xdotool mousemove --window "$wid" 456 39 click 1
wid=$(find_window "Article practice --- river") || fail "the Article window did not open on sz2.txt's article"
sleep 0.3
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool type --delay 30 "Rivers carve valleys slowlx, grain by "   # "x" for "y": a mistake
xdotool type --delay 30 "q"
xdotool key BackSpace                                                 # taken back
xdotool type --delay 30 "grain, over many thousan"
sleep 0.4
import -window root "$work/page.png"
[ "$(pixels "$work/page.png" 'rgb(0,0,255)')" -gt 100 ] || fail "no blue keystrokes on the page"
[ "$(pixels "$work/page.png" 'rgb(255,0,0)')" -gt 10 ] || fail "no red keystroke on the page"
python3 "$here/close_window.py" "$wid"
wait_exit "$pid" || fail "the program did not end when the Article window was closed"

printf '0river\r\n' > "$work/sz2.want"
cmp "$folder/sz2.txt" "$work/sz2.want" || fail "sz2.txt: $(od -c "$folder/sz2.txt")"
python3 - "$fixtures/text/river.txt" "$work/new.want" <<'PY'
import sys
text = open(sys.argv[1], 'rb').read().replace(b'\r\n', b'')
open(sys.argv[2], 'wb').write(text + b'\xa1\xa1' * 96 + b'\r\n')
PY
cmp "$folder/new.txt" "$work/new.want" || fail "new.txt differs from the joined article"
echo "article end-to-end: all passed"
