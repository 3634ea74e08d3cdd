#!/usr/bin/env bash
# Runs one end-to-end test script against the built program on a private
# Xvfb display. Usage: run_under_xvfb.sh TEST_SCRIPT LADOTON_BINARY
set -euo pipefail
script=$1
export LADOTON_BIN=$2
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# Find a free display number.
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
    display=":$n"
    break
  fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
# Wait for the server to answer (bounded).
for _ in $(seq 1 100); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.05
done
bash "$script"
