#!/usr/bin/env python3
"""The magnifier's dB spectrum worked out again with numpy, as its check.

Reads from standard input: the window's name (main, hann or flattop) and the
seconds per sample, then the 500 samples in volts, one a line; for "main" 500
window values follow. Writes the bin spacing in Hz, the 251 levels in dBV, then
the three highest peaks as "frequency level" and the noise floor (the median
of bins 1..250).
"""
import sys

import numpy as np


def window(name, n, given):
    x = 2 * np.pi * np.arange(n) / n  # periodic: the block repeats
    if name == "hann":
        return 0.5 - 0.5 * np.cos(x)
    if name == "flattop":
        a = [0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368]
        return sum((-1) ** k * a[k] * np.cos(k * x) for k in range(5))
    return given


def main():
    words = sys.stdin.read().split()
    name, dt = words[0], float(words[1])
    values = np.array([float(v) for v in words[2:]])
    volts, given = values[:500], values[500:]
    w = window(name, 500, given)
    spectrum = np.fft.rfft((volts - volts.mean()) * w)
    rms = np.abs(spectrum) / w.sum() * np.sqrt(2)
    rms[0] /= np.sqrt(2)
    rms[-1] /= np.sqrt(2)
    with np.errstate(divide="ignore"):
        level = np.maximum(20 * np.log10(rms), -200)
    freq = np.fft.rfftfreq(500, dt)
    print(repr(freq[1]))
    for v in level:
        print(repr(v))
    k = np.arange(1, 251)
    right = np.append(level[2:], -np.inf)
    peaks = k[(level[1:] > level[:-1]) & (level[1:] >= right) & (level[1:] > -200)]
    peaks = sorted(peaks, key=lambda b: -level[b])[:3]
    for b in peaks:
        print(repr(freq[b]), repr(level[b]))
    print(repr(np.median(level[1:])))


main()
