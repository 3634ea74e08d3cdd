# The program opens its borderless main window, titled and sized as designed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
# A device that opens, so no MIDI error box comes before the window.
LADOTON_MIDI_OUT="log:$work/midi.log" launch "$work/out.log" "$LADOTON_BIN"
id=$(wait_for_window "Ладотон")
eval "$(xdotool getwindowgeometry --shell "$id")"
[ "$WIDTH" = 657 ] || fail "width $WIDTH"
[ "$HEIGHT" = 523 ] || fail "height $HEIGHT"
echo "window $id ${WIDTH}x${HEIGHT} at $X,$Y"
