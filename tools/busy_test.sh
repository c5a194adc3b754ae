#!/usr/bin/env bash
# Runs ./test.sh (with its arguments) beside busy loops, twice as many as the machine has cores,
# as users run the suite while other work runs: every wait in it must be for an event, never a
# budget of time. The loops end with the script, however it ends.
set -uo pipefail
cd "$(dirname "$0")/.." || exit
busy=()
# shellcheck disable=SC2317 # called by the trap
stop() {
    if [ ${#busy[@]} -gt 0 ]; then
        kill "${busy[@]}" 2>/dev/null
        wait "${busy[@]}" 2>/dev/null
    fi
    busy=()
}
trap stop EXIT
trap 'exit 130' INT TERM
loops=$(($(nproc) * 2))
for _ in $(seq "$loops"); do
    (while :; do :; done) &
    busy+=($!)
done
echo "busy_test: $loops busy loops; load average $(cut -d' ' -f1-3 /proc/loadavg)"
start=$SECONDS
./test.sh "$@"
status=$?
echo "busy_test: ./test.sh exited $status after $((SECONDS - start)) s;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$status"
