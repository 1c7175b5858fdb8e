#!/usr/bin/env python3
"""Reads a recording of the test sound card's output and tells when it is loud.

The recording is raw signed 16-bit little-endian mono at RATE samples per
second, as the harness's recorder (tests/harness/sound.sh) writes it. Times
are seconds from the start of the recording. A stretch is loud when the root
mean square of one of its 20 ms blocks is above THRESHOLD (of 32768); the
null sink records exact zeros while nothing plays, so any sound the program
makes stands far above it.

  sound.py level FILE FROM TO            prints the loudest block's level
  sound.py wait-quiet FILE SECONDS LIMIT waits until the last SECONDS were quiet
  sound.py heard FILE FROM TO [LIMIT]    succeeds if a loud block starts in [FROM, TO]
  sound.py onsets FILE                   lists the starts of the loud stretches
  sound.py now FILE                      prints the length of the recording
"""
import array
import math
import os
import sys
import time

RATE = 16000
BLOCK = RATE // 50  # 20 ms
THRESHOLD = 200.0


def length(path):
    try:
        return os.path.getsize(path) / (2.0 * RATE)
    except OSError:
        return 0.0


def levels(path, start, end):
    """(time, rms) of each whole block between start and end."""
    first = max(0, int(start * RATE) // BLOCK)
    with open(path, "rb") as f:
        f.seek(first * BLOCK * 2)
        data = f.read(max(0, int(end * RATE) - first * BLOCK) * 2)
    samples = array.array("h")
    samples.frombytes(data[: len(data) // 2 * 2])
    if sys.byteorder != "little":
        samples.byteswap()
    out = []
    for i in range(0, len(samples) - BLOCK + 1, BLOCK):
        block = samples[i : i + BLOCK]
        rms = math.sqrt(sum(s * s for s in block) / BLOCK)
        out.append(((first * BLOCK + i) / RATE, rms))
    return out


def wait_for_length(path, end, limit):
    deadline = time.monotonic() + limit
    while length(path) < end and time.monotonic() < deadline:
        time.sleep(0.1)


def main(argv):
    cmd, path = argv[1], argv[2]
    if cmd == "now":
        print("%.3f" % length(path))
        return 0
    if cmd == "level":
        start, end = float(argv[3]), float(argv[4])
        wait_for_length(path, end, 10)
        print("%.1f" % max([rms for _, rms in levels(path, start, end)] or [0.0]))
        return 0
    if cmd == "wait-quiet":
        quiet, limit = float(argv[3]), float(argv[4])
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            end = length(path)
            if end >= quiet and max([r for _, r in levels(path, end - quiet, end)] or [0.0]) < THRESHOLD:
                print("%.3f" % end)
                return 0
            time.sleep(0.1)
        print("never quiet for %.1f s (recording at %.1f s)" % (quiet, length(path)))
        return 1
    if cmd == "heard":
        start, end = float(argv[3]), float(argv[4])
        limit = float(argv[5]) if len(argv) > 5 else 15.0
        # Scans what has been recorded so far, and stops at the first loud block.
        deadline = time.monotonic() + limit
        loudest, scanned = 0.0, start
        while True:
            covered = min(end, length(path))
            for t, rms in levels(path, scanned, covered):
                if rms >= THRESHOLD:
                    print("%.3f %.0f" % (t, rms))
                    return 0
                loudest = max(loudest, rms)
                scanned = t + BLOCK / RATE
            if covered >= end or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        print("silent from %.2f to %.2f s (loudest %.0f, recording %.2f s)" % (start, end, loudest, length(path)))
        return 1
    if cmd == "onsets":
        loud = False
        for t, rms in levels(path, 0, length(path)):
            if rms >= THRESHOLD and not loud:
                sys.stdout.write("%.2f " % t)
            loud = rms >= THRESHOLD
        print()
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
