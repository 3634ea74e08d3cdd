# LADOTON_MIDI_OUT=port: reaches a JACK MIDI port: the listener gets the
# note-ons the trainer sent, byte for byte. The "Настройки" menu (a right
# click on the status line) switches device 0 to such a port while the
# program runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/jack.sh"
start_jack
start_peer synth

# heard: the note-ons the listener got, on one line.
heard() { grep '^in' "$peer_out" | tr '\n' ' ' || true; }

launch "$work/out.log" env LADOTON_MIDI_IN=none LADOTON_MIDI_OUT="port:synth-listen" "$LADOTON_BIN"
main=$(wait_for_sized_window 657 523)
focus "$main"
xdotool type z
xdotool type J
wait_for_peer '^in 90 3A 7F$'
[ "$(heard)" = "in 90 30 7F in 90 3A 7F " ] || fail "the port got: $(heard)"
stop_process "$pid"

# Start on a log; the menu's "Выход MIDI" lists the built-in synthesizer and
# then the ports, the listener's last: choose it.
midi="$work/midi.log"
: >"$midi"
launch "$work/out2.log" env LADOTON_MIDI_IN=none LADOTON_MIDI_OUT="log:$midi" "$LADOTON_BIN"
main=$(wait_for_sized_window 657 523)
focus "$main"
xdotool type c
wait_for_lines "$midi" 1
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 300)) $((Y + 515)) click 3
menu=$(wait_for_other_window "$main")
# The title is the first stop of the arrow keys, then "Выход MIDI"; Up
# wraps round to its last item.
xdotool key --delay 150 Down Down Right Up Return
wait_until_unmapped "$menu"
focus "$main"
xdotool type v
wait_for_peer '^in 90 35 7F$'
[ "$(heard)" = "in 90 30 7F in 90 3A 7F in 90 35 7F " ] || fail "the port got: $(heard)"
[ "$(wc -l <"$midi")" = 1 ] || fail "the old device still got notes: $(tr '\n' ' ' <"$midi")"
# The server goes away under device 0; "X" still ends the program cleanly.
stop_process "$peer_pid"; peer_pid=
stop_process "$jack_pid" 2; jack_pid=
focus "$main"
xdotool type b
click_in "$main" 628 20
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || { show_output; fail "the program ended with status $status"; }
echo "port: output and the settings menu reach a JACK port"
