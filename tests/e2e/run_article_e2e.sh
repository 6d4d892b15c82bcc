#!/usr/bin/env bash
# Article practice in a real X window: the window opens on the article saved in sz2.txt, the
# first line is typed with one mistake left in and one taken back with Backspace, the window
# is closed; sz2.txt and new.txt then hold their bytes, and the page showed blue and red ink.
set -euo pipefail
program_dir=$1
fixtures=$2
here=$(cd "$(dirname "$0")" && pwd)

source "$here/common.sh"
begin_e2e

pixels() { # image, colour: how many pixels of that colour
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:int(mean*w*h)]' info:
}

copy_program "$program_dir"
cp "$fixtures/text/river.txt" "$folder/text/river.txt"
printf '0river\r\n' > "$folder/sz2.txt"

start_program "$folder" article
wid=$(open_entry article "$wid")
xdotool getwindowname "$wid" | grep -q "Article practice --- river" ||
    fail "the Article window did not open on sz2.txt's article"
wait_focus "$wid"
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

expect_bytes "$folder/sz2.txt" '0river\r\n'
python3 - "$fixtures/text/river.txt" "$work/new.want" <<'PY'
import sys
text = open(sys.argv[1], 'rb').read().replace(b'\r\n', b'')
open(sys.argv[2], 'wb').write(text + b'\xa1\xa1' * 96 + b'\r\n')
PY
cmp "$folder/new.txt" "$work/new.want" || fail "new.txt differs from the joined article"
echo "article end-to-end: all passed"
