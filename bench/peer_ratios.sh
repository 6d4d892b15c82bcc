#!/usr/bin/env bash
# The program against TIPP10, a peer typing tutor with a falling-letters game, in one run on one
# Xvfb display, each measured in turn a few times; prints the ratios of the medians:
#  - processor time, all threads, over 10 s of a running game: ours with four items falling,
#    against TIPP10's ABC game from its start (goal <= 0.5);
#  - resident memory 3 s after the start, each with its first window (goal <= 0.8);
#  - and for scale, the floors: a bare Qt window moving one small item at the game's frame rate
#    (bench_frame_cost), and an empty Qt window showing one line of text (bench_empty --text).
# TIPP10 runs with a private HOME, its introduction switched off in its configuration file. When
# it is missing the script installs it (apt-get: tipp10 and the SQLite driver it opens its
# database with), or says why it compares nothing.
# Usage: peer_ratios.sh BUILD_DIR [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/common.sh"
on_session_bus "$0" "$@"
build=$(cd "$1" && pwd)
rounds=${2:-5}

if ! command -v tipp10 >/dev/null || ! dpkg-query -W -f='${Status}' libqt6sql6-sqlite 2>/dev/null |
    grep -q "install ok installed"; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo -n)
    echo "peer ratios: installing TIPP10 (tipp10 libqt6sql6-sqlite)"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
        tipp10 libqt6sql6-sqlite >/dev/null 2>&1 || true
fi
if ! command -v tipp10 >/dev/null; then
    echo "peer ratios: not run, TIPP10 is not installed and could not be installed" \
         "(apt-get install tipp10 libqt6sql6-sqlite)"
    exit 0
fi
for tool in xdotool Xvfb; do
    command -v $tool >/dev/null || { echo "peer ratios: not run, $tool is missing"; exit 0; }
done

work=$(mktemp -d)
xvfb_pid= pid=
trap 'kill $pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb "$work"

# TIPP10's own HOME: no introduction, the US layout and lessons it would pick anyway.
mkdir -p "$work/home/.config/TIPP10"
printf '[main]\ncheck_illustration=false\nlanguage_layout=us_qwerty_win\nlanguage_lesson=en_us_qwerty\n' \
    > "$work/home/.config/TIPP10/TIPP10.conf"

cpu_ms() { # processor time of every thread of a process so far
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%d", ns / 1e6 }'
}
window_of() { # the first window the process shows
    xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -1
}
wait_title() { # window, title prefix: waits for the caption (5 s at most)
    for _ in $(seq 100); do
        case "$(xdotool getwindowname "$1" 2>/dev/null)" in "$2"*) return 0 ;; esac
        sleep 0.05
    done
    return 1
}
stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}
fresh_program() {
    rm -rf "$work/zephkin"
    cp -r "$build/zephkin" "$work/zephkin"
    # Four items, no sounds, a time limit longer than the run.
    printf '3000,0,1,0,0,60,4,2\r\n' > "$work/zephkin/GameSet.txt"
}
# Ten seconds of processor time of the game that has just started in process $pid.
ten_seconds() {
    sleep 1
    local before
    before=$(cpu_ms "$pid")
    sleep 10
    echo $(($(cpu_ms "$pid") - before))
}

game_program() {
    fresh_program
    "$work/zephkin/zephkin" >/dev/null 2>&1 &
    pid=$!
    local w
    w=$(window_of $pid)
    xdotool windowfocus --sync "$w" key ctrl+4
    wait_title "$w" "Typing Zephkin"
    xdotool key F2
    wait_title "$w" "Typing game: "
    ten_seconds
    stop
}
game_tipp10() {
    HOME="$work/home" tipp10 >/dev/null 2>&1 &
    pid=$!
    local w
    w=$(window_of $pid)
    sleep 0.5
    # Go > ABC-Game, then the space bar starts it; a game lasts longer than the run.
    xdotool windowfocus --sync "$w" key alt+g
    sleep 0.3
    xdotool key Down Return
    sleep 0.5
    xdotool key space
    ten_seconds
    stop
}
memory() { # name, program and arguments: resident memory 3 s after the start
    local name=$1
    shift
    "$build/bench/bench_launch" "$@" 2>/dev/null | sed -n "s/.*rss3_mb=\([0-9.]*\).*/$name rss \1/p"
}

: > "$work/figures"
for round in $(seq 0 "$rounds"); do
    {
        echo "tipp10 game $(game_tipp10)"
        echo "program game $(game_program)"
        memory tipp10 /usr/bin/env HOME="$work/home" tipp10
        fresh_program
        memory program "$work/zephkin/zephkin"
        memory text "$build/bench/bench_empty" --text
        "$build/bench/bench_frame_cost" "$build/zephkin" 2>/dev/null |
            sed -n 's/^floor cpu_per_10s=\([0-9.]*\).*/floor game \1/p'
    } > "$work/round"
    # The first round only warms the caches and lays out TIPP10's database.
    [ "$round" -gt 0 ] && cat "$work/round" >> "$work/figures"
done

awk -v rounds="$rounds" "$(cat "$(dirname "$0")/median.awk")"'
{ key = $1 " " $2; figure[key, ++count[key]] = $3 }
END {
    printf "against TIPP10, medians of %d rounds in one sitting:\n", rounds
    printf "  game, processor time over 10 s: %.2fx TIPP10'"'"'s ABC game (goal <= 0.5)\n", \
           median("program game") / median("tipp10 game")
    printf "  (a bare Qt window moving one item at the game'"'"'s frame rate: %.2fx)\n", \
           median("floor game") / median("tipp10 game")
    printf "  memory 3 s after the start: %.2fx TIPP10 (goal <= 0.8)\n", \
           median("program rss") / median("tipp10 rss")
    printf "  (an empty Qt window showing one line of text: %.2fx)\n", \
           median("text rss") / median("tipp10 rss")
}' "$work/figures"
