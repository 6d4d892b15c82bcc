#!/usr/bin/env bash
# The learner's keyboard layout, end to end under Xvfb. For German, French, Dvorak and Colemak,
# as setxkbmap sets them, each in a fresh copy of the program folder:
#  - the Keys practice keyboard draws that layout's caps (read from what the window drew);
#  - the lessons are built for it beside the state files, and lesson 1's first line is its
#    home row;
#  - the whole of lesson 1, typed with xdotool in that layout, reaches the lesson end with
#    every keystroke right (the run the history keeps: no wrong keystroke, 100 %), and the keys
#    it counts are the keys struck (the home row's right little finger key, whatever it types).
# Then for US: the shipped lessons, no file of a layout, sz0.txt as ever, and the keyboard
# pictures byte for byte those of a start that reads no layout at all.
# Usage: run_layouts_e2e.sh PROGRAM_DIR ARTICLE_HOST
set -euo pipefail
program_dir=$1
host=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e
start_wm
trap 'kill $wm_pid 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT

# A fresh copy of the program folder, Keys practice on lesson 1 with its tips and no sound.
fresh_folder() { # tag
    local folder="$work/$1"
    cp -r "$program_dir" "$folder"
    rm -f "$folder/history.db"*
    printf '1000\r\n' > "$folder/sz0.txt"
    echo "$folder"
}

# The caps the Keys keyboard drew, as "index label" lines, in the program as it starts.
drawn_caps() { # folder
    "$host" "$1" keys-caps 2>"$work/stderr-host" | sed -n 's/^\([0-9]*\)\t\([^\t]*\)\t.*/\1 \2/p'
}

# Types lesson 1 of `lessons` in the program of `folder` and answers Cancel at its end.
type_lesson_one() { # folder, lesson file, tag
    start_program "$1" "$3"
    local keys
    keys=$(open_entry keys "$wid")
    wait_focus "$keys"
    local line delay
    # The history keeps runs of ten active seconds or more: the lesson is typed in about 13
    # (xdotool waits half the delay after a key's press and half after its release).
    delay=$((26000 / $(tail -n +2 "$2" | tr -d '\r\n' | wc -m)))
    # Line 0 is the heading; the practice lines follow, each finished by its last character.
    tail -n +2 "$2" | tr -d '\r' | while IFS= read -r line; do
        xdotool type --delay "$delay" -- "$line"
    done
    local prompt
    prompt=$(find_window "^Prompt$") || fail "$3: typing lesson 1 did not reach its end"
    wait_focus "$prompt"
    xdotool key Escape # Cancel: the lesson starts again
    python3 "$here/close_window.py" "$keys"
    wait_exit "$pid" || fail "$3: closing the window did not end the program"
}

check_run() { # tag (of the copy in $folder)
    local run
    run=$(history "SELECT keystrokes, wrong, accuracy FROM runs WHERE mode = 'keys'")
    [[ "$run" =~ ^([0-9]+)\|0\|100$ ]] && [ "${BASH_REMATCH[1]}" -ge 100 ] ||
        fail "$1: lesson 1 was kept as [keystrokes|wrong|accuracy] = [$run]"
}

# setxkbmap arguments | file name | home-row caps from left little finger to right little finger |
# lesson 1's first line
layouts=(
    "de||de||A S D F J K L Ö||asdf jklö"
    "fr||fr||Q S D F J K L M||qsdf jklm"
    "us -variant dvorak||us-dvorak||A O E U H T N S||aoeu htns"
    "us -variant colemak||us-colemak||A R S T N E I O||arst neio"
)
home_keys="65 83 68 70 74 75 76 186"
for entry in "${layouts[@]}"; do
    xkb_args=${entry%%||*}
    rest=${entry#*||}
    name=${rest%%||*}
    rest=${rest#*||}
    caps=${rest%%||*}
    first=${rest#*||}
    # shellcheck disable=SC2086 # the layout and its variant are words of their own
    setxkbmap $xkb_args
    folder=$(fresh_folder "$name")

    drawn=$(drawn_caps "$folder")
    got=$(for code in $home_keys; do echo "$drawn" | awk -v c="$code" '$1 == c { print $2 }'; done |
        paste -sd' ')
    [ "$got" = "$caps" ] || fail "$name: the keyboard drew the home row [$got], not [$caps]"
    [ "$(echo "$drawn" | wc -l)" -eq 56 ] || fail "$name: the keyboard drew $(echo "$drawn" | wc -l) caps"

    lessons="$folder/1-$name"
    for i in $(seq 0 15); do
        [ -s "$lessons/$i.txt" ] || fail "$name: lesson $i was not built in $lessons"
    done
    line=$(sed -n 2p "$lessons/0.txt" | tr -d '\r')
    [ "$line" = "$first" ] || fail "$name: lesson 1 begins [$line], not its home row [$first]"
    [ -f "$folder/test5-$name.bmp" ] || fail "$name: the keyboard picture is not kept as test5-$name.bmp"

    type_lesson_one "$folder" "$lessons/0.txt" "$name"
    check_run "$name"
    # The right little finger's home key (186) was counted, whatever it types in the layout.
    counted=$(history "SELECT expected, wrong FROM key_counts WHERE code = 186")
    [[ "$counted" =~ ^[1-9][0-9]*\|0$ ]] || fail "$name: key 186 counted [$counted]"
    expect_bytes "$folder/sz0.txt" '1000\r\n'
    echo "layout $name: keyboard, lessons and lesson 1 typed: passed"
done

# --- US: everything as it was ---
setxkbmap us
folder=$(fresh_folder us)
drawn=$(drawn_caps "$folder")
got=$(for code in $home_keys; do echo "$drawn" | awk -v c="$code" '$1 == c { print $2 }'; done |
    paste -sd' ')
[ "$got" = "A S D F J K L ;" ] || fail "us: the keyboard drew the home row [$got]"
type_lesson_one "$folder" "$folder/1/0.txt" us
check_run us
expect_bytes "$folder/sz0.txt" '1000\r\n'
extra=$(cd "$folder" && ls -d layout.txt keyboard.txt 1-* test*-*.bmp 2>/dev/null || true)
[ -z "$extra" ] || fail "us: files of a layout were written: $extra"
cmp -s "$program_dir/1/0.txt" "$folder/1/0.txt" || fail "us: the shipped lesson 1 changed"

# The same pictures from a start that reads no layout: the X server's names taken away.
plain=$(fresh_folder plain)
xprop -root -remove _XKB_RULES_NAMES
"$host" "$plain" keys-caps >/dev/null 2>"$work/stderr-plain"
for n in 2 3 4 5 6; do
    [ -s "$plain/test$n.bmp" ] || fail "no test$n.bmp was written without a layout"
    cmp -s "$plain/test$n.bmp" "$folder/test$n.bmp" ||
        fail "us: test$n.bmp differs from the picture drawn without a layout"
done
echo "layout us: shipped lessons, state files and pictures as without layouts: passed"
echo "layouts end-to-end: all passed"
