# Helpers for end-to-end scripts (sourced). LADOTON_BIN and DISPLAY are set.

fail() { echo "FAIL: $*" >&2; exit 1; }

# launch OUTPUT_FILE COMMAND...: starts the program under test in the
# background; its pid is in $pid, its output goes to OUTPUT_FILE. Programs
# built with the sanitizers start slowly on a busy machine, so the waits
# below are generous; they end early as soon as the thing waited for is there
# or the program has gone.
launch() {
  launched_output=$1
  shift
  "$@" >"$launched_output" 2>&1 &
  pid=$!
}

# show_output: prints what the launched program wrote, for a failure report.
show_output() {
  if [ -n "${launched_output:-}" ] && [ -s "$launched_output" ]; then
    echo "--- output of the program:" >&2
    tail -n 60 "$launched_output" >&2
  fi
}

# program_gone: true when the launched program has ended (and reports how).
program_gone() {
  [ -n "${pid:-}" ] || return 1
  kill -0 "$pid" 2>/dev/null && return 1
  echo "the program ended early" >&2
  show_output
  return 0
}

# wait_for_window TITLE [TIMEOUT_SECONDS]: prints the window id once it is mapped.
wait_for_window() {
  local title=$1 limit=${2:-90} id deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    program_gone && return 1
    sleep 0.05
  done
  echo "window '$title' did not appear within $limit s" >&2
  show_output
  return 1
}

# wait_for_log LOG PATTERN [AFTER_LINE [TIMEOUT_SECONDS]]: waits until a line
# after line AFTER_LINE (default 0) of LOG matches PATTERN.
wait_for_log() {
  local log=$1 pattern=$2 after=${3:-0} limit=${4:-60} deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    tail -n +$((after + 1)) "$log" 2>/dev/null | grep -q -- "$pattern" && return 0
    program_gone && fail "no '$pattern' in the log"
    sleep 0.05
  done
  echo "--- log:" >&2; cat "$log" >&2
  show_output
  fail "no '$pattern' in the log within $limit s"
}

# start_probe: starts the framework probe program (tools/e2e-probe) with its
# event log at $log in a private $work directory (removed on exit, the probe
# stopped), and waits until its window $id is up and it has logged "ready".
start_probe() {
  work=$(mktemp -d)
  log="$work/probe.log"
  trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
  launch "$work/out.log" "$(dirname "$LADOTON_BIN")/e2e-probe" "$log"
  id=$(wait_for_window "e2e-probe")
  wait_for_log "$log" ' ready$'
}

# --- The trainer ------------------------------------------------------------

# start_ladoton [PROGRAM]: starts the trainer (default $LADOTON_BIN) with its
# MIDI device 0 writing every message to $midi, in a private $work directory
# (removed on exit, the program stopped). The main window's id is in $main
# once it is mapped.
start_ladoton() {
  work=$(mktemp -d)
  midi="$work/midi.log"
  : >"$midi"
  trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
  LADOTON_MIDI_OUT="log:$midi" launch "$work/out.log" "${1:-$LADOTON_BIN}"
}

# visible_windows: the ids of the launched program's mapped windows.
visible_windows() {
  xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true
}

# size_of ID: "WIDTHxHEIGHT" of a window.
size_of() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "${WIDTH}x${HEIGHT}"
}

# wait_for_sized_window WIDTH HEIGHT [TIMEOUT]: prints the id of the
# program's first mapped window of that size.
wait_for_sized_window() {
  local want="$1x$2" limit=${3:-90} deadline w
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    for w in $(visible_windows); do
      [ "$(size_of "$w" 2>/dev/null)" = "$want" ] && { echo "$w"; return 0; }
    done
    program_gone && return 1
    sleep 0.05
  done
  echo "no $want window within $limit s" >&2
  show_output
  return 1
}

# wait_for_other_window KNOWN_IDS... : prints the id of a mapped window of
# the program that is none of the known ones (a message box, a dialog).
wait_for_other_window() {
  local limit=90 deadline w k known
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    for w in $(visible_windows); do
      known=0
      for k in "$@"; do [ "$w" = "$k" ] && known=1; done
      [ "$known" = 0 ] && { echo "$w"; return 0; }
    done
    program_gone && return 1
    sleep 0.05
  done
  echo "no new window within $limit s" >&2
  show_output
  return 1
}

