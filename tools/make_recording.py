#!/usr/bin/env python3
"""Writes a valid recording of a given number of blocks, for measuring how long ones open.

Usage: tools/make_recording.py FILE BLOCKS
Blocks are 91 ms apart from 2024-05-01 (UTC), with noisy samples (about 2 kB a block,
so 521 541 blocks make a gigabyte)."""
import random
import sys
import time


def main():
    path, blocks = sys.argv[1], int(sys.argv[2])
    rng = random.Random(3)
    # A few hundred distinct sample lines, cycled: writing stays fast for gigabytes.
    lines = [" ".join(str(rng.randrange(1024)) for _ in range(500)) + "\n" for _ in range(256)]
    start = 1714567331400
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("Drganik nagranie 1\n")
        f.write("# B numer czas_ms czas T/dz V/dz wyzwalanie poziom tryb ; potem 500 próbek\n")
        for n in range(blocks):
            ms = start + n * 91
            readable = time.strftime("%Y-%m-%dT%H:%M:%S", time.localtime(ms // 1000)) + ".%03d" % (ms % 1000)
            f.write(f"B {n + 1} {ms} {readable} 3 0 1 512 S\n")
            f.write(lines[n % len(lines)])


if __name__ == "__main__":
    main()
