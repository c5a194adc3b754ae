#!/usr/bin/env bash
# Builds Drganik and runs every test suite (installing missing Debian packages first).
# With --sanitize the suites are built with AddressSanitizer and UndefinedBehaviorSanitizer;
# with --tsan the serial component's and the acquisition cycle's suites run under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/prepare.sh
if [ "${1:-}" = "--tsan" ]; then
    # The serial component's threads under ThreadSanitizer.
    install_missing
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRGANIK_TSAN=ON -DDRGANIK_BENCH=OFF
    cmake --build build-tsan -j "$(nproc)" --target test_serial test_acquisition
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    build-tsan/tests/test_serial
    build-tsan/tests/test_acquisition
    exit 0
elif [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    prepare "$dir" -DDRGANIK_SANITIZE=ON -DDRGANIK_BENCH=OFF # benchmarks are measured unsanitized
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir=build
    prepare "$dir"
fi
make_locales
# Root ignores permissions and the terminals' exclusive flag: an ordinary user runs those suites
# once more (tools/as_user.sh), so nothing is left untried.
if [ "$(id -u)" -eq 0 ]; then
    user=${DRGANIK_TEST_USER:-scopetest}
    id -u "$user" >/dev/null 2>&1 ||
        useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$user"
fi
ctest --test-dir "$dir" -j 2 --output-on-failure --timeout 300
