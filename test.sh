#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite headless:
# a Release build, then the same suite under the address and undefined-behaviour
# sanitizers. `./test.sh --quick` runs the Release build only.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
ladoton_install_packages

export QT_QPA_PLATFORM=offscreen
export LADOTON_MIDI_OUT=none
jobs=$(nproc)

ladoton_build "$LADOTON_ROOT/build/release" Release
ctest --test-dir "$LADOTON_ROOT/build/release" --output-on-failure -j "$jobs"
# A short fuzzing pass over the parsers (clang, libFuzzer; build/fuzz).
"$LADOTON_ROOT/scripts/fuzz.sh" 5

if [ "${1:-}" != "--quick" ]; then
  # Line tables are all the sanitizers' reports need, and they build faster
  # than full debug information.
  ladoton_build "$LADOTON_ROOT/build/asan" Debug -DLADOTON_SANITIZE=ON -DLADOTON_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG=-g1
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$LADOTON_ROOT/build/asan" --output-on-failure -j "$jobs"
fi
