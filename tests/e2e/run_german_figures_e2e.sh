#!/usr/bin/env bash
# Every key counted on a German keyboard, with real X events under Xvfb (setxkbmap de). Keys
# lesson 1, built for German, is typed to its end with a wrong key every time ö is due:
#  - the results under the "Prompt" (copied with Ctrl+C) name Ö as missed most;
#  - the history keeps ö's figures by its own character;
#  - Ctrl+6 writes a drill of ö in real words, with ö at least three times as often as in the
#    word lists the drill draws on.
# Usage: run_german_figures_e2e.sh PROGRAM_DIR
set -euo pipefail
program_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
begin_e2e
start_wm
trap 'kill $wm_pid 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT

setxkbmap de
copy_program "$program_dir"
rm -f "$folder/history.db"* "$folder/drill.txt"
printf '1000\r\n' > "$folder/sz0.txt"
start_program "$folder" de
keys=$(open_entry keys "$wid")
wait_focus "$keys"
lesson="$folder/1-de/0.txt"
[ -s "$lesson" ] || fail "the German lessons were not built"

# The lesson, each ö after a wrong p, over more than the ten seconds a run needs to be kept.
mapfile -t lines < <(tail -n +2 "$lesson" | tr -d '\r')
total=$(printf '%s' "${lines[@]}" | wc -m)
for line in "${lines[@]}"; do
    xdotool type --delay $((24000 / total)) -- "${line//ö/pö}"
done
prompt=$(find_window "^Prompt$") || fail "typing lesson 1 did not reach its end"
text=$(box_text "$prompt")
echo "$text" | grep "Missed most"
echo "$text" | grep -q "^Missed most: Ö (" || fail "the results do not name Ö as missed most"
xdotool key Escape

figures=$(history "SELECT total(expected), total(wrong) FROM gram_stats WHERE gram = 'ö'")
echo "the history's figures of ö: $figures"
[[ "$figures" =~ ^([0-9]+)\.0\|([0-9]+)\.0$ ]] && [ "${BASH_REMATCH[2]}" -gt 0 ] ||
    fail "the history keeps no misses of ö: [$figures]"

wait_focus "$keys"
xdotool key ctrl+6
wait_file "$folder/drill.txt" "Ctrl+6 wrote no drill.txt"
python3 - "$folder" <<'EOF' || fail "the drill is not one of ö"
import glob, os, sys
folder = sys.argv[1]
def lines(path):
    text = open(path, 'rb').read().decode('utf-8-sig', errors='replace')
    return [l for l in text.split('\r\n') if l]
drill = lines(os.path.join(folder, 'drill.txt'))
print('drill:', *drill, sep='\n  ')
assert drill[0].startswith('Drill: ') and 'ö' in drill[0][7:].split(), drill[0]
words = set()
listed = ''
for path in sorted(glob.glob(os.path.join(folder, '2', '*.txt'))):
    for line in lines(path)[1:]:
        words.update(line.split())
        listed += line
german = ''.join(lines(os.path.join(folder, '2', 'words-de.txt'))[1:])
text = ''.join(drill[1:])
def rate(s):
    return s.count('ö') / len(s)
print('ö in the word lists %.4f (in the German one %.3f), in the drill %.3f'
      % (rate(listed), rate(german), rate(text)))
assert rate(text) >= 3 * rate(listed)
for word in ' '.join(drill[1:]).split():
    if 'ö' in word:
        assert word in words, word + ' is in no word list'
EOF
python3 "$here/close_window.py" "$keys"
wait_exit "$pid" || fail "closing the window did not end the program"
echo "german figures end-to-end: all passed"
