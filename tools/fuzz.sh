#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: tools/fuzz.sh [seconds per target, default 30] [targets..., default all]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/prepare.sh
PACKAGES+=(clang libclang-rt-14-dev)
seconds=${1:-30}
install_missing
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRGANIK_FUZZ=ON \
    -DDRGANIK_TESTS=OFF -DDRGANIK_BENCH=OFF
targets=(fuzz_datafile fuzz_settings fuzz_collection fuzz_recording)
[ $# -gt 1 ] && targets=("${@:2}")
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
done
# The settings file on disk from the start: a seed for each kind its first byte picks
# (the text, a file past the size limit, a FIFO, a link to an endless device).
if [ -d build-fuzz/corpus/fuzz_settings ]; then
    for kind in 0 1 2 3; do
        printf "\\$kind[DISP]\nLW=2\n" >"build-fuzz/corpus/fuzz_settings/disk-$kind"
    done
fi
# A recording's two kinds of lines (the fuzzer adds its first line itself).
if [ -d build-fuzz/corpus/fuzz_recording ] && [ ! -e build-fuzz/corpus/fuzz_recording/block ]; then
    {
        printf '# B numer czas_ms czas T/dz V/dz wyzwalanie poziom tryb\nB 1 1714567331400 2024-05-01T14:02:11.400 3 0 1 512 S\n'
        seq -s ' ' 1 500
    } >build-fuzz/corpus/fuzz_recording/block
fi
for t in "${targets[@]}"; do
    echo "== $t for $seconds s"
    "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        "build-fuzz/corpus/$t" 2>&1 | tail -n 3
done
