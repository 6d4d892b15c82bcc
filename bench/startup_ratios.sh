#!/usr/bin/env bash
# The program against an empty Qt Widgets window, in one run on one Xvfb display: first window
# mapped, resident memory 3 s after the start and after the first keystroke sound, and the
# time from closing the window to the end of the process. Prints medians and ratios. For scale,
# it measures the same window showing one line of text too: the floor of any window with words.
# Usage: startup_ratios.sh BUILD_DIR [RUNS]   (run it under tests/sound/with_pulse.sh)
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/common.sh"
on_session_bus "$0" "$@"
build=$(cd "$1" && pwd)
runs=${2:-7}
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb "$work"

launch() { # name, bench_launch arguments...
    local name=$1
    shift
    "$build/bench/bench_launch" "$@" | sed "s/^/$name /" >> "$work/figures" ||
        echo "a $name launch failed" >&2
}
for i in $(seq 0 "$runs"); do
    rm -rf "$work/zephkin"
    cp -r "$build/zephkin" "$work/zephkin"
    launch empty "$build/bench/bench_empty"
    launch text "$build/bench/bench_empty" --text
    launch program --type "$work/zephkin/zephkin"
    [ "$i" -eq 0 ] && : > "$work/figures" # the first round only warms the caches
done

awk "$(cat "$(dirname "$0")/median.awk")"'
{
    n = ++count[$1]
    for (f = 2; f <= NF; ++f) { split($f, kv, "="); figure[$1 " " kv[1], n] = kv[2]; count[$1 " " kv[1]] = n }
}
END {
    em = median("empty map_ms"); pm = median("program map_ms"); tm = median("text map_ms")
    er = median("empty rss3_mb"); pr = median("program rss3_mb"); tr = median("text rss3_mb")
    ps = median("program rss_sound_mb")
    ec = median("empty close_ms"); pc = median("program close_ms")
    ec2 = median("empty map_cpu_ms"); pc2 = median("program map_cpu_ms"); tc2 = median("text map_cpu_ms")
    printf "startup (median of %d): first window mapped %.1f ms, empty window %.1f ms: ratio %.2f (goal <= 1.15)\n", count["program"], pm, em, pm / em
    printf "  processor time until then %.1f ms, empty window %.1f ms: ratio %.2f\n", pc2, ec2, pc2 / ec2
    printf "  the empty window with one line of text: mapped %.1f ms (%.2fx empty), processor time %.1f ms (%.2fx); the program is %.2fx it\n", tm, tm / em, tc2, tc2 / ec2, pm / tm
    printf "  RSS 3 s after start %.1f MB, empty window %.1f MB: ratio %.2f (goal <= 1.2); with one line of text %.1f MB\n", pr, er, pr / er, tr
    printf "  RSS after the first sound %.1f MB: %+.1f MB (goal <= +3)\n", ps, ps - pr
    printf "  last window closed to process end %.1f ms, empty window %.1f ms (goal < 200)\n", pc, ec
}' "$work/figures"
