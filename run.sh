#!/usr/bin/env bash
# Builds Drganik and its instrument simulator (installing missing Debian packages
# first) and starts the program on the simulator, given as the device of the
# selected port for this run only: the settings file is left as it is.
set -euo pipefail
cd "$(dirname "$0")"
source tools/prepare.sh
TARGETS="drganik drganik-sim" prepare build
link="${XDG_RUNTIME_DIR:-/tmp}/drganik-sim-$(id -u)"
build/tools/sim/drganik-sim "$link" --log build/sim.log &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT
build/drganik --port "$link"
