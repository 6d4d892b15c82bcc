#!/usr/bin/env python3
"""Regenerate the word lessons in data/2/ ("Lesson 1.txt" ... "Lesson 12.txt").

Sources:
  * scripts/wordlists/common.txt   - common words, most frequent first (lessons 1-4)
  * scripts/wordlists/primary.txt  - words for young learners (lesson 5)
  * scripts/wordlists/phrases.txt  - everyday spoken phrases (lesson 12)
  * scripts/wordlists/blocked.txt  - words never to put in a lesson
  * SCOWL word lists in /usr/share/dict/scowl (Debian package "scowl"),
    which grade the school vocabulary of lessons 6-11 and check the
    spelling of the hand-written lists.

Output files are ASCII, one item per line, CR LF line ends; line 0 is the
lesson caption.  The script is deterministic: run it from anywhere with
    python3 scripts/gen_word_lists.py
"""

import hashlib
import re
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
LISTS = HERE / "wordlists"
OUT_DIR = ROOT / "data" / "2"
SCOWL = Path("/usr/share/dict/scowl")

# (caption, number of items)
LESSONS = [
    ("Lesson 1: Common words 1(Total 500)", 500),
    ("Lesson 2: Common words 2(Total 500)", 500),
    ("Lesson 3: Common words 3(Total 500)", 500),
    ("Lesson 4: Common words 4(Total 500)", 500),
    ("Lesson 5: Words in primary school (Total 448)", 448),
    ("Lesson 6: Words in junior middle school 1(Total 598)", 598),
    ("Lesson 7: Words in junior middle school 2(Total 599)", 599),
    ("Lesson 8: Words in junior middle school 3(Total 465)", 465),
    ("Lesson 9: Words in Senior High School 1(Total 599)", 599),
    ("Lesson 10: Words in Senior High School 2(Total 600)", 600),
    ("Lesson 11: Words in Senior High School 3(Total 766)", 766),
    ("Lesson 12: Spoken phrase (Total 400)", 400),
]

# SCOWL size levels that feed the school lessons, easiest first, each with
# the shortest word taken from it (short words of the larger levels are
# mostly odd ones; their long words top up the last lessons).
SCHOOL_LEVELS = {10: 3, 20: 3, 35: 8}
# Longest word in any lesson: longer ones do not fit the word display well.
MAX_WORD = 14
# Longest phrase, blanks included, for the same reason.
MAX_PHRASE = 20
# Weights of the school word difficulty (see word_difficulty): one step up
# in SCOWL level costs as much as this many letters, and so does an
# average keyboard effort of 1 per letter.
LEVEL_WEIGHT = 6
EFFORT_WEIGHT = 6
# Levels whose words count as correctly spelt in the hand-written lists.
CHECK_LEVELS = (10, 20, 35, 40, 50)

WORD_RE = re.compile(r"[a-z]+")
PHRASE_RE = re.compile(r"[A-Za-z' ]+\??")


def fail(msg):
    sys.exit("gen_word_lists: " + msg)


def check(ok, msg):
    if not ok:
        fail(msg)


def read_words(name):
    """Words of a hand-written list, first occurrence kept, in order."""
    seen, out = set(), []
    for line in (LISTS / name).read_text(encoding="ascii").splitlines():
        for w in line.split("#", 1)[0].split():
            if not WORD_RE.fullmatch(w):
                fail(f"{name}: bad word {w!r}")
            if w not in seen:
                seen.add(w)
                out.append(w)
    return out


