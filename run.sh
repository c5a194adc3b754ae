#!/usr/bin/env bash
# Builds Drganik (installing missing Debian packages first) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/prepare.sh
prepare build
exec build/drganik
