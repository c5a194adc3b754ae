#!/usr/bin/env bash
# Builds Drganik and runs every test suite (installing missing Debian packages first).
# With --sanitize the suites are built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/prepare.sh
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    prepare "$dir" -DDRGANIK_SANITIZE=ON
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir=build
    prepare "$dir"
fi
ctest --test-dir "$dir" -j 2 --output-on-failure --timeout 300