def read_phrases(name):
    out, seen = [], set()
    for line in (LISTS / name).read_text(encoding="ascii").splitlines():
        p = line.split("#", 1)[0].strip()
        if not p:
            continue
        words = p.split(" ")
        if not PHRASE_RE.fullmatch(p) or "" in words:
            fail(f"{name}: bad phrase {p!r}")
        # Lower case, but for the pronoun "I" (I, I'm, I'll ...).
        if any(w != w.lower() and not re.fullmatch(r"I('[a-z]+)?", w) for w in words):
            fail(f"{name}: only the word I may have a capital: {p!r}")
        if not 2 <= len(words) <= 6:
            fail(f"{name}: phrase needs 2 to 6 words: {p!r}")
        if len(p) > MAX_PHRASE:
            fail(f"{name}: phrase longer than {MAX_PHRASE} characters: {p!r}")
        if p in seen:
            fail(f"{name}: repeated phrase {p!r}")
        seen.add(p)
        out.append(p)
    return out


def scowl_words(kind, level):
    path = SCOWL / f"{kind}-words.{level}"
    if not path.exists():
        return []
    words = path.read_text(encoding="utf-8").split()
    return [w for w in words if WORD_RE.fullmatch(w)]


def scowl_levels(kinds, levels):
    """word -> lowest SCOWL level it appears in."""
    level_of = {}
    for level in levels:
        for kind in kinds:
            for w in scowl_words(kind, level):
                level_of.setdefault(w, level)
    return level_of


def is_derived(word, known):
    """True for plural, verb and comparison forms and -ly adverbs whose
    stem is a word of its own; the school lessons list the stems."""
    w = word

    def has(stem, min_len=3):
        return len(stem) >= min_len and stem in known

    stems = []
    if w.endswith("ies"):
        stems.append(w[:-3] + "y")
    if w.endswith("es"):
        stems.append(w[:-2])
    if w.endswith("s") and not w.endswith("ss"):
        stems.append(w[:-1])
    if w.endswith("ied"):
        stems.append(w[:-3] + "y")
    if w.endswith("ed"):
        stems += [w[:-2], w[:-1]]
        if len(w) > 4 and w[-3] == w[-4]:
            stems.append(w[:-3])
    if w.endswith("ing"):
        stems += [w[:-3], w[:-3] + "e"]
        if len(w) > 5 and w[-4] == w[-5]:
            stems.append(w[:-4])
    if any(has(s) for s in stems):
        return True

    # -er / -est only count as comparison when the sibling form exists too
    # (so "teacher" and "forest" stay).
    for suffix, other in (("er", "est"), ("est", "er")):
        if w.endswith(suffix):
            base = w[: -len(suffix)]
            for stem, sib in ((base, base + other), (base + "e", base + other)):
                if has(stem) and sib in known:
                    return True
            if len(base) > 3 and base[-1] == base[-2] and has(base[:-1]) and base + other in known:
                return True
            if base.endswith("i") and has(base[:-1] + "y") and base + other in known:
                return True

    if w.endswith("ly"):
        base = w[:-2]
        stems = [base, base + "e"]
        if base.endswith("i"):
            stems.append(base[:-1] + "y")  # happily -> happy
        if w.endswith("bly"):
            stems.append(w[:-1] + "e")  # probably -> probable
        if any(has(s, 4) for s in stems):
            return True
    return False


# Fingers of a touch typist, left little finger = 0 ... right little = 7.
FINGER = {k: f for f, keys in enumerate(
    ("qaz", "wsx", "edc", "rfvtgb", "yhnujm", "ik", "ol", "p")) for k in keys}
# Effort of reaching a key from the home row.
ROW_EFFORT = {**{k: 0.0 for k in "asdfghjkl"},
              **{k: 1.0 for k in "qwertyuiop"},
              **{k: 1.5 for k in "zxcvbnm"}}
RARE_LETTERS = set("jqxz")


def keyboard_effort(word):
    """Average effort per letter of typing a word: keys off the home row,
    rarely practised letters, and two different keys in a row struck by the
    same finger (as in "ed", "my", "nu")."""
    effort = sum(ROW_EFFORT[c] + (c in RARE_LETTERS) for c in word)
    effort += sum(1.5 for a, b in zip(word, word[1:])
                  if a != b and FINGER[a] == FINGER[b])
    return effort / len(word)


