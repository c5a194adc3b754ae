#!/usr/bin/env bash
# Builds Drganik (installing missing Debian packages first) and starts it
# against the bundled instrument simulator, mapped as Com1.
set -euo pipefail
cd "$(dirname "$0")"
source tools/prepare.sh
prepare build
link="${XDG_RUNTIME_DIR:-/tmp}/drganik-sim-com1-$(id -u)"
set_port build/drganik.ini COM1 "$link"
build/tools/sim/drganik-sim "$link" --log build/sim.log &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT
build/drganik
