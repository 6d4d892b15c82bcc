#!/usr/bin/env bash
# The program natively on Wayland, under a private headless sway, driven with real key events
# (wtype's virtual keyboard):
#  1. Ctrl+1, Ctrl+3, Ctrl+4 and Ctrl+2 go through Keys, Article practice, the game and back
#     to Word practice: the compositor reports no window opened or closed on the way, only the
#     one window's title changing, and that window's place and size never change;
#  2. on the way, in Keys practice, Caps Lock lights the lamp on the keyboard;
#  3. a word typed in Word practice, the mode reached last, is judged: when the window is
#     closed, sz1.txt holds the next word, and Keys practice wrote sz0.txt as it was left.
# Where the compositor cannot start, it says so in one line and passes.
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
source "$here/wayland.sh"

missing=$(wayland_missing wtype grim)
[ -z "$missing" ] || { echo "wayland end-to-end: not run, $missing"; exit 0; }
work=$(mktemp -d)
pid= sway_pid= events= keyboard=
trap 'kill $events $pid $keyboard 2>/dev/null; stop_sway; rm -rf "$work"' EXIT
start_sway "$work" || { echo "wayland end-to-end: not run, sway does not start here"; exit 0; }
# A virtual keyboard that stays: each wtype brings one of its own, and were it the seat's only
# keyboard, the program would be given a new one each time and could miss the first keys.
"${as_wl_user[@]}" wtype -s 3600000 &
keyboard=$!

copy_program "$program_dir"
printf '1100001Lesson 1\r\n' > "$folder/sz1.txt"
printf '1100\r\n' > "$folder/sz0.txt"
first_word=$(sed -n 2p "$folder/2/Lesson 1.txt" | tr -d '\r')
give_to_wl_user "$folder"

"${as_wl_user[@]}" QT_QPA_PLATFORM=wayland "$folder/zephkin" 2>"$work/stderr-wayland" &
pid=$!
# Waits until the program's one window has a title that matches; prints its line.
wait_title() { # title pattern
    local line
    for _ in $(seq "${E2E_WAIT:-300}"); do
        line=$(wl_windows "$pid")
        if [ "$(echo "$line" | wc -l)" = 1 ] && echo "$line" | cut -d' ' -f4- | grep -Eq "$1"; then
            echo "$line"
            return 0
        fi
        sleep 0.1
    done
    fail "no window titled $1; the compositor shows: $(wl_windows "$pid")"
}
key() { "${as_wl_user[@]}" wtype "$@"; }
first=$(wait_title "Common words 1")
place=$(echo "$first" | cut -d' ' -f1-3) # id, place and size
read -r x y _ <<<"$(echo "$place" | cut -d' ' -f2 | tr ',' ' ')"
echo "Word practice: window $place"

# Every change to a window that the compositor makes known, from here on.
"${as_wl_user[@]}" swaymsg -m -r -t subscribe '["window"]' >"$work/events" &
events=$!
sleep 0.3

for entry in keys article game words; do
    key -M ctrl "${entry_key[$entry]#ctrl+}" -m ctrl
    now=$(wait_title "${entry_title[$entry]}")
    echo "$entry: window $(echo "$now" | cut -d' ' -f1-3)"
    [ "$(echo "$now" | cut -d' ' -f1-3)" = "$place" ] || fail "$entry moved the window: $now"
    if [ "$entry" = keys ]; then
        # Caps Lock goes down and up, and the virtual keyboard holds the lock while the
        # lamp is looked at.
        key -k Caps_Lock -s 4000 &
        caps=$!
        lamp_lit=
        for _ in $(seq 30); do
            sleep 0.1
            # The Caps Lock key of the keyboard: its lit lamp is the one bright green there.
            "${as_wl_user[@]}" grim -g "$((x + 54)),$((y + 408)) 76x40" - >"$work/caps.png" ||
                continue
            lamp=$(convert "$work/caps.png" -fx 'g-max(r,b)>0.45' -format '%[fx:int(mean*w*h)]' info:)
            [ "$lamp" -gt 5 ] && { lamp_lit=1; break; }
        done
        wait "$caps"
        [ -n "$lamp_lit" ] || fail "the Caps Lock lamp did not light"
        echo "keys: the Caps Lock lamp lit"
    fi
done
sleep 0.3
kill "$events"
events=
python3 - "$work/events" "${place%% *}" <<'PY' || fail "the switches changed more than the title"
import json, sys
window = int(sys.argv[2])
seen = [json.loads(line) for line in open(sys.argv[1]) if line.strip()]
changes = [(e["change"], e["container"]["id"], e["container"].get("name")) for e in seen]
print("the compositor saw:", "; ".join("%s %s %s" % c for c in changes))
titles = [name for change, _, name in changes if change == "title"]
ok = all(change in ("title", "focus") and id == window for change, id, _ in changes)
sys.exit(0 if ok and len(titles) >= 4 else 1)
PY

# Word practice, reached last, judges a word typed there.
key "$first_word"
key -k space
sleep 0.5
"${as_wl_user[@]}" swaymsg "[con_id=${place%% *}] kill" >/dev/null
wait_exit "$pid" || fail "the program did not end when its window was closed"
pid=
expect_bytes "$folder/sz1.txt" '1100002Lesson 1\r\n'
expect_bytes "$folder/sz0.txt" '1100\r\n'
echo "wayland end-to-end: all passed"
