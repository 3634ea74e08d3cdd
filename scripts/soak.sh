#!/usr/bin/env bash
# The long soak of the trainer on a private X server:
#   scripts/soak.sh BUILD_DIR [EVENTS] [SEED]
# sends EVENTS (default 10000) random pointer and key events across every
# window of BUILD_DIR/ladoton, answering every box, then checks that the
# program survived and still plays typed notes, that its MIDI log holds only
# well-formed note-ons, that resident memory grew by less than 1 MB between
# the first and the last thousand events, and that "X" ends it with 0.
# Prints the events done, the memory samples and growth, the MIDI lines
# checked and the windows opened and closed. Builds the driver first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: scripts/soak.sh BUILD_DIR [EVENTS] [SEED]}" && pwd)
export SOAK_EVENTS=${2:-10000}
[ -n "${3:-}" ] && export SOAK_SEED=$3
export SOAK_RSS_EVERY=1000
export SOAK_RSS_LIMIT_KB=${SOAK_RSS_LIMIT_KB:-1024}
[ -x "$build/ladoton" ] || { echo "no $build/ladoton: build the ladoton target first" >&2; exit 1; }
cmake --build "$build" --target soak-driver >/dev/null
start=$SECONDS
bash "$root/tests/e2e/run_under_xvfb.sh" "$root/tests/e2e/soak/run_soak.sh" "$build/ladoton"
echo "soak time: $((SECONDS - start)) s"
