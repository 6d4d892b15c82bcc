#!/usr/bin/env bash
# The keyboard layouts under Xvfb, one after another as setxkbmap sets them: bench_layouts
# (reading the layout, drawing the keyboard, generating the lessons), then the program's start
# to its first paint in that layout, a few times, against the US layout's.
# Usage: layouts.sh BUILD_DIR [STARTS]
set -euo pipefail
build=$(cd "$1" && pwd)
starts=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/common.sh"
begin_e2e
start_wm
trap 'kill $wm_pid 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT

for layout in "us" "de" "fr" "us -variant dvorak" "us -variant colemak"; do
    # shellcheck disable=SC2086 # the layout and its variant are two words on purpose
    setxkbmap $layout
    QT_QPA_PLATFORM=xcb "$build/bench/bench_layouts" "$build/zephkin"
    for _ in $(seq "$starts"); do
        QT_QPA_PLATFORM=xcb "$build/bench/bench_startup" "$build/zephkin" | head -1 |
            sed -E 's/.*start_to_first_paint_ms=([0-9.]+).*/\1/'
    done | sort -n | awk -v layout="$layout" '
        { v[n++] = $1 }
        END { printf "  start to first paint (%s), ms: median=%.1f of %d\n",
              layout, v[int((n - 1) / 2)], n }'
done
