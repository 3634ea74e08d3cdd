#!/usr/bin/env bash
# Runs one end-to-end test script against the built program on a private
# Xvfb display. Usage: run_under_xvfb.sh TEST_SCRIPT LADOTON_BINARY
#
# A program that cannot reach the display at all says so ("could not connect
# to display"); that is the display's fault, not the program's, so the script
# then runs once more on a fresh server. Any other failure counts at once.
set -euo pipefail
script=$1
export LADOTON_BIN=$2
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d)
xvfb_pid=
wm_pid=
with_wm=0
grep -qx '# e2e: window-manager' "$script" && with_wm=1
stop_server() {
  if [ -n "$wm_pid" ]; then
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
    wm_pid=
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}
trap 'stop_server; rm -rf "$work"' EXIT

# start_server: a new Xvfb on a display it chooses itself (-displayfd), so
# runs that start at the same time never share or fight over one; DISPLAY is
# set once the server answers. -noreset: by default the server resets when its
# last client leaves (our readiness probe, or a waiting xdotool), and a
# program connecting during that reset is refused.
start_server() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local deadline=$((SECONDS + 30))
  until [ -s "$work/display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
    [ "$SECONDS" -lt "$deadline" ] || { echo "Xvfb gave no display number" >&2; return 1; }
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$work/display" | tr -d '[:space:]')"
  until xdotool getmouselocation >/dev/null 2>&1; do
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb on $DISPLAY has ended" >&2; cat "$work/xvfb.log" >&2; return 1; }
    [ "$SECONDS" -lt "$deadline" ] || { echo "Xvfb on $DISPLAY does not answer" >&2; return 1; }
    sleep 0.05
  done
  [ "$with_wm" = 1 ] && start_wm
  return 0
}

# start_wm: openbox on $DISPLAY with its own configuration home (nothing of
# the user's), ready once it announces itself as the window manager.
start_wm() {
  mkdir -p "$work/home"
  export LADOTON_WM_LOG="$work/wm.log"
  HOME="$work/home" XDG_CONFIG_HOME="$work/home" openbox --sm-disable --debug >"$LADOTON_WM_LOG" 2>&1 &
  wm_pid=$!
  local deadline=$((SECONDS + 30))
  until wmctrl -m 2>/dev/null | grep -qi '^Name: *openbox'; do
    kill -0 "$wm_pid" 2>/dev/null || { echo "openbox did not start" >&2; cat "$work/wm.log" >&2; return 1; }
    [ "$SECONDS" -lt "$deadline" ] || { echo "openbox did not take the display" >&2; return 1; }
    sleep 0.05
  done
}

for attempt in 1 2; do
  start_server
  status=0
  bash "$script" 2>"$work/stderr" || status=$?
  cat "$work/stderr" >&2
  [ "$status" = 0 ] && exit 0
  grep -q "could not connect to display" "$work/stderr" || exit "$status"
  echo "--- the display $DISPLAY could not be reached (attempt $attempt); server log:" >&2
  tail -n 20 "$work/xvfb.log" >&2
  kill -0 "$xvfb_pid" 2>/dev/null && echo "(the server was still running)" >&2
  stop_server
done
exit "$status"
