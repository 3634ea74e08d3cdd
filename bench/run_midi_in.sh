#!/usr/bin/env bash
# Runs bench_midi_in against a private JACK server with the dummy driver.
# Usage: bench/run_midi_in.sh BUILD_DIR
set -euo pipefail
build=${1:-build/release}
export JACK_NO_AUDIO_RESERVATION=1
# One fixed name: JACK reclaims a name left by a server that did not end
# cleanly only when the same name comes again.
export JACK_DEFAULT_SERVER="ladoton-bench"
jackd -n "$JACK_DEFAULT_SERVER" -r -d dummy -r 48000 -p 128 >/dev/null 2>&1 &
jack=$!
trap 'kill $jack 2>/dev/null || true; wait $jack 2>/dev/null || true' EXIT
until jack_lsp >/dev/null 2>&1; do
  kill -0 "$jack" 2>/dev/null || { echo "jackd did not start" >&2; exit 1; }
  sleep 0.05
done
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bench/bench_midi_in"
