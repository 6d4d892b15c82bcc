#!/usr/bin/env python3
"""Synthesise the typing tutor's sound effects.

Writes data/type.wav (key click) and data/error.wav (soft error tone) as
16-bit signed PCM, mono, 44100 Hz WAVE files. Uses only the standard library
and a fixed random seed, so every run produces byte-identical files.

Usage: python3 scripts/gen_sounds.py [output_dir]   (default: <repo>/data)
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 44100


def db_to_amp(db):
    return 10.0 ** (db / 20.0)


def one_pole_lowpass(samples, cutoff_hz):
    a = math.exp(-2.0 * math.pi * cutoff_hz / RATE)
    out, y = [], 0.0
    for x in samples:
        y = (1.0 - a) * x + a * y
        out.append(y)
    return out


def one_pole_highpass(samples, cutoff_hz):
    a = math.exp(-2.0 * math.pi * cutoff_hz / RATE)
    out, y, prev = [], 0.0, 0.0
    for x in samples:
        y = a * (y + x - prev)
        prev = x
        out.append(y)
    return out


def edge_window(n, attack_s, release_s):
    """Raised-cosine fade-in/fade-out gains, exactly zero at both ends."""
    na = max(1, int(attack_s * RATE))
    nr = max(1, int(release_s * RATE))
    gains = []
    for i in range(n):
        g = 1.0
        if i < na:
            g *= 0.5 - 0.5 * math.cos(math.pi * i / na)
        tail = n - 1 - i
        if tail < nr:
            g *= 0.5 - 0.5 * math.cos(math.pi * tail / nr)
        gains.append(g)
    return gains


def shape(samples, attack_s, release_s):
    """Apply the edge fades, then remove any DC offset without moving the
    end points off zero (the offset is taken out in the window's shape)."""
    win = edge_window(len(samples), attack_s, release_s)
    out = [s * g for s, g in zip(samples, win)]
    offset = sum(out) / sum(win)
    return [s - offset * g for s, g in zip(out, win)]


def normalise(samples, peak_dbfs):
    peak = max(abs(s) for s in samples)
    gain = db_to_amp(peak_dbfs) / peak
    return [s * gain for s in samples]


def write_wav(path, samples):
    frames = b"".join(
        struct.pack("<h", max(-32768, min(32767, int(round(s * 32767.0)))))
        for s in samples
    )
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def key_click():
    """~32 ms mechanical key click: band-limited noise burst plus a high tick."""
    rng = random.Random(20240611)
    n = int(0.032 * RATE)
    t = [i / RATE for i in range(n)]

    # Noise burst, band-limited to roughly 1.5-7 kHz, very fast decay.
    noise = [rng.uniform(-1.0, 1.0) for _ in range(n)]
    noise = one_pole_highpass(noise, 1500.0)
    noise = one_pole_lowpass(one_pole_lowpass(noise, 7000.0), 7000.0)
    noise = [x * math.exp(-ti / 0.0035) for x, ti in zip(noise, t)]

    # Tonal tick (main ~3.1 kHz, plus a quieter inharmonic partial).
    tick = [
        math.exp(-ti / 0.0045) * math.sin(2 * math.pi * 3100.0 * ti)
        + 0.35 * math.exp(-ti / 0.0025) * math.sin(2 * math.pi * 5300.0 * ti)
        for ti in t
    ]

    # A faint low "body" thump gives the click some weight.
    body = [
        math.exp(-ti / 0.006) * math.sin(2 * math.pi * 190.0 * ti) for ti in t
    ]

    noise_peak = max(abs(x) for x in noise)
    mix = [
        0.9 * nz / noise_peak + 0.6 * tk + 0.25 * bd
        for nz, tk, bd in zip(noise, tick, body)
    ]
    mix = shape(mix, attack_s=0.0004, release_s=0.010)
    return normalise(mix, -6.0)


def error_tone():
    """~160 ms soft two-note "bonk": 330 Hz falling to 220 Hz, low-passed."""
    n = int(0.160 * RATE)
    f_hi, f_lo = 330.0, 220.0
    switch_t, glide_s = 0.060, 0.012

    out, phase = [], 0.0
    for i in range(n):
        ti = i / RATE
        # Smooth (raised-cosine) glide between the two notes; phase is
        # accumulated so the waveform stays continuous across the change.
        u = min(1.0, max(0.0, (ti - switch_t) / glide_s))
        freq = f_hi + (f_lo - f_hi) * (0.5 - 0.5 * math.cos(math.pi * u))
        phase += 2 * math.pi * freq / RATE
        # Gentle square-ish tone: odd harmonics, rolled off faster than 1/k.
        s = (
            math.sin(phase)
            + 0.22 * math.sin(3 * phase)
            + 0.07 * math.sin(5 * phase)
        )
        # Each note gets a slight percussive dip-and-decay for the "bonk".
        note_t = ti if ti < switch_t else ti - switch_t
        env = 0.55 + 0.45 * math.exp(-note_t / 0.030)
        out.append(s * env)

    out = one_pole_lowpass(one_pole_lowpass(out, 1400.0), 1400.0)
    out = shape(out, attack_s=0.005, release_s=0.045)
    return normalise(out, -9.0)


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(repo, "data")
    os.makedirs(out_dir, exist_ok=True)
    for name, samples in (("type.wav", key_click()), ("error.wav", error_tone())):
        path = os.path.join(out_dir, name)
        write_wav(path, samples)
        print(f"wrote {path}: {len(samples)} samples, {len(samples) / RATE * 1000:.1f} ms")


if __name__ == "__main__":
    main()
