#!/usr/bin/env bash
# A drill of the weak keys, typed with real X key events. A Keys lesson is typed with a wrong
# key every time g is due, then Ctrl+6 opens the drill. drill.txt beside the state files must
# hold g at least three times as often as the lesson does, in words of the shipped word lists
# and articles; its first line, typed in the window, goes into the history without a miss. The
# Keys state file keeps the lesson, not the drill.
set -euo pipefail
program_dir=$1
fixture=$2
here=$(cd "$(dirname "$0")" && pwd)

source "$here/common.sh"
begin_e2e

copy_program "$program_dir"
cp "$fixture" "$folder/1/0.txt"
printf '1000\r\n' > "$folder/sz0.txt"
rm -f "$folder/drill.txt" "$folder/history.db"

# The xdotool key names of a text; with a second argument, each g comes after a wrong q.
keys_of() { # text, [miss]
    python3 - "$1" "${2:-}" <<'EOF'
import sys
names = {' ': 'space', ',': 'comma', '.': 'period', ';': 'semicolon', ':': 'colon',
         '?': 'question', '!': 'exclam', "'": 'apostrophe', '-': 'minus'}
out = []
for c in sys.argv[1]:
    if sys.argv[2] and c == 'g':
        out.append('q')
    out.append(names.get(c, c))
print(' '.join(out))
EOF
}
# The expected and wrong counts of every key in the history, summed.
key_counts() { history 'SELECT total(expected), total(wrong) FROM key_counts'; }

start_program "$folder" drill
keys=$(open_entry keys "$wid")
wait_focus "$keys"

# Every practice line but the last, so that the lesson-end prompt does not come.
mapfile -t lines < <(tail -n +2 "$fixture" | tr -d '\r' | head -n -1)
for line in "${lines[@]}"; do
    # shellcheck disable=SC2046
    xdotool key --delay 40 $(keys_of "$line" miss)
done

xdotool key ctrl+6
wait_file "$folder/drill.txt" "Ctrl+6 wrote no drill.txt"

python3 - "$fixture" "$folder/drill.txt" "$folder" <<'EOF' || fail "the drill is not one of g"
import glob, os, sys
def practice(path):
    lines = open(path, newline='').read().split('\r\n')
    return lines[0], [l for l in lines[1:] if l]
_, lesson = practice(sys.argv[1])
heading, drill = practice(sys.argv[2])
print('drill:', heading, drill, sep='\n  ')
assert heading.startswith('Drill: ') and 'g' in heading[7:].split(), heading
def rate(lines):
    text = ''.join(lines)
    return text.count('g') / len(text)
print('g in the lesson %.3f, in the drill %.3f' % (rate(lesson), rate(drill)))
assert rate(drill) >= 3 * rate(lesson)
words = set()
for path in glob.glob(os.path.join(sys.argv[3], '2', 'Lesson *.txt')):
    for line in open(path, encoding='ascii').read().splitlines()[1:]:
        words.update(line.split())
for path in glob.glob(os.path.join(sys.argv[3], 'text', '*.txt')):
    for token in open(path, encoding='ascii').read().split():
        words.add(token.strip('"\'()'))
for word in ' '.join(drill).split():
    assert word in words, word + ' is in no shipped list or article'
EOF

# The drill's first line, typed in the window: each of its keys right.
before=$(key_counts)
first=$(sed -n 2p "$folder/drill.txt" | tr -d '\r')
wait_focus "$keys"
# shellcheck disable=SC2046
xdotool key --delay 60 $(keys_of "$first")
python3 "$here/close_window.py" "$keys"
wait_exit "$pid" || fail "closing the window did not end the program"
after=$(key_counts)
IFS='|' read -r expected0 wrong0 <<<"$before"
IFS='|' read -r expected1 wrong1 <<<"$after"
python3 -c "
import sys
e0, w0, e1, w1, n = map(float, sys.argv[1:])
assert e1 - e0 == n and w1 == w0, (e0, w0, e1, w1, n)" \
    "$expected0" "$wrong0" "$expected1" "$wrong1" "${#first}" ||
    fail "the drill's first line did not go in key by key without a miss"
expect_bytes "$folder/sz0.txt" '1000\r\n'
echo "drill end-to-end: all passed"
