#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: tools/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/prepare.sh
PACKAGES+=(clang libclang-rt-14-dev)
seconds=${1:-30}
install_missing
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRGANIK_FUZZ=ON \
    -DDRGANIK_TESTS=OFF -DDRGANIK_BENCH=OFF
targets=(fuzz_datafile fuzz_settings fuzz_collection)
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
done
# The settings file on disk from the start: a seed for each kind its first byte picks
# (the text, a file past the size limit, a FIFO, a link to an endless device).
for kind in 0 1 2 3; do
    printf "\\$kind[DISP]\nLW=2\n" >"build-fuzz/corpus/fuzz_settings/disk-$kind"
done
for t in "${targets[@]}"; do
    echo "== $t for $seconds s"
    "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        "build-fuzz/corpus/$t" 2>&1 | tail -n 3
done
