#!/usr/bin/env bash
# Runs one end-to-end test script against the built program on a private
# Xvfb display. Usage: run_under_xvfb.sh TEST_SCRIPT LADOTON_BINARY
set -euo pipefail
script=$1
export LADOTON_BIN=$2
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# Let the server choose a free display and tell us its number, so runs that
# start at the same time never share or fight over one.
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 200); do
  [ -s "$numfile" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$numfile" ] || { echo "Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numfile" | tr -d '[:space:]')"
# Wait for the server to answer (bounded).
deadline=$((SECONDS + 30))
until xdotool getmouselocation >/dev/null 2>&1; do
  [ "$SECONDS" -lt "$deadline" ] || { echo "Xvfb on $DISPLAY does not answer" >&2; exit 1; }
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb on $DISPLAY has ended" >&2; exit 1; }
  sleep 0.05
done
bash "$script"
