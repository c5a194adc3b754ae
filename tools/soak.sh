#!/usr/bin/env bash
# Soak test: the built program acquires from the simulator in one fault mode for
# a while, under a real X server. Reports cycles, recoveries, error boxes, memory
# and threads; fails if the program dies, stops acquiring or stacks error boxes.
# Usage: xvfb-run -a -s "-screen 0 1024x768x24" tools/soak.sh SECONDS TIMEBASE SIM-OPTIONS...
#   TIMEBASE: "fast" (0,1 ms/div) or "progressive" (20 ms/div)
set -euo pipefail
seconds=$1 timebase=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'kill $app $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$root/build/drganik" "$work/"
cp -r "$root/data" "$work/"
link="$work/com1"
"$root/build/tools/sim/drganik-sim" "$link" --log "$work/sim.log" --signal sine --freq 500 "$@" &
sim=$!
for _ in $(seq 50); do [ -L "$link" ] && break; sleep 0.1; done
printf '[PORTS]\nCOM1=%s\n' "$link" >"$work/drganik.ini"
(cd "$work" && exec ./drganik) &
app=$!
for _ in $(seq 100); do xdotool search --name 'Narzędzia' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5
if [ "$timebase" = progressive ]; then
    xdotool mousemove 802 355 click 1 # the top of the T/dz dial: 20 ms per division
    sleep 0.3
fi
xdotool mousemove 736 141 click 1 # connect
for _ in $(seq 50); do grep -q 'rx probe' "$work/sim.log" && break; sleep 0.1; done
sleep 0.5
xdotool mousemove 748 170 click 1 # Start

requests() { grep -c 'rx request' "$work/sim.log" || true; }
threads() { awk '/^Threads:/ {print $2}' "/proc/$app/status"; }
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$app/status"; }
boxes() { { xdotool search --onlyvisible --name '^Drganik$' 2>/dev/null || true; } | wc -l; }

sleep 10 # warm-up
rss0=$(rss) threads_min=$(threads) threads_max=$(threads) boxes_max=0
last=$(requests) stalled=0 start=$(date +%s)
while [ $(($(date +%s) - start)) -lt "$seconds" ]; do
    sleep 5
    kill -0 $app 2>/dev/null || { echo "FAIL: the program died"; exit 1; }
    t=$(threads); [ "$t" -lt "$threads_min" ] && threads_min=$t; [ "$t" -gt "$threads_max" ] && threads_max=$t
    b=$(boxes); [ "$b" -gt "$boxes_max" ] && boxes_max=$b
    now=$(requests)
    if [ "$now" -eq "$last" ]; then stalled=$((stalled + 5)); else stalled=0; fi
    last=$now
    [ "$stalled" -ge 30 ] && { echo "FAIL: no request for 30 s"; exit 1; }
done
rss1=$(rss)
echo "mode: $timebase $* | ${seconds} s"
echo "requests (acquisition cycles): $(requests)"
echo "faults by the simulator: dropped $(grep -c '  dropped' "$work/sim.log" || true)," \
     "garbled $(grep -c 'garbled' "$work/sim.log" || true), stalls $(grep -c 'stalling' "$work/sim.log" || true)," \
     "hang-ups $(grep -c 'hang-up' "$work/sim.log" || true), aborts $(grep -c 'rx abort' "$work/sim.log" || true)"
echo "resident memory: ${rss0} KiB after warm-up, ${rss1} KiB at the end"
echo "threads: ${threads_min}..${threads_max}; error boxes open at once: at most ${boxes_max}"
[ "$boxes_max" -le 1 ] || { echo "FAIL: stacked error boxes"; exit 1; }
[ $((rss1 - rss0)) -lt 20000 ] || { echo "FAIL: memory grew"; exit 1; }
echo "OK"
