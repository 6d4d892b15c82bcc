#!/usr/bin/env bash
# Installs the program into a temporary prefix, makes the prefix read-only, and runs the
# installed launcher as an ordinary user with a fresh home folder under Xvfb:
#  1. the first word is typed and the window closed: the place is written in the user's
#     data folder, seeded from the defaults shipped in the program folder;
#  2. a second start reads the place from there and moves on from it;
#  3. another user of the same copy starts from the shipped default;
# and nothing under the prefix has changed.
set -euo pipefail
build_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid=
cleanup() {
    stop_xvfb
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

E2E_WAIT=300
source "$here/common.sh"

prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
chmod -R a-w "$prefix"
snapshot() {
    (cd "$prefix" && find . -printf '%p %y %m %s %T@ %l\n' | sort &&
        find . -type f -exec md5sum {} + | sort)
}
before=$(snapshot)
program="$prefix/lib/zephkin"
first_word=$(sed -n 2p "$program/2/Lesson 1.txt" | tr -d '\r')
second_word=$(sed -n 3p "$program/2/Lesson 1.txt" | tr -d '\r')

# Root may write anywhere, so the program runs as an unprivileged user when the test is root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
make_home() { # name: a home folder and a runtime folder the user owns
    mkdir -p "$work/$1/home" "$work/$1/run"
    chmod 700 "$work/$1/run"
    [ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup "$work/$1"
}
start() { # name: starts the launcher in the background for that user
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/$1/home" DISPLAY="$DISPLAY" \
        XDG_RUNTIME_DIR="$work/$1/run" "$prefix/bin/zephkin" 2>>"$work/stderr" &
    pid=$!
}
type_word_and_close() { # word
    local wid
    wid=$(find_window "Common words 1") ||
        fail "the Word practice window did not open; the program said: $(cat "$work/stderr")"
    if [ -n "$1" ]; then
        wait_focus "$wid"
        xdotool type --delay 40 "$1"
        xdotool key space
        sleep 0.5
    fi
    python3 "$here/close_window.py" "$wid"
    wait_exit "$pid" || fail "the program did not end when its window was closed"
}

start_xvfb "$work"

# --- 1: first start, one word typed ---
make_home learner
data_a="$work/learner/home/.local/share/Zephkin"
start learner
type_word_and_close "$first_word"
expect_bytes "$data_a/sz1.txt" '1100002Lesson 1\r\n'
expect_bytes "$data_a/face.txt" 'pixos.urf\r\n'
expect_bytes "$data_a/sz1-yj.txt" 'Lesson 1\r\n'

# --- 2: the place is read back from the data folder ---
start learner
type_word_and_close "$second_word"
expect_bytes "$data_a/sz1.txt" '1100003Lesson 1\r\n'

# --- 3: another user keeps a place of their own ---
make_home other
start other
type_word_and_close ""
expect_bytes "$work/other/home/.local/share/Zephkin/sz1.txt" '1100001Lesson 1\r\n'

[ "$before" = "$(snapshot)" ] || fail "the installed files changed"
echo "installed program: all passed"
