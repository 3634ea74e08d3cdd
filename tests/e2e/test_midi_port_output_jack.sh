# LADOTON_MIDI_OUT=port: reaches a JACK MIDI port: the listener gets the
# note-ons the trainer sent, byte for byte.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/jack.sh"
start_jack
start_peer synth
work_out="$work/out.log"
launch "$work_out" env LADOTON_MIDI_IN=none LADOTON_MIDI_OUT="port:synth-listen" "$LADOTON_BIN"
main=$(wait_for_sized_window 657 523)
focus "$main"
xdotool type z
xdotool type J
wait_for_peer '^in 90 30 7F$'
wait_for_peer '^in 90 3A 7F$'
[ "$(grep -c '^in' "$peer_out")" = 2 ] || fail "the port got: $(grep '^in' "$peer_out" | tr '\n' ' ')"
[ "$(grep '^in' "$peer_out" | head -n1)" = "in 90 30 7F" ] || fail "out of order: $(tr '\n' ' ' <"$peer_out")"
echo "port: output reaches a JACK port"
