#!/usr/bin/python3
"""Times python3-mido reading Standard MIDI Files, for bench_loader.

Usage: tools/bench-mido.py REPEATS FILE...
Prints one line per file: "<seconds of the best read> <messages>".
"""

import sys
import time

import mido


def main():
    repeats = int(sys.argv[1])
    for path in sys.argv[2:]:
        best = None
        count = 0
        for _ in range(repeats):
            start = time.perf_counter()
            song = mido.MidiFile(path)
            elapsed = time.perf_counter() - start
            count = sum(len(track) for track in song.tracks)
            best = elapsed if best is None else min(best, elapsed)
        print(f"{best:.6f} {count}")


if __name__ == "__main__":
    main()
