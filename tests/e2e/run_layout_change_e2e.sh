#!/usr/bin/env bash
# The keyboard followed while the program runs, under Xvfb. Keys practice is open in US, then:
#  - setxkbmap de: within a second of it the Keys keyboard is German and lesson 1 has started
#    again at the German home row, with a note that the keyboard changed; 1-de/ is built;
#  - setxkbmap -layout de,us, then a group switch as a desktop's layout switcher makes it
#    (XkbLockGroup; xdotool's ISO_Next_Group puts the group back after its key): the keyboard
#    follows the group to US within a second, and back to German with the next switch.
# The run typed before the change is kept in the history.
# Usage: run_layout_change_e2e.sh PROGRAM_DIR ARTICLE_HOST
set -euo pipefail
program_dir=$1
host=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e
host_pid=
trap 'kill $host_pid 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT

setxkbmap us
copy_program "$program_dir"
rm -f "$folder/history.db"*
printf '1000\r\n' > "$folder/sz0.txt"
# Keys practice, printing a line each time its keyboard changes: the time, the home row's
# caps, the line due and the note.
"$host" "$folder" keys-follow >"$work/follow" 2>"$work/stderr-host" &
host_pid=$!

# Waits for the next line of the host after the first `seen` ones and prints it.
next_line() { # lines seen
    local line
    for _ in $(seq "${E2E_WAIT:-300}"); do
        line=$(grep '^follow ' "$work/follow" | sed -n "$(($1 + 1))p")
        [ -n "$line" ] && { echo "$line"; return 0; }
        kill -0 "$host_pid" 2>/dev/null || fail "the program ended"
        sleep 0.05
    done
    fail "the keyboard did not change; the program printed: $(cat "$work/follow")"
}
field() { echo "$1" | cut -f"$2"; }
lock_group() { # group, counted from 0
    python3 -c 'import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XkbLockGroup.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
locked = display and x.XkbLockGroup(display, 0x100, int(sys.argv[1]))  # the core keyboard
if display:
    x.XCloseDisplay(display)
sys.exit(0 if locked else 1)' "$1" || fail "the group could not be switched"
}
now_ms() { date +%s%3N; }
# Checks the line: the keyboard's home row, the line due, and how long after `since` it came.
expect_follow() { # line, home row caps, line due, since (ms), what
    [ "$(field "$1" 2)" = "$2" ] || fail "$5: the keyboard shows [$(field "$1" 2)], not [$2]"
    [ "$(field "$1" 3)" = "$3" ] || fail "$5: the line due is [$(field "$1" 3)], not [$3]"
    local after=$(($(field "$1" 1 | cut -d' ' -f2) - $4))
    echo "$5: followed $after ms after the change"
    [ "$after" -lt 1000 ] || fail "$5: the keyboard followed only after $after ms"
}

first=$(next_line 0)
[ "$(field "$first" 2)" = "A S D F J K L ;" ] || fail "the keyboard began as [$(field "$first" 2)]"
# A few keys of the lesson, so that there is a run to keep.
keys=$(find_window "Keys practice") || fail "Keys practice did not open"
wait_focus "$keys"
xdotool type --delay 80 "asdf jkl;"

setxkbmap de
since=$(now_ms)
line=$(next_line 1)
expect_follow "$line" "A S D F J K L Ö" "asdf jklö" "$since" "setxkbmap de"
field "$line" 4 | grep -q "The keyboard is German now" ||
    fail "no note says the keyboard changed: [$(field "$line" 4)]"
[ -s "$folder/1-de/0.txt" ] || fail "the German lessons were not built"

# Two groups: German first. The names change, the group in use does not.
setxkbmap -layout de,us
sleep 0.5
seen=$(grep -c '^follow ' "$work/follow")
lock_group 1
since=$(now_ms)
expect_follow "$(next_line "$seen")" "A S D F J K L ;" "asdf jkl;" "$since" "the group switched to us"
lock_group 0
since=$(now_ms)
expect_follow "$(next_line $((seen + 1)))" "A S D F J K L Ö" "asdf jklö" "$since" \
    "the group switched back to de"

kill "$host_pid"
wait_exit "$host_pid" || fail "the program did not end"
host_pid=
# The keys typed in US before the change were counted.
counted=$(history "SELECT total(expected) FROM key_counts")
[ "${counted%.*}" -ge 9 ] || fail "the keys typed before the change were lost: [$counted]"
echo "layout change end-to-end: all passed"
