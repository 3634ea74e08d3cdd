# A press on the form's surface (or on a label lying on it) and a move drag
# the window; without a window manager the window follows the pointer itself.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
probe="$(dirname "$LADOTON_BIN")/e2e-probe"
work=$(mktemp -d)
log="$work/probe.log"
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
launch "$work/out.log" "$probe" "$log"
id=$(wait_for_window "e2e-probe")
wait_for_log "$log" ' ready$'

drag() {  # drag FROM_X FROM_Y (form coordinates) by DX DY
  eval "$(xdotool getwindowgeometry --shell "$id")"
  local sx=$((X + $1)) sy=$((Y + $2))
  xdotool mousemove "$sx" "$sy" mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove $((sx + $3 * step / 5)) $((sy + $4 * step / 5))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.2
}
position() { eval "$(xdotool getwindowgeometry --shell "$id")"; echo "$X $Y"; }

before=$(position)
drag 200 100 40 30          # the blue surface
after=$(position)
read -r bx by <<<"$before"; read -r ax ay <<<"$after"
[ $((ax - bx)) -eq 40 ] && [ $((ay - by)) -eq 30 ] || fail "surface drag moved from $before to $after"

drag 150 190 -25 -10        # the status label on the surface
read -r cx cy <<<"$(position)"
[ $((cx - ax)) -eq -25 ] && [ $((cy - ay)) -eq -10 ] || fail "label drag moved from $after to $cx $cy"

drag 70 35 30 30            # the button is a control of its own: no move
read -r dx dy <<<"$(position)"
[ "$dx $dy" = "$cx $cy" ] || fail "a press on the button moved the window"
echo "window dragged by its surface and its label, not by its button"
