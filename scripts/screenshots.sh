#!/usr/bin/env bash
# Screenshots of the real program on a private Xvfb:
#   scripts/screenshots.sh BUILD_DIR OUTDIR
# writes OUTDIR/main-window.png, about-window.png and intervals-dialog.png
# (the dialog over the main window, as a person sees it). The notes go to a
# log: MIDI device, so no sound is needed. Builds what it needs first.
set -euo pipefail
[ $# = 2 ] || { echo "usage: $0 BUILD_DIR OUTDIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cmake --build "$build" --target ladoton screen-grab
LADOTON_SHOTS_DIR=$out LADOTON_GRAB=$build/screen-grab \
  bash "$root/tests/e2e/run_under_xvfb.sh" "$root/scripts/screenshots-take.sh" "$build/ladoton"
ls -l "$out"
