#!/usr/bin/env python3
"""Finds the pitch of the first note in a recording that is still being written.

Usage: pitch.py RAW_FILE EXPECTED_HZ [TIMEOUT_SECONDS]

RAW_FILE holds mono signed 16-bit little-endian samples at 48000 Hz (what
"parec --raw --format=s16le --rate=48000 --channels=1" writes). The script
waits until the file holds a note's onset and a stretch after it, then
measures the fundamental there. It prints what it found and exits 0 when the
pitch is within 3 % of EXPECTED_HZ, 1 when another pitch or none was found,
2 when no sound came within the timeout.
"""
import array
import os
import sys
import time

RATE = 48000
LEVEL = 0.01                 # the onset: the first sample at least this loud
SKIP = int(0.06 * RATE)      # past the hammer's noise
WINDOW = int(0.4 * RATE)     # what is analysed
STEP = 4
MIN_GAP = 16                 # zeros in a row that make a dropout
MIN_PAIRS = 400
STRETCHES = 3
DIP = 0.2                    # how low the difference must get to be a period
LOWEST, HIGHEST = 50.0, 1000.0
TOLERANCE = 0.03


def samples(path):
    with open(path, "rb") as f:
        data = f.read()
    a = array.array("h")
    a.frombytes(data[: len(data) - len(data) % 2])
    if sys.byteorder != "little":
        a.byteswap()
    return a


def onset(s):
    threshold = int(LEVEL * 32768)
    for i, v in enumerate(s):
        if abs(v) >= threshold:
            return i
    return -1


def pieces(s, start, count, step):
    """The count samples from start cut into the pieces between dropouts,
    each averaged by blocks of step, as floats. A stream that falls behind
    (often, on a busy machine) gets silence from the sound server, runs of
    exact zeros, and then goes on where it stopped: the pitch holds within
    a piece but not across a dropout."""
    result, piece, i = [], [], 0
    while i + step <= count:
        block = s[start + i : start + i + step]
        if not any(block):
            j = i
            while j < count and s[start + j] == 0:
                j += 1
            if j - i >= MIN_GAP:
                if piece:
                    result.append(piece)
                piece, i = [], j
                continue
        # The mean of each block keeps the partials above the new rate's
        # limit from folding down onto the pitch.
        piece.append(sum(block) / (32768.0 * step))
        i += step
    if piece:
        result.append(piece)
    return result


def fundamental(parts, rate):
    """The first clear dip of the cumulative mean normalised difference
    function (as in YIN), taken over pairs of samples within one piece,
    refined by a parabola; 0 when there is none."""
    lo, hi = int(rate / HIGHEST), int(rate / LOWEST)
    d = [0.0] * (hi + 2)
    for tau in range(1, hi + 2):
        total, pairs = 0.0, 0
        for x in parts:
            for a, b in zip(x, x[tau:]):
                total += (a - b) * (a - b)
            pairs += max(0, len(x) - tau)
        if pairs < MIN_PAIRS:  # too little left to tell at this lag and beyond
            hi = tau - 2
            break
        d[tau] = total / pairs
    cmnd = [1.0] * (hi + 2)
    running = 0.0
    for tau in range(1, hi + 2):
        running += d[tau]
        cmnd[tau] = d[tau] * tau / running if running > 0 else 1.0
    for tau in range(lo, hi + 1):
        if cmnd[tau] < DIP:
            while tau + 1 <= hi and cmnd[tau + 1] < cmnd[tau]:
                tau += 1
            a, b, c = cmnd[tau - 1], cmnd[tau], cmnd[tau + 1]
            shift = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c != 0 else 0.0
            return rate / (tau + shift)
    return 0.0


def main():
    path, expected = sys.argv[1], float(sys.argv[2])
    timeout = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
    deadline = time.monotonic() + timeout
    found = 0.0
    # The first stretch after the onset that shows a clear period counts;
    # one cut up too much by dropouts shows none, so the next is tried.
    for stretch in range(STRETCHES):
        while True:
            s = samples(path) if os.path.exists(path) else array.array("h")
            start = onset(s)
            first = start + SKIP + stretch * WINDOW
            if start >= 0 and len(s) >= first + WINDOW:
                break
            if time.monotonic() > deadline:
                print(f"no note in {path} within {timeout} s ({len(s)} samples)")
                return 2
            time.sleep(0.05)
        # Every fourth sample: 12 kHz is plenty for pitches below 1 kHz.
        found = fundamental(pieces(s, first, WINDOW, STEP), RATE // STEP)
        if found > 0:
            break
    ok = found > 0 and abs(found - expected) <= TOLERANCE * expected
    print(f"fundamental {found:.2f} Hz, expected {expected:.2f} Hz")
    return 0 if ok else 1

if __name__ == "__main__":
    sys.exit(main())