# wait_until_unmapped ID: waits until the window is no longer shown.
wait_until_unmapped() {
  local limit=60 deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    visible_windows | grep -qx "$1" || return 0
    program_gone && return 1
    sleep 0.05
  done
  fail "window $1 still shown after $limit s"
}

# focus ID: gives the window the keyboard focus (there is no window manager
# to do it on a click).
focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

# click_in ID X Y: a left click at the window's client point (X, Y).
click_in() {
  local X Y WIDTH HEIGHT SCREEN WINDOW tx ty geometry
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || {
    echo "click_in: window $1 is gone" >&2
    return 1
  }
  eval "$geometry"
  tx=$((X + $2)) ty=$((Y + $3))
  # "mousemove --sync" waits for a movement, which never comes (it gives up
  # after some 15 s) when the pointer already stands there.
  if [ "$(xdotool getmouselocation --shell | head -n2 | tr '\n' ' ')" = "X=$tx Y=$ty " ]; then
    xdotool click 1
  else
    xdotool mousemove --sync "$tx" "$ty" click 1
  fi
}

# wait_for_lines FILE N: waits until FILE has at least N lines.
wait_for_lines() {
  local limit=${3:-60} deadline
  deadline=$((SECONDS + limit))
  while [ "$(wc -l <"$1")" -lt "$2" ]; do
    program_gone && fail "the program ended while waiting for line $2 of $1"
    [ "$SECONDS" -lt "$deadline" ] || { cat "$1" >&2; fail "$1 has fewer than $2 lines after $limit s"; }
    sleep 0.05
  done
}

# note_on N: the logged line of a note-on for note N at velocity 127.
note_on() { printf '007F%02X90' "$1"; }

# note_at LINE: the note number of the message on line LINE of the MIDI log.
note_at() { echo $((16#$(sed -n "$1p" "$midi" | cut -c5-6))); }

# The computer key of each semitone (Z row white, S row black).
key_letters=(z s x d c v g b h n j m)

# --- Under a window manager -------------------------------------------------
# A script with the line "# e2e: window-manager" runs with openbox on the
# display (run_under_xvfb.sh starts it); these helpers ask it what it did.

# activate ID: asks the window manager to make ID the active window, and
# waits until it is.
activate() {
  wmctrl -i -a "$1"
  wait_until_active "$1"
}

# wait_until_active ID: waits until ID is the active window.
wait_until_active() {
  local limit=60 deadline
  deadline=$((SECONDS + limit))
  while [ "$(xdotool getactivewindow 2>/dev/null || true)" != "$1" ]; do
    program_gone && fail "the program ended while waiting for window $1 to be active"
    [ "$SECONDS" -lt "$deadline" ] || fail "window $1 is not active after $limit s (active: $(xdotool getactivewindow 2>/dev/null))"
    sleep 0.05
  done
}

# stacking: the managed windows from bottom to top, one decimal id a line.
stacking() {
  local h
  for h in $(xprop -root -notype _NET_CLIENT_LIST_STACKING | sed -e 's/.*#//' -e 's/,/ /g'); do
    echo $((h))
  done
}

# above A B: true when window A stands above window B.
above() {
  local order a b
  order=$(stacking)
  a=$(grep -nx "$1" <<<"$order" | cut -d: -f1)
  b=$(grep -nx "$2" <<<"$order" | cut -d: -f1)
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}

# expect_above A B WHAT: fails unless window A stands above window B.
expect_above() {
  above "$1" "$2" || fail "$3 is not above the main window (bottom to top: $(stacking | tr '\n' ' '))"
}

# wm_close ID: the window manager's close request (_NET_CLOSE_WINDOW), as the
# close button of a title bar or Alt+F4 would send it.
wm_close() { wmctrl -i -c "$1"; }

# wm_sync: returns once the window manager has handled every event sent
# before (it handles them in order): it is asked to change the number of
# desktops, and that is waited for.
wm_sync() {
  local now want deadline=$((SECONDS + 30))
  now=$(xprop -root -notype _NET_NUMBER_OF_DESKTOPS | awk '{print $NF}')
  want=$((now == 4 ? 5 : 4))
  wmctrl -n "$want"
  until [ "$(xprop -root -notype _NET_NUMBER_OF_DESKTOPS | awk '{print $NF}')" = "$want" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the window manager does not answer"
    sleep 0.05
  done
}
