#!/usr/bin/env bash
# The learner's keyboard read at start and followed while the program runs (bench_keyboard_follow),
# under Xvfb with setxkbmap de, then natively on Wayland under a headless sway whose keyboard
# is a virtual keyboard with the German keymap; and on Wayland the program's start to its first
# paint with the keymap there at once, against the same start without a keyboard.
# Usage: keyboard_follow.sh BUILD_DIR [STARTS]
set -euo pipefail
build=$(cd "$1" && pwd)
starts=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/common.sh"
source "$here/../tests/e2e/wayland.sh"

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid= sway_pid= VK_PID=
trap 'kill $VK_PID 2>/dev/null; stop_sway; stop_xvfb; rm -rf "$work"' EXIT
cp -r "$build/zephkin" "$work/zephkin"
cp "$build/bench/bench_keyboard_follow" "$build/bench/bench_startup" "$work/"
give_to_wl_user "$work"

start_xvfb "$work"
setxkbmap de
echo "X11:"
QT_QPA_PLATFORM=xcb "$work/bench_keyboard_follow" "$work/zephkin"
unset DISPLAY

missing=$(wayland_missing)
[ -z "$missing" ] || { echo "wayland: not run, $missing"; exit 0; }
start_sway "$work" || { echo "wayland: not run, sway does not start here"; exit 0; }
first_paint() { # runs bench_startup as the compositor's user
    for _ in $(seq "$starts"); do
        "${as_wl_user[@]}" QT_QPA_PLATFORM=wayland "$work/bench_startup" "$work/zephkin" |
            head -1 | sed -E 's/.*start_to_first_paint_ms=([0-9.]+).*/\1/'
    done | sort -n | awk -v what="$1" '
        { v[n++] = $1 }
        END { printf "  start to first paint (%s), ms: median=%.1f of %d\n", what, v[int((n - 1) / 2)], n }'
}
echo "Wayland:"
first_paint "no keyboard, so no keymap to wait for"
coproc VK { "${as_wl_user[@]}" "$build/tests/virtual_keyboard" de; }
read -r -u "${VK[0]}" reply
[ "$reply" = ok ] || { echo "wayland: the virtual keyboard did not start"; exit 1; }
first_paint "the German keymap read"
"${as_wl_user[@]}" QT_QPA_PLATFORM=wayland "$work/bench_keyboard_follow" "$work/zephkin"
