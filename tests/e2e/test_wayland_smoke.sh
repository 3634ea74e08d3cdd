# The program runs as a native Wayland client when asked to
# (QT_QPA_PLATFORM=wayland), under a headless compositor of its own: the
# protocol log shows the main window mapped (a toplevel titled "Ладотон"
# whose surface gets a buffer and a commit), the program reports no failure,
# keeps running, and ends on SIGTERM as a terminated process (no crash).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
work=$(mktemp -d)
runtime="$work/runtime"
mkdir -m 700 "$runtime"
socket="ladoton-e2e-$$"
weston_pid=
pid=
trap 'kill $pid $weston_pid 2>/dev/null || true; wait $pid $weston_pid 2>/dev/null || true; rm -rf "$work"' EXIT

XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" --shell=desktop-shell.so \
  --no-config --idle-time=0 --width=1280 --height=1024 >"$work/weston.log" 2>&1 &
weston_pid=$!
deadline=$((SECONDS + 60))
until [ -S "$runtime/$socket" ]; do
  kill -0 "$weston_pid" 2>/dev/null || { cat "$work/weston.log" >&2; fail "weston did not start"; }
  [ "$SECONDS" -lt "$deadline" ] || fail "weston opened no socket within 60 s"
  sleep 0.05
done

log="$work/out.log"
launch "$log" env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland \
  WAYLAND_DEBUG=1 LADOTON_MIDI_OUT="log:$work/midi.log" "$LADOTON_BIN"

# mapped: true once the log holds a toplevel titled "Ладотон" whose
# wl_surface has had a buffer attached and a commit after it.
mapped() {
  awk '
    / -> / {
      if (match($0, /get_xdg_surface\(new id xdg_surface@[0-9]+, wl_surface@[0-9]+\)/)) {
        split(substr($0, RSTART, RLENGTH), p, /[@,)]/); surface_of_xdg[p[2] + 0] = p[4] + 0
      }
      if (match($0, /xdg_surface@[0-9]+\.get_toplevel\(new id xdg_toplevel@[0-9]+\)/)) {
        split(substr($0, RSTART, RLENGTH), p, /[@.)]/); xdg_of_toplevel[p[4] + 0] = p[2] + 0
      }
      if (match($0, /xdg_toplevel@[0-9]+\.set_title\("Ладотон"\)/)) {
        split(substr($0, RSTART, RLENGTH), p, /[@.]/); titled[surface_of_xdg[xdg_of_toplevel[p[2] + 0]]] = 1
      }
      if (match($0, /wl_surface@[0-9]+\.attach\(wl_buffer@[0-9]+/)) {
        split(substr($0, RSTART, RLENGTH), p, /[@.]/); attached[p[2] + 0] = 1
      }
      if (match($0, /wl_surface@[0-9]+\.commit\(\)/)) {
        split(substr($0, RSTART, RLENGTH), p, /[@.]/); s = p[2] + 0
        if (titled[s] && attached[s]) { found = 1; exit }
      }
    }
    END { exit found ? 0 : 1 }
  ' "$log"
}
deadline=$((SECONDS + 90))
until mapped; do
  program_gone && fail "the program ended before its window was mapped"
  [ "$SECONDS" -lt "$deadline" ] || { show_output; fail "no mapped toplevel \"Ладотон\" within 90 s"; }
  sleep 0.1
done

# Still running once the compositor has seen the frame through.
wait_for_log "$log" 'wl_surface@[0-9]*\.enter(wl_output' 0 60
program_gone && fail "the program ended after mapping its window"
# Everything that is not the protocol log is the program's or Qt's own word.
if grep -v -E '^\[ *[0-9]+\.[0-9]+\]' "$log" | grep -i -E 'fail|error|could not|cannot|abort' >&2; then
  fail "the program reported a failure under Wayland"
fi

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || fail "the program ended with $status on SIGTERM (143 expected)"
pid=

# Offered both (a Wayland session with X11 beside it) and asked for neither,
# the program takes X11: its window comes up on the X display, and it never
# speaks on the Wayland socket.
log="$work/both.log"
launch "$log" env -u QT_QPA_PLATFORM XDG_SESSION_TYPE=wayland XDG_RUNTIME_DIR="$runtime" \
  WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=1 LADOTON_MIDI_OUT="log:$work/midi.log" "$LADOTON_BIN"
wait_for_window "Ладотон" >/dev/null
! grep -q 'wl_display@' "$log" || fail "offered both, the program spoke Wayland"
kill -TERM "$pid"
wait "$pid" || true
pid=
echo "mapped under Wayland, no failure, ended on SIGTERM; X11 taken when both are offered"
