#!/usr/bin/env bash
# The game's processor time natively on Wayland against the same run under X11, in one
# sitting: bench_frame_cost (the game with four items falling, and the floor, a bare window
# moving one small item every 16 ms, as the game's frames come) runs in turn under Xvfb, under
# a headless sway (the wlroots software renderer, which keeps the last buffer a window
# committed until the next one) and, where weston and Mesa are installed, under a headless
# weston with its GL renderer (which, like a desktop's compositor on a GPU, gives each buffer
# back once it has read it).
# Prints the medians and the ratios to X11.
# Usage: wayland_game.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/wayland.sh"

work=$(mktemp -d)
chmod 755 "$work" # the compositors and the runs may be another user
xvfb_pid= sway_pid= weston_pid=
trap 'kill $xvfb_pid $weston_pid 2>/dev/null; stop_sway; rm -rf "$work"' EXIT

missing=$(wayland_missing)
[ -z "$missing" ] || { echo "wayland game: not run, $missing"; exit 0; }
cp -r "$build/zephkin" "$work/zephkin"
cp "$build/bench/bench_frame_cost" "$work/"
give_to_wl_user "$work/zephkin" "$work/bench_frame_cost"

source "$(dirname "$0")/../tests/e2e/common.sh"
start_xvfb "$work"
# The X display is named only where the X11 run wants it, never to the compositors.
display=${DISPLAY#:}
unset DISPLAY

mkdir "$work/sway"
start_sway "$work/sway" || { echo "wayland game: not run, sway does not start here"; exit 0; }
sway_user=("${as_wl_user[@]}")

# Weston headless with its GL renderer on Mesa's software rasteriser, when it is there.
weston_user=()
if command -v weston >/dev/null; then
    mkdir -p "$work/weston/run"
    chmod 755 "$work/weston"
    chmod 700 "$work/weston/run"
    give_to_wl_user "$work/weston/run"
    weston_user=("${as_wl_user[@]/#XDG_RUNTIME_DIR=*/XDG_RUNTIME_DIR=$work/weston/run}")
    weston_user=("${weston_user[@]/#WAYLAND_DISPLAY=*/WAYLAND_DISPLAY=wayland-gl}")
    "${weston_user[@]}" weston --backend=headless-backend.so --use-gl --width=1024 \
        --height=768 --socket=wayland-gl --no-config >"$work/weston.log" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do
        [ -S "$work/weston/run/wayland-gl" ] && break
        sleep 0.1
    done
    grep -q "EGL" "$work/weston.log" && [ -S "$work/weston/run/wayland-gl" ] || weston_user=()
fi

run() { # name, then the command prefix that runs the bench on that window system
    local name=$1
    shift
    "$@" "$work/bench_frame_cost" "$work/zephkin" 2>/dev/null | sed "s/^/$name /" >>"$work/figures" ||
        echo "the run under $name failed" >&2
}
: >"$work/figures"
for _ in $(seq "$rounds"); do
    run x11 env DISPLAY=":$display" QT_QPA_PLATFORM=xcb
    run sway "${sway_user[@]}" QT_QPA_PLATFORM=wayland
    [ ${#weston_user[@]} -eq 0 ] || run weston "${weston_user[@]}" QT_QPA_PLATFORM=wayland
done
[ ${#weston_user[@]} -gt 0 ] ||
    echo "(weston with its GL renderer not run: apt-get install weston libgl1-mesa-dri)"

awk -v rounds="$rounds" "$(cat "$(dirname "$0")/median.awk")"'
{
    split($3, cpu, "="); split($4, frames, "=")
    key = $1 " " $2
    figure[key, ++count[key]] = cpu[2]
    figure[key " frames", ++count[key " frames"]] = frames[2]
    seen[$1] = 1
}
END {
    names["x11"] = "X11 (Xvfb)"
    names["sway"] = "Wayland, sway, software renderer"
    names["weston"] = "Wayland, weston, GL renderer"
    printf "processor time per 10 s, median of %d rounds in one sitting (frames drawn):\n", rounds
    fx = median("x11 floor"); gx = median("x11 game")
    for (i = 1; i <= 3; ++i) {
        p = i == 1 ? "x11" : i == 2 ? "sway" : "weston"
        if (!(p in seen)) continue
        f = median(p " floor"); g = median(p " game")
        printf "  %-34s floor %6.1f ms (%d frames, %.2fx X11)   game %6.1f ms (%d frames, %.2fx X11)\n",
               names[p], f, median(p " floor frames"), f / fx, g, median(p " game frames"), g / gx
    }
    print "  goal: the game on Wayland within 1.2x of X11"
}' "$work/figures"
