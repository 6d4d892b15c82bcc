#!/usr/bin/env bash
# The learner's layout natively on Wayland, under a private headless sway whose one keyboard is
# a virtual keyboard with a real layout's keymap (compiled from xkeyboard-config, as a desktop's
# own is: not wtype's keymap of made-up keys). For German, then Dvorak, in a fresh copy of the
# program folder and the automatic layout:
#  - the Keys practice keyboard draws that layout's home row;
#  - its lessons are built (1-de/), and lesson 1 begins with its home row ("asdf jklö");
#  - lesson 1, typed with that keyboard's own key codes, reaches the lesson end, and the history
#    keeps the run with no wrong keystroke.
# Where the compositor cannot start, it says so in one line and passes.
# Usage: run_wayland_layouts_e2e.sh PROGRAM_DIR VIRTUAL_KEYBOARD ARTICLE_HOST
set -euo pipefail
program_dir=$1
virtual_keyboard=$2
host=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
source "$here/wayland.sh"

missing=$(wayland_missing)
[ -z "$missing" ] || { echo "wayland layouts end-to-end: not run, $missing"; exit 0; }
work=$(mktemp -d)
chmod 755 "$work"
pid= sway_pid= VK_PID= host_pid=
trap 'kill $pid $host_pid $VK_PID 2>/dev/null || true; stop_sway; rm -rf "$work"' EXIT
start_sway "$work" || { echo "wayland layouts end-to-end: not run, sway does not start here"; exit 0; }

# The virtual keyboard, answering each command with "ok" once the compositor has it.
start_keyboard() { # layout
    coproc VK { "${as_wl_user[@]}" "$virtual_keyboard" "$1" 2>"$work/stderr-keyboard"; }
    keyboard_says || fail "the virtual keyboard did not start: $(cat "$work/stderr-keyboard")"
}
keyboard_says() {
    local reply
    IFS= read -r -t 60 -u "${VK[0]}" reply || return 1
    [ "$reply" = ok ] || { echo "virtual keyboard: $reply" >&2; return 1; }
}
vk() { # command
    echo "$*" >&"${VK[1]}"
    keyboard_says || fail "the virtual keyboard could not: $*"
}
stop_keyboard() {
    exec {VK[1]}>&-
    wait "$VK_PID" 2>/dev/null || true
    VK_PID=
}

# Waits until the program's one window has a title that matches; prints its line.
wait_title() { # title pattern
    local line
    for _ in $(seq "${E2E_WAIT:-300}"); do
        line=$(wl_windows "$pid" | grep -E "$1" | head -n1 || true)
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.1
    done
    fail "no window titled $1; the compositor shows: $(wl_windows "$pid")"
}

# xkeyboard-config's name | file name | the home row's caps | lesson 1's first line
layouts=(
    "de||de||A S D F J K L Ö||asdf jklö"
    "us(dvorak)||us-dvorak||A O E U H T N S||aoeu htns"
)
for entry in "${layouts[@]}"; do
    xkb=${entry%%||*}
    rest=${entry#*||}
    name=${rest%%||*}
    rest=${rest#*||}
    caps=${rest%%||*}
    first=${rest#*||}
    start_keyboard "$xkb"

    folder="$work/$name"
    cp -r "$program_dir" "$folder"
    rm -f "$folder/history.db"*
    printf '1000\r\n' > "$folder/sz0.txt"
    give_to_wl_user "$folder"

    # The home row of the Keys keyboard, in the program as it starts on Wayland: at once, or
    # as soon as the compositor's keymap comes (a first start does not wait for it).
    "${as_wl_user[@]}" QT_QPA_PLATFORM=wayland "$host" "$folder" keys-follow \
        >"$work/follow-$name" 2>"$work/stderr-host" &
    host_pid=$!
    got=
    for _ in $(seq "${E2E_WAIT:-300}"); do
        got=$(grep '^follow ' "$work/follow-$name" 2>/dev/null | tail -n1 | cut -f2 || true)
        [ "$got" = "$caps" ] && break
        sleep 0.1
    done
    kill "$host_pid"
    wait_exit "$host_pid" || fail "$name: the program did not end"
    host_pid=
    [ "$got" = "$caps" ] || fail "$name: the keyboard shows the home row [$got], not [$caps]"

    lessons="$folder/1-$name"
    for i in $(seq 0 15); do
        [ -s "$lessons/$i.txt" ] || fail "$name: lesson $i was not built in $lessons"
    done
    line=$(sed -n 2p "$lessons/0.txt" | sed 's/^\xEF\xBB\xBF//' | tr -d '\r')
    [ "$line" = "$first" ] || fail "$name: lesson 1 begins [$line], not its home row [$first]"

    # Lesson 1 typed in the program with the virtual keyboard, key by key.
    "${as_wl_user[@]}" QT_QPA_PLATFORM=wayland "$folder/zephkin" 2>"$work/stderr-$name" &
    pid=$!
    wait_title "Common words|Word practice" >/dev/null
    sleep 0.3
    vk key ctrl+1
    window=$(wait_title "Keys practice")
    sleep 0.3
    # The history keeps runs of ten active seconds or more: the lesson is typed in about 13.
    vk delay $((13000 / $(tail -n +2 "$lessons/0.txt" | tr -d '\r\n' | wc -m)))
    while IFS= read -r text; do
        vk type "$text"
    done < <(tail -n +2 "$lessons/0.txt" | tr -d '\r')
    vk delay 0
    wait_title "^[0-9]+ [^ ]+ [^ ]+ Prompt$" >/dev/null ||
        fail "$name: typing lesson 1 did not reach its end"
    vk key Escape # Cancel: the lesson starts again
    sleep 0.3
    "${as_wl_user[@]}" swaymsg "[con_id=${window%% *}] kill" >/dev/null
    wait_exit "$pid" || fail "$name: closing the window did not end the program"
    pid=
    stop_keyboard

    run=$(history "SELECT keystrokes, wrong, accuracy FROM runs WHERE mode = 'keys'")
    [[ "$run" =~ ^([0-9]+)\|0\|100$ ]] && [ "${BASH_REMATCH[1]}" -ge 100 ] ||
        fail "$name: lesson 1 was kept as [keystrokes|wrong|accuracy] = [$run]"
    echo "wayland layout $name: keyboard, lessons and lesson 1 typed with its key codes: passed"
done
echo "wayland layouts end-to-end: all passed"
