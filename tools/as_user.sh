#!/usr/bin/env bash
# Runs a test binary as an ordinary user: root ignores file permissions and the
# terminals' exclusive-use flag, so some refusals are only exercised this way.
# Usage: tools/as_user.sh BINARY [ARGS...]
# As root, with the user DRGANIK_TEST_USER (default scopetest) present, the binary is
# copied to a folder that user can reach (the build may live under /root) and run there
# with its own HOME and TMPDIR. Otherwise the run is skipped (exit 77), unless
# DRGANIK_REQUIRE_TEST_USER is set, as CI sets it: then it fails.
set -euo pipefail
user=${DRGANIK_TEST_USER:-scopetest}
skip() {
    if [ -n "${DRGANIK_REQUIRE_TEST_USER:-}" ]; then
        echo "as_user: $1" >&2
        exit 1
    fi
    echo "as_user: $1; skipped"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "already an ordinary user: the suite's own run covers this"
id -u "$user" >/dev/null 2>&1 || skip "no user $user to run as (useradd $user)"

dir=$(mktemp -d "${TMPDIR:-/tmp}/drganik-as-user.XXXXXX")
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
install -m 755 "$1" "$dir/"
install -d -m 700 -o "$user" "$dir/home"
binary="$dir/$(basename "$1")"
shift
set +e
setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups -- \
    env -i PATH=/usr/bin:/bin HOME="$dir/home" TMPDIR="$dir/home" LC_ALL=C.UTF-8 \
    "$binary" "$@"
status=$?
exit $status
