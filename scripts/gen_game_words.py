#!/usr/bin/env python3
"""Regenerate the game's word lists data/game-cz2.txt, game-cz3.txt, game-cz4.txt.

The game cuts an item of n + 2 letters out of one long string of letters, starting at a
multiple of n (n = 2, 3, 4). So that every item is a whole word, the string is a chain of
words of n + 2 letters in which each word begins with the last two letters of the one
before ("also" -> "soap" -> "apex" gives "alsoapex").

Words: scripts/wordlists/common.txt plus the two most common SCOWL levels in
/usr/share/dict/scowl (Debian package "scowl", licence in data/2/COPYING-scowl.txt), minus
scripts/wordlists/blocked.txt. The walk is seeded, so every run writes the same files:
    python3 scripts/gen_game_words.py
Each file is one line of lower-case ASCII ended by CR LF.
"""

import random
import re
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
LISTS = HERE / "wordlists"
SCOWL = Path("/usr/share/dict/scowl")
CHAIN_WORDS = 400  # words per file; a word may come back, but rarely


def listed(name):
    return re.sub(r"#.*", "", (LISTS / name).read_text(encoding="ascii")).split()


def scowl(level):
    found = set()
    for kind in ("english", "american"):
        path = SCOWL / f"{kind}-words.{level}"
        if path.exists():
            found |= set(path.read_text(encoding="latin-1").split())
    return found


def linked_core(pool):
    """The words of the largest group of two-letter links in which every link can reach
    every other one, so a walk never runs into a dead end or a short loop."""
    edges = {}
    for w in pool:
        edges.setdefault(w[:2], set()).add(w[-2:])
    nodes = sorted(set(edges) | {b for e in edges.values() for b in e})
    index, low, on_stack, stack, groups, counter = {}, {}, set(), [], [], [0]

    def strongconnect(v):  # Tarjan, iterative enough for a few hundred links
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                strongconnect(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = set()
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.add(w)
                if w == v:
                    break
            groups.append(group)

    sys.setrecursionlimit(10000)
    for v in nodes:
        if v not in index:
            strongconnect(v)
    biggest = max(groups, key=len)
    return sorted(w for w in pool if w[:2] in biggest and w[-2:] in biggest)


def walk(core, seed):
    by_start = {}
    for w in core:
        by_start.setdefault(w[:2], []).append(w)
    rng = random.Random(seed)
    uses = dict.fromkeys(core, 0)
    chain = [rng.choice(core)]
    uses[chain[0]] += 1
    while len(chain) < CHAIN_WORDS:
        options = [w for w in by_start[chain[-1][-2:]] if w != chain[-1]] or by_start[chain[-1][-2:]]
        rng.shuffle(options)
        nxt = min(options, key=lambda w: uses[w])
        uses[nxt] += 1
        chain.append(nxt)
    return chain


def main():
    if not SCOWL.is_dir():
        sys.exit(f"no SCOWL word lists in {SCOWL} (apt-get install scowl)")
    blocked = set(listed("blocked.txt"))
    words = set(listed("common.txt")) | scowl(10) | scowl(20)
    words = {w for w in words if w.isascii() and w.isalpha() and w.islower() and w not in blocked}
    for n in (2, 3, 4):
        core = linked_core({w for w in words if len(w) == n + 2})
        chain = walk(core, seed=n)
        source = chain[0] + "".join(w[2:] for w in chain[1:])
        out = ROOT / "data" / f"game-cz{n}.txt"
        out.write_bytes(source.encode("ascii") + b"\r\n")
        print(f"{out.name}: {len(set(chain))} of {len(core)} words, {len(source)} letters",
              file=sys.stderr)


if __name__ == "__main__":
    main()