def word_difficulty(word, level_rank):
    """Difficulty of a school word: rarity, length and keyboard effort mixed,
    so that every lesson gets a spread of lengths and the lessons grow harder
    on all three counts."""
    return (LEVEL_WEIGHT * level_rank + len(word)
            + EFFORT_WEIGHT * keyboard_effort(word))


def tie_break(word):
    return hashlib.sha1(word.encode("ascii")).hexdigest()


def take(words, count, what):
    if len(words) < count:
        fail(f"{what}: only {len(words)} words, need {count}")
    return words[:count]


def build():
    blocked = set(read_words("blocked.txt"))
    known = scowl_levels(("english", "american"), CHECK_LEVELS)
    if not known:
        fail(f"no SCOWL word lists found in {SCOWL} (apt-get install scowl)")

    def checked(name):
        words = read_words(name)
        unknown = [w for w in words if w not in known]
        if unknown:
            fail(f"{name}: not in SCOWL: {' '.join(unknown)}")
        return [w for w in words if w not in blocked]

    lessons = []

    # Lessons 1-4: common words in order of frequency.
    common = take(checked("common.txt"), 2000, "common words")
    for i in range(4):
        lessons.append(common[i * 500:(i + 1) * 500])
    used = set(common)

    # Lesson 5: the easiest young learners' words not met in lessons 1-4.
    primary = [w for w in checked("primary.txt") if w not in used and len(w) >= 2]
    order = {w: i for i, w in enumerate(primary)}
    primary.sort(key=lambda w: (known[w], len(w), order[w]))
    lesson5 = take(primary, LESSONS[4][1], "primary words")
    lessons.append(sorted(lesson5))
    used.update(lesson5)

    # Lessons 6-11: SCOWL words graded by word_difficulty, easiest first; a
    # hash of the word breaks ties so that a cut between two lessons does
    # not split the alphabet.
    school_level = scowl_levels(("english", "american"), SCHOOL_LEVELS)
    pool = [
        w for w, level in school_level.items()
        if SCHOOL_LEVELS[level] <= len(w) <= MAX_WORD
        and w not in used
        and w not in blocked
        and not is_derived(w, known)
    ]
    rank = {level: i for i, level in enumerate(SCHOOL_LEVELS)}
    pool.sort(key=lambda w: (word_difficulty(w, rank[school_level[w]]), tie_break(w)))
    start = 0
    for caption, count in LESSONS[5:11]:
        lessons.append(sorted(take(pool[start:], count, caption)))
        start += count

    # Lesson 12: spoken phrases, all of them.
    phrases = read_phrases("phrases.txt")
    check(len(phrases) == LESSONS[11][1], f"phrases.txt has {len(phrases)} phrases")
    lessons.append(phrases)

    # Final checks.
    school = [w for lesson in lessons[4:11] for w in lesson]
    check(len(school) == len(set(school)), "a word repeats in lessons 5-11")
    common_words = {w for lesson in lessons[:4] for w in lesson}
    check(len(common_words) == 2000, "a word repeats in lessons 1-4")
    for (caption, count), items in zip(LESSONS, lessons):
        check(caption.endswith(f"Total {count})"), caption)
        check(len(items) == count == len(set(items)), f"{caption}: {len(items)} items")
        for item in items:
            check(" " in item or len(item) <= MAX_WORD, f"{caption}: long word {item!r}")
            check(re.fullmatch(r"[A-Za-z']+( [A-Za-z']+)*\??", item) is not None,
                  f"{caption}: bad item {item!r}")
    return lessons


def main():
    lessons = build()
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    for n, ((caption, _), items) in enumerate(zip(LESSONS, lessons), start=1):
        text = "\r\n".join([caption] + items) + "\r\n"
        (OUT_DIR / f"Lesson {n}.txt").write_bytes(text.encode("ascii"))
    print(f"wrote {len(lessons)} lessons to {OUT_DIR}")


if __name__ == "__main__":
    main()
